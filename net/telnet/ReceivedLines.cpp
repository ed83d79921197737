// Cutting received text after its line ends.
#include "net/telnet/ReceivedLines.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr size_t BlockSize = 64;

// Bit i is set when bytes[i] is CR or LF, for `count` bytes, at most BlockSize.
uint64_t LineEndCandidates(const char* bytes, size_t count) {
#if defined(__SSE2__)
    if (count == BlockSize) {
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i cr = _mm_set1_epi8('\r');
        uint64_t mask = 0;
        for (size_t part = 0; part < BlockSize; part += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + part));
            const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(block, lf), _mm_cmpeq_epi8(block, cr));
            mask |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(hits))) << part;
        }
        return mask;
    }
#endif
    uint64_t mask = 0;
    for (size_t i = 0; i < count; ++i)
        if (bytes[i] == '\n' || bytes[i] == '\r') mask |= uint64_t{1} << i;
    return mask;
}

} // namespace

// The text is looked at a block at a time for CR and LF together, and only
// the bytes found are examined one by one: about two per line.
void SplitAfterLineEnds(std::string_view text, std::vector<std::string_view>& pieces) {
    pieces.clear();
    const char* const bytes = text.data();
    const size_t size = text.size();
    size_t start = 0;
    for (size_t block = 0; block < size; block += BlockSize) {
        uint64_t candidates = LineEndCandidates(bytes + block, std::min(BlockSize, size - block));
        for (; candidates != 0; candidates &= candidates - 1) {
            const size_t at = block + static_cast<size_t>(std::countr_zero(candidates));
            // The CR of CR LF: the LF ends that line.
            if (bytes[at] == '\r' && at + 1 < size && bytes[at + 1] == '\n') continue;
            pieces.push_back(text.substr(start, at + 1 - start));
            start = at + 1;
        }
    }
    if (start < size || pieces.empty()) pieces.push_back(text.substr(start));
}
