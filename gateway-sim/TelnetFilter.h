// Server side of a Telnet session (RFC 854): strips commands from the client's
// bytes, negotiates ECHO, SUPPRESS-GO-AHEAD and TERMINAL-TYPE (RFC 1091).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/telnet/TelnetCodes.h"

struct TTelnetInput {
    std::string Data;                       // the client's text, commands removed
    std::string Reply;                      // negotiation bytes to send back
    std::vector<std::string> TerminalTypes; // names reported with SB TERMINAL-TYPE IS
};

class TTelnetFilter {
public:
    explicit TTelnetFilter(bool offerEcho);

    // The opening requests: DO TERMINAL-TYPE, WILL SUPPRESS-GO-AHEAD and,
    // when echoing, WILL ECHO.
    std::string Greeting();
    // Parser state survives between calls, so a command may be split anywhere.
    TTelnetInput Feed(std::string_view bytes);
    // Whether the server still echoes: offered and not refused with DONT ECHO.
    bool Echoing() const;

    // Doubles every IAC so data bytes 255 are not taken for commands.
    static std::string EscapeData(std::string_view data);

private:
    // Option states after RFC 1143, without the queue bits: a request we sent
    // is WantYes until answered, so an answer is never answered again.
    enum class TOption : uint8_t { No, WantYes, Yes };
    enum class TState : uint8_t { Data, Iac, Will, Wont, Do, Dont, SbOption, SbData, SbIac };

    void OnWill(unsigned char option, TTelnetInput& out);
    void OnWont(unsigned char option, TTelnetInput& out);
    void OnDo(unsigned char option, TTelnetInput& out);
    void OnDont(unsigned char option, TTelnetInput& out);
    void OnSubnegotiation(TTelnetInput& out);
    bool WeOffer(unsigned char option) const;

    static constexpr size_t MaxSubnegotiation = 256;

    bool OfferEcho;
    TState State = TState::Data;
    bool LastWasCr = false;
    unsigned char SbOption = 0;
    std::string SbBuffer;
    std::array<TOption, 256> Us{};  // options this server performs
    std::array<TOption, 256> Him{}; // options the client performs
};
