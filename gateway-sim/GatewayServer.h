// The simulator's TCP server: one wait loop over the listening socket, the
// clients and a stop socket, all non-blocking, one shared device memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gateway-sim/ClientSession.h"
#include "gateway-sim/DeviceMemory.h"
#include "gateway-sim/SimOptions.h"
#include "gateway-sim/SimSocket.h"

class TGatewayServer {
public:
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
    };

    void AcceptClients();
    void ReadFrom(TConnection& connection);
    void Flush(TConnection& connection);
    void Service(TConnection& connection, TSimClock::time_point now);
    void Drop(TConnection& connection, const std::string& reason);
    int PollTimeout(TSimClock::time_point now) const;

    TSimOptions Options;
    TDeviceMemory Memory;
    TSimSocket ListenFd = NoSimSocket;
    uint16_t BoundPort = 0;
    int NextClientId = 1;
    std::vector<std::unique_ptr<TConnection>> Connections;
};
