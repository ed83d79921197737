// A fleet row's result as a JSON line or a CSV record.
#pragma once

#include <string>

#include "bqctl/Commands.h"
#include "bqctl/Inventory.h"

// host, port, gateway, status, result, error (null when none): a single
// run's --json object, which a fleet row extends with its line and time.
nlohmann::ordered_json SingleJson(const TInventoryRow& row, const TOutcome& outcome);
std::string FleetJsonLine(const TInventoryRow& row, const TOutcome& outcome);
std::string FleetCsvHeader();
std::string FleetCsvRecord(const TInventoryRow& row, const TOutcome& outcome);
