// The Windows Sockets 1.1 records that the entry-point table passes, laid out
// as the Windows library of the build's word size lays them out. A leaf: every
// layer of the stack shares these types.
#pragma once

#include <cstdint>

// The calling convention of the library's functions: __stdcall on 32-bit
// Windows, the one x64 convention on 64-bit Windows, the C one elsewhere.
#if defined(_WIN32) && !defined(_WIN64)
#define BQ_WSAAPI __stdcall
#else
#define BQ_WSAAPI
#endif

#ifdef _WIN32
// SOCKET: an unsigned pointer-sized number; INVALID_SOCKET is all ones.
using TSocket = uintptr_t;
constexpr TSocket IdInvalidSocketValue = ~TSocket{0};
#else
// A POSIX descriptor, -1 for none.
using TSocket = int32_t;
constexpr TSocket IdInvalidSocketValue = -1;
#endif

// A HANDLE or HWND: pointer-sized. A file handle is a POSIX descriptor on
// POSIX systems.
using THandle = intptr_t;

constexpr int Id_PF_INET = 2;
constexpr int Id_SOCK_STREAM = 1;
constexpr int Id_SOCK_DGRAM = 2;
constexpr int Id_IPPROTO_TCP = 6;
constexpr int Id_TCP_NODELAY = 1;
constexpr int Id_SD_SEND = 1;
constexpr int Id_SD_RECEIVE = 0;
constexpr int Id_SD_BOTH = 2;
constexpr int Id_SOL_SOCKET = 0xFFFF;
constexpr int Id_SO_REUSEADDR = 0x0004;
constexpr int Id_SO_KEEPALIVE = 0x0008;
constexpr int Id_SO_BROADCAST = 0x0020;
constexpr int Id_SO_LINGER = 0x0080;
constexpr int Id_SO_OOBINLINE = 0x0100;
constexpr int Id_SO_SNDBUF = 0x1001;
constexpr int Id_SO_RCVBUF = 0x1002;
constexpr int Id_SO_ERROR = 0x1007;
constexpr int Id_SO_TYPE = 0x1008;
constexpr uint32_t Id_INADDR_NONE = 0xFFFFFFFF;
constexpr int Id_FD_SETSIZE = 64;

// struct in_addr: the address in network byte order.
struct TInAddr {
    uint32_t S_addr;
};

// struct sockaddr_in, the 16-byte IPv4 address record: family (host order),
// port (network order), address (network order), 8 zero bytes. IPv4 is the
// only family this layer knows, so it also stands for the generic sockaddr.
struct TSockAddrIn {
    int16_t sin_family;
    uint16_t sin_port;
    TInAddr sin_addr;
    char sin_zero[8];
};
static_assert(sizeof(TSockAddrIn) == 16);

// fd_set: a count followed by FD_SETSIZE socket slots, not a bit mask.
struct TFDSet {
    uint32_t fd_count;
    TSocket fd_array[Id_FD_SETSIZE];
};

// struct timeval as select takes it.
struct TTimeVal {
    int32_t tv_sec;
    int32_t tv_usec;
};

// struct linger of Windows: two 16-bit fields.
struct TLinger {
    uint16_t l_onoff;
    uint16_t l_linger;
};

// struct hostent: lists end with a null pointer; each address is h_length bytes.
struct THostEnt {
    char* h_name;
    char** h_aliases;
    int16_t h_addrtype;
    int16_t h_length;
    char** h_addr_list;
};

// struct servent (the port is in network byte order); 64-bit Windows puts the
// protocol before the port.
struct TServEnt {
    char* s_name;
    char** s_aliases;
#ifdef _WIN64
    char* s_proto;
    int16_t s_port;
#else
    int16_t s_port;
    char* s_proto;
#endif
};

struct TProtoEnt {
    char* p_name;
    char** p_aliases;
    int16_t p_proto;
};

constexpr int Id_WSADESCRIPTION_LEN = 256;
constexpr int Id_WSASYS_STATUS_LEN = 128;

// WSADATA, the start-up report of WSAStartup; 64-bit Windows puts the
// numbers and the vendor pointer before the texts.
struct TWSAData {
    uint16_t wVersion;
    uint16_t wHighVersion;
#ifdef _WIN64
    uint16_t iMaxSockets;
    uint16_t iMaxUdpDg;
    char* lpVendorInfo;
    char szDescription[Id_WSADESCRIPTION_LEN + 1];
    char szSystemStatus[Id_WSASYS_STATUS_LEN + 1];
#else
    char szDescription[Id_WSADESCRIPTION_LEN + 1];
    char szSystemStatus[Id_WSASYS_STATUS_LEN + 1];
    uint16_t iMaxSockets;
    uint16_t iMaxUdpDg;
    char* lpVendorInfo;
#endif
};
