// Command-line options of bq-gateway-sim.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct TSimOptions {
    std::string Listen = "127.0.0.1";
    uint16_t Port = 5556; // the tool's default port
    std::string Gateway = "2001";
    bool Telnet = false;
    bool Echo = false;
    size_t Split = 0; // 0: each answer in one send
    unsigned DelayMs = 0;
    unsigned CloseAfter = 0; // 0: never
    bool Garbage = false;
    bool IgnoreWrites = false;
    bool Help = false;
};

// False with a one-line reason in `error` for an unknown option, a missing
// value or a value out of range.
bool ParseSimOptions(int argc, const char* const* argv, TSimOptions& options, std::string& error);

std::string SimHelpText();
