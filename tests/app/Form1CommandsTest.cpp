// The read, write and reset buttons: the exact characters handed to the
// client, the log, and what a failing client or a bad channel does.
#include "FormFixture.h"

namespace {

class CommandTest : public FormFixture {
protected:
    // What the gateway receives for these lines: each followed by a carriage return.
    static std::string Typed(std::initializer_list<std::string> lines) {
        std::string typed;
        for (const std::string& line : lines)
            typed += line + "\r";
        return typed;
    }

    // The gateway answers the MAC read (enabling "Записать") and the three writable fields.
    void ReadDevice(const std::string& address, const std::string& mask, const std::string& panId) {
        Answer("01 00 08 00 00 11 22 33 44 55 66 77");
        Answer("01 04 01 00 " + address);
        Answer("84 00 04 00 " + mask);
        Answer("83 00 02 00 " + panId);
        Wire.Sent.clear();
    }
};

TEST_F(CommandTest, ReadSendsFiveLinesInOrder) {
    Button("Button2")->click();
    EXPECT_EQ(Wire.Sent, Typed({"< 2001 GET_MEM 01 00 08 00", "< 2001 GET_MEM 01 04 01 00",
                                "< 2001 GET_MEM 84 00 04 00", "< 2001 GET_MEM 83 00 02 00",
                                "< 2001 GET_MEM 87 00 01 00"}));
    EXPECT_EQ(Log(), QStringList({"< 2001 GET_MEM 01 00 08 00", "< 2001 GET_MEM 01 04 01 00",
                                  "< 2001 GET_MEM 84 00 04 00", "< 2001 GET_MEM 83 00 02 00",
                                  "< 2001 GET_MEM 87 00 01 00"}));
}

TEST_F(CommandTest, EmptyGatewayLeavesTwoSpacesAfterTheBracket) {
    Edit("Edit8")->clear();
    Button("Button4")->click();
    Button("Button2")->click();
    EXPECT_EQ(Wire.Sent.substr(0, 10), "<  RESET\r<");
    EXPECT_EQ(Log().value(1), QStringLiteral("<  GET_MEM 01 00 08 00"));
}

TEST_F(CommandTest, GatewayTextLeavesAsWindows1251) {
    Edit("Edit8")->setText(QStringLiteral("АБ"));
    Button("Button4")->click();
    EXPECT_EQ(Wire.Sent, "< \xC0\xC1 RESET\r");
    EXPECT_EQ(Log(), QStringList({QStringLiteral("< АБ RESET")}));
}

TEST_F(CommandTest, WriteSendsAddressChannelMaskAndPanId) {
    ReadDevice("A5", "00 00 00 04", "34 12");
    ASSERT_TRUE(Button("Button3")->isEnabled());
    Button("Button3")->click();
    EXPECT_EQ(Wire.Sent,
              Typed({"< 2001 SET_MEM 01 04 01 00 A5", "< 2001 SET_MEM 84 00 04 00 00 00 00 04",
                     "< 2001 SET_MEM 83 00 02 00 34 12"}));
    EXPECT_TRUE(Messages.Shown.empty());
}

TEST_F(CommandTest, WriteSendsFieldTextsAsTheyStand) {
    ReadDevice("A5", "00 00 00 04", "34 12");
    Edit("Edit4")->setText(QStringLiteral("5"));
    Edit("Edit5")->setText(QStringLiteral("b"));
    Edit("Edit6")->setText(QStringLiteral("ABC"));
    Button("Button3")->click();
    EXPECT_EQ(Wire.Sent,
              Typed({"< 2001 SET_MEM 01 04 01 00 05", "< 2001 SET_MEM 84 00 04 00 00 08 00 00",
                     "< 2001 SET_MEM 83 00 02 00 BC 0A"}));
}

TEST_F(CommandTest, ChannelOutsideTheBandIsSentAsChannelError) {
    ReadDevice("A5", "00 00 00 04", "34 12");
    Edit("Edit5")->setText(QStringLiteral("1B"));
    Button("Button3")->click();
    EXPECT_EQ(Log().value(5), QStringLiteral("< 2001 SET_MEM 84 00 04 00 Channel error"));
}

TEST_F(CommandTest, ChannelThatIsNoNumberStopsTheWriteAfterTheFirstLine) {
    // Only the MAC address has come: the other fields still show "NC".
    Answer("01 00 08 00 00 11 22 33 44 55 66 77");
    Wire.Sent.clear();
    Button("Button3")->click();
    EXPECT_EQ(Wire.Sent, Typed({"< 2001 SET_MEM 01 04 01 00 NC"}));
    ASSERT_EQ(Messages.Shown.size(), 1u);
    EXPECT_TRUE(Messages.Shown[0].IsException);
    EXPECT_EQ(Messages.Shown[0].Text, QStringLiteral("'0xNC' is not a valid integer value."));
    EXPECT_EQ(Log().last(), QStringLiteral("< 2001 SET_MEM 01 04 01 00 NC"));
}

TEST_F(CommandTest, ResetSendsOneLine) {
    Button("Button4")->click();
    EXPECT_EQ(Wire.Sent, Typed({"< 2001 RESET"}));
    EXPECT_EQ(Log(), QStringList({"< 2001 RESET"}));
}

// Each line is in the log before its first character leaves.
TEST_F(CommandTest, EveryLineIsLoggedBeforeItIsTyped) {
    ReadDevice("A5", "00 00 00 04", "34 12");
    QStringList logAtLineStart;
    bool lineStart = true;
    Client->OnTransmit = [&](char ch) {
        if (lineStart) logAtLineStart << Log().last();
        lineStart = ch == '\r';
    };
    const int before = static_cast<int>(Log().size());
    for (const char* name : {"Button2", "Button3", "Button4"})
        Button(name)->click();
    EXPECT_EQ(logAtLineStart, Log().mid(before));
    EXPECT_EQ(logAtLineStart.size(), 9);
}

struct TFailingRow {
    const char* Button;
    const char* FirstLine;
};

void PrintTo(const TFailingRow& row, std::ostream* os) {
    *os << row.Button;
}

class FailingSendTest : public CommandTest, public ::testing::WithParamInterface<TFailingRow> {};

TEST_P(FailingSendTest, FirstFailureEndsTheSequenceAndIsLoggedAfterTheLine) {
    ReadDevice("A5", "00 00 00 04", "34 12");
    const QStringList before = Log();
    QString logAtFirstCharacter;
    Client->TransmitFails = true;
    Client->OnTransmit = [&](char) {
        if (logAtFirstCharacter.isEmpty()) logAtFirstCharacter = Log().last();
    };
    Button(GetParam().Button)->click();
    EXPECT_EQ(logAtFirstCharacter, QString::fromLatin1(GetParam().FirstLine));
    EXPECT_EQ(Log().mid(before.size()),
              QStringList({GetParam().FirstLine, "Connection Closed Gracefully."}));
    EXPECT_EQ(Wire.Sent, "");
    EXPECT_TRUE(Messages.Shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Form1, FailingSendTest,
                         ::testing::Values(TFailingRow{"Button2", "< 2001 GET_MEM 01 00 08 00"},
                                           TFailingRow{"Button3", "< 2001 SET_MEM 01 04 01 00 A5"},
                                           TFailingRow{"Button4", "< 2001 RESET"}),
                         [](const auto& info) { return std::string(info.param.Button); });

} // namespace
