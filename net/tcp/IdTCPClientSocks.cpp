// The client's side of the SOCKS 4, 4A and 5 negotiations, run on the
// connection to the proxy before the connection counts as connected.
#include <vector>

#include "net/stack/IdException.h"
#include "net/tcp/IdTCPClient.h"
#include "net/tcp/SocksMessages.h"

namespace {

void Send(TIdTCPConnection& connection, const std::string& message) {
    connection.SendBytes(message.data(), static_cast<int32_t>(message.size()));
}

} // namespace

void TIdTCPClient::NegotiateSocks() {
    switch (SocksInfo.Version) {
    case svSocks4:
        NegotiateSocks4(false);
        break;
    case svSocks4A:
        NegotiateSocks4(true);
        break;
    case svSocks5:
        NegotiateSocks5();
        break;
    case svNoSocks:
        break;
    }
}

void TIdTCPClient::NegotiateSocks4(bool byName) {
    // The target is resolved here, on our side, unless the proxy resolves it (4A).
    Send(*this,
         byName ? Socks4ARequest(Port, SocksInfo.UserID, Host)
                : Socks4Request(Port,
                                GlobalStack->DottedAddressValue(GlobalStack->ResolveToDotted(Host)),
                                SocksInfo.UserID));
    uint8_t reply[Socks4ReplySize];
    ReadExact(reply, sizeof reply);
    CheckSocks4ReplyCode(reply[1]);
}

void TIdTCPClient::ReadSocks5(void* buffer, int32_t count) {
    try {
        ReadExact(buffer, count);
    } catch (const EIdException&) {
        throw EIdSocksServerRespondError();
    }
}

void TIdTCPClient::NegotiateSocks5() {
    const uint8_t method = Socks5MethodFor(SocksInfo.Authentication);
    Send(*this, Socks5Greeting(SocksInfo.Authentication));
    uint8_t reply[Socks5MethodReplySize];
    ReadSocks5(reply, sizeof reply);
    CheckSocks5MethodReply(method, reply[1]);

    if (SocksInfo.Authentication == saUsernamePassword) {
        Send(*this, Socks5AuthRequest(SocksInfo.UserID, SocksInfo.Password));
        uint8_t status[Socks5AuthReplySize];
        ReadSocks5(status, sizeof status);
        CheckSocks5AuthStatus(status[1]);
    }

    Send(*this, Socks5ConnectRequest(Host, Port));
    uint8_t head[Socks5ReplyHeadSize];
    ReadSocks5(head, sizeof head);
    CheckSocks5ReplyCode(head[1]);
    // The bound address and port are not used, but must leave the queue so
    // that the target's first byte is the next one read.
    std::vector<uint8_t> rest(static_cast<size_t>(Socks5ReplyRemainder(head)));
    ReadSocks5(rest.data(), static_cast<int32_t>(rest.size()));
}
