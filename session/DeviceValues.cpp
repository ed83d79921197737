// The missing-field list of a device's values.
#include "session/DeviceValues.h"

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
