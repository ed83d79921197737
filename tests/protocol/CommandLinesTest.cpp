// The read, write and reset lines the tool types to the gateway.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/CommandLines.h"
#include "protocol/FieldDescriptors.h"
#include "protocol/FieldEncodings.h"

namespace {

TEST(CommandLines, ReadLinesOfTheFiveFieldsInTableOrder) {
    const TFieldDescriptors d = DefaultFieldDescriptors();
    std::vector<std::string> lines;
    for (const std::string* descriptor : {&d.Mac, &d.Address, &d.Channel, &d.PanId, &d.Type})
        lines.push_back(ReadMemoryLine("2001", *descriptor));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"< 2001 GET_MEM 01 00 08 00", "< 2001 GET_MEM 01 04 01 00",
                                        "< 2001 GET_MEM 84 00 04 00", "< 2001 GET_MEM 83 00 02 00",
                                        "< 2001 GET_MEM 87 00 01 00"}));
}

TEST(CommandLines, WriteLinesCarryTheEncodedValues) {
    const TFieldDescriptors d = DefaultFieldDescriptors();
    EXPECT_EQ(WriteMemoryLine("2001", d.Address, HexToByteList("A5")),
              "< 2001 SET_MEM 01 04 01 00 A5");
    EXPECT_EQ(WriteMemoryLine("2001", d.Channel, ChannelToMask(0x1A)),
              "< 2001 SET_MEM 84 00 04 00 00 00 00 04");
    EXPECT_EQ(WriteMemoryLine("2001", d.PanId, HexToByteList("1234")),
              "< 2001 SET_MEM 83 00 02 00 34 12");
    EXPECT_EQ(WriteMemoryLine("2001", d.Address, HexToByteList("5")),
              "< 2001 SET_MEM 01 04 01 00 05");
    EXPECT_EQ(WriteMemoryLine("2001", d.PanId, HexToByteList("ABC")),
              "< 2001 SET_MEM 83 00 02 00 BC 0A");
    EXPECT_EQ(WriteMemoryLine("2001", d.PanId, HexToByteList("NC")),
              "< 2001 SET_MEM 83 00 02 00 NC");
    EXPECT_EQ(WriteMemoryLine("2001", d.Channel, ChannelToMask(0x1B)),
              "< 2001 SET_MEM 84 00 04 00 Channel error");
}

TEST(CommandLines, ResetLine) {
    EXPECT_EQ(ResetLine("2001"), "< 2001 RESET");
}

TEST(CommandLines, GatewayIsUsedAsItStands) {
    EXPECT_EQ(ReadMemoryLine("", "01 00 08 00"), "<  GET_MEM 01 00 08 00");
    EXPECT_EQ(ResetLine(""), "<  RESET");
    EXPECT_EQ(WriteMemoryLine("", "01 04 01 00", ""), "<  SET_MEM 01 04 01 00 ");
    EXPECT_EQ(ReadMemoryLine("ab", "01 00 08 00"), "< ab GET_MEM 01 00 08 00");
}

TEST(FieldDescriptors, EachNamesItsLocationAndLength) {
    // "AA AA LL LL": location then length, both least significant byte first.
    struct Row {
        const std::string& descriptor;
        unsigned location;
        unsigned length;
    };
    const TFieldDescriptors d = DefaultFieldDescriptors();
    for (const Row& row :
         {Row{d.Mac, 0x0001, 8}, Row{d.Address, 0x0401, 1}, Row{d.Channel, 0x0084, 4},
          Row{d.PanId, 0x0083, 2}, Row{d.Type, 0x0087, 1}}) {
        const std::string swapped = ByteListToHex(row.descriptor);
        ASSERT_EQ(swapped.size(), 8U) << row.descriptor;
        EXPECT_EQ(std::stoul(swapped.substr(4, 4), nullptr, 16), row.location) << row.descriptor;
        EXPECT_EQ(std::stoul(swapped.substr(0, 4), nullptr, 16), row.length) << row.descriptor;
    }
}

} // namespace
