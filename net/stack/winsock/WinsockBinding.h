// The binding of the entry-point table to the sockets library: loading it by
// name when the stack starts, unloading it when the stack goes.
#pragma once

#include <cstdint>

#include "net/stack/winsock/WinsockEntries.h"

// The library the stack loads, "wsock32.dll". Tests name a library that does
// not exist here to see the load fail; on every platform the same seam.
extern const char* SocketsLibraryName;

// The filled table; read without a lock by every thread once loaded.
extern TWinsockEntries Winsock;

// Module handle of the loaded library, 0 while none is loaded.
extern uintptr_t SocketsLibraryHandle;

// False when the library is missing or lacks an entry that the stack calls;
// the table is then left as it was and no library stays loaded (the stack
// raises EIdStackCanNotLoadWinsock). Entries that nothing calls may stay null.
bool LoadSocketsLibrary();
// Releases the library; the entries stay as they are. A second call does nothing.
void UnloadSocketsLibrary();
