// A plain TCP client on 127.0.0.1 for talking to the simulator in tests.
#include "LoopbackClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <utility>

#include "SimProcess.h"
#include "protocol/CommandLines.h"

namespace {

using TClock = std::chrono::steady_clock;

} // namespace

TLoopbackClient::TLoopbackClient(uint16_t port) {
    Fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (Fd < 0 || connect(Fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ADD_FAILURE() << "cannot connect to 127.0.0.1:" << port;
        if (Fd >= 0) close(Fd);
        Fd = -1;
        return;
    }
    const int on = 1;
    setsockopt(Fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

TLoopbackClient::~TLoopbackClient() {
    if (Fd >= 0) close(Fd);
}

void TLoopbackClient::Send(std::string_view bytes) {
    size_t sent = 0;
    while (Fd >= 0 && sent < bytes.size()) {
        const ssize_t count = send(Fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            ADD_FAILURE() << "send failed: errno " << errno;
            return;
        }
        sent += static_cast<size_t>(count);
    }
}

void TLoopbackClient::SendByByte(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) Send(bytes.substr(i, 1));
}

TLoopbackClient::TFill TLoopbackClient::Fill(TClock::time_point deadline) {
    if (Fd < 0) return TFill::Closed;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
        pollfd p{Fd, POLLIN, 0};
        const int ready = poll(&p, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return TFill::Timeout;
        char buffer[4096];
        const ssize_t count = recv(Fd, buffer, sizeof buffer, 0);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return TFill::Closed; // FIN or RST
        Pending.append(buffer, static_cast<size_t>(count));
        return TFill::Data;
    }
}

std::optional<std::string> TLoopbackClient::ReadLine() {
    const auto deadline = TClock::now() + SimDeadline;
    for (;;) {
        const size_t end = Pending.find("\r\n");
        if (end != std::string::npos) {
            std::string line = Pending.substr(0, end);
            Pending.erase(0, end + 2);
            return line;
        }
        if (Fill(deadline) != TFill::Data) return std::nullopt;
    }
}

std::optional<std::string> TLoopbackClient::ReadBytes(size_t count) {
    const auto deadline = TClock::now() + SimDeadline;
    while (Pending.size() < count) {
        if (Fill(deadline) != TFill::Data) return std::nullopt;
    }
    std::string bytes = Pending.substr(0, count);
    Pending.erase(0, count);
    return bytes;
}

bool TLoopbackClient::WaitForClose(std::string& rest) {
    const auto deadline = TClock::now() + SimDeadline;
    TFill fill = TFill::Data;
    while ((fill = Fill(deadline)) == TFill::Data) {
    }
    rest = std::exchange(Pending, {});
    return fill == TFill::Closed;
}

void TLoopbackClient::Reset() {
    const linger abort{1, 0};
    setsockopt(Fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    close(Fd);
    Fd = -1;
}

std::string ReadCommand(const std::string& descriptor, const std::string& gateway) {
    return ReadMemoryLine(gateway, descriptor) + "\r";
}
