// Field names and the missing-field list of a device's values.
#include "session/DeviceValues.h"

const char* FieldName(TMemoryField field) {
    switch (field) {
    case TMemoryField::Mac:
        return "mac";
    case TMemoryField::Address:
        return "address";
    case TMemoryField::Channel:
        return "channel";
    case TMemoryField::PanId:
        return "pan_id";
    case TMemoryField::Type:
        return "type";
    }
    return "";
}

std::vector<TMemoryField> TDeviceValues::Missing() const {
    std::vector<TMemoryField> missing;
    for (const TMemoryField field : AllMemoryFields)
        if (!(*this)[field]) missing.push_back(field);
    return missing;
}

std::string FieldList(const std::vector<TMemoryField>& fields) {
    std::string list;
    for (const TMemoryField field : fields) {
        if (!list.empty()) list += ", ";
        list += FieldName(field);
    }
    return list;
}
