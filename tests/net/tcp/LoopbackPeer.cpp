// POSIX loopback sockets for the test's side of each connection.
#include "LoopbackPeer.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

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

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool Readable(int fd, std::chrono::steady_clock::time_point deadline) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, MillisecondsLeft(deadline)) == 1;
}

} // namespace

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        Close();
        Value = other.Release();
    }
    return *this;
}

int Fd::Release() {
    const int fd = Value;
    Value = -1;
    return fd;
}

void Fd::Close() {
    if (Value >= 0) ::close(Value);
    Value = -1;
}

Listener::Listener() : Socket(::socket(AF_INET, SOCK_STREAM, 0)) {
    if (!Socket.Valid()) throw std::runtime_error("socket() failed");
    sockaddr_in address = LoopbackAddress(0);
    if (::bind(Socket.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(Socket.Get(), 16) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    socklen_t length = sizeof address;
    ::getsockname(Socket.Get(), reinterpret_cast<sockaddr*>(&address), &length);
    BoundPort = ntohs(address.sin_port);
}

Fd Listener::Accept(std::chrono::milliseconds patience) {
    if (!Readable(Socket.Get(), std::chrono::steady_clock::now() + patience)) return Fd();
    return Fd(::accept(Socket.Get(), nullptr, nullptr));
}

int32_t FreePort() {
    Listener probe;
    return probe.Port();
}

Fd ConnectTo(int32_t port) {
    Fd socket(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address = LoopbackAddress(port);
    if (::connect(socket.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return Fd();
    return socket;
}

bool WaitUntilListening(int32_t port, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    // Each refused attempt returns at once; the short pause between tries only
    // spaces the polls out and is not what the wait relies on.
    for (int attempt = 0; attempt < 1000 && std::chrono::steady_clock::now() < deadline;
         ++attempt) {
        if (ConnectTo(port).Valid()) return true;
        ::poll(nullptr, 0, 10);
    }
    return false;
}

void SendAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) throw std::runtime_error("send to the client failed");
        done += static_cast<size_t>(sent);
    }
}

std::string ReceiveExactly(int fd, size_t count, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < count && Readable(fd, deadline)) {
        const ssize_t got = ::recv(fd, chunk, std::min(sizeof chunk, count - bytes.size()), 0);
        if (got <= 0) break;
        bytes.append(chunk, static_cast<size_t>(got));
    }
    return bytes;
}

std::string ReceiveSome(int fd, std::chrono::milliseconds patience) {
    char chunk[4096];
    if (!Readable(fd, std::chrono::steady_clock::now() + patience)) return {};
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
    return got > 0 ? std::string(chunk, static_cast<size_t>(got)) : std::string();
}

std::string ReceiveUntilClosed(int fd, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    std::string bytes;
    char chunk[4096];
    while (Readable(fd, deadline)) {
        const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) break;
        bytes.append(chunk, static_cast<size_t>(got));
    }
    return bytes;
}

bool PeerClosedWithin(int fd, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    char chunk[256];
    while (Readable(fd, deadline)) {
        const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) return true;
    }
    return false;
}

int CountOpenDescriptors() {
    DIR* directory = ::opendir("/proc/self/fd");
    if (directory == nullptr) return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(directory))
        if (entry->d_name[0] != '.') ++count;
    ::closedir(directory);
    return count;
}

} // namespace loopback
