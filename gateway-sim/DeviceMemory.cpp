// The simulated device's memory, laid out after the tool's descriptor table.
#include "gateway-sim/DeviceMemory.h"

#include "gateway-sim/ByteList.h"
#include "protocol/FieldEncodings.h"
#include "protocol/MemoryFields.h"

namespace {

constexpr int DefaultChannel = 15;

TBytes DefaultBytes(const std::string& byteList) {
    TBytes bytes;
    ParseByteList(byteList, bytes);
    return bytes;
}

// Channel masks have exactly one bit set, for a channel from 11 to 26.
bool IsChannelMask(const TBytes& data) {
    if (data.size() != 4) return false;
    const uint32_t mask = data[0] | (data[1] << 8) | (data[2] << 16) | (uint32_t{data[3]} << 24);
    for (int channel = 11; channel <= 26; ++channel) {
        if (mask == (uint32_t{1} << channel)) return true;
    }
    return false;
}

} // namespace

bool ParseDescriptor(const std::string& descriptor, uint16_t& location, uint16_t& length) {
    TBytes bytes;
    if (!ParseByteList(descriptor, bytes) || bytes.size() != 4) return false;
    location = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
    length = static_cast<uint16_t>(bytes[2] | (bytes[3] << 8));
    return true;
}

TDeviceMemory::TDeviceMemory() {
    const std::pair<std::string, std::string> defaults[] = {
        {Descriptor(TMemoryField::Mac), "00 11 22 33 44 55 66 77"},
        {Descriptor(TMemoryField::Address), "2A"},
        {Descriptor(TMemoryField::Channel), ChannelToMask(DefaultChannel)},
        {Descriptor(TMemoryField::PanId), HexToByteList("1234")},
        {Descriptor(TMemoryField::Type), "01"},
    };
    for (const auto& [descriptor, value] : defaults) {
        uint16_t location = 0;
        uint16_t length = 0;
        ParseDescriptor(descriptor, location, length);
        Cells.push_back(TCell{location, DefaultBytes(value)});
    }
    uint16_t length = 0;
    ParseDescriptor(Descriptor(TMemoryField::Channel), ChannelLocation, length);
}

size_t TDeviceMemory::IndexOf(uint16_t location) const {
    size_t index = 0;
    while (index < Cells.size() && Cells[index].Location != location)
        ++index;
    return index;
}

TMemoryStatus TDeviceMemory::Read(uint16_t location, uint16_t length, TBytes& data) const {
    const size_t index = IndexOf(location);
    if (index == Cells.size()) return TMemoryStatus::UnknownLocation;
    if (Cells[index].Bytes.size() != length) return TMemoryStatus::WrongLength;
    data = Cells[index].Bytes;
    return TMemoryStatus::Ok;
}

TMemoryStatus TDeviceMemory::Write(uint16_t location, const TBytes& data) {
    const size_t index = IndexOf(location);
    if (index == Cells.size()) return TMemoryStatus::UnknownLocation;
    if (Cells[index].Bytes.size() != data.size()) return TMemoryStatus::WrongLength;
    if (location == ChannelLocation && !IsChannelMask(data)) return TMemoryStatus::BadValue;
    Cells[index].Bytes = data;
    return TMemoryStatus::Ok;
}
