// The send side of the connection: the one send loop through which every
// written byte passes, the writers built on it, and optional pending output.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <vector>

#include "net/stack/IdAntiFreezeBase.h"
#include "net/stack/IdException.h"
#include "net/stack/winsock/WinsockErrors.h"
#include "net/tcp/IdTCPConnection.h"

void TIdTCPConnection::SendBytes(const void* buffer, int32_t count, bool writeNow) {
    if (count <= 0 || buffer == nullptr) return;
    CheckPeerClosed(true, true);
    const char* bytes = static_cast<const char*>(buffer);
    if (PendingOutput && !writeNow) {
        PendingOutput->Append(bytes, count);
        if (PendingOutputThreshold > 0 && PendingOutput->Size() >= PendingOutputThreshold)
            FlushPendingOutput(PendingOutputThreshold);
        return;
    }
    SendDirect(bytes, count);
}

int32_t TIdTCPConnection::TransmitOnce(const char* buffer, int32_t count) {
    if (FInterceptEnabled && FIntercept != nullptr && FIntercept->HandlesSend)
        return FIntercept->InterceptSend(buffer, count);
    const int32_t sent = SocketHandle.TransmitChunk(buffer, count, 0);
    TIdAntiFreezeBase::DoProcess(false, false);
    return sent;
}

void TIdTCPConnection::SetSendDeadline(std::chrono::steady_clock::time_point deadline) {
    FSendDeadline = deadline.time_since_epoch().count();
}

std::chrono::steady_clock::time_point TIdTCPConnection::SendDeadline() const {
    return std::chrono::steady_clock::time_point(
        std::chrono::steady_clock::duration(FSendDeadline));
}

// A socket that reports room takes at least a third of its send buffer (some
// kilobytes) without blocking; a piece of this size therefore never blocks
// once the wait for room has succeeded.
constexpr int32_t PieceAfterWait = 1024;

int32_t TIdTCPConnection::RoomToSend(int32_t count) {
    const auto deadline = SendDeadline();
    const bool intercepted = FInterceptEnabled && FIntercept != nullptr && FIntercept->HandlesSend;
    if (deadline == std::chrono::steady_clock::time_point::max() || intercepted) return count;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const auto waitMs = static_cast<int32_t>(
        std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 24 * 3600 * 1000));
    if (!SocketHandle.WaitWritable(waitMs)) throw EIdSendTimedOut();
    return std::min(count, PieceAfterWait);
}

// A partial send is repeated with the rest; a send of 0 bytes is the peer's
// close.
void TIdTCPConnection::SendDirect(const char* buffer, int32_t count) {
    int32_t index = 0;
    while (index < count) {
        const int32_t remaining = count - index;
        const int32_t sent = TransmitOnce(buffer + index, RoomToSend(remaining));
        if (sent == 0) FPeerClosed = true;
        CheckPeerClosed(true, false);
        // Received bytes still queued keep the check above quiet, but nothing
        // more can be sent: stop here rather than retry a closed socket.
        if (sent == 0) throw EIdConnClosedGracefully();
        if (GlobalStack->CheckSocketResult(sent, {Id_WSAESHUTDOWN})) {
            DropSocket();
            GlobalStack->RaiseSocketFailure(Id_WSAESHUTDOWN);
        }
        AddWork(wkWrite, sent);
        if (FInterceptEnabled && FIntercept != nullptr)
            FIntercept->AfterSend(buffer + index, remaining);
        index += sent;
    }
}

void TIdTCPConnection::WriteText(const std::string& text) {
    if (!text.empty()) SendBytes(text.data(), static_cast<int32_t>(text.size()));
}

void TIdTCPConnection::WriteLine(const std::string& text) {
    WriteText(text + "\r\n");
}

void TIdTCPConnection::WriteInt32(int32_t value, bool convert) {
    uint32_t bits = static_cast<uint32_t>(value);
    if (convert) bits = GlobalStack->HostToNetLong(bits);
    SendBytes(&bits, sizeof bits);
}

void TIdTCPConnection::WriteFromStream(std::istream& stream, bool all, bool writeByteCount) {
    if (all) {
        stream.clear();
        stream.seekg(0);
    }
    const std::streamoff position = stream.tellg();
    stream.seekg(0, std::ios::end);
    const std::streamoff end = stream.tellg();
    stream.seekg(position);
    // The count goes on the wire as 32 bits: a stream that cannot say its
    // size, or is too large to count, is refused before anything is sent.
    if (position < 0 || end < position || end - position > std::numeric_limits<int32_t>::max())
        throw EIdNoDataToRead();
    const auto total = static_cast<int32_t>(end - position);

    if (writeByteCount) WriteInt32(total, true);
    StartWork(wkWrite, total);
    try {
        std::vector<char> chunk(static_cast<size_t>(std::max(SendBufferSize, 1)));
        int32_t remaining = total;
        while (remaining > 0) {
            const auto wanted = std::min<int64_t>(remaining, static_cast<int64_t>(chunk.size()));
            stream.read(chunk.data(), wanted);
            const auto got = static_cast<int32_t>(stream.gcount());
            if (got == 0) throw EIdNoDataToRead();
            SendBytes(chunk.data(), got);
            remaining -= got;
        }
    } catch (...) {
        FinishWork(wkWrite);
        throw;
    }
    FinishWork(wkWrite);
}

int32_t TIdTCPConnection::WriteFromFile(const std::string& fileName, bool allowTransmit) {
    if (FileSendRoutine != nullptr && !FInterceptEnabled && allowTransmit)
        return FileSendRoutine(SocketHandle.Socket(), fileName);
    std::ifstream file(fileName, std::ios::binary);
    if (!file) throw Exception("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    WriteFromStream(file, true, false);
    return static_cast<int32_t>(size);
}

void TIdTCPConnection::FlushPendingOutput(int32_t count) {
    if (!PendingOutput || PendingOutput->Size() == 0) return;
    if (count != -1 && count <= PendingOutput->Size()) {
        SendBytes(PendingOutput->Memory(), count, true);
        PendingOutput->DiscardFront(count);
    } else {
        SendBytes(PendingOutput->Memory(), PendingOutput->Size(), true);
        DiscardPendingOutput();
    }
}

void TIdTCPConnection::DiscardPendingOutput() {
    if (PendingOutput) PendingOutput->Clear();
}

void TIdTCPConnection::CreatePendingOutput(int32_t threshold) {
    if (!PendingOutput) PendingOutput = std::make_unique<TIdBuffer>();
    PendingOutputThreshold = threshold;
}

void TIdTCPConnection::ReleasePendingOutput() {
    PendingOutput.reset();
}

int32_t TIdTCPConnection::PendingOutputSize() const {
    return PendingOutput ? PendingOutput->Size() : 0;
}
