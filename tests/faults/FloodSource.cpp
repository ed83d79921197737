// The flood generator: xorshift64 data with doubled IACs and negotiation requests.
#include "FloodSource.h"

#include "net/telnet/TelnetCodes.h"

void StreamDigest::Add(const std::string& bytes) {
    for (const unsigned char byte : bytes) {
        Hash ^= byte;
        Hash *= 1099511628211ULL;
    }
    Count += bytes.size();
}

FloodSource::FloodSource(uint64_t seed, size_t commandSpacing)
    : State(seed | 1), Spacing(commandSpacing) {}

uint8_t FloodSource::NextByte() {
    State ^= State << 13;
    State ^= State >> 7;
    State ^= State << 17;
    const auto byte = static_cast<uint8_t>(State >> 32);
    return Spacing > 0 ? byte : static_cast<uint8_t>(byte % 255);
}

// Alternates a request the client accepts and one it refuses:
// IAC DO TERMINAL-TYPE -> IAC WILL TERMINAL-TYPE, IAC WILL SGA (3) -> IAC DONT SGA.
void FloodSource::AddRequest(std::string& wire) {
    const bool acceptable = RequestCount % 2 == 0;
    wire += static_cast<char>(TN_IAC);
    wire += static_cast<char>(acceptable ? TN_DO : TN_WILL);
    wire += static_cast<char>(acceptable ? TNO_TERMTYPE : 3);
    Replies += static_cast<char>(TN_IAC);
    Replies += static_cast<char>(acceptable ? TN_WILL : TN_DONT);
    Replies += static_cast<char>(acceptable ? TNO_TERMTYPE : 3);
    ++RequestCount;
}

std::string FloodSource::Next(size_t dataBytes) {
    std::string wire;
    std::string data;
    wire.reserve(dataBytes + dataBytes / 64);
    data.reserve(dataBytes);
    for (size_t i = 0; i < dataBytes; ++i) {
        if (Spacing > 0 && ++SinceRequest == Spacing) {
            SinceRequest = 0;
            AddRequest(wire);
        }
        const auto byte = static_cast<char>(NextByte());
        data += byte;
        wire += byte;
        if (static_cast<uint8_t>(byte) == TN_IAC) wire += byte;
    }
    SentData.Add(data);
    return wire;
}
