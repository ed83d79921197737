// The receive rules written as the wire reads, one stage per byte position
// inside a command; only the subnegotiation data is forgotten between chunks.
#include "fuzz/TelnetReference.h"

namespace {

constexpr uint8_t Iac = 255, Dont = 254, Do = 253, Wont = 252, Will = 251, Sb = 250, Se = 240;
constexpr uint8_t Echo = 1, TerminalType = 24, EndOfRecord = 25;

// Verb of the answer to `verb` for `option`: the client agrees to server echo
// and end of record, offers echo and its terminal type, and refuses the rest.
uint8_t AnswerVerb(uint8_t verb, uint8_t option) {
    if (verb == Will) return option == Echo || option == EndOfRecord ? Do : Dont;
    if (verb == Do) return option == Echo || option == TerminalType ? Will : Wont;
    return verb == Wont ? Dont : Wont;
}

// 0 server echoes, 1 client echoes, 2 no echo; -1 nothing to tell.
int EchoNotice(uint8_t verb, uint8_t option) {
    if (option != Echo) return -1;
    if (verb == Will) return 0;
    if (verb == Dont) return 2;
    return 1;
}

std::string Bytes(std::initializer_list<uint8_t> values) {
    std::string text;
    for (const uint8_t v : values)
        text += static_cast<char>(v);
    return text;
}

} // namespace

void TTelnetReference::Negotiate(uint8_t option) {
    const int notice = EchoNotice(PendingVerb, option);
    if (notice >= 0) Events.push_back({notice, {}});
    Events.push_back({-1, Bytes({Iac, AnswerVerb(PendingVerb, option), option})});
}

std::string TTelnetReference::Feed(const std::string& chunk) {
    std::string data;
    std::string subData; // lives for this chunk only
    for (const char c : chunk) {
        const auto b = static_cast<uint8_t>(c);
        switch (Stage) {
        case Text:
            if (b == Iac)
                Stage = AfterIac;
            else
                data += c;
            break;
        case AfterIac:
            if (b == Iac) {
                data += c;
                Stage = Text;
            } else if (b == Sb) {
                Stage = OptionOfSub;
            } else if (b >= Will) {
                PendingVerb = b;
                Stage = Negotiating;
            } else {
                Stage = Text;
            }
            break;
        case Negotiating:
            Stage = Text;
            Negotiate(b);
            break;
        case OptionOfSub:
            if (b == Iac) {
                Stage = SubIacNoOption;
            } else {
                subData.clear();
                Stage = InSub;
            }
            break;
        case SubIacNoOption:
            Stage = Text;
            break;
        case InSub:
            if (b == Iac)
                Stage = InSubIac;
            else
                subData += c;
            break;
        case InSubIac:
            if (b == Se || b == Sb) {
                Stage = b == Se ? Text : OptionOfSub;
                if (subData == Bytes({1})) {
                    if (Terminal.empty()) Terminal = "dumb";
                    Events.push_back(
                        {-1, Bytes({Iac, Sb, TerminalType, 0}) + Terminal + Bytes({Iac, Se})});
                }
            } else if (b == Iac) {
                subData += c;
                Stage = InSub;
            } else {
                Stage = Text;
            }
            break;
        }
    }
    return data;
}
