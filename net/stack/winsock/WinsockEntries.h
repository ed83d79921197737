// The table of Windows Sockets 1.1 entry points through which every socket
// call of the stack goes; filled by the binding from the platform's library.
#pragma once

#include <cstdint>

#include "net/stack/winsock/WinsockTypes.h"

// One pointer per library function, in the library's storage order. Each has
// the arguments and result of the Windows function of the same name; an entry
// that nothing calls may be null.
struct TWinsockEntries {
    TSocket(BQ_WSAAPI* accept)(TSocket s, TSockAddrIn* addr, int* addrlen);
    int(BQ_WSAAPI* bind)(TSocket s, const TSockAddrIn* name, int namelen);
    int(BQ_WSAAPI* closesocket)(TSocket s);
    int(BQ_WSAAPI* connect)(TSocket s, const TSockAddrIn* name, int namelen);
    int(BQ_WSAAPI* ioctlsocket)(TSocket s, int32_t cmd, uint32_t* argp);
    int(BQ_WSAAPI* getpeername)(TSocket s, TSockAddrIn* name, int* namelen);
    int(BQ_WSAAPI* getsockname)(TSocket s, TSockAddrIn* name, int* namelen);
    int(BQ_WSAAPI* getsockopt)(TSocket s, int level, int optname, char* optval, int* optlen);
    uint32_t(BQ_WSAAPI* htonl)(uint32_t hostlong);
    uint16_t(BQ_WSAAPI* htons)(uint16_t hostshort);
    uint32_t(BQ_WSAAPI* inet_addr)(const char* cp);
    char*(BQ_WSAAPI* inet_ntoa)(TInAddr in);
    int(BQ_WSAAPI* listen)(TSocket s, int backlog);
    uint32_t(BQ_WSAAPI* ntohl)(uint32_t netlong);
    uint16_t(BQ_WSAAPI* ntohs)(uint16_t netshort);
    int(BQ_WSAAPI* recv)(TSocket s, char* buf, int len, int flags);
    int(BQ_WSAAPI* recvfrom)(TSocket s, char* buf, int len, int flags, TSockAddrIn* from,
                             int* fromlen);
    int(BQ_WSAAPI* select)(int nfds, TFDSet* readfds, TFDSet* writefds, TFDSet* exceptfds,
                           const TTimeVal* timeout);
    int(BQ_WSAAPI* send)(TSocket s, const char* buf, int len, int flags);
    int(BQ_WSAAPI* sendto)(TSocket s, const char* buf, int len, int flags, const TSockAddrIn* to,
                           int tolen);
    int(BQ_WSAAPI* setsockopt)(TSocket s, int level, int optname, const char* optval, int optlen);
    int(BQ_WSAAPI* shutdown)(TSocket s, int how);
    TSocket(BQ_WSAAPI* socket)(int af, int type, int protocol);
    THostEnt*(BQ_WSAAPI* gethostbyaddr)(const char* addr, int len, int type);
    THostEnt*(BQ_WSAAPI* gethostbyname)(const char* name);
    int(BQ_WSAAPI* gethostname)(char* name, int namelen);
    TServEnt*(BQ_WSAAPI* getservbyport)(int port, const char* proto);
    TServEnt*(BQ_WSAAPI* getservbyname)(const char* name, const char* proto);
    TProtoEnt*(BQ_WSAAPI* getprotobynumber)(int proto);
    TProtoEnt*(BQ_WSAAPI* getprotobyname)(const char* name);
    int(BQ_WSAAPI* WSAStartup)(uint16_t wVersionRequired, TWSAData* lpWSAData);
    int(BQ_WSAAPI* WSACleanup)();
    void(BQ_WSAAPI* WSASetLastError)(int iError);
    int(BQ_WSAAPI* WSAGetLastError)();
    int32_t(BQ_WSAAPI* WSAIsBlocking)();
    int(BQ_WSAAPI* WSAUnhookBlockingHook)();
    void*(BQ_WSAAPI* WSASetBlockingHook)(void* lpBlockFunc);
    int(BQ_WSAAPI* WSACancelBlockingCall)();
    THandle(BQ_WSAAPI* WSAAsyncGetServByName)(THandle hWnd, uint32_t wMsg, const char* name,
                                              const char* proto, char* buf, int buflen);
    THandle(BQ_WSAAPI* WSAAsyncGetServByPort)(THandle hWnd, uint32_t wMsg, int port,
                                              const char* proto, char* buf, int buflen);
    THandle(BQ_WSAAPI* WSAAsyncGetProtoByName)(THandle hWnd, uint32_t wMsg, const char* name,
                                               char* buf, int buflen);
    THandle(BQ_WSAAPI* WSAAsyncGetProtoByNumber)(THandle hWnd, uint32_t wMsg, int number, char* buf,
                                                 int buflen);
    THandle(BQ_WSAAPI* WSAAsyncGetHostByName)(THandle hWnd, uint32_t wMsg, const char* name,
                                              char* buf, int buflen);
    THandle(BQ_WSAAPI* WSAAsyncGetHostByAddr)(THandle hWnd, uint32_t wMsg, const char* addr,
                                              int len, int type, char* buf, int buflen);
    int(BQ_WSAAPI* WSACancelAsyncRequest)(THandle hAsyncTaskHandle);
    int(BQ_WSAAPI* WSAAsyncSelect)(TSocket s, THandle hWnd, uint32_t wMsg, int32_t lEvent);
    int(BQ_WSAAPI* WSARecvEx)(TSocket s, char* buf, int len, int* flags);
    // __WSAFDIsSet; the leading underscores are reserved in C++.
    int(BQ_WSAAPI* WSAFDIsSet)(TSocket s, TFDSet* set);
    int32_t(BQ_WSAAPI* TransmitFile)(TSocket hSocket, THandle hFile, uint32_t nNumberOfBytesToWrite,
                                     uint32_t nNumberOfBytesPerSend, void* lpOverlapped,
                                     void* lpTransmitBuffers, uint32_t dwFlags);
    int32_t(BQ_WSAAPI* AcceptEx)(TSocket sListenSocket, TSocket sAcceptSocket, void* lpOutputBuffer,
                                 uint32_t dwReceiveDataLength, uint32_t dwLocalAddressLength,
                                 uint32_t dwRemoteAddressLength, uint32_t* lpdwBytesReceived,
                                 void* lpOverlapped);
    void(BQ_WSAAPI* GetAcceptExSockaddrs)(void* lpOutputBuffer, uint32_t dwReceiveDataLength,
                                          uint32_t dwLocalAddressLength,
                                          uint32_t dwRemoteAddressLength,
                                          TSockAddrIn** LocalSockaddr, int* LocalSockaddrLength,
                                          TSockAddrIn** RemoteSockaddr, int* RemoteSockaddrLength);
};
static_assert(sizeof(TWinsockEntries) == 51 * sizeof(void*));
