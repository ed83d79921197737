// One socket with its local and remote binding, safe against a release from
// another thread while a wait, receive or send is under way.
#include "net/stack/IdSocketHandle.h"

#include <algorithm>
#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

#include "net/stack/IdAntiFreezeBase.h"
#include "net/stack/IdException.h"
#include "net/stack/winsock/WinsockErrors.h"
#include "runtime/Exception.h"

namespace {

std::string ClassNameOf(const TObject& object) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(typeid(object).name(), nullptr, nullptr, &status), &std::free);
    return status == 0 && name ? name.get() : typeid(object).name();
}

} // namespace

// Holds the open descriptor for the length of one socket call. Without an open
// socket it holds nothing and Socket() is IdInvalidSocket.
class TIdSocketHandle::TSocketUse {
public:
    explicit TSocketUse(TIdSocketHandle& handle) : Handle(handle) {
        std::lock_guard<std::mutex> lock(Handle.UseLock);
        if (!Handle.Allocated.load()) return;
        Descriptor = Handle.SocketValue.load();
        const auto use = Find();
        if (use == Handle.Uses.end())
            Handle.Uses.push_back(TDescriptorUse{Descriptor, 1, false});
        else
            ++use->Users;
    }

    ~TSocketUse() {
        if (Descriptor == IdInvalidSocket) return;
        bool closeNow = false;
        {
            std::lock_guard<std::mutex> lock(Handle.UseLock);
            const auto use = Find();
            if (--use->Users == 0) {
                closeNow = use->ClosePending;
                Handle.Uses.erase(use);
            }
        }
        if (closeNow) {
            // The caller reads the last error of its own call after this.
            const int32_t error = GlobalStack->SockLastError();
            GlobalStack->SockClose(Descriptor);
            GlobalStack->SockSetLastError(error);
        }
    }

    TSocketUse(const TSocketUse&) = delete;
    TSocketUse& operator=(const TSocketUse&) = delete;

    bool Open() const { return Descriptor != IdInvalidSocket; }
    TIdStackSocketHandle Socket() const { return Descriptor; }

private:
    std::vector<TDescriptorUse>::iterator Find() {
        return std::find_if(Handle.Uses.begin(), Handle.Uses.end(),
                            [this](const TDescriptorUse& use) { return use.Socket == Descriptor; });
    }

    TIdSocketHandle& Handle;
    TIdStackSocketHandle Descriptor = IdInvalidSocket;
};

TIdSocketHandle::TIdSocketHandle() {
    ClearBinding(true);
}

TIdSocketHandle::~TIdSocketHandle() {
    ReleaseSocket(true);
}

void TIdSocketHandle::OpenSocket(int socketType, int protocol) {
    ReleaseSocket(true);
    const TIdStackSocketHandle socket = GlobalStack->CreateSocket(socketType, protocol);
    std::lock_guard<std::mutex> lock(UseLock);
    SocketValue.store(socket);
    Allocated.store(true);
}

void TIdSocketHandle::ReleaseSocket(bool resetLocal) {
    if (ReleaseDescriptor()) ClearBinding(resetLocal);
}

bool TIdSocketHandle::ReleaseDescriptor() {
    TIdStackSocketHandle closeNow = IdInvalidSocket;
    {
        std::lock_guard<std::mutex> lock(UseLock);
        if (!Allocated.load()) return false;
        Allocated.store(false);
        const TIdStackSocketHandle socket = SocketValue.load();
        // Both directions: on POSIX systems a thread blocked in poll or recv on
        // the socket wakes on shutdown, not on close. Done under the lock so
        // that the last user cannot have closed the descriptor yet.
        GlobalStack->SockShutdown(socket, Id_SD_BOTH);
        const auto use =
            std::find_if(Uses.begin(), Uses.end(),
                         [socket](const TDescriptorUse& entry) { return entry.Socket == socket; });
        // Where only closing wakes a blocked user (Windows), the socket is
        // closed now: a user that is not blocked yet finds it released.
        if (use != Uses.end() && GlobalStack->SockShutdownWakesBlockedCalls())
            use->ClosePending = true;
        else
            closeNow = socket;
    }
    if (closeNow != IdInvalidSocket) GlobalStack->SockClose(closeNow);
    return true;
}

void TIdSocketHandle::ClearBinding(bool resetLocal) {
    {
        std::lock_guard<std::mutex> lock(UseLock);
        Allocated.store(false);
        SocketValue.store(IdInvalidSocket);
    }
    if (resetLocal) {
        IP.clear();
        Port = 0;
    }
    RemoteIP.clear();
    RemotePort = 0;
}

template <class TCall> auto TIdSocketHandle::WithSocket(TCall call) {
    TSocketUse use(*this);
    return call(use.Socket());
}

// A released socket answers like a shut-down one, so the connection closes.
template <class TCall> int TIdSocketHandle::WithOpenSocket(TCall call) {
    TSocketUse use(*this);
    if (!use.Open()) {
        GlobalStack->SockSetLastError(Id_WSAESHUTDOWN);
        return IdSocketError;
    }
    return call(use.Socket());
}

