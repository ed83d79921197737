// The gateway simulator as a child process for the read-cycle benchmark:
// started on a free loopback port, which it prints; stopped with SIGTERM.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class TGatewaySimProcess {
public:
    // Runs `program` with "--port 0" and `options`; its log (standard error)
    // goes to /dev/null. Port() is 0 when it did not start in time.
    TGatewaySimProcess(const std::string& program, const std::vector<std::string>& options);
    // Stops the child if it still runs.
    ~TGatewaySimProcess();
    TGatewaySimProcess(const TGatewaySimProcess&) = delete;
    TGatewaySimProcess& operator=(const TGatewaySimProcess&) = delete;

    uint16_t Port() const { return ListenPort; }
    // SIGTERM, then SIGKILL when it has not ended within the deadline; true
    // when it ended by itself with status 0.
    bool Stop();

private:
    bool ReadPort();
    bool WaitForExit(int& status, int patienceMs);

    pid_t Pid = -1;
    int StdoutFd = -1;
    uint16_t ListenPort = 0;
};
