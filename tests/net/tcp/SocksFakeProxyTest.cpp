// The SOCKS negotiations against a scripted proxy: the exact request bytes,
// every refusal code, and proxies that answer too little, in pieces, or
// garbage.
#include <gtest/gtest.h>

#include <algorithm>

#include "StatusRecorder.h"
#include "net/stack/IdException.h"
#include "tests/support/FakeSocksProxy.h"

namespace {

using Events = std::vector<std::string>;
constexpr int32_t TargetPort = 0x1F90; // 8080

// A client that goes through the fake proxy to "target" port 8080.
struct ProxiedClient {
    ProxiedClient(FakeSocksProxy& proxy, TSocksVersion version, const std::string& host) {
        client.Host = host;
        client.Port = TargetPort;
        client.SocksInfo.Version = version;
        client.SocksInfo.Host = "127.0.0.1";
        client.SocksInfo.Port = proxy.Port();
    }
    std::string ReadExact(int32_t count) {
        std::string bytes(static_cast<size_t>(count), '\0');
        client.ReadExact(bytes.data(), count);
        return bytes;
    }
    TIdTCPClient client;
    StatusRecorder status{client};
};

const std::string Socks4Granted = Bytes({0, 90, 0, 0, 0, 0, 0, 0});
const std::string Socks5NoAuthGreeting = Bytes({5, 1, 0});
const std::string Socks5NoAuthChosen = Bytes({5, 0});

std::string Socks5Connect(const std::string& host) {
    return Bytes({5, 1, 0, 3, static_cast<int>(host.size())}) + host + Bytes({0x1F, 0x90});
}

TEST(SocksFake, Socks4SendsTheResolvedAddressAndUserId) {
    FakeSocksProxy proxy({{ProxyStep::Expect, Bytes({4, 1, 0x1F, 0x90, 127, 0, 0, 1, 'b', 'q', 0})},
                          {ProxyStep::Answer, Socks4Granted + "from target"}});
    ProxiedClient p(proxy, svSocks4, "127.0.0.1");
    p.client.SocksInfo.UserID = "bq";
    p.client.Connect();
    EXPECT_EQ(p.ReadExact(11), "from target");
    EXPECT_EQ(p.status.Events(), (Events{"Connecting to 127.0.0.1.", "Connected.", "<connected>"}));
    p.client.Disconnect();
    EXPECT_EQ(proxy.Mismatch(), "");
}

TEST(SocksFake, Socks4ARequestForAFourByteHostIsFourteenBytes) {
    FakeSocksProxy proxy(
        {{ProxyStep::Expect, Bytes({4, 1, 0x1F, 0x90, 0, 0, 0, 1, 0, 'a', 'b', 'c', 'd', 0})},
         {ProxyStep::AnswerBytewise, Socks4Granted}});
    ProxiedClient p(proxy, svSocks4A, "abcd");
    p.client.Connect();
    EXPECT_TRUE(p.client.IsConnected());
    p.client.Disconnect();
    EXPECT_EQ(proxy.Mismatch(), "");
}

struct Refusal {
    int code;
    std::string message;
};

void PrintTo(const Refusal& row, std::ostream* out) {
    *out << "code " << row.code;
}

class SocksFakeSocks4Refusal : public testing::TestWithParam<Refusal> {};

TEST_P(SocksFakeSocks4Refusal, RaisesItsMessageAndLeavesTheProxyConnectionOpen) {
    FakeSocksProxy proxy({{ProxyStep::Expect, Bytes({4, 1, 0x1F, 0x90, 127, 0, 0, 1, 0})},
                          {ProxyStep::Answer, Bytes({0, GetParam().code, 0, 0, 0, 0, 0, 0})}});
    ProxiedClient p(proxy, svSocks4, "127.0.0.1");
    try {
        p.client.Connect();
        FAIL() << "code " << GetParam().code << " accepted";
    } catch (const EIdSocksError& e) {
        EXPECT_EQ(e.Message, GetParam().message);
    }
    EXPECT_TRUE(p.client.SocketHandle.SocketAllocated());
    EXPECT_EQ(p.status.Events(), (Events{"Connecting to 127.0.0.1."}));
    p.client.Disconnect();
    EXPECT_EQ(proxy.Mismatch(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SocksFakeSocks4Refusal,
    testing::Values(Refusal{91, "Request rejected or failed."},
                    Refusal{92, "Request rejected because SOCKS server cannot connect."},
                    Refusal{93, "Request rejected because the client program and identd report "
                                "different user-ids."},
                    Refusal{0, "Unknown socks error."}, Refusal{0xFF, "Unknown socks error."}));

TEST(SocksFake, Socks4ReplyCutShortEndsWithTheClose) {
    FakeSocksProxy proxy({{ProxyStep::Expect, Bytes({4, 1, 0x1F, 0x90, 127, 0, 0, 1, 0})},
                          {ProxyStep::Answer, Bytes({0, 90, 0})},
                          {ProxyStep::Hangup, {}}});
    ProxiedClient p(proxy, svSocks4, "127.0.0.1");
    EXPECT_THROW(p.client.Connect(), EIdConnClosedGracefully);
    EXPECT_EQ(proxy.Mismatch(), "");
}

struct BoundAddress {
    const char* name;
    std::string reply; // everything after VER REP RSV
};

void PrintTo(const BoundAddress& row, std::ostream* out) {
    *out << row.name;
}

class SocksFakeSocks5Reply : public testing::TestWithParam<BoundAddress> {};

TEST_P(SocksFakeSocks5Reply, ConsumesExactlyTheReply) {
    FakeSocksProxy proxy({{ProxyStep::Expect, Socks5NoAuthGreeting},
                          {ProxyStep::Answer, Socks5NoAuthChosen},
                          {ProxyStep::Expect, Socks5Connect("target.example")},
                          {ProxyStep::Answer, Bytes({5, 0, 0}) + GetParam().reply + "TARGET"}});
    ProxiedClient p(proxy, svSocks5, "target.example");
    p.client.Connect();
    EXPECT_EQ(p.ReadExact(6), "TARGET");
    EXPECT_EQ(p.status.Events(), (Events{"Connecting to 127.0.0.1.", "Connected.", "<connected>"}));
    p.client.Disconnect();
    EXPECT_EQ(proxy.Mismatch(), "");
}

INSTANTIATE_TEST_SUITE_P(
    AddressTypes, SocksFakeSocks5Reply,
    testing::Values(BoundAddress{"IPv4", Bytes({1, 10, 0, 0, 1, 0x04, 0x38})},
                    BoundAddress{"NineByteName", Bytes({3, 9}) + "ninechars" + Bytes({0, 80})},
                    BoundAddress{"IPv6", Bytes({4}) + std::string(16, '\x20') + Bytes({0, 80})},
                    BoundAddress{"UnknownType", Bytes({9, 0, 0, 80})}),
    [](const testing::TestParamInfo<BoundAddress>& info) { return info.param.name; });

TEST(SocksFake, Socks5WithPasswordInPieces) {
    FakeSocksProxy proxy({{ProxyStep::Expect, Bytes({5, 1, 2})},
                          {ProxyStep::AnswerBytewise, Bytes({5, 2})},
                          {ProxyStep::Expect, Bytes({1, 4, 'u', 's', 'e', 'r', 3, 'p', 'w', 'd'})},
                          {ProxyStep::AnswerBytewise, Bytes({1, 0})},
                          {ProxyStep::Expect, Socks5Connect("127.0.0.1")},
                          {ProxyStep::AnswerBytewise, Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 80})}});
    ProxiedClient p(proxy, svSocks5, "127.0.0.1");
    p.client.SocksInfo.Authentication = saUsernamePassword;
    p.client.SocksInfo.UserID = "user";
    p.client.SocksInfo.Password = "pwd";
    p.client.Connect();
    EXPECT_EQ(p.client.InputQueueSize(), 0);
    p.client.Disconnect();
    EXPECT_EQ(proxy.Mismatch(), "");
}

struct Socks5Failure {
    const char* name;
    TSocksAuthentication authentication;
    std::vector<ProxyStep> script;
    std::string message;
};

void PrintTo(const Socks5Failure& row, std::ostream* out) {
    *out << row.name;
}

class SocksFakeSocks5Failure : public testing::TestWithParam<Socks5Failure> {};

TEST_P(SocksFakeSocks5Failure, RaisesItsMessage) {
    FakeSocksProxy proxy(GetParam().script);
    ProxiedClient p(proxy, svSocks5, "t");
    p.client.SocksInfo.Authentication = GetParam().authentication;
    p.client.SocksInfo.UserID = "u";
    p.client.SocksInfo.Password = "p";
    try {
        p.client.Connect();
        FAIL() << "negotiation succeeded";
    } catch (const EIdSocksError& e) {
        EXPECT_EQ(e.Message, GetParam().message);
    }
    // A proxy that hung up has been noticed and closed; none counts as connected.
    const Events events = p.status.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "Connecting to 127.0.0.1.");
    EXPECT_EQ(std::count(events.begin(), events.end(), "Connected."), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), "<connected>"), 0);
    p.client.Disconnect();
    EXPECT_EQ(proxy.Mismatch(), "");
}

