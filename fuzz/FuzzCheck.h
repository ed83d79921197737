// A broken invariant in a fuzz target: print what was expected and abort,
// so that libFuzzer keeps the input as a crash artefact.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

[[noreturn]] inline void FuzzFail(const std::string& invariant) {
    std::fprintf(stderr, "invariant broken: %s\n", invariant.c_str());
    std::abort();
}

// The message is built only when the invariant is broken: a target checks
// several per input, and their hex dumps would cost more than the code
// under test.
#define FUZZ_REQUIRE(holds, invariant)                                                             \
    do {                                                                                           \
        if (!(holds)) FuzzFail(invariant);                                                         \
    } while (false)

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
