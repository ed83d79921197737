// Fuzz target: any text through the shared integer conversion, compared with
// the reference rules; StrToInt must raise exactly when TryStrToInt fails.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "fuzz/IntReference.h"
#include "runtime/Exception.h"
#include "runtime/IntConversion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<int32_t> expected = ReferenceStrToInt(text);

    int32_t value = 0;
    const bool accepted = TryStrToInt(text, value);
    FUZZ_REQUIRE(accepted == expected.has_value(),
                 "TryStrToInt acceptance of '" + FuzzHex(text) + "' differs from the rules");
    if (accepted)
        FUZZ_REQUIRE(value == *expected, "TryStrToInt of '" + text + "' gives " +
                                             std::to_string(value) + ", expected " +
                                             std::to_string(*expected));

    try {
        const int32_t converted = StrToInt(text);
        FUZZ_REQUIRE(accepted, "StrToInt accepts what TryStrToInt rejects");
        FUZZ_REQUIRE(converted == value, "StrToInt and TryStrToInt give different values");
    } catch (const EConvertError& error) {
        FUZZ_REQUIRE(!accepted, "StrToInt raises for an integer");
        FUZZ_REQUIRE(error.Message == "'" + text + "' is not a valid integer value",
                     "wrong conversion message: " + error.Message);
    }
    return 0;
}
