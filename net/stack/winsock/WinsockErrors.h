// The Windows Sockets error numbers: 10000 + the classic BSD number for socket
// errors, 11001 up for the resolver. Code compares these names, never numbers.
#pragma once

#include <cstdint>

constexpr int32_t Id_WSABASEERR = 10000;
constexpr int32_t Id_WSAEINTR = 10004;
constexpr int32_t Id_WSAEBADF = 10009;
constexpr int32_t Id_WSAEACCES = 10013;
constexpr int32_t Id_WSAEFAULT = 10014;
constexpr int32_t Id_WSAEINVAL = 10022;
constexpr int32_t Id_WSAEMFILE = 10024;
constexpr int32_t Id_WSAEWOULDBLOCK = 10035;
constexpr int32_t Id_WSAEINPROGRESS = 10036;
constexpr int32_t Id_WSAEALREADY = 10037;
constexpr int32_t Id_WSAENOTSOCK = 10038;
constexpr int32_t Id_WSAEDESTADDRREQ = 10039;
constexpr int32_t Id_WSAEMSGSIZE = 10040;
constexpr int32_t Id_WSAEPROTOTYPE = 10041;
constexpr int32_t Id_WSAENOPROTOOPT = 10042;
constexpr int32_t Id_WSAEPROTONOSUPPORT = 10043;
constexpr int32_t Id_WSAESOCKTNOSUPPORT = 10044;
constexpr int32_t Id_WSAEOPNOTSUPP = 10045;
constexpr int32_t Id_WSAEPFNOSUPPORT = 10046;
constexpr int32_t Id_WSAEAFNOSUPPORT = 10047;
constexpr int32_t Id_WSAEADDRINUSE = 10048;
constexpr int32_t Id_WSAEADDRNOTAVAIL = 10049;
constexpr int32_t Id_WSAENETDOWN = 10050;
constexpr int32_t Id_WSAENETUNREACH = 10051;
constexpr int32_t Id_WSAENETRESET = 10052;
constexpr int32_t Id_WSAECONNABORTED = 10053;
constexpr int32_t Id_WSAECONNRESET = 10054;
constexpr int32_t Id_WSAENOBUFS = 10055;
constexpr int32_t Id_WSAEISCONN = 10056;
constexpr int32_t Id_WSAENOTCONN = 10057;
constexpr int32_t Id_WSAESHUTDOWN = 10058;
constexpr int32_t Id_WSAETOOMANYREFS = 10059;
constexpr int32_t Id_WSAETIMEDOUT = 10060;
constexpr int32_t Id_WSAECONNREFUSED = 10061;
constexpr int32_t Id_WSAELOOP = 10062;
constexpr int32_t Id_WSAENAMETOOLONG = 10063;
constexpr int32_t Id_WSAEHOSTDOWN = 10064;
constexpr int32_t Id_WSAEHOSTUNREACH = 10065;
constexpr int32_t Id_WSAENOTEMPTY = 10066;
constexpr int32_t Id_WSAVERNOTSUPPORTED = 10092;
// A system call that should not fail did; given for errno values that have no
// Windows Sockets counterpart.
constexpr int32_t Id_WSASYSCALLFAILURE = 10107;

constexpr int32_t Id_WSAHOST_NOT_FOUND = 11001;
constexpr int32_t Id_WSATRY_AGAIN = 11002;
constexpr int32_t Id_WSANO_RECOVERY = 11003;
constexpr int32_t Id_WSANO_DATA = 11004;
