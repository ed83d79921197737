// The shared integer conversion's acceptance rules, written a second time
// for the fuzzer to compare against.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The value of `text`, or nothing when the rules reject it.
std::optional<int32_t> ReferenceStrToInt(const std::string& text);
