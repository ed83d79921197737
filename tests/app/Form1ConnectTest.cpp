// The connect button, the status texts in the log, key releases in the log
// and closing the window.
#include <QTest>
#include <stdexcept>

#include "FormFixture.h"

namespace {

class ConnectTest : public FormFixture {};

class BadPortTest : public FormFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadPortTest, ShowsTheConversionErrorLogsNothingAndLeavesTheClientAlone) {
    Edit("Edit1")->setText(QString::fromLatin1(GetParam()));
    Edit("Edit2")->setText(QStringLiteral("gateway.local"));
    Button("Button1")->click();

    ASSERT_EQ(Messages.Shown.size(), 1u);
    EXPECT_TRUE(Messages.Shown[0].IsException);
    EXPECT_EQ(
        Messages.Shown[0].Text,
        QStringLiteral("'%1' is not a valid integer value.").arg(QString::fromLatin1(GetParam())));
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_TRUE(Button("Button1")->isEnabled());
    EXPECT_EQ(Wire.ConnectCalls, 0);
    EXPECT_EQ(Client->Port, 23);
    EXPECT_EQ(Client->Host, "");
}

INSTANTIATE_TEST_SUITE_P(Form1, BadPortTest, ::testing::Values("", "abc", "5556 ", "55 56", "0x"));

struct TPortRow {
    const char* Text;
    int32_t Port;
};

void PrintTo(const TPortRow& row, std::ostream* os) {
    *os << "\"" << row.Text << "\"";
}

class PortTest : public FormFixture, public ::testing::WithParamInterface<TPortRow> {};

TEST_P(PortTest, AnyIntegerGoesToTheClientWithTheHostUnchanged) {
    Edit("Edit1")->setText(QString::fromLatin1(GetParam().Text));
    Edit("Edit2")->setText(QStringLiteral(" Gateway.Local "));
    Button("Button1")->click();
    EXPECT_EQ(Client->Port, GetParam().Port);
    EXPECT_EQ(Client->Host, " Gateway.Local ");
    EXPECT_EQ(Wire.ConnectCalls, 1);
    EXPECT_TRUE(Messages.Shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Form1, PortTest,
                         ::testing::Values(TPortRow{"5556", 5556}, TPortRow{"$15B3", 0x15B3},
                                           TPortRow{"0x15b3", 0x15B3}, TPortRow{"  23", 23},
                                           TPortRow{"-1", -1}, TPortRow{"99999", 99999}));

TEST_F(ConnectTest, ConnectErrorIsLoggedAfterTheStatusTextsAndConnectStaysEnabled) {
    Client->OnConnect = [this] {
        Client->RaiseStatus(stConnecting, "Connecting to 127.0.0.1.");
        throw EIdTelnetClientConnectError();
    };
    Button("Button1")->click();
    EXPECT_EQ(Log(), QStringList({"Connecting to 127.0.0.1.", "server not responding"}));
    EXPECT_TRUE(Button("Button1")->isEnabled());
    EXPECT_EQ(Client->Port, 5556);
    EXPECT_EQ(Client->Host, "127.0.0.1");
    EXPECT_TRUE(Messages.Shown.empty());
}

TEST_F(ConnectTest, SuccessfulConnectDisablesConnectForGood) {
    Client->OnConnect = [] { throw EIdTelnetClientConnectError(); };
    Button("Button1")->click();
    Client->OnConnect = nullptr;
    Button("Button1")->click();
    EXPECT_FALSE(Button("Button1")->isEnabled());
    Button("Button1")->click();
    Client->RaiseStatusFromThread({"Disconnecting from 127.0.0.1.", "Not connected."});
    QApplication::processEvents();
    EXPECT_EQ(Wire.ConnectCalls, 2);
    EXPECT_FALSE(Button("Button1")->isEnabled());
}

TEST_F(ConnectTest, ErrorOutsideTheNetworkFamilyGoesToTheExceptionDisplay) {
    Client->OnConnect = [] { throw std::runtime_error("not for the operator"); };
    Button("Button1")->click();
    ASSERT_EQ(Messages.Shown.size(), 1u);
    EXPECT_TRUE(Messages.Shown[0].IsException);
    EXPECT_EQ(Messages.Shown[0].Text, QString());
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_TRUE(Button("Button1")->isEnabled());
}

TEST_F(ConnectTest, EachStatusTextAddsOneLine) {
    Client->RaiseStatus(stResolving, "Resolving hostname gateway.");
    Client->RaiseStatus(stConnecting, "Connecting to 10.0.0.1.");
    Client->RaiseStatus(stConnected, "Connected.");
    EXPECT_EQ(Log(), QStringList(
                         {"Resolving hostname gateway.", "Connecting to 10.0.0.1.", "Connected."}));
}

TEST_F(ConnectTest, StatusTextsFromTheReaderArriveInOrderOnTheGuiThread) {
    const std::vector<std::string> texts = {"Disconnecting from 127.0.0.1.", "Not connected.",
                                            "one", "two", "three"};
    Client->RaiseStatusFromThread(texts);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Log().size() >= 5; }, 5000));
    EXPECT_EQ(Log(), QStringList({"Disconnecting from 127.0.0.1.", "Not connected.", "one", "two",
                                  "three"}));
}

