// A second, independent reading of the Telnet receive rules (RFC 854 commands,
// RFC 1091 terminal type), against which the fuzzer compares the parser.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the session does as a side effect: tell its owner of echo
// negotiation (Notice >= 0, Bytes empty) or write a reply (Notice = -1).
struct TTelnetEvent {
    int Notice = -1;
    std::string Bytes;
    bool operator==(const TTelnetEvent&) const = default;
};

class TTelnetReference {
public:
    explicit TTelnetReference(std::string terminal) : Terminal(std::move(terminal)) {}

    // One received chunk; returns its data text.
    std::string Feed(const std::string& chunk);

    std::vector<TTelnetEvent> Events;
    std::string Terminal;

private:
    enum TStage { Text, AfterIac, Negotiating, OptionOfSub, SubIacNoOption, InSub, InSubIac };

    void Negotiate(uint8_t option);

    TStage Stage = Text;
    uint8_t PendingVerb = 0;
};
