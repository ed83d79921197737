// Plain POSIX sockets for the test's side of a loopback session.
#include "LoopbackPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

// Waits for `events` on `fd` until `deadline`; false when time ran out.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) throw std::runtime_error("poll failed");
    }
}

int BoundLoopbackSocket(int32_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("bind to 127.0.0.1 failed");
    }
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

PeerSocket& PeerSocket::operator=(PeerSocket&& other) noexcept {
    if (this != &other) {
        Close();
        Fd = other.Fd;
        other.Fd = -1;
    }
    return *this;
}

void PeerSocket::Close() {
    if (Fd >= 0) ::close(Fd);
    Fd = -1;
}

void PeerSocket::Send(const std::string& bytes) const {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(Fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) throw std::runtime_error("peer send failed");
        done += static_cast<size_t>(sent);
    }
}

std::string PeerSocket::Receive(size_t count, std::chrono::milliseconds patience) const {
    const auto deadline = Clock::now() + patience;
    std::string bytes;
    while (bytes.size() < count && WaitFor(Fd, POLLIN, deadline)) {
        char buffer[4096];
        const size_t wanted = std::min(sizeof buffer, count - bytes.size());
        const ssize_t got = ::recv(Fd, buffer, wanted, 0);
        if (got <= 0) break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return bytes;
}

std::string PeerSocket::ReceiveThrough(char last, std::chrono::milliseconds patience) const {
    const auto deadline = Clock::now() + patience;
    std::string bytes;
    while ((bytes.empty() || bytes.back() != last) && WaitFor(Fd, POLLIN, deadline)) {
        char byte = 0;
        if (::recv(Fd, &byte, 1, 0) != 1) break;
        bytes += byte;
    }
    return bytes;
}

bool PeerSocket::ClosedByClient(std::chrono::milliseconds patience) const {
    const auto deadline = Clock::now() + patience;
    while (WaitFor(Fd, POLLIN, deadline)) {
        char buffer[256];
        const ssize_t got = ::recv(Fd, buffer, sizeof buffer, 0);
        if (got == 0 || (got < 0 && errno != EINTR)) return true;
    }
    return false;
}

PeerListener::PeerListener() {
    Fd = BoundLoopbackSocket(BoundPort);
    if (::listen(Fd, 4) != 0) {
        ::close(Fd);
        throw std::runtime_error("listen failed");
    }
}

PeerListener::~PeerListener() { ::close(Fd); }

PeerSocket PeerListener::Accept(std::chrono::milliseconds patience) const {
    if (!WaitFor(Fd, POLLIN, Clock::now() + patience)) return PeerSocket();
    return PeerSocket(::accept4(Fd, nullptr, nullptr, SOCK_CLOEXEC));
}

int32_t ClosedPort() {
    int32_t port = 0;
    ::close(BoundLoopbackSocket(port));
    return port;
}
