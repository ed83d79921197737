// A growable contiguous byte buffer: append at the end, remove from the front.
// The connection's input queue and its receive scratch area are two of these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TIdBuffer {
public:
    TIdBuffer() = default;
    explicit TIdBuffer(int32_t size);

    char* Memory() { return Bytes.data(); }
    const char* Memory() const { return Bytes.data(); }
    int32_t Size() const { return static_cast<int32_t>(Bytes.size()); }
    // Grows with zero bytes or cuts at the end; a negative size counts as 0.
    void SetSize(int32_t size);

    void Append(const void* data, int32_t count);
    // Removes the first `count` bytes, moving the rest to the front; taking
    // every byte releases the memory. More than Size() raises
    // EIdNotEnoughDataInBuffer and leaves the buffer unchanged; a negative
    // count removes nothing.
    void DiscardFront(int32_t count);
    void Clear();

    // The first `count` bytes (at most Size()) as 8-bit text.
    std::string Text(int32_t count) const;
    // Text(count) followed by DiscardFront(count), and raising as it does;
    // taking every byte hands the buffer's memory over with them instead of
    // copying them and releasing it.
    std::string TakeFront(int32_t count);
    // 0-based index of the first occurrence of `needle`, or -1.
    int32_t Find(std::string_view needle) const;

private:
    // A string rather than a vector so that the whole content can leave as text without a copy.
    std::string Bytes;
};
