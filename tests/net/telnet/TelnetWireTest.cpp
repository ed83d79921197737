// What a Telnet session puts on the wire over loopback: the carriage-return
// rule, the negotiation replies, and writes from two threads kept whole.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SessionFixture.h"
#include "tests/support/ByteText.h"
#include "tests/support/LoopbackPeer.h"

namespace {

class TelnetWire : public SessionFixture {
protected:
    // Everything the client wrote up to a marker typed now. Writes leave in
    // order, so whatever the reader wrote before its last delivery comes first.
    std::string WrittenSoFar() {
        Client->TransmitChar('#');
        std::string written = loopback::ReceiveThrough(Peer.Get(), '#');
        EXPECT_EQ(written.empty() ? '\0' : written.back(), '#');
        if (!written.empty()) written.pop_back();
        return written;
    }

    std::string DeliveredText() const {
        std::string text;
        for (const std::string& event : Events())
            if (event.rfind("data:", 0) == 0) text += event.substr(5);
        return text;
    }

    // Serves deliveries until the data text ends with `last`.
    bool ServeUntilDelivered(char last) {
        return Gui->ServeUntil([&] {
            const std::string text = DeliveredText();
            return !text.empty() && text.back() == last;
        });
    }
};

TEST_F(TelnetWire, CarriageReturnIsCrLfUntilThePeerSendsAnIacAndAgainAfterDisconnect) {
    Open();
    Client->TransmitChar('\r');
    Client->TransmitChar('\xFF');
    EXPECT_EQ(Hex(WrittenSoFar()), "0D 0A FF");
    ClearEvents();

    // NOP: no reply, no data, but the peer speaks Telnet now
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), Bytes("FF F1")));
    ASSERT_TRUE(ServeUntilEvents(1));
    EXPECT_EQ(Events(), std::vector<std::string>{"data:"});
    EXPECT_TRUE(Client->IsTelnetPeer());
    Client->TransmitChar('\r');
    Client->TransmitChar('a');
    EXPECT_EQ(Hex(WrittenSoFar()), "0D 61");

    Client->Disconnect();
    EXPECT_FALSE(Client->IsTelnetPeer());
    Open();
    Client->TransmitChar('\r');
    EXPECT_EQ(Hex(WrittenSoFar()), "0D 0A");
}

struct NegotiationRow {
    const char* Name;
    const char* Received; // what the peer sends, hex
    const char* Replies;  // what must come back, hex
    const char* Data;     // the data text delivered, hex
    std::vector<std::string> Notices;
};

class TelnetNegotiation : public TelnetWire,
                          public ::testing::WithParamInterface<NegotiationRow> {};

TEST_P(TelnetNegotiation, RepliesOnTheWireAndDeliversTheData) {
    const NegotiationRow& row = GetParam();
    Client->OnTelnetCommand = [this](TComponent* sender, TTelnetCommand status) {
        Record(std::string(sender == Client.get() ? "" : "foreign ") +
               "command:" + std::to_string(status) + (IsMainThread() ? "" : " (reader)"));
    };
    Open();
    // The closing '~' tells when the reader has handled everything before it.
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), Bytes(row.Received) + "~"));
    ASSERT_TRUE(ServeUntilDelivered('~'));

    EXPECT_EQ(Hex(WrittenSoFar()), row.Replies);
    EXPECT_EQ(Hex(DeliveredText()), Hex(Bytes(row.Data) + "~"));
    std::vector<std::string> notices;
    for (const std::string& event : Events())
        if (event.find("command:") != std::string::npos) notices.push_back(event);
    EXPECT_EQ(notices, row.Notices);
}

const std::string EchoNotice(TTelnetCommand status) {
    return "command:" + std::to_string(status) + " (reader)";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TelnetNegotiation,
    ::testing::Values(
        NegotiationRow{"TerminalType",
                       "FF FD 18 FF FA 18 01 FF F0",
                       "FF FB 18 FF FA 18 00 64 75 6D 62 FF F0",
                       "",
                       {}},
        NegotiationRow{"WillEcho", "FF FB 01", "FF FD 01", "", {EchoNotice(ceServerEchoes)}},
        NegotiationRow{"DoEcho", "FF FD 01", "FF FB 01", "", {EchoNotice(ceClientEchoes)}},
        NegotiationRow{"WontEcho", "FF FC 01", "FF FE 01", "", {EchoNotice(ceClientEchoes)}},
        NegotiationRow{"DontEcho", "FF FE 01", "FF FC 01", "", {EchoNotice(ceNoEcho)}},
        NegotiationRow{"WillSuppressGoAhead", "FF FB 03", "FF FE 03", "", {}},
        NegotiationRow{"WillEndOfRecord", "FF FB 19", "FF FD 19", "", {}},
        NegotiationRow{"DoWindowSize", "FF FD 1F", "FF FC 1F", "", {}},
        NegotiationRow{"DoAuthentication", "FF FD 25", "FF FC 25", "", {}},
        NegotiationRow{"WontTerminalType", "FF FC 18", "FF FE 18", "", {}},
        NegotiationRow{"RepeatedRequest", "FF FD 1F FF FD 1F", "FF FC 1F FF FC 1F", "", {}},
        NegotiationRow{"SubnegotiationNotSend", "FF FA 18 00 FF F0", "", "", {}},
        NegotiationRow{"NopAndAreYouThere", "FF F1 FF F6", "", "", {}},
        NegotiationRow{"DataAroundCommands",
                       "61 FF FB 03 62 FF FF 00 0D 0A",
                       "FF FE 03",
                       "61 62 FF 00 0D 0A",
                       {}}),
    [](const ::testing::TestParamInfo<NegotiationRow>& info) {
        return std::string(info.param.Name);
    });

