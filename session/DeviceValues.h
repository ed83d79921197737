// The five device parameters as the window shows them, each present once
// the gateway has answered its read.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "protocol/MemoryFields.h" // AllMemoryFields and FieldName for its users

struct TDeviceValues {
    std::array<std::optional<std::string>, 5> Texts;

    std::optional<std::string>& operator[](TMemoryField field) {
        return Texts[static_cast<size_t>(field)];
    }
    const std::optional<std::string>& operator[](TMemoryField field) const {
        return Texts[static_cast<size_t>(field)];
    }
    // The fields without a value, in table order.
    std::vector<TMemoryField> Missing() const;
};

// "channel, pan_id": field names joined for a message.
std::string FieldList(const std::vector<TMemoryField>& fields);
