// Sends and receives built on LoopbackPeer's SendAll and its one
// deadline-bound receive, the same on every platform.
#include "LoopbackPeer.h"

#include <algorithm>

namespace loopback {

uint64_t SendRepeated(int fd, std::string_view pattern, uint64_t total) {
    if (pattern.empty()) return 0;
    uint64_t sent = 0;
    for (uint64_t copy = 0; sent < total && copy <= total / pattern.size(); ++copy) {
        const size_t length = static_cast<size_t>(std::min<uint64_t>(pattern.size(), total - sent));
        if (!SendAll(fd, pattern.substr(0, length))) break;
        sent += length;
    }
    return sent;
}

std::string ReceiveExactly(int fd, size_t count, std::chrono::milliseconds patience) {
    const Deadline deadline(patience);
    std::string bytes;
    while (bytes.size() < count &&
           ReceiveInto(fd, bytes, count - bytes.size(), deadline) == Received::Data) {
    }
    return bytes;
}

std::string ReceiveSome(int fd, std::chrono::milliseconds patience) {
    std::string bytes;
    ReceiveInto(fd, bytes, 4096, Deadline(patience));
    return bytes;
}

std::string ReceiveThrough(int fd, char last, std::chrono::milliseconds patience) {
    const Deadline deadline(patience);
    std::string bytes;
    while ((bytes.empty() || bytes.back() != last) &&
           ReceiveInto(fd, bytes, 1, deadline) == Received::Data) {
    }
    return bytes;
}

std::string ReceiveUntilClosed(int fd, std::chrono::milliseconds patience) {
    const Deadline deadline(patience);
    std::string bytes;
    while (ReceiveInto(fd, bytes, 4096, deadline) == Received::Data) {
    }
    return bytes;
}

bool PeerClosedWithin(int fd, std::chrono::milliseconds patience) {
    const Deadline deadline(patience);
    Received last = Received::Data;
    for (int pass = 0; last == Received::Data && pass < 1'000'000; ++pass) {
        std::string dropped;
        last = ReceiveInto(fd, dropped, 4096, deadline);
    }
    return last == Received::Closed;
}

} // namespace loopback
