// The gateway's command interpreter: one received line in, one answer line out.
#pragma once

#include <optional>
#include <string>

#include "gateway-sim/DeviceMemory.h"

// The answer to one line, without its line end, or nothing for a line the
// gateway ignores: empty after trimming, or addressed to another gateway.
//   "< G GET_MEM D"    -> "> G MEM D" + " " + the data bytes
//   "< G SET_MEM D V"  -> "> G OK" (memory updated)
//   "< G RESET"        -> a banner
// Anything else for this gateway gets "> G ERROR " and the reason.
// With `applyWrites` false, SET_MEM is checked and answered but the memory
// keeps its values: a device that ignores writes.
std::optional<std::string> AnswerCommand(const std::string& line, const std::string& gateway,
                                         TDeviceMemory& memory, bool applyWrites = true);

// The error line for a reason such as "line too long".
std::string ErrorLine(const std::string& gateway, const std::string& reason);
