// Composition of the gateway's read, write and reset command lines.
#include "protocol/CommandLines.h"

std::string ReadMemoryLine(const std::string& gateway, const std::string& descriptor) {
    return "< " + gateway + " GET_MEM " + descriptor;
}

std::string WriteMemoryLine(const std::string& gateway, const std::string& descriptor,
                            const std::string& data) {
    return "< " + gateway + " SET_MEM " + descriptor + " " + data;
}

std::string ResetLine(const std::string& gateway) {
    return "< " + gateway + " RESET";
}
