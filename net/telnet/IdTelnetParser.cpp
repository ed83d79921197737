// Command parsing and the fixed option negotiation of the Telnet session (RFC 854).
#include "net/telnet/IdTelnetParser.h"

#include <array>
#include <cstring>
#include <optional>

#include "net/telnet/TelnetCodes.h"

namespace {

// How a WILL, DO, WONT or DONT for an option is answered. Rows are searched in
// order; a row without option matches any option. No record of earlier
// negotiation is kept: every request is answered every time it comes.
struct TNegotiationAnswer {
    TIdTelnetState Received;
    std::optional<uint8_t> Option;
    uint8_t Reply;
    std::optional<TTelnetCommand> Notice;
};

constexpr std::array<TNegotiationAnswer, 10> NegotiationAnswers{{
    {tsWill, TNO_ECHO, TN_DO, ceServerEchoes},
    {tsWill, TNO_EOR, TN_DO, std::nullopt},
    {tsWill, std::nullopt, TN_DONT, std::nullopt},
    {tsDo, TNO_ECHO, TN_WILL, ceClientEchoes},
    {tsDo, TNO_TERMTYPE, TN_WILL, std::nullopt},
    {tsDo, std::nullopt, TN_WONT, std::nullopt},
    {tsWont, TNO_ECHO, TN_DONT, ceClientEchoes},
    {tsWont, std::nullopt, TN_DONT, std::nullopt},
    {tsDont, TNO_ECHO, TN_WONT, ceNoEcho},
    {tsDont, std::nullopt, TN_WONT, std::nullopt},
}};

} // namespace

void TIdTelnetParser::AnswerNegotiation(TIdTelnetState received, uint8_t option) {
    for (const TNegotiationAnswer& answer : NegotiationAnswers) {
        if (answer.Received != received || (answer.Option && *answer.Option != option)) continue;
        LastReply = answer.Reply;
        if (answer.Notice) NotifyTelnetCommand(*answer.Notice);
        // IAC <reply> <option>
        std::string reply{static_cast<char>(TN_IAC), static_cast<char>(LastReply),
                          static_cast<char>(option)};
        SendReply(reply);
        return;
    }
}

// The data text is built in the chunk's own memory: it is never longer than
// the chunk and never gets ahead of the byte being read, so a chunk without
// commands is returned as it came, without a copy.
std::string TIdTelnetParser::ProcessInput(std::string chunk) {
    // The collected subnegotiation lives for this chunk only; a subnegotiation
    // split across chunks continues with what the later chunk brings.
    std::string subData;
    int32_t subCount = 1;
    uint8_t subOption = 1;
    char* const bytes = chunk.data();
    const size_t size = chunk.size();
    size_t kept = 0; // the data text so far: bytes[0, kept)
    for (size_t at = 0; at < size; ++at) {
        const char ch = bytes[at];
        const auto byte = static_cast<uint8_t>(ch);
        switch (ParserState) {
        case tsData: {
            // Text between commands is moved a run at a time: most chunks hold no IAC at all.
            const void* const iac = std::memchr(bytes + at, TN_IAC, size - at);
            const size_t runEnd =
                iac ? static_cast<size_t>(static_cast<const char*>(iac) - bytes) : size;
            if (kept != at) std::memmove(bytes + kept, bytes + at, runEnd - at);
            kept += runEnd - at;
            at = runEnd;
            if (iac) {
                IsTelnetPeer = true;
                ParserState = tsCommand;
            }
            break;
        }
        case tsCommand:
            switch (byte) {
            case TN_IAC: // IAC IAC: one data byte 255
                bytes[kept++] = ch;
                ParserState = tsData;
                break;
            case TN_SB:
                subCount = 0;
                ParserState = tsSubBegin;
                break;
            case TN_WILL:
                ParserState = tsWill;
                break;
            case TN_WONT:
                ParserState = tsWont;
                break;
            case TN_DO:
                ParserState = tsDo;
                break;
            case TN_DONT:
                ParserState = tsDont;
                break;
            default: // EOR, NOP, AYT and every other command are dropped unanswered
                ParserState = tsData;
                break;
            }
            break;
        case tsSubBegin:
            if (byte == TN_IAC) {
                ParserState = tsSubBeginIac;
            } else {
                subOption = byte;
                subCount = 0;
                subData.clear();
                ParserState = tsSubData;
            }
            break;
        case tsWill:
        case tsDo:
        case tsWont:
        case tsDont: {
            const TIdTelnetState received = ParserState;
            ParserState = tsData; // a raising reply leaves the parser ready for the next command
            AnswerNegotiation(received, byte);
            break;
        }
        case tsSubBeginIac: // IAC SB IAC x: no option, x is dropped
            ParserState = tsData;
            break;
        case tsSubData:
            if (byte == TN_IAC) {
                ParserState = tsSubDataIac;
            } else {
                ++subCount;
                subData += ch;
            }
            break;
        case tsSubDataIac:
            if (byte == TN_SE || byte == TN_SB) {
                ParserState = byte == TN_SE ? tsData : tsSubBegin;
                HandleSubnegotiation(subOption, subData, subCount);
                subOption = 0;
            } else if (byte == TN_IAC) { // IAC IAC inside a subnegotiation: data byte 255
                ++subCount;
                subData += ch;
                ParserState = tsSubData;
            } else {
                ParserState = tsData; // malformed: the subnegotiation is abandoned
            }
            break;
        }
    }
    chunk.resize(kept);
    return chunk;
}

void TIdTelnetParser::HandleSubnegotiation(uint8_t option, const std::string& data, int32_t count) {
    // Any option whose data is SEND is answered: the peer only ever asks for the terminal type.
    (void)option;
    if (count <= 0 || data != std::string(1, static_cast<char>(TNS_SEND))) return;
    std::string terminal;
    {
        const std::lock_guard lock(TerminalLock);
        if (Terminal.empty()) Terminal = "dumb";
        terminal = Terminal;
    }
    // IAC SB TERMINAL-TYPE IS <name> IAC SE; the name goes out as it is, a 255 in it undoubled
    std::string reply{static_cast<char>(TN_IAC), static_cast<char>(TN_SB),
                      static_cast<char>(TNO_TERMTYPE), static_cast<char>(TNS_IS)};
    reply += terminal;
    reply += static_cast<char>(TN_IAC);
    reply += static_cast<char>(TN_SE);
    SendReply(reply);
}

void TIdTelnetParser::NotifyTelnetCommand(TTelnetCommand status) {
    if (OnCommand) OnCommand(status);
}

void TIdTelnetParser::SendReply(std::string& reply) {
    if (WriteReply) WriteReply(reply);
    reply.clear();
}

void TIdTelnetParser::SetTerminal(const std::string& terminal) {
    const std::lock_guard lock(TerminalLock);
    Terminal = terminal;
}

std::string TIdTelnetParser::GetTerminal() const {
    const std::lock_guard lock(TerminalLock);
    return Terminal;
}
