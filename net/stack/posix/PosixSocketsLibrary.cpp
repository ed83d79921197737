// The library-level entries (start-up, clean-up, last error, byte order), and
// the POSIX sockets library: the adapters stand in for "wsock32.dll", and
// looking its entries up binds each entry of the set to its adapter.
#include <cstring>
#include <netinet/in.h>
#include <string_view>
#include <sys/resource.h>

#include "net/stack/posix/PosixErrors.h"
#include "net/stack/posix/PosixSockets.h"
#include "net/stack/winsock/SocketsLibrary.h"
#include "net/stack/winsock/WinsockErrors.h"

namespace {

constexpr uint16_t WinsockVersion11 = 0x0101; // major version in the low byte
constexpr uint16_t MaxUdpDatagram = 65507;    // 65535 less the IPv4 and UDP headers

int PosixStartup(uint16_t wVersionRequired, TWSAData* lpWSAData) {
    if ((wVersionRequired & 0xFF) < 1) return Id_WSAVERNOTSUPPORTED;
    if (lpWSAData == nullptr) return Id_WSAEFAULT;
    *lpWSAData = TWSAData{};
    lpWSAData->wVersion = WinsockVersion11;
    lpWSAData->wHighVersion = WinsockVersion11;
    std::strncpy(lpWSAData->szDescription, "POSIX sockets", Id_WSADESCRIPTION_LEN);
    std::strncpy(lpWSAData->szSystemStatus, "Running", Id_WSASYS_STATUS_LEN);
    rlimit files{};
    const bool known = ::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY;
    lpWSAData->iMaxSockets = known && files.rlim_cur < 0xFFFF ? files.rlim_cur : 0xFFFF;
    lpWSAData->iMaxUdpDg = MaxUdpDatagram;
    return 0;
}

int PosixCleanup() {
    return 0;
}

void PosixSetLastError(int iError) {
    SetLastSocketError(iError);
}

int PosixGetLastError() {
    return LastSocketError();
}

int32_t PosixIsBlocking() {
    return 0;
}

// Version 1.1 semantics: there is never a blocking call of the old blocking
// hooks in progress to cancel.
int PosixCancelBlockingCall() {
    return FailWithCode(Id_WSAEINVAL);
}

uint32_t PosixHtonl(uint32_t value) {
    return htonl(value);
}
uint16_t PosixHtons(uint16_t value) {
    return htons(value);
}
uint32_t PosixNtohl(uint32_t value) {
    return ntohl(value);
}
uint16_t PosixNtohs(uint16_t value) {
    return ntohs(value);
}

// The name under which the adapters answer; any other library is missing here.
constexpr std::string_view AdaptedLibraryName = "wsock32.dll";

// Stands for the module handle: the adapters have no module to load.
const char AdaptersModule = 0;

} // namespace

uintptr_t OpenSocketsLibrary(const char* libraryName) {
    if (libraryName == nullptr || libraryName != AdaptedLibraryName) return 0;
    return reinterpret_cast<uintptr_t>(&AdaptersModule);
}

void CloseSocketsLibrary(uintptr_t /*library*/) {}

const bool ShutdownWakesBlockedCalls = true;

void LookUpSocketsEntries(uintptr_t /*library*/, TWinsockEntries& entries) {
    entries = TWinsockEntries{};
    entries.accept = &PosixAccept;
    entries.bind = &PosixBind;
    entries.closesocket = &PosixCloseSocket;
    entries.connect = &PosixConnect;
    entries.getpeername = &PosixGetPeerName;
    entries.getsockname = &PosixGetSockName;
    entries.getsockopt = &PosixGetSockOpt;
    entries.htonl = &PosixHtonl;
    entries.htons = &PosixHtons;
    entries.inet_addr = &PosixInetAddr;
    entries.inet_ntoa = &PosixInetNtoa;
    entries.listen = &PosixListen;
    entries.ntohl = &PosixNtohl;
    entries.ntohs = &PosixNtohs;
    entries.recv = &PosixRecv;
    entries.recvfrom = &PosixRecvFrom;
    entries.select = &PosixSelect;
    entries.send = &PosixSend;
    entries.sendto = &PosixSendTo;
    entries.setsockopt = &PosixSetSockOpt;
    entries.shutdown = &PosixShutdown;
    entries.socket = &PosixSocket;
    entries.gethostbyaddr = &PosixGetHostByAddr;
    entries.gethostbyname = &PosixGetHostByName;
    entries.gethostname = &PosixGetHostName;
    entries.getservbyport = &PosixGetServByPort;
    entries.getservbyname = &PosixGetServByName;
    entries.WSAStartup = &PosixStartup;
    entries.WSACleanup = &PosixCleanup;
    entries.WSASetLastError = &PosixSetLastError;
    entries.WSAGetLastError = &PosixGetLastError;
    entries.WSAIsBlocking = &PosixIsBlocking;
    entries.WSACancelBlockingCall = &PosixCancelBlockingCall;
    entries.WSAFDIsSet = &PosixFDIsSet;
    entries.TransmitFile = &PosixTransmitFile;
}
