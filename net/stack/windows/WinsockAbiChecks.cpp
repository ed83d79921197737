// Compile-time proof that the table's types are the Windows Sockets ABI of
// this build: every record, constant, error number and entry is checked against
// the system's own headers, so a mismatch cannot build.
#include <cstddef>
#include <mswsock.h>
#include <type_traits>
#include <winsock2.h>

#include "net/stack/winsock/WinsockEntries.h"
#include "net/stack/winsock/WinsockErrors.h"

namespace {

// Two records agree when they have the same size and alignment and each
// field (ours bear the Windows names) lies at the same place with the same size.
template <class TOurs, class TTheirs>
constexpr bool SameRecord = sizeof(TOurs) == sizeof(TTheirs) && alignof(TOurs) == alignof(TTheirs);
#define BQ_SAME_FIELD(Field)                                                                       \
    (offsetof(Ours, Field) == offsetof(Theirs, Field) &&                                           \
     sizeof(Ours::Field) == sizeof(Theirs::Field))
#define BQ_RECORD_CHECK(OursType, TheirsType, Fields)                                              \
    struct OursType##Check {                                                                       \
        using Ours = OursType;                                                                     \
        using Theirs = TheirsType;                                                                 \
        static_assert(SameRecord<Ours, Theirs> && (Fields), #OursType);                            \
    }

static_assert(sizeof(TSocket) == sizeof(SOCKET) && std::is_unsigned_v<TSocket>);
static_assert(IdInvalidSocketValue == INVALID_SOCKET);
static_assert(sizeof(THandle) == sizeof(HANDLE));
static_assert(sizeof(TSockAddrIn) == sizeof(sockaddr));
static_assert(Id_FD_SETSIZE == FD_SETSIZE);

BQ_RECORD_CHECK(TInAddr, in_addr, true);
BQ_RECORD_CHECK(TSockAddrIn, sockaddr_in,
                BQ_SAME_FIELD(sin_family) && BQ_SAME_FIELD(sin_port) && BQ_SAME_FIELD(sin_addr) &&
                    BQ_SAME_FIELD(sin_zero));
BQ_RECORD_CHECK(TFDSet, fd_set, BQ_SAME_FIELD(fd_count) && BQ_SAME_FIELD(fd_array));
BQ_RECORD_CHECK(TTimeVal, timeval, BQ_SAME_FIELD(tv_sec) && BQ_SAME_FIELD(tv_usec));
BQ_RECORD_CHECK(TLinger, linger, BQ_SAME_FIELD(l_onoff) && BQ_SAME_FIELD(l_linger));
BQ_RECORD_CHECK(THostEnt, hostent,
                BQ_SAME_FIELD(h_name) && BQ_SAME_FIELD(h_aliases) && BQ_SAME_FIELD(h_addrtype) &&
                    BQ_SAME_FIELD(h_length) && BQ_SAME_FIELD(h_addr_list));
BQ_RECORD_CHECK(TServEnt, servent,
                BQ_SAME_FIELD(s_name) && BQ_SAME_FIELD(s_aliases) && BQ_SAME_FIELD(s_port) &&
                    BQ_SAME_FIELD(s_proto));
BQ_RECORD_CHECK(TProtoEnt, protoent,
                BQ_SAME_FIELD(p_name) && BQ_SAME_FIELD(p_aliases) && BQ_SAME_FIELD(p_proto));
BQ_RECORD_CHECK(TWSAData, WSADATA,
                BQ_SAME_FIELD(wVersion) && BQ_SAME_FIELD(wHighVersion) &&
                    BQ_SAME_FIELD(szDescription) && BQ_SAME_FIELD(szSystemStatus) &&
                    BQ_SAME_FIELD(iMaxSockets) && BQ_SAME_FIELD(iMaxUdpDg) &&
                    BQ_SAME_FIELD(lpVendorInfo));

static_assert(Id_WSADESCRIPTION_LEN == WSADESCRIPTION_LEN);
static_assert(Id_WSASYS_STATUS_LEN == WSASYS_STATUS_LEN);

static_assert(Id_PF_INET == PF_INET && Id_PF_INET == AF_INET);
static_assert(Id_SOCK_STREAM == SOCK_STREAM && Id_SOCK_DGRAM == SOCK_DGRAM);
static_assert(Id_IPPROTO_TCP == IPPROTO_TCP && Id_TCP_NODELAY == TCP_NODELAY);
static_assert(Id_SD_RECEIVE == SD_RECEIVE && Id_SD_SEND == SD_SEND && Id_SD_BOTH == SD_BOTH);
static_assert(Id_SOL_SOCKET == SOL_SOCKET);
static_assert(Id_SO_REUSEADDR == SO_REUSEADDR && Id_SO_KEEPALIVE == SO_KEEPALIVE);
static_assert(Id_SO_BROADCAST == SO_BROADCAST && Id_SO_LINGER == SO_LINGER);
static_assert(Id_SO_OOBINLINE == SO_OOBINLINE && Id_SO_SNDBUF == SO_SNDBUF);
static_assert(Id_SO_RCVBUF == SO_RCVBUF && Id_SO_ERROR == SO_ERROR && Id_SO_TYPE == SO_TYPE);
static_assert(Id_INADDR_NONE == INADDR_NONE);

static_assert(Id_WSAEINTR == WSAEINTR);
static_assert(Id_WSAEBADF == WSAEBADF);
static_assert(Id_WSAEACCES == WSAEACCES);
static_assert(Id_WSAEFAULT == WSAEFAULT);
static_assert(Id_WSAEINVAL == WSAEINVAL);
static_assert(Id_WSAEMFILE == WSAEMFILE);
static_assert(Id_WSAEWOULDBLOCK == WSAEWOULDBLOCK);
static_assert(Id_WSAEINPROGRESS == WSAEINPROGRESS);
static_assert(Id_WSAEALREADY == WSAEALREADY);
static_assert(Id_WSAENOTSOCK == WSAENOTSOCK);
static_assert(Id_WSAEDESTADDRREQ == WSAEDESTADDRREQ);
static_assert(Id_WSAEMSGSIZE == WSAEMSGSIZE);
static_assert(Id_WSAEPROTOTYPE == WSAEPROTOTYPE);
static_assert(Id_WSAENOPROTOOPT == WSAENOPROTOOPT);
static_assert(Id_WSAEPROTONOSUPPORT == WSAEPROTONOSUPPORT);
static_assert(Id_WSAESOCKTNOSUPPORT == WSAESOCKTNOSUPPORT);
static_assert(Id_WSAEOPNOTSUPP == WSAEOPNOTSUPP);
static_assert(Id_WSAEPFNOSUPPORT == WSAEPFNOSUPPORT);
static_assert(Id_WSAEAFNOSUPPORT == WSAEAFNOSUPPORT);
static_assert(Id_WSAEADDRINUSE == WSAEADDRINUSE);
static_assert(Id_WSAEADDRNOTAVAIL == WSAEADDRNOTAVAIL);
static_assert(Id_WSAENETDOWN == WSAENETDOWN);
static_assert(Id_WSAENETUNREACH == WSAENETUNREACH);
static_assert(Id_WSAENETRESET == WSAENETRESET);
static_assert(Id_WSAECONNABORTED == WSAECONNABORTED);
static_assert(Id_WSAECONNRESET == WSAECONNRESET);
static_assert(Id_WSAENOBUFS == WSAENOBUFS);
static_assert(Id_WSAEISCONN == WSAEISCONN);
static_assert(Id_WSAENOTCONN == WSAENOTCONN);
static_assert(Id_WSAESHUTDOWN == WSAESHUTDOWN);
static_assert(Id_WSAETOOMANYREFS == WSAETOOMANYREFS);
static_assert(Id_WSAETIMEDOUT == WSAETIMEDOUT);
static_assert(Id_WSAECONNREFUSED == WSAECONNREFUSED);
static_assert(Id_WSAELOOP == WSAELOOP);
static_assert(Id_WSAENAMETOOLONG == WSAENAMETOOLONG);
static_assert(Id_WSAEHOSTDOWN == WSAEHOSTDOWN);
static_assert(Id_WSAEHOSTUNREACH == WSAEHOSTUNREACH);
static_assert(Id_WSAENOTEMPTY == WSAENOTEMPTY);
static_assert(Id_WSAVERNOTSUPPORTED == WSAVERNOTSUPPORTED);
static_assert(Id_WSASYSCALLFAILURE == WSASYSCALLFAILURE);
static_assert(Id_WSAHOST_NOT_FOUND == WSAHOST_NOT_FOUND);
static_assert(Id_WSATRY_AGAIN == WSATRY_AGAIN);
static_assert(Id_WSANO_RECOVERY == WSANO_RECOVERY);
static_assert(Id_WSANO_DATA == WSANO_DATA);

// An entry agrees with the exported function when both take as many
// arguments, each of the same size, and give a result of the same size; the
// records behind the pointers are checked above.
template <class T> constexpr size_t SizeOf = sizeof(T);
template <> constexpr size_t SizeOf<void> = 0;

template <class TOurs, class TTheirs> struct TSameShape : std::false_type {};
template <class TOurResult, class... TOurs, class TTheirResult, class... TTheirs>
struct TSameShape<TOurResult (*)(TOurs...), TTheirResult (*)(TTheirs...)>
    : std::bool_constant<sizeof...(TOurs) == sizeof...(TTheirs) &&
                         SizeOf<TOurResult> == SizeOf<TTheirResult> &&
                         ((sizeof(TOurs) == sizeof(TTheirs)) && ...)> {};

#define BQ_SAME_SHAPE(Entry, Function)                                                             \
    static_assert(TSameShape<decltype(TWinsockEntries::Entry), decltype(&::Function)>::value,      \
                  #Entry)

BQ_SAME_SHAPE(accept, accept);
BQ_SAME_SHAPE(bind, bind);
BQ_SAME_SHAPE(closesocket, closesocket);
BQ_SAME_SHAPE(connect, connect);
BQ_SAME_SHAPE(ioctlsocket, ioctlsocket);
BQ_SAME_SHAPE(getpeername, getpeername);
BQ_SAME_SHAPE(getsockname, getsockname);
BQ_SAME_SHAPE(getsockopt, getsockopt);
BQ_SAME_SHAPE(htonl, htonl);
BQ_SAME_SHAPE(htons, htons);
BQ_SAME_SHAPE(inet_addr, inet_addr);
BQ_SAME_SHAPE(inet_ntoa, inet_ntoa);
BQ_SAME_SHAPE(listen, listen);
BQ_SAME_SHAPE(ntohl, ntohl);
BQ_SAME_SHAPE(ntohs, ntohs);
BQ_SAME_SHAPE(recv, recv);
BQ_SAME_SHAPE(recvfrom, recvfrom);
BQ_SAME_SHAPE(select, select);
BQ_SAME_SHAPE(send, send);
BQ_SAME_SHAPE(sendto, sendto);
BQ_SAME_SHAPE(setsockopt, setsockopt);
BQ_SAME_SHAPE(shutdown, shutdown);
BQ_SAME_SHAPE(socket, socket);
BQ_SAME_SHAPE(gethostbyaddr, gethostbyaddr);
BQ_SAME_SHAPE(gethostbyname, gethostbyname);
BQ_SAME_SHAPE(gethostname, gethostname);
BQ_SAME_SHAPE(getservbyport, getservbyport);
BQ_SAME_SHAPE(getservbyname, getservbyname);
BQ_SAME_SHAPE(getprotobynumber, getprotobynumber);
BQ_SAME_SHAPE(getprotobyname, getprotobyname);
BQ_SAME_SHAPE(WSAStartup, WSAStartup);
BQ_SAME_SHAPE(WSACleanup, WSACleanup);
BQ_SAME_SHAPE(WSASetLastError, WSASetLastError);
BQ_SAME_SHAPE(WSAGetLastError, WSAGetLastError);
BQ_SAME_SHAPE(WSAIsBlocking, WSAIsBlocking);
BQ_SAME_SHAPE(WSAUnhookBlockingHook, WSAUnhookBlockingHook);
BQ_SAME_SHAPE(WSASetBlockingHook, WSASetBlockingHook);
BQ_SAME_SHAPE(WSACancelBlockingCall, WSACancelBlockingCall);
BQ_SAME_SHAPE(WSAAsyncGetServByName, WSAAsyncGetServByName);
BQ_SAME_SHAPE(WSAAsyncGetServByPort, WSAAsyncGetServByPort);
BQ_SAME_SHAPE(WSAAsyncGetProtoByName, WSAAsyncGetProtoByName);
BQ_SAME_SHAPE(WSAAsyncGetProtoByNumber, WSAAsyncGetProtoByNumber);
BQ_SAME_SHAPE(WSAAsyncGetHostByName, WSAAsyncGetHostByName);
BQ_SAME_SHAPE(WSAAsyncGetHostByAddr, WSAAsyncGetHostByAddr);
BQ_SAME_SHAPE(WSACancelAsyncRequest, WSACancelAsyncRequest);
BQ_SAME_SHAPE(WSAAsyncSelect, WSAAsyncSelect);
BQ_SAME_SHAPE(WSARecvEx, WSARecvEx);
BQ_SAME_SHAPE(WSAFDIsSet, __WSAFDIsSet);
BQ_SAME_SHAPE(TransmitFile, TransmitFile);
BQ_SAME_SHAPE(AcceptEx, AcceptEx);
BQ_SAME_SHAPE(GetAcceptExSockaddrs, GetAcceptExSockaddrs);

} // namespace
