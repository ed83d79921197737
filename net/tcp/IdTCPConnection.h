// A TCP connection over one socket handle: the input queue with peer-close
// detection, line and exact reads, reply reading, and the one send loop.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "net/stack/IdComponent.h"
#include "net/stack/IdSocketHandle.h"
#include "net/tcp/IdBuffer.h"
#include "net/tcp/IdConnectionIntercept.h"

// Threads: one thread receives (TakeAvailable, then CheckPeerClosed) while
// another sends and may Disconnect. The input queue and the scratch buffer
// belong to the receiving thread; what both sides touch (the peer-closed
// flag, the drop claim, the queue's size) is atomic, and DropSocket makes its
// reports and fires OnDisconnected once per opened socket, whichever thread
// gets there first.
class TIdTCPConnection : public TIdComponent {
public:
    static constexpr int32_t DefaultBufferSize = 32768;

    explicit TIdTCPConnection(TComponent* owner = nullptr);
    ~TIdTCPConnection() override;

    virtual void NotifyDisconnected();
    // Forgets the old binding, empties the input queue and clears the
    // peer-closed flag, ready for a new socket.
    virtual void ResetForConnect();
    virtual std::string ReadUntilClosed();
    // Closes a socket whose peer has gone; raises EIdConnClosedGracefully when
    // asked to and either nothing is queued or the queue is to be ignored.
    virtual void CheckPeerClosed(bool raiseIfClosed, bool ignoreQueued);
    virtual void ProbePeerClosed(bool raiseIfClosed);
    virtual int16_t CheckReplyCode(int16_t code, const std::vector<int16_t>& allowed);
    // Notices a closed peer first; never raises for it.
    virtual bool IsConnected();
    virtual void Disconnect();
    virtual void DropSocket();
    // The first `count` queued bytes; EIdNotEnoughDataInBuffer (queue kept)
    // when fewer are queued.
    virtual std::string TakeBytes(int32_t count);
    virtual int16_t ReadReply(const std::vector<int16_t>& allowed = {});
    [[noreturn]] virtual void RaiseReplyError();
    // The only receive from the socket; -2 waits without limit. Returns the
    // count received, 0 when the wait expired or the socket is closed.
    virtual int32_t ReceiveFromSocket(bool raiseIfClosed, int32_t timeoutMs, bool useInputQueue,
                                      TIdBuffer* dest);
    // An empty terminator means LF, with a CR before it dropped too.
    virtual std::string ReadLine(const std::string& terminator = {},
                                 int32_t timeoutMs = IdTimeoutInfinite);
    virtual void DropBytes(int32_t count);
    virtual int16_t SendAndReadReply(const std::string& line,
                                     const std::vector<int16_t>& allowed = {});
    virtual void WriteText(const std::string& text);
    virtual void WriteLine(const std::string& text = {});
    virtual void WriteFromStream(std::istream& stream, bool all, bool writeByteCount);
    virtual int32_t WriteFromFile(const std::string& fileName, bool allowTransmit);

    // Blocks until something arrives or the connection closes, then returns
    // everything queued (possibly nothing). Empty at once when not connected.
    std::string TakeAvailable();
    int32_t InputQueueSize() const { return QueuedCount.load(); }
    void ReadExact(void* buffer, int32_t count);
    std::string ReadNonEmptyLine();
    std::string LastReplyLine() const;
    template <class E> [[noreturn]] void RaiseReplyErrorAs() { throw E(LastReplyLine()); }

    // Sends every byte (partial sends are repeated) or raises. With a
    // pending-output buffer and writeNow false, the bytes are only queued.
    void SendBytes(const void* buffer, int32_t count, bool writeNow = false);
    // From any thread: every send waits for room in the socket only until
    // `deadline` and then raises EIdSendTimedOut, so that a peer that has
    // stopped reading cannot hold a sender for good. time_point::max(), the
    // default: no limit.
    void SetSendDeadline(std::chrono::steady_clock::time_point deadline);
    std::chrono::steady_clock::time_point SendDeadline() const;
    void WriteInt32(int32_t value, bool convert);
    // Sends `count` pending bytes, or all of them for -1 or a larger count.
    void FlushPendingOutput(int32_t count = -1);
    void DiscardPendingOutput();
    // Starts (or re-arms) buffered output; a threshold above 0 flushes that
    // many bytes each time the pending size reaches it.
    void CreatePendingOutput(int32_t threshold);
    // Drops the pending-output buffer with whatever it holds.
    void ReleasePendingOutput();
    int32_t PendingOutputSize() const;

    int32_t RecvBufferSize() const { return RecvScratch.Size(); }
    // At least one byte: a receive into no room returns 0, which is the
    // peer's close.
    void SetRecvBufferSize(int32_t size) { RecvScratch.SetSize(size < 1 ? 1 : size); }

    TIdConnectionIntercept* Intercept() const { return FIntercept; }
    void SetIntercept(TIdConnectionIntercept* intercept);
    bool InterceptEnabled() const { return FInterceptEnabled; }
    // EIdInterceptPropIsNil when enabling without an intercept.
    void SetInterceptEnabled(bool enabled);

    bool PeerClosed() const { return FPeerClosed.load(); }

    bool ASCIIFilter = false;
    TIdSocketHandle SocketHandle;
    std::vector<std::string> ReplyLines;
    TNotifyEvent OnDisconnected;
    bool LineTimedOut = false;
    int16_t LastReplyCode = 0;
    int32_t SendBufferSize = DefaultBufferSize;
    int32_t PendingOutputThreshold = 0;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void AppendToQueue(const char* data, int32_t count);
    // After `count` bytes left the queue: its size for other threads, and the read work.
    void QueueShrunk(int32_t count);
    void SendDirect(const char* buffer, int32_t count);
    int32_t TransmitOnce(const char* buffer, int32_t count);
    // The most TransmitOnce may be given now: all of `count` without a send
    // deadline; with one, what surely fits once the socket has room, after
    // waiting for that room until the deadline.
    int32_t RoomToSend(int32_t count);

    TIdBuffer InputQueue;
    std::atomic<int32_t> QueuedCount{0}; // InputQueue's size, readable from any thread
    TIdBuffer RecvScratch{DefaultBufferSize};
    std::unique_ptr<TIdBuffer> PendingOutput;
    std::atomic<bool> FPeerClosed{false};
    std::atomic<std::chrono::steady_clock::rep> FSendDeadline{
        std::chrono::steady_clock::time_point::max().time_since_epoch().count()};
    std::atomic<bool> DropClaimed{false}; // set by the DropSocket that closes the socket
    TIdConnectionIntercept* FIntercept = nullptr;
    bool FInterceptEnabled = false;
};
