// Fuzz target: any bytes as a backup file through ParseBackup, and as a
// device's values through the JSON and text that bqctl prints. A refusal is
// one line naming the file; a backup taken holds values a restore can write
// and reads back the same once written again; device bytes of any kind give
// JSON that parses and text without a control character.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bqctl/BackupFile.h"
#include "bqctl/DeviceText.h"
#include "bqctl/TextRules.h"
#include "fuzz/FuzzCheck.h"

namespace {

void CheckBackup(const std::string& text) {
    TBackup backup;
    std::string error;
    if (!ParseBackup(text, "b.json", backup, error)) {
        FUZZ_REQUIRE(error.rfind("b.json: ", 0) == 0, "a refusal names the file: " + error);
        FUZZ_REQUIRE(error.find_first_of("\r\n") == std::string::npos,
                     "a refusal is one line: " + FuzzHex(error));
        return;
    }
    std::string why;
    FUZZ_REQUIRE(CheckFieldText(TMemoryField::Address, backup.Address, "", why) &&
                     CheckFieldText(TMemoryField::Channel, backup.Channel, "", why) &&
                     CheckFieldText(TMemoryField::PanId, backup.PanId, "", why),
                 "a backup taken holds writable values: " + why);
    nlohmann::ordered_json again = {{"mac", backup.Mac},
                                    {"address", backup.Address},
                                    {"channel", backup.Channel},
                                    {"pan_id", backup.PanId}};
    if (!backup.Type.empty()) again["type"] = backup.Type;
    TBackup reread;
    FUZZ_REQUIRE(ParseBackup(JsonText(again), "again", reread, error),
                 "a backup written again is taken: " + error);
    FUZZ_REQUIRE(reread.Mac == backup.Mac && reread.Address == backup.Address &&
                     reread.Channel == backup.Channel && reread.PanId == backup.PanId &&
                     reread.Type == backup.Type,
                 "a backup written again reads the same");
}

// The input cut into five device values, as a gateway could answer them.
void CheckDeviceText(const std::string& bytes) {
    TDeviceValues values;
    const size_t piece = bytes.size() / 5 + 1;
    for (size_t i = 0; i < 5; ++i)
        if (i * piece <= bytes.size()) values.Texts[i] = bytes.substr(i * piece, piece);
    const std::string json = JsonText(DeviceJson(values), 2);
    FUZZ_REQUIRE(!nlohmann::json::parse(json, nullptr, false).is_discarded(),
                 "device JSON parses: " + FuzzHex(json));
    const std::string shown = PrintableDeviceText(bytes);
    for (const char c : shown)
        FUZZ_REQUIRE(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F,
                     "no control byte in shown text: " + FuzzHex(shown));
    FUZZ_REQUIRE(shown.find("\xC2\x80") == std::string::npos &&
                     shown.find("\xC2\x98") == std::string::npos,
                 "no C1 control in shown text: " + FuzzHex(shown));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckBackup(bytes);
    CheckDeviceText(bytes);
    return 0;
}
