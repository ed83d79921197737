// One client of the simulator: line handling, echo and the fault options.
#include "gateway-sim/ClientSession.h"

#include <utility>

#include "gateway-sim/GatewayCommands.h"
#include "gateway-sim/Printable.h"
#include "gateway-sim/SimLog.h"

namespace {

// Controls, C1 codes and high bytes; after trimming the tool still sees text.
// Plain text mode leaves out 0xFF: the tool would take it for a Telnet IAC.
constexpr std::string_view GarbageBytes{"\x00\x01\x07\x1B\x7F\x80\x9B\xA0\xC0\xFE", 10};

} // namespace

TClientSession::TClientSession(int id, const TSimOptions& options, TDeviceMemory& memory)
    : ClientId(id), Options(options), Memory(memory), Telnet(options.Echo) {}

void TClientSession::Open() {
    if (Options.Telnet) QueueSend(Telnet.Greeting());
}

bool TClientSession::Echoing() const {
    return Options.Echo && (!Options.Telnet || Telnet.Echoing());
}

std::string TClientSession::Wire(std::string_view text) const {
    return Options.Telnet ? TTelnetFilter::EscapeData(text) : std::string(text);
}

void TClientSession::Receive(std::string_view bytes, TSimClock::time_point now) {
    if (CloseRequested) return;
    std::string data;
    if (Options.Telnet) {
        TTelnetInput input = Telnet.Feed(bytes);
        if (!input.Reply.empty()) QueueSend(input.Reply);
        for (const std::string& name : input.TerminalTypes)
            SimLog("client " + std::to_string(ClientId) + " terminal type " + Printable(name));
        data = std::move(input.Data);
    } else {
        data = bytes;
    }
    for (const char c : data) {
        HandleData(c, now);
        if (CloseRequested) break;
    }
    if (!PendingEcho.empty()) QueueSend(Wire(std::exchange(PendingEcho, {})));
}

void TClientSession::HandleData(char c, TSimClock::time_point now) {
    if (Echoing()) Echo(c);
    if (const std::optional<TLineEvent> event = Splitter.Push(c)) HandleLine(*event, now);
}

// A terminal shows a line end as CR LF. The end of a line that showed nothing
// is not echoed: the tool answers every chunk it cannot decode with a CR, and
// echoing that CR would be answered again, for ever.
void TClientSession::Echo(char c) {
    if (c == '\r' || c == '\n') {
        if (LineHasVisibleEcho) PendingEcho += "\r\n";
        LineHasVisibleEcho = false;
        return;
    }
    PendingEcho += c;
    if (static_cast<unsigned char>(c) > ' ') LineHasVisibleEcho = true;
}

void TClientSession::HandleLine(const TLineEvent& event, TSimClock::time_point now) {
    const std::string who = "client " + std::to_string(ClientId);
    if (event.Kind == TLineEventKind::Overflow) {
        SimLog(who + " < line longer than " + std::to_string(MaxLineLength) + " bytes");
        Answer(ErrorLine(Options.Gateway, "line too long"), now);
    } else {
        const std::optional<std::string> answer =
            AnswerCommand(event.Text, Options.Gateway, Memory, !Options.IgnoreWrites);
        if (!answer && event.Text.find_first_not_of(" \t") == std::string::npos) return;
        SimLog(who + " < " + Printable(event.Text));
        if (answer) {
            Answer(*answer, now);
        } else {
            SimLog(who + " (another gateway, ignored)");
        }
    }
    if (Options.CloseAfter > 0 && ++LinesReceived >= Options.CloseAfter) {
        SimLog(who + " reached " + std::to_string(Options.CloseAfter) + " lines, closing");
        CloseRequested = true;
    }
}

void TClientSession::Answer(const std::string& line, TSimClock::time_point now) {
    SimLog("client " + std::to_string(ClientId) + " > " + Printable(line));
    // Echo typed so far leaves before the answer, as on a terminal.
    if (!PendingEcho.empty()) QueueSend(Wire(std::exchange(PendingEcho, {})));
    std::string bytes;
    if (Options.Garbage) {
        std::string garbage(GarbageBytes);
        if (Options.Telnet) garbage += '\xFF'; // goes out doubled, as data
        bytes += Wire(garbage) + "\r\n";
    }
    bytes += Wire(line) + "\r\n";
    if (Options.DelayMs == 0 && Delayed.empty()) {
        QueuePieces(bytes);
    } else {
        Delayed.push_back(
            TDelayed{now + std::chrono::milliseconds(Options.DelayMs), std::move(bytes)});
        Queued += Delayed.back().Bytes.size();
    }
}

void TClientSession::Release(TSimClock::time_point now) {
    while (!Delayed.empty() && Delayed.front().Due <= now) {
        Queued -= Delayed.front().Bytes.size();
        QueuePieces(Delayed.front().Bytes);
        Delayed.pop_front();
    }
}

std::optional<TSimClock::time_point> TClientSession::NextDue() const {
    if (Delayed.empty()) return std::nullopt;
    return Delayed.front().Due;
}

void TClientSession::QueuePieces(const std::string& bytes) {
    const size_t piece = Options.Split > 0 ? Options.Split : bytes.size();
    for (size_t pos = 0; pos < bytes.size(); pos += piece)
        QueueSend(bytes.substr(pos, piece));
}

void TClientSession::QueueSend(const std::string& bytes) {
    if (bytes.empty()) return;
    Queued += bytes.size();
    Sends.push_back(bytes);
}

const std::string* TClientSession::NextSend() const {
    return Sends.empty() ? nullptr : &Sends.front();
}

void TClientSession::Sent(size_t count) {
    std::string& front = Sends.front();
    Queued -= count;
    if (count >= front.size()) {
        Sends.pop_front();
    } else {
        front.erase(0, count);
    }
}

bool TClientSession::Finished() const {
    return CloseRequested && Sends.empty() && Delayed.empty();
}
