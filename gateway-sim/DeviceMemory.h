// The simulated device's memory: the five fields the tool reads, each at its
// location with its fixed length, shared by every client of the simulator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using TBytes = std::vector<uint8_t>;

enum class TMemoryStatus { Ok, UnknownLocation, WrongLength, BadValue };

class TDeviceMemory {
public:
    // MAC 00 11 22 33 44 55 66 77, address 2A, channel 15, PAN ID 1234, type 01.
    TDeviceMemory();

    TMemoryStatus Read(uint16_t location, uint16_t length, TBytes& data) const;
    // Leaves the memory unchanged unless the status is Ok.
    TMemoryStatus Write(uint16_t location, const TBytes& data);

private:
    struct TCell {
        uint16_t Location;
        TBytes Bytes; // least significant byte first, as on the wire
    };

    // Cells.size() when no cell starts at the location.
    size_t IndexOf(uint16_t location) const;

    std::vector<TCell> Cells;
    uint16_t ChannelLocation = 0;
};

// A descriptor "AA AA LL LL" as its location and length; false for any other text.
bool ParseDescriptor(const std::string& descriptor, uint16_t& location, uint16_t& length);