void TIdSocketHandle::BindLocal() {
    const int result = WithSocket([this](TIdStackSocketHandle socket) {
        return GlobalStack->SockBind(socket, Id_PF_INET, IP, Port);
    });
    if (GlobalStack->CheckSocketResult(result, {Id_WSAEADDRINUSE})) throw EIdCouldNotBindSocket();
    RefreshLocalBinding();
}

void TIdSocketHandle::SetRemote(const std::string& ip, int32_t port) {
    RemoteIP = ip;
    RemotePort = port;
}

int TIdSocketHandle::ConnectToPeer(int family) {
    const int result = WithSocket([this, family](TIdStackSocketHandle socket) {
        return GlobalStack->SockConnect(socket, family, RemoteIP, RemotePort);
    });
    if (result != IdSocketError) {
        RefreshLocalBinding();
        RefreshRemoteBinding();
    }
    return result;
}

void TIdSocketHandle::RefreshLocalBinding() {
    WithSocket([this](TIdStackSocketHandle socket) {
        int family = 0;
        GlobalStack->SockLocalName(socket, family, IP, Port);
    });
}

void TIdSocketHandle::RefreshRemoteBinding() {
    WithSocket([this](TIdStackSocketHandle socket) {
        int family = 0;
        GlobalStack->SockPeerName(socket, family, RemoteIP, RemotePort);
    });
}

// With an active anti-freeze the wait is cut into its IdleTimeOut slices, the
// shortest first: T ms with slice I is one slice of T - k*I (1..I ms) and then
// k slices of I, stopping at the first that finds the socket readable.
bool TIdSocketHandle::WaitReadable(int32_t timeoutMs) {
    const TIdAntiFreezeBase* const antiFreeze = ActiveAntiFreeze.load();
    const int32_t slice = antiFreeze != nullptr && antiFreeze->Active ? antiFreeze->IdleTimeOut : 0;
    // A slice of 0 ms or less would never end the loop; wait in one piece.
    if (slice <= 0) return WaitSlice(timeoutMs);
    if (timeoutMs == IdTimeoutInfinite) {
        while (!WaitSlice(slice)) {
        }
        return true;
    }
    if (timeoutMs <= slice) return WaitSlice(timeoutMs);
    const int32_t first = (timeoutMs - 1) % slice + 1;
    if (WaitSlice(first)) return true;
    for (int32_t left = timeoutMs - first; left > 0; left -= slice)
        if (WaitSlice(slice)) return true;
    return false;
}

bool TIdSocketHandle::WaitSlice(int32_t timeoutMs) {
    const bool readable = WithSocket([timeoutMs](TIdStackSocketHandle socket) {
        if (socket == IdInvalidSocket) throw EIdConnClosedGracefully();
        TIdSocketList list{socket};
        return GlobalStack->SockSelect(&list, nullptr, nullptr, timeoutMs) == 1;
    });
    TIdAntiFreezeBase::DoProcess(!readable, false);
    return readable;
}

bool TIdSocketHandle::WaitWritable(int32_t timeoutMs) {
    return WithSocket([timeoutMs](TIdStackSocketHandle socket) {
        if (socket == IdInvalidSocket) return true;
        TIdSocketList list{socket};
        return GlobalStack->SockSelect(nullptr, &list, nullptr, timeoutMs) != 0;
    });
}

void TIdSocketHandle::ShutdownSend() {
    WithSocket([](TIdStackSocketHandle socket) {
        if (socket != IdInvalidSocket) GlobalStack->SockShutdown(socket, Id_SD_SEND);
    });
}

int TIdSocketHandle::ReceiveChunk(void* buffer, int length, int flags) {
    return WithOpenSocket([&](TIdStackSocketHandle socket) {
        return GlobalStack->SockRecv(socket, buffer, length, flags);
    });
}

int TIdSocketHandle::TransmitChunk(const void* buffer, int length, int flags) {
    return WithOpenSocket([&](TIdStackSocketHandle socket) {
        return GlobalStack->SockSend(socket, buffer, length, flags);
    });
}

int TIdSocketHandle::ReceiveDatagram(void* buffer, int length, int flags, std::string& ip,
                                     int32_t& port) {
    return WithOpenSocket([&](TIdStackSocketHandle socket) {
        return GlobalStack->SockRecvDatagram(socket, buffer, length, flags, ip, port);
    });
}

void TIdSocketHandle::SetOption(int level, int optionName, const void* value, int valueLength) {
    const int result = WithSocket([&](TIdStackSocketHandle socket) {
        return GlobalStack->SockSetOption(socket, level, optionName, value, valueLength);
    });
    GlobalStack->CheckSocketResult(result);
}

void TIdSocketHandle::Assign(const TObject& source) {
    if (typeid(source) != typeid(TIdSocketHandle))
        throw EConvertError("Cannot assign a " + ClassNameOf(source) + " to a TIdSocketHandle");
    const auto& other = static_cast<const TIdSocketHandle&>(source);
    if (&other == this) return;
    IP = other.IP;
    Port = other.Port;
    RemoteIP = other.RemoteIP;
    RemotePort = other.RemotePort;
}
