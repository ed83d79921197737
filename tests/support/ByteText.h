// Byte strings for the tests: from hexadecimal text ("FF FA 18") or a list of
// values, and back to hexadecimal text for failure messages.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <sstream>
#include <string>

// "FF FA 18" -> the three bytes; pairs of hex digits separated by spaces.
inline std::string Bytes(const std::string& hex) {
    std::string bytes;
    std::istringstream in(hex);
    std::string pair;
    while (in >> pair)
        bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
    return bytes;
}

// {5, 1, 0} -> the three bytes.
inline std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

// The bytes as "FF FA 18".
inline std::string Hex(const std::string& bytes) {
    std::string hex;
    for (const char ch : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(ch));
        if (!hex.empty()) hex += ' ';
        hex += pair;
    }
    return hex;
}
