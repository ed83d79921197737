// The five device memory fields that the tool reads, as the gateway names them:
// "AA AA LL LL", two location bytes then two length bytes, each pair least
// significant byte first.
#pragma once

#include <array>
#include <string>

enum class TMemoryField { Mac, Address, Channel, PanId, Type };

struct TFieldDescriptors {
    std::string Mac;     // "01 00 08 00": 8 bytes at 0x0001
    std::string Address; // "01 04 01 00": 1 byte at 0x0401
    std::string Channel; // "84 00 04 00": 4-byte channel mask at 0x0084
    std::string PanId;   // "83 00 02 00": 2 bytes at 0x0083
    std::string Type;    // "87 00 01 00": 1 byte at 0x0087
};

// The constant table, in the order MAC, device address, channel, PAN ID, type.
TFieldDescriptors DefaultFieldDescriptors();
