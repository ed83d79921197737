// Leading blanks (code 32 only); then a hexadecimal prefix ($ x X 0x 0X) and
// 1..8 significant hex digits taken as 32 bits, or an optional sign and
// decimal digits within the 32-bit range. Nothing may follow the digits.
#include "fuzz/IntReference.h"

#include <algorithm>
#include <cctype>

namespace {

std::optional<int32_t> Hexadecimal(const std::string& digits) {
    if (digits.empty()) return std::nullopt;
    uint64_t value = 0;
    for (const char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        const int digit =
            std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFu) return std::nullopt; // a ninth significant digit
    }
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::optional<int32_t> Decimal(const std::string& text) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::string digits =
        !text.empty() && (text[0] == '-' || text[0] == '+') ? text.substr(1) : text;
    if (digits.empty()) return std::nullopt;
    int64_t magnitude = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL) return std::nullopt;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > 2147483647LL) return std::nullopt;
    return static_cast<int32_t>(value);
}

} // namespace

std::optional<int32_t> ReferenceStrToInt(const std::string& text) {
    const std::string body = text.substr(std::min(text.find_first_not_of(' '), text.size()));
    if (body.rfind("0x", 0) == 0 || body.rfind("0X", 0) == 0) return Hexadecimal(body.substr(2));
    if (!body.empty() && (body[0] == '$' || body[0] == 'x' || body[0] == 'X'))
        return Hexadecimal(body.substr(1));
    return Decimal(body);
}
