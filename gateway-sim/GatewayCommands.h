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
std::optional<std::string> AnswerCommand(const std::string& line, const std::string& gateway,
                                         TDeviceMemory& memory);

// The error line for a reason such as "line too long".
std::string ErrorLine(const std::string& gateway, const std::string& reason);
