// Parsing of the fleet inventory.
#include "bqctl/Inventory.h"

#include <array>
#include <optional>
#include <sstream>

#include "bqctl/ProxyUrl.h"
#include "bqctl/TextRules.h"

namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ','))
        fields.push_back(Trim(field));
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    return fields;
}

} // namespace

bool ParseInventory(const std::string& text, const std::string& name,
                    std::vector<TInventoryRow>& rows, std::string& error) {
    static const std::array<std::string, 4> Columns{"host", "port", "gateway", "proxy"};
    std::array<std::optional<size_t>, 4> at;
    std::stringstream lines(text);
    std::string line;
    int number = 0;
    bool header = true;
    while (std::getline(lines, line)) {
        ++number;
        const std::string where = name + " line " + std::to_string(number) + ": ";
        if (Trim(line).empty()) continue;
        const std::vector<std::string> fields = SplitFields(line);
        if (header) {
            header = false;
            for (size_t i = 0; i < fields.size(); ++i) {
                size_t column = 0;
                while (column < Columns.size() && Columns[column] != fields[i])
                    ++column;
                if (column == Columns.size() || at[column]) {
                    error = where + "header column '" + fields[i] +
                            "' unknown or repeated (host,port,gateway[,proxy])";
                    return false;
                }
                at[column] = i;
            }
            if (!at[0] || !at[1] || !at[2]) {
                error = where + "the header must name host, port and gateway";
                return false;
            }
            continue;
        }
        const size_t named = at[3] ? 4 : 3;
        if (fields.size() != named) {
            error = where + std::to_string(fields.size()) +
                    " fields, the header names a different number";
            return false;
        }
        TInventoryRow row;
        row.Line = number;
        row.Host = fields[*at[0]];
        if (row.Host.empty()) {
            error = where + "empty host";
            return false;
        }
        if (!ParsePort(fields[*at[1]], row.Port)) {
            error = where + "port '" + fields[*at[1]] + "' is not a number from 1 to 65535";
            return false;
        }
        std::string why;
        if (!ParseGateway(fields[*at[2]], row.Gateway, why)) {
            error = where + "gateway '" + fields[*at[2]] + "': four characters expected";
            return false;
        }
        if (at[3] && !fields[*at[3]].empty()) {
            row.HasProxy = true;
            if (!ParseProxyUrl(fields[*at[3]], row.Proxy, why)) {
                error = where + why;
                return false;
            }
        }
        rows.push_back(row);
    }
    if (header) {
        error = name + ": empty, a header line host,port,gateway[,proxy] expected";
        return false;
    }
    return true;
}
