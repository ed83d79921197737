// Receives built on the one deadline-bound receive of LoopbackPeer.
#include "LoopbackPeer.h"

namespace loopback {

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
