// POSIX sockets on loopback for the receive benchmarks; every wait is bounded.
#include "bench/support/LoopbackStream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace {

constexpr int AcceptPatienceMs = 10000;
constexpr timeval ReceivePatience{10, 0};

sockaddr_in Loopback(int32_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

} // namespace

TLoopbackStream::TLoopbackStream(std::string pattern, uint64_t total)
    : Pattern(std::move(pattern)), Total(total) {
    ListenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (ListenFd < 0) return;
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (bind(ListenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(ListenFd, 1) != 0 ||
        getsockname(ListenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(ListenFd);
        ListenFd = -1;
        return;
    }
    ListenPort = ntohs(address.sin_port);
    Sender = std::thread([this] { Run(); });
}

TLoopbackStream::~TLoopbackStream() {
    Join();
    if (ListenFd >= 0) close(ListenFd);
}

uint64_t TLoopbackStream::Join() {
    if (Sender.joinable()) Sender.join();
    return Sent.load();
}

void TLoopbackStream::Run() {
    pollfd waiting{ListenFd, POLLIN, 0};
    if (poll(&waiting, 1, AcceptPatienceMs) != 1) return;
    const int client = accept4(ListenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    uint64_t sent = 0;
    while (sent < Total) {
        const size_t offset = sent % Pattern.size();
        const size_t length =
            static_cast<size_t>(std::min<uint64_t>(Pattern.size() - offset, Total - sent));
        const ssize_t count = send(client, Pattern.data() + offset, length, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break; // the receiver went away; Join reports the shortfall
        sent += static_cast<uint64_t>(count);
    }
    Sent = sent;
    close(client);
}

uint64_t PlainReceiveAll(int32_t port, size_t bufferSize) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    const sockaddr_in address = Loopback(port);
    uint64_t received = 0;
    // A sender that stalls ends the loop instead of hanging the run.
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &ReceivePatience, sizeof ReceivePatience);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        std::vector<char> buffer(bufferSize);
        for (;;) {
            const ssize_t count = recv(fd, buffer.data(), buffer.size(), 0);
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0) break;
            received += static_cast<uint64_t>(count);
        }
    }
    close(fd);
    return received;
}
