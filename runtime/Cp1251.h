// Windows-1251, the 8-bit code page of everything below the window model and
// on the wire, and UTF-8, the text of the model, its views and bqctl's output.
#pragma once

#include <string>
#include <string_view>

// Every byte becomes one character; 0x98, which the code page leaves
// undefined, becomes U+0098 so that no byte is lost.
std::string Cp1251ToUtf8(std::string_view bytes);
// A character that Windows-1251 lacks, and every byte of a malformed UTF-8
// sequence, becomes the substitute byte 0x1A.
std::string Utf8ToCp1251(std::string_view text);

inline constexpr char Cp1251Substitute = '\x1A';
