// Loopback listener of the SOCKS fuzz target, on plain POSIX sockets.
#include "fuzz/LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int AcceptWaitMs = 5000;

[[noreturn]] void Fail(const char* what) {
    std::perror(what);
    std::abort();
}

} // namespace

TLoopbackListener::TLoopbackListener() {
    Socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (Socket < 0) Fail("listener socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(Socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        Fail("listener bind");
    if (::listen(Socket, 16) != 0) Fail("listener listen");
    socklen_t length = sizeof address;
    if (::getsockname(Socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        Fail("listener name");
    BoundPort = ntohs(address.sin_port);
}

TLoopbackListener::~TLoopbackListener() {
    ::close(Socket);
}

bool TLoopbackListener::AcceptAndReset() {
    pollfd entry{Socket, POLLIN, 0};
    if (::poll(&entry, 1, AcceptWaitMs) != 1) return false;
    const int accepted = ::accept4(Socket, nullptr, nullptr, SOCK_CLOEXEC);
    if (accepted < 0) return false;
    // A zero linger time makes close send RST instead of FIN.
    const linger reset{1, 0};
    ::setsockopt(accepted, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(accepted);
    return true;
}
