// Telnet byte values the session knows: commands of RFC 854, the options it
// negotiates (RFC 857 echo, RFC 858 suppress go-ahead, RFC 1091 terminal type,
// RFC 885 end of record, RFC 1073 window size, RFC 2941 authentication) and the
// terminal-type verbs. A leaf header: the gateway simulator's server side uses it too.
#pragma once

#include <cstdint>

constexpr uint8_t TN_IAC = 255; // interpret as command
constexpr uint8_t TN_DONT = 254;
constexpr uint8_t TN_DO = 253;
constexpr uint8_t TN_WONT = 252;
constexpr uint8_t TN_WILL = 251;
constexpr uint8_t TN_SB = 250;  // subnegotiation begin
constexpr uint8_t TN_SE = 240;  // subnegotiation end
constexpr uint8_t TN_EOR = 239; // end of record, as a command

constexpr uint8_t TNO_ECHO = 1;
constexpr uint8_t TNO_SGA = 3;
constexpr uint8_t TNO_TERMTYPE = 24;
constexpr uint8_t TNO_EOR = 25;
constexpr uint8_t TNO_NAWS = 31;
constexpr uint8_t TNO_AUTHENTICATION = 37;

constexpr uint8_t TNS_IS = 0;   // terminal-type IS
constexpr uint8_t TNS_SEND = 1; // terminal-type SEND
