// The simulator's TCP server, over the system's sockets (SimSocket.h).
#include "gateway-sim/GatewayServer.h"

#include <algorithm>
#include <optional>

#include "gateway-sim/SimLog.h"

namespace {

// After close-after, the write side is shut and the socket is read until the
// client closes, so unread input does not turn the close into an RST that
// would destroy the last answer in the client's receive buffer.
constexpr std::chrono::seconds Linger{2};
constexpr size_t ReadChunk = 4096;

// "300 s", "0.2 s"
std::string IdleText(std::chrono::milliseconds limit) {
    const auto count = limit.count();
    std::string text = std::to_string(count / 1000);
    if (count % 1000 != 0) {
        text += "." + std::to_string(1000 + count % 1000).substr(1);
        text.erase(text.find_last_not_of('0') + 1);
    }
    return text + " s";
}

} // namespace

TGatewayServer::TGatewayServer(const TSimOptions& options) : Options(options) {}

TGatewayServer::~TGatewayServer() {
    for (const auto& connection : Connections)
        SimClose(connection->Fd);
    if (ListenFd != NoSimSocket) SimClose(ListenFd);
}

bool TGatewayServer::Listen(std::string& error) {
    ListenFd = SimListen(Options.Listen, Options.Port, BoundPort, error);
    return ListenFd != NoSimSocket;
}

void TGatewayServer::AcceptClients() {
    // Bounded: at most one round of the backlog per wake-up.
    for (int round = 0; round < 64; ++round) {
        std::string peer;
        const TSimSocket fd = SimAccept(ListenFd, peer);
        if (fd == NoSimSocket) return; // none waiting, or one that died in the backlog
        if (Connections.size() >= MaxClients) MakeRoom();
        const int id = NextClientId++;
        Connections.push_back(
            std::unique_ptr<TConnection>(new TConnection{fd, TClientSession(id, Options, Memory)}));
        SimLog("client " + std::to_string(id) + " connected from " + peer);
        Connections.back()->Session.Open();
    }
}

void TGatewayServer::MakeRoom() {
    std::erase_if(Connections, [](const auto& c) { return c->Dropped; });
    if (Connections.size() < MaxClients) return;
    const auto idlest =
        std::min_element(Connections.begin(), Connections.end(), [](const auto& a, const auto& b) {
            return a->LastActive < b->LastActive;
        });
    Drop(**idlest, "idle longest, room made for a new client");
    Connections.erase(idlest);
}

void TGatewayServer::ReadFrom(TConnection& connection) {
    char buffer[ReadChunk];
    std::string error;
    const long count = SimReceive(connection.Fd, buffer, sizeof buffer, error);
    if (count == 0) {
        Drop(connection, "closed by the client");
    } else if (count < 0) {
        if (!error.empty()) Drop(connection, "receive failed: " + error);
    } else if (!connection.HalfClosed) {
        connection.LastActive = TSimClock::now();
        // A client that types one character per write with Nagle's algorithm
        // on holds its next characters until this one is acknowledged; a
        // delayed ACK (40 ms and more on Linux) would stall every command by
        // that long. Quick-ack mode lapses on its own, so it is renewed per read.
        SimAckQuickly(connection.Fd);
        connection.Session.Receive(std::string_view(buffer, static_cast<size_t>(count)),
                                   TSimClock::now());
    }
}

// One send per queued piece; a short send leaves the rest for POLLOUT.
void TGatewayServer::Flush(TConnection& connection) {
    while (const std::string* piece = connection.Session.NextSend()) {
        std::string error;
        const long count = SimSend(connection.Fd, piece->data(), piece->size(), error);
        if (count < 0) {
            if (!error.empty()) Drop(connection, "send failed: " + error);
            return;
        }
        connection.Session.Sent(static_cast<size_t>(count));
        if (count > 0) connection.LastActive = TSimClock::now();
    }
}

void TGatewayServer::Service(TConnection& connection, TSimClock::time_point now) {
    if (connection.Dropped) return;
    connection.Session.Release(now);
    Flush(connection);
    if (connection.Dropped) return;
    if (connection.Session.QueuedBytes() > MaxQueuedBytes) {
        Drop(connection, "does not read its answers");
    } else if (IdleDue(connection) && now >= *IdleDue(connection)) {
        Drop(connection, "idle for " + IdleText(Options.IdleLimit));
    } else if (connection.HalfClosed) {
        if (now >= connection.LingerUntil) Drop(connection, "closed after the line limit");
    } else if (connection.Session.Finished()) {
        SimShutdownWrite(connection.Fd);
        connection.HalfClosed = true;
        connection.LingerUntil = now + Linger;
    }
}

void TGatewayServer::Drop(TConnection& connection, const std::string& reason) {
    if (connection.Dropped) return;
    SimLog("client " + std::to_string(connection.Session.Id()) + " dropped: " + reason);
    SimClose(connection.Fd);
    connection.Dropped = true;
}

std::optional<TSimClock::time_point> TGatewayServer::IdleDue(const TConnection& connection) const {
    if (Options.IdleLimit.count() == 0 || connection.HalfClosed) return std::nullopt;
    return connection.LastActive + Options.IdleLimit;
}

int TGatewayServer::PollTimeout(TSimClock::time_point now) const {
    std::optional<TSimClock::time_point> next;
    for (const auto& connection : Connections) {
        for (const std::optional<TSimClock::time_point>& due :
             {connection->HalfClosed ? connection->LingerUntil : connection->Session.NextDue(),
              IdleDue(*connection)})
            if (due && (!next || *due < *next)) next = due;
    }
    if (!next) return -1;
    if (*next <= now) return 0;
    // Rounded up, so the loop does not wake a moment early and spin.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
    return static_cast<int>(std::min<long long>(wait.count(), 60'000));
}

void TGatewayServer::Run(TSimSocket stopFd) {
    for (;;) {
        std::vector<TSimWait> waits;
        waits.push_back(TSimWait{stopFd});
        waits.push_back(TSimWait{ListenFd});
        for (const auto& connection : Connections)
            waits.push_back(TSimWait{connection->Fd, connection->Session.NextSend() != nullptr});
        std::string error;
        if (!SimWaitFor(waits, PollTimeout(TSimClock::now()), error)) {
            SimLog("wait failed: " + error);
            return;
        }
        if (waits[0].Readable) return;
        // Connections accepted now are not in `waits`; they are serviced below.
        const size_t polled = Connections.size();
        for (size_t i = 0; i < polled; ++i) {
            if (waits[i + 2].Readable) ReadFrom(*Connections[i]);
        }
        if (waits[1].Readable) AcceptClients();
        const TSimClock::time_point now = TSimClock::now();
        for (const auto& connection : Connections)
            Service(*connection, now);
        std::erase_if(Connections, [](const auto& c) { return c->Dropped; });
    }
}
