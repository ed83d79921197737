// The accepted values of the three writable fields: device address 02..FE,
// channel 11..26 (0B..1A, IEEE 802.15.4, 2.4 GHz band), PAN ID any value the
// integer conversion of "0x" + text accepts.
#pragma once

#include <cstdint>

constexpr int32_t LowestDeviceAddress = 0x02, HighestDeviceAddress = 0xFE;
constexpr int32_t LowestChannel = 11, HighestChannel = 26;

constexpr bool IsValidDeviceAddress(int32_t value) {
    return value >= LowestDeviceAddress && value <= HighestDeviceAddress;
}
constexpr bool IsValidChannel(int32_t value) {
    return value >= LowestChannel && value <= HighestChannel;
}
