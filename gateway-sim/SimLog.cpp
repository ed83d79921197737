// The simulator's log: one line per event on standard error.
#include "gateway-sim/SimLog.h"

#include <cstdio>

void SimLog(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
}
