// The growable byte buffer behind the input queue and the scratch area.
#include "net/tcp/IdBuffer.h"

#include <algorithm>
#include <cstring>

#include "net/stack/IdException.h"

TIdBuffer::TIdBuffer(int32_t size) { SetSize(size); }

void TIdBuffer::SetSize(int32_t size) { Bytes.resize(static_cast<size_t>(std::max(size, 0))); }

void TIdBuffer::Append(const void* data, int32_t count) {
    if (count <= 0 || data == nullptr) return;
    const char* bytes = static_cast<const char*>(data);
    Bytes.insert(Bytes.end(), bytes, bytes + count);
}

void TIdBuffer::DiscardFront(int32_t count) {
    if (count > Size()) throw EIdNotEnoughDataInBuffer();
    if (count <= 0) return;
    if (count == Size()) {
        std::vector<char>().swap(Bytes);
        return;
    }
    Bytes.erase(Bytes.begin(), Bytes.begin() + count);
}

void TIdBuffer::Clear() { std::vector<char>().swap(Bytes); }

std::string TIdBuffer::Text(int32_t count) const {
    return std::string(Bytes.data(), static_cast<size_t>(std::clamp(count, 0, Size())));
}

int32_t TIdBuffer::Find(std::string_view needle) const {
    const std::string_view haystack(Bytes.data(), Bytes.size());
    const size_t at = haystack.find(needle);
    return at == std::string_view::npos ? -1 : static_cast<int32_t>(at);
}
