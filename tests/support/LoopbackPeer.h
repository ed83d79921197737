// The test's end of a connection: whole sends that never raise SIGPIPE, and
// receives that each end at a deadline.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Deadline.h"
#include "UniqueFd.h"

namespace loopback {

// Sends every byte; false when the other end has gone (or the send fails).
bool SendAll(int fd, std::string_view bytes);
// Sends `pattern` over and over until `total` bytes have gone, the last copy
// cut short; the bytes sent, fewer than `total` when the other end has gone.
uint64_t SendRepeated(int fd, std::string_view pattern, uint64_t total);

enum class Received { Data, Closed, TimedOut };
// One receive of at most `limit` bytes, appended to `bytes`. Closed covers a
// reset as well as the peer's orderly close.
Received ReceiveInto(int fd, std::string& bytes, size_t limit, const Deadline& deadline);

// Exactly `count` bytes, or fewer when the peer closes or time runs out.
std::string ReceiveExactly(int fd, size_t count, std::chrono::milliseconds patience = Patience);
// What arrives next (at most 4096 bytes); empty when the peer closes or
// nothing comes in time.
std::string ReceiveSome(int fd, std::chrono::milliseconds patience = Patience);
// Everything up to and including `last`, or less when it never comes.
std::string ReceiveThrough(int fd, char last, std::chrono::milliseconds patience = Patience);
// Everything until the peer closes, or until time runs out.
std::string ReceiveUntilClosed(int fd, std::chrono::milliseconds patience = Patience);
// True when the peer closes within `patience`; what comes before is dropped.
bool PeerClosedWithin(int fd, std::chrono::milliseconds patience = Patience);

// Ends both directions: a thread blocked in a send, receive or accept on
// `fd` wakes.
void Shutdown(int fd);
// A small receive buffer and small segments, for sockets accepted from it
// afterwards too: a client that sends to a peer that does not read finds
// its send buffer full after some kilobytes instead of some megabytes.
void ShrinkWindow(int fd);
// Sends each write at once (Nagle's algorithm off).
void SetNoDelay(int fd);
// The abortive close: SO_LINGER with a zero timeout makes close() send RST
// instead of FIN (RFC 793 "abort").
void CloseWithReset(UniqueFd& fd);

} // namespace loopback
