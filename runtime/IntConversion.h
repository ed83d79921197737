// Text to 32-bit integer, the one conversion that the window, the field
// checks and the dotted-address rules share.
#pragma once

#include <cstdint>
#include <string>

// Accepts leading blanks (code 32 only), then either an optional sign and
// decimal digits within the 32-bit range, or a hexadecimal prefix ("$", "x",
// "X", "0x", "0X") and at most eight significant hexadecimal digits, eight
// digits from 80000000 up wrapping to negative. Nothing may follow the digits.
// Anything else raises EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(const std::string& text);

// The same rules without raising: false when the text is not an integer.
bool TryStrToInt(const std::string& text, int32_t& value);
