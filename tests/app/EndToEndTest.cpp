// The window with the real Telnet client against the gateway simulator on
// loopback: connecting, reading, writing, resetting, the gateway going away,
// and closing the window while connected.
#include <signal.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LiveFormFixture.h"
#include "tests/support/GatewaySimProcess.h"
#include "tests/support/LoopbackListener.h"

namespace {

using Lines = std::vector<std::string>;

// The simulator's device: MAC 00 11 22 33 44 55 66 77, address 2A, channel
// 15 (0F), PAN ID 1234, type 01.
const Lines ReadLines = {"< 2001 GET_MEM 01 00 08 00", "< 2001 GET_MEM 01 04 01 00",
                         "< 2001 GET_MEM 84 00 04 00", "< 2001 GET_MEM 83 00 02 00",
                         "< 2001 GET_MEM 87 00 01 00"};

class EndToEnd : public LiveFormFixture {
protected:
    void Connect() {
        ASSERT_NE(Gateway.Port(), 0) << Gateway.Output();
        ConnectTo(Gateway.Port());
        ASSERT_NE(Reader, nullptr) << Log().join('\n').toStdString();
        ASSERT_TRUE(Gateway.WaitForOutput("client 1 connected")) << Gateway.Output();
    }

    void Read() {
        Button("Button2")->click();
        ASSERT_TRUE(WaitUntil([&] { return AllFieldsEnabled(); }))
            << Log().join('\n').toStdString();
    }

    // Runs the event loop until the window has logged `count` lines that start with `text`.
    bool WaitForLogged(const QString& text, qsizetype count = 1) {
        return WaitUntil([&] {
            const QStringList lines = Log();
            return std::count_if(lines.begin(), lines.end(), [&](const QString& line) {
                       return line.startsWith(text);
                   }) >= count;
        });
    }

    // Its log comes through the pipe, so the test can wait for the close.
    GatewaySimProcess Gateway{{}, ChildProcess::Streams::BothPiped};
};

TEST_F(EndToEnd, ConnectLogsTheConnectionAndDisablesConnect) {
    Connect();
    EXPECT_EQ(Log(), QStringList({"Connecting to 127.0.0.1.", "Connected."}));
    EXPECT_FALSE(Button("Button1")->isEnabled());
    EXPECT_TRUE(Messages.Shown.empty());
}

TEST_F(EndToEnd, ReadFillsAllFiveFieldsFromTheGatewaysAnswers) {
    Connect();
    Read();
    EXPECT_EQ(Edit("Edit3")->text(), "7766554433221100");
    EXPECT_EQ(Edit("Edit4")->text(), "2A");
    EXPECT_EQ(Edit("Edit5")->text(), "0F");
    EXPECT_EQ(Edit("Edit6")->text(), "1234");
    EXPECT_EQ(Edit("Edit7")->text(), "01");
    EXPECT_TRUE(Button("Button3")->isEnabled());
    EXPECT_EQ(Gateway.ReceivedLines(), ReadLines);
    EXPECT_TRUE(Messages.Shown.empty());
}

TEST_F(EndToEnd, WritePutsExactlyTheThreeWriteLinesOnTheWire) {
    Connect();
    Read();
    Edit("Edit4")->setText("A5");
    Edit("Edit5")->setText("1A");
    Edit("Edit6")->setText("1234");
    Button("Button3")->click();
    ASSERT_TRUE(WaitForLogged("> 2001 OK", 3)) << Log().join('\n').toStdString();
    const Lines all = Gateway.ReceivedLines();
    ASSERT_EQ(all.size(), ReadLines.size() + 3);
    EXPECT_EQ(Lines(all.begin() + static_cast<long>(ReadLines.size()), all.end()),
              (Lines{"< 2001 SET_MEM 01 04 01 00 A5", "< 2001 SET_MEM 84 00 04 00 00 00 00 04",
                     "< 2001 SET_MEM 83 00 02 00 34 12"}));
}

TEST_F(EndToEnd, ResetSendsTheResetLine) {
    Connect();
    Button("Button4")->click();
    EXPECT_EQ(Log().last(), "< 2001 RESET");
    ASSERT_TRUE(WaitForLogged("BQ gateway 2001 restarted")) << Log().join('\n').toStdString();
    EXPECT_EQ(Gateway.ReceivedLines(), Lines{"< 2001 RESET"});
}

TEST_F(EndToEnd, GatewayClosingIsLoggedInOrderAndEndsTheReader) {
    Connect();
    Gateway.Stop(SIGTERM);
    ASSERT_TRUE(WaitUntil([&] { return Reader->Finished() && Log().size() >= 5; }))
        << Log().join('\n').toStdString();
    EXPECT_EQ(Log(), QStringList({"Connecting to 127.0.0.1.", "Connected.",
                                  "Disconnecting from 127.0.0.1.", "Not connected.", ""}));
    // The carriage return answering the last, empty text found the connection closed.
    EXPECT_EQ(Reader->TerminatingMessage, "Connection Closed Gracefully.");
    EXPECT_FALSE(Button("Button1")->isEnabled());
    EXPECT_TRUE(Messages.Shown.empty());
}

TEST_F(EndToEnd, ConnectToAClosedPortLogsTheErrorAndConnectStaysEnabled) {
    const loopback::ClosedPort closed;
    ConnectTo(closed.Port());
    EXPECT_EQ(Reader, nullptr);
    EXPECT_EQ(Log(), QStringList({"Connecting to 127.0.0.1.", "Disconnecting from 127.0.0.1.",
                                  "Not connected.", "server not responding"}));
    EXPECT_TRUE(Button("Button1")->isEnabled());
    Connect();
    EXPECT_FALSE(Button("Button1")->isEnabled());
}

TEST_F(EndToEnd, ClosingTheWindowWhileConnectedEndsTheSessionCleanly) {
    Connect();
    Read();
    {
        const Watchdog watchdog("closing the window");
        Form.reset();
    }
    EXPECT_TRUE(Reader->Finished());
    EXPECT_TRUE(Gateway.WaitForOutput("client 1 dropped: closed by the client"));
    EXPECT_TRUE(Messages.Shown.empty());
}

// The reader waits in its hand-over of a text while the window closes: the
// close must neither hang nor hand the text to the window on its way out.
TEST_F(EndToEnd, ClosingTheWindowWhileATextWaitsForItDoesNotHang) {
    Connect();
    const int seen = QueuedCalls();
    Button("Button4")->click(); // answered with a banner
    ASSERT_TRUE(WaitForQueuedCall(seen));
    {
        const Watchdog watchdog("closing the window");
        Form.reset();
    }
    EXPECT_TRUE(Reader->Finished());
    EXPECT_EQ(Reader->TerminatingMessage, "OnDataAvailable event is nil.");
    EXPECT_TRUE(Gateway.WaitForOutput("client 1 dropped: closed by the client"));
}

} // namespace
