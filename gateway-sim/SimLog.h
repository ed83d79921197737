// The simulator's log: one line per event on standard error, each after the
// UTC time it was written ("2026-12-09T19:52:46.123Z client 1 connected ...").
#pragma once

#include <chrono>
#include <string>

void SimLog(const std::string& line);
// The time as the log shows it, followed by a space.
std::string SimLogTime(std::chrono::system_clock::time_point time);
