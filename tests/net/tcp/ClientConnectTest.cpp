// Opening a client connection: the reports in order, the clean-up after a
// refused connect, reconnecting, the Nagle option, and descriptor hygiene.
#include <gtest/gtest.h>

#include "ConnectedClient.h"
#include "net/stack/IdException.h"
#include "net/stack/winsock/WinsockBinding.h"
#include "net/stack/winsock/WinsockErrors.h"
#include "tests/support/ProcessProbe.h"

namespace {

using Events = std::vector<std::string>;

TEST(ClientConnect, ByAddressReportsConnectingThenConnected) {
    loopback::Listener listener;
    TIdTCPClient client;
    StatusRecorder status(client);
    client.Host = "127.0.0.1";
    client.Port = listener.Port();
    client.Connect();
    EXPECT_EQ(status.Events(), (Events{"Connecting to 127.0.0.1.", "Connected.", "<connected>"}));
    EXPECT_EQ(client.SocketHandle.RemoteIP, "127.0.0.1");
    EXPECT_EQ(client.SocketHandle.RemotePort, listener.Port());
    EXPECT_NE(client.SocketHandle.Port, 0);
    EXPECT_TRUE(client.IsConnected());
}

TEST(ClientConnect, ByNameResolvesFirst) {
    loopback::Listener listener;
    TIdTCPClient client;
    StatusRecorder status(client);
    client.Host = "localhost";
    client.Port = listener.Port();
    client.Connect();
    EXPECT_EQ(status.Events(), (Events{"Resolving hostname localhost.", "Connecting to 127.0.0.1.",
                                       "Connected.", "<connected>"}));
}

TEST(ClientConnect, RefusedConnectCleansUpAndCanBeRetried) {
    TIdTCPClient client;
    StatusRecorder status(client);
    client.Host = "127.0.0.1";
    const loopback::ClosedPort closed;
    client.Port = closed.Port();
    try {
        client.Connect();
        FAIL() << "connected to a closed port";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.ErrorCode, Id_WSAECONNREFUSED);
        EXPECT_EQ(e.Message, GlobalStack->SocketErrorText(Id_WSAECONNREFUSED));
    }
    EXPECT_EQ(status.Events(), (Events{"Connecting to 127.0.0.1.", "Disconnecting from 127.0.0.1.",
                                       "Not connected.", "<disconnected>"}));
    EXPECT_FALSE(client.SocketHandle.SocketAllocated());

    loopback::Listener listener;
    client.Port = listener.Port();
    status.Clear();
    client.Connect();
    EXPECT_EQ(status.Events(), (Events{"Connecting to 127.0.0.1.", "Connected.", "<connected>"}));
}

TEST(ClientConnect, SecondConnectIsRefusedAndTheFirstKeepsWorking) {
    ConnectedClient c;
    try {
        c.client.Connect();
        FAIL() << "connected twice";
    } catch (const EIdAlreadyConnected& e) {
        EXPECT_EQ(e.Message, "Already connected.");
    }
    c.client.WriteText("still here");
    EXPECT_EQ(loopback::ReceiveExactly(c.peer.Get(), 10), "still here");
    c.PeerSends("yes");
    char reply[3];
    c.client.ReadExact(reply, 3);
    EXPECT_EQ(std::string(reply, 3), "yes");
    EXPECT_TRUE(c.status.Events().empty());
}

TEST(ClientConnect, AGonePeerStillCountsAsConnectedUntilNoticed) {
    ConnectedClient c;
    c.peer.Close();
    EXPECT_THROW(c.client.Connect(), EIdAlreadyConnected);
}

TEST(ClientConnect, EveryConnectAndDisconnectIsReportedOnce) {
    loopback::Listener listener;
    TIdTCPClient client;
    StatusRecorder status(client);
    client.Host = "127.0.0.1";
    client.Port = listener.Port();
    for (int round = 0; round < 3; ++round) {
        client.Connect();
        client.Disconnect();
        client.Disconnect();
        UniqueFd accepted = listener.Accept();
        EXPECT_TRUE(loopback::PeerClosedWithin(accepted.Get()));
    }
    Events expected;
    for (int round = 0; round < 3; ++round)
        expected.insert(expected.end(),
                        {"Connecting to 127.0.0.1.", "Connected.", "<connected>",
                         "Disconnecting from 127.0.0.1.", "Not connected.", "<disconnected>"});
    EXPECT_EQ(status.Events(), expected);
}

