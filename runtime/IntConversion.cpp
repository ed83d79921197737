// Text to 32-bit integer with the runtime's exact acceptance rules.
#include "runtime/IntConversion.h"

#include "runtime/Exception.h"

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseHex(const std::string& text, size_t pos, int32_t& value) {
    if (pos >= text.size()) return false;
    while (pos + 1 < text.size() && text[pos] == '0')
        ++pos; // leading zeros are not significant
    if (text.size() - pos > 8) return false;
    uint32_t result = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = HexDigitValue(text[pos]);
        if (digit < 0) return false;
        result = (result << 4) | static_cast<uint32_t>(digit);
    }
    value = static_cast<int32_t>(result); // 80000000..FFFFFFFF wrap to negative
    return true;
}

bool ParseDecimal(const std::string& text, size_t pos, int32_t& value) {
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size()) return false;
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t result = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
        if (result > limit) return false;
    }
    value = static_cast<int32_t>(negative ? -result : result);
    return true;
}

} // namespace

bool TryStrToInt(const std::string& text, int32_t& value) {
    size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X'))
        return ParseHex(text, pos + 1, value);
    if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X'))
        return ParseHex(text, pos + 2, value);
    return ParseDecimal(text, pos, value);
}

int32_t StrToInt(const std::string& text) {
    int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError("'" + text + "' is not a valid integer value");
    return value;
}
