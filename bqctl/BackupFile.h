// The JSON forms of a device's values: info's object, and the backup file
// (the five values with gateway, host, port, time and tool version).
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "session/DeviceValues.h"
#include "session/SessionSettings.h"

// {"mac", "address", "channel", "channel_number", "pan_id", "type"}; the
// channel number is null when the device's mask is no channel.
nlohmann::ordered_json DeviceJson(const TDeviceValues& values);
nlohmann::ordered_json BackupJson(const TDeviceValues& values, const TSessionSettings& settings);

// What a restore takes from a backup.
struct TBackup {
    std::string Mac, Address, Channel, PanId;
    std::string Type; // empty when the backup has none
};

// The backup format this bqctl writes ("format"); a backup without one is
// the first format, a higher one is refused.
constexpr int BackupFormat = 1;
// False with one line naming the file (`name`) and what is wrong in it.
bool ParseBackup(const std::string& text, const std::string& name, TBackup& backup,
                 std::string& error);
