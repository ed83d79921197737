// The growable byte buffer behind the input queue and the scratch area.
#include "net/tcp/IdBuffer.h"

#include <algorithm>
#include <utility>

#include "net/stack/IdException.h"

TIdBuffer::TIdBuffer(int32_t size) {
    SetSize(size);
}

void TIdBuffer::SetSize(int32_t size) {
    Bytes.resize(static_cast<size_t>(std::max(size, 0)), '\0');
}

void TIdBuffer::Append(const void* data, int32_t count) {
    if (count <= 0 || data == nullptr) return;
    Bytes.append(static_cast<const char*>(data), static_cast<size_t>(count));
}

void TIdBuffer::DiscardFront(int32_t count) {
    if (count > Size()) throw EIdNotEnoughDataInBuffer();
    if (count <= 0) return;
    if (count == Size()) {
        Clear();
        return;
    }
    Bytes.erase(0, static_cast<size_t>(count));
}

void TIdBuffer::Clear() {
    std::string().swap(Bytes);
}

std::string TIdBuffer::Text(int32_t count) const {
    return Bytes.substr(0, static_cast<size_t>(std::clamp(count, 0, Size())));
}

std::string TIdBuffer::TakeFront(int32_t count) {
    if (count > Size()) throw EIdNotEnoughDataInBuffer();
    if (count == Size()) return std::exchange(Bytes, std::string());
    std::string front = Text(count);
    DiscardFront(count);
    return front;
}

int32_t TIdBuffer::Find(std::string_view needle) const {
    const size_t at = std::string_view(Bytes).find(needle);
    return at == std::string_view::npos ? -1 : static_cast<int32_t>(at);
}
