// Command-line options of bq-gateway-sim.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
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
    // A client that sends nothing and takes no answer for this long is
    // dropped; 0: never.
    std::chrono::milliseconds IdleLimit{300'000};
};

// Parses and checks argv. Returns -1 to go on; otherwise the exit status
// (0 after --help or --version on `out`, 2 after one line on `err` for an
// unknown option, a missing value or a value out of range).
int ParseSimOptions(int argc, const char* const* argv, TSimOptions& options, std::ostream& out,
                    std::ostream& err);
