// The session toward a scripted gateway: the lines it types, the carriage
// return it answers an unrecognised chunk with, the line end by whether the
// peer speaks Telnet, and what a read reports when answers are missing.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

#include <string>

#include "session/GatewaySession.h"
#include "tests/support/LoopbackPeer.h"
#include "tests/support/PeerThread.h"

namespace {

const std::string ReadLines[] = {"< 2001 GET_MEM 01 00 08 00", "< 2001 GET_MEM 01 04 01 00",
                                 "< 2001 GET_MEM 84 00 04 00", "< 2001 GET_MEM 83 00 02 00",
                                 "< 2001 GET_MEM 87 00 01 00"};
const std::string Answers = "> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 77\r\n"
                            "> 2001 MEM 01 04 01 00 2A\r\n"
                            "> 2001 MEM 84 00 04 00 00 00 00 04\r\n"
                            "> 2001 MEM 83 00 02 00 34 12\r\n"
                            "> 2001 MEM 87 00 01 00 01\r\n";

TSessionSettings SettingsFor(int32_t port) {
    TSessionSettings settings;
    settings.Port = port;
    settings.Timeout = std::chrono::milliseconds(Patience);
    return settings;
}

// A banner before the answers is answered with exactly one line end (CR LF
// to a peer that has sent no Telnet command); every command line arrives
// whole, in the window's order.
TEST(GatewaySession, TypesTheWindowsLinesAndAnswersABannerWithOneReturn) {
    std::string received;
    PeerThread peer([&](int fd) {
        std::string lines;
        for (const std::string& line : ReadLines)
            lines += line + "\r\n";
        received += loopback::ReceiveExactly(fd, lines.size());
        loopback::SendAll(fd, "BQ gateway ready\r\n");
        received += loopback::ReceiveExactly(fd, 2);
        loopback::SendAll(fd, Answers);
        received += "|" + loopback::ReceiveUntilClosed(fd);
    });
    std::string log;
    TTranscript transcript([&](const std::string& entry) { log += entry + "\n"; });
    {
        TGatewaySession session(SettingsFor(peer.Port()), transcript);
        session.Connect();
        const TDeviceValues values = session.Read();
        EXPECT_EQ(*values[TMemoryField::Mac], "7766554433221100");
        EXPECT_EQ(*values[TMemoryField::Channel], "1A");
        EXPECT_EQ(*values[TMemoryField::PanId], "1234");
    }
    peer.Join();
    std::string expected;
    for (const std::string& line : ReadLines)
        expected += line + "\r\n";
    EXPECT_EQ(received, expected + "\r\n|");
    // The window's log: each line before it is sent, each chunk trimmed.
    EXPECT_NE(log.find(ReadLines[4] + "\nBQ gateway ready\n"), std::string::npos) << log;
}

TEST(GatewaySession, NamesTheFieldsThatWereNotAnsweredBeforeTheTimeout) {
    PeerThread peer([](int fd) {
        loopback::ReceiveThrough(fd, '\n');
        loopback::SendAll(fd, "> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 77\r\n"
                              "> 2001 MEM 87 00 01 00 01\r\n");
        loopback::ReceiveUntilClosed(fd);
    });
    TTranscript transcript;
    TSessionSettings settings = SettingsFor(peer.Port());
    settings.Timeout = std::chrono::milliseconds(1000);
    TGatewaySession session(settings, transcript);
    session.Connect();
    try {
        session.Read();
        ADD_FAILURE() << "a read without three answers succeeded";
    } catch (const ESessionError& e) {
        EXPECT_EQ(e.Failure, TSessionFailure::Device);
        EXPECT_STREQ(e.what(), "no answer within 1 s for address, channel, pan_id");
    }
    session.Disconnect();
}

// Each piece is answered with a return of its own before the next is sent,
// so the two pieces surely arrive as two chunks; joined, they are the answer.
TEST(GatewaySession, AnAnswerSplitAcrossChunksIsTakenWholeWithEachPieceAnswered) {
    std::string returns;
    PeerThread peer([&](int fd) {
        loopback::ReceiveExactly(fd, 5 * (ReadLines[0].size() + 2));
        loopback::SendAll(fd, "> 2001 MEM 01 00 08 00 00 11 22");
        returns += loopback::ReceiveExactly(fd, 2);
        loopback::SendAll(fd, " 33 44 55 66 77\r\n");
        returns += loopback::ReceiveExactly(fd, 2);
        loopback::SendAll(fd, Answers.substr(Answers.find("> 2001 MEM 01 04")));
        loopback::ReceiveUntilClosed(fd);
    });
    TTranscript transcript;
    TGatewaySession session(SettingsFor(peer.Port()), transcript);
    session.Connect();
    EXPECT_EQ(*session.Read()[TMemoryField::Mac], "7766554433221100");
    session.Disconnect();
    peer.Join();
    EXPECT_EQ(returns, "\r\n\r\n");
}

TEST(GatewaySession, APeerThatClosesEndsTheReadAsANetworkError) {
    // Every line is taken before the close, so the close is orderly (no reset).
    PeerThread peer([](int fd) { loopback::ReceiveExactly(fd, 5 * (ReadLines[0].size() + 2)); });
    TTranscript transcript;
    TGatewaySession session(SettingsFor(peer.Port()), transcript);
    session.Connect();
    try {
        session.Read();
        ADD_FAILURE() << "a read on a closed connection succeeded";
    } catch (const ESessionError& e) {
        EXPECT_EQ(e.Failure, TSessionFailure::Network);
        EXPECT_NE(std::string(e.what()).find("Connection Closed Gracefully."), std::string::npos)
            << e.what();
    }
}

// The watch ends the proxy's silence from its own thread, releasing only the
// descriptor: the address that this thread reports from stays untouched.
TEST(GatewaySession, AProxyThatNeverAnswersEndsAtTheTimeout) {
    loopback::Listener silent; // accepts into its backlog, never answers
    TSessionSettings settings = SettingsFor(silent.Port());
    settings.Timeout = std::chrono::milliseconds(100);
    settings.Proxy.Version = svSocks5;
    settings.Proxy.Host = "127.0.0.1";
    settings.Proxy.Port = silent.Port();
    TTranscript transcript;
    TGatewaySession session(settings, transcript);
    try {
        session.Connect();
        ADD_FAILURE() << "a silent proxy let the connect through";
    } catch (const ESessionError& e) {
        EXPECT_EQ(e.Failure, TSessionFailure::Network);
        EXPECT_NE(std::string(e.what()).find("within 0.1 s"), std::string::npos) << e.what();
    }
}

// After the reset line the session ends its sending side and reads the
// restart banner until the gateway closes: an orderly close, never a reset
// segment that could discard the line's tail.
TEST(GatewaySession, AResetEndsTheSessionInOrderAfterTheBanner) {
    std::string line;
    bool orderly = false;
    PeerThread peer([&](int fd) {
        line = loopback::ReceiveThrough(fd, '\n');
        loopback::SendAll(fd, "BQ gateway 2001 restarted, ready\r\n");
        std::string rest;
        orderly = loopback::ReceiveInto(fd, rest, 4096, Deadline()) == loopback::Received::Closed &&
                  ::recv(fd, nullptr, 0, 0) == 0;
    });
    TTranscript transcript;
    TGatewaySession session(SettingsFor(peer.Port()), transcript);
    session.Connect();
    session.Reset();
    session.Disconnect();
    peer.Join();
    EXPECT_EQ(line, "< 2001 RESET\r\n");
    EXPECT_TRUE(orderly);
}

} // namespace
