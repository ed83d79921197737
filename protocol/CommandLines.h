// The gateway's command lines. G is the gateway address, D a field descriptor,
// V a byte list; no line carries its own terminator.
#pragma once

#include <string>

// "< G GET_MEM D"
std::string ReadMemoryLine(const std::string& gateway, const std::string& descriptor);
// "< G SET_MEM D V"
std::string WriteMemoryLine(const std::string& gateway, const std::string& descriptor,
                            const std::string& data);
// "< G RESET"
std::string ResetLine(const std::string& gateway);
