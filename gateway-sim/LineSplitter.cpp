// Line assembly for the gateway simulator.
#include "gateway-sim/LineSplitter.h"

std::optional<TLineEvent> TLineSplitter::Push(char c) {
    const bool afterCr = LastWasCr;
    LastWasCr = c == '\r';
    if (c == '\n' && afterCr) return std::nullopt; // the LF of a CR LF pair
    if (c == '\r' || c == '\n') {
        std::string line;
        line.swap(Buffer);
        if (Discarding) {
            Discarding = false;
            return std::nullopt;
        }
        return TLineEvent{TLineEventKind::Line, std::move(line)};
    }
    if (Discarding) return std::nullopt;
    if (Buffer.size() >= MaxLength) {
        Discarding = true;
        Buffer.clear();
        return TLineEvent{TLineEventKind::Overflow, {}};
    }
    Buffer += c;
    return std::nullopt;
}
