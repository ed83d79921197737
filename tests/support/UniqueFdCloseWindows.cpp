// Closing what a UniqueFd owns: on Windows the test kit's descriptors are
// sockets, which closesocket closes.
#include <winsock2.h>

#include "UniqueFd.h"

void UniqueFd::Close() {
    if (Value >= 0) ::closesocket(static_cast<SOCKET>(Value));
    Value = -1;
}
