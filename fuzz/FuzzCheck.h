// A broken invariant in a fuzz target: print what was expected and abort,
// so that libFuzzer keeps the input as a crash artefact.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

inline void FuzzRequire(bool holds, const std::string& invariant) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", invariant.c_str());
    std::abort();
}

// Bytes as hex pairs, for messages about binary texts.
inline std::string FuzzHex(const std::string& bytes) {
    static const char Digits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (!hex.empty()) hex += ' ';
        hex += Digits[byte >> 4];
        hex += Digits[byte & 15];
    }
    return hex;
}
