// The adapters that give POSIX sockets the behaviour of the Windows Sockets 1.1
// functions of the same names: -1 for failure, the Windows error number in the
// calling thread's last error, Windows constants in the arguments.
#pragma once

#include <cstdint>

#include "net/stack/winsock/WinsockTypes.h"

TSocket PosixAccept(TSocket s, TSockAddrIn* addr, int* addrlen);
int PosixBind(TSocket s, const TSockAddrIn* name, int namelen);
int PosixCloseSocket(TSocket s);
int PosixConnect(TSocket s, const TSockAddrIn* name, int namelen);
int PosixGetPeerName(TSocket s, TSockAddrIn* name, int* namelen);
int PosixGetSockName(TSocket s, TSockAddrIn* name, int* namelen);
int PosixListen(TSocket s, int backlog);
int PosixRecv(TSocket s, char* buf, int len, int flags);
int PosixRecvFrom(TSocket s, char* buf, int len, int flags, TSockAddrIn* from, int* fromlen);
int PosixSend(TSocket s, const char* buf, int len, int flags);
int PosixSendTo(TSocket s, const char* buf, int len, int flags, const TSockAddrIn* to, int tolen);
int PosixShutdown(TSocket s, int how);
TSocket PosixSocket(int af, int type, int protocol);

int PosixSetSockOpt(TSocket s, int level, int optname, const char* optval, int optlen);
int PosixGetSockOpt(TSocket s, int level, int optname, char* optval, int* optlen);

// select over poll(2): no FD_SETSIZE limit on descriptor values.
int PosixSelect(int nfds, TFDSet* readfds, TFDSet* writefds, TFDSet* exceptfds,
                const TTimeVal* timeout);
int PosixFDIsSet(TSocket s, TFDSet* set);

// The resolver entries keep their results in storage of the calling thread,
// valid until that thread's next call of the same kind.
THostEnt* PosixGetHostByName(const char* name);
THostEnt* PosixGetHostByAddr(const char* addr, int len, int type);
int PosixGetHostName(char* name, int namelen);
TServEnt* PosixGetServByName(const char* name, const char* proto);
TServEnt* PosixGetServByPort(int port, const char* proto);
uint32_t PosixInetAddr(const char* cp);
char* PosixInetNtoa(TInAddr in);

// TransmitFile over sendfile(2); hFile is a descriptor open for reading.
int32_t PosixTransmitFile(TSocket hSocket, THandle hFile, uint32_t nNumberOfBytesToWrite,
                          uint32_t nNumberOfBytesPerSend, void* lpOverlapped,
                          void* lpTransmitBuffers, uint32_t dwFlags);
