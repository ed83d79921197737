// The simulator's TCP server over POSIX sockets and poll.
#include "gateway-sim/GatewayServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "gateway-sim/SimLog.h"

namespace {

// After close-after, the write side is shut and the socket is read until the
// client closes, so unread input does not turn the close into an RST that
// would destroy the last answer in the client's receive buffer.
constexpr std::chrono::seconds Linger{2};
constexpr size_t ReadChunk = 4096;

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

} // namespace

TGatewayServer::TGatewayServer(const TSimOptions& options) : Options(options) {}

TGatewayServer::~TGatewayServer() {
    for (const auto& connection : Connections)
        close(connection->Fd);
    if (ListenFd >= 0) close(ListenFd);
}

bool TGatewayServer::Listen(std::string& error) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(Options.Port);
    if (inet_pton(AF_INET, Options.Listen.c_str(), &address.sin_addr) != 1) {
        error = "not an IPv4 address: " + Options.Listen;
        return false;
    }
    ListenFd = socket(AF_INET, SOCK_STREAM, 0);
    if (ListenFd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int on = 1;
    setsockopt(ListenFd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    socklen_t length = sizeof address;
    if (bind(ListenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(ListenFd, 16) != 0 || !MakeNonBlocking(ListenFd) ||
        getsockname(ListenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = "cannot listen on " + Options.Listen + ":" + std::to_string(Options.Port) + ": " +
                std::strerror(errno);
        return false;
    }
    BoundPort = ntohs(address.sin_port);
    return true;
}

void TGatewayServer::AcceptClients() {
    // Bounded: at most one round of the backlog per wake-up.
    for (int round = 0; round < 64; ++round) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int fd = accept(ListenFd, reinterpret_cast<sockaddr*>(&peer), &length);
        if (fd < 0) return; // EAGAIN, or a connection that died in the backlog
        if (Connections.size() >= MaxClients || !MakeNonBlocking(fd)) {
            SimLog("refused " + PeerName(peer) + ": too many clients");
            close(fd);
            continue;
        }
        // Each piece of a split answer must leave as its own segment.
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        const int id = NextClientId++;
        Connections.push_back(
            std::unique_ptr<TConnection>(new TConnection{fd, TClientSession(id, Options, Memory)}));
        SimLog("client " + std::to_string(id) + " connected from " + PeerName(peer));
        Connections.back()->Session.Open();
    }
}

void TGatewayServer::ReadFrom(TConnection& connection) {
    char buffer[ReadChunk];
    const ssize_t count = recv(connection.Fd, buffer, sizeof buffer, 0);
    if (count == 0) {
        Drop(connection, "closed by the client");
    } else if (count < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            Drop(connection, std::string("receive failed: ") + std::strerror(errno));
    } else if (!connection.HalfClosed) {
        // A client that types one character per write with Nagle's algorithm
        // on holds its next characters until this one is acknowledged; a
        // delayed ACK (40 ms and more on Linux) would stall every command by
        // that long. Quick-ack mode lapses on its own, so it is renewed per read.
        const int on = 1;
        setsockopt(connection.Fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        connection.Session.Receive(std::string_view(buffer, static_cast<size_t>(count)),
                                   TSimClock::now());
    }
}

// One send per queued piece; a short send leaves the rest for POLLOUT.
void TGatewayServer::Flush(TConnection& connection) {
    while (const std::string* piece = connection.Session.NextSend()) {
        const ssize_t count = send(connection.Fd, piece->data(), piece->size(), MSG_NOSIGNAL);
        if (count < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                Drop(connection, std::string("send failed: ") + std::strerror(errno));
            return;
        }
        connection.Session.Sent(static_cast<size_t>(count));
    }
}

void TGatewayServer::Service(TConnection& connection, TSimClock::time_point now) {
    if (connection.Dropped) return;
    connection.Session.Release(now);
    Flush(connection);
    if (connection.Dropped) return;
    if (connection.Session.QueuedBytes() > MaxQueuedBytes) {
        Drop(connection, "does not read its answers");
    } else if (connection.HalfClosed) {
        if (now >= connection.LingerUntil) Drop(connection, "closed after the line limit");
    } else if (connection.Session.Finished()) {
        shutdown(connection.Fd, SHUT_WR);
        connection.HalfClosed = true;
        connection.LingerUntil = now + Linger;
    }
}

void TGatewayServer::Drop(TConnection& connection, const std::string& reason) {
    if (connection.Dropped) return;
    SimLog("client " + std::to_string(connection.Session.Id()) + " dropped: " + reason);
    close(connection.Fd);
    connection.Dropped = true;
}

int TGatewayServer::PollTimeout(TSimClock::time_point now) const {
    std::optional<TSimClock::time_point> next;
    for (const auto& connection : Connections) {
        std::optional<TSimClock::time_point> due =
            connection->HalfClosed ? connection->LingerUntil : connection->Session.NextDue();
        if (due && (!next || *due < *next)) next = due;
    }
    if (!next) return -1;
    if (*next <= now) return 0;
    // Rounded up, so the loop does not wake a moment early and spin.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
    return static_cast<int>(std::min<long long>(wait.count(), 60'000));
}

void TGatewayServer::Run(int stopFd) {
    for (;;) {
        std::vector<pollfd> fds;
        fds.push_back(pollfd{stopFd, POLLIN, 0});
        fds.push_back(pollfd{ListenFd, POLLIN, 0});
        for (const auto& connection : Connections) {
            const short events = connection->Session.NextSend() ? POLLIN | POLLOUT : POLLIN;
            fds.push_back(pollfd{connection->Fd, events, 0});
        }
        if (poll(fds.data(), fds.size(), PollTimeout(TSimClock::now())) < 0) {
            if (errno == EINTR) continue;
            SimLog(std::string("poll failed: ") + std::strerror(errno));
            return;
        }
        if (fds[0].revents != 0) return;
        // Connections accepted now are not in `fds`; they are serviced below.
        const size_t polled = Connections.size();
        for (size_t i = 0; i < polled; ++i) {
            if (fds[i + 2].revents & (POLLIN | POLLHUP | POLLERR)) ReadFrom(*Connections[i]);
        }
        if (fds[1].revents & POLLIN) AcceptClients();
        const TSimClock::time_point now = TSimClock::now();
        for (const auto& connection : Connections)
            Service(*connection, now);
        std::erase_if(Connections, [](const auto& c) { return c->Dropped; });
    }
}
