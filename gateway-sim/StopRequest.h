// What stops the simulator: SIGTERM or SIGINT on POSIX systems
// (StopRequest.cpp); Ctrl+C, Ctrl+Break, closing the console, or the stop
// event named for its process on Windows (StopRequestWindows.cpp). Each makes
// one socket readable, which the server's wait watches.
#pragma once

#include <string>

#include "gateway-sim/SimSocket.h"

// The socket to watch; NoSimSocket with a reason in `error` when the requests
// cannot be caught.
TSimSocket WatchStopRequests(std::string& error);

// Windows has no signal one program can send another to ask it to end: a
// program that started the simulator sets the event of this name instead.
inline std::string StopEventName(unsigned long processId) {
    return "bq-stop-" + std::to_string(processId);
}
