// Fuzz target: any text through the dotted-address rules of the socket stack.
// A text that IsDottedAddress accepts must parse, and its four bytes must
// format into a text that parses back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "fuzz/IntReference.h"
#include "net/stack/IdStack.h"
#include "runtime/Exception.h"

namespace {

TIdStack& Stack() {
    static TIdStack* const stack = [] {
        GlobalStack = TIdStack::CreateDefaultStack();
        return GlobalStack;
    }();
    return *stack;
}

// Cuts three parts at the first dots; the fourth part is the rest, dots
// included. Each must be an integer of 0 to 255.
std::optional<TIdIPv4Bytes> ReferenceDotted(std::string rest) {
    TIdIPv4Bytes bytes{};
    for (int part = 0; part < 4; ++part) {
        const size_t dot = part < 3 ? rest.find('.') : std::string::npos;
        const std::string piece = rest.substr(0, dot);
        rest = dot == std::string::npos ? std::string() : rest.substr(dot + 1);
        const std::optional<int32_t> value = ReferenceStrToInt(piece);
        if (!value || *value < 0 || *value > 255) return std::nullopt;
        bytes[static_cast<size_t>(part)] = static_cast<uint8_t>(*value);
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TIdStack& stack = Stack();
    const std::string text(reinterpret_cast<const char*>(data), size);

    const std::optional<TIdIPv4Bytes> expected = ReferenceDotted(text);
    const bool dotted = stack.IsDottedAddress(text);
    FUZZ_REQUIRE(dotted == expected.has_value(),
                 "IsDottedAddress of " + FuzzHex(text) + " differs from the rules");

    TIdIPv4Bytes bytes{};
    try {
        bytes = stack.ParseDottedAddress(text);
    } catch (const EConvertError&) {
        FUZZ_REQUIRE(!dotted, "ParseDottedAddress raises for a text IsDottedAddress accepts");
        return 0;
    }
    if (!dotted) return 0;
    FUZZ_REQUIRE(bytes == *expected, "the parsed bytes are the four parts' values");

    const std::string formatted = stack.FormatDottedAddress(bytes);
    FUZZ_REQUIRE(stack.IsDottedAddress(formatted), "a formatted address is dotted: " + formatted);
    FUZZ_REQUIRE(stack.ParseDottedAddress(formatted) == bytes,
                 "format then parse gives the bytes back");
    FUZZ_REQUIRE(stack.ResolveToDotted(text) == text, "a dotted address resolves to itself");
    const uint32_t value = stack.DottedAddressValue(text);
    FUZZ_REQUIRE(std::memcmp(&value, bytes.data(), 4) == 0,
                 "the address value holds the bytes in order");
    return 0;
}
