// Byte strings written as hexadecimal ("FF FA 18") for the Telnet tests, and back.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>

// "FF FA 18" -> the three bytes; pairs of hex digits separated by spaces.
inline std::string Bytes(const std::string& hex) {
    std::string bytes;
    std::istringstream in(hex);
    std::string pair;
    while (in >> pair) bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
    return bytes;
}

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
