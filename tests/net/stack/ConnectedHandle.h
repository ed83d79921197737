// Connects a socket handle to a loopback listener: the accepted other end, or
// no descriptor when the connect or the accept failed.
#pragma once

#include "net/stack/IdSocketHandle.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/UniqueFd.h"

inline UniqueFd ConnectHandle(TIdSocketHandle& handle, loopback::Listener& listener) {
    handle.OpenSocket(Id_SOCK_STREAM, 0);
    handle.SetRemote("127.0.0.1", listener.Port());
    if (handle.ConnectToPeer(Id_PF_INET) == IdSocketError) return UniqueFd();
    return listener.Accept();
}
