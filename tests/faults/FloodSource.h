// A long, reproducible stream for flooding the Telnet client: data bytes from
// a fixed generator, written as Telnet wire bytes, and an order-sensitive
// digest that the sending and the receiving side compute alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Byte count and FNV-1a 64 over the bytes in the order they were added.
struct StreamDigest {
    uint64_t Count = 0;
    uint64_t Hash = 14695981039346656037ULL;

    void Add(const std::string& bytes);
    bool operator==(const StreamDigest&) const = default;
};

class FloodSource {
public:
    // With a `commandSpacing`, data bytes take every value (255 goes out
    // doubled, RFC 854) and a negotiation request is mixed in after every
    // `commandSpacing` data bytes; with 0, 255 never occurs and every wire
    // byte is data.
    FloodSource(uint64_t seed, size_t commandSpacing);

    // Wire bytes carrying the next `dataBytes` data bytes.
    std::string Next(size_t dataBytes);

    const StreamDigest& Data() const { return SentData; }
    // The replies the client owes for the requests sent so far, in order.
    const std::string& ExpectedReplies() const { return Replies; }
    size_t Requests() const { return RequestCount; }

private:
    uint8_t NextByte();
    void AddRequest(std::string& wire);

    uint64_t State;
    size_t Spacing;
    size_t SinceRequest = 0;
    size_t RequestCount = 0;
    StreamDigest SentData;
    std::string Replies;
};
