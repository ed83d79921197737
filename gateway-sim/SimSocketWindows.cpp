// The simulator's socket calls over Windows sockets (ws2_32) and WSAPoll.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>

#include "gateway-sim/SimSocket.h"

namespace {

std::string ErrorText(int code) {
    return "Windows Sockets error " + std::to_string(code);
}

bool WouldBlock(int code) {
    return code == WSAEWOULDBLOCK || code == WSAEINTR;
}

// Sockets are inheritable by default on Windows: a program the simulator's
// host starts would otherwise keep its connections open.
bool Prepare(SOCKET socket) {
    u_long on = 1;
    return SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0) &&
           ioctlsocket(socket, FIONBIO, &on) == 0;
}

} // namespace

bool SimStartSockets(std::string& error) {
    static std::once_flag once;
    static int started = -1;
    std::call_once(once, [] {
        WSADATA data;
        started = WSAStartup(MAKEWORD(2, 2), &data);
    });
    if (started != 0) error = "WSAStartup: " + ErrorText(started);
    return started == 0;
}

TSimSocket SimListen(const std::string& listenAddress, uint16_t port, uint16_t& boundPort,
                     std::string& error) {
    if (!SimStartSockets(error)) return NoSimSocket;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (inet_pton(AF_INET, listenAddress.c_str(), &address.sin_addr) != 1) {
        error = "not an IPv4 address: " + listenAddress;
        return NoSimSocket;
    }
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socket == INVALID_SOCKET) {
        error = "socket: " + ErrorText(WSAGetLastError());
        return NoSimSocket;
    }
    // SO_REUSEADDR would let another program bind the same port on Windows;
    // the exclusive use is what POSIX gives by default.
    const BOOL on = TRUE;
    setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
               sizeof on);
    int length = sizeof address;
    if (bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(socket, 16) != 0 || !Prepare(socket) ||
        getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = "cannot listen on " + listenAddress + ":" + std::to_string(port) + ": " +
                ErrorText(WSAGetLastError());
        closesocket(socket);
        return NoSimSocket;
    }
    boundPort = ntohs(address.sin_port);
    return socket;
}

TSimSocket SimAccept(TSimSocket listener, std::string& peer) {
    sockaddr_in address{};
    int length = sizeof address;
    const SOCKET socket = accept(listener, reinterpret_cast<sockaddr*>(&address), &length);
    if (socket == INVALID_SOCKET) return NoSimSocket;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    peer = std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
    if (!Prepare(socket)) {
        closesocket(socket);
        return NoSimSocket;
    }
    // Each piece of a split answer must leave as its own segment.
    const BOOL on = TRUE;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return socket;
}

void SimClose(TSimSocket socket) {
    closesocket(socket);
}

void SimShutdownWrite(TSimSocket socket) {
    shutdown(socket, SD_SEND);
}

void SimAckQuickly(TSimSocket) {}

long SimReceive(TSimSocket socket, char* buffer, size_t size, std::string& error) {
    const int count = recv(socket, buffer, static_cast<int>(size), 0);
    if (count == SOCKET_ERROR && !WouldBlock(WSAGetLastError()))
        error = ErrorText(WSAGetLastError());
    return count;
}

long SimSend(TSimSocket socket, const char* bytes, size_t size, std::string& error) {
    // Windows sockets raise no signal for a send to a closed connection.
    const int count = send(socket, bytes, static_cast<int>(size), 0);
    if (count == SOCKET_ERROR && !WouldBlock(WSAGetLastError()))
        error = ErrorText(WSAGetLastError());
    return count;
}

bool SimWaitFor(std::vector<TSimWait>& entries, int timeoutMs, std::string& error) {
    std::vector<WSAPOLLFD> fds;
    for (const TSimWait& entry : entries)
        fds.push_back(WSAPOLLFD{entry.Socket,
                                static_cast<SHORT>(entry.Write ? POLLRDNORM | POLLWRNORM
                                                               : POLLRDNORM),
                                0});
    if (WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), timeoutMs) == SOCKET_ERROR) {
        error = "WSAPoll: " + ErrorText(WSAGetLastError());
        return false;
    }
    for (size_t i = 0; i < entries.size(); ++i)
        entries[i].Readable = (fds[i].revents & (POLLRDNORM | POLLHUP | POLLERR | POLLNVAL)) != 0;
    return true;
}
