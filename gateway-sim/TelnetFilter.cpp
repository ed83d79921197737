// Server side of a Telnet session: command parsing and option negotiation.
#include "gateway-sim/TelnetFilter.h"

namespace {

std::string Command(unsigned char verb, unsigned char option) {
    return {static_cast<char>(TN_IAC), static_cast<char>(verb), static_cast<char>(option)};
}

// IAC SB TERMINAL-TYPE SEND IAC SE
std::string TerminalTypeSend() {
    return {static_cast<char>(TN_IAC),   static_cast<char>(TN_SB),  static_cast<char>(TNO_TERMTYPE),
            static_cast<char>(TNS_SEND), static_cast<char>(TN_IAC), static_cast<char>(TN_SE)};
}

} // namespace

TTelnetFilter::TTelnetFilter(bool offerEcho) : OfferEcho(offerEcho) {
    Us.fill(TOption::No);
    Him.fill(TOption::No);
}

std::string TTelnetFilter::Greeting() {
    std::string out = Command(TN_DO, TNO_TERMTYPE);
    Him[TNO_TERMTYPE] = TOption::WantYes;
    out += Command(TN_WILL, TNO_SGA);
    Us[TNO_SGA] = TOption::WantYes;
    if (OfferEcho) {
        out += Command(TN_WILL, TNO_ECHO);
        Us[TNO_ECHO] = TOption::WantYes;
    }
    return out;
}

bool TTelnetFilter::Echoing() const {
    return OfferEcho && Us[TNO_ECHO] != TOption::No;
}

bool TTelnetFilter::WeOffer(unsigned char option) const {
    return option == TNO_SGA || (option == TNO_ECHO && OfferEcho);
}

std::string TTelnetFilter::EscapeData(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (const char c : data) {
        out += c;
        if (static_cast<unsigned char>(c) == TN_IAC) out += c;
    }
    return out;
}

TTelnetInput TTelnetFilter::Feed(std::string_view bytes) {
    TTelnetInput out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        switch (State) {
        case TState::Data:
            if (b == TN_IAC) {
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
            if (b == TN_IAC) {
                out.Data += c;
                LastWasCr = false;
            } else if (b == TN_WILL) {
                State = TState::Will;
            } else if (b == TN_WONT) {
                State = TState::Wont;
            } else if (b == TN_DO) {
                State = TState::Do;
            } else if (b == TN_DONT) {
                State = TState::Dont;
            } else if (b == TN_SB) {
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
            State = b == TN_IAC ? TState::SbIac : TState::SbData;
            break;
        case TState::SbData:
            if (b == TN_IAC) {
                State = TState::SbIac;
            } else if (SbBuffer.size() < MaxSubnegotiation) {
                SbBuffer += c;
            }
            break;
        case TState::SbIac:
            if (b == TN_IAC) {
                if (SbBuffer.size() < MaxSubnegotiation) SbBuffer += c;
                State = TState::SbData;
            } else {
                if (b == TN_SE) OnSubnegotiation(out);
                State = TState::Data; // anything but SE abandons the subnegotiation
            }
            break;
        }
    }
    return out;
}

void TTelnetFilter::OnWill(unsigned char option, TTelnetInput& out) {
    const bool wanted = option == TNO_TERMTYPE;
    if (Him[option] == TOption::Yes) return;
    if (Him[option] == TOption::No) {
        out.Reply += Command(wanted ? TN_DO : TN_DONT, option);
        if (!wanted) return;
    }
    Him[option] = TOption::Yes;
    out.Reply += TerminalTypeSend();
}

void TTelnetFilter::OnWont(unsigned char option, TTelnetInput& out) {
    if (Him[option] == TOption::Yes) out.Reply += Command(TN_DONT, option);
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
        out.Reply += Command(TN_WILL, option);
    } else {
        out.Reply += Command(TN_WONT, option);
    }
}

void TTelnetFilter::OnDont(unsigned char option, TTelnetInput& out) {
    if (Us[option] == TOption::Yes) out.Reply += Command(TN_WONT, option);
    Us[option] = TOption::No;
}

// IAC SB TERMINAL-TYPE IS name IAC SE
void TTelnetFilter::OnSubnegotiation(TTelnetInput& out) {
    if (SbOption != TNO_TERMTYPE || SbBuffer.empty()) return;
    if (static_cast<unsigned char>(SbBuffer[0]) != TNS_IS) return;
    out.TerminalTypes.push_back(SbBuffer.substr(1));
}
