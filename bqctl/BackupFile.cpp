// Device values to JSON and a backup file back to the values a restore writes.
#include "bqctl/BackupFile.h"

#include <chrono>
#include <cstdio>

#include "bqctl/TextRules.h"
#include "protocol/FieldRules.h"
#include "runtime/Cp1251.h"
#include "runtime/Version.h"

namespace {

// "2026-12-09T03:27:27Z", UTC.
std::string UtcNow() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lldZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<long long>(time.hours().count()),
                  static_cast<long long>(time.minutes().count()),
                  static_cast<long long>(time.seconds().count()));
    return text;
}

} // namespace

nlohmann::ordered_json DeviceJson(const TDeviceValues& values) {
    nlohmann::ordered_json device = nlohmann::ordered_json::object();
    for (const TMemoryField field : AllMemoryFields) {
        const std::optional<std::string>& text = values[field];
        device[FieldName(field)] = text ? nlohmann::ordered_json(Cp1251ToUtf8(*text)) : nullptr;
        if (field != TMemoryField::Channel) continue;
        const int32_t number = text ? FieldValue(*text) : -1;
        device["channel_number"] =
            IsValidChannel(number) ? nlohmann::ordered_json(number) : nullptr;
    }
    return device;
}

nlohmann::ordered_json BackupJson(const TDeviceValues& values, const TSessionSettings& settings) {
    nlohmann::ordered_json backup = nlohmann::ordered_json::object();
    backup["format"] = BackupFormat;
    backup.update(DeviceJson(values));
    backup["gateway"] = settings.Gateway;
    backup["host"] = settings.Host;
    backup["port"] = settings.Port;
    backup["time"] = UtcNow();
    backup["tool"] = std::string("bqctl ") + ProductVersion();
    return backup;
}

bool ParseBackup(const std::string& text, const std::string& name, TBackup& backup,
                 std::string& error) {
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        error = name + ": not a JSON object";
        return false;
    }
    const auto take = [&](const char* key, std::string& into) {
        const auto it = json.find(key);
        if (it == json.end() || !it->is_string()) {
            error = name + ": \"" + key + "\" missing or not a text";
            return false;
        }
        into = it->get<std::string>();
        return true;
    };
    const auto format = json.find("format");
    if (format != json.end() && (!format->is_number_integer() || format->get<int>() < 1 ||
                                 format->get<int>() > BackupFormat)) {
        error = name + ": backup format " + format->dump() + ", this bqctl reads format " +
                std::to_string(BackupFormat) + " (and backups without one)";
        return false;
    }
    if (const auto type = json.find("type"); type != json.end() && type->is_string())
        backup.Type = type->get<std::string>();
    if (!take("mac", backup.Mac) || !take("address", backup.Address) ||
        !take("channel", backup.Channel) || !take("pan_id", backup.PanId))
        return false;
    // Shown in messages below, so refused first: a file is no terminal's master.
    for (const std::string* value :
         {&backup.Mac, &backup.Address, &backup.Channel, &backup.PanId, &backup.Type})
        for (const char c : *value)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                error = name + ": a control character in a value";
                return false;
            }
    return CheckFieldText(TMemoryField::Address, backup.Address, name + ": address", error) &&
           CheckFieldText(TMemoryField::Channel, backup.Channel, name + ": channel", error) &&
           CheckFieldText(TMemoryField::PanId, backup.PanId, name + ": pan_id", error);
}
