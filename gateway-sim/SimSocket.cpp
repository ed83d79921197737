// The simulator's socket calls over POSIX sockets and poll.
#include "gateway-sim/SimSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

bool MakeNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
           fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

std::string PeerName(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

} // namespace

bool SimStartSockets(std::string&) {
    return true;
}

TSimSocket SimListen(const std::string& listenAddress, uint16_t port, uint16_t& boundPort,
                     std::string& error) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (inet_pton(AF_INET, listenAddress.c_str(), &address.sin_addr) != 1) {
        error = "not an IPv4 address: " + listenAddress;
        return NoSimSocket;
    }
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return NoSimSocket;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 16) != 0 || !MakeNonBlocking(fd) ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = "cannot listen on " + listenAddress + ":" + std::to_string(port) + ": " +
                std::strerror(errno);
        close(fd);
        return NoSimSocket;
    }
    boundPort = ntohs(address.sin_port);
    return fd;
}

TSimSocket SimAccept(TSimSocket listener, std::string& peer) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    const int fd = accept(listener, reinterpret_cast<sockaddr*>(&address), &length);
    if (fd < 0) return NoSimSocket; // EAGAIN, or a connection that died in the backlog
    peer = PeerName(address);
    if (!MakeNonBlocking(fd)) {
        close(fd);
        return NoSimSocket;
    }
    // Each piece of a split answer must leave as its own segment.
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

void SimClose(TSimSocket socket) {
    close(socket);
}

void SimShutdownWrite(TSimSocket socket) {
    shutdown(socket, SHUT_WR);
}

void SimAckQuickly(TSimSocket socket) {
    const int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

long SimReceive(TSimSocket socket, char* buffer, size_t size, std::string& error) {
    const ssize_t count = recv(socket, buffer, size, 0);
    if (count < 0 && !WouldBlock()) error = std::strerror(errno);
    return static_cast<long>(count);
}

long SimSend(TSimSocket socket, const char* bytes, size_t size, std::string& error) {
    const ssize_t count = send(socket, bytes, size, MSG_NOSIGNAL);
    if (count < 0 && !WouldBlock()) error = std::strerror(errno);
    return static_cast<long>(count);
}

bool SimWaitFor(std::vector<TSimWait>& entries, int timeoutMs, std::string& error) {
    std::vector<pollfd> fds;
    for (const TSimWait& entry : entries)
        fds.push_back(pollfd{entry.Socket, static_cast<short>(entry.Write ? POLLIN | POLLOUT : POLLIN), 0});
    if (poll(fds.data(), fds.size(), timeoutMs) < 0) {
        if (errno == EINTR) return true;
        error = std::strerror(errno);
        return false;
    }
    for (size_t i = 0; i < entries.size(); ++i)
        entries[i].Readable = (fds[i].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0;
    return true;
}
