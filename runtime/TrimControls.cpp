// Trimming of received text: line ends, spaces and control codes at both ends.
#include "runtime/TrimControls.h"

namespace {

// Bytes 0x80..0xFF are Windows-1251 letters, not controls; compare unsigned.
bool IsControlOrSpace(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::string TrimControls(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsControlOrSpace(text[first]))
        ++first;
    while (last > first && IsControlOrSpace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}
