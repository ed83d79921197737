// Fuzz target: the SOCKS 4, 4A and 5 negotiator against proxy replies.
// Input: byte 0 = version (mod 3) and, bit 2, user name and password login;
// byte 1 = bytes per receive - 1 (mod 16); then the replies.
#include <arpa/inet.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/SocksReference.h"
#include "net/stack/IdException.h"
#include "net/tcp/SocksNegotiator.h"

namespace {

struct TOutcome {
    std::string Sent;
    std::string Failure;
    bool SocksFamily = false;
    size_t Consumed = 0;
};

// Drives the negotiator as the client does over its socket, with the replies
// arriving `pieceSize` bytes at a time and the proxy closing after the last.
TOutcome Negotiate(const TSocksRequest& request, std::string_view replies, size_t pieceSize) {
    TOutcome outcome;
    TSocksNegotiator negotiator(request);
    negotiator.Start();
    std::string_view arrived; // received but not yet taken
    for (;;) {
        outcome.Sent += negotiator.TakeOutput();
        if (!negotiator.NeedsMore()) break;
        if (arrived.empty()) {
            if (replies.empty()) {
                negotiator.ReceiveFailed(std::make_exception_ptr(EIdConnClosedGracefully()));
                continue;
            }
            arrived = replies.substr(0, pieceSize);
            replies.remove_prefix(arrived.size());
        }
        const size_t taken = negotiator.Feed(arrived);
        FUZZ_REQUIRE(taken > 0, "a negotiator that needs more took nothing");
        arrived.remove_prefix(taken);
        outcome.Consumed += taken;
    }
    if (negotiator.State() == TSocksState::Failed) {
        try {
            std::rethrow_exception(negotiator.Error());
        } catch (const EIdSocksError& error) {
            outcome.Failure = error.Message;
            outcome.SocksFamily = true;
        } catch (const EIdException& error) {
            outcome.Failure = error.Message;
        }
    }
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const uint8_t mode = input.TakeByte();
    const size_t pieceSize = 1 + input.TakeByte() % 16;
    const std::string replies = input.TakeRest();

    TSocksSetup setup;
    setup.Version = static_cast<TSocksVersion>(svSocks4 + mode % 3);
    setup.Authentication = mode & 4 ? saUsernamePassword : saNoAuthentication;
    // SOCKS 4 resolves the target on our side: a dotted address needs no lookup.
    setup.Host = setup.Version == svSocks4 ? "10.1.2.3" : "gateway.example";
    setup.Port = 5556;
    setup.UserID = "user";
    setup.Password = "secret";
    const TSocksExpectation expected = ExpectedSocks(setup, replies);

    TSocksRequest request;
    request.Version = setup.Version;
    request.Authentication = setup.Authentication;
    request.Host = setup.Host;
    request.Port = setup.Port;
    request.UserID = setup.UserID;
    request.Password = setup.Password;
    if (setup.Version == svSocks4) {
        in_addr address{};
        inet_pton(AF_INET, setup.Host.c_str(), &address);
        request.AddressNetworkOrder = address.s_addr;
    }
    const TOutcome outcome = Negotiate(request, replies, pieceSize);

    FUZZ_REQUIRE(outcome.Sent == expected.Sent,
                 "requests " + FuzzHex(outcome.Sent) + ", expected " + FuzzHex(expected.Sent));
    FUZZ_REQUIRE(outcome.Failure == expected.Failure,
                 "outcome \"" + outcome.Failure + "\", expected \"" + expected.Failure + "\"");
    if (!expected.Failure.empty()) {
        FUZZ_REQUIRE(outcome.SocksFamily == (expected.Failure != "Connection Closed Gracefully."),
                     "a refusal is an EIdSocksError, a short SOCKS 4 reply the closed connection");
        return 0;
    }
    FUZZ_REQUIRE(outcome.Consumed == static_cast<size_t>(expected.Consumed),
                 "consumed " + std::to_string(outcome.Consumed) + " reply bytes, expected " +
                     std::to_string(expected.Consumed));
    return 0;
}
