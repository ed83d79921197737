// The four conversions between the gateway's byte notation and the window's values.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "protocol/FieldEncodings.h"

namespace {

struct Conversion {
    std::string in;
    std::string out;
};

std::ostream& operator<<(std::ostream& os, const Conversion& c) {
    return os << '"' << c.in << "\" -> \"" << c.out << '"';
}

class ByteListToHexTest : public testing::TestWithParam<Conversion> {};

TEST_P(ByteListToHexTest, ReversesTheTokens) {
    EXPECT_EQ(ByteListToHex(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ByteListToHexTest,
    testing::Values(Conversion{"01 02 03", "030201"}, Conversion{"5A", "5A"},
                    Conversion{"00 11 22 33 44 55 66 77", "7766554433221100"},
                    Conversion{"34 12", "1234"}, Conversion{"01  02", "0201"},
                    Conversion{" 01 02", "0201"}, Conversion{"01 02 ", "0201"},
                    Conversion{"  01   02  ", "0201"}, Conversion{"", ""}, Conversion{" ", ""},
                    Conversion{"   ", ""}, Conversion{"a b c", "cba"},
                    Conversion{"1 234 56", "562341"}, Conversion{"NC", "NC"},
                    // only the space separates: other controls are moved like digits
                    Conversion{"01\t02 03", "0301\t02"},
                    Conversion{std::string("\0 \xFF", 3), std::string("\xFF\0", 2)}));

class HexToByteListTest : public testing::TestWithParam<Conversion> {};

TEST_P(HexToByteListTest, PairsFromTheEnd) {
    EXPECT_EQ(HexToByteList(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HexToByteListTest,
    testing::Values(Conversion{"1234", "34 12"}, Conversion{"ABC", "BC 0A"}, Conversion{"5", "05"},
                    Conversion{"A5", "A5"}, Conversion{"123456", "56 34 12"}, Conversion{"1", "01"},
                    Conversion{"FFFF", "FF FF"}, Conversion{"abc", "bc 0a"}, Conversion{"", ""},
                    Conversion{"12345", "45 23 01"}, Conversion{"NC", "NC"},
                    Conversion{std::string("\0\xE9\x01", 3), std::string("\xE9\x01 0\0", 5)}));

// Hexadecimal texts of even length survive the trip to a byte list and back.
TEST(HexByteListRoundTrip, EvenLengthsComeBackUnchanged) {
    const std::string digits = "0123456789ABCDEFabcdef";
    for (size_t length = 0; length <= digits.size(); length += 2) {
        const std::string hex = digits.substr(0, length);
        EXPECT_EQ(ByteListToHex(HexToByteList(hex)), hex);
    }
}

TEST(HexByteListRoundTrip, OddLengthsGainOneLeadingZero) {
    for (const std::string hex : {"1", "ABC", "12345"})
        EXPECT_EQ(ByteListToHex(HexToByteList(hex)), "0" + hex);
}

// Decodes a mask text to its 32-bit value so the table can be checked against 1 << channel.
uint32_t MaskValue(const std::string& mask) {
    unsigned b0 = 0, b1 = 0, b2 = 0, b3 = 0;
    char tail = 0;
    if (std::sscanf(mask.c_str(), "%2x %2x %2x %2x%c", &b0, &b1, &b2, &b3, &tail) != 4) return 0;
    return b0 | (b1 << 8) | (b2 << 16) | (b3 << 24);
}

class ChannelTest : public testing::TestWithParam<int32_t> {};

TEST_P(ChannelTest, MaskHasTheChannelBitAndComesBack) {
    const int32_t channel = GetParam();
    const std::string mask = ChannelToMask(channel);
    EXPECT_EQ(mask.size(), 11U) << mask;
    EXPECT_EQ(MaskValue(mask), 1U << channel) << mask;
    char shown[8];
    std::snprintf(shown, sizeof shown, "%02X", static_cast<unsigned>(channel));
    EXPECT_EQ(MaskToChannel(mask), shown);
}

INSTANTIATE_TEST_SUITE_P(EveryChannel, ChannelTest, testing::Range(11, 27));

TEST(ChannelTable, NumbersOutsideTheBandAreErrors) {
    for (const int32_t channel : {INT32_MIN, -11, -1, 0, 1, 10, 27, 31, 32, INT32_MAX})
        EXPECT_EQ(ChannelToMask(channel), ChannelErrorText) << channel;
}

TEST(ChannelTable, MasksNotInTheTableAreErrors) {
    for (const std::string mask :
         {"00 18 00 00", "00 04 00 00", "00 00 00 00", "00 00 00 08", "00 08 00", "",
          "00 08 00 00 ", " 00 08 00 00", "00  08 00 00", "00 08 00 00 00", "0B", "00 00 00 0a"})
        EXPECT_EQ(MaskToChannel(mask), ChannelErrorText) << '"' << mask << '"';
    EXPECT_EQ(MaskToChannel(std::string("00 08 00 00\0", 12)), ChannelErrorText);
}

} // namespace
