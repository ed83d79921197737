// The receive side against a real loopback peer: the input queue, the peer's
// close and its reports, exact and line reads.
#include <gtest/gtest.h>

#include "ConnectedClient.h"
#include "net/stack/IdException.h"
#include "tests/support/PeerThread.h"

namespace {

TEST(ConnectionReceive, NeverOpenedConnectionIsQuietlyEmpty) {
    TIdTCPClient client;
    StatusRecorder status(client);
    EXPECT_EQ(client.TakeAvailable(), "");
    EXPECT_FALSE(client.IsConnected());
    EXPECT_THROW(client.CheckPeerClosed(true, false), EIdConnClosedGracefully);
    client.Disconnect();
    EXPECT_TRUE(status.Events().empty());
}

TEST(ConnectionReceive, PeerSendsThreeBytesAndClosesReportedOnce) {
    ConnectedClient c;
    c.PeerSends("abc", true);
    EXPECT_EQ(c.client.TakeAvailable(), "abc");
    EXPECT_NO_THROW(c.client.CheckPeerClosed(true, false));
    EXPECT_EQ(c.client.TakeAvailable(), "");
    EXPECT_FALSE(c.client.SocketHandle.SocketAllocated());
    EXPECT_THROW(c.client.CheckPeerClosed(true, false), EIdConnClosedGracefully);
    EXPECT_EQ(c.client.TakeAvailable(), "");
    c.client.Disconnect();
    EXPECT_EQ(c.status.Events(), OneCloseReports());
}

TEST(ConnectionReceive, QueuedBytesSurviveTheCloseAndHoldBackTheError) {
    ConnectedClient c;
    c.PeerSends("12345", true);
    int32_t received = 0;
    for (int pass = 0; pass < 10 && c.client.SocketHandle.SocketAllocated(); ++pass)
        received += c.client.ReceiveFromSocket(false, IdTimeoutInfinite, true, nullptr);
    EXPECT_EQ(received, 5);
    EXPECT_FALSE(c.client.IsConnected());
    EXPECT_TRUE(c.client.PeerClosed());
    EXPECT_NO_THROW(c.client.CheckPeerClosed(true, false));
    EXPECT_THROW(c.client.CheckPeerClosed(true, true), EIdConnClosedGracefully);
    EXPECT_EQ(c.client.TakeBytes(5), "12345");
    EXPECT_THROW(c.client.CheckPeerClosed(true, false), EIdConnClosedGracefully);
    EXPECT_EQ(c.status.Events(), OneCloseReports());
}

TEST(ConnectionReceive, TakingPastTheQueueRaisesAndKeepsIt) {
    ConnectedClient c;
    c.PeerSends("abc");
    char first[1];
    c.client.ReadExact(first, 1); // waits for the bytes to be queued
    c.PeerSends("d");
    char second[3];
    c.client.ReadExact(second, 3);
    EXPECT_EQ(std::string(second, 3), "bcd");
    c.PeerSends("xyz");
    c.client.ReadExact(first, 1);
    ASSERT_EQ(c.client.InputQueueSize(), 2);
    EXPECT_THROW(c.client.TakeBytes(3), EIdNotEnoughDataInBuffer);
    EXPECT_EQ(c.client.InputQueueSize(), 2);
    EXPECT_EQ(c.client.TakeBytes(2), "yz");
}

TEST(ConnectionReceive, ExactReadOfMoreThanThePeerSentFailsAndKeepsWhatCame) {
    ConnectedClient c;
    c.PeerSends("abc", true);
    char buffer[8];
    EXPECT_THROW(c.client.ReadExact(buffer, 8), EIdConnClosedGracefully);
    EXPECT_EQ(c.client.InputQueueSize(), 3);
    EXPECT_EQ(c.client.TakeBytes(3), "abc");
    EXPECT_EQ(c.status.Events(), OneCloseReports());
}

TEST(ConnectionReceive, AsciiFilterClearsTheTopBit) {
    ConnectedClient c;
    c.client.ASCIIFilter = true;
    c.PeerSends("\xC1\x42\xFF\x7F");
    char buffer[4];
    c.client.ReadExact(buffer, 4);
    EXPECT_EQ(std::string(buffer, 4), "\x41\x42\x7F\x7F");
}

TEST(ConnectionReceive, BytesArriveUnchangedWithoutTheFilter) {
    ConnectedClient c;
    std::string all;
    for (int value = 0; value < 256; ++value)
        all += static_cast<char>(value);
    c.PeerSends(all + all, true);
    std::string got;
    for (int pass = 0; pass < 100 && c.client.IsConnected(); ++pass)
        got += c.client.TakeAvailable();
    EXPECT_EQ(got, all + all);
}

TEST(ConnectionReceive, ASmallReceiveBufferStillDeliversEverything) {
    ConnectedClient c;
    c.client.SetRecvBufferSize(0);
    EXPECT_EQ(c.client.RecvBufferSize(), 1);
    c.PeerSends("chunks");
    char buffer[6];
    c.client.ReadExact(buffer, 6);
    EXPECT_EQ(std::string(buffer, 6), "chunks");
    EXPECT_TRUE(c.client.IsConnected());
}

struct Line {
    const char* name;
    std::string queued;
    std::string terminator;
    std::string line;
    std::string left;
};

void PrintTo(const Line& row, std::ostream* out) {
    *out << row.name;
}

class ConnectionReadLine : public testing::TestWithParam<Line> {};

TEST_P(ConnectionReadLine, CutsAtTheTerminator) {
    ConnectedClient c;
    c.PeerSends(GetParam().queued);
    EXPECT_EQ(c.client.ReadLine(GetParam().terminator), GetParam().line);
    EXPECT_FALSE(c.client.LineTimedOut);
    EXPECT_EQ(c.client.TakeBytes(c.client.InputQueueSize()), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Terminators, ConnectionReadLine,
                         testing::Values(Line{"DefaultCrLf", "ab\r\ncd", "", "ab", "cd"},
                                         Line{"GivenCrLf", "ab\r\ncd", "\r\n", "ab", "cd"},
                                         Line{"DefaultLf", "ab\ncd", "", "ab", "cd"},
                                         Line{"EmptyLine", "\r\n", "", "", ""},
                                         Line{"OnlyOneCrDropped", "ab\r\r\nx", "", "ab\r", "x"},
                                         Line{"GivenLfKeepsCr", "ab\r\n", "\n", "ab\r", ""},
                                         Line{"LongTerminator", "a|b||c||", "||", "a|b", "c||"},
                                         Line{"ZeroBytesInLine", std::string("a\0b\n", 4), "",
                                              std::string("a\0b", 3), ""}),
                         [](const testing::TestParamInfo<Line>& info) { return info.param.name; });

TEST(ConnectionReadLineWait, ExpiredWaitLeavesThePartialLineQueued) {
    ConnectedClient c;
    c.PeerSends("ab");
    EXPECT_EQ(c.client.ReadLine({}, 100), "");
    EXPECT_TRUE(c.client.LineTimedOut);
    EXPECT_EQ(c.client.InputQueueSize(), 2);
    c.PeerSends("c\n");
    EXPECT_EQ(c.client.ReadLine({}, IdTimeoutInfinite), "abc");
    EXPECT_FALSE(c.client.LineTimedOut);
}

TEST(ConnectionReadLineWait, PeerClosingInsideALineEndsTheNextRead) {
    ConnectedClient c;
    c.PeerSends("ab", true);
    EXPECT_EQ(c.client.ReadLine(), "");
    EXPECT_TRUE(c.client.LineTimedOut);
    EXPECT_THROW(c.client.ReadLine(), EIdConnClosedGracefully);
    EXPECT_EQ(c.client.InputQueueSize(), 2);
}

TEST(ConnectionReadLineWait, NonEmptyLineSkipsBlankLinesAndTrims) {
    ConnectedClient c;
    c.PeerSends("\r\n \t \r\n\x01  hello world \t\r\nnext\n");
    EXPECT_EQ(c.client.ReadNonEmptyLine(), "hello world");
    EXPECT_EQ(c.client.ReadNonEmptyLine(), "next");
}

TEST(ConnectionReadAll, ReadsEverythingUntilThePeerCloses) {
    loopback::Listener listener;
    std::string sent;
    for (int i = 0; i < 100000; ++i)
        sent += static_cast<char>('a' + i % 26);
    PeerThread peer([&](int fd) { EXPECT_TRUE(loopback::SendAll(fd, sent)); });
    TIdTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = peer.Port();
    std::vector<std::string> work;
    client.OnWorkBegin = [&](TObject*, TWorkMode mode, int32_t max) {
        work.push_back("begin " + std::to_string(mode) + " " + std::to_string(max));
    };
    client.OnWorkEnd = [&](TObject*, TWorkMode mode) {
        work.push_back("end " + std::to_string(mode));
    };
    EXPECT_EQ(client.ConnectAndReadAll(), sent);
    EXPECT_FALSE(client.SocketHandle.SocketAllocated());
    EXPECT_EQ(work, (std::vector<std::string>{"begin 0 0", "end 0"}));
}

TEST(ConnectionLifetime, DestroyingAnOpenConnectionClosesItSilently) {
    loopback::Listener listener;
    auto client = std::make_unique<TIdTCPClient>();
    StatusRecorder status(*client);
    client->Host = "127.0.0.1";
    client->Port = listener.Port();
    client->Connect();
    UniqueFd peer = listener.Accept();
    status.Clear();
    client.reset();
    EXPECT_TRUE(loopback::PeerClosedWithin(peer.Get()));
    EXPECT_TRUE(status.Events().empty());
}

struct Reply {
    const char* name;
    std::string lines;
    int16_t code;
    size_t lineCount;
};

void PrintTo(const Reply& row, std::ostream* out) {
    *out << row.name;
}

class ConnectionReadReply : public testing::TestWithParam<Reply> {};

TEST_P(ConnectionReadReply, TakesTheCodeFromTheLastLine) {
    ConnectedClient c;
    c.PeerSends(GetParam().lines + "after\r\n");
    EXPECT_EQ(c.client.ReadReply(), GetParam().code);
    EXPECT_EQ(c.client.LastReplyCode, GetParam().code);
    EXPECT_EQ(c.client.ReplyLines.size(), GetParam().lineCount);
    EXPECT_EQ(c.client.ReadLine(), "after");
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ConnectionReadReply,
    testing::Values(Reply{"MultiLine", "250-first\r\n250-second\r\n250 last\r\n", 250, 3},
                    Reply{"EndMarkerAnyCase", "25a-x\r\n25A end\r\n", 0, 2},
                    Reply{"ShortLineEnds", "211-a\r\nok\r\n", 0, 2},
                    Reply{"PlusOk", "+OK ready\r\n", 1, 1}, Reply{"MinusErr", "-ERR no\r\n", 0, 1},
                    Reply{"Letters", "abc\r\n", 0, 1}, Reply{"Single", "\r\n220 hi\r\n", 220, 1}),
    [](const testing::TestParamInfo<Reply>& info) { return info.param.name; });

TEST(ConnectionReadReplyCheck, ACodeNotAllowedRaisesWithTheLine) {
    ConnectedClient c;
    c.PeerSends("550 no such thing\r\n");
    try {
        c.client.SendAndReadReply("WHAT", {250, 251});
        FAIL() << "no exception";
    } catch (const EIdProtocolReplyError& e) {
        EXPECT_EQ(e.ReplyCode, 550);
        EXPECT_EQ(e.Message, "550 no such thing");
    }
    EXPECT_EQ(loopback::ReceiveExactly(c.peer.Get(), 6), "WHAT\r\n");
}

} // namespace
