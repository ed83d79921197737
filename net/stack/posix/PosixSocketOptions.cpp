// setsockopt and getsockopt with the Windows option numbers: the socket-level
// options are renumbered, SO_LINGER and SO_ERROR change their value format.
#include <cerrno>
#include <cstring>
#include <iterator>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include "net/stack/posix/PosixErrors.h"
#include "net/stack/posix/PosixSockets.h"
#include "net/stack/winsock/WinsockErrors.h"

namespace {

struct TOptionName {
    int WinLevel;
    int WinName;
    int Level;
    int Name;
};

constexpr TOptionName OptionNames[] = {
    {Id_SOL_SOCKET, Id_SO_REUSEADDR, SOL_SOCKET, SO_REUSEADDR},
    {Id_SOL_SOCKET, Id_SO_KEEPALIVE, SOL_SOCKET, SO_KEEPALIVE},
    {Id_SOL_SOCKET, Id_SO_BROADCAST, SOL_SOCKET, SO_BROADCAST},
    {Id_SOL_SOCKET, Id_SO_LINGER, SOL_SOCKET, SO_LINGER},
    {Id_SOL_SOCKET, Id_SO_OOBINLINE, SOL_SOCKET, SO_OOBINLINE},
    {Id_SOL_SOCKET, Id_SO_SNDBUF, SOL_SOCKET, SO_SNDBUF},
    {Id_SOL_SOCKET, Id_SO_RCVBUF, SOL_SOCKET, SO_RCVBUF},
    {Id_SOL_SOCKET, Id_SO_ERROR, SOL_SOCKET, SO_ERROR},
    {Id_SOL_SOCKET, Id_SO_TYPE, SOL_SOCKET, SO_TYPE},
    {Id_IPPROTO_TCP, Id_TCP_NODELAY, IPPROTO_TCP, TCP_NODELAY},
};

const TOptionName* FindOption(int level, int name) {
    for (const TOptionName& row : OptionNames)
        if (row.WinLevel == level && row.WinName == name) return &row;
    return nullptr;
}

} // namespace

int PosixSetSockOpt(TSocket s, int level, int optname, const char* optval, int optlen) {
    const TOptionName* option = FindOption(level, optname);
    if (option == nullptr) return FailWithCode(Id_WSAENOPROTOOPT);
    if (optval == nullptr || optlen < 0) return FailWithCode(Id_WSAEFAULT);
    int result;
    if (option->Name == SO_LINGER && option->Level == SOL_SOCKET) {
        TLinger windowsLinger;
        if (optlen < static_cast<int>(sizeof windowsLinger)) return FailWithCode(Id_WSAEFAULT);
        std::memcpy(&windowsLinger, optval, sizeof windowsLinger);
        const linger value{windowsLinger.l_onoff, windowsLinger.l_linger};
        result = ::setsockopt(s, SOL_SOCKET, SO_LINGER, &value, sizeof value);
    } else {
        // Windows takes a BOOL option in fewer than four bytes; Linux wants an int.
        int value = 0;
        std::memcpy(&value, optval, std::min<size_t>(sizeof value, static_cast<size_t>(optlen)));
        result = ::setsockopt(s, option->Level, option->Name, &value, sizeof value);
    }
    return result < 0 ? FailWithErrno() : 0;
}

int PosixGetSockOpt(TSocket s, int level, int optname, char* optval, int* optlen) {
    const TOptionName* option = FindOption(level, optname);
    if (option == nullptr) return FailWithCode(Id_WSAENOPROTOOPT);
    if (optval == nullptr || optlen == nullptr) return FailWithCode(Id_WSAEFAULT);
    if (option->Name == SO_LINGER && option->Level == SOL_SOCKET) {
        linger value{};
        socklen_t length = sizeof value;
        if (::getsockopt(s, SOL_SOCKET, SO_LINGER, &value, &length) < 0) return FailWithErrno();
        if (*optlen < static_cast<int>(sizeof(TLinger))) return FailWithCode(Id_WSAEFAULT);
        const TLinger windowsLinger{static_cast<uint16_t>(value.l_onoff),
                                    static_cast<uint16_t>(value.l_linger)};
        std::memcpy(optval, &windowsLinger, sizeof windowsLinger);
        *optlen = sizeof windowsLinger;
        return 0;
    }
    int value = 0;
    socklen_t length = sizeof value;
    if (::getsockopt(s, option->Level, option->Name, &value, &length) < 0) return FailWithErrno();
    if (option->Name == SO_ERROR && option->Level == SOL_SOCKET && value != 0)
        value = WinsockCodeOfErrno(value);
    if (*optlen < static_cast<int>(sizeof value)) return FailWithCode(Id_WSAEFAULT);
    std::memcpy(optval, &value, sizeof value);
    *optlen = sizeof value;
    return 0;
}
