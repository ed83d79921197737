// Runs the real bq-gateway-sim binary for a test.
#include "SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

using TClock = std::chrono::steady_clock;

int RemainingMs(TClock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Reads from `fd` until EOF, the deadline, or `stopAt` appears in `text`.
bool ReadPipe(int fd, std::string& text, TClock::time_point deadline, const char* stopAt) {
    for (;;) {
        if (stopAt && text.find(stopAt) != std::string::npos) return true;
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char buffer[512];
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return stopAt == nullptr;
        text.append(buffer, static_cast<size_t>(count));
    }
}

std::string NewLogPath() {
    char path[] = "/tmp/bq-gateway-sim-test-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0) close(fd);
    return path;
}

// Starts the simulator with stdout on a pipe and stderr into `logPath`.
pid_t Spawn(const std::vector<std::string>& options, const std::string& logPath, int& stdoutFd) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        const int log = open(logPath.c_str(), O_WRONLY | O_TRUNC);
        dup2(out[1], STDOUT_FILENO);
        if (log >= 0) dup2(log, STDERR_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(BQ_GATEWAY_SIM));
        for (const std::string& option : options) argv.push_back(const_cast<char*>(option.c_str()));
        argv.push_back(nullptr);
        execv(BQ_GATEWAY_SIM, argv.data());
        _exit(127);
    }
    close(out[1]);
    if (pid < 0) {
        close(out[0]);
        return -1;
    }
    stdoutFd = out[0];
    return pid;
}

} // namespace

TSimProcess::TSimProcess(const std::vector<std::string>& options) : LogPath(NewLogPath()) {
    std::vector<std::string> all = options;
    all.insert(all.end(), {"--port", "0"});
    Pid = Spawn(all, LogPath, StdoutFd);
    if (Pid < 0) {
        ADD_FAILURE() << "cannot start " << BQ_GATEWAY_SIM;
        return;
    }
    std::string banner;
    if (!ReadPipe(StdoutFd, banner, TClock::now() + SimDeadline, "\n")) {
        ADD_FAILURE() << "no port printed; stdout: " << banner << "\nlog: " << Log();
        return;
    }
    // "listening on 127.0.0.1:PORT"
    const size_t colon = banner.rfind(':');
    EXPECT_EQ(banner.rfind("listening on 127.0.0.1:", 0), 0U) << banner;
    if (colon != std::string::npos) ListenPort = static_cast<uint16_t>(std::atoi(banner.c_str() + colon + 1));
    EXPECT_NE(ListenPort, 0) << banner;
}

TSimProcess::~TSimProcess() {
    Stop(SIGTERM);
    if (!LogPath.empty()) unlink(LogPath.c_str());
}

bool TSimProcess::WaitForEnd(TClock::time_point deadline) {
    std::string rest;
    return ReadPipe(StdoutFd, rest, deadline, nullptr);
}

int TSimProcess::Stop(int signal) {
    if (Pid < 0) return -1;
    kill(Pid, signal);
    if (!WaitForEnd(TClock::now() + SimDeadline)) {
        ADD_FAILURE() << "simulator did not end after signal " << signal;
        kill(Pid, SIGKILL);
    }
    int status = -1;
    while (waitpid(Pid, &status, 0) < 0 && errno == EINTR) {
    }
    close(StdoutFd);
    Pid = -1;
    return status;
}

std::string TSimProcess::Log() const {
    std::ifstream file(LogPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TRunResult RunSim(const std::vector<std::string>& options) {
    TRunResult result;
    const std::string logPath = NewLogPath();
    int stdoutFd = -1;
    const pid_t pid = Spawn(options, logPath, stdoutFd);
    if (pid < 0) return result;
    if (!ReadPipe(stdoutFd, result.Stdout, TClock::now() + SimDeadline, nullptr)) {
        ADD_FAILURE() << "simulator did not end";
        kill(pid, SIGKILL);
    }
    while (waitpid(pid, &result.Status, 0) < 0 && errno == EINTR) {
    }
    close(stdoutFd);
    std::ifstream file(logPath, std::ios::binary);
    result.Stderr.assign(std::istreambuf_iterator<char>(file), {});
    unlink(logPath.c_str());
    return result;
}
