// Received-stream samples for the Telnet parser, each with what the parser must
// make of it, so that a benchmark can check the work it timed.
#pragma once

#include <cstddef>
#include <string>

struct TTelnetInput {
    std::string Bytes;
    size_t DataBytes = 0; // length of the data text the parser returns
    size_t Replies = 0;   // negotiation replies it writes
};

// Printable lines ending in CR LF; no byte 255, so every byte is data.
TTelnetInput PlainTelnetText(size_t size);
// Text in which about `percent` of the bytes begin a Telnet command: doubled
// 255s and WILL/DO negotiation and terminal-type requests in turn.
TTelnetInput TelnetTextWithCommands(size_t size, double percent);
// Negotiation back to back, one data byte between every four commands.
TTelnetInput NegotiationHeavyTelnet(size_t size);
