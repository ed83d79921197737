// The gateway dialogue over the client double: the characters typed, the log,
// the write encodings, and what a received chunk gives or sends back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogue/GatewayDialogue.h"
#include "runtime/Exception.h"
#include "tests/support/window/FakeTelnetClient.h"

namespace {

class DialogueTest : public ::testing::Test {
protected:
    TFakeClientRecord Wire;
    TFakeTelnetClient Client{Wire};
    std::vector<std::string> Log;
    TGatewayDialogue Dialogue{Client, [this](const std::string& entry) { Log.push_back(entry); }};
};

TEST_F(DialogueTest, ReadTypesTheFiveLinesInTableOrderEachLoggedBeforeItsFirstCharacter) {
    std::vector<std::string> logAtLineStart;
    bool lineStart = true;
    Client.OnTransmit = [&](char ch) {
        if (lineStart) logAtLineStart.push_back(Log.back());
        lineStart = ch == '\r';
    };
    Dialogue.ReadAll("2001");
    const std::vector<std::string> lines = {
        "< 2001 GET_MEM 01 00 08 00", "< 2001 GET_MEM 01 04 01 00", "< 2001 GET_MEM 84 00 04 00",
        "< 2001 GET_MEM 83 00 02 00", "< 2001 GET_MEM 87 00 01 00"};
    EXPECT_EQ(Log, lines);
    EXPECT_EQ(logAtLineStart, lines);
    EXPECT_EQ(Wire.Sent, lines[0] + "\r" + lines[1] + "\r" + lines[2] + "\r" + lines[3] + "\r" +
                             lines[4] + "\r");
}

TEST_F(DialogueTest, WritesEncodeEachFieldAsItsBytes) {
    struct TRow {
        TMemoryField Field;
        const char* Text;
        const char* Data;
    };
    for (const TRow& row :
         {TRow{TMemoryField::Address, "A5", "A5"}, TRow{TMemoryField::Address, "5", "05"},
          TRow{TMemoryField::Address, "NC", "NC"}, TRow{TMemoryField::Channel, "1A", "00 00 00 04"},
          TRow{TMemoryField::Channel, "b", "00 08 00 00"},
          TRow{TMemoryField::Channel, "1B", "Channel error"},
          // one or two digits fill both bytes of the PAN ID
          TRow{TMemoryField::PanId, "FF", "FF 00"}, TRow{TMemoryField::PanId, "5", "05 00"},
          TRow{TMemoryField::PanId, "ABC", "BC 0A"}, TRow{TMemoryField::PanId, "1234", "34 12"},
          TRow{TMemoryField::PanId, "NC", "NC"}}) {
        Wire.Sent.clear();
        Dialogue.Write("2001", row.Field, row.Text);
        EXPECT_EQ(Wire.Sent, "< 2001 SET_MEM " + Descriptor(row.Field) + " " + row.Data + "\r")
            << row.Text;
    }
}

TEST_F(DialogueTest, ChannelThatIsNoNumberRaisesBeforeAnythingIsTyped) {
    try {
        Dialogue.Write("2001", TMemoryField::Channel, "NC");
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'0xNC' is not a valid integer value");
    }
    EXPECT_EQ(Wire.Sent, "");
    EXPECT_TRUE(Log.empty());
}

TEST_F(DialogueTest, ResetAndAFailingClient) {
    Dialogue.Reset("");
    EXPECT_EQ(Wire.Sent, "<  RESET\r");
    Client.TransmitFails = true;
    EXPECT_THROW(Dialogue.Reset("2001"), EIdConnClosedGracefully);
    EXPECT_EQ(Log, (std::vector<std::string>{"<  RESET", "< 2001 RESET"}));
}

TEST_F(DialogueTest, ChunksGiveTheirAnswerOrSendOneCarriageReturn) {
    const auto answer = Dialogue.TakeChunk("2001", "\r\n> 2001 MEM 83 00 02 00 34 12\r\n");
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->Field, TMemoryField::PanId);
    EXPECT_EQ(answer->Text, "1234");
    EXPECT_EQ(Wire.Sent, "");
    for (const std::string chunk :
         {"login: ", "> 2001 MEM 83 00 02", "\r\n", "> 2002 MEM 87 00 01 00 01"})
        EXPECT_FALSE(Dialogue.TakeChunk("2001", chunk)) << chunk;
    EXPECT_EQ(Wire.Sent, "\r\r\r\r");
    EXPECT_EQ(Log, (std::vector<std::string>{"> 2001 MEM 83 00 02 00 34 12",
                                             "login:", "> 2001 MEM 83 00 02", "",
                                             "> 2002 MEM 87 00 01 00 01"}));
}

} // namespace
