// One socket with its local and remote binding. The connection's receive side
// runs on the reader thread while the GUI thread sends and may release it.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "net/stack/IdStack.h"
#include "runtime/Component.h"

class TIdSocketHandle : public TObject {
public:
    TIdSocketHandle();
    ~TIdSocketHandle() override;

    // Releases any open socket, then opens a new one (EIdInvalidSocket on failure).
    void OpenSocket(int socketType, int protocol);
    // Shuts the socket down and closes it, then clears the binding. Safe to
    // call while another thread waits or receives on the socket: that thread
    // wakes, and the descriptor is not closed while it still uses it.
    virtual void ReleaseSocket(bool resetLocal);
    // The first half of ReleaseSocket: the socket shut down and closed (or its
    // close left to its last user), the binding fields untouched. The one
    // release for another thread than the owner's, which may be reading the
    // binding meanwhile. False when no socket was open.
    bool ReleaseDescriptor();
    // Ends the sending direction (a FIN after every byte sent); receiving goes on.
    void ShutdownSend();
    void ClearBinding(bool resetLocal);
    // Binds to IP:Port (empty IP = any, 0 = any port); 10048 raises EIdCouldNotBindSocket.
    void BindLocal();
    void SetRemote(const std::string& ip, int32_t port);
    // Connects to RemoteIP:RemotePort; returns the connect result, -1 on failure.
    virtual int ConnectToPeer(int family);
    void RefreshLocalBinding();
    void RefreshRemoteBinding();
    // True when the socket became readable within the timeout (-2 = no limit).
    // EIdConnClosedGracefully when no socket is open.
    bool WaitReadable(int32_t timeoutMs);
    // True when a send would not block (or would fail at once: no socket, an
    // error on it) within the timeout.
    bool WaitWritable(int32_t timeoutMs);
    int ReceiveChunk(void* buffer, int length, int flags);
    int TransmitChunk(const void* buffer, int length, int flags);
    virtual int ReceiveDatagram(void* buffer, int length, int flags, std::string& ip,
                                int32_t& port);
    void SetOption(int level, int optionName, const void* value, int valueLength);
    // Copies the four binding fields of another handle, never its socket.
    void Assign(const TObject& source);

    TIdStackSocketHandle Socket() const { return SocketValue.load(); }
    bool SocketAllocated() const { return Allocated.load(); }

    std::string IP;
    int32_t Port = 0;
    std::string RemoteIP;
    int32_t RemotePort = 0;

private:
    // A blocking call registers as a user of the descriptor; a release while
    // users remain leaves the close to the last of them, so no thread ever
    // waits, receives or sends on a descriptor number that has been reused.
    struct TDescriptorUse {
        TIdStackSocketHandle Socket;
        int Users;
        bool ClosePending;
    };
    class TSocketUse;

    // Runs call(socket) while the descriptor is held (IdInvalidSocket when none
    // is open); the result is the call's.
    template <class TCall> auto WithSocket(TCall call);
    // As WithSocket, but without an open socket fails with WSAESHUTDOWN.
    template <class TCall> int WithOpenSocket(TCall call);
    bool WaitSlice(int32_t timeoutMs);

    std::atomic<TIdStackSocketHandle> SocketValue{IdInvalidSocket};
    std::atomic<bool> Allocated{false};
    std::mutex UseLock;               // guards Uses and the change of SocketValue/Allocated
    std::vector<TDescriptorUse> Uses; // descriptors in use, at most one besides a closing one
};
