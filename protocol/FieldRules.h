// The accepted values of the device address (02..FE) and the channel
// (11..26, 0B..1A), named for their callers; the table holds them.
#pragma once

#include <cstdint>

#include "protocol/MemoryFields.h"

constexpr int32_t LowestDeviceAddress = FieldRow(TMemoryField::Address).Lowest;
constexpr int32_t HighestDeviceAddress = FieldRow(TMemoryField::Address).Highest;
constexpr int32_t LowestChannel = FieldRow(TMemoryField::Channel).Lowest;
constexpr int32_t HighestChannel = FieldRow(TMemoryField::Channel).Highest;

constexpr bool IsValidDeviceAddress(int32_t value) {
    return InRange(TMemoryField::Address, value);
}
constexpr bool IsValidChannel(int32_t value) {
    return InRange(TMemoryField::Channel, value);
}
