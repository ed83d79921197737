// The SOCKS negotiation as a state machine over bytes: which reply comes
// next, how long it is, and what the client sends once it is complete.
#include "net/tcp/SocksNegotiator.h"

#include <algorithm>

#include "net/stack/IdException.h"
#include "net/tcp/SocksMessages.h"

void TSocksNegotiator::Enter(TSocksState next, size_t replySize) {
    const TSocksState from = FState;
    FState = next;
    Reply.clear();
    ReplySize = replySize;
    if (OnTransition) OnTransition(from, next);
}

void TSocksNegotiator::Fail(std::exception_ptr error) {
    FError = std::move(error);
    Enter(TSocksState::Failed);
}

void TSocksNegotiator::Start() {
    try {
        switch (Request.Version) {
        case svSocks4:
            Outbox += Socks4Request(Request.Port, Request.AddressNetworkOrder, Request.UserID);
            Enter(TSocksState::Socks4Reply, Socks4ReplySize);
            break;
        case svSocks4A:
            Outbox += Socks4ARequest(Request.Port, Request.UserID, Request.Host);
            Enter(TSocksState::Socks4Reply, Socks4ReplySize);
            break;
        case svSocks5:
            Outbox += Socks5Greeting(Request.Authentication);
            Enter(TSocksState::Socks5MethodReply, Socks5MethodReplySize);
            break;
        case svNoSocks:
            Enter(TSocksState::Done);
            break;
        }
    } catch (...) {
        Fail(std::current_exception());
    }
}

std::string TSocksNegotiator::TakeOutput() {
    return std::exchange(Outbox, {});
}

size_t TSocksNegotiator::Missing() const {
    return ReplySize - Reply.size();
}

size_t TSocksNegotiator::Feed(std::string_view received) {
    const size_t taken = std::min(received.size(), Missing());
    if (taken == 0) return 0;
    Reply.append(received.substr(0, taken));
    if (Missing() == 0) {
        try {
            ReplyComplete();
        } catch (...) {
            Fail(std::current_exception());
        }
    }
    return taken;
}

void TSocksNegotiator::ReceiveFailed(std::exception_ptr cause) {
    if (FState == TSocksState::Done || FState == TSocksState::Failed) return;
    Fail(Request.Version == svSocks5 ? std::make_exception_ptr(EIdSocksServerRespondError())
                                     : std::move(cause));
}

void TSocksNegotiator::SendConnectRequest() {
    Outbox += Socks5ConnectRequest(Request.Host, Request.Port);
    Enter(TSocksState::Socks5ReplyHead, Socks5ReplyHeadSize);
}

// The replies' wire formats are with their checks in SocksMessages.
void TSocksNegotiator::ReplyComplete() {
    const auto byte = [this](size_t index) { return static_cast<uint8_t>(Reply[index]); };
    switch (FState) {
    case TSocksState::Socks4Reply: // VN CD DSTPORT DSTIP; CD 90 is granted
        CheckSocks4ReplyCode(byte(1));
        Enter(TSocksState::Done);
        break;
    case TSocksState::Socks5MethodReply: // VER METHOD (RFC 1928 section 3)
        CheckSocks5MethodReply(Socks5MethodFor(Request.Authentication), byte(1));
        if (Request.Authentication == saUsernamePassword) {
            Outbox += Socks5AuthRequest(Request.UserID, Request.Password);
            Enter(TSocksState::Socks5AuthReply, Socks5AuthReplySize);
        } else {
            SendConnectRequest();
        }
        break;
    case TSocksState::Socks5AuthReply: // VER STATUS (RFC 1929 section 2)
        CheckSocks5AuthStatus(byte(1));
        SendConnectRequest();
        break;
    case TSocksState::Socks5ReplyHead: { // VER REP RSV ATYP, first address byte
        CheckSocks5ReplyCode(byte(1));
        const uint8_t head[Socks5ReplyHeadSize] = {byte(0), byte(1), byte(2), byte(3), byte(4)};
        // The bound address and port are not used, but must be taken so that
        // the target's first byte is the next one read.
        Enter(TSocksState::Socks5ReplyRest, static_cast<size_t>(Socks5ReplyRemainder(head)));
        break;
    }
    case TSocksState::Socks5ReplyRest: // the rest of BND.ADDR, BND.PORT (RFC 1928 section 6)
        Enter(TSocksState::Done);
        break;
    case TSocksState::Idle:
    case TSocksState::Done:
    case TSocksState::Failed:
        break;
    }
}
