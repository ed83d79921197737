// Cuts a byte stream into command lines ending in CR, CR LF or LF, with a
// length cap so a client without line ends cannot grow the buffer.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

enum class TLineEventKind { Line, Overflow };

struct TLineEvent {
    TLineEventKind Kind;
    std::string Text; // the line without its terminator; empty for Overflow
};

class TLineSplitter {
public:
    explicit TLineSplitter(size_t maxLength) : MaxLength(maxLength) {}

    // A completed line at its terminator; Overflow once when a line passes the
    // cap, after which its remaining bytes are dropped up to the next terminator.
    std::optional<TLineEvent> Push(char c);

private:
    size_t MaxLength;
    std::string Buffer;
    bool LastWasCr = false;
    bool Discarding = false;
};
