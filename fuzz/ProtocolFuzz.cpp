// Fuzz target: a received chunk through trimming and answer recognition, and
// arbitrary texts and numbers through the four field encodings.
// Input: byte 0 = gateway address length (mod 6), the address, a channel
// byte (below 128 the channel itself, else 4 more bytes of a 32-bit number),
// then the chunk.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "protocol/FieldEncodings.h"
#include "protocol/MemoryAnswer.h"
#include "protocol/MemoryFields.h"

namespace {

bool IsControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

void CheckTrim(const std::string& chunk, const std::string& trimmed) {
    const size_t at = chunk.find(trimmed);
    FUZZ_REQUIRE(at != std::string::npos, "the trimmed text is a piece of the chunk");
    FUZZ_REQUIRE(trimmed.empty() || (!IsControl(trimmed.front()) && !IsControl(trimmed.back())),
                 "nothing of code 32 or less is left at either end");
    for (size_t i = 0; i < chunk.size(); ++i)
        if (trimmed.empty() || i < at || i >= at + trimmed.size())
            FUZZ_REQUIRE(IsControl(chunk[i]), "only characters of code 32 or less are removed");
}

struct TDescriptorRow {
    TMemoryField Field;
    std::string Descriptor;
    size_t DataLength; // the characters of the field's bytes, "XX XX ..."
};

// The descriptors in the order in which they are compared, with the data
// each one's answer must carry in full.
std::vector<TDescriptorRow> DescriptorOrder() {
    return {{TMemoryField::Mac, "01 00 08 00", 8 * 3 - 1},
            {TMemoryField::Address, "01 04 01 00", 1 * 3 - 1},
            {TMemoryField::Channel, "84 00 04 00", 4 * 3 - 1},
            {TMemoryField::PanId, "83 00 02 00", 2 * 3 - 1},
            {TMemoryField::Type, "87 00 01 00", 1 * 3 - 1}};
}

void CheckRecognition(const std::string& trimmed, const std::string& gateway) {
    const std::optional<TMemoryAnswer> answer = RecogniseMemoryAnswer(trimmed, gateway);
    std::string prefix = "> " + gateway + " MEM ";
    for (char& c : prefix)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const bool prefixMatches = trimmed.compare(0, 11, prefix) == 0 && prefix.size() == 11;
    const std::string descriptor = trimmed.size() > 11 ? trimmed.substr(11, 11) : std::string();
    const std::vector<TDescriptorRow> order = DescriptorOrder();
    const TDescriptorRow* row = nullptr;
    for (const auto& candidate : order) {
        if (candidate.Descriptor == descriptor) {
            row = &candidate;
            break;
        }
    }
    // The data starts after the descriptor and one separator.
    const bool wholeData = row != nullptr && trimmed.size() >= 11 + 11 + 1 + row->DataLength;
    FUZZ_REQUIRE(
        answer.has_value() == (prefixMatches && row != nullptr && wholeData),
        "an answer is recognised exactly when prefix and descriptor match and its data is whole");
    if (!answer) return;
    FUZZ_REQUIRE(answer->Field == row->Field, "the first equal descriptor selects the field");
    FUZZ_REQUIRE(answer->Text.size() <= 23 || answer->Text == ChannelErrorText,
                 "a field value is never longer than its data");
}

// Splits at spaces, drops empty tokens, joins in reverse order.
std::string ReferenceByteListToHex(const std::string& list) {
    std::vector<std::string> tokens(1);
    for (const char c : list) {
        if (c == ' ')
            tokens.emplace_back();
        else
            tokens.back() += c;
    }
    std::string hex;
    for (auto it = tokens.rbegin(); it != tokens.rend(); ++it)
        hex += *it;
    return hex;
}

void CheckEncodings(const std::string& text, int32_t channel) {
    const std::string hex = ByteListToHex(text);
    FUZZ_REQUIRE(hex == ReferenceByteListToHex(text),
                 "ByteListToHex reverses the space-separated tokens");

    const std::string list = HexToByteList(text);
    FUZZ_REQUIRE(list.size() <= text.size() + text.size() / 2 + 1,
                 "HexToByteList output is bounded");
    if (text.find(' ') == std::string::npos) {
        const std::string padded = text.size() % 2 ? "0" + text : text;
        FUZZ_REQUIRE(ByteListToHex(list) == padded,
                     "HexToByteList then ByteListToHex gives the text back");
    }

    const std::string shown = MaskToChannel(text);
    if (shown != ChannelErrorText) {
        FUZZ_REQUIRE(shown.size() == 2, "a channel is shown as two digits");
        FUZZ_REQUIRE(ChannelToMask(std::stoi(shown, nullptr, 16)) == text,
                     "only a table mask gives a channel");
    }

    const std::string mask = ChannelToMask(channel);
    if (channel < 11 || channel > 26) {
        FUZZ_REQUIRE(mask == ChannelErrorText, "channels outside 11..26 have no mask");
        return;
    }
    char expected[3];
    std::snprintf(expected, sizeof expected, "%02X", static_cast<unsigned>(channel));
    FUZZ_REQUIRE(MaskToChannel(mask) == expected, "MaskToChannel(ChannelToMask(n)) shows n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const std::string gateway = input.TakeBytes(input.TakeByte() % 6);
    int32_t channel = input.TakeByte();
    if (channel >= 128) {
        uint32_t wide = 0;
        for (int i = 0; i < 4; ++i)
            wide = wide << 8 | input.TakeByte();
        channel = static_cast<int32_t>(wide);
    }
    const std::string chunk = input.TakeRest();

    const std::string trimmed = TrimControls(chunk);
    CheckTrim(chunk, trimmed);
    CheckRecognition(trimmed, gateway);
    CheckEncodings(chunk, channel);
    return 0;
}
