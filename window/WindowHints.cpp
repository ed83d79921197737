// Tooltips and accessible names of the window's controls.
#include "window/WindowHints.h"

#include "protocol/MemoryFields.h"
#include "runtime/IntConversion.h"

TControlHint HintOf(TControl control) {
    switch (control) {
    case TControl::Edit1:
        return {"TCP port of the gateway (decimal, or hexadecimal after $ or 0x)", "Port"};
    case TControl::Edit2:
        return {"Host name or IPv4 address of the gateway", "Host"};
    default:
        return {nullptr, nullptr};
    }
}

std::string ChannelHint(const std::string& text) {
    const TFieldRow& channel = FieldRow(TMemoryField::Channel);
    const std::string range = "radio channels " + std::to_string(channel.Lowest) + ".." +
                              std::to_string(channel.Highest) + " (hexadecimal 0B..1A)";
    int32_t value = 0;
    if (!TryStrToInt("0x" + text, value) || !InRange(TMemoryField::Channel, value))
        return "Channel number in hexadecimal: " + range;
    return "Channel " + std::to_string(value) + "; " + range;
}
