// The read, write and reset lines the tool types to the gateway.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/CommandLines.h"
#include "protocol/FieldEncodings.h"
#include "protocol/MemoryFields.h"

namespace {

TEST(CommandLines, ReadLinesOfTheFiveFieldsInTableOrder) {
    std::vector<std::string> lines;
    for (const TMemoryField field : AllMemoryFields)
        lines.push_back(ReadMemoryLine("2001", Descriptor(field)));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"< 2001 GET_MEM 01 00 08 00", "< 2001 GET_MEM 01 04 01 00",
                                        "< 2001 GET_MEM 84 00 04 00", "< 2001 GET_MEM 83 00 02 00",
                                        "< 2001 GET_MEM 87 00 01 00"}));
}

TEST(CommandLines, WriteLinesCarryTheEncodedValues) {
    EXPECT_EQ(WriteMemoryLine("2001", Descriptor(TMemoryField::Address), HexToByteList("A5")),
              "< 2001 SET_MEM 01 04 01 00 A5");
    EXPECT_EQ(WriteMemoryLine("2001", Descriptor(TMemoryField::Channel), ChannelToMask(0x1A)),
              "< 2001 SET_MEM 84 00 04 00 00 00 00 04");
    EXPECT_EQ(WriteMemoryLine("2001", Descriptor(TMemoryField::PanId), HexToByteList("1234")),
              "< 2001 SET_MEM 83 00 02 00 34 12");
    EXPECT_EQ(WriteMemoryLine("2001", Descriptor(TMemoryField::Address), HexToByteList("5")),
              "< 2001 SET_MEM 01 04 01 00 05");
    EXPECT_EQ(WriteMemoryLine("2001", Descriptor(TMemoryField::PanId), HexToByteList("ABC")),
              "< 2001 SET_MEM 83 00 02 00 BC 0A");
    EXPECT_EQ(WriteMemoryLine("2001", Descriptor(TMemoryField::PanId), HexToByteList("NC")),
              "< 2001 SET_MEM 83 00 02 00 NC");
    EXPECT_EQ(WriteMemoryLine("2001", Descriptor(TMemoryField::Channel), ChannelToMask(0x1B)),
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

TEST(MemoryFields, DescriptorsNameLocationAndTheRowsByteCount) {
    // "AA AA LL LL": location then length, both least significant byte first.
    const unsigned locations[] = {0x0001, 0x0401, 0x0084, 0x0083, 0x0087};
    const char* const names[] = {"mac", "address", "channel", "pan_id", "type"};
    for (const TMemoryField field : AllMemoryFields) {
        const TFieldRow& row = FieldRow(field);
        const size_t i = static_cast<size_t>(field);
        EXPECT_EQ(row.Field, field) << i;
        EXPECT_STREQ(row.Name, names[i]);
        const std::string swapped = ByteListToHex(row.Descriptor);
        ASSERT_EQ(swapped.size(), 8U) << row.Descriptor;
        EXPECT_EQ(std::stoul(swapped.substr(4, 4), nullptr, 16), locations[i]) << row.Descriptor;
        EXPECT_EQ(std::stoul(swapped.substr(0, 4), nullptr, 16), row.DataBytes) << row.Descriptor;
    }
    EXPECT_TRUE(InRange(TMemoryField::Address, 0xFE));
    EXPECT_FALSE(InRange(TMemoryField::Address, 0x01));
    EXPECT_FALSE(InRange(TMemoryField::Channel, 27));
    EXPECT_TRUE(InRange(TMemoryField::PanId, -1));
}

} // namespace
