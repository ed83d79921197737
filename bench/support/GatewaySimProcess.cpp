// Starts bq-gateway-sim with posix_spawn and reads "listening on ADDR:PORT"
// from its standard output; every wait has a deadline.
#include "bench/support/GatewaySimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

extern char** environ;

namespace {

constexpr int StartPatienceMs = 10000;
constexpr int StopPatienceMs = 5000;

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

TGatewaySimProcess::TGatewaySimProcess(const std::string& program,
                                       const std::vector<std::string>& options) {
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) return;
    std::vector<std::string> arguments{program, "--port", "0"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&Pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    StdoutFd = output[0];
    if (spawned != 0) {
        Pid = -1;
        return;
    }
    if (!ReadPort()) Stop();
}

TGatewaySimProcess::~TGatewaySimProcess() {
    Stop();
    if (StdoutFd >= 0) close(StdoutFd);
}

// The first line is "listening on 127.0.0.1:PORT".
bool TGatewaySimProcess::ReadPort() {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(StartPatienceMs);
    std::string line;
    while (line.find('\n') == std::string::npos && line.size() < 256) {
        pollfd waiting{StdoutFd, POLLIN, 0};
        if (poll(&waiting, 1, MillisecondsLeft(deadline)) != 1) return false;
        char bytes[128];
        const ssize_t count = read(StdoutFd, bytes, sizeof bytes);
        if (count <= 0) return false;
        line.append(bytes, static_cast<size_t>(count));
    }
    const size_t colon = line.rfind(':', line.find('\n'));
    if (line.rfind("listening on ", 0) != 0 || colon == std::string::npos) return false;
    const unsigned long port = std::strtoul(line.c_str() + colon + 1, nullptr, 10);
    if (port == 0 || port > 65535) return false;
    ListenPort = static_cast<uint16_t>(port);
    return true;
}

bool TGatewaySimProcess::Stop() {
    if (Pid <= 0) return false;
    kill(Pid, SIGTERM);
    int status = 0;
    if (!WaitForExit(status, StopPatienceMs)) {
        kill(Pid, SIGKILL);
        waitpid(Pid, &status, 0);
        Pid = -1;
        return false;
    }
    Pid = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The child closes its standard output when it ends; that is the event waited
// for, so no polling of waitpid is needed.
bool TGatewaySimProcess::WaitForExit(int& status, int patienceMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMs);
    char bytes[256];
    for (int reads = 0; reads < 1024; ++reads) {
        pollfd waiting{StdoutFd, POLLIN, 0};
        if (poll(&waiting, 1, MillisecondsLeft(deadline)) != 1) return false;
        if (read(StdoutFd, bytes, sizeof bytes) <= 0) return waitpid(Pid, &status, 0) == Pid;
    }
    return false;
}