// The close is latched once per socket; a status handler that raises while
// the close is reported must not leave the socket open behind the latch.
TEST(ClientConnect, AStatusHandlerRaisingOnDisconnectingStillReleasesTheSocket) {
    ConnectedClient c;
    bool raise = true;
    c.client.OnStatus = [&](TObject*, TIdStatus status, const std::string&) {
        if (status == stDisconnecting && raise) throw Exception("handler failed");
    };
    try {
        c.client.Disconnect();
        FAIL() << "the handler's exception was swallowed";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "handler failed");
    }
    EXPECT_FALSE(c.client.SocketHandle.SocketAllocated());
    EXPECT_TRUE(loopback::PeerClosedWithin(c.peer.Get()));
    c.client.Disconnect(); // nothing left to close: no report, no raise

    raise = false;
    c.client.Connect();
    UniqueFd second = c.listener.Accept();
    c.client.WriteText("again");
    EXPECT_EQ(loopback::ReceiveExactly(second.Get(), 5), "again");
}

TEST(ClientConnect, BindsToTheGivenLocalAddress) {
    loopback::Listener listener;
    TIdTCPClient client;
    client.BoundIP = "127.0.0.1";
    client.Host = "127.0.0.1";
    client.Port = listener.Port();
    client.Connect();
    EXPECT_EQ(client.SocketHandle.IP, "127.0.0.1");
}

class ClientNagle : public testing::TestWithParam<bool> {};

TEST_P(ClientNagle, NoDelayIsSetOnlyWhenNagleIsOff) {
    loopback::Listener listener;
    TIdTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = listener.Port();
    client.UseNagle = GetParam();
    client.Connect();
    // Read back through the sockets library's own entry: Windows may write
    // a single byte of the flag, so the value starts at zero.
    int32_t noDelay = 0;
    int length = sizeof noDelay;
    ASSERT_EQ(Winsock.getsockopt(client.SocketHandle.Socket(), Id_IPPROTO_TCP, Id_TCP_NODELAY,
                                 reinterpret_cast<char*>(&noDelay), &length),
              0);
    EXPECT_EQ(noDelay != 0, !GetParam());
}

INSTANTIATE_TEST_SUITE_P(UseNagle, ClientNagle, testing::Bool());

TEST(ClientConnect, AThousandCyclesLeaveNoDescriptorOpen) {
    loopback::Listener listener;
    TIdTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = listener.Port();
    const auto cycle = [&] {
        client.Connect();
        UniqueFd accepted = listener.Accept();
        ASSERT_TRUE(accepted.Valid());
        client.Disconnect();
    };
    cycle();
    const int before = CountOpenDescriptors();
    for (int round = 0; round < 1000 && !HasFatalFailure(); ++round)
        cycle();
    EXPECT_EQ(CountOpenDescriptors(), before);
}

TEST(ClientConnect, RefusedConnectsLeaveNoDescriptorOpen) {
    TIdTCPClient client;
    client.Host = "127.0.0.1";
    // Held for the whole test: a port merely free a moment ago may be taken by
    // a listener of a test running beside this one.
    const loopback::ClosedPort closed;
    client.Port = closed.Port();
    EXPECT_THROW(client.Connect(), EIdSocketError);
    const int before = CountOpenDescriptors();
    for (int round = 0; round < 100; ++round)
        EXPECT_THROW(client.Connect(), EIdSocketError);
    EXPECT_EQ(CountOpenDescriptors(), before);
}

TEST(SocksInfo, AssignCopiesTheSixSettingsAndRefusesOtherClasses) {
    TSocksInfo source;
    source.Authentication = saUsernamePassword;
    source.Host = "proxy";
    source.Password = "secret";
    source.Port = 1080;
    source.UserID = "me";
    source.Version = svSocks5;
    TIdTCPClient client;
    client.SocksInfo.Assign(source);
    EXPECT_EQ(client.SocksInfo.Authentication, saUsernamePassword);
    EXPECT_EQ(client.SocksInfo.Host, "proxy");
    EXPECT_EQ(client.SocksInfo.Password, "secret");
    EXPECT_EQ(client.SocksInfo.Port, 1080);
    EXPECT_EQ(client.SocksInfo.UserID, "me");
    EXPECT_EQ(client.SocksInfo.Version, svSocks5);
    EXPECT_THROW(client.SocksInfo.Assign(client), EConvertError);
}

} // namespace
