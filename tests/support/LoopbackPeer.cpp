// Sending and receiving on the test's end of a loopback connection.
#include "LoopbackPeer.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

namespace loopback {

bool SendAll(int fd, std::string_view bytes) {
    size_t done = 0;
    // Each pass sends something, fails, or was cut short by a signal.
    for (int pass = 0; done < bytes.size() && pass < 1'000'000; ++pass) {
        const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        done += static_cast<size_t>(sent);
    }
    return done == bytes.size();
}

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

Received ReceiveInto(int fd, std::string& bytes, size_t limit, const Deadline& deadline) {
    char chunk[4096];
    for (int pass = 0; pass < 10000; ++pass) {
        if (!WaitForEvents(fd, POLLIN, deadline)) return Received::TimedOut;
        const ssize_t got = ::recv(fd, chunk, std::min(sizeof chunk, limit), 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return Received::Closed;
        bytes.append(chunk, static_cast<size_t>(got));
        return Received::Data;
    }
    return Received::TimedOut;
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

void SetNoDelay(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void CloseWithReset(UniqueFd& fd) {
    const linger abort{1, 0};
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    fd.Close();
}

} // namespace loopback
