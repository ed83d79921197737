// The simulator's log: one line per event on standard error.
#pragma once

#include <string>

void SimLog(const std::string& line);
