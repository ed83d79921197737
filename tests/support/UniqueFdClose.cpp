// Closing what a UniqueFd owns.
#include <unistd.h>

#include "UniqueFd.h"

void UniqueFd::Close() {
    if (Value >= 0) ::close(Value);
    Value = -1;
}
