// What a SOCKS 4/4A/5 client must send and conclude for given proxy replies,
// worked out from the wire formats alone, for the fuzzer to compare against.
#pragma once

#include <cstdint>
#include <string>

#include "net/tcp/IdSocksInfo.h"

struct TSocksExpectation {
    std::string Sent;     // every request, in order, up to the failing reply
    std::string Failure;  // the exception message; empty for success
    int32_t Consumed = 0; // reply bytes taken when the negotiation succeeds
};

struct TSocksSetup {
    TSocksVersion Version = svSocks5;
    TSocksAuthentication Authentication = saNoAuthentication;
    std::string Host;
    int32_t Port = 0;
    std::string UserID;
    std::string Password;
};

// Host must be a dotted address for SOCKS 4 (the client resolves it itself).
TSocksExpectation ExpectedSocks(const TSocksSetup& setup, const std::string& replies);
