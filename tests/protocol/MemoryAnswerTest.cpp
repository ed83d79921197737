// Trimming of chunks and recognition of the gateway's memory answers.
#include <gtest/gtest.h>

#include <string>

#include "protocol/MemoryAnswer.h"

namespace {

std::optional<TMemoryAnswer> Recognise(const std::string& chunk,
                                       const std::string& gateway = "2001") {
    return RecogniseMemoryAnswer(TrimControls(chunk), gateway);
}

struct Trim {
    std::string in;
    std::string out;
};

class TrimControlsTest : public testing::TestWithParam<Trim> {};

TEST_P(TrimControlsTest, StripsCodesUpTo32AtBothEnds) {
    EXPECT_EQ(TrimControls(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Chunks, TrimControlsTest,
                         testing::Values(Trim{"", ""}, Trim{" ", ""}, Trim{"\r\n", ""},
                                         Trim{"abc", "abc"}, Trim{"\r\n> 2001\r\n", "> 2001"},
                                         Trim{" \t a b \x1F", "a b"}, Trim{"a\r\nb", "a\r\nb"},
                                         Trim{std::string("\0x\0", 3), "x"},
                                         Trim{std::string(" \0 ", 3), ""}, Trim{"\x7F", "\x7F"},
                                         // Windows-1251 letters are above 0x80 and must survive
                                         Trim{"\r\xC0\xFF\r", "\xC0\xFF"}, Trim{"\xA0 ", "\xA0"}));

struct Answer {
    std::string chunk;
    TMemoryField field;
    std::string text;
};

class RecognisedAnswer : public testing::TestWithParam<Answer> {};

TEST_P(RecognisedAnswer, DecodesTheField) {
    const auto answer = Recognise(GetParam().chunk);
    ASSERT_TRUE(answer.has_value()) << GetParam().chunk;
    EXPECT_EQ(answer->Field, GetParam().field);
    EXPECT_EQ(answer->Text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RecognisedAnswer,
    testing::Values(Answer{"> 2001 MEM 01 04 01 00 2A\r\n", TMemoryField::Address, "2A"},
                    Answer{"> 2001 MEM 84 00 04 00 00 00 00 04", TMemoryField::Channel, "1A"},
                    Answer{"> 2001 MEM 84 00 04 00 00 18 00 00", TMemoryField::Channel,
                           "Channel error"},
                    Answer{"> 2001 MEM 83 00 02 00 34 12", TMemoryField::PanId, "1234"},
                    Answer{"> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 77", TMemoryField::Mac,
                           "7766554433221100"},
                    Answer{"> 2001 MEM 87 00 01 00 01", TMemoryField::Type, "01"},
                    Answer{"\r\n\r\n  > 2001 MEM 01 04 01 00 2A", TMemoryField::Address, "2A"},
                    // only the field's own length of data is taken; the rest is ignored
                    Answer{"> 2001 MEM 01 04 01 00 2A 2B 2C", TMemoryField::Address, "2A"},
                    Answer{"> 2001 MEM 83 00 02 00 34 12\r\n> 2001 MEM 87 00 01 00 05",
                           TMemoryField::PanId, "1234"},
                    // the separator at position 23 is not examined
                    Answer{"> 2001 MEM 83 00 02 00_34 12", TMemoryField::PanId, "1234"},
                    Answer{"> 2001 MEM 01 04 01 00 2A\xC0", TMemoryField::Address, "2A"},
                    Answer{std::string("> 2001 MEM 01 04 01 00 \0A", 25), TMemoryField::Address,
                           std::string("\0A", 2)}));

class UnrecognisedChunk : public testing::TestWithParam<std::string> {};

TEST_P(UnrecognisedChunk, GivesNothing) {
    EXPECT_FALSE(Recognise(GetParam()).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, UnrecognisedChunk,
    testing::Values("", "\r\n", "> 2002 MEM 01 04 01 00 2A", "> 2001 mem 01 04 01 00 2A",
                    "> 2001 MEM 02 00 01 00 2A", "> 2001 MEM 01 04 01 0", "> 2001 MEM 01 04 01",
                    "> 2001 MEM", "> 2001 ", "Gateway ready\r\n>", "< 2001 GET_MEM 01 04 01 00",
                    ">  2001 MEM 01 04 01 00 2A", "> 2001  MEM 01 04 01 00 2A",
                    "2001 MEM 01 04 01 00 2A", "x> 2001 MEM 01 04 01 00 2A",
                    "> 2001 MEM 01\t04 01 00 2A", std::string("> 2001 MEM 01 04 01\0002A", 22),
                    // half an answer: its data ends before the field's length, so
                    // no field is filled with part of a value
                    "> 2001 MEM 01 00 08 00 00 11 22", "> 2001 MEM 83 00 02 00 3",
                    "> 2001 MEM 83 00 02 00", "> 2001 MEM 84 00 04 00 00 00",
                    "> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 7"));

TEST(RecogniseMemoryAnswer, ComparesAgainstTheUpperCasedGateway) {
    const std::string line = "> AB01 MEM 87 00 01 00 01";
    EXPECT_TRUE(RecogniseMemoryAnswer(line, "ab01").has_value());
    EXPECT_TRUE(RecogniseMemoryAnswer(line, "AB01").has_value());
    // the received text is never upper-cased
    EXPECT_FALSE(RecogniseMemoryAnswer("> ab01 MEM 87 00 01 00 01", "ab01"));
}

TEST(RecogniseMemoryAnswer, GatewaysNotOfFourCharactersAreNeverRecognised) {
    for (const std::string gateway : {"", "2", "200", "20011"}) {
        for (const std::string& line :
             {"> " + gateway + " MEM 87 00 01 00 01", "> " + gateway + " MEM ",
              "> " + gateway + " MEM 01 00 08 00 00 11 22 33 44 55 66 77"}) {
            EXPECT_FALSE(RecogniseMemoryAnswer(TrimControls(line), gateway)) << line;
            EXPECT_FALSE(RecogniseMemoryAnswer(line, gateway)) << line;
        }
    }
}

} // namespace
