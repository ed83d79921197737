// Configuring, starting and stopping the real proxies.
#include "SocksProxies.h"

#include <sys/stat.h>

#include "tests/support/LoopbackListener.h"

namespace {

constexpr const char* Danted = "/usr/sbin/danted";
constexpr const char* Microsocks = "/usr/bin/microsocks";
constexpr const char* Sshd = "/usr/sbin/sshd";
constexpr const char* Ssh = "/usr/bin/ssh";
constexpr const char* SshKeygen = "/usr/bin/ssh-keygen";

} // namespace

SocksProxy::~SocksProxy() = default;

void SocksProxy::AwaitReady(const ChildProcess& process, const std::string& program) {
    if (!loopback::WaitUntilListening(ProxyPort))
        Problem = program + " did not listen on 127.0.0.1:" + std::to_string(ProxyPort) +
                  "; its output:\n" + process.Log();
}

DanteProxy::DanteProxy() {
    if (!IsExecutable(Danted)) {
        Problem = std::string(Danted) + " is missing (package dante-server)";
        return;
    }
    ProxyPort = loopback::FreePort();
    Dir.Write("danted.conf", "logoutput: stderr\n"
                             "internal: 127.0.0.1 port = " +
                                 std::to_string(ProxyPort) +
                                 "\n"
                                 "external: 127.0.0.1\n"
                                 "clientmethod: none\n"
                                 "socksmethod: none\n"
                                 "user.privileged: root\n"
                                 "user.unprivileged: nobody\n"
                                 "client pass {\n  from: 127.0.0.0/8 to: 127.0.0.0/8\n}\n"
                                 "socks pass {\n  from: 127.0.0.0/8 to: 127.0.0.0/8\n"
                                 "  command: connect\n}\n");
    Daemon = std::make_unique<ChildProcess>(
        std::vector<std::string>{Danted, "-f", Dir.Path("danted.conf"), "-N", "1"});
    AwaitReady(*Daemon, "danted");
}

DanteProxy::~DanteProxy() = default;

MicrosocksProxy::MicrosocksProxy(const std::string& user, const std::string& password) {
    if (!IsExecutable(Microsocks)) {
        Problem = std::string(Microsocks) + " is missing (package microsocks)";
        return;
    }
    ProxyPort = loopback::FreePort();
    Daemon = std::make_unique<ChildProcess>(
        std::vector<std::string>{Microsocks, "-i", "127.0.0.1", "-p", std::to_string(ProxyPort),
                                 "-u", user, "-P", password});
    AwaitReady(*Daemon, "microsocks");
}

MicrosocksProxy::~MicrosocksProxy() = default;

SshTunnelProxy::SshTunnelProxy() {
    for (const char* program : {Sshd, Ssh, SshKeygen})
        if (!IsExecutable(program)) {
            Problem =
                std::string(program) + " is missing (packages openssh-server, openssh-client)";
            return;
        }
    // sshd drops privileges into this directory and refuses to start without it.
    ::mkdir("/run/sshd", 0755);
    for (const char* key : {"host_key", "user_key"})
        if (RunToCompletion({SshKeygen, "-q", "-t", "ed25519", "-N", "", "-f", Dir.Path(key)}) !=
            0) {
            Problem = std::string("ssh-keygen could not make ") + key;
            return;
        }
    const int32_t sshPort = loopback::FreePort();
    Dir.Write("sshd_config", "ListenAddress 127.0.0.1\n"
                             "Port " +
                                 std::to_string(sshPort) +
                                 "\n"
                                 "HostKey " +
                                 Dir.Path("host_key") +
                                 "\n"
                                 "AuthorizedKeysFile " +
                                 Dir.Path("user_key.pub") +
                                 "\n"
                                 "PermitRootLogin yes\n"
                                 "StrictModes no\n"
                                 "PidFile none\n"
                                 "UsePAM no\n"
                                 "PasswordAuthentication no\n"
                                 "KbdInteractiveAuthentication no\n"
                                 "AllowTcpForwarding yes\n");
    Server = std::make_unique<ChildProcess>(
        std::vector<std::string>{Sshd, "-D", "-e", "-f", Dir.Path("sshd_config")});
    if (!loopback::WaitUntilListening(sshPort)) {
        Problem = "sshd did not listen; its output:\n" + Server->Log();
        return;
    }
    // A free port may be taken by another test before ssh binds it; ssh then
    // keeps running without its listener, so a few other ports are tried.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (Tunnel) Tunnel->Stop();
        Problem.clear();
        ProxyPort = loopback::FreePort();
        Tunnel = std::make_unique<ChildProcess>(std::vector<std::string>{
            Ssh, "-N", "-D", "127.0.0.1:" + std::to_string(ProxyPort), "-p",
            std::to_string(sshPort), "-i", Dir.Path("user_key"), "-o", "StrictHostKeyChecking=no",
            "-o", "UserKnownHostsFile=/dev/null", "-o", "BatchMode=yes", "-F", "/dev/null",
            "root@127.0.0.1"});
        AwaitReady(*Tunnel, "ssh -D");
        if (Problem.find("Address already in use") == std::string::npos) break;
    }
    if (!Problem.empty()) Problem += "\nsshd's output:\n" + Server->Log();
}

SshTunnelProxy::~SshTunnelProxy() {
    // The tunnel first, while the server it is connected to still runs.
    if (Tunnel) Tunnel->Stop();
    if (Server) Server->Stop();
}
