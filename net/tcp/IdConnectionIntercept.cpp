// The do-nothing defaults of the connection's hook; a real intercept
// overrides what it needs.
#include "net/tcp/IdConnectionIntercept.h"

void TIdConnectionIntercept::AttachSocket(TIdSocketHandle* handle) {
    AttachedHandle = handle;
    if (OnConnect) OnConnect(this);
}

void TIdConnectionIntercept::AfterReceive(const char*, int32_t) {}

void TIdConnectionIntercept::AfterSend(const char*, int32_t) {}

void TIdConnectionIntercept::DetachSocket() {
    AttachedHandle = nullptr;
}

int32_t TIdConnectionIntercept::InterceptReceive(char*, int32_t) {
    return 0;
}

int32_t TIdConnectionIntercept::InterceptSend(const char*, int32_t) {
    return 0;
}
