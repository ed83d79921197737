// The Telnet client against peers that reset the connection, trickle bytes,
// flood it, or open a subnegotiation that does not end.
#include <signal.h>

#include <gmock/gmock.h>

#include <cstdlib>
#include <optional>
#include <thread>

#include "FaultSession.h"
#include "FloodSource.h"
#include "net/stack/winsock/WinsockErrors.h"
#include "net/telnet/TelnetCodes.h"
#include "tests/support/ByteText.h"
#include "tests/support/LoopbackPeer.h"
#include "tests/support/ProcessProbe.h"

using namespace std::chrono_literals;
using ::testing::AnyOf;
using ::testing::ElementsAre;
using ::testing::Eq;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

constexpr size_t MiB = 1024 * 1024;

size_t FloodBytes() {
    // A shorter flood for slow instrumented builds; the cases stay the same.
    const char* megabytes = std::getenv("BQ_FLOOD_MB");
    return (megabytes ? std::strtoul(megabytes, nullptr, 10) : 50) * MiB;
}

} // namespace

// A reset peer must surface as an exception from the write, never as SIGPIPE,
// which would end the process with no message for the operator.
TEST_F(FaultSession, PeerResetDuringASendBurstRaisesAndKeepsRaising) {
    struct sigaction current {};
    ::sigaction(SIGPIPE, nullptr, &current);
    ASSERT_EQ(current.sa_handler, SIG_DFL) << "with SIGPIPE ignored this test would prove nothing";
    ASSERT_NO_FATAL_FAILURE(Open());

    const std::string typed(1000, 'x');
    for (const char ch : typed)
        Client->TransmitChar(ch);
    ASSERT_EQ(loopback::ReceiveExactly(Peer.Get(), typed.size()), typed);
    ResetPeer();

    std::optional<int32_t> failedCode; // 0: closed gracefully
    std::string message;
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    for (int sent = 0;
         sent < 1'000'000 && !failedCode && std::chrono::steady_clock::now() < deadline; ++sent) {
        try {
            Client->TransmitChar('y');
        } catch (const EIdSocketError& e) {
            failedCode = e.ErrorCode;
            message = e.Message;
        } catch (const EIdConnClosedGracefully& e) {
            failedCode = 0;
            message = e.Message;
        }
    }
    ASSERT_TRUE(failedCode) << "the burst never failed after the peer's reset";
    EXPECT_THAT(*failedCode,
                AnyOf(Eq(0), Eq(Id_WSAECONNRESET), Eq(Id_WSAECONNABORTED), Eq(Id_WSAESHUTDOWN)));
    if (*failedCode == 0)
        EXPECT_EQ(message, "Connection Closed Gracefully.");
    else
        EXPECT_THAT(message, StartsWith("Socket Error # " + std::to_string(*failedCode) + "\r\n"));

    for (int again = 0; again < 3; ++again)
        EXPECT_THROW(Client->TransmitChar('z'), EIdException);
    Client->Disconnect();
    EXPECT_THROW(Client->TransmitChar('z'), EIdConnClosedGracefully);
    // It ends by the reset's error or, after Disconnect, by its terminate flag.
    EXPECT_TRUE(ServeUntilReaderEnds());
}

// A receive that fails leaves the socket open (no status from the reader);
// the owner's Disconnect then reports the close on its own thread.
TEST_F(FaultSession, PeerResetWhileTheReaderWaitsEndsItWithTheResetError) {
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "line\r\n"));
    ASSERT_TRUE(ServeUntilReceived(6));
    ResetPeer();

    ASSERT_TRUE(ServeUntilReaderEnds());
    EXPECT_THAT(Reader->TerminatingMessage, StartsWith("Socket Error # 10054\r\n"));
    EXPECT_THAT(Reader->TerminatingMessage, HasSubstr("reset"));
    EXPECT_EQ(Received, "line\r\n");

    Client->Disconnect();
    EXPECT_THAT(Statuses(), ElementsAre("Connecting to 127.0.0.1.", "Connected.",
                                        "Disconnecting from 127.0.0.1.", "Not connected."));
}

// However the bytes are cut into receives, the data text is the same and every
// request is answered once: the parser's state carries over between chunks.
TEST_F(FaultSession, PeerSendingOneByteAtATimeLosesNothing) {
    ASSERT_NO_FATAL_FAILURE(Open());
    FloodSource source(7, 97);
    const std::string wire = source.Next(3000);
    ASSERT_GT(source.Requests(), 20U);
    std::thread peer([&] {
        for (const char byte : wire)
            if (!loopback::SendAll(Peer.Get(), std::string(1, byte))) return;
    });
    const bool arrived = ServeUntilReceived(source.Data().Count);
    peer.join();
    ASSERT_TRUE(arrived) << Received.size() << " of " << source.Data().Count << " bytes";

    StreamDigest got;
    got.Add(Received);
    EXPECT_EQ(got, source.Data());
    EXPECT_EQ(loopback::ReceiveExactly(Peer.Get(), source.ExpectedReplies().size()),
              source.ExpectedReplies());
    Client->Disconnect();
    EXPECT_EQ(loopback::ReceiveUntilClosed(Peer.Get()), "") << "more than one reply per request";
}

