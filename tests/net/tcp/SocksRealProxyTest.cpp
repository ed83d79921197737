// The SOCKS negotiations against the real proxies of the distribution, each
// relaying to an echo peer of the test: every byte value must come back.
#include <gtest/gtest.h>

#include "SocksProxies.h"
#include "StatusRecorder.h"
#include "net/stack/IdException.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/PeerThread.h"
#include "tests/support/RootOnly.h"

namespace {

std::string EveryByteValue() {
    std::string bytes;
    for (int round = 0; round < 4; ++round)
        for (int value = 0; value < 256; ++value)
            bytes += static_cast<char>(value);
    return bytes;
}

struct Through {
    Through(const SocksProxy& proxy, TSocksVersion version, const std::string& targetHost) {
        client.Host = targetHost;
        client.Port = echo.Port();
        client.SocksInfo.Version = version;
        client.SocksInfo.Host = "127.0.0.1";
        client.SocksInfo.Port = proxy.Port();
    }

    void Connect() {
        client.Connect();
        EXPECT_EQ(client.SocketHandle.RemotePort, client.SocksInfo.Port);
    }

    // Sends every byte value through the tunnel and reads the echo back.
    void ExpectEchoedIntact() {
        const std::string sent = EveryByteValue();
        client.WriteText(sent);
        std::string back(sent.size(), '\0');
        client.ReadExact(back.data(), static_cast<int32_t>(back.size()));
        EXPECT_EQ(back, sent);
        EXPECT_EQ(client.InputQueueSize(), 0);
    }

    PeerThread echo{Echo};
    TIdTCPClient client;
    StatusRecorder status{client};
};

TEST(SocksReal, Socks4ThroughDante) {
    DanteProxy dante;
    ASSERT_EQ(dante.Failure(), "");
    Through t(dante, svSocks4, "127.0.0.1");
    t.Connect();
    t.ExpectEchoedIntact();
    EXPECT_EQ(t.status.Events(),
              (std::vector<std::string>{"Connecting to 127.0.0.1.", "Connected.", "<connected>"}));
    t.client.Disconnect();
}

TEST(SocksReal, Socks5ThroughDante) {
    DanteProxy dante;
    ASSERT_EQ(dante.Failure(), "");
    Through t(dante, svSocks5, "127.0.0.1");
    t.Connect();
    t.ExpectEchoedIntact();
    t.client.Disconnect();
}

TEST(SocksReal, Socks5WithPasswordThroughMicrosocks) {
    MicrosocksProxy microsocks("bquser", "bq secret");
    ASSERT_EQ(microsocks.Failure(), "");
    Through t(microsocks, svSocks5, "127.0.0.1");
    t.client.SocksInfo.Authentication = saUsernamePassword;
    t.client.SocksInfo.UserID = "bquser";
    t.client.SocksInfo.Password = "bq secret";
    t.Connect();
    t.ExpectEchoedIntact();
    t.client.Disconnect();
}

TEST(SocksReal, WrongPasswordIsRefusedByMicrosocks) {
    MicrosocksProxy microsocks("bquser", "bq secret");
    ASSERT_EQ(microsocks.Failure(), "");
    Through t(microsocks, svSocks5, "127.0.0.1");
    t.client.SocksInfo.Authentication = saUsernamePassword;
    t.client.SocksInfo.UserID = "bquser";
    t.client.SocksInfo.Password = "wrong";
    try {
        t.client.Connect();
        FAIL() << "logged in with a wrong password";
    } catch (const EIdSocksAuthError& e) {
        EXPECT_EQ(e.Message, "Authentication error to socks server.");
    }
    t.client.Disconnect();
    // The proxy never reached the echo peer; one empty connection ends its wait.
    loopback::ConnectTo(t.echo.Port());
}

TEST(SocksReal, Socks4AByNameThroughSshTunnel) {
    BQ_SKIP_UNLESS_ROOT("logging in as root through the private sshd");
    SshTunnelProxy tunnel;
    ASSERT_EQ(tunnel.Failure(), "");
    Through t(tunnel, svSocks4A, "localhost");
    t.Connect();
    t.ExpectEchoedIntact();
    t.client.Disconnect();
}

} // namespace
