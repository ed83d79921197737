// Sending and receiving on the test's end of a loopback connection, with
// Windows sockets (which raise no signal for a send to a closed connection).
#include <winsock2.h>

#include <algorithm>

#include "LoopbackPeer.h"

namespace loopback {

bool SendAll(int fd, std::string_view bytes) {
    size_t done = 0;
    for (int pass = 0; done < bytes.size() && pass < 1'000'000; ++pass) {
        const int sent = ::send(fd, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
        if (sent <= 0) return false;
        done += static_cast<size_t>(sent);
    }
    return done == bytes.size();
}

Received ReceiveInto(int fd, std::string& bytes, size_t limit, const Deadline& deadline) {
    char chunk[4096];
    if (!WaitForEvents(fd, POLLRDNORM, deadline)) return Received::TimedOut;
    const int got = ::recv(fd, chunk, static_cast<int>(std::min(sizeof chunk, limit)), 0);
    if (got <= 0) return Received::Closed;
    bytes.append(chunk, static_cast<size_t>(got));
    return Received::Data;
}

void Shutdown(int fd) {
    ::shutdown(static_cast<SOCKET>(fd), SD_BOTH);
}

void ShrinkWindow(int fd) {
    const int buffer = 4096;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&buffer), sizeof buffer);
}

void SetNoDelay(int fd) {
    const BOOL on = TRUE;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

// SO_LINGER with a zero timeout makes closesocket send RST instead of FIN.
void CloseWithReset(UniqueFd& fd) {
    const linger abort{1, 0};
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                 sizeof abort);
    fd.Close();
}

} // namespace loopback
