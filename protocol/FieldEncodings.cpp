// Byte lists, hexadecimal texts and channel masks: the gateway's notation and the window's.
#include "protocol/FieldEncodings.h"

#include <array>

namespace {

struct TChannelRow {
    int32_t Number;
    const char* Shown;
    const char* Mask; // 1 << Number as four bytes, least significant first
};

// IEEE 802.15.4 channels of the 2.4 GHz band.
constexpr std::array<TChannelRow, 16> ChannelTable{{
    {11, "0B", "00 08 00 00"},
    {12, "0C", "00 10 00 00"},
    {13, "0D", "00 20 00 00"},
    {14, "0E", "00 40 00 00"},
    {15, "0F", "00 80 00 00"},
    {16, "10", "00 00 01 00"},
    {17, "11", "00 00 02 00"},
    {18, "12", "00 00 04 00"},
    {19, "13", "00 00 08 00"},
    {20, "14", "00 00 10 00"},
    {21, "15", "00 00 20 00"},
    {22, "16", "00 00 40 00"},
    {23, "17", "00 00 80 00"},
    {24, "18", "00 00 00 01"},
    {25, "19", "00 00 00 02"},
    {26, "1A", "00 00 00 04"},
}};

} // namespace

// Tokens are moved, never checked: "01  02 03" gives "030201", odd tokens included.
std::string ByteListToHex(const std::string& byteList) {
    std::string result;
    result.reserve(byteList.size());
    size_t tokenEnd = byteList.size();
    for (size_t pos = byteList.size(); pos > 0; --pos) {
        if (byteList[pos - 1] == ' ') {
            result.append(byteList, pos, tokenEnd - pos);
            tokenEnd = pos - 1;
        }
    }
    result.append(byteList, 0, tokenEnd);
    return result;
}

// Pairs are cut from the end, so an odd leading digit becomes "0x": "ABC" gives "BC 0A".
std::string HexToByteList(const std::string& hex) {
    std::string result;
    size_t n = hex.size();
    while (n > 2) {
        result.append(hex, n - 2, 2);
        result += ' ';
        n -= 2;
    }
    if (n == 2) {
        result.append(hex, 0, 2);
    } else if (n == 1) {
        result += '0';
        result += hex[0];
    }
    return result;
}

std::string MaskToChannel(const std::string& mask) {
    for (const TChannelRow& row : ChannelTable) {
        if (mask == row.Mask) return row.Shown;
    }
    return ChannelErrorText;
}

std::string ChannelToMask(int32_t channel) {
    for (const TChannelRow& row : ChannelTable) {
        if (channel == row.Number) return row.Mask;
    }
    return ChannelErrorText;
}
