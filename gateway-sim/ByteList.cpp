// The gateway's byte lists as bytes and back.
#include "gateway-sim/ByteList.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

bool ParseByteList(const std::string& text, std::vector<uint8_t>& bytes) {
    bytes.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        if (pos + 1 >= text.size()) return false;
        const int high = HexDigit(text[pos]);
        const int low = HexDigit(text[pos + 1]);
        if (high < 0 || low < 0) return false;
        if (pos + 2 < text.size() && text[pos + 2] != ' ') return false;
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
        pos += 2;
    }
    return true;
}

std::string FormatByteList(const std::vector<uint8_t>& bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    for (const uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += Digits[b >> 4];
        text += Digits[b & 0x0F];
    }
    return text;
}
