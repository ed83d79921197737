// The one table from errno values to Windows Sockets codes, the resolver
// codes, and the per-thread last error that WSAGetLastError reads.
#include "net/stack/posix/PosixErrors.h"

#include <cerrno>
#include <iterator>
#include <netdb.h>

#include "net/stack/winsock/WinsockErrors.h"

namespace {

struct TCodeOf {
    int Native;
    int32_t Code;
};

// Linux gives EAGAIN == EWOULDBLOCK and EOPNOTSUPP == ENOTSUP; both spellings
// are listed for the systems where they differ.
constexpr TCodeOf ErrnoCodes[] = {
    {EINTR, Id_WSAEINTR},
    {EBADF, Id_WSAEBADF},
    {EACCES, Id_WSAEACCES},
    {EPERM, Id_WSAEACCES},
    {EFAULT, Id_WSAEFAULT},
    {EINVAL, Id_WSAEINVAL},
    {EMFILE, Id_WSAEMFILE},
    {ENFILE, Id_WSAEMFILE},
    {EWOULDBLOCK, Id_WSAEWOULDBLOCK},
    {EAGAIN, Id_WSAEWOULDBLOCK},
    {EINPROGRESS, Id_WSAEINPROGRESS},
    {EALREADY, Id_WSAEALREADY},
    {ENOTSOCK, Id_WSAENOTSOCK},
    {EDESTADDRREQ, Id_WSAEDESTADDRREQ},
    {EMSGSIZE, Id_WSAEMSGSIZE},
    {EPROTOTYPE, Id_WSAEPROTOTYPE},
    {ENOPROTOOPT, Id_WSAENOPROTOOPT},
    {EPROTONOSUPPORT, Id_WSAEPROTONOSUPPORT},
    {ESOCKTNOSUPPORT, Id_WSAESOCKTNOSUPPORT},
    {EOPNOTSUPP, Id_WSAEOPNOTSUPP},
    {ENOTSUP, Id_WSAEOPNOTSUPP},
    {EPFNOSUPPORT, Id_WSAEPFNOSUPPORT},
    {EAFNOSUPPORT, Id_WSAEAFNOSUPPORT},
    {EADDRINUSE, Id_WSAEADDRINUSE},
    {EADDRNOTAVAIL, Id_WSAEADDRNOTAVAIL},
    {ENETDOWN, Id_WSAENETDOWN},
    {ENETUNREACH, Id_WSAENETUNREACH},
    {ENETRESET, Id_WSAENETRESET},
    {ECONNABORTED, Id_WSAECONNABORTED},
    {ECONNRESET, Id_WSAECONNRESET},
    {ENOBUFS, Id_WSAENOBUFS},
    {ENOMEM, Id_WSAENOBUFS},
    {EISCONN, Id_WSAEISCONN},
    {ENOTCONN, Id_WSAENOTCONN},
    {ESHUTDOWN, Id_WSAESHUTDOWN},
    {EPIPE, Id_WSAESHUTDOWN}, // sending after shutdown(SHUT_WR) or the peer's reset
    {ETOOMANYREFS, Id_WSAETOOMANYREFS},
    {ETIMEDOUT, Id_WSAETIMEDOUT},
    {ECONNREFUSED, Id_WSAECONNREFUSED},
    {ELOOP, Id_WSAELOOP},
    {ENAMETOOLONG, Id_WSAENAMETOOLONG},
    {EHOSTDOWN, Id_WSAEHOSTDOWN},
    {EHOSTUNREACH, Id_WSAEHOSTUNREACH},
    {ENOTEMPTY, Id_WSAENOTEMPTY},
};

constexpr TCodeOf ResolverCodes[] = {
    {EAI_NONAME, Id_WSAHOST_NOT_FOUND}, {EAI_AGAIN, Id_WSATRY_AGAIN},
    {EAI_FAIL, Id_WSANO_RECOVERY},
#ifdef EAI_NODATA
    {EAI_NODATA, Id_WSANO_DATA},
#endif
#ifdef EAI_ADDRFAMILY
    {EAI_ADDRFAMILY, Id_WSANO_DATA}, // the host exists but has no IPv4 address
#endif
    {EAI_FAMILY, Id_WSAEAFNOSUPPORT},   {EAI_SOCKTYPE, Id_WSAESOCKTNOSUPPORT},
    {EAI_MEMORY, Id_WSAENOBUFS},
};

int32_t Lookup(const TCodeOf* begin, const TCodeOf* end, int native, int32_t otherwise) {
    for (const TCodeOf* row = begin; row != end; ++row)
        if (row->Native == native) return row->Code;
    return otherwise;
}

thread_local int32_t LastError = 0;

} // namespace

int32_t WinsockCodeOfErrno(int errnoValue) {
    return Lookup(std::begin(ErrnoCodes), std::end(ErrnoCodes), errnoValue, Id_WSASYSCALLFAILURE);
}

int32_t WinsockCodeOfResolverError(int eaiValue, int errnoValue) {
    if (eaiValue == EAI_SYSTEM) return WinsockCodeOfErrno(errnoValue);
    return Lookup(std::begin(ResolverCodes), std::end(ResolverCodes), eaiValue, Id_WSANO_RECOVERY);
}

int32_t LastSocketError() {
    return LastError;
}

void SetLastSocketError(int32_t code) {
    LastError = code;
}

int FailWithErrno() {
    return FailWithCode(WinsockCodeOfErrno(errno));
}

int FailWithCode(int32_t code) {
    LastError = code;
    return -1;
}
