// The Telnet session's receive side as a pure function: the parser's state
// and one received chunk in; the data text, the replies to write and the
// notices for the owner out. No socket, no lock, no callback.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The parser's state between two received bytes; kept across chunks.
enum TIdTelnetState : uint8_t {
    tsData = 0,
    tsCommand = 1,
    tsSubBegin = 2,
    tsWill = 3,
    tsDo = 4,
    tsWont = 5,
    tsDont = 6,
    tsSubBeginIac = 7,
    tsSubData = 8,
    tsSubDataIac = 9
};

// Echo negotiation as the session's owner is told of it.
enum TTelnetCommand { ceServerEchoes = 0, ceClientEchoes = 1, ceNoEcho = 2 };

// One reply, each written as one write, after its notice (if any) is told.
struct TTelnetAnswer {
    std::optional<TTelnetCommand> Notice;
    std::string Bytes;
};

struct TTelnetParsed {
    std::string Data;                   // commands removed, a doubled 255 kept once
    std::vector<TTelnetAnswer> Answers; // in the order their commands came
    bool CommandSeen = false;           // a 255 arrived: the peer speaks Telnet
    bool TerminalSent = false;          // the terminal-type reply is among Answers
};

// Parses `chunk` from `state` and leaves `state` where the chunk ends.
// `terminal` is the name for a terminal-type reply (RFC 1091). Taken by value:
// the data text is made in the chunk's memory, so a caller that moves its
// chunk in pays no copy.
TTelnetParsed ParseTelnet(TIdTelnetState& state, std::string chunk, std::string_view terminal);
