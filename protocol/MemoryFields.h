// The five device memory fields the tool reads, as one table indexed by the
// field: how the gateway names each, what bqctl calls it, how many bytes it
// holds, how an answer's data is shown, and what may be written to it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "protocol/FieldEncodings.h"

enum class TMemoryField { Mac, Address, Channel, PanId, Type };

struct TFieldRow {
    TMemoryField Field;
    // "AA AA LL LL": two location bytes then two length bytes, each pair
    // least significant byte first.
    const char* Descriptor;
    const char* Name; // in bqctl's files and messages
    size_t DataBytes;
    // An answer's data bytes ("34 12") as the window shows them ("1234").
    std::string (*Decode)(const std::string& data);
    bool Writable;
    // The values accepted for a typed text, converted as "0x" + text.
    int32_t Lowest, Highest;
    size_t HexDigits; // the most hexadecimal digits a typed value has
};

// clang-format off
inline constexpr std::array<TFieldRow, 5> MemoryFields{{
    // field               descriptor     name       bytes decode         write  lowest  highest  digits
    {TMemoryField::Mac,     "01 00 08 00", "mac",     8, ByteListToHex, false, 0, 0, 16},
    {TMemoryField::Address, "01 04 01 00", "address", 1, ByteListToHex, true, 0x02, 0xFE, 2},
    // IEEE 802.15.4 channels 11..26 of the 2.4 GHz band, carried as a mask
    {TMemoryField::Channel, "84 00 04 00", "channel", 4, MaskToChannel, true, 11, 26, 2},
    {TMemoryField::PanId,   "83 00 02 00", "pan_id",  2, ByteListToHex, true,
     std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 4},
    {TMemoryField::Type,    "87 00 01 00", "type",    1, ByteListToHex, false, 0, 0, 2},
}};
// clang-format on

// Every field in table order: the order of the reads and of answer matching.
inline constexpr std::array<TMemoryField, 5> AllMemoryFields{
    TMemoryField::Mac, TMemoryField::Address, TMemoryField::Channel, TMemoryField::PanId,
    TMemoryField::Type};

constexpr const TFieldRow& FieldRow(TMemoryField field) {
    return MemoryFields[static_cast<size_t>(field)];
}

inline const char* FieldName(TMemoryField field) {
    return FieldRow(field).Name;
}

// The characters of an answer's data: n bytes as "XX XX ...".
constexpr size_t DataTextLength(TMemoryField field) {
    return FieldRow(field).DataBytes * 3 - 1;
}

constexpr bool InRange(TMemoryField field, int32_t value) {
    return value >= FieldRow(field).Lowest && value <= FieldRow(field).Highest;
}

inline std::string Descriptor(TMemoryField field) {
    return FieldRow(field).Descriptor;
}
