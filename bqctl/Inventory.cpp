// Parsing of the fleet inventory.
#include "bqctl/Inventory.h"

#include <array>
#include <optional>

#include "bqctl/CsvRecords.h"
#include "bqctl/InputFile.h"
#include "bqctl/ProxyUrl.h"
#include "bqctl/TextRules.h"

namespace {

enum Column : size_t { Host, Port, Gateway, Proxy, ColumnCount };
const std::array<std::string, ColumnCount> ColumnNames{"host", "port", "gateway", "proxy"};
using TColumns = std::array<std::optional<size_t>, ColumnCount>;

bool IsEmpty(const TCsvRecord& record) {
    for (const std::string& field : record.Fields)
        if (!field.empty()) return false;
    return true;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The first record that is not blank; false when there is none.
bool NextFilled(TCsvRecords& records, TCsvRecord& record) {
    while (records.Next(record))
        if (!IsEmpty(record)) return true;
    return false;
}

bool MapHeader(const TCsvRecord& header, TColumns& at, std::string& error) {
    for (size_t i = 0; i < header.Fields.size(); ++i) {
        const std::string name = Lower(header.Fields[i]);
        for (size_t column = 0; column < ColumnCount; ++column) {
            if (name != ColumnNames[column]) continue;
            if (at[column]) {
                error = "the header names '" + name + "' twice";
                return false;
            }
            at[column] = i;
        }
    }
    if (!at[Host] || !at[Port] || !at[Gateway]) {
        error = "the header must name host, port and gateway";
        return false;
    }
    return true;
}

std::string ControlIn(const std::string& field) {
    static const char Digits[] = "0123456789ABCDEF";
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return {'0', 'x', Digits[byte >> 4], Digits[byte & 15]};
    }
    return {};
}

bool MakeRow(const TCsvRecord& record, const TColumns& at, TInventoryRow& row, std::string& error) {
    for (size_t column = 0; column < ColumnCount; ++column) {
        if (!at[column]) continue;
        const std::string control = ControlIn(record.Fields[*at[column]]);
        if (!control.empty()) {
            error = "control character " + control + " in the " + ColumnNames[column] + " field";
            return false;
        }
    }
    row.Line = record.Line;
    row.Host = record.Fields[*at[Host]];
    if (row.Host.empty()) {
        error = "empty host";
        return false;
    }
    const std::string& port = record.Fields[*at[Port]];
    if (!ParsePort(port, row.Port)) {
        error = "port '" + port + "' is not a number from 1 to 65535";
        return false;
    }
    std::string why;
    const std::string& gateway = record.Fields[*at[Gateway]];
    if (!ParseGateway(gateway, row.Gateway, why)) {
        error = "gateway '" + gateway + "': four characters expected";
        return false;
    }
    if (at[Proxy] && !record.Fields[*at[Proxy]].empty()) {
        row.HasProxy = true;
        if (!ParseProxyUrl(record.Fields[*at[Proxy]], row.Proxy, error)) return false;
    }
    return true;
}

} // namespace

bool ParseInventory(const std::string& text, const std::string& name,
                    std::vector<TInventoryRow>& rows, std::string& error) {
    std::string_view body = text;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    TCsvRecords records(body, ',');
    TCsvRecord header;
    bool found = NextFilled(records, header);
    // A header of one field holding a ';': the spreadsheet used ';'.
    if (found && header.Fields.size() == 1 && header.Fields[0].find(';') != std::string::npos) {
        records = TCsvRecords(body, ';');
        found = NextFilled(records, header);
    }
    if (!found) {
        error = records.Error().empty()
                    ? name + ": empty, a header line host,port,gateway[,proxy] expected"
                    : name + " " + records.Error();
        return false;
    }
    TColumns at;
    if (!MapHeader(header, at, error)) {
        error = name + " line " + std::to_string(header.Line) + ": " + error;
        return false;
    }
    TCsvRecord record;
    while (records.Next(record)) {
        if (IsEmpty(record)) continue;
        const std::string where = name + " line " + std::to_string(record.Line) + ": ";
        if (record.Fields.size() != header.Fields.size()) {
            error = where + std::to_string(record.Fields.size()) + " fields, the header names " +
                    std::to_string(header.Fields.size());
            return false;
        }
        TInventoryRow row;
        if (!MakeRow(record, at, row, error)) {
            error = where + error;
            return false;
        }
        rows.push_back(std::move(row));
    }
    if (!records.Error().empty()) {
        error = name + " " + records.Error();
        return false;
    }
    return true;
}

bool ReadInventory(const std::string& path, std::vector<TInventoryRow>& rows, std::string& error) {
    std::string text;
    if (!ReadInputFile(path, text, error, InventoryLimit)) return false;
    return ParseInventory(text, path == "-" ? "standard input" : path, rows, error);
}
