// The SOCKS 4, 4A (no RFC; the NEC protocol notes) and 5 (RFC 1928, RFC 1929)
// messages a client sends and the checks of the replies it reads: pure
// functions over bytes, no socket.
#pragma once

#include <cstdint>
#include <string>

#include "net/tcp/IdSocksInfo.h"

constexpr int32_t Socks4ReplySize = 8;
constexpr int32_t Socks5MethodReplySize = 2;
constexpr int32_t Socks5AuthReplySize = 2;
// The fixed part read first: VER REP RSV ATYP and the first address byte.
constexpr int32_t Socks5ReplyHeadSize = 5;

// SOCKS 4 CONNECT to an IPv4 address (network order, as its bytes in memory).
std::string Socks4Request(int32_t port, uint32_t addressNetworkOrder, const std::string& userId);
// SOCKS 4A CONNECT by name: the address 0.0.0.1 and the host after the user id.
std::string Socks4ARequest(int32_t port, const std::string& userId, const std::string& host);
// Raises the SOCKS error for a reply code other than 90 (granted).
void CheckSocks4ReplyCode(uint8_t code);

// RFC 1928 method numbers: 0 no authentication, 2 user name/password.
uint8_t Socks5MethodFor(TSocksAuthentication authentication);
std::string Socks5Greeting(TSocksAuthentication authentication);
void CheckSocks5MethodReply(uint8_t offered, uint8_t chosen);
std::string Socks5AuthRequest(const std::string& user, const std::string& password);
void CheckSocks5AuthStatus(uint8_t status);
std::string Socks5ConnectRequest(const std::string& host, int32_t port);
// Raises the SOCKS error for a reply code other than 0 (succeeded).
void CheckSocks5ReplyCode(uint8_t code);
// How many reply bytes follow the 5-byte head, by its address type.
int32_t Socks5ReplyRemainder(const uint8_t (&head)[Socks5ReplyHeadSize]);
