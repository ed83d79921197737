// The window with its real Telnet client against a peer that closes mid-line,
// trickles an answer byte by byte, or is still talking when the window closes.
#include <sys/socket.h>

#include <atomic>
#include <string>
#include <thread>

#include "WindowSession.h"
#include "app/Cp1251.h"
#include "protocol/MemoryAnswer.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/LoopbackPeer.h"
#include "tests/support/ProcessProbe.h"
#include "tests/support/Watchdog.h"

namespace {

QStringList Lines(std::initializer_list<const char*> texts) {
    QStringList lines;
    for (const char* text : texts)
        lines << QString::fromUtf8(text);
    return lines;
}

} // namespace

// The partial line is delivered as it is; the close then reports on the
// reader's thread and arrives in the log in order, followed by the empty last
// chunk, whose carriage return can no longer be sent.
TEST_F(WindowSession, PeerClosingMidLineLogsThePieceThenTheClose) {
    loopback::Listener listener;
    ASSERT_NO_FATAL_FAILURE(ConnectTo(listener.Port()));
    UniqueFd peer = listener.Accept();
    ASSERT_TRUE(peer.Valid());
    ASSERT_TRUE(loopback::SendAll(peer.Get(), "> 2001 MEM 01 00"));
    ::shutdown(peer.Get(), SHUT_WR);

    ASSERT_TRUE(WaitForReaderEnd());
    EXPECT_EQ(Reader->TerminatingMessage, "Connection Closed Gracefully.");
    WaitUntil([this] { return Log().size() >= 6; });
    EXPECT_EQ(Log(), Lines({"Connecting to 127.0.0.1.", "Connected.", "> 2001 MEM 01 00",
                            "Disconnecting from 127.0.0.1.", "Not connected.", ""}));
    EXPECT_EQ(loopback::ReceiveUntilClosed(peer.Get()), "\r\n")
        << "one CR LF for the piece, none after the close";

    EXPECT_FALSE(Button("Button1")->isEnabled());
    EXPECT_TRUE(Button("Button2")->isEnabled());
    EXPECT_FALSE(Button("Button3")->isEnabled());
    for (const char* field : {"Edit3", "Edit4", "Edit5", "Edit6", "Edit7"}) {
        EXPECT_EQ(Edit(field)->text(), QStringLiteral("NC")) << field;
        EXPECT_FALSE(Edit(field)->isEnabled()) << field;
    }

    Button("Button2")->click();
    EXPECT_EQ(Log().mid(6), Lines({"< 2001 GET_MEM 01 00 08 00", "Connection Closed Gracefully."}));
    EXPECT_TRUE(Messages.Shown.empty());
}

// Each byte waits for the window's answer before the next is sent, so every
// byte is a chunk of its own: logged trimmed, answered with one carriage
// return (CR LF to a peer that never spoke Telnet), and the answer it spells
// is never recognised.
TEST_F(WindowSession, PeerSendingAnAnswerByteByByteGetsOneCarriageReturnPerByte) {
    const std::string answer = "> 2001 MEM 01 04 01 00 2A\r\n";
    loopback::Listener listener;
    ASSERT_NO_FATAL_FAILURE(ConnectTo(listener.Port()));
    UniqueFd peer = listener.Accept();
    ASSERT_TRUE(peer.Valid());

    std::atomic<size_t> answered{0};
    std::atomic<bool> done{false};
    std::thread trickle([&, fd = peer.Get()] {
        for (const char byte : answer) {
            if (!loopback::SendAll(fd, std::string(1, byte)) ||
                loopback::ReceiveExactly(fd, 2) != "\r\n")
                break;
            ++answered;
        }
        done = true;
        WakeMainThread();
    });
    WaitUntil([&] { return done.load(); });
    trickle.join();
    EXPECT_EQ(answered.load(), answer.size());

    QStringList expected = Lines({"Connecting to 127.0.0.1.", "Connected."});
    for (const char byte : answer)
        expected << FromCp1251(TrimControls(std::string(1, byte)));
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(Edit("Edit4")->text(), QStringLiteral("NC"));
    EXPECT_FALSE(Edit("Edit4")->isEnabled());
}

// Closing the window while the reader waits inside its synchronised call:
// the destructor serves that call without a window behind it (the client has
// dropped its handler, so the reader ends with the nil-handler error), and no
// handler of the window runs - it would have answered the line with a CR.
TEST_F(WindowSession, ClosingTheWindowWhileTheReaderWaitsOnItEndsTheReader) {
    const int threadsBefore = CountThreads();
    loopback::Listener listener;
    ASSERT_NO_FATAL_FAILURE(ConnectTo(listener.Port()));
    UniqueFd peer = listener.Accept();
    ASSERT_TRUE(peer.Valid());
    EXPECT_GT(CountThreads(), threadsBefore);

    const int queued = QueuedCalls();
    ASSERT_TRUE(loopback::SendAll(peer.Get(), "banner\r\n"));
    ASSERT_TRUE(WaitForQueuedCall(queued)) << "the reader never asked for the GUI thread";
    {
        Watchdog watchdog("destroying the window", std::chrono::milliseconds(10000));
        Form.reset();
    }
    EXPECT_TRUE(Reader->Finished());
    EXPECT_EQ(Reader->TerminatingMessage, "OnDataAvailable event is nil.");
    QCoreApplication::processEvents(); // texts posted to the window are dropped with it
    EXPECT_EQ(loopback::ReceiveUntilClosed(peer.Get()), "");
    EndSession();
    EXPECT_TRUE(WaitForThreadCount(threadsBefore, std::chrono::milliseconds(10000)))
        << CountThreads() << " threads, " << threadsBefore << " before";
}

// An answer cut inside its data must not fill its field with the bytes
// received so far as if they were the whole value (MAC "33221100" in place of
// "7766554433221100"); the first piece holds the prefix and the descriptor.
TEST_F(WindowSession, SplitAnswerNeverFillsAFieldWithPartOfItsValue) {
    loopback::Listener listener;
    ASSERT_NO_FATAL_FAILURE(ConnectTo(listener.Port()));
    UniqueFd peer = listener.Accept();
    ASSERT_TRUE(peer.Valid());
    // The second piece goes only after the window has handled the first.
    ASSERT_TRUE(loopback::SendAll(peer.Get(), "> 2001 MEM 01 00 08 00 00 11 22 33"));
    ASSERT_TRUE(WaitUntil([this] { return Log().size() >= 3; }));
    ASSERT_TRUE(loopback::SendAll(peer.Get(), " 44 55 66 77\r\n"));
    ASSERT_TRUE(WaitUntil([this] { return Log().size() >= 4; }));
    EXPECT_TRUE(Edit("Edit3")->text() == QStringLiteral("NC") ||
                Edit("Edit3")->text() == QStringLiteral("7766554433221100"))
        << Edit("Edit3")->text().toStdString();
}
