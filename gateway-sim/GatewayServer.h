// The simulator's TCP server: one wait loop over the listening socket, the
// clients and a stop socket, all non-blocking, one shared device memory.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gateway-sim/ClientSession.h"
#include "gateway-sim/DeviceMemory.h"
#include "gateway-sim/SimOptions.h"
#include "gateway-sim/SimSocket.h"

class TGatewayServer {
public:
    // Past this, the longest-idle client is dropped for a new one, so that
    // idle connections cannot lock every other client out.
    static constexpr size_t MaxClients = 64;
    // A client that does not read its answers is dropped past this.
    static constexpr size_t MaxQueuedBytes = 1 << 20;

    explicit TGatewayServer(const TSimOptions& options);
    ~TGatewayServer();
    TGatewayServer(const TGatewayServer&) = delete;
    TGatewayServer& operator=(const TGatewayServer&) = delete;

    // Binds and listens; false with a reason on failure.
    bool Listen(std::string& error);
    uint16_t Port() const { return BoundPort; }
    // Serves until `stopFd` becomes readable.
    void Run(TSimSocket stopFd);

private:
    struct TConnection {
        TSimSocket Fd;
        TClientSession Session;
        bool HalfClosed = false;
        TSimClock::time_point LingerUntil{};
        bool Dropped = false;
        TSimClock::time_point LastActive = TSimClock::now(); // last byte in or out
    };

    void AcceptClients();
    // Drops the client that has been idle longest, for a new one.
    void MakeRoom();
    void ReadFrom(TConnection& connection);
    void Flush(TConnection& connection);
    void Service(TConnection& connection, TSimClock::time_point now);
    void Drop(TConnection& connection, const std::string& reason);
    // When the client counts as idle; none without a limit.
    std::optional<TSimClock::time_point> IdleDue(const TConnection& connection) const;
    int PollTimeout(TSimClock::time_point now) const;

    TSimOptions Options;
    TDeviceMemory Memory;
    TSimSocket ListenFd = NoSimSocket;
    uint16_t BoundPort = 0;
    int NextClientId = 1;
    std::vector<std::unique_ptr<TConnection>> Connections;
};
