// The gateway's byte lists ("34 12": two hexadecimal digits per byte, spaces
// between) as bytes and back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Strict: every token exactly two hexadecimal digits of either case, tokens
// separated by one or more spaces. False (bytes unspecified) for anything else.
bool ParseByteList(const std::string& text, std::vector<uint8_t>& bytes);
// Upper-case digits, single spaces: the form the gateway answers in.
std::string FormatByteList(const std::vector<uint8_t>& bytes);
