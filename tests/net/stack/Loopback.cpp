// The tests' loopback peer over plain POSIX sockets.
#include "Loopback.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int DeadlineMs = 5000;

sockaddr_in LoopbackAddress(int32_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int32_t PortOf(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) < 0)
        throw std::runtime_error("getsockname failed");
    return ntohs(address.sin_port);
}

TFd BoundSocket() {
    TFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_in address = LoopbackAddress(0);
    if (fd.Get() < 0 || ::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address),
                               sizeof address) < 0)
        throw std::runtime_error("cannot bind a loopback socket");
    return fd;
}

} // namespace

TFd& TFd::operator=(TFd&& other) noexcept {
    if (this != &other) {
        Reset();
        Fd = other.Fd;
        other.Fd = -1;
    }
    return *this;
}

void TFd::Reset() {
    if (Fd >= 0) ::close(Fd);
    Fd = -1;
}

TLoopbackListener::TLoopbackListener() : Socket(BoundSocket()) {
    if (::listen(Socket.Get(), 16) < 0) throw std::runtime_error("listen failed");
    ListenPort = PortOf(Socket.Get());
}

TFd TLoopbackListener::Accept() {
    pollfd entry{Socket.Get(), POLLIN, 0};
    if (::poll(&entry, 1, DeadlineMs) != 1) return TFd();
    return TFd(::accept4(Socket.Get(), nullptr, nullptr, SOCK_CLOEXEC));
}

TClosedLoopbackPort::TClosedLoopbackPort() : Socket(BoundSocket()), BoundPort(PortOf(Socket.Get())) {}

bool SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) return false;
        sent += static_cast<size_t>(count);
    }
    return true;
}

std::string ReceiveExactly(int fd, size_t count) {
    std::string bytes;
    char buffer[4096];
    while (bytes.size() < count) {
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, DeadlineMs) != 1) break;
        const ssize_t got = ::recv(fd, buffer, std::min(sizeof buffer, count - bytes.size()), 0);
        if (got <= 0) break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return bytes;
}
