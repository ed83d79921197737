// Checks of bqctl's typed values: ports, gateway addresses, timeouts and the
// three writable fields (by the window's rules, protocol/FieldRules.h).
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "protocol/FieldDescriptors.h"

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
