// The fleet runner: one command against every row of an inventory, at most
// `Jobs` sessions at once, each on a thread of its own.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "bqctl/Commands.h"
#include "bqctl/Inventory.h"

struct TFleetOptions {
    int Jobs = 16;
    bool Csv = false;            // CSV rows instead of JSON lines
    bool Progress = false;       // a progress line on `err`
    std::ostream* Log = nullptr; // transcripts, each entry prefixed with its row
    std::string ProxyPassword;   // for a row's socks5 login without one
};

// One result per row on `out`, in inventory order; a summary line on `err`.
// For backup and restore the command's path is a folder holding one file per
// row, named host_port_gateway.json. The worst row status (0 when every row
// is done).
int RunFleet(const std::vector<TInventoryRow>& rows, const TCommand& command,
             const TSessionSettings& defaults, const TFleetOptions& options, std::ostream& out,
             std::ostream& err);

// The file of a row in a backup folder.
std::string RowFileName(const TInventoryRow& row);