TEST_F(TelnetWire, ACommandSplitAcrossChunksIsAnsweredWithTheSecond) {
    Open();
    ClearEvents();
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), Bytes("FF")));
    ASSERT_TRUE(ServeUntilEvents(1));
    EXPECT_EQ(Events(), std::vector<std::string>{"data:"});
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), Bytes("FD 18") + "~"));
    ASSERT_TRUE(ServeUntilDelivered('~'));
    EXPECT_EQ(Hex(WrittenSoFar()), "FF FB 18");
    EXPECT_EQ(DeliveredText(), "~");
}

TEST_F(TelnetWire, EmptyTerminalIsAnsweredAsDumb) {
    Client->SetTerminal("");
    Open();
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), Bytes("FF FA 18 01 FF F0") + "~"));
    ASSERT_TRUE(ServeUntilDelivered('~'));
    EXPECT_EQ(Hex(WrittenSoFar()), "FF FA 18 00 64 75 6D 62 FF F0");
    EXPECT_EQ(Client->GetTerminal(), "dumb");
}

// Replies written by the reader and characters typed on the main thread go
// out at the same time; each must arrive whole, in its own order.
TEST_F(TelnetWire, RepliesAndTypedCharactersNeverInterleave) {
    constexpr int Rounds = 300;
    const std::string request = Bytes("FF FD 1F");
    const std::string reply = Bytes("FF FC 1F");
    Open();
    std::thread requester([&] {
        for (int i = 0; i < Rounds; ++i)
            ASSERT_TRUE(loopback::SendAll(Peer.Get(), request));
        ASSERT_TRUE(loopback::SendAll(Peer.Get(), "~"));
    });
    std::string typed;
    for (int i = 0; i < Rounds; ++i) {
        typed += static_cast<char>('a' + i % 26);
        Client->TransmitChar(typed.back());
        CheckSynchronize();
    }
    requester.join();
    ASSERT_TRUE(ServeUntilDelivered('~'));

    std::string written = WrittenSoFar();
    int replies = 0;
    for (size_t at = written.find(reply); at != std::string::npos && replies <= Rounds;
         at = written.find(reply, at)) {
        written.erase(at, reply.size());
        ++replies;
    }
    EXPECT_EQ(replies, Rounds);
    EXPECT_EQ(written, typed);
    EXPECT_EQ(DeliveredText(), "~");
}

// A reply too long for the socket's buffers leaves in many pieces while the
// peer reads; a character typed meanwhile must wait for the whole reply.
TEST_F(TelnetWire, ACharacterTypedDuringALongReplyWaitsForItsEnd) {
    const std::string terminal(8 << 20, 'T');
    const std::string reply = Bytes("FF FA 18 00") + terminal + Bytes("FF F0");
    Client->SetTerminal(terminal);
    Open();
    std::mutex lock;
    std::condition_variable arrived;
    bool replyStarted = false;
    std::string received;
    std::thread collector([&] {
        std::string first = loopback::ReceiveExactly(Peer.Get(), 1);
        {
            const std::lock_guard guard(lock);
            replyStarted = !first.empty();
        }
        arrived.notify_all();
        received = first + loopback::ReceiveExactly(Peer.Get(), reply.size());
    });
    EXPECT_TRUE(loopback::SendAll(Peer.Get(), Bytes("FF FA 18 01 FF F0")));
    {
        std::unique_lock guard(lock);
        EXPECT_TRUE(arrived.wait_for(guard, Patience, [&] { return replyStarted; }));
    }
    Client->TransmitChar('#');
    collector.join();
    ASSERT_EQ(received.size(), reply.size() + 1);
    EXPECT_EQ(received.find('#'), reply.size());
    EXPECT_TRUE(received.compare(0, reply.size(), reply) == 0);
}

// A send that ends at its deadline gives the write turn back: once the peer
// reads again, the next character goes out within the next deadline.
TEST_F(TelnetWire, ASendEndedByItsDeadlineLeavesTheNextOneFree) {
    Open();
    Client->SetSendDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(200));
    // More than any send and receive buffer of the two ends hold together.
    EXPECT_THROW(Client->WriteText(std::string(64 << 20, 'x')), EIdSendTimedOut);
    std::string received;
    std::thread reader([&] {
        const Deadline deadline;
        while ((received.empty() || received.back() != '#') &&
               loopback::ReceiveInto(Peer.Get(), received, 1 << 16, deadline) ==
                   loopback::Received::Data) {
        }
    });
    Client->SetSendDeadline(std::chrono::steady_clock::now() + Patience);
    EXPECT_NO_THROW(Client->TransmitChar('#'));
    reader.join();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back(), '#');
    EXPECT_EQ(received.find_first_not_of('x'), received.size() - 1);
}

} // namespace
