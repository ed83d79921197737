// info and backup: the five values read, shown aligned or as JSON.
#include "bqctl/CommandSteps.h"
#include "bqctl/TextRules.h"

namespace {

std::string AlignedLines(const TDeviceValues& values) {
    std::string text;
    for (const TMemoryField field : AllMemoryFields) {
        const std::string name = FieldName(field);
        text += name + ":" + std::string(9 - name.size(), ' ') + FieldShown(field, *values[field]) +
                "\n";
    }
    return text;
}

} // namespace

TOutcome RunInfo(TGatewaySession& session) {
    const TDeviceValues values = session.Read();
    TOutcome outcome;
    outcome.Result = DeviceJson(values);
    outcome.Text = AlignedLines(values);
    return outcome;
}

TOutcome RunBackup(TGatewaySession& session) {
    const TDeviceValues values = session.Read();
    TOutcome outcome;
    outcome.Result = BackupJson(values, session.Settings());
    outcome.Text = outcome.Result.dump(2) + "\n";
    return outcome;
}
