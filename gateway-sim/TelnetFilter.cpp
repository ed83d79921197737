// Server side of a Telnet session: command parsing and option negotiation.
#include "gateway-sim/TelnetFilter.h"

using namespace TelnetByte;

namespace {

std::string Command(unsigned char verb, unsigned char option) {
    return {static_cast<char>(Iac), static_cast<char>(verb), static_cast<char>(option)};
}

// IAC SB TERMINAL-TYPE SEND IAC SE
std::string TerminalTypeSend() {
    return {
        static_cast<char>(Iac),       static_cast<char>(Sb),  static_cast<char>(OptTerminalType),
        static_cast<char>(TtypeSend), static_cast<char>(Iac), static_cast<char>(Se)};
}

} // namespace

TTelnetFilter::TTelnetFilter(bool offerEcho) : OfferEcho(offerEcho) {
    Us.fill(TOption::No);
    Him.fill(TOption::No);
}

std::string TTelnetFilter::Greeting() {
    std::string out = Command(Do, OptTerminalType);
    Him[OptTerminalType] = TOption::WantYes;
    out += Command(Will, OptSuppressGoAhead);
    Us[OptSuppressGoAhead] = TOption::WantYes;
    if (OfferEcho) {
        out += Command(Will, OptEcho);
        Us[OptEcho] = TOption::WantYes;
    }
    return out;
}

bool TTelnetFilter::Echoing() const {
    return OfferEcho && Us[OptEcho] != TOption::No;
}

bool TTelnetFilter::WeOffer(unsigned char option) const {
    return option == OptSuppressGoAhead || (option == OptEcho && OfferEcho);
}

std::string TTelnetFilter::EscapeData(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (const char c : data) {
        out += c;
        if (static_cast<unsigned char>(c) == Iac) out += c;
    }
    return out;
}

TTelnetInput TTelnetFilter::Feed(std::string_view bytes) {
    TTelnetInput out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        switch (State) {
        case TState::Data:
            if (b == Iac) {
                State = TState::Iac;
            } else if (b == 0 && LastWasCr) {
                LastWasCr = false; // CR NUL is a bare carriage return (RFC 854)
            } else {
                LastWasCr = b == '\r';
                out.Data += c;
            }
            break;
        case TState::Iac:
            State = TState::Data;
            if (b == Iac) {
                out.Data += c;
                LastWasCr = false;
            } else if (b == Will) {
                State = TState::Will;
            } else if (b == Wont) {
                State = TState::Wont;
            } else if (b == Do) {
                State = TState::Do;
            } else if (b == Dont) {
                State = TState::Dont;
            } else if (b == Sb) {
                State = TState::SbOption;
            } // NOP, GA, AYT and the other two-byte commands carry nothing for us
            break;
        case TState::Will:
            OnWill(b, out);
            State = TState::Data;
            break;
        case TState::Wont:
            OnWont(b, out);
            State = TState::Data;
            break;
        case TState::Do:
            OnDo(b, out);
            State = TState::Data;
            break;
        case TState::Dont:
            OnDont(b, out);
            State = TState::Data;
            break;
        case TState::SbOption:
            SbOption = b;
            SbBuffer.clear();
            State = b == Iac ? TState::SbIac : TState::SbData;
            break;
        case TState::SbData:
            if (b == Iac) {
                State = TState::SbIac;
            } else if (SbBuffer.size() < MaxSubnegotiation) {
                SbBuffer += c;
            }
            break;
        case TState::SbIac:
            if (b == Iac) {
                if (SbBuffer.size() < MaxSubnegotiation) SbBuffer += c;
                State = TState::SbData;
            } else {
                if (b == Se) OnSubnegotiation(out);
                State = TState::Data; // anything but SE abandons the subnegotiation
            }
            break;
        }
    }
    return out;
}

void TTelnetFilter::OnWill(unsigned char option, TTelnetInput& out) {
    const bool wanted = option == OptTerminalType;
    if (Him[option] == TOption::Yes) return;
    if (Him[option] == TOption::No) {
        out.Reply += Command(wanted ? Do : Dont, option);
        if (!wanted) return;
    }
    Him[option] = TOption::Yes;
    out.Reply += TerminalTypeSend();
}

void TTelnetFilter::OnWont(unsigned char option, TTelnetInput& out) {
    if (Him[option] == TOption::Yes) out.Reply += Command(Dont, option);
    Him[option] = TOption::No;
}

void TTelnetFilter::OnDo(unsigned char option, TTelnetInput& out) {
    if (Us[option] == TOption::Yes) return;
    if (Us[option] == TOption::WantYes) {
        Us[option] = TOption::Yes;
        return;
    }
    if (WeOffer(option)) {
        Us[option] = TOption::Yes;
        out.Reply += Command(Will, option);
    } else {
        out.Reply += Command(Wont, option);
    }
}

void TTelnetFilter::OnDont(unsigned char option, TTelnetInput& out) {
    if (Us[option] == TOption::Yes) out.Reply += Command(Wont, option);
    Us[option] = TOption::No;
}

// IAC SB TERMINAL-TYPE IS name IAC SE
void TTelnetFilter::OnSubnegotiation(TTelnetInput& out) {
    if (SbOption != OptTerminalType || SbBuffer.empty()) return;
    if (static_cast<unsigned char>(SbBuffer[0]) != TtypeIs) return;
    out.TerminalTypes.push_back(SbBuffer.substr(1));
}
