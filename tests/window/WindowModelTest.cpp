// The window's decisions over a recording view and the client double: what
// each button sends and logs, where errors go, the answers to reads and the
// checks of the three editable fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeWindowView.h"
#include "runtime/Exception.h"
#include "tests/support/window/FakeTelnetClient.h"
#include "window/WindowModel.h"

namespace {

using Lines = std::vector<std::string>;
using enum TControl;

class ModelTest : public ::testing::Test {
protected:
    void Answer(const std::string& descriptorAndData) {
        Model.IdTelnet1DataAvailable("> 2001 MEM " + descriptorAndData + "\r\n");
    }
    // The MAC (enabling Write) and the three writable fields arrive.
    void ReadDevice() {
        Answer("01 00 08 00 00 11 22 33 44 55 66 77");
        Answer("01 04 01 00 A5");
        Answer("84 00 04 00 00 00 00 04");
        Answer("83 00 02 00 34 12");
        Wire.Sent.clear();
        View.Log.clear();
    }

    TFakeClientRecord Wire;
    TFakeTelnetClient Client{Wire};
    TFakeWindowView View;
    TWindowModel Model{View, Client};
};

TEST_F(ModelTest, ConnectHandsPortAndHostToTheClientOnce) {
    View.Texts[Edit1] = "$15B4";
    Model.Button1Click();
    EXPECT_EQ(Client.Port, 5556);
    EXPECT_EQ(Client.Host, "127.0.0.1");
    EXPECT_EQ(Wire.ConnectCalls, 1);
    EXPECT_FALSE(View.Enabled[Button1]);
    EXPECT_TRUE(View.Boxes.empty());
}

TEST_F(ModelTest, ConnectFailureIsLoggedAndAPortThatIsNoNumberIsBoxed) {
    Client.OnConnect = [] { throw EIdException("server not responding"); };
    Model.Button1Click();
    EXPECT_EQ(View.Log, Lines{"server not responding"});
    EXPECT_TRUE(View.Enabled[Button1]);
    View.Texts[Edit1] = "port";
    Model.Button1Click();
    ASSERT_EQ(View.Boxes.size(), 1U);
    EXPECT_TRUE(View.Boxes[0].IsException);
    EXPECT_EQ(View.Boxes[0].Text, "'port' is not a valid integer value.");
    EXPECT_EQ(Wire.ConnectCalls, 1);
    EXPECT_EQ(View.Log.size(), 1U);
}

TEST_F(ModelTest, CommandButtonsTypeTheirLinesAndLogThem) {
    Model.Button2Click();
    ReadDevice();
    View.Texts[Edit6] = "FF"; // fills both bytes of the PAN ID
    Model.Button3Click();
    Model.Button4Click();
    const Lines lines = {"< 2001 SET_MEM 01 04 01 00 A5", "< 2001 SET_MEM 84 00 04 00 00 00 00 04",
                         "< 2001 SET_MEM 83 00 02 00 FF 00", "< 2001 RESET"};
    EXPECT_EQ(View.Log, lines);
    EXPECT_EQ(Wire.Sent, lines[0] + "\r" + lines[1] + "\r" + lines[2] + "\r" + lines[3] + "\r");
}

TEST_F(ModelTest, GatewayAndLogCrossTheCodePageAtTheEdge) {
    View.Texts[Edit8] = "АБ";
    Model.Button4Click();
    EXPECT_EQ(Wire.Sent, "< \xC0\xC1 RESET\r");
    EXPECT_EQ(View.Log, Lines{"< АБ RESET"});
    Model.IdTelnet1Status("\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(View.Log.back(), "Привет");
}

TEST_F(ModelTest, ChannelThatIsNoNumberStopsTheWriteInABox) {
    Answer("01 00 08 00 00 11 22 33 44 55 66 77");
    Wire.Sent.clear();
    Model.Button3Click();
    EXPECT_EQ(Wire.Sent, "< 2001 SET_MEM 01 04 01 00 NC\r");
    ASSERT_EQ(View.Boxes.size(), 1U);
    EXPECT_TRUE(View.Boxes[0].IsException);
    EXPECT_EQ(View.Boxes[0].Text, "'0xNC' is not a valid integer value.");
}

TEST_F(ModelTest, FirstNetworkErrorEndsEachSequenceInTheLog) {
    ReadDevice();
    Client.TransmitFails = true;
    for (void (TWindowModel::*click)() noexcept :
         {&TWindowModel::Button2Click, &TWindowModel::Button3Click, &TWindowModel::Button4Click})
        (Model.*click)();
    EXPECT_EQ(View.Log, (Lines{"< 2001 GET_MEM 01 00 08 00", "Connection Closed Gracefully.",
                               "< 2001 SET_MEM 01 04 01 00 A5", "Connection Closed Gracefully.",
                               "< 2001 RESET", "Connection Closed Gracefully."}));
    EXPECT_TRUE(View.Boxes.empty());
    // Keys in the log and the data handler are not caught there.
    Model.Memo1KeyUp();
    ASSERT_EQ(View.Boxes.size(), 1U);
    EXPECT_EQ(View.Boxes[0].Text, "Connection Closed Gracefully.");
    EXPECT_THROW(Model.IdTelnet1DataAvailable(""), EIdConnClosedGracefully);
    EXPECT_EQ(View.Log.back(), "");
}

TEST_F(ModelTest, AnswersFillAndEnableTheirFieldsAndTheMacEnablesWrite) {
    Answer("83 00 02 00 34 12");
    EXPECT_EQ(View.Texts[Edit6], "1234");
    EXPECT_TRUE(View.Enabled[Edit6]);
    EXPECT_FALSE(View.Enabled[Button3]);
    Answer("84 00 04 00 00 18 00 00");
    EXPECT_EQ(View.Texts[Edit5], "Channel error");
    Answer("01 00 08 00 00 11 22 33 44 55 66 77");
    EXPECT_EQ(View.Texts[Edit3], "7766554433221100");
    EXPECT_TRUE(View.Enabled[Edit3]);
    EXPECT_TRUE(View.Enabled[Button3]);
    EXPECT_EQ(Wire.Sent, "");
    Model.IdTelnet1DataAvailable("login: ");
    EXPECT_EQ(Wire.Sent, "\r");
    EXPECT_EQ(View.Log.back(), "login:");
    EXPECT_EQ(Model.SavedText(), "");
}

struct TCheckRow {
    TControl Field;
    const char* Typed;
    const char* Box; // nullptr: passes
    bool Restored;   // the saved text comes back before the box opens
};

class FieldCheckTest : public ModelTest, public ::testing::WithParamInterface<TCheckRow> {};

TEST_P(FieldCheckTest, ExitChecksTheTypedTextAgainstTheSavedOne) {
    const TCheckRow& row = GetParam();
    ReadDevice();
    View.WatchedField = row.Field;
    const std::string saved = View.Texts[row.Field];
    Model.FieldEnter(row.Field);
    View.Texts[row.Field] = row.Typed;
    Model.FieldExit(row.Field);
    if (!row.Box) {
        EXPECT_TRUE(View.Boxes.empty());
        EXPECT_EQ(View.Texts[row.Field], row.Typed);
        return;
    }
    ASSERT_EQ(View.Boxes.size(), 1U);
    EXPECT_FALSE(View.Boxes[0].IsException);
    EXPECT_EQ(View.Boxes[0].Text, row.Box);
    EXPECT_EQ(View.Boxes[0].FieldText, row.Restored ? saved : row.Typed);
    EXPECT_EQ(View.Texts[row.Field], saved);
    EXPECT_TRUE(View.Log.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldCheckTest,
    ::testing::Values(
        TCheckRow{Edit4, "02", nullptr, false}, TCheckRow{Edit4, "FE", nullptr, false},
        TCheckRow{Edit4, "01", "Error: Неверный адрес устройства 01", false},
        TCheckRow{Edit4, "FF", "Error: Неверный адрес устройства FF", false},
        TCheckRow{Edit5, "0B", nullptr, false}, TCheckRow{Edit5, "1a", nullptr, false},
        TCheckRow{Edit5, "1B", "Error: Неверный канал 1B", false},
        TCheckRow{Edit5, "", "'0x' is not a valid integer value", true},
        TCheckRow{Edit6, "FFFF", nullptr, false}, TCheckRow{Edit6, "0", nullptr, false},
        TCheckRow{Edit6, "G1", "'0xG1' is not a valid integer value", true}));

TEST_F(ModelTest, SavedTextBelongsToTheFieldEnteredLastAndOnlyToTheEditableOnes) {
    Answer("84 00 04 00 00 18 00 00");
    Model.Edit5Enter();
    Model.FieldEnter(Edit3);
    Model.FieldEnter(Edit1);
    EXPECT_EQ(Model.SavedText(), "Channel error");
    View.Texts[Edit5] = "99";
    Model.Edit5Exit();
    Model.FieldExit(Edit2);
    EXPECT_EQ(View.Texts[Edit5], "Channel error");
    EXPECT_EQ(View.Boxes.size(), 1U);
}

TEST_F(ModelTest, ChannelToolTipNamesTheDecimalChannel) {
    Answer("84 00 04 00 00 00 00 04");
    EXPECT_EQ(View.ToolTips[Edit5], "Channel 26; radio channels 11..26 (hexadecimal 0B..1A)");
    Model.Edit5Enter();
    View.Texts[Edit5] = "0f";
    Model.Edit5Exit();
    EXPECT_EQ(View.ToolTips[Edit5], "Channel 15; radio channels 11..26 (hexadecimal 0B..1A)");
    Model.Edit5Enter();
    View.Texts[Edit5] = "1B";
    Model.Edit5Exit(); // refused: the saved text and its channel come back
    EXPECT_EQ(View.ToolTips[Edit5], "Channel 15; radio channels 11..26 (hexadecimal 0B..1A)");
    Answer("84 00 04 00 00 18 00 00");
    EXPECT_EQ(View.ToolTips[Edit5],
              "Channel number in hexadecimal: radio channels 11..26 (hexadecimal 0B..1A)");
}

TEST_F(ModelTest, ShutdownDisconnectsAndSwallowsANetworkError) {
    Client.OnDisconnect = [] { throw EIdConnClosedGracefully(); };
    Model.FormDestroy();
    EXPECT_EQ(Wire.DisconnectCalls, 1);
    EXPECT_TRUE(View.Boxes.empty());
}

} // namespace
