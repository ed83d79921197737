// Formatting of fleet results.
#include "bqctl/FleetOutput.h"

#include "bqctl/DeviceText.h"

namespace {

// RFC 4180 quoting where a field needs it, after escaping its controls.
std::string CsvField(const std::string& raw) {
    const std::string text = EscapeControls(raw);
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

nlohmann::ordered_json SingleJson(const TInventoryRow& row, const TOutcome& outcome) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    object["host"] = row.Host;
    object["port"] = row.Port;
    object["gateway"] = row.Gateway;
    object["status"] = static_cast<int>(outcome.Exit);
    object["result"] = outcome.Result;
    object["error"] = outcome.Error.empty() ? nlohmann::ordered_json(nullptr)
                                            : nlohmann::ordered_json(outcome.Error);
    return object;
}

std::string FleetJsonLine(const TInventoryRow& row, const TOutcome& outcome) {
    nlohmann::ordered_json line = nlohmann::ordered_json::object();
    line["line"] = row.Line;
    line.update(SingleJson(row, outcome));
    line["ms"] = static_cast<double>(static_cast<long long>(outcome.Milliseconds * 10 + 0.5)) / 10;
    return JsonText(line) + "\n";
}

std::string FleetCsvHeader() {
    return "line,host,port,gateway,status,mac,address,channel,pan_id,type,error\n";
}

std::string FleetCsvRecord(const TInventoryRow& row, const TOutcome& outcome) {
    // write and restore show what they read back.
    const nlohmann::ordered_json& device =
        outcome.Result.contains("read_back") ? outcome.Result["read_back"] : outcome.Result;
    std::string record = std::to_string(row.Line) + "," + CsvField(row.Host) + "," +
                         std::to_string(row.Port) + "," + CsvField(row.Gateway) + "," +
                         std::to_string(static_cast<int>(outcome.Exit));
    for (const char* key : {"mac", "address", "channel", "pan_id", "type"}) {
        const auto it = device.find(key);
        record += ",";
        if (it != device.end() && it->is_string()) record += CsvField(it->get<std::string>());
    }
    return record + "," + CsvField(outcome.Error) + "\n";
}
