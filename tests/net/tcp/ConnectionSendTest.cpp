// The send side: the one send loop with partial sends and closed peers, the
// text, integer, stream and file writers, and pending output.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ConnectedClient.h"
#include "RecordingIntercept.h"
#include "net/stack/IdException.h"
#include "tests/support/PeerThread.h"
#include "tests/support/TempDir.h"

namespace {

// A client whose sends go through a RecordingIntercept, to a peer thread
// that collects everything until the client closes.
struct InterceptedClient {
    explicit InterceptedClient(std::deque<int32_t> limits = {}) : intercept(std::move(limits)) {
        client.Host = "127.0.0.1";
        client.Port = peer.Port();
        client.SetIntercept(&intercept);
        client.SetInterceptEnabled(true);
        client.Connect();
    }
    // Closes the client and returns what the peer received.
    std::string Received() {
        client.Disconnect();
        peer.Join();
        return received;
    }

    std::string received;
    PeerThread peer{[this](int fd) { received = loopback::ReceiveUntilClosed(fd); }};
    RecordingIntercept intercept;
    TIdTCPClient client;
};

std::string Pattern(size_t size) {
    std::string bytes;
    for (size_t i = 0; i < size; ++i)
        bytes += static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

TEST(ConnectionSend, EmptyTextChecksNothing) {
    TIdTCPClient client;
    EXPECT_NO_THROW(client.WriteText(""));
    EXPECT_NO_THROW(client.SendBytes("x", 0));
}

TEST(ConnectionSend, WritingOnANeverOpenedConnectionRaises) {
    TIdTCPClient client;
    EXPECT_THROW(client.WriteText("x"), EIdConnClosedGracefully);
}

TEST(ConnectionSend, WritingAfterThePeerClosedRaisesEvenWithInputQueued) {
    ConnectedClient c;
    c.PeerSends("abc", true);
    for (int pass = 0; pass < 10 && c.client.SocketHandle.SocketAllocated(); ++pass)
        c.client.ReceiveFromSocket(false, IdTimeoutInfinite, true, nullptr);
    ASSERT_EQ(c.client.InputQueueSize(), 3);
    EXPECT_THROW(c.client.WriteText("x"), EIdConnClosedGracefully);
}

TEST(ConnectionSend, EmptyLineIsCrLf) {
    ConnectedClient c;
    c.client.WriteLine();
    c.client.WriteLine("ok");
    c.client.Disconnect();
    EXPECT_EQ(loopback::ReceiveUntilClosed(c.peer.Get()), "\r\nok\r\n");
}

TEST(ConnectionSend, IntegersInEitherByteOrder) {
    ConnectedClient c;
    c.client.WriteInt32(0x01020304, true);
    c.client.WriteInt32(-2, true);
    c.client.Disconnect();
    EXPECT_EQ(loopback::ReceiveUntilClosed(c.peer.Get()),
              std::string("\x01\x02\x03\x04\xFF\xFF\xFF\xFE", 8));
}

TEST(ConnectionSend, PartialSendIsCompletedWithTheRest) {
    InterceptedClient c({3});
    std::vector<int32_t> work;
    c.client.OnWork = [&](TObject*, TWorkMode mode, int32_t count) {
        if (mode == wkWrite) work.push_back(count);
    };
    c.client.StartWork(wkWrite, 10);
    c.client.WriteText("0123456789");
    c.client.FinishWork(wkWrite);
    EXPECT_EQ(c.intercept.Offered, (std::vector<int32_t>{10, 7}));
    EXPECT_EQ(c.intercept.AfterSends, (std::vector<int32_t>{10, 7}));
    EXPECT_EQ(work, (std::vector<int32_t>{3, 10}));
    EXPECT_EQ(c.Received(), "0123456789");
}

TEST(ConnectionSend, ASendOfNothingIsThePeersCloseAndEndsTheLoop) {
    InterceptedClient c({0});
    StatusRecorder status(c.client);
    EXPECT_THROW(c.client.WriteText("abc"), EIdConnClosedGracefully);
    EXPECT_TRUE(c.client.PeerClosed());
    EXPECT_FALSE(c.client.SocketHandle.SocketAllocated());
    EXPECT_EQ(status.Events(), OneCloseReports());
}

TEST(ConnectionSend, SendingIntoAClosedPeerRaisesWithoutKillingTheProcess) {
    ConnectedClient c;
    c.peer.Close();
    const std::string block(65536, 'x');
    bool raised = false;
    for (int pass = 0; pass < 200 && !raised; ++pass) {
        try {
            c.client.WriteText(block);
        } catch (const EIdException&) {
            raised = true;
        }
    }
    EXPECT_TRUE(raised);
}

TEST(ConnectionStream, SendsInChunksOfTheSendBufferSize) {
    InterceptedClient c;
    const std::string data = Pattern(70000);
    std::istringstream stream(data);
    c.client.WriteFromStream(stream, true, false);
    EXPECT_EQ(c.intercept.Offered, (std::vector<int32_t>{32768, 32768, 4464}));
    EXPECT_EQ(c.Received(), data);
}

TEST(ConnectionStream, EmptyStreamWithCountSendsFourZeroBytes) {
    ConnectedClient c;
    std::vector<std::string> work;
    c.client.OnWorkBegin = [&](TObject*, TWorkMode mode, int32_t max) {
        work.push_back("begin " + std::to_string(mode) + " " + std::to_string(max));
    };
    c.client.OnWorkEnd = [&](TObject*, TWorkMode mode) {
        work.push_back("end " + std::to_string(mode));
    };
    std::istringstream empty;
    c.client.WriteFromStream(empty, true, true);
    c.client.Disconnect();
    EXPECT_EQ(loopback::ReceiveUntilClosed(c.peer.Get()), std::string(4, '\0'));
    EXPECT_EQ(work, (std::vector<std::string>{"begin 1 0", "end 1"}));
}

TEST(ConnectionStream, SendsFromThePositionUnlessAllIsAsked) {
    ConnectedClient c;
    std::istringstream stream("0123456789");
    stream.seekg(6);
    c.client.WriteFromStream(stream, false, true);
    stream.seekg(8);
    c.client.WriteFromStream(stream, true, false);
    c.client.Disconnect();
    EXPECT_EQ(loopback::ReceiveUntilClosed(c.peer.Get()),
              std::string("\0\0\0\x04", 4) + "6789" + "0123456789");
}

TEST(ConnectionStream, FinishesWorkWhenTheSendFails) {
    TIdTCPClient client;
    int ends = 0;
    client.OnWorkEnd = [&](TObject*, TWorkMode) { ++ends; };
    client.StartWork(wkWrite, 0); // an outer pair, so that the inner end is counted by level
    std::istringstream stream("data");
    EXPECT_THROW(client.WriteFromStream(stream, true, false), EIdConnClosedGracefully);
    client.FinishWork(wkWrite);
    EXPECT_EQ(ends, 1); // only the outermost finish reports, so the inner one did lower the level
}

class ConnectionFile : public testing::TestWithParam<bool> {};

TEST_P(ConnectionFile, SendsTheWholeFileEitherWay) {
    TempDir dir;
    const std::string data = Pattern(100000);
    {
        std::ofstream file(dir.Path("payload"), std::ios::binary);
        file << data;
    }
    ConnectedClient c;
    std::string received;
    std::thread reader([&] { received = loopback::ReceiveUntilClosed(c.peer.Get()); });
    const int32_t result = c.client.WriteFromFile(dir.Path("payload"), GetParam());
    c.client.Disconnect();
    reader.join();
    EXPECT_EQ(result, 100000);
    EXPECT_EQ(received, data);
}

INSTANTIATE_TEST_SUITE_P(AllowTransmit, ConnectionFile, testing::Bool());

TEST(ConnectionFileMissing, RaisesAndSendsNothing) {
    ConnectedClient c;
    EXPECT_ANY_THROW(c.client.WriteFromFile("/nonexistent/bqtest-file", false));
    c.client.Disconnect();
    EXPECT_EQ(loopback::ReceiveUntilClosed(c.peer.Get()), "");
}

TEST(PendingOutput, ThresholdFlushesThatManyBytes) {
    InterceptedClient c;
    c.client.CreatePendingOutput(10);
    c.client.WriteText("abcd");
    EXPECT_TRUE(c.intercept.Offered.empty());
    c.client.WriteText("efghijkl");
    EXPECT_EQ(c.intercept.Offered, (std::vector<int32_t>{10}));
    EXPECT_EQ(c.client.PendingOutputSize(), 2);
    c.client.SendBytes("!", 1, true);
    EXPECT_EQ(c.client.PendingOutputSize(), 2);
    c.client.FlushPendingOutput();
    EXPECT_EQ(c.Received(), "abcdefghij!kl");
}

TEST(PendingOutput, ZeroThresholdWaitsForTheFlush) {
    InterceptedClient c;
    c.client.CreatePendingOutput(0);
    for (int i = 0; i < 5; ++i)
        c.client.WriteText("xyz");
    EXPECT_TRUE(c.intercept.Offered.empty());
    c.client.FlushPendingOutput(4);
    EXPECT_EQ(c.client.PendingOutputSize(), 11);
    c.client.DiscardPendingOutput();
    c.client.FlushPendingOutput();
    EXPECT_EQ(c.intercept.Offered, (std::vector<int32_t>{4}));
    c.client.ReleasePendingOutput();
    c.client.WriteText("now");
    EXPECT_EQ(c.Received(), "xyzxnow");
}

class PendingOutputFlushAll : public testing::TestWithParam<int32_t> {};

TEST_P(PendingOutputFlushAll, SendsEverythingPending) {
    InterceptedClient c;
    c.client.CreatePendingOutput(0);
    c.client.WriteText("0123456789ab");
    c.client.FlushPendingOutput(GetParam());
    EXPECT_EQ(c.intercept.Offered, (std::vector<int32_t>{12}));
    EXPECT_EQ(c.client.PendingOutputSize(), 0);
    EXPECT_EQ(c.Received(), "0123456789ab");
}

INSTANTIATE_TEST_SUITE_P(Counts, PendingOutputFlushAll, testing::Values(-1, 12, 100));

// A peer that stops reading holds a send only until the deadline; what was
// sent before it stays sent, and the peer still gets it.
TEST(ConnectionSendTest, ASendToAPeerThatStopsReadingEndsAtTheDeadline) {
    ConnectedClient connected;
    connected.client.SetSendDeadline(std::chrono::steady_clock::now() +
                                     std::chrono::milliseconds(200));
    // More than any send and receive buffer of the two ends hold together.
    EXPECT_THROW(connected.client.WriteText(std::string(64 << 20, 'x')), EIdSendTimedOut);
    connected.client.SetSendDeadline(std::chrono::steady_clock::time_point::max());
    EXPECT_TRUE(connected.client.IsConnected());
}

} // namespace
