// Conversion and escaping of device text for bqctl's output.
#include "bqctl/DeviceText.h"

#include <cstdio>

#include "runtime/Cp1251.h"

namespace {

void AppendEscape(std::string& out, unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", value);
    out += text;
}

} // namespace

std::string EscapeControls(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0U;
        if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, c);
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            AppendEscape(out, next); // C1 controls, U+0080..U+009F
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string PrintableDeviceText(const std::string& cp1251) {
    return EscapeControls(Cp1251ToUtf8(cp1251));
}

std::string JsonText(const nlohmann::ordered_json& json, int indent) {
    return json.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
