// Checks of bqctl's typed values: ports, gateway addresses, timeouts and the
// three writable fields (by the window's rules, protocol/FieldRules.h).
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "protocol/MemoryFields.h"

bool ParsePort(const std::string& text, int32_t& port);
// Four printable characters without spaces; letters upper-cased as the
// window's field does. Only a four-character address can match an answer.
bool ParseGateway(const std::string& text, std::string& gateway, std::string& error);
// Seconds, fractions allowed, above 0 and at most one hour.
bool ParseTimeout(const std::string& text, std::chrono::milliseconds& timeout, std::string& error);
// A device address (02..FE, up to 2 digits), channel (0B..1A, up to 2
// digits) or PAN ID (up to 4 digits), all hexadecimal. `what` names the
// value in the message, e.g. "--channel" or "backup.json: channel".
bool CheckFieldText(TMemoryField field, const std::string& text, const std::string& what,
                    std::string& error);
// The value of a checked text, for comparing a read-back with what was written.
int32_t FieldValue(const std::string& text);

// "0F (channel 15)": a channel as text output shows it, the device's
// hexadecimal value with the radio channel it means; other texts unchanged.
std::string ChannelShown(const std::string& text);
// A field's value as text output shows it (the channel with its number).
std::string FieldShown(TMemoryField field, const std::string& text);
// --channel-number: the decimal channel 11..26 as the hexadecimal text the
// device takes ("15" -> "0F").
bool ParseChannelNumber(const std::string& text, std::string& hex, std::string& error);
// For a --channel value that also reads as a decimal channel ("15": channel
// 21 as given, channel 15 as a radio person means it), one line naming both
// readings; empty for any other value.
std::string ChannelReadingWarning(const std::string& text);
