// Real SOCKS proxies from the distribution, each started on a free loopback
// port for one test and stopped with it: dante (SOCKS 4 and 5), microsocks
// (SOCKS 5 with user name and password) and an "ssh -D" tunnel through a
// private sshd (SOCKS 4A).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

class SocksProxy {
public:
    virtual ~SocksProxy();
    int32_t Port() const { return ProxyPort; }
    // Empty when the proxy is up; otherwise why not, with its output.
    const std::string& Failure() const { return Problem; }

protected:
    SocksProxy() = default;
    // Waits until the proxy's port accepts connections; records a failure otherwise.
    void AwaitReady(const ChildProcess& process, const std::string& program);

    TempDir Dir;
    int32_t ProxyPort = 0;
    std::string Problem;
};

class DanteProxy : public SocksProxy {
public:
    DanteProxy();
    ~DanteProxy() override;

private:
    std::unique_ptr<ChildProcess> Daemon;
};

class MicrosocksProxy : public SocksProxy {
public:
    MicrosocksProxy(const std::string& user, const std::string& password);
    ~MicrosocksProxy() override;

private:
    std::unique_ptr<ChildProcess> Daemon;
};

class SshTunnelProxy : public SocksProxy {
public:
    SshTunnelProxy();
    ~SshTunnelProxy() override;

private:
    std::unique_ptr<ChildProcess> Server;
    std::unique_ptr<ChildProcess> Tunnel;
};
