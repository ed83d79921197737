// Device text on its way out: the gateway's Windows-1251 bytes as UTF-8, and
// for a terminal with its control characters shown as escapes.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

// UTF-8 with every C0 control, DEL, U+0080..U+009F and the backslash written
// as \xHH (the backslash as \\), so that no device can move the cursor, clear
// the screen or ring the bell of whoever reads the output.
std::string EscapeControls(const std::string& utf8);
// A device's bytes for a terminal or a message: converted, then escaped.
std::string PrintableDeviceText(const std::string& cp1251);
// JSON as text; a string that is not UTF-8 after all is shown with U+FFFD
// instead of ending the program.
std::string JsonText(const nlohmann::ordered_json& json, int indent = -1);
