// Building SOCKS requests and reading SOCKS reply codes, byte for byte.
#include "net/tcp/SocksMessages.h"

#include <algorithm>
#include <cstring>

#include "net/stack/IdException.h"

namespace {

constexpr size_t MaxFieldLength = 255;

void AppendPort(std::string& message, int32_t port) {
    const auto value = static_cast<uint16_t>(port);
    message += static_cast<char>(value >> 8);
    message += static_cast<char>(value & 0xFF);
}

// A one-byte length and the bytes; longer fields are cut at 255 bytes.
void AppendCounted(std::string& message, const std::string& field) {
    const std::string cut = field.substr(0, MaxFieldLength);
    message += static_cast<char>(cut.size());
    message += cut;
}

// The user id is zero-terminated on the wire, so it ends at its first zero byte.
std::string Socks4UserId(const std::string& userId) {
    return userId.substr(0, std::min(userId.find('\0'), MaxFieldLength));
}

std::string Socks4Head(int32_t port, uint32_t addressNetworkOrder, const std::string& userId) {
    // byte version=4, byte command=1 (connect), uint16 port, uint32 address,
    // user id, byte 0
    std::string message{4, 1};
    AppendPort(message, port);
    char address[4];
    std::memcpy(address, &addressNetworkOrder, sizeof address);
    message.append(address, sizeof address);
    message += Socks4UserId(userId);
    message += '\0';
    return message;
}

} // namespace

std::string Socks4Request(int32_t port, uint32_t addressNetworkOrder, const std::string& userId) {
    return Socks4Head(port, addressNetworkOrder, userId);
}

std::string Socks4ARequest(int32_t port, const std::string& userId, const std::string& host) {
    // A zero byte would end the name early and leave the rest to be read as data.
    if (host.find('\0') != std::string::npos)
        throw EIdSocksError("Host name contains a zero byte.");
    // the SOCKS 4 request to 0.0.0.1, then host, byte 0
    const uint8_t nameMarker[4] = {0, 0, 0, 1};
    uint32_t address = 0;
    std::memcpy(&address, nameMarker, sizeof address);
    std::string message = Socks4Head(port, address, userId);
    message += host;
    message += '\0';
    return message;
}

void CheckSocks4ReplyCode(uint8_t code) {
    // reply: byte version=0, byte code, uint16 port, uint32 address
    switch (code) {
    case 90:
        return;
    case 91:
        throw EIdSocksRequestFailed();
    case 92:
        throw EIdSocksRequestServerFailed();
    case 93:
        throw EIdSocksRequestIdentFailed();
    default:
        throw EIdSocksUnknownError();
    }
}

uint8_t Socks5MethodFor(TSocksAuthentication authentication) {
    return authentication == saUsernamePassword ? 2 : 0;
}

std::string Socks5Greeting(TSocksAuthentication authentication) {
    // byte version=5, byte method count=1, byte method (RFC 1928 section 3)
    return std::string{5, 1, static_cast<char>(Socks5MethodFor(authentication))};
}

void CheckSocks5MethodReply(uint8_t offered, uint8_t chosen) {
    // reply: byte version=5, byte chosen method (255: none acceptable)
    if (chosen != offered || chosen == 0xFF) throw EIdSocksAuthMethodError();
}

std::string Socks5AuthRequest(const std::string& user, const std::string& password) {
    // byte version=1, byte ulen, user, byte plen, password (RFC 1929 section 2)
    std::string message{1};
    AppendCounted(message, user);
    AppendCounted(message, password);
    return message;
}

void CheckSocks5AuthStatus(uint8_t status) {
    // reply: byte version=1, byte status (0 = success)
    if (status != 0) throw EIdSocksAuthError();
}

std::string Socks5ConnectRequest(const std::string& host, int32_t port) {
    // Cutting the name would connect somewhere else.
    if (host.size() > MaxFieldLength) throw EIdSocksError("Host name longer than 255 bytes.");
    // byte version=5, byte command=1 (connect), byte reserved=0, byte address
    // type=3 (domain name), byte length, name, uint16 port (RFC 1928 section 4)
    std::string message{5, 1, 0, 3};
    AppendCounted(message, host);
    AppendPort(message, port);
    return message;
}

void CheckSocks5ReplyCode(uint8_t code) {
    // reply: byte version=5, byte code, byte reserved, byte address type,
    // bound address, uint16 port (RFC 1928 section 6)
    switch (code) {
    case 0:
        return;
    case 1:
        throw EIdSocksServerGeneralError();
    case 2:
        throw EIdSocksServerPermissionError();
    case 3:
        throw EIdSocksServerNetUnreachableError();
    case 4:
        throw EIdSocksServerHostUnreachableError();
    case 5:
        throw EIdSocksServerConnectionRefusedError();
    case 6:
        throw EIdSocksServerTTLExpiredError();
    case 7:
        throw EIdSocksServerCommandError();
    case 8:
        throw EIdSocksServerAddressError();
    default:
        throw EIdSocksUnknownError();
    }
}

int32_t Socks5ReplyRemainder(const uint8_t (&head)[Socks5ReplyHeadSize]) {
    // head[4] is the first byte of the bound address; the port follows it.
    switch (head[3]) {
    case 1:
        return 3 + 2; // IPv4: 3 more address bytes
    case 3:
        return head[4] + 2; // domain name: head[4] is its length
    case 4:
        return 15 + 2; // IPv6: 15 more address bytes
    default:
        return 2;
    }
}
