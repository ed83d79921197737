// The project's gateway simulator, run by a test on a free loopback port and
// always stopped: killed in its own process group and reaped.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class GatewaySimProcess {
public:
    // Starts bq-gateway-sim on 127.0.0.1 with a port of the system's choice
    // and the extra `options`; Port() is 0 when it did not come up in time.
    explicit GatewaySimProcess(const std::vector<std::string>& options = {});
    ~GatewaySimProcess();
    GatewaySimProcess(const GatewaySimProcess&) = delete;
    GatewaySimProcess& operator=(const GatewaySimProcess&) = delete;

    int32_t Port() const { return ListeningPort; }
    // What it printed on standard output until it was listening.
    std::string Output;

private:
    pid_t Pid = -1;
    int32_t ListeningPort = 0;
};
