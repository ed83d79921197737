// The trim rule of received text: spaces and control codes (bytes 0..32)
// dropped at both ends, the bytes 0x80..0xFF kept as the letters they are.
#pragma once

#include <string>

std::string TrimControls(const std::string& text);
