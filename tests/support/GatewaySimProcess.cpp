// Starting bq-gateway-sim, reading its port, and checking that it stops on a signal.
#include "GatewaySimProcess.h"

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace {

std::vector<std::string> SimArguments(const std::vector<std::string>& options) {
    std::vector<std::string> argv{BQ_GATEWAY_SIM};
    argv.insert(argv.end(), options.begin(), options.end());
    return argv;
}

std::vector<std::string> WithLoopbackPort(std::vector<std::string> options) {
    options.insert(options.end(), {"--listen", "127.0.0.1", "--port", "0"});
    return options;
}

} // namespace

GatewaySimProcess::GatewaySimProcess(const std::vector<std::string>& options,
                                     ChildProcess::Streams streams)
    : Process(SimArguments(WithLoopbackPort(options)), streams) {
    // "listening on 127.0.0.1:PORT" on its first line.
    const std::string marker = "listening on 127.0.0.1:";
    if (!Process.WaitForOutput("\n")) {
        ADD_FAILURE() << "no port printed; stdout: " << Output() << "\nlog: " << Log();
        return;
    }
    EXPECT_EQ(Output().rfind(marker, 0), 0U) << Output();
    if (Output().rfind(marker, 0) == 0) ListenPort = std::atoi(Output().c_str() + marker.size());
    EXPECT_NE(ListenPort, 0) << Output();
}

GatewaySimProcess::~GatewaySimProcess() {
    Stop(SIGTERM);
}

int GatewaySimProcess::Stop(int signal) {
    if (Stopped) return -1;
    Stopped = true;
    const int status = Process.Stop(signal);
    if (signal != SIGKILL && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        ADD_FAILURE() << "simulator did not end after signal " << signal;
    return status;
}

std::vector<std::string> GatewaySimProcess::ReceivedLines() {
    Process.ReadAvailable();
    std::vector<std::string> lines;
    std::istringstream log(Output() + Log());
    for (std::string line; std::getline(log, line);) {
        // "2026-12-09T19:52:46.123Z client 12 < < 2001 GET_MEM 01 00 08 00"
        if (!line.empty() && line[0] >= '0' && line[0] <= '9') line.erase(0, line.find(' ') + 1);
        const size_t mark = line.find(" < ");
        if (line.rfind("client ", 0) == 0 && mark != std::string::npos &&
            line.find_first_not_of("0123456789", 7) == mark)
            lines.push_back(line.substr(mark + 3));
    }
    return lines;
}

GatewaySimRun RunGatewaySim(const std::vector<std::string>& options) {
    ChildProcess sim(SimArguments(options), ChildProcess::Streams::OutputPiped);
    if (!sim.WaitForExit()) ADD_FAILURE() << "simulator did not end";
    GatewaySimRun run;
    run.Status = sim.Stop();
    run.Stdout = sim.Output();
    run.Stderr = sim.Log();
    return run;
}
