// A name that does not resolve is said of the host it belongs to: the
// gateway, the proxy, or (SOCKS 4 resolves here) the gateway behind the proxy.
#include <gtest/gtest.h>

#include "bqctl/NetworkErrors.h"
#include "net/stack/IdException.h"
#include "net/stack/winsock/WinsockErrors.h"

namespace {

ESessionError ConnectFailed(bool connecting) {
    TConnectFailure how;
    how.Connecting = connecting;
    try {
        try {
            throw EIdSocketError(Id_WSAHOST_NOT_FOUND, "Socket Error # 11001\r\nHost not found.");
        } catch (const EIdSocketError&) {
            std::throw_with_nested(EIdTelnetClientConnectError());
        }
    } catch (...) {
        how.Cause = std::current_exception();
    }
    return ESessionError(TSessionFailure::Network, "server not responding", how);
}

TEST(NetworkErrors, AHostNotFoundIsSaidOfTheNameThatFailed) {
    TSessionSettings settings;
    settings.Host = "nosuchgateway.example";
    EXPECT_EQ(DescribeNetworkFailure(ConnectFailed(false), settings),
              "nosuchgateway.example: host not found");
    settings.Proxy.Version = svSocks5;
    settings.Proxy.Host = "jump.example";
    settings.Proxy.Port = 1080;
    EXPECT_EQ(DescribeNetworkFailure(ConnectFailed(false), settings),
              "proxy jump.example: host not found");
    settings.Proxy.Version = svSocks4;
    EXPECT_EQ(DescribeNetworkFailure(ConnectFailed(true), settings),
              "nosuchgateway.example: host not found");
}

} // namespace
