// Escaping of received bytes for the simulator's log.
#include "gateway-sim/Printable.h"

std::string Printable(std::string_view bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            result += c;
        } else {
            result += "\\x";
            result += Digits[b >> 4];
            result += Digits[b & 0x0F];
        }
    }
    return result;
}
