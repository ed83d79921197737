// Recognition of memory answers by fixed character positions.
#include "protocol/MemoryAnswer.h"

#include <array>

#include "protocol/FieldEncodings.h"

namespace {

// Layout, positions from 0: "> " 0-1, gateway 2-5, " MEM " 6-10, descriptor 11-21,
// separator 22, data bytes from 23.
constexpr size_t PrefixLength = 11;
constexpr size_t DescriptorPos = 11;
constexpr size_t DescriptorLength = 11;
constexpr size_t DataPos = 23;

struct TAnswerRow {
    TMemoryField Field;
    const std::string TFieldDescriptors::*Descriptor;
    size_t DataLength; // 3n-1 characters for n bytes
    std::string (*Decode)(const std::string&);
};

// Table order decides which descriptor wins when two are equal.
const std::array<TAnswerRow, 5> AnswerRows{{
    {TMemoryField::Mac, &TFieldDescriptors::Mac, 23, ByteListToHex},
    {TMemoryField::Address, &TFieldDescriptors::Address, 2, ByteListToHex},
    {TMemoryField::Channel, &TFieldDescriptors::Channel, 11, MaskToChannel},
    {TMemoryField::PanId, &TFieldDescriptors::PanId, 5, ByteListToHex},
    {TMemoryField::Type, &TFieldDescriptors::Type, 2, ByteListToHex},
}};

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
                                                   const std::string& gateway,
                                                   const TFieldDescriptors& descriptors) {
    // Always 11 characters of the text: only a four-character gateway can match.
    if (Piece(trimmed, 0, PrefixLength) != AsciiUpper("> " + gateway + " MEM "))
        return std::nullopt;
    const std::string descriptor = Piece(trimmed, DescriptorPos, DescriptorLength);
    for (const TAnswerRow& row : AnswerRows) {
        if (descriptor != descriptors.*row.Descriptor) continue;
        // An answer cut short (split across chunks, or truncated by the gateway)
        // would fill the field with part of its value, which a later write could
        // send back to the device; it is treated as no answer instead.
        if (trimmed.size() < DataPos + row.DataLength) return std::nullopt;
        return TMemoryAnswer{row.Field, row.Decode(Piece(trimmed, DataPos, row.DataLength))};
    }
    return std::nullopt;
}
