// Escaping of received bytes for the simulator's log.
#pragma once

#include <string>
#include <string_view>

// Printable ASCII as is, backslash and every other byte as \xNN.
std::string Printable(std::string_view bytes);
