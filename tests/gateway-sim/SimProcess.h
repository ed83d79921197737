// Runs the real bq-gateway-sim binary for a test: starts it on a free
// loopback port, reads the port from its stdout, stops it with a signal.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::chrono::seconds SimDeadline{10};

class TSimProcess {
public:
    // Adds "--port 0" to `options`; fails the test if no port is printed.
    explicit TSimProcess(const std::vector<std::string>& options = {});
    ~TSimProcess();
    TSimProcess(const TSimProcess&) = delete;
    TSimProcess& operator=(const TSimProcess&) = delete;

    uint16_t Port() const { return ListenPort; }
    // Sends `signal`, waits for the end (SIGKILL after the deadline) and
    // returns the wait status; -1 if it had already been stopped.
    int Stop(int signal);
    // Everything the simulator wrote to standard error so far.
    std::string Log() const;

private:
    // Waits until the child closes its stdout, that is until it has ended.
    bool WaitForEnd(std::chrono::steady_clock::time_point deadline);

    pid_t Pid = -1;
    int StdoutFd = -1;
    std::string LogPath;
    uint16_t ListenPort = 0;
};

struct TRunResult {
    int Status = -1; // wait status
    std::string Stdout;
    std::string Stderr;
};

// Runs the binary with `options` to its end (bounded by SimDeadline).
TRunResult RunSim(const std::vector<std::string>& options);
