// Listening, binding and connecting on 127.0.0.1. Every socket is close-on-exec,
// so that the programs a test starts do not hold the test's connections open.
#include "LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <stdexcept>

namespace loopback {

namespace {

sockaddr_in LoopbackAddress(int32_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A socket bound to 127.0.0.1 and a port of the system's choice, and that port.
UniqueFd BoundSocket(int32_t& port) {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    if (!fd.Valid() ||
        ::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot bind a socket to 127.0.0.1");
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

Listener::Listener() : Socket(BoundSocket(BoundPort)) {
    if (::listen(Socket.Get(), 16) != 0) throw std::runtime_error("cannot listen on 127.0.0.1");
}

UniqueFd Listener::Accept(std::chrono::milliseconds patience) {
    if (!WaitForEvents(Socket.Get(), POLLIN, Deadline(patience))) return UniqueFd();
    return UniqueFd(::accept4(Socket.Get(), nullptr, nullptr, SOCK_CLOEXEC));
}

ClosedPort::ClosedPort() : Socket(BoundSocket(BoundPort)) {}

int32_t FreePort() {
    int32_t port = 0;
    BoundSocket(port);
    return port;
}

UniqueFd ConnectTo(int32_t port) {
    UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_in address = LoopbackAddress(port);
    if (!socket.Valid() ||
        ::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return UniqueFd();
    return socket;
}

bool WaitUntilListening(int32_t port, std::chrono::milliseconds patience) {
    const Deadline deadline(patience);
    // Each refused attempt returns at once; the short pause between tries only
    // spaces the attempts out and is not what the wait relies on.
    for (int attempt = 0; attempt < 1000 && !deadline.Passed(); ++attempt) {
        if (ConnectTo(port).Valid()) return true;
        ::poll(nullptr, 0, 10);
    }
    return false;
}

} // namespace loopback
