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

void Shutdown(int fd) {
    ::shutdown(fd, SHUT_RDWR);
}

void ShrinkWindow(int fd) {
    const int buffer = 4096, segment = 536;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    // The client's send buffer grows with its segment size.
    ::setsockopt(fd, IPPROTO_TCP, TCP_MAXSEG, &segment, sizeof segment);
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