std::vector<ProxyStep> RefusedWith(int code) {
    return {{ProxyStep::Expect, Socks5NoAuthGreeting},
            {ProxyStep::Answer, Socks5NoAuthChosen},
            {ProxyStep::Expect, Socks5Connect("t")},
            {ProxyStep::Answer, Bytes({5, code, 0, 1, 0, 0, 0, 0, 0, 0})}};
}

const std::vector<ProxyStep> PasswordGreeting = {{ProxyStep::Expect, Bytes({5, 1, 2})}};

std::vector<ProxyStep> Then(std::vector<ProxyStep> first, const std::vector<ProxyStep>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SocksFakeSocks5Failure,
    testing::Values(
        Socks5Failure{"General", saNoAuthentication, RefusedWith(1),
                      "General SOCKS server failure."},
        Socks5Failure{"Ruleset", saNoAuthentication, RefusedWith(2),
                      "Connection not allowed by ruleset."},
        Socks5Failure{"Network", saNoAuthentication, RefusedWith(3), "Network unreachable."},
        Socks5Failure{"Host", saNoAuthentication, RefusedWith(4), "Host unreachable."},
        Socks5Failure{"Refused", saNoAuthentication, RefusedWith(5), "Connection refused."},
        Socks5Failure{"Ttl", saNoAuthentication, RefusedWith(6), "TTL expired."},
        Socks5Failure{"Command", saNoAuthentication, RefusedWith(7), "Command not supported."},
        Socks5Failure{"AddressType", saNoAuthentication, RefusedWith(8),
                      "Address type not supported."},
        Socks5Failure{"Unknown", saNoAuthentication, RefusedWith(9), "Unknown socks error."},
        Socks5Failure{"PasswordAnsweredWithNone", saUsernamePassword,
                      Then(PasswordGreeting, {{ProxyStep::Answer, Bytes({5, 0})}}),
                      "Invalid socks authentication method."},
        Socks5Failure{
            "NoMethodAcceptable",
            saNoAuthentication,
            {{ProxyStep::Expect, Socks5NoAuthGreeting}, {ProxyStep::Answer, Bytes({5, 0xFF})}},
            "Invalid socks authentication method."},
        Socks5Failure{
            "GarbageGreetingReply",
            saNoAuthentication,
            {{ProxyStep::Expect, Socks5NoAuthGreeting}, {ProxyStep::Answer, "HTTP/1.1 400"}},
            "Invalid socks authentication method."},
        Socks5Failure{"WrongPassword", saUsernamePassword,
                      Then(PasswordGreeting, {{ProxyStep::Answer, Bytes({5, 2})},
                                              {ProxyStep::Expect, Bytes({1, 1, 'u', 1, 'p'})},
                                              {ProxyStep::Answer, Bytes({1, 1})},
                                              {ProxyStep::Hangup, {}}}),
                      "Authentication error to socks server."},
        Socks5Failure{"SilentHangup",
                      saNoAuthentication,
                      {{ProxyStep::Expect, Socks5NoAuthGreeting}, {ProxyStep::Hangup, {}}},
                      "Socks server did not respond."},
        Socks5Failure{"GreetingReplyCutShort",
                      saNoAuthentication,
                      {{ProxyStep::Expect, Socks5NoAuthGreeting},
                       {ProxyStep::Answer, Bytes({5})},
                       {ProxyStep::Hangup, {}}},
                      "Socks server did not respond."},
        Socks5Failure{"BoundAddressCutShort",
                      saNoAuthentication,
                      {{ProxyStep::Expect, Socks5NoAuthGreeting},
                       {ProxyStep::Answer, Socks5NoAuthChosen},
                       {ProxyStep::Expect, Socks5Connect("t")},
                       {ProxyStep::Answer, Bytes({5, 0, 0, 3, 20, 'a', 'b'})},
                       {ProxyStep::Hangup, {}}},
                      "Socks server did not respond."}),
    [](const testing::TestParamInfo<Socks5Failure>& info) { return info.param.name; });

} // namespace
