// Loading the sockets library: on this platform the table is bound to the
// adapters that give POSIX sockets the Windows Sockets behaviour.
#include "net/stack/WinsockBinding.h"

#include "net/stack/IdException.h"
#include "net/stack/PosixSockets.h"

TWinsockEntries Winsock{};
uintptr_t SocketsLibraryHandle = 0;

namespace {

uintptr_t OpenPosixSocketsLibrary(const char* /*libraryName*/) {
    return reinterpret_cast<uintptr_t>(&PosixSocketsEntries());
}

} // namespace

TSocketsLibraryOpener SocketsLibraryOpener = &OpenPosixSocketsLibrary;

void LoadSocketsLibrary() {
    SocketsLibraryHandle = SocketsLibraryOpener(SocketsLibraryName);
    if (SocketsLibraryHandle == 0) throw EIdStackCanNotLoadWinsock(SocketsLibraryName);
    Winsock = PosixSocketsEntries();
}

void UnloadSocketsLibrary() {
    SocketsLibraryHandle = 0;
}