class FloodTest : public FaultSession, public ::testing::WithParamInterface<size_t> {};

// The reader takes what the GUI thread has handled before it reads on, so a
// flood waits in the socket and never piles up in memory.
TEST_P(FloodTest, EveryDataByteArrivesOnceInOrderAndMemoryStaysBounded) {
    StreamDigest got;
    Client->SetOnDataAvailable([&](const std::string& text) { got.Add(text); });
    ASSERT_NO_FATAL_FAILURE(Open());
    const size_t total = FloodBytes();
    FloodSource source(2026, GetParam());
    const bool peakReset = ResetPeakResident();
    const int64_t residentBefore = ResidentKb();

    std::thread peer([&, fd = Peer.Get()] {
        for (size_t sent = 0; sent < total; sent += 65536)
            if (!loopback::SendAll(fd, source.Next(std::min<size_t>(65536, total - sent)))) return;
    });
    const bool arrived = Gui->ServeUntil([&] { return got.Count >= total; }, 240s);
    const int64_t peak = PeakResidentKb();
    if (!arrived) Client->Disconnect(); // releases a peer blocked in its send
    peer.join();
    ASSERT_TRUE(arrived) << got.Count << " of " << total << " bytes";

    EXPECT_EQ(got, source.Data());
    if (GetParam() > 0) {
        EXPECT_EQ(source.Requests(), total / GetParam());
    }
    EXPECT_EQ(loopback::ReceiveExactly(Peer.Get(), source.ExpectedReplies().size()),
              source.ExpectedReplies());
    RecordProperty("PeakGrowthKb", std::to_string(peak - residentBefore));
    if (MemoryFiguresMeaningful() && peakReset) {
        EXPECT_LT(peak - residentBefore, static_cast<int64_t>(total / 1024 / 8))
            << "peak resident grew by " << peak - residentBefore << " kB for a " << total / 1024
            << " kB flood";
    }
}

INSTANTIATE_TEST_SUITE_P(PlainAndTelnet, FloodTest, ::testing::Values(size_t{0}, size_t{65536}),
                         [](const auto& info) {
                             return info.param == 0 ? "DataOnly" : "WithIacAndNegotiation";
                         });

// RFC 855 gives a subnegotiation no length limit; the client keeps what it
// collects for one chunk only, so a peer that never sends IAC SE costs at most
// a chunk, and the session goes on once the peer does end it.
TEST_F(FaultSession, SubnegotiationThatNeverEndsCostsAChunkAndTheSessionRecovers) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const size_t payload = 8 * MiB;
    const bool peakReset = ResetPeakResident();
    const int64_t residentBefore = ResidentKb();
    std::thread peer([&, fd = Peer.Get()] {
        if (!loopback::SendAll(fd, Bytes({TN_IAC, TN_SB, TNO_TERMTYPE}))) return;
        // Never IAC, never the single byte SEND that would ask for a reply.
        std::string block(65536, '\0');
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<char>('A' + i % 26);
        for (size_t sent = 0; sent < payload; sent += block.size())
            if (!loopback::SendAll(fd, block)) return;
        loopback::SendAll(fd, Bytes({TN_IAC, TN_SE}) + "hello\r\n" +
                                  Bytes({TN_IAC, TN_DO, TNO_TERMTYPE}));
    });
    const bool recovered = ServeUntilReceived(7, 120s);
    const int64_t peak = PeakResidentKb();
    if (!recovered) Client->Disconnect();
    peer.join();
    ASSERT_TRUE(recovered);

    EXPECT_EQ(Received, "hello\r\n");
    EXPECT_GT(Deliveries, 1U) << "the subnegotiation's chunks are delivered as empty texts";
    EXPECT_EQ(loopback::ReceiveExactly(Peer.Get(), 3), Bytes({TN_IAC, TN_WILL, TNO_TERMTYPE}));
    Client->Disconnect();
    EXPECT_EQ(loopback::ReceiveUntilClosed(Peer.Get()), "")
        << "the unfinished subnegotiation got a reply";
    RecordProperty("PeakGrowthKb", std::to_string(peak - residentBefore));
    if (MemoryFiguresMeaningful() && peakReset) {
        EXPECT_LT(peak - residentBefore, 4 * 1024)
            << "peak resident grew by " << peak - residentBefore << " kB";
    }
}
