// The client's side of a SOCKS 4, 4A or 5 negotiation without a socket: it
// says how many reply bytes it still needs, takes them, and gives back the
// next request to send, until it is done or has failed.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "net/tcp/IdSocksInfo.h"

// Where the proxy is to connect to, and how the client logs in.
struct TSocksRequest {
    TSocksVersion Version = svSocks5;
    TSocksAuthentication Authentication = saNoAuthentication;
    std::string Host;                 // the target's name (4A, 5)
    uint32_t AddressNetworkOrder = 0; // the target's IPv4 address (4), resolved by the caller
    int32_t Port = 0;
    std::string UserID; // SOCKS 4 user id, SOCKS 5 user name
    std::string Password;
};

// What the negotiation waits for; every change goes through Enter.
enum class TSocksState : uint8_t {
    Idle,              // before Start
    Socks4Reply,       // 8 bytes
    Socks5MethodReply, // 2 bytes
    Socks5AuthReply,   // 2 bytes
    Socks5ReplyHead,   // 5 bytes: VER REP RSV ATYP and the address's first byte
    Socks5ReplyRest,   // the rest of the bound address and the port
    Done,              // the next byte is the target's
    Failed             // Error() holds the exception for the caller
};

class TSocksNegotiator {
public:
    explicit TSocksNegotiator(TSocksRequest request) : Request(std::move(request)) {}

    // Builds the first request; a request that cannot be built (a name with a
    // zero byte, say) fails the negotiation before anything is sent.
    void Start();

    // Bytes to send now; empties the outbox.
    std::string TakeOutput();
    // Reply bytes still missing before the negotiation can go on; 0 when it
    // is done or has failed.
    size_t Missing() const;
    // Takes at most Missing() bytes of `received` and returns how many it
    // took; the rest belongs to whoever reads after the negotiation.
    size_t Feed(std::string_view received);
    // The connection could not deliver the missing bytes: `cause` is what the
    // receive raised. SOCKS 5 reports it as a proxy that did not respond;
    // SOCKS 4 passes it on as it is.
    void ReceiveFailed(std::exception_ptr cause);

    TSocksState State() const { return FState; }
    bool NeedsMore() const { return Missing() > 0; }
    std::exception_ptr Error() const { return FError; }

    // Told of every state change, for tracing.
    std::function<void(TSocksState from, TSocksState to)> OnTransition;

private:
    void Enter(TSocksState next, size_t replySize = 0);
    void Fail(std::exception_ptr error);
    void ReplyComplete();
    void SendConnectRequest();

    TSocksRequest Request;
    TSocksState FState = TSocksState::Idle;
    std::string Reply;    // the reply being collected
    size_t ReplySize = 0; // its full length
    std::string Outbox;
    std::exception_ptr FError;
};
