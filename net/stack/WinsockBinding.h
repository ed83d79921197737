// The table of Windows Sockets 1.1 entry points through which every socket
// call of the stack goes, and the loading and unloading of the library.
#pragma once

#include <cstdint>

#include "net/stack/WinsockTypes.h"

// One pointer per library function, in the library's storage order. Each has
// the arguments and result of the Windows function of the same name; an entry
// that nothing calls may be null.
struct TWinsockEntries {
    TSocket (*accept)(TSocket s, TSockAddrIn* addr, int* addrlen);
    int (*bind)(TSocket s, const TSockAddrIn* name, int namelen);
    int (*closesocket)(TSocket s);
    int (*connect)(TSocket s, const TSockAddrIn* name, int namelen);
    int (*ioctlsocket)(TSocket s, int32_t cmd, uint32_t* argp);
    int (*getpeername)(TSocket s, TSockAddrIn* name, int* namelen);
    int (*getsockname)(TSocket s, TSockAddrIn* name, int* namelen);
    int (*getsockopt)(TSocket s, int level, int optname, char* optval, int* optlen);
    uint32_t (*htonl)(uint32_t hostlong);
    uint16_t (*htons)(uint16_t hostshort);
    uint32_t (*inet_addr)(const char* cp);
    char* (*inet_ntoa)(TInAddr in);
    int (*listen)(TSocket s, int backlog);
    uint32_t (*ntohl)(uint32_t netlong);
    uint16_t (*ntohs)(uint16_t netshort);
    int (*recv)(TSocket s, char* buf, int len, int flags);
    int (*recvfrom)(TSocket s, char* buf, int len, int flags, TSockAddrIn* from, int* fromlen);
    int (*select)(int nfds, TFDSet* readfds, TFDSet* writefds, TFDSet* exceptfds,
                  const TTimeVal* timeout);
    int (*send)(TSocket s, const char* buf, int len, int flags);
    int (*sendto)(TSocket s, const char* buf, int len, int flags, const TSockAddrIn* to, int tolen);
    int (*setsockopt)(TSocket s, int level, int optname, const char* optval, int optlen);
    int (*shutdown)(TSocket s, int how);
    TSocket (*socket)(int af, int type, int protocol);
    THostEnt* (*gethostbyaddr)(const char* addr, int len, int type);
    THostEnt* (*gethostbyname)(const char* name);
    int (*gethostname)(char* name, int namelen);
    TServEnt* (*getservbyport)(int port, const char* proto);
    TServEnt* (*getservbyname)(const char* name, const char* proto);
    TProtoEnt* (*getprotobynumber)(int proto);
    TProtoEnt* (*getprotobyname)(const char* name);
    int (*WSAStartup)(uint16_t wVersionRequired, TWSAData* lpWSAData);
    int (*WSACleanup)();
    void (*WSASetLastError)(int iError);
    int (*WSAGetLastError)();
    int32_t (*WSAIsBlocking)();
    int (*WSAUnhookBlockingHook)();
    void* (*WSASetBlockingHook)(void* lpBlockFunc);
    int (*WSACancelBlockingCall)();
    THandle (*WSAAsyncGetServByName)(THandle hWnd, uint32_t wMsg, const char* name,
                                     const char* proto, char* buf, int buflen);
    THandle (*WSAAsyncGetServByPort)(THandle hWnd, uint32_t wMsg, int port, const char* proto,
                                     char* buf, int buflen);
    THandle (*WSAAsyncGetProtoByName)(THandle hWnd, uint32_t wMsg, const char* name, char* buf,
                                      int buflen);
    THandle (*WSAAsyncGetProtoByNumber)(THandle hWnd, uint32_t wMsg, int number, char* buf,
                                        int buflen);
    THandle (*WSAAsyncGetHostByName)(THandle hWnd, uint32_t wMsg, const char* name, char* buf,
                                     int buflen);
    THandle (*WSAAsyncGetHostByAddr)(THandle hWnd, uint32_t wMsg, const char* addr, int len,
                                     int type, char* buf, int buflen);
    int (*WSACancelAsyncRequest)(THandle hAsyncTaskHandle);
    int (*WSAAsyncSelect)(TSocket s, THandle hWnd, uint32_t wMsg, int32_t lEvent);
    int (*WSARecvEx)(TSocket s, char* buf, int len, int* flags);
    // __WSAFDIsSet; the leading underscores are reserved in C++.
    int (*WSAFDIsSet)(TSocket s, TFDSet* set);
    int32_t (*TransmitFile)(TSocket hSocket, THandle hFile, uint32_t nNumberOfBytesToWrite,
                            uint32_t nNumberOfBytesPerSend, void* lpOverlapped,
                            void* lpTransmitBuffers, uint32_t dwFlags);
    int32_t (*AcceptEx)(TSocket sListenSocket, TSocket sAcceptSocket, void* lpOutputBuffer,
                        uint32_t dwReceiveDataLength, uint32_t dwLocalAddressLength,
                        uint32_t dwRemoteAddressLength, uint32_t* lpdwBytesReceived,
                        void* lpOverlapped);
    void (*GetAcceptExSockaddrs)(void* lpOutputBuffer, uint32_t dwReceiveDataLength,
                                 uint32_t dwLocalAddressLength, uint32_t dwRemoteAddressLength,
                                 TSockAddrIn** LocalSockaddr, int* LocalSockaddrLength,
                                 TSockAddrIn** RemoteSockaddr, int* RemoteSockaddrLength);
};
static_assert(sizeof(TWinsockEntries) == 51 * sizeof(void*));

inline constexpr const char* SocketsLibraryName = "wsock32.dll";

// The filled table; read without a lock by every thread once loaded.
extern TWinsockEntries Winsock;

// Module handle of the loaded library, 0 while none is loaded.
extern uintptr_t SocketsLibraryHandle;

// Finds the library by name and gives its module handle, 0 when it is missing.
// The default gives the POSIX sockets layer; tests replace it to simulate a
// missing library.
using TSocketsLibraryOpener = uintptr_t (*)(const char* libraryName);
extern TSocketsLibraryOpener SocketsLibraryOpener;

// EIdStackCanNotLoadWinsock when the library is missing; the table is then
// left as it was.
void LoadSocketsLibrary();
// Forgets the library handle; the entries stay as they are.
void UnloadSocketsLibrary();
