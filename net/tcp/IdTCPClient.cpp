// Opening a client connection: bind, resolve, connect with its status
// reports, clean up after a failure, and hand over to the proxy negotiation.
#include "net/tcp/IdTCPClient.h"

#include <memory>

#include "net/stack/IdException.h"
#include "net/tcp/ResolveWithin.h"

TIdTCPClient::TIdTCPClient(TComponent* owner) : TIdTCPConnection(owner) {}

void TIdTCPClient::NotifyConnected() {
    if (OnConnected) OnConnected(this);
}

void TIdTCPClient::Connect() {
    // The socket itself decides: a peer that has gone unnoticed still counts.
    if (SocketHandle.SocketAllocated()) throw EIdAlreadyConnected();
    ResetForConnect();
    SocketHandle.OpenSocket(Id_SOCK_STREAM, 0);
    try {
        OpenToFirstHop();
    } catch (...) {
        try {
            Disconnect();
        } catch (...) {
            // The failure that brought us here is the one worth reporting.
        }
        throw;
    }
    if (InterceptEnabled()) Intercept()->AttachSocket(&SocketHandle);
    // A refusing proxy leaves the socket open to it; the caller disconnects.
    NegotiateSocks();
    ReportStatus(stConnected, {SocketHandle.RemoteIP});
    NotifyConnected();
}

void TIdTCPClient::OpenToFirstHop() {
    SocketHandle.IP = BoundIP;
    SocketHandle.BindLocal();
    const bool viaProxy = SocksInfo.Version == svSocks4 || SocksInfo.Version == svSocks4A ||
                          SocksInfo.Version == svSocks5;
    const std::string& host = viaProxy ? SocksInfo.Host : Host;
    const int32_t port = viaProxy ? SocksInfo.Port : Port;
    if (!GlobalStack->IsDottedAddress(host)) ReportStatus(stResolving, {host});
    SocketHandle.SetRemote(ResolveHost(host), port);
    if (!UseNagle) {
        const int32_t on = 1;
        SocketHandle.SetOption(Id_IPPROTO_TCP, Id_TCP_NODELAY, &on, sizeof on);
    }
    ReportStatus(stConnecting, {SocketHandle.RemoteIP});
    GlobalStack->CheckSocketResult(SocketHandle.ConnectToPeer(Id_PF_INET));
}

std::string TIdTCPClient::ResolveHost(const std::string& host) {
    if (ConnectDeadline == std::chrono::steady_clock::time_point::max() ||
        GlobalStack->IsDottedAddress(host))
        return GlobalStack->ResolveToDotted(host);
    // A component of its own keeps the stack alive for a lookup that outlives
    // this connection.
    auto keepStack = std::make_shared<TIdComponent>();
    return ResolveWithin([keepStack, host] { return GlobalStack->ResolveToDotted(host); },
                         ConnectDeadline);
}

std::string TIdTCPClient::ConnectAndReadAll() {
    Connect();
    std::string all;
    try {
        all = ReadUntilClosed();
    } catch (...) {
        Disconnect();
        throw;
    }
    Disconnect();
    return all;
}
