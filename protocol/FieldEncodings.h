// Conversions between the gateway's byte lists ("34 12", least significant
// byte first) and the values the window shows ("1234"), and between channel
// masks and channel numbers 11..26 ("0B".."1A"). Pure; they never raise.
#pragma once

#include <cstdint>
#include <string>

inline const std::string ChannelErrorText = "Channel error";

std::string ByteListToHex(const std::string& byteList);
std::string HexToByteList(const std::string& hex);
// The channel as shown, or "Channel error" for a text not in the channel table.
std::string MaskToChannel(const std::string& mask);
// The mask text of channels 11..26, "Channel error" for any other number.
std::string ChannelToMask(int32_t channel);
