// info and backup: the five values read, shown aligned or as JSON.
#include "bqctl/CommandSteps.h"

#include <algorithm>
#include <cctype>

#include "bqctl/DeviceText.h"
#include "bqctl/TextRules.h"
#include "runtime/Cp1251.h"

namespace {

std::string AlignedLines(const TDeviceValues& values) {
    std::string text;
    for (const TMemoryField field : AllMemoryFields) {
        const std::string name = FieldName(field);
        text += name + ":" + std::string(9 - name.size(), ' ') +
                PrintableDeviceText(FieldShown(field, *values[field])) + "\n";
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
    // A backup that restore would refuse is no backup: the device's own
    // values are checked by the rules a restore applies.
    for (const TMemoryField field :
         {TMemoryField::Address, TMemoryField::Channel, TMemoryField::PanId}) {
        std::string why;
        if (CheckFieldText(field, *values[field], "", why)) continue;
        outcome.Exit = ExitDevice;
        outcome.Result = DeviceJson(values);
        outcome.Error = std::string("the device's ") + FieldName(field) + " '" +
                        PrintableDeviceText(*values[field]) +
                        "' could not be restored; no backup written";
        return outcome;
    }
    outcome.Result = BackupJson(values, session.Settings());
    outcome.Text = JsonText(outcome.Result, 2) + "\n";
    return outcome;
}

namespace {

// The writable fields as numbers ("0f" is "F"), MAC and type as text in any case.
bool Same(TMemoryField field, const std::string& a, const std::string& b) {
    if (FieldRow(field).Writable) return FieldValue(a) == FieldValue(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

} // namespace

TOutcome RunVerify(TGatewaySession& session, const TBackup& backup, const std::string& name) {
    const TDeviceValues values = session.Read();
    const std::pair<TMemoryField, std::string> expected[] = {
        {TMemoryField::Mac, backup.Mac},
        {TMemoryField::Address, backup.Address},
        {TMemoryField::Channel, backup.Channel},
        {TMemoryField::PanId, backup.PanId},
        {TMemoryField::Type, backup.Type}};
    TOutcome outcome;
    nlohmann::ordered_json differences = nlohmann::ordered_json::object();
    std::string lines;
    for (const auto& [field, text] : expected) {
        const std::string& got = *values[field];
        if (text.empty() || Same(field, got, text)) continue;
        differences[FieldName(field)] = {{"device", Cp1251ToUtf8(got)}, {"backup", text}};
        lines += "  " + std::string(FieldName(field)) + ": device " +
                 PrintableDeviceText(FieldShown(field, got)) + ", backup " +
                 EscapeControls(FieldShown(field, text)) + "\n";
    }
    outcome.Result["device"] = DeviceJson(values);
    outcome.Result["differences"] = differences;
    if (differences.empty()) {
        outcome.Text = "the device matches " + name + "\n";
        return outcome;
    }
    outcome.Exit = ExitDevice;
    outcome.Text = "the device differs from " + name + ":\n" + lines;
    outcome.Error = "the device differs from " + name + " in " +
                    std::to_string(differences.size()) +
                    (differences.size() == 1 ? " field" : " fields");
    return outcome;
}
