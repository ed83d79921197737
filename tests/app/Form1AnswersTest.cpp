// Received chunks: the log, the fields that answers fill, and the carriage
// return that answers everything else.
#include "FormFixture.h"

namespace {

const char* const Fields[] = {"Edit3", "Edit4", "Edit5", "Edit6", "Edit7"};

struct TAnswerRow {
    const char* Chunk;
    const char* Logged;
    const char* Field;
    const char* Shown;
};

void PrintTo(const TAnswerRow& row, std::ostream* os) {
    *os << "\"" << row.Logged << "\"";
}

class AnswerTest : public FormFixture, public ::testing::WithParamInterface<TAnswerRow> {};

TEST_P(AnswerTest, AnswerFillsAndEnablesItsFieldOnlyAndSendsNothing) {
    const TAnswerRow& row = GetParam();
    Client->Deliver(row.Chunk);
    EXPECT_EQ(Log(), QStringList({row.Logged}));
    EXPECT_EQ(Wire.Sent, "");
    for (const char* name : Fields) {
        const bool target = std::string(name) == row.Field;
        EXPECT_EQ(Edit(name)->isEnabled(), target) << name;
        EXPECT_EQ(Edit(name)->text(),
                  target ? QString::fromLatin1(row.Shown) : QStringLiteral("NC"))
            << name;
    }
    EXPECT_EQ(Button("Button3")->isEnabled(), std::string(row.Field) == "Edit3");
}

INSTANTIATE_TEST_SUITE_P(
    Form1, AnswerTest,
    ::testing::Values(
        TAnswerRow{"> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 77\r\n",
                   "> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 77", "Edit3", "7766554433221100"},
        TAnswerRow{"> 2001 MEM 01 04 01 00 2A\r\n", "> 2001 MEM 01 04 01 00 2A", "Edit4", "2A"},
        TAnswerRow{"> 2001 MEM 84 00 04 00 00 00 00 04", "> 2001 MEM 84 00 04 00 00 00 00 04",
                   "Edit5", "1A"},
        TAnswerRow{"> 2001 MEM 84 00 04 00 00 18 00 00", "> 2001 MEM 84 00 04 00 00 18 00 00",
                   "Edit5", "Channel error"},
        TAnswerRow{"> 2001 MEM 83 00 02 00 34 12\n", "> 2001 MEM 83 00 02 00 34 12", "Edit6",
                   "1234"},
        TAnswerRow{"> 2001 MEM 87 00 01 00 05", "> 2001 MEM 87 00 01 00 05", "Edit7", "05"},
        TAnswerRow{" \r\n\t> 2001 MEM 01 04 01 00 FE \r\n", "> 2001 MEM 01 04 01 00 FE", "Edit4",
                   "FE"}),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

struct TOtherRow {
    std::vector<std::string> Chunks;
    std::vector<const char*> Logged;
};

void PrintTo(const TOtherRow& row, std::ostream* os) {
    for (const char* line : row.Logged)
        *os << "\"" << line << "\" ";
}

class OtherChunkTest : public FormFixture, public ::testing::WithParamInterface<TOtherRow> {};

TEST_P(OtherChunkTest, EachChunkIsLoggedAndAnsweredWithOneCarriageReturn) {
    for (const std::string& chunk : GetParam().Chunks)
        Client->Deliver(chunk);
    QStringList logged;
    for (const char* line : GetParam().Logged)
        logged << QString::fromLatin1(line);
    EXPECT_EQ(Log(), logged);
    EXPECT_EQ(Wire.Sent, std::string(GetParam().Chunks.size(), '\r'));
    for (const char* name : Fields)
        EXPECT_FALSE(Edit(name)->isEnabled()) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Form1, OtherChunkTest,
    ::testing::Values(TOtherRow{{"> 2002 MEM 01 04 01 00 2A\r\n"}, {"> 2002 MEM 01 04 01 00 2A"}},
                      TOtherRow{{"> 2001 mem 01 04 01 00 2A\r\n"}, {"> 2001 mem 01 04 01 00 2A"}},
                      TOtherRow{{"> 2001 MEM 02 00 01 00 2A"}, {"> 2001 MEM 02 00 01 00 2A"}},
                      TOtherRow{{"< 2001 GET_MEM 01 00 08 00\r\n"}, {"< 2001 GET_MEM 01 00 08 00"}},
                      TOtherRow{{"Gateway> "}, {"Gateway>"}}, TOtherRow{{""}, {""}},
                      TOtherRow{{"\r\n\r\n"}, {""}},
                      TOtherRow{{"> 2001 MEM 01 0", "4 01 00 2A\r\n"},
                                {"> 2001 MEM 01 0", "4 01 00 2A"}}),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

class ChunkTest : public FormFixture {};

TEST_F(ChunkTest, SeveralAnswersInOneChunkDecodeOnlyTheFirst) {
    Client->Deliver("> 2001 MEM 01 04 01 00 2A\r\n> 2001 MEM 83 00 02 00 34 12\r\n");
    EXPECT_EQ(Log(), QStringList({"> 2001 MEM 01 04 01 00 2A", "> 2001 MEM 83 00 02 00 34 12"}));
    EXPECT_EQ(Edit("Edit4")->text(), QStringLiteral("2A"));
    EXPECT_EQ(Edit("Edit6")->text(), QStringLiteral("NC"));
    EXPECT_FALSE(Edit("Edit6")->isEnabled());
    EXPECT_EQ(Wire.Sent, "");
}

TEST_F(ChunkTest, ThreeCharacterGatewayRecognisesNothing) {
    Edit("Edit8")->setText(QStringLiteral("200"));
    Client->Deliver("> 200 MEM 01 04 01 00 2A");
    Client->Deliver("> 200  MEM 01 04 01 00 2A");
    EXPECT_EQ(Wire.Sent, "\r\r");
    EXPECT_FALSE(Edit("Edit4")->isEnabled());
}

TEST_F(ChunkTest, GatewayAddressIsTakenAfreshForEachChunk) {
    Edit("Edit8")->setText(QStringLiteral("A0B1"));
    Client->Deliver("> A0B1 MEM 01 04 01 00 2A");
    EXPECT_EQ(Edit("Edit4")->text(), QStringLiteral("2A"));
    EXPECT_EQ(Wire.Sent, "");
}

TEST_F(ChunkTest, Windows1251TextIsShownInCyrillic) {
    Client->Deliver("\xCF\xF0\xE8\xE2\xE5\xF2, \xF8\xEB\xFE\xE7!\r\n");
    EXPECT_EQ(Log(), QStringList({QStringLiteral("Привет, шлюз!")}));
}

TEST_F(ChunkTest, LineBreaksInsideAChunkStartNewLogLines) {
    Client->Deliver("first\r\nsecond\rthird\nfourth");
    EXPECT_EQ(Log(), QStringList({"first", "second", "third", "fourth"}));
}

TEST_F(ChunkTest, LastEmptyChunkAfterThePeerClosedRaisesBackToTheReader) {
    Client->TransmitFails = true;
    EXPECT_THROW(Client->Deliver(""), EIdConnClosedGracefully);
    EXPECT_EQ(Log(), QStringList({""}));
    EXPECT_TRUE(Messages.Shown.empty());
}

} // namespace
