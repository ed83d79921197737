// The fleet's inventory: a CSV file whose header line names the columns
// host, port, gateway and optionally proxy (in any order), then one gateway
// per line. Fields hold no commas (percent-encode them in a proxy login).
#pragma once

#include <string>
#include <vector>

#include "session/SessionSettings.h"

struct TInventoryRow {
    int Line = 0; // in the file, from 1
    std::string Host;
    int32_t Port = 0;
    std::string Gateway;
    bool HasProxy = false;
    TProxySettings Proxy;
};

// False with one line naming the file, the line and what is wrong.
bool ParseInventory(const std::string& text, const std::string& name,
                    std::vector<TInventoryRow>& rows, std::string& error);
