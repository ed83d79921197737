// A connection intercept that plays a SOCKS proxy from a script: receives
// hand out the scripted reply bytes a few at a time and then report the
// close, sends are recorded. The real socket only has to be connected.
#pragma once

#include <cstdint>
#include <string>

#include "fuzz/LoopbackListener.h"
#include "net/tcp/IdConnectionIntercept.h"

class TScriptedProxy : public TIdConnectionIntercept {
public:
    explicit TScriptedProxy(TLoopbackListener& listener);

    // The next connection's replies, handed out at most `pieceSize` bytes per receive.
    void Load(const std::string& replies, int32_t pieceSize);

    // The listener's side of the new connection is reset: the client's socket
    // then always polls readable, and every receive comes from the script.
    void AttachSocket(TIdSocketHandle* handle) override;
    int32_t InterceptReceive(char* buffer, int32_t length) override;
    int32_t InterceptSend(const char* buffer, int32_t length) override;

    int32_t Delivered() const { return static_cast<int32_t>(Position); }
    const std::string& Sent() const { return SentBytes; }

private:
    TLoopbackListener& Listener;
    std::string Replies;
    size_t Position = 0;
    int32_t PieceSize = 1;
    std::string SentBytes;
};
