// bq-gateway-sim: a gateway of the bq command language to test the tool against.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "gateway-sim/GatewayServer.h"
#include "gateway-sim/SimLog.h"
#include "gateway-sim/SimOptions.h"
#include "runtime/Version.h"

namespace {

// Self-pipe: the handler only writes one byte, the poll loop sees it.
int StopPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const int saved = errno;
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = write(StopPipe[1], &byte, 1);
    errno = saved;
}

bool InstallSignals() {
    if (pipe(StopPipe) != 0) return false;
    for (const int fd : StopPipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    std::signal(SIGPIPE, SIG_IGN); // sends use MSG_NOSIGNAL; stdout and stderr do not
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

} // namespace

int main(int argc, char** argv) {
    TSimOptions options;
    std::string error;
    if (!ParseSimOptions(argc, argv, options, error)) {
        std::cerr << "bq-gateway-sim: " << error << '\n';
        return 2;
    }
    if (options.Help) {
        std::cout << SimHelpText();
        return 0;
    }
    if (options.Version) {
        std::cout << "bq-gateway-sim " << ProductVersion() << '\n';
        return 0;
    }
    if (!InstallSignals()) {
        std::cerr << "bq-gateway-sim: cannot install signal handlers\n";
        return 1;
    }
    TGatewayServer server(options);
    if (!server.Listen(error)) {
        std::cerr << "bq-gateway-sim: " << error << '\n';
        return 1;
    }
    std::cout << "listening on " << options.Listen << ':' << server.Port() << std::endl;
    SimLog("gateway " + options.Gateway + (options.Telnet ? ", telnet" : ", plain text"));
    server.Run(StopPipe[0]);
    SimLog("stopped");
    return 0;
}
