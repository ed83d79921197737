// The gateway's command interpreter.
#include "gateway-sim/GatewayCommands.h"

#include <vector>

#include "gateway-sim/ByteList.h"
#include "protocol/MemoryAnswer.h"

namespace {

// Tokens of a line, split at runs of spaces.
std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> tokens;
    size_t pos = 0;
    while (pos < line.size()) {
        const size_t end = line.find(' ', pos);
        const size_t stop = end == std::string::npos ? line.size() : end;
        if (stop > pos) tokens.push_back(line.substr(pos, stop - pos));
        pos = stop + 1;
    }
    return tokens;
}

std::string Join(const std::vector<std::string>& tokens, size_t from, size_t to) {
    std::string text;
    for (size_t i = from; i < to; ++i) {
        if (i > from) text += ' ';
        text += tokens[i];
    }
    return text;
}

const char* StatusReason(TMemoryStatus status) {
    switch (status) {
    case TMemoryStatus::Ok:
        break;
    case TMemoryStatus::UnknownLocation:
        return "unknown location";
    case TMemoryStatus::WrongLength:
        return "wrong length";
    case TMemoryStatus::BadValue:
        return "bad value";
    }
    return "";
}

// Tokens: "<" G "GET_MEM" AA AA LL LL
std::string ReadMemory(const std::vector<std::string>& tokens, const std::string& gateway,
                       const TDeviceMemory& memory) {
    const std::string descriptor = Join(tokens, 3, tokens.size());
    uint16_t location = 0;
    uint16_t length = 0;
    if (tokens.size() != 7 || !ParseDescriptor(descriptor, location, length))
        return ErrorLine(gateway, "malformed descriptor");
    TBytes data;
    const TMemoryStatus status = memory.Read(location, length, data);
    if (status != TMemoryStatus::Ok) return ErrorLine(gateway, StatusReason(status));
    // The descriptor is answered in the gateway's own upper-case form.
    TBytes descriptorBytes;
    ParseByteList(descriptor, descriptorBytes);
    return "> " + gateway + " MEM " + FormatByteList(descriptorBytes) + " " + FormatByteList(data);
}

// Tokens: "<" G "SET_MEM" AA AA LL LL followed by LL data bytes
std::string WriteMemory(const std::vector<std::string>& tokens, const std::string& gateway,
                        TDeviceMemory& memory, bool applyWrites) {
    uint16_t location = 0;
    uint16_t length = 0;
    if (tokens.size() < 7 || !ParseDescriptor(Join(tokens, 3, 7), location, length))
        return ErrorLine(gateway, "malformed descriptor");
    TBytes data;
    if (!ParseByteList(Join(tokens, 7, tokens.size()), data)) return ErrorLine(gateway, "bad data");
    if (data.size() != length) return ErrorLine(gateway, "data length");
    TDeviceMemory scratch = memory; // checked like a real write, then dropped
    const TMemoryStatus status = (applyWrites ? memory : scratch).Write(location, data);
    if (status != TMemoryStatus::Ok) return ErrorLine(gateway, StatusReason(status));
    return "> " + gateway + " OK";
}

} // namespace

std::string ErrorLine(const std::string& gateway, const std::string& reason) {
    return "> " + gateway + " ERROR " + reason;
}

std::optional<std::string> AnswerCommand(const std::string& line, const std::string& gateway,
                                         TDeviceMemory& memory, bool applyWrites) {
    const std::vector<std::string> tokens = Tokens(TrimControls(line));
    if (tokens.empty()) return std::nullopt;
    if (tokens.size() >= 2 && tokens[0] == "<" && tokens[1] != gateway) return std::nullopt;
    if (tokens.size() < 3 || tokens[0] != "<") return ErrorLine(gateway, "unknown command");
    const std::string& command = tokens[2];
    if (command == "GET_MEM") return ReadMemory(tokens, gateway, memory);
    if (command == "SET_MEM") return WriteMemory(tokens, gateway, memory, applyWrites);
    if (command == "RESET") {
        if (tokens.size() != 3) return ErrorLine(gateway, "malformed command");
        return "BQ gateway " + gateway + " restarted, ready";
    }
    return ErrorLine(gateway, "unknown command");
}
