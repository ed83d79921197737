// Loading the sockets library and binding the table to it, the same on every
// platform: the platform's filling finds the library and its entries.
#include "net/stack/winsock/WinsockBinding.h"

#include "net/stack/winsock/SocketsLibrary.h"

const char* SocketsLibraryName = "wsock32.dll";
TWinsockEntries Winsock{};
uintptr_t SocketsLibraryHandle = 0;

namespace {

template <class... TSlot>
bool AllBound(const TWinsockEntries& entries, TSlot TWinsockEntries::*... slots) {
    return ((entries.*slots != nullptr) && ...);
}

// The entries that the stack calls: calling a null one would end the process,
// so a library without any of them is no sockets library for the stack.
bool HasStackEntries(const TWinsockEntries& e) {
    using T = TWinsockEntries;
    return AllBound(e, &T::accept, &T::bind, &T::closesocket, &T::connect, &T::getpeername,
                    &T::getsockname, &T::htonl, &T::htons, &T::inet_addr, &T::listen, &T::ntohl,
                    &T::ntohs, &T::recv, &T::recvfrom, &T::select, &T::send, &T::sendto,
                    &T::setsockopt, &T::shutdown, &T::socket, &T::gethostbyaddr, &T::gethostbyname,
                    &T::gethostname, &T::getservbyport, &T::getservbyname, &T::WSAStartup,
                    &T::WSACleanup, &T::WSASetLastError, &T::WSAGetLastError,
                    &T::WSACancelBlockingCall);
}

} // namespace

bool LoadSocketsLibrary() {
    const uintptr_t library = OpenSocketsLibrary(SocketsLibraryName);
    if (library == 0) return false;
    TWinsockEntries entries{};
    LookUpSocketsEntries(library, entries);
    if (!HasStackEntries(entries)) {
        CloseSocketsLibrary(library);
        return false;
    }
    Winsock = entries;
    SocketsLibraryHandle = library;
    return true;
}

void UnloadSocketsLibrary() {
    if (SocketsLibraryHandle != 0) CloseSocketsLibrary(SocketsLibraryHandle);
    SocketsLibraryHandle = 0;
}
