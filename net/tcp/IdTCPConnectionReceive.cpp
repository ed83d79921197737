// The receive side of the connection: the one receive call, the input queue,
// and the exact, line and read-everything readers built on it.
#include <cstring>

#include "net/stack/IdException.h"
#include "net/stack/winsock/WinsockErrors.h"
#include "net/tcp/IdTCPConnection.h"

void TIdTCPConnection::AppendToQueue(const char* data, int32_t count) {
    InputQueue.Append(data, count);
    QueuedCount = InputQueue.Size();
}

int32_t TIdTCPConnection::ReceiveFromSocket(bool raiseIfClosed, int32_t timeoutMs,
                                            bool useInputQueue, TIdBuffer* dest) {
    CheckPeerClosed(raiseIfClosed, false);
    if (!IsConnected()) return 0;
    if (dest == nullptr) dest = &RecvScratch;
    if (!SocketHandle.WaitReadable(timeoutMs)) return 0;

    int32_t count = (FInterceptEnabled && FIntercept != nullptr && FIntercept->HandlesReceive)
                        ? FIntercept->InterceptReceive(dest->Memory(), dest->Size())
                        : SocketHandle.ReceiveChunk(dest->Memory(), dest->Size(), 0);
    // Only ever set here: the sending thread may have seen the close first,
    // and a successful receive must not hide that.
    if (count == 0) FPeerClosed = true;
    if (count != 0) {
        if (GlobalStack->CheckSocketResult(count, {Id_WSAESHUTDOWN})) {
            count = 0;
            DropSocket();
            if (InputQueueSize() == 0) GlobalStack->RaiseSocketFailure(Id_WSAESHUTDOWN);
        }
        if (ASCIIFilter)
            for (int32_t i = 0; i < count; ++i)
                dest->Memory()[i] &= 0x7F;
    }
    if (useInputQueue)
        AppendToQueue(dest->Memory(), count);
    else
        AddWork(wkRead, count);
    if (FInterceptEnabled && FIntercept != nullptr) FIntercept->AfterReceive(dest->Memory(), count);
    CheckPeerClosed(raiseIfClosed, false);
    return count;
}

void TIdTCPConnection::ProbePeerClosed(bool raiseIfClosed) {
    ReceiveFromSocket(raiseIfClosed, 1, true, nullptr);
}

std::string TIdTCPConnection::TakeAvailable() {
    if (!IsConnected()) return {};
    ReceiveFromSocket(false, IdTimeoutInfinite, true, nullptr);
    return TakeBytes(InputQueueSize());
}

// Taking the whole queue, as TakeAvailable does, moves the queue's memory out
// with the bytes instead of copying them.
std::string TIdTCPConnection::TakeBytes(int32_t count) {
    if (count > InputQueueSize()) throw EIdNotEnoughDataInBuffer();
    if (count < 0) return {};
    std::string bytes = InputQueue.TakeFront(count);
    QueueShrunk(count);
    return bytes;
}

void TIdTCPConnection::DropBytes(int32_t count) {
    if (count < 0) return;
    InputQueue.DiscardFront(count);
    QueueShrunk(count);
}

void TIdTCPConnection::QueueShrunk(int32_t count) {
    QueuedCount = InputQueue.Size();
    AddWork(wkRead, count);
}

void TIdTCPConnection::ReadExact(void* buffer, int32_t count) {
    if (count <= 0 || buffer == nullptr) return;
    while (InputQueueSize() < count) {
        CheckPeerClosed(true, true);
        ReceiveFromSocket(true, IdTimeoutInfinite, true, nullptr);
    }
    std::memcpy(buffer, InputQueue.Memory(), static_cast<size_t>(count));
    DropBytes(count);
}

std::string TIdTCPConnection::ReadLine(const std::string& terminator, int32_t timeoutMs) {
    const std::string ending = terminator.empty() ? std::string("\n") : terminator;
    LineTimedOut = false;
    int32_t at = InputQueue.Find(ending);
    while (at < 0) {
        CheckPeerClosed(true, true);
        if (ReceiveFromSocket(true, timeoutMs, true, nullptr) == 0) {
            LineTimedOut = true;
            return {};
        }
        at = InputQueue.Find(ending);
    }
    std::string line = TakeBytes(at + static_cast<int32_t>(ending.size()));
    line.resize(static_cast<size_t>(at));
    if (terminator.empty() && !line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string TIdTCPConnection::ReadNonEmptyLine() {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    for (;;) {
        std::string line = ReadLine({}, IdTimeoutInfinite);
        size_t first = 0;
        size_t last = line.size();
        while (first < last && blank(line[first]))
            ++first;
        while (last > first && blank(line[last - 1]))
            --last;
        if (last > first) return line.substr(first, last - first);
    }
}

std::string TIdTCPConnection::ReadUntilClosed() {
    std::string result;
    StartWork(wkRead, 0);
    try {
        while (IsConnected())
            result += TakeAvailable();
    } catch (...) {
        FinishWork(wkRead);
        throw;
    }
    FinishWork(wkRead);
    return result;
}
