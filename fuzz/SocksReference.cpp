// SOCKS 4 and 4A (NEC protocol notes), SOCKS 5 (RFC 1928) with user name and
// password (RFC 1929): requests, reply lengths and the client's fixed messages.
#include "fuzz/SocksReference.h"

#include <arpa/inet.h>

#include <array>

namespace {

const char* const ClosedMessage = "Connection Closed Gracefully.";
const char* const NoResponseMessage = "Socks server did not respond.";

const char* Socks4Failure(uint8_t code) {
    switch (code) {
    case 91:
        return "Request rejected or failed.";
    case 92:
        return "Request rejected because SOCKS server cannot connect.";
    case 93:
        return "Request rejected because the client program and identd report different user-ids.";
    default:
        return "Unknown socks error.";
    }
}

const std::array<const char*, 9> Socks5Failures{"",
                                                "General SOCKS server failure.",
                                                "Connection not allowed by ruleset.",
                                                "Network unreachable.",
                                                "Host unreachable.",
                                                "Connection refused.",
                                                "TTL expired.",
                                                "Command not supported.",
                                                "Address type not supported."};

std::string PortBytes(int32_t port) {
    return {static_cast<char>((port >> 8) & 0xFF), static_cast<char>(port & 0xFF)};
}

uint8_t At(const std::string& replies, size_t index) {
    return static_cast<uint8_t>(replies[index]);
}

TSocksExpectation Socks4(const TSocksSetup& setup, const std::string& replies) {
    TSocksExpectation expected;
    // VN=4 CD=1 DSTPORT DSTIP USERID NUL [HOST NUL]
    in_addr target{};
    if (setup.Version == svSocks4)
        inet_pton(AF_INET, setup.Host.c_str(), &target);
    else
        target.s_addr = htonl(1);
    expected.Sent = std::string{4, 1} + PortBytes(setup.Port) +
                    std::string(reinterpret_cast<const char*>(&target.s_addr), 4) + setup.UserID +
                    '\0';
    if (setup.Version == svSocks4A) expected.Sent += setup.Host + '\0';
    // VN CD DSTPORT DSTIP: 8 bytes, CD 90 granted
    if (replies.size() < 8)
        expected.Failure = ClosedMessage;
    else if (At(replies, 1) != 90)
        expected.Failure = Socks4Failure(At(replies, 1));
    else
        expected.Consumed = 8;
    return expected;
}

TSocksExpectation Socks5(const TSocksSetup& setup, const std::string& replies) {
    TSocksExpectation expected;
    const char method = setup.Authentication == saUsernamePassword ? 2 : 0;
    expected.Sent = std::string{5, 1, method};
    if (replies.size() < 2) return {expected.Sent, NoResponseMessage, 0};
    if (At(replies, 1) != method) return {expected.Sent, "Invalid socks authentication method.", 0};
    size_t at = 2;
    if (method == 2) {
        expected.Sent += std::string{1, static_cast<char>(setup.UserID.size())} + setup.UserID +
                         static_cast<char>(setup.Password.size()) + setup.Password;
        if (replies.size() < 4) return {expected.Sent, NoResponseMessage, 0};
        if (At(replies, 3) != 0) return {expected.Sent, "Authentication error to socks server.", 0};
        at = 4;
    }
    // VER CMD=1 RSV ATYP=3 (name) LEN NAME PORT
    expected.Sent += std::string{5, 1, 0, 3, static_cast<char>(setup.Host.size())} + setup.Host +
                     PortBytes(setup.Port);
    // VER REP RSV ATYP BND.ADDR BND.PORT
    if (replies.size() < at + 5) return {expected.Sent, NoResponseMessage, 0};
    const uint8_t code = At(replies, at + 1);
    if (code != 0)
        return {expected.Sent,
                code < Socks5Failures.size() ? Socks5Failures[code] : "Unknown socks error.", 0};
    size_t addressLength = 1; // an unknown type: only the byte already read
    switch (At(replies, at + 3)) {
    case 1:
        addressLength = 4;
        break;
    case 3:
        addressLength = 1 + At(replies, at + 4);
        break;
    case 4:
        addressLength = 16;
        break;
    }
    const size_t length = at + 4 + addressLength + 2;
    if (replies.size() < length) return {expected.Sent, NoResponseMessage, 0};
    return {expected.Sent, "", static_cast<int32_t>(length)};
}

} // namespace

TSocksExpectation ExpectedSocks(const TSocksSetup& setup, const std::string& replies) {
    return setup.Version == svSocks5 ? Socks5(setup, replies) : Socks4(setup, replies);
}
