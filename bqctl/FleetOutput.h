// A fleet row's result as a JSON line or a CSV record.
#pragma once

#include <string>

#include "bqctl/Commands.h"
#include "bqctl/Inventory.h"

std::string FleetJsonLine(const TInventoryRow& row, const TOutcome& outcome);
std::string FleetCsvHeader();
std::string FleetCsvRecord(const TInventoryRow& row, const TOutcome& outcome);
