// The platform's terminal test.
#include "bqctl/Terminal.h"

#ifdef _WIN32
#include <io.h>
bool StandardErrorIsTerminal() {
    return _isatty(2) != 0;
}
#else
#include <unistd.h>
bool StandardErrorIsTerminal() {
    return isatty(2) != 0;
}
#endif
