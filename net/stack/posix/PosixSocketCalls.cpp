// The plain socket calls of the Windows Sockets table over POSIX sockets.
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/stack/posix/PosixErrors.h"
#include "net/stack/posix/PosixSockets.h"
#include "net/stack/winsock/WinsockErrors.h"

namespace {

constexpr int RecvFlags = MSG_OOB | MSG_PEEK; // the Windows values are the same bits
constexpr int SendFlags = MSG_OOB | MSG_DONTROUTE;

// Fills a POSIX address from the 16-byte Windows record; false (with the last
// error set) when the record is short or not IPv4.
bool ToPosixAddress(const TSockAddrIn* name, int namelen, sockaddr_in& address) {
    if (name == nullptr || namelen < static_cast<int>(sizeof(TSockAddrIn))) {
        FailWithCode(Id_WSAEFAULT);
        return false;
    }
    if (name->sin_family != Id_PF_INET) {
        FailWithCode(Id_WSAEAFNOSUPPORT);
        return false;
    }
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_port = name->sin_port;
    address.sin_addr.s_addr = name->sin_addr.S_addr;
    return true;
}

// Writes a POSIX address back into a caller's record, as far as it has room.
bool FromPosixAddress(const sockaddr_storage& storage, TSockAddrIn* name, int* namelen) {
    if (name == nullptr) return true; // accept and recvfrom take the record as optional
    if (namelen == nullptr || *namelen < static_cast<int>(sizeof(TSockAddrIn))) {
        FailWithCode(Id_WSAEFAULT);
        return false;
    }
    TSockAddrIn record{};
    if (storage.ss_family == AF_INET) {
        sockaddr_in address;
        std::memcpy(&address, &storage, sizeof address);
        record.sin_family = Id_PF_INET;
        record.sin_port = address.sin_port;
        record.sin_addr.S_addr = address.sin_addr.s_addr;
    }
    *name = record;
    *namelen = sizeof(TSockAddrIn);
    return true;
}

// Repeats a call that a signal cut short (-1 with EINTR): the Windows calls
// are not cut short by signals.
template <class TCall> auto RetryAfterSignals(TCall call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

// A blocking connect interrupted by a signal goes on in the background
// (POSIX); wait for its end as the Windows call would, and report its result.
int FinishInterruptedConnect(int fd) {
    pollfd entry{fd, POLLOUT, 0};
    if (RetryAfterSignals([&entry] { return ::poll(&entry, 1, -1); }) < 0) return FailWithErrno();
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) < 0) return FailWithErrno();
    if (error != 0) return FailWithCode(WinsockCodeOfErrno(error));
    return 0;
}

using TNameCall = int (*)(int, sockaddr*, socklen_t*);

int QueryName(TNameCall call, TSocket s, TSockAddrIn* name, int* namelen) {
    if (name == nullptr) return FailWithCode(Id_WSAEFAULT);
    sockaddr_storage storage{};
    socklen_t length = sizeof storage;
    if (call(s, reinterpret_cast<sockaddr*>(&storage), &length) < 0) return FailWithErrno();
    return FromPosixAddress(storage, name, namelen) ? 0 : -1;
}

} // namespace

TSocket PosixSocket(int af, int type, int protocol) {
    if (af != Id_PF_INET) return FailWithCode(Id_WSAEAFNOSUPPORT);
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, protocol);
    return fd < 0 ? FailWithErrno() : fd;
}

int PosixBind(TSocket s, const TSockAddrIn* name, int namelen) {
    sockaddr_in address;
    if (!ToPosixAddress(name, namelen, address)) return -1;
    if (::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0)
        return FailWithErrno();
    return 0;
}

int PosixConnect(TSocket s, const TSockAddrIn* name, int namelen) {
    sockaddr_in address;
    if (!ToPosixAddress(name, namelen, address)) return -1;
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return 0;
    if (errno == EINTR) return FinishInterruptedConnect(s);
    return FailWithErrno();
}

int PosixListen(TSocket s, int backlog) {
    return ::listen(s, backlog) < 0 ? FailWithErrno() : 0;
}

TSocket PosixAccept(TSocket s, TSockAddrIn* addr, int* addrlen) {
    sockaddr_storage storage{};
    const int fd = RetryAfterSignals([&] {
        socklen_t length = sizeof storage;
        return ::accept4(s, reinterpret_cast<sockaddr*>(&storage), &length, SOCK_CLOEXEC);
    });
    if (fd < 0) return FailWithErrno();
    if (!FromPosixAddress(storage, addr, addrlen)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int PosixRecv(TSocket s, char* buf, int len, int flags) {
    if (len < 0) return FailWithCode(Id_WSAEFAULT);
    const ssize_t count = RetryAfterSignals(
        [&] { return ::recv(s, buf, static_cast<size_t>(len), flags & RecvFlags); });
    return count < 0 ? FailWithErrno() : static_cast<int>(count);
}

int PosixRecvFrom(TSocket s, char* buf, int len, int flags, TSockAddrIn* from, int* fromlen) {
    if (len < 0) return FailWithCode(Id_WSAEFAULT);
    sockaddr_storage storage{};
    const ssize_t count = RetryAfterSignals([&] {
        socklen_t length = sizeof storage;
        return ::recvfrom(s, buf, static_cast<size_t>(len), flags & RecvFlags,
                          reinterpret_cast<sockaddr*>(&storage), &length);
    });
    if (count < 0) return FailWithErrno();
    return FromPosixAddress(storage, from, fromlen) ? static_cast<int>(count) : -1;
}

// MSG_NOSIGNAL: a peer that has gone is reported as an error (EPIPE), never by
// SIGPIPE, which would end the process.
int PosixSend(TSocket s, const char* buf, int len, int flags) {
    if (len < 0) return FailWithCode(Id_WSAEFAULT);
    const ssize_t count = RetryAfterSignals([&] {
        return ::send(s, buf, static_cast<size_t>(len), (flags & SendFlags) | MSG_NOSIGNAL);
    });
    return count < 0 ? FailWithErrno() : static_cast<int>(count);
}

int PosixSendTo(TSocket s, const char* buf, int len, int flags, const TSockAddrIn* to, int tolen) {
    if (len < 0) return FailWithCode(Id_WSAEFAULT);
    sockaddr_in address;
    if (!ToPosixAddress(to, tolen, address)) return -1;
    const ssize_t count = RetryAfterSignals([&] {
        return ::sendto(s, buf, static_cast<size_t>(len), (flags & SendFlags) | MSG_NOSIGNAL,
                        reinterpret_cast<const sockaddr*>(&address), sizeof address);
    });
    return count < 0 ? FailWithErrno() : static_cast<int>(count);
}

int PosixShutdown(TSocket s, int how) {
    return ::shutdown(s, how) < 0 ? FailWithErrno() : 0;
}

// Linux releases the descriptor even when close reports EINTR; retrying could
// close a descriptor that another thread has just been given.
int PosixCloseSocket(TSocket s) {
    if (::close(s) < 0 && errno != EINTR) return FailWithErrno();
    return 0;
}

int PosixGetSockName(TSocket s, TSockAddrIn* name, int* namelen) {
    return QueryName(&::getsockname, s, name, namelen);
}

int PosixGetPeerName(TSocket s, TSockAddrIn* name, int* namelen) {
    return QueryName(&::getpeername, s, name, namelen);
}
