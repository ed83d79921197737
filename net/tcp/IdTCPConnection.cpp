// The connection's life: creation, the intercept reference, noticing a
// closed peer, and closing the socket once with its reports.
#include "net/tcp/IdTCPConnection.h"

#include "net/stack/IdException.h"

TIdTCPConnection::TIdTCPConnection(TComponent* owner) : TIdComponent(owner) {}

// The members go first (queue, scratch, replies, then the handle, which
// closes a socket still open without reports), the stack's owner last.
TIdTCPConnection::~TIdTCPConnection() = default;

void TIdTCPConnection::NotifyDisconnected() {
    if (OnDisconnected) OnDisconnected(this);
}

void TIdTCPConnection::ResetForConnect() {
    // Forgetting an open descriptor would leak it, so one still open is closed
    // (quietly: this is a fresh start, not a disconnect).
    if (SocketHandle.SocketAllocated())
        SocketHandle.ReleaseSocket(true);
    else
        SocketHandle.ClearBinding(true);
    InputQueue.Clear();
    QueuedCount = 0;
    FPeerClosed = false;
    DropClaimed = false;
}

void TIdTCPConnection::CheckPeerClosed(bool raiseIfClosed, bool ignoreQueued) {
    if (!FPeerClosed && SocketHandle.SocketAllocated()) return;
    if (SocketHandle.SocketAllocated()) DropSocket();
    if (raiseIfClosed && (ignoreQueued || InputQueueSize() == 0)) throw EIdConnClosedGracefully();
}

bool TIdTCPConnection::IsConnected() {
    CheckPeerClosed(false, false);
    return SocketHandle.SocketAllocated();
}

void TIdTCPConnection::Disconnect() {
    DropSocket();
}

void TIdTCPConnection::DropSocket() {
    // The receiving thread (after the peer's close) and the sending thread
    // (Disconnect) may both get here; the exchange lets exactly one of them
    // report and close. ResetForConnect re-arms it for the next socket.
    if (SocketHandle.SocketAllocated() && !DropClaimed.exchange(true)) {
        // The claim is taken for good, so the socket must go whatever the
        // handler does: left open behind the claim, no later close or connect
        // could ever reach it. The handler's exception still reaches the caller.
        try {
            ReportStatus(stDisconnecting, {SocketHandle.RemoteIP});
        } catch (...) {
            SocketHandle.ReleaseSocket(true);
            FPeerClosed = true;
            throw;
        }
        SocketHandle.ReleaseSocket(true);
        FPeerClosed = true;
        ReportStatus(stDisconnected, {SocketHandle.RemoteIP});
        NotifyDisconnected();
    }
    if (FInterceptEnabled && FIntercept != nullptr) FIntercept->DetachSocket();
}

void TIdTCPConnection::SetIntercept(TIdConnectionIntercept* intercept) {
    if (intercept == FIntercept) return;
    if (FIntercept != nullptr) RemoveFreeNotification(FIntercept);
    FIntercept = intercept;
    if (FIntercept != nullptr)
        FreeNotification(FIntercept);
    else
        FInterceptEnabled = false;
}

void TIdTCPConnection::SetInterceptEnabled(bool enabled) {
    if (enabled && FIntercept == nullptr) throw EIdInterceptPropIsNil();
    FInterceptEnabled = enabled;
}

void TIdTCPConnection::Notification(TComponent* component, TOperation operation) {
    TIdComponent::Notification(component, operation);
    if (operation == opRemove && FIntercept != nullptr &&
        component == static_cast<TComponent*>(FIntercept)) {
        FIntercept = nullptr;
        FInterceptEnabled = false;
    }
}
