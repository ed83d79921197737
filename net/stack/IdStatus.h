// Connection status values, their texts, and the status event.
#pragma once

#include <array>
#include <functional>
#include <string>

class TObject;

enum TIdStatus { stResolving, stConnecting, stConnected, stDisconnecting, stDisconnected, stText };

// Formats for each status, one "%s" at most, filled by ReportStatus.
inline const std::array<std::string, 6> StatusTexts = {
    "Resolving hostname %s.", "Connecting to %s.", "Connected.",
    "Disconnecting from %s.", "Not connected.",    "%s"};

// (sender, status, formatted status text); called on the thread that caused the change.
using TIdStatusEvent =
    std::function<void(TObject* axSender, TIdStatus axStatus, const std::string& asStatusText)>;
