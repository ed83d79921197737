// Starting the gateway simulator and reading back the port it listens on.
#include "GatewaySimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace {

constexpr auto StartPatience = std::chrono::seconds(10);

} // namespace

GatewaySimProcess::GatewaySimProcess(const std::vector<std::string>& options) {
    std::vector<std::string> argv = {BQ_GATEWAY_SIM, "--listen", "127.0.0.1", "--port", "0"};
    argv.insert(argv.end(), options.begin(), options.end());
    std::vector<char*> args;
    for (std::string& arg : argv) args.push_back(arg.data());
    args.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    Pid = ::fork();
    if (Pid < 0) throw std::runtime_error("fork failed");
    if (Pid == 0) {
        ::setpgid(0, 0);
        ::dup2(out[1], STDOUT_FILENO);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::setpgid(Pid, Pid);
    ::close(out[1]);

    // "listening on 127.0.0.1:PORT" on its first line.
    const auto deadline = std::chrono::steady_clock::now() + StartPatience;
    const std::string marker = "listening on 127.0.0.1:";
    while (Output.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd entry{out[0], POLLIN, 0};
        if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[256];
        const ssize_t got = ::read(out[0], buffer, sizeof buffer);
        if (got <= 0) break;
        Output.append(buffer, static_cast<size_t>(got));
    }
    ::close(out[0]);
    const size_t at = Output.find(marker);
    if (at != std::string::npos) ListeningPort = std::stoi(Output.substr(at + marker.size()));
}

GatewaySimProcess::~GatewaySimProcess() {
    ::kill(-Pid, SIGKILL);
    ::waitpid(Pid, nullptr, 0);
}
