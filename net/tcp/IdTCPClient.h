// A TCP connection that opens itself: host and port, an optional local
// address, the Nagle setting, and SOCKS 4, 4A or 5 proxying.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "net/tcp/IdSocksInfo.h"
#include "net/tcp/IdTCPConnection.h"

class TIdTCPClient : public TIdTCPConnection {
public:
    explicit TIdTCPClient(TComponent* owner = nullptr);

    virtual void NotifyConnected();
    // Reports "Resolving hostname %s." (names only), "Connecting to %s." and
    // "Connected.". A failure before the connection stands runs Disconnect
    // and raises again; a failed proxy negotiation leaves the socket open.
    virtual void Connect();
    // Connect, read until the peer closes, and Disconnect in every case.
    virtual std::string ConnectAndReadAll();

    std::string BoundIP;
    std::string Host;
    TNotifyEvent OnConnected;
    int32_t Port = 0;
    TSocksInfo SocksInfo; // assign with SocksInfo.Assign(other)
    bool UseNagle = true;
    // Set before Connect: a host name lookup not done by then fails with
    // EIdResolveTimedOut (the connect itself is the caller's to bound).
    // time_point::max(), the default: the lookup takes as long as it takes.
    std::chrono::steady_clock::time_point ConnectDeadline =
        std::chrono::steady_clock::time_point::max();

private:
    void OpenToFirstHop();
    std::string ResolveHost(const std::string& host);
    void NegotiateSocks();
};
