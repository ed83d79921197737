// Fuzz target: any bytes as a fleet inventory through ParseInventory. A
// refusal is one line; the rows taken are well formed, and written back as
// CSV (every field quoted, ',' or ';' between) they read as the same rows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bqctl/Inventory.h"
#include "fuzz/FuzzCheck.h"

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string Written(const std::vector<TInventoryRow>& rows, char separator) {
    std::string text = std::string("port") + separator + "HOST" + separator + "Gateway\r\n";
    for (const TInventoryRow& row : rows)
        text += Quoted(std::to_string(row.Port)) + separator + Quoted(row.Host) + separator +
                Quoted(row.Gateway) + "\r\n";
    return text;
}

void CheckRows(const std::vector<TInventoryRow>& rows) {
    int line = 0;
    for (const TInventoryRow& row : rows) {
        FUZZ_REQUIRE(row.Line > line, "rows come in line order");
        line = row.Line;
        FUZZ_REQUIRE(!row.Host.empty(), "a row has a host");
        for (const char c : row.Host + row.Gateway)
            FUZZ_REQUIRE(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F,
                         "no control byte in " + FuzzHex(row.Host + row.Gateway));
        FUZZ_REQUIRE(row.Port >= 1 && row.Port <= 65535, "the port is 1..65535");
        FUZZ_REQUIRE(row.Gateway.size() == 4, "the gateway has four characters");
    }
}

void CheckRewritten(const std::vector<TInventoryRow>& rows, char separator) {
    std::vector<TInventoryRow> again;
    std::string error;
    FUZZ_REQUIRE(ParseInventory(Written(rows, separator), "again", again, error),
                 "rows written back are read: " + error);
    FUZZ_REQUIRE(again.size() == rows.size(), "as many rows read back as written");
    for (size_t i = 0; i < rows.size(); ++i) {
        FUZZ_REQUIRE(again[i].Host == rows[i].Host,
                     "the host reads back: " + FuzzHex(rows[i].Host));
        FUZZ_REQUIRE(again[i].Port == rows[i].Port, "the port reads back");
        FUZZ_REQUIRE(again[i].Gateway == rows[i].Gateway, "the gateway reads back");
        FUZZ_REQUIRE(again[i].Line == static_cast<int>(i) + 2, "one line per row written");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<TInventoryRow> rows;
    std::string error;
    if (!ParseInventory(text, "inv", rows, error)) {
        FUZZ_REQUIRE(error.rfind("inv", 0) == 0, "a refusal names the file: " + error);
        FUZZ_REQUIRE(error.find_first_of("\r\n") == std::string::npos,
                     "a refusal is one line: " + FuzzHex(error));
        return 0;
    }
    CheckRows(rows);
    CheckRewritten(rows, ',');
    CheckRewritten(rows, ';');
    return 0;
}
