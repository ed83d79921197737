// The project's gateway simulator run for a test: bq-gateway-sim on 127.0.0.1
// with a port of the system's choice, stopped with SIGTERM when the test ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ChildProcess.h"

class GatewaySimProcess {
public:
    // Starts the simulator with `options`, listening on 127.0.0.1 port 0, and
    // reads back the port it chose; fails the test when none is printed in time.
    // With Streams::BothPiped its log comes through the pipe after the port,
    // so that a test can wait for a line of it.
    explicit GatewaySimProcess(const std::vector<std::string>& options = {},
                               ChildProcess::Streams streams = ChildProcess::Streams::OutputPiped);
    // Stops it with SIGTERM, as Stop does.
    ~GatewaySimProcess();
    GatewaySimProcess(const GatewaySimProcess&) = delete;
    GatewaySimProcess& operator=(const GatewaySimProcess&) = delete;

    // 0 when the simulator did not come up.
    int32_t Port() const { return ListenPort; }
    // What it printed on standard output so far.
    const std::string& Output() const { return Process.Output(); }
    // Everything it wrote to standard error so far (when not piped).
    std::string Log() const { return Process.Log(); }
    // Reads the pipe until `text` has appeared in it; false when it does not in time.
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds patience = Patience) {
        return Process.WaitForOutput(text, patience);
    }
    // The non-empty lines the simulator has received from its clients, in
    // order, as its log shows them ("client N < LINE"): all it has logged so
    // far, read from the pipe without waiting. It logs a line before it
    // answers it, so every line answered by now is in.
    std::vector<std::string> ReceivedLines();
    // Sends `signal` and waits for the end; fails the test when the simulator
    // has to be killed. Its wait status; -1 when it had been stopped before.
    int Stop(int signal);

private:
    ChildProcess Process;
    int32_t ListenPort = 0;
    bool Stopped = false;
};

struct GatewaySimRun {
    int Status = -1; // wait status
    std::string Stdout;
    std::string Stderr;
};

// Runs the simulator with `options` to its end; fails the test when it does not end in time.
GatewaySimRun RunGatewaySim(const std::vector<std::string>& options);
