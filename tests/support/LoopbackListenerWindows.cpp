// Listening, binding and connecting on 127.0.0.1 with Windows sockets. No
// socket is inheritable, so that the programs a test starts do not hold the
// test's connections open.
#include <winsock2.h>

#include <stdexcept>
#include <thread>

#include "LoopbackListener.h"

namespace loopback {

namespace {

// Windows sockets need WSAStartup before the first call of the process.
void StartSockets() {
    static const int started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data);
    }();
    if (started != 0) throw std::runtime_error("WSAStartup failed");
}

UniqueFd NewSocket() {
    StartSockets();
    const SOCKET socket =
        ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    return UniqueFd(socket == INVALID_SOCKET ? -1 : static_cast<int>(socket));
}

sockaddr_in LoopbackAddress(int32_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A socket bound to 127.0.0.1 and a port of the system's choice, and that
// port. Exclusive use: without it Windows lets another socket bind the same
// port with SO_REUSEADDR.
UniqueFd BoundSocket(int32_t& port) {
    UniqueFd fd = NewSocket();
    sockaddr_in address = LoopbackAddress(0);
    int length = sizeof address;
    const BOOL on = TRUE;
    if (!fd.Valid() ||
        ::setsockopt(fd.Get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
                     sizeof on) != 0 ||
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
    if (!WaitForEvents(Socket.Get(), POLLRDNORM, Deadline(patience))) return UniqueFd();
    // An accepted socket takes its listener's attributes, non-inheritable too.
    const SOCKET accepted = ::accept(Socket.Get(), nullptr, nullptr);
    return UniqueFd(accepted == INVALID_SOCKET ? -1 : static_cast<int>(accepted));
}

ClosedPort::ClosedPort() : Socket(BoundSocket(BoundPort)) {}

int32_t FreePort() {
    int32_t port = 0;
    BoundSocket(port);
    return port;
}

UniqueFd ConnectTo(int32_t port) {
    UniqueFd socket = NewSocket();
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
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace loopback
