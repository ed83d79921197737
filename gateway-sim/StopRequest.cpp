// SIGTERM and SIGINT through a self-pipe: the handler only writes one byte,
// the server's wait sees the read end become readable.
#include "gateway-sim/StopRequest.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

int StopPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const int saved = errno;
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = write(StopPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

TSimSocket WatchStopRequests(std::string& error) {
    error = "cannot install signal handlers";
    if (pipe(StopPipe) != 0) return NoSimSocket;
    for (const int fd : StopPipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    std::signal(SIGPIPE, SIG_IGN); // sends use MSG_NOSIGNAL; stdout and stderr do not
    if (sigaction(SIGTERM, &action, nullptr) != 0 || sigaction(SIGINT, &action, nullptr) != 0)
        return NoSimSocket;
    error.clear();
    return StopPipe[0];
}
