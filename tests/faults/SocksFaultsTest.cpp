// The Telnet client through a SOCKS proxy that hangs up mid-handshake: the
// exception the operator would see, no reader started, and no descriptor left
// once the owner disconnects.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "net/telnet/IdTelnet.h"
#include "tests/support/FakeSocksProxy.h"
#include "tests/support/ProcessProbe.h"

using namespace std::chrono_literals;

namespace {

constexpr int32_t TargetPort = 0x1F90; // 8080; the proxy never connects onwards

struct SocksHangup {
    const char* Name;
    TSocksVersion Version;
    std::vector<ProxyStep> Script;
    // The exception class the caller can catch, and its message.
    std::function<bool(const EIdException&)> IsExpectedClass;
    std::string Message;
};

// SOCKS 4 (RFC-less de-facto protocol): byte 4, byte 1 (connect), uint16 port,
// uint32 address, user id, NUL. Its reply is 8 bytes.
const std::string Socks4Request = Bytes({4, 1, 0x1F, 0x90, 127, 0, 0, 1, 0});
// RFC 1928: version 5, one method, "no authentication".
const std::string Socks5Greeting = Bytes({5, 1, 0});
// RFC 1928 connect request by name: 5, 1, 0, type 3, length, name, uint16 port.
const std::string Socks5Connect = Bytes({5, 1, 0, 3, 9}) + "127.0.0.1" + Bytes({0x1F, 0x90});

void PrintTo(const SocksHangup& row, std::ostream* out) {
    *out << row.Name;
}

bool IsClosedGracefully(const EIdException& e) {
    return dynamic_cast<const EIdConnClosedGracefully*>(&e);
}
bool IsNoResponse(const EIdException& e) {
    return dynamic_cast<const EIdSocksServerRespondError*>(&e);
}

class SocksHangupTest : public ::testing::TestWithParam<SocksHangup> {};

TEST_P(SocksHangupTest, RaisesItsErrorAndDisconnectLeavesNothingOpen) {
    const SocksHangup& row = GetParam();
    const int descriptorsBefore = CountOpenDescriptors();
    const int threadsBefore = CountThreads();
    {
        FakeSocksProxy proxy(row.Script);
        TIdTelnet client;
        client.Host = "127.0.0.1";
        client.Port = TargetPort;
        client.SocksInfo.Version = row.Version;
        client.SocksInfo.Host = "127.0.0.1";
        client.SocksInfo.Port = proxy.Port();
        client.SetOnDataAvailable([](const std::string&) {});

        std::string raised;
        try {
            client.Connect();
        } catch (const EIdException& e) {
            EXPECT_TRUE(row.IsExpectedClass(e)) << typeid(e).name();
            raised = e.Message;
        }
        EXPECT_EQ(raised, row.Message);
        EXPECT_EQ(client.ReaderThread(), nullptr) << "a reader for a session that never stood";
        client.Disconnect();
        EXPECT_FALSE(client.SocketHandle.SocketAllocated());
        EXPECT_EQ(proxy.Mismatch(), "");
    }
    EXPECT_EQ(CountOpenDescriptors(), descriptorsBefore);
    EXPECT_TRUE(WaitForThreadCount(threadsBefore, 10s));
}

INSTANTIATE_TEST_SUITE_P(
    MidHandshake, SocksHangupTest,
    ::testing::Values(SocksHangup{"Socks4AfterRequest",
                                  svSocks4,
                                  {{ProxyStep::Expect, Socks4Request}, {ProxyStep::Hangup, {}}},
                                  IsClosedGracefully,
                                  "Connection Closed Gracefully."},
                      SocksHangup{"Socks4AfterPartOfReply",
                                  svSocks4,
                                  {{ProxyStep::Expect, Socks4Request},
                                   {ProxyStep::Answer, Bytes({0, 90, 0x1F})},
                                   {ProxyStep::Hangup, {}}},
                                  IsClosedGracefully,
                                  "Connection Closed Gracefully."},
                      SocksHangup{"Socks5AfterGreeting",
                                  svSocks5,
                                  {{ProxyStep::Expect, Socks5Greeting}, {ProxyStep::Hangup, {}}},
                                  IsNoResponse,
                                  "Socks server did not respond."},
                      SocksHangup{"Socks5AfterPartOfMethodReply",
                                  svSocks5,
                                  {{ProxyStep::Expect, Socks5Greeting},
                                   {ProxyStep::Answer, Bytes({5})},
                                   {ProxyStep::Hangup, {}}},
                                  IsNoResponse,
                                  "Socks server did not respond."},
                      SocksHangup{"Socks5AfterPartOfConnectReply",
                                  svSocks5,
                                  {{ProxyStep::Expect, Socks5Greeting},
                                   {ProxyStep::Answer, Bytes({5, 0})},
                                   {ProxyStep::Expect, Socks5Connect},
                                   {ProxyStep::Answer, Bytes({5, 0, 0})},
                                   {ProxyStep::Hangup, {}}},
                                  IsNoResponse,
                                  "Socks server did not respond."},
                      SocksHangup{"Socks5InsideBoundAddress",
                                  svSocks5,
                                  {{ProxyStep::Expect, Socks5Greeting},
                                   {ProxyStep::Answer, Bytes({5, 0})},
                                   {ProxyStep::Expect, Socks5Connect},
                                   {ProxyStep::Answer, Bytes({5, 0, 0, 1, 127, 0})},
                                   {ProxyStep::Hangup, {}}},
                                  IsNoResponse,
                                  "Socks server did not respond."}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
