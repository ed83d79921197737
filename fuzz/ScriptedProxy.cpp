// The scripted SOCKS proxy of the fuzz target.
#include "fuzz/ScriptedProxy.h"

#include <algorithm>
#include <cstring>

#include "fuzz/FuzzCheck.h"

TScriptedProxy::TScriptedProxy(TLoopbackListener& listener) : Listener(listener) {
    HandlesReceive = true;
    HandlesSend = true;
}

void TScriptedProxy::Load(const std::string& replies, int32_t pieceSize) {
    Replies = replies;
    Position = 0;
    PieceSize = std::max(pieceSize, 1);
    SentBytes.clear();
}

void TScriptedProxy::AttachSocket(TIdSocketHandle* handle) {
    TIdConnectionIntercept::AttachSocket(handle);
    FuzzRequire(Listener.AcceptAndReset(), "the proxy listener saw the connection");
}

int32_t TScriptedProxy::InterceptReceive(char* buffer, int32_t length) {
    const size_t count = std::min({Replies.size() - Position, static_cast<size_t>(PieceSize),
                                   static_cast<size_t>(std::max(length, 0))});
    std::memcpy(buffer, Replies.data() + Position, count);
    Position += count;
    return static_cast<int32_t>(count); // 0 once the script is used up: the proxy closed
}

int32_t TScriptedProxy::InterceptSend(const char* buffer, int32_t length) {
    SentBytes.append(buffer, static_cast<size_t>(length));
    return length;
}
