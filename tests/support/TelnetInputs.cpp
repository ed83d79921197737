// Deterministic Telnet streams (RFC 854) for the parser benchmarks.
#include "TelnetInputs.h"

#include <array>
#include <random>
#include <string_view>

namespace {

struct TCommandSample {
    std::string_view Bytes;
    size_t DataBytes;
    size_t Replies;
};

// IAC IAC (data 255); IAC WILL ECHO; IAC DO TERMINAL-TYPE; IAC SB
// TERMINAL-TYPE SEND IAC SE (RFC 1091); IAC DONT NAWS.
constexpr std::array<TCommandSample, 5> Commands{{
    {"\xFF\xFF", 1, 0},
    {"\xFF\xFB\x01", 0, 1},
    {"\xFF\xFD\x18", 0, 1},
    {"\xFF\xFA\x18\x01\xFF\xF0", 0, 1},
    {"\xFF\xFE\x1F", 0, 1},
}};

// One printable byte of a line of about 70 characters; lines end in CR LF.
class TTextSource {
public:
    void AppendTo(TTelnetInput& input) {
        if (Column >= 70) {
            input.Bytes += "\r\n";
            input.DataBytes += 2;
            Column = 0;
            return;
        }
        input.Bytes += static_cast<char>(Printable(Random));
        ++input.DataBytes;
        ++Column;
    }

private:
    std::minstd_rand Random{1854};
    std::uniform_int_distribution<int> Printable{32, 126};
    int Column = 0;
};

// Fills the rest of `input` up to `size` with text.
void FillWithText(TTelnetInput& input, TTextSource& text, size_t size) {
    while (input.Bytes.size() < size)
        text.AppendTo(input);
    if (input.Bytes.size() > size) { // a CR LF ran over the end
        input.Bytes.resize(size);
        --input.DataBytes;
    }
}

} // namespace

TTelnetInput PlainTelnetText(size_t size) {
    TTelnetInput input;
    input.Bytes.reserve(size + 1);
    TTextSource text;
    FillWithText(input, text, size);
    return input;
}

TTelnetInput TelnetTextWithCommands(size_t size, double percent) {
    TTelnetInput input;
    input.Bytes.reserve(size + 1);
    TTextSource text;
    std::minstd_rand random(1091);
    std::bernoulli_distribution startsCommand(percent / 100.0);
    size_t next = 0;
    while (input.Bytes.size() < size) {
        const TCommandSample& command = Commands[next % Commands.size()];
        if (startsCommand(random) && input.Bytes.size() + command.Bytes.size() <= size) {
            input.Bytes += command.Bytes;
            input.DataBytes += command.DataBytes;
            input.Replies += command.Replies;
            ++next;
        } else {
            text.AppendTo(input);
        }
    }
    if (input.Bytes.size() > size) {
        input.Bytes.resize(size);
        --input.DataBytes;
    }
    return input;
}

TTelnetInput NegotiationHeavyTelnet(size_t size) {
    TTelnetInput input;
    input.Bytes.reserve(size + 1);
    TTextSource text;
    for (size_t sent = 0;; ++sent) {
        // Skip the doubled 255: this stream is about answering, not data.
        const TCommandSample& command = Commands[1 + sent % (Commands.size() - 1)];
        if (input.Bytes.size() + command.Bytes.size() > size) break;
        input.Bytes += command.Bytes;
        input.Replies += command.Replies;
        if (sent % 4 == 3 && input.Bytes.size() < size) text.AppendTo(input);
    }
    FillWithText(input, text, size);
    return input;
}
