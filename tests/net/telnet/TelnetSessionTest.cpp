// The Telnet session's life over loopback: connecting, failing to connect,
// disconnecting, and every way its reader ends.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "SessionFixture.h"
#include "runtime/CallQueue.h"
#include "runtime/Synchronize.h"
#include "tests/support/LoopbackPeer.h"
#include "tests/support/ProcessProbe.h"
#include "tests/support/Watchdog.h"

using namespace std::chrono_literals;

namespace {

using Strings = std::vector<std::string>;

class TelnetSession : public SessionFixture {};

TEST_F(TelnetSession, ConnectToAClosedPortReportsCleansUpAndLeavesTheClientUsable) {
    Client->OnConnect = [this] { Record("OnConnect"); };
    const loopback::ClosedPort closed;
    Client->Port = closed.Port();
    try {
        Client->Connect();
        ADD_FAILURE() << "Connect to a closed port returned";
    } catch (const EIdTelnetClientConnectError& e) {
        EXPECT_EQ(e.Message, "server not responding");
    }
    EXPECT_EQ(Events(), (Strings{"OnConnect", "status:Connecting to 127.0.0.1.",
                                 "status:Disconnecting from 127.0.0.1.", "status:Not connected.",
                                 "OnDisconnect"}));
    EXPECT_EQ(Client->ReaderThread(), nullptr);

    ClearEvents();
    Client->Port = Listener.Port();
    Open();
    EXPECT_EQ(Events(),
              (Strings{"OnConnect", "status:Connecting to 127.0.0.1.", "status:Connected."}));
    Client->TransmitChar('x');
    EXPECT_EQ(loopback::ReceiveExactly(Peer.Get(), 1), "x");
}

TEST_F(TelnetSession, ErrorsOtherThanSocketErrorsPassUnchanged) {
    Open();
    try {
        Client->Connect();
        ADD_FAILURE() << "a second Connect returned";
    } catch (const EIdAlreadyConnected& e) {
        EXPECT_EQ(e.Message, "Already connected.");
    }
    Client->Disconnect();
    Client->OnConnect = [] { throw std::runtime_error("refused by OnConnect"); };
    EXPECT_THROW(Client->Connect(), std::runtime_error);
}

TEST_F(TelnetSession, WithoutAConnectionDisconnectOnlyFiresItsEventAndSendingRaises) {
    Client->Disconnect();
    EXPECT_EQ(Events(), Strings{"OnDisconnect"});
    try {
        Client->TransmitChar('\r');
        ADD_FAILURE() << "TransmitChar without a connection returned";
    } catch (const EIdConnClosedGracefully& e) {
        EXPECT_EQ(e.Message, "Connection Closed Gracefully.");
    }
    EXPECT_FALSE(Listener.Accept(0ms).Valid());
}

TEST_F(TelnetSession, PeerClosingAfterALastLineEndsTheReaderGracefully) {
    Open();
    ClearEvents();
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "last line\r\n"));
    Peer.Close();
    ASSERT_TRUE(Gui->ServeUntil([&] { return ReaderEnded(); }));
    EXPECT_EQ(Events(),
              (Strings{"data:last line\r\n", "status:Disconnecting from 127.0.0.1. (reader)",
                       "status:Not connected. (reader)", "data:"}));
    EXPECT_EQ(Reader->TerminatingMessage, "Connection Closed Gracefully.");
    EXPECT_THROW(Client->TransmitChar('x'), EIdConnClosedGracefully);
}

TEST_F(TelnetSession, BytesArrivingDuringTheHandlerComeAsTheNextChunk) {
    Open();
    ClearEvents();
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "one"));
    ASSERT_TRUE(Gui->WaitUntil([&] { return Gui->CallQueued(); }));
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "two"));
    ASSERT_TRUE(ServeUntilEvents(2));
    EXPECT_EQ(Events(), (Strings{"data:one", "data:two"}));
}

TEST_F(TelnetSession, LinesThatArriveTogetherAreHandedOverOneByOne) {
    Open();
    ClearEvents();
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "one\r\n"));
    ASSERT_TRUE(Gui->WaitUntil([&] { return Gui->CallQueued(); }));
    // These pile up behind the first hand-over and come in one receive.
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "two\r\nthree\r\nfour"));
    ASSERT_TRUE(ServeUntilEvents(4));
    EXPECT_EQ(Events(), (Strings{"data:one\r\n", "data:two\r\n", "data:three\r\n", "data:four"}));
}

TEST_F(TelnetSession, WithoutOnDataAvailableTheFirstChunkIsNegotiatedAndEndsTheReader) {
    Client->SetOnDataAvailable(nullptr);
    Open();
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "\xFF\xFD\x18hello"));
    ASSERT_TRUE(Gui->ServeUntil([&] { return ReaderEnded(); }));
    EXPECT_EQ(Reader->TerminatingMessage, "OnDataAvailable event is nil.");
    // The reply left before the hand-over; the connection itself stays open.
    Client->TransmitChar('#');
    EXPECT_EQ(loopback::ReceiveExactly(Peer.Get(), 4), "\xFF\xFB\x18#");
}

