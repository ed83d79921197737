// Fuzz target: SOCKS 4, 4A and 5 negotiation of a real client connect against
// a scripted proxy. Input: byte 0 = version (mod 3) and, bit 2, user name and
// password login; byte 1 = bytes per receive - 1 (mod 16); then the replies.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/LoopbackListener.h"
#include "fuzz/ScriptedProxy.h"
#include "fuzz/SocksReference.h"
#include "net/stack/IdException.h"
#include "net/tcp/IdTCPClient.h"

namespace {

// Built once: each run connects the same client again through the same proxy.
struct TSocksSession {
    TSocksSession() : Proxy(Listener) {
        Client.SetIntercept(&Proxy);
        Client.SetInterceptEnabled(true);
        Client.SocksInfo.Host = "127.0.0.1";
        Client.SocksInfo.Port = Listener.Port();
        Client.SocksInfo.UserID = "user";
        Client.SocksInfo.Password = "secret";
        Client.Port = 5556;
    }

    TLoopbackListener Listener;
    TScriptedProxy Proxy;
    TIdTCPClient Client;
};

struct TOutcome {
    std::string Failure;
    bool SocksFamily = false;
};

TOutcome ConnectThroughProxy(TIdTCPClient& client) {
    try {
        client.Connect();
        return {};
    } catch (const EIdConnClosedGracefully& error) {
        return {error.Message, false};
    } catch (const EIdSocksError& error) {
        return {error.Message, true};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TSocksSession session;
    TFuzzInput input(data, size);
    const uint8_t mode = input.TakeByte();
    const int32_t pieceSize = 1 + input.TakeByte() % 16;
    const std::string replies = input.TakeRest();

    TSocksSetup setup;
    setup.Version = static_cast<TSocksVersion>(svSocks4 + mode % 3);
    setup.Authentication = mode & 4 ? saUsernamePassword : saNoAuthentication;
    // SOCKS 4 resolves the target on our side: a dotted address needs no lookup.
    setup.Host = setup.Version == svSocks4 ? "10.1.2.3" : "gateway.example";
    setup.Port = session.Client.Port;
    setup.UserID = session.Client.SocksInfo.UserID;
    setup.Password = session.Client.SocksInfo.Password;
    const TSocksExpectation expected = ExpectedSocks(setup, replies);

    TIdTCPClient& client = session.Client;
    client.SocksInfo.Version = setup.Version;
    client.SocksInfo.Authentication = setup.Authentication;
    client.Host = setup.Host;
    session.Proxy.Load(replies, pieceSize);

    const TOutcome outcome = ConnectThroughProxy(client);
    const int32_t consumed = session.Proxy.Delivered() - client.InputQueueSize();
    client.Disconnect();

    FuzzRequire(session.Proxy.Sent() == expected.Sent, "requests " + FuzzHex(session.Proxy.Sent()) +
                                                           ", expected " + FuzzHex(expected.Sent));
    FuzzRequire(outcome.Failure == expected.Failure,
                "outcome \"" + outcome.Failure + "\", expected \"" + expected.Failure + "\"");
    if (!expected.Failure.empty()) {
        FuzzRequire(outcome.SocksFamily == (expected.Failure != "Connection Closed Gracefully."),
                    "a refusal is an EIdSocksError, a short SOCKS 4 reply the closed connection");
        return 0;
    }
    FuzzRequire(consumed == expected.Consumed, "consumed " + std::to_string(consumed) +
                                                   " reply bytes, expected " +
                                                   std::to_string(expected.Consumed));
    return 0;
}
