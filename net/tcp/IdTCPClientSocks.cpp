// The client's side of the SOCKS 4, 4A and 5 negotiations, run on the
// connection to the proxy before the connection counts as connected: the
// negotiator decides, this drives it over the socket.
#include <string>

#include "net/stack/IdException.h"
#include "net/tcp/IdTCPClient.h"
#include "net/tcp/SocksNegotiator.h"

void TIdTCPClient::NegotiateSocks() {
    if (SocksInfo.Version == svNoSocks) return;
    TSocksRequest request;
    request.Version = SocksInfo.Version;
    request.Authentication = SocksInfo.Authentication;
    request.Host = Host;
    request.Port = Port;
    request.UserID = SocksInfo.UserID;
    request.Password = SocksInfo.Password;
    // The target is resolved here, on our side, unless the proxy resolves it (4A, 5).
    if (request.Version == svSocks4)
        request.AddressNetworkOrder =
            GlobalStack->DottedAddressValue(GlobalStack->ResolveToDotted(Host));

    TSocksNegotiator negotiator(std::move(request));
    negotiator.Start();
    std::string reply;
    for (;;) {
        const std::string output = negotiator.TakeOutput();
        if (!output.empty()) SendBytes(output.data(), static_cast<int32_t>(output.size()));
        if (!negotiator.NeedsMore()) break;
        // Exactly the reply's bytes: whatever follows is the target's.
        reply.resize(negotiator.Missing());
        try {
            ReadExact(reply.data(), static_cast<int32_t>(reply.size()));
        } catch (const EIdException&) {
            negotiator.ReceiveFailed(std::current_exception());
            break;
        }
        negotiator.Feed(reply);
    }
    if (negotiator.State() == TSocksState::Failed) std::rethrow_exception(negotiator.Error());
}