TEST_F(TelnetSession, AHandlerThatRaisesEndsTheReaderWithItsMessage) {
    int calls = 0;
    Client->SetOnDataAvailable([&](const std::string&) {
        ++calls;
        throw EIdException("handler gave up");
    });
    Open();
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "first"));
    ASSERT_TRUE(Gui->ServeUntil([&] { return ReaderEnded(); }));
    EXPECT_EQ(Reader->TerminatingMessage, "handler gave up");
    EXPECT_EQ(calls, 1);
}

TEST_F(TelnetSession, DisconnectEndsAWaitingReaderWithoutTheMainThreadServingIt) {
    Open();
    ClearEvents();
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "x"));
    ASSERT_TRUE(ServeUntilEvents(1));
    ClearEvents();

    Client->Disconnect();
    EXPECT_EQ(Events(), (Strings{"status:Disconnecting from 127.0.0.1.", "status:Not connected.",
                                 "OnDisconnect"}));
    EXPECT_TRUE(Gui->WaitUntil([&] { return ReaderEnded(); }));
    // Nothing left for the main thread to run. (A wake-up may still arrive
    // late for the hand-over served above, so the queue itself is asked.)
    EXPECT_FALSE(CheckSynchronize());
    EXPECT_TRUE(loopback::PeerClosedWithin(Peer.Get()));
}

TEST_F(TelnetSession, DestroyingTheClientWhileItsReaderWaitsInTheHandOverDoesNotDeadlock) {
    Open();
    ClearEvents();
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "pending"));
    ASSERT_TRUE(Gui->WaitUntil([&] { return Gui->CallQueued(); }));
    {
        const Watchdog watchdog("destroying the client");
        Client.reset();
    }
    EXPECT_TRUE(ReaderEnded());
    EXPECT_EQ(Reader->TerminatingMessage, "OnDataAvailable event is nil.");
    // The pending text was not handed to a client on its way out, nor any status.
    EXPECT_TRUE(Events().empty());
    EXPECT_TRUE(loopback::PeerClosedWithin(Peer.Get()));
}

TEST_F(TelnetSession, AStatusHandlerRaisingOnDisconnectingLeavesNoReaderBehind) {
    Open();
    Client->SetOnStatus([](TObject*, TIdStatus status, const std::string&) {
        if (status == stDisconnecting) throw std::runtime_error("handler failed");
    });
    EXPECT_THROW(Client->Disconnect(), std::runtime_error);
    EXPECT_TRUE(Gui->WaitUntil([&] { return ReaderEnded(); }));
    EXPECT_TRUE(loopback::PeerClosedWithin(Peer.Get()));
    {
        const Watchdog watchdog("destroying the client");
        Client.reset();
    }
}

TEST_F(TelnetSession, ReconnectAfterThePeerClosedStartsAFreshReader) {
    Open();
    const auto first = Reader;
    Peer.Close();
    ASSERT_TRUE(Gui->ServeUntil([&] { return first->Finished(); }));
    Open();
    EXPECT_NE(Reader, first);
    ClearEvents();
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "again"));
    ASSERT_TRUE(ServeUntilEvents(1));
    EXPECT_EQ(Events(), Strings{"data:again"});
}

// The reader ends by itself on the peer's close, after handing over the
// close's empty text. The owner learns of the end by no call of the
// reader's (here: only from the kernel's thread list), so nothing but the
// client's own wait orders the reader's last steps on the client before the
// client is freed; ThreadSanitizer reports it otherwise.
TEST(TelnetReaderEnd, AClientFreedAfterItsReaderEndedAloneWaitsForItFirst) {
    loopback::Listener listener;
    const int threadsBefore = CountThreads();
    auto client = std::make_unique<TIdTelnet>();
    client->Host = "127.0.0.1";
    client->Port = listener.Port();
    const auto deliveries = std::make_shared<TCallQueue>();
    client->DeliveryQueue = deliveries;
    bool closeHandedOver = false;
    client->SetOnDataAvailable([&](const std::string& text) { closeHandedOver = text.empty(); });
    client->Connect();
    listener.Accept().Close();
    ASSERT_TRUE(deliveries->ServeUntil([&] { return closeHandedOver; },
                                       std::chrono::steady_clock::now() + 10s));
    ASSERT_TRUE(WaitForThreadCount(threadsBefore, 10s)) << "the reader did not end";
    const std::shared_ptr<TIdThread> reader = client->ReaderThread();
    client.reset();
    ASSERT_NE(reader, nullptr) << "an ended reader is still the client's to wait for";
    EXPECT_EQ(reader->TerminatingMessage, "Connection Closed Gracefully.");
}

} // namespace
