// The optional hook of a connection: told when a socket is attached and
// detached and after every receive and send, and able to take either over.
#pragma once

#include <cstdint>

#include "net/stack/IdComponent.h"

class TIdSocketHandle;

class TIdConnectionIntercept : public TIdBaseComponent {
public:
    using TIdBaseComponent::TIdBaseComponent;

    // Remembers the handle and fires OnConnect.
    virtual void AttachSocket(TIdSocketHandle* handle);
    virtual void AfterReceive(const char* buffer, int32_t count);
    virtual void AfterSend(const char* buffer, int32_t count);
    virtual void DetachSocket();
    // Used in place of the socket when HandlesReceive is set: the count
    // received into `buffer`, like a receive call (0 = closed, -1 = failed).
    virtual int32_t InterceptReceive(char* buffer, int32_t length);
    // Used in place of the socket when HandlesSend is set: the count sent.
    virtual int32_t InterceptSend(const char* buffer, int32_t length);

    TIdSocketHandle* Binding() const { return AttachedHandle; }

    TNotifyEvent OnConnect;
    bool HandlesReceive = false;
    bool HandlesSend = false;

private:
    TIdSocketHandle* AttachedHandle = nullptr;
};
