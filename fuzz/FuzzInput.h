// Cuts one fuzzer input into the pieces a target needs: single control
// bytes from the front, byte strings of a given length, and the rest.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

class TFuzzInput {
public:
    TFuzzInput(const uint8_t* data, size_t size) : Data(data), Size(size) {}

    // 0 once the input is used up, so every input has a meaning.
    uint8_t TakeByte() { return Position < Size ? Data[Position++] : 0; }

    std::string TakeBytes(size_t count) {
        count = std::min(count, Size - Position);
        std::string bytes(reinterpret_cast<const char*>(Data + Position), count);
        Position += count;
        return bytes;
    }

    std::string TakeRest() { return TakeBytes(Size - Position); }

private:
    const uint8_t* Data;
    size_t Size;
    size_t Position = 0;
};