TEST_F(ConnectTest, TextRaisedOnTheGuiThreadFollowsTextsTheReaderRaisedBefore) {
    Client->RaiseStatusFromThread({"Not connected."});
    Client->RaiseStatus(stText, "later, on the GUI thread");
    EXPECT_EQ(Log(), QStringList({"Not connected.", "later, on the GUI thread"}));
}

class LogKeyTest : public FormFixture, public ::testing::WithParamInterface<Qt::Key> {};

TEST_P(LogKeyTest, EveryKeyReleaseSendsOneCarriageReturnAndNotTheKey) {
    auto* memo = Find<QPlainTextEdit>("Memo1");
    QTest::keyClick(memo, GetParam());
    EXPECT_EQ(Wire.Sent, "\r");
    QTest::keyClick(memo, GetParam());
    EXPECT_EQ(Wire.Sent, "\r\r");
    EXPECT_TRUE(Messages.Shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Form1, LogKeyTest,
                         ::testing::Values(Qt::Key_A, Qt::Key_Shift, Qt::Key_Left, Qt::Key_Return,
                                           Qt::Key_F5, Qt::Key_Escape));

TEST_F(ConnectTest, TypingInTheLogChangesOnlyTheLog) {
    auto* memo = Find<QPlainTextEdit>("Memo1");
    TypeText(memo, QStringLiteral("ok"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("ok"));
    EXPECT_EQ(Wire.Sent, "\r\r");
    Client->RaiseStatus(stConnected, "Connected.");
    EXPECT_EQ(Log(), QStringList({"ok", "Connected."}));
}

TEST_F(ConnectTest, HeldKeyIsReleasedOnce) {
    auto* memo = Find<QPlainTextEdit>("Memo1");
    for (int i = 0; i < 3; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"), i > 0);
        QApplication::sendEvent(memo, &press);
        QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"), true);
        if (i < 2) QApplication::sendEvent(memo, &repeat);
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"), false);
    QApplication::sendEvent(memo, &release);
    EXPECT_EQ(Wire.Sent, "\r");
}

TEST_F(ConnectTest, KeyReleaseWithoutConnectionShowsTheClientError) {
    Client->TransmitFails = true;
    QTest::keyClick(Find<QPlainTextEdit>("Memo1"), Qt::Key_Down);
    QTest::keyClick(Find<QPlainTextEdit>("Memo1"), Qt::Key_Down);
    ASSERT_EQ(Messages.Shown.size(), 2u);
    for (const TShownBox& box : Messages.Shown) {
        EXPECT_TRUE(box.IsException);
        EXPECT_EQ(box.Text, QStringLiteral("Connection Closed Gracefully."));
    }
    EXPECT_TRUE(Log().isEmpty());
}

TEST_F(ConnectTest, ClosingDisconnectsAndSwallowsOnlyNetworkErrors) {
    Client->OnDisconnect = [] { throw EIdConnClosedGracefully(); };
    Form.reset();
    EXPECT_EQ(Wire.DisconnectCalls, 1);
    EXPECT_TRUE(Messages.Shown.empty());

    SetUp();
    Client->OnDisconnect = [] { throw EConvertError("'x' is not a valid integer value"); };
    Form.reset();
    EXPECT_EQ(Wire.DisconnectCalls, 2);
    ASSERT_EQ(Messages.Shown.size(), 1u);
    EXPECT_EQ(Messages.Shown[0].Text, QStringLiteral("'x' is not a valid integer value."));
}

} // namespace
