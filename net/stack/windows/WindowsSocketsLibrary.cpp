// The Windows filling of the binding: wsock32.dll loaded by name, each entry
// of the table looked up by its exported name, the library freed at the end.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "net/stack/winsock/SocketsLibrary.h"

namespace {

// GetProcAddress gives a generic function pointer; the slot's own type is the
// exported function's. The detour through void(*)() is the conversion that
// compilers accept between unrelated function types without a warning.
template <class TEntry> void LookUp(HMODULE module, TEntry& slot, const char* name) {
    slot = reinterpret_cast<TEntry>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

HMODULE ModuleOf(uintptr_t library) {
    return reinterpret_cast<HMODULE>(library);
}

} // namespace

// The system's library search order, the bare name as given.
uintptr_t OpenSocketsLibrary(const char* libraryName) {
    return reinterpret_cast<uintptr_t>(::LoadLibraryA(libraryName));
}

void CloseSocketsLibrary(uintptr_t library) {
    ::FreeLibrary(ModuleOf(library));
}

const bool ShutdownWakesBlockedCalls = false;

void LookUpSocketsEntries(uintptr_t library, TWinsockEntries& entries) {
    const HMODULE module = ModuleOf(library);
    LookUp(module, entries.accept, "accept");
    LookUp(module, entries.bind, "bind");
    LookUp(module, entries.closesocket, "closesocket");
    LookUp(module, entries.connect, "connect");
    LookUp(module, entries.ioctlsocket, "ioctlsocket");
    LookUp(module, entries.getpeername, "getpeername");
    LookUp(module, entries.getsockname, "getsockname");
    LookUp(module, entries.getsockopt, "getsockopt");
    LookUp(module, entries.htonl, "htonl");
    LookUp(module, entries.htons, "htons");
    LookUp(module, entries.inet_addr, "inet_addr");
    LookUp(module, entries.inet_ntoa, "inet_ntoa");
    LookUp(module, entries.listen, "listen");
    LookUp(module, entries.ntohl, "ntohl");
    LookUp(module, entries.ntohs, "ntohs");
    LookUp(module, entries.recv, "recv");
    LookUp(module, entries.recvfrom, "recvfrom");
    LookUp(module, entries.select, "select");
    LookUp(module, entries.send, "send");
    LookUp(module, entries.sendto, "sendto");
    LookUp(module, entries.setsockopt, "setsockopt");
    LookUp(module, entries.shutdown, "shutdown");
    LookUp(module, entries.socket, "socket");
    LookUp(module, entries.gethostbyaddr, "gethostbyaddr");
    LookUp(module, entries.gethostbyname, "gethostbyname");
    LookUp(module, entries.gethostname, "gethostname");
    LookUp(module, entries.getservbyport, "getservbyport");
    LookUp(module, entries.getservbyname, "getservbyname");
    LookUp(module, entries.getprotobynumber, "getprotobynumber");
    LookUp(module, entries.getprotobyname, "getprotobyname");
    LookUp(module, entries.WSAStartup, "WSAStartup");
    LookUp(module, entries.WSACleanup, "WSACleanup");
    LookUp(module, entries.WSASetLastError, "WSASetLastError");
    LookUp(module, entries.WSAGetLastError, "WSAGetLastError");
    LookUp(module, entries.WSAIsBlocking, "WSAIsBlocking");
    LookUp(module, entries.WSAUnhookBlockingHook, "WSAUnhookBlockingHook");
    LookUp(module, entries.WSASetBlockingHook, "WSASetBlockingHook");
    LookUp(module, entries.WSACancelBlockingCall, "WSACancelBlockingCall");
    LookUp(module, entries.WSAAsyncGetServByName, "WSAAsyncGetServByName");
    LookUp(module, entries.WSAAsyncGetServByPort, "WSAAsyncGetServByPort");
    LookUp(module, entries.WSAAsyncGetProtoByName, "WSAAsyncGetProtoByName");
    LookUp(module, entries.WSAAsyncGetProtoByNumber, "WSAAsyncGetProtoByNumber");
    LookUp(module, entries.WSAAsyncGetHostByName, "WSAAsyncGetHostByName");
    LookUp(module, entries.WSAAsyncGetHostByAddr, "WSAAsyncGetHostByAddr");
    LookUp(module, entries.WSACancelAsyncRequest, "WSACancelAsyncRequest");
    LookUp(module, entries.WSAAsyncSelect, "WSAAsyncSelect");
    LookUp(module, entries.WSARecvEx, "WSARecvEx");
    LookUp(module, entries.WSAFDIsSet, "__WSAFDIsSet");
    LookUp(module, entries.TransmitFile, "TransmitFile");
    LookUp(module, entries.AcceptEx, "AcceptEx");
    LookUp(module, entries.GetAcceptExSockaddrs, "GetAcceptExSockaddrs");
}
