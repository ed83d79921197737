// Command parsing and the fixed option negotiation of the Telnet session (RFC 854).
#include "net/telnet/IdTelnetParser.h"

#include <array>
#include <cstring>

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

void AnswerNegotiation(TIdTelnetState received, uint8_t option, TTelnetParsed& out) {
    for (const TNegotiationAnswer& answer : NegotiationAnswers) {
        if (answer.Received != received || (answer.Option && *answer.Option != option)) continue;
        // IAC <reply> <option>
        out.Answers.push_back({answer.Notice,
                               {static_cast<char>(TN_IAC), static_cast<char>(answer.Reply),
                                static_cast<char>(option)}});
        return;
    }
}

// Any option whose data is SEND is answered: the peer only ever asks for the
// terminal type. IAC SB TERMINAL-TYPE IS <name> IAC SE; the name goes out as
// it is, a 255 in it undoubled.
void AnswerSubnegotiation(const std::string& data, std::string_view terminal, TTelnetParsed& out) {
    if (data.size() != 1 || static_cast<uint8_t>(data[0]) != TNS_SEND) return;
    std::string reply{static_cast<char>(TN_IAC), static_cast<char>(TN_SB),
                      static_cast<char>(TNO_TERMTYPE), static_cast<char>(TNS_IS)};
    reply += terminal;
    reply += static_cast<char>(TN_IAC);
    reply += static_cast<char>(TN_SE);
    out.Answers.push_back({std::nullopt, std::move(reply)});
    out.TerminalSent = true;
}

} // namespace

// The data text is built in the chunk's own memory: it is never longer than
// the chunk and never gets ahead of the byte being read, so a chunk without
// commands is returned as it came, without a copy.
TTelnetParsed ParseTelnet(TIdTelnetState& state, std::string chunk, std::string_view terminal) {
    TTelnetParsed out;
    // The collected subnegotiation lives for this chunk only; a subnegotiation
    // split across chunks continues with what the later chunk brings.
    std::string subData;
    char* const bytes = chunk.data();
    const size_t size = chunk.size();
    size_t kept = 0; // the data text so far: bytes[0, kept)
    for (size_t at = 0; at < size; ++at) {
        const char ch = bytes[at];
        const auto byte = static_cast<uint8_t>(ch);
        switch (state) {
        case tsData: {
            // Text between commands is moved a run at a time: most chunks hold no IAC at all.
            const void* const iac = std::memchr(bytes + at, TN_IAC, size - at);
            const size_t runEnd =
                iac ? static_cast<size_t>(static_cast<const char*>(iac) - bytes) : size;
            if (kept != at) std::memmove(bytes + kept, bytes + at, runEnd - at);
            kept += runEnd - at;
            at = runEnd;
            if (iac) {
                out.CommandSeen = true;
                state = tsCommand;
            }
            break;
        }
        case tsCommand:
            switch (byte) {
            case TN_IAC: // IAC IAC: one data byte 255
                bytes[kept++] = ch;
                state = tsData;
                break;
            case TN_SB:
                state = tsSubBegin;
                break;
            case TN_WILL:
                state = tsWill;
                break;
            case TN_WONT:
                state = tsWont;
                break;
            case TN_DO:
                state = tsDo;
                break;
            case TN_DONT:
                state = tsDont;
                break;
            default: // EOR, NOP, AYT and every other command are dropped unanswered
                state = tsData;
                break;
            }
            break;
        case tsSubBegin:
            if (byte == TN_IAC) {
                state = tsSubBeginIac;
            } else { // the option byte: whatever it is, only SEND is answered
                subData.clear();
                state = tsSubData;
            }
            break;
        case tsWill:
        case tsDo:
        case tsWont:
        case tsDont:
            AnswerNegotiation(state, byte, out);
            state = tsData;
            break;
        case tsSubBeginIac: // IAC SB IAC x: no option, x is dropped
            state = tsData;
            break;
        case tsSubData:
            if (byte == TN_IAC)
                state = tsSubDataIac;
            else
                subData += ch;
            break;
        case tsSubDataIac:
            if (byte == TN_SE || byte == TN_SB) {
                state = byte == TN_SE ? tsData : tsSubBegin;
                AnswerSubnegotiation(subData, terminal, out);
            } else if (byte == TN_IAC) { // IAC IAC inside a subnegotiation: data byte 255
                subData += ch;
                state = tsSubData;
            } else {
                state = tsData; // malformed: the subnegotiation is abandoned
            }
            break;
        }
    }
    chunk.resize(kept);
    out.Data = std::move(chunk);
    return out;
}
