// Recognition of memory answers by fixed character positions.
#include "protocol/MemoryAnswer.h"

namespace {

// Layout, positions from 0: "> " 0-1, gateway 2-5, " MEM " 6-10, descriptor 11-21,
// separator 22, data bytes from 23.
constexpr size_t PrefixLength = 11;
constexpr size_t DescriptorPos = 11;
constexpr size_t DescriptorLength = 11;
constexpr size_t DataPos = 23;

std::string AsciiUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// At most `length` characters from `pos`; a text that ends early gives fewer.
std::string Piece(const std::string& text, size_t pos, size_t length) {
    if (pos >= text.size()) return {};
    return text.substr(pos, length);
}

} // namespace

std::optional<TMemoryAnswer> RecogniseMemoryAnswer(const std::string& trimmed,
                                                   const std::string& gateway) {
    // Always 11 characters of the text: only a four-character gateway can match.
    if (Piece(trimmed, 0, PrefixLength) != AsciiUpper("> " + gateway + " MEM "))
        return std::nullopt;
    const std::string descriptor = Piece(trimmed, DescriptorPos, DescriptorLength);
    for (const TFieldRow& row : MemoryFields) {
        if (descriptor != row.Descriptor) continue;
        const size_t dataLength = DataTextLength(row.Field);
        // An answer cut short (split across chunks, or truncated by the gateway)
        // would fill the field with part of its value, which a later write could
        // send back to the device; it is treated as no answer instead.
        if (trimmed.size() < DataPos + dataLength) return std::nullopt;
        return TMemoryAnswer{row.Field, row.Decode(Piece(trimmed, DataPos, dataLength))};
    }
    return std::nullopt;
}
