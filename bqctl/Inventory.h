// The fleet's inventory: a CSV file (RFC 4180, as spreadsheets write it)
// whose header line names the columns host, port, gateway and optionally
// proxy, in any order and any case; other columns are ignored. Then one
// gateway per record; blank records and '#' lines are skipped.
#pragma once

#include <cstddef>
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

// An inventory larger than this is refused before it is parsed.
constexpr size_t InventoryLimit = size_t{4} << 20;

// False with one line naming the file, the line and what is wrong.
bool ParseInventory(const std::string& text, const std::string& name,
                    std::vector<TInventoryRow>& rows, std::string& error);
// Reads the file at `path` ("-": standard input), at most InventoryLimit
// bytes of it, and parses it.
bool ReadInventory(const std::string& path, std::vector<TInventoryRow>& rows, std::string& error);
