// What each platform gives the binding: its sockets library found by name, the
// table filled from it, and its release. POSIX systems answer with adapters
// over their own sockets (posix/), Windows with wsock32.dll itself (windows/).
#pragma once

#include <cstdint>

#include "net/stack/winsock/WinsockEntries.h"

// The library's module handle, 0 when no library of that name exists.
uintptr_t OpenSocketsLibrary(const char* libraryName);
// Looks every entry up by its name; a name the library lacks gives null.
void LookUpSocketsEntries(uintptr_t library, TWinsockEntries& entries);
void CloseSocketsLibrary(uintptr_t library);

// Whether shutting a socket down ends a select or recv that another thread
// has blocked on it. POSIX systems: yes, and closing does not. Windows: no,
// only closesocket does.
extern const bool ShutdownWakesBlockedCalls;
