// write and restore: the writable fields written in the window's order (a
// restore only those that differ), then read back and compared; or, in a dry
// run, what would change, with nothing sent but the reads.
#include <algorithm>
#include <cctype>

#include "bqctl/CommandSteps.h"
#include "bqctl/DeviceText.h"
#include "bqctl/TextRules.h"
#include "runtime/Cp1251.h"

namespace {

constexpr TMemoryField Writable[] = {TMemoryField::Address, TMemoryField::Channel,
                                     TMemoryField::PanId};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string NotWritten(const std::vector<TMemoryField>& written) {
    std::vector<TMemoryField> rest;
    for (const TMemoryField field : Writable)
        if (std::find(written.begin(), written.end(), field) == written.end())
            rest.push_back(field);
    // A line that went out is not yet a value the device took.
    return "sent: " + (written.empty() ? std::string("none") : FieldList(written)) +
           "; not sent: " + (rest.empty() ? std::string("none") : FieldList(rest));
}

using TWanted = std::array<std::string, 3>; // in the order of Writable, checked

// "address 2A, channel 0F (channel 15)": the fields of `wanted` that `pick` selects.
template <class Pick> std::string Fields(const TWanted& wanted, Pick pick) {
    std::string list;
    for (size_t i = 0; i < 3; ++i)
        if (pick(i))
            list += (list.empty() ? "" : ", ") + std::string(FieldName(Writable[i])) + " " +
                    FieldShown(Writable[i], Upper(wanted[i]));
    return list;
}

// Writes the fields that `write` selects, reads all three back and compares.
TOutcome WriteAndVerify(TGatewaySession& session, const TWanted& texts,
                        const std::array<bool, 3>& write) {
    std::vector<TGatewaySession::TWrite> writes;
    for (size_t i = 0; i < 3; ++i)
        if (write[i]) writes.push_back({Writable[i], texts[i]});
    std::vector<TMemoryField> written;
    try {
        session.Write(writes, written);
    } catch (const ESessionError& e) {
        throw ESessionError(e.Failure, std::string(e.what()) + " (" + NotWritten(written) + ")");
    }
    TDeviceValues back;
    try {
        back = session.Read({std::begin(Writable), std::end(Writable)});
    } catch (const ESessionError& e) {
        throw ESessionError(e.Failure, "read-back failed: " + std::string(e.what()) + " (" +
                                           NotWritten(written) + ")");
    }
    TOutcome outcome;
    nlohmann::ordered_json wanted = nlohmann::ordered_json::object();
    nlohmann::ordered_json right = nlohmann::ordered_json::array();
    std::string differences;
    for (size_t i = 0; i < 3; ++i) {
        const std::string name = FieldName(Writable[i]);
        if (write[i])
            wanted[name] = Upper(texts[i]);
        else
            right.push_back(name);
        const std::string& got = *back[Writable[i]];
        if (FieldValue(got) == FieldValue(texts[i])) continue;
        differences += (differences.empty() ? "" : ", ") + name + " is " +
                       PrintableDeviceText(FieldShown(Writable[i], got)) + ", expected " +
                       FieldShown(Writable[i], Upper(texts[i]));
    }
    outcome.Result["written"] = wanted;
    outcome.Result["already_right"] = right;
    outcome.Result["read_back"] = DeviceJson(back);
    outcome.Result["verified"] = differences.empty();
    if (!differences.empty()) {
        outcome.Exit = ExitDevice;
        outcome.Error = "read-back differs: " + differences;
        return outcome;
    }
    const std::string rightText = Fields(texts, [&](size_t i) { return !write[i]; });
    outcome.Text = "written and verified: " + Fields(texts, [&](size_t i) { return write[i]; }) +
                   (rightText.empty() ? "" : "; already right: " + rightText) + "\n";
    return outcome;
}

// What a write or restore would change on a device holding `current`; nothing is sent.
TOutcome DryRun(const TDeviceValues& current, const TWanted& texts) {
    TOutcome outcome;
    nlohmann::ordered_json changes = nlohmann::ordered_json::object();
    nlohmann::ordered_json right = nlohmann::ordered_json::array();
    std::string lines;
    for (size_t i = 0; i < 3; ++i) {
        const std::string name = FieldName(Writable[i]);
        const std::string& now = *current[Writable[i]];
        if (FieldValue(now) == FieldValue(texts[i])) {
            right.push_back(name);
            continue;
        }
        changes[name] = {{"from", Cp1251ToUtf8(now)}, {"to", Upper(texts[i])}};
        lines += "  " + name + " " + PrintableDeviceText(FieldShown(Writable[i], now)) + " -> " +
                 FieldShown(Writable[i], Upper(texts[i])) + "\n";
    }
    outcome.Result["dry_run"] = true;
    outcome.Result["changes"] = changes;
    outcome.Result["already_right"] = right;
    const std::string rightText = Fields(
        texts, [&](size_t i) { return FieldValue(*current[Writable[i]]) == FieldValue(texts[i]); });
    outcome.Text = lines.empty() ? "dry run: nothing would change\n"
                                 : "dry run, nothing written; would change:\n" + lines;
    if (!rightText.empty()) outcome.Text += "already right: " + rightText + "\n";
    return outcome;
}

} // namespace

TOutcome RunWrite(TGatewaySession& session, const TCommand& command) {
    std::array<std::optional<std::string>, 3> given{command.Address, command.Channel,
                                                    command.PanId};
    TWanted texts;
    const bool complete = given[0] && given[1] && given[2];
    const TDeviceValues current = complete && !command.DryRun
                                      ? TDeviceValues{}
                                      : session.Read({std::begin(Writable), std::end(Writable)});
    for (size_t i = 0; i < 3; ++i) {
        if (given[i]) {
            texts[i] = *given[i];
            continue;
        }
        // Written back unchanged; a value the device holds that its own rules
        // refuse ("Channel error") cannot be.
        texts[i] = *current[Writable[i]];
        std::string why;
        if (!CheckFieldText(Writable[i], texts[i], "", why)) {
            TOutcome outcome;
            outcome.Exit = ExitDevice;
            outcome.Error =
                std::string("the device's ") + FieldName(Writable[i]) + " '" +
                PrintableDeviceText(texts[i]) + "' cannot be written back unchanged; give --" +
                (Writable[i] == TMemoryField::PanId ? "pan-id" : FieldName(Writable[i]));
            return outcome;
        }
    }
    if (command.DryRun) return DryRun(current, texts);
    // The window's write: all three fields, the ones not given unchanged.
    return WriteAndVerify(session, texts, {true, true, true});
}

TOutcome RunRestore(TGatewaySession& session, const TBackup& backup, const TCommand& command) {
    // Only what is compared is waited for: the MAC and the three written fields.
    const TDeviceValues current = session.Read(
        {TMemoryField::Mac, TMemoryField::Address, TMemoryField::Channel, TMemoryField::PanId});
    if (Upper(Cp1251ToUtf8(*current[TMemoryField::Mac])) != Upper(backup.Mac) && !command.Force) {
        TOutcome outcome;
        outcome.Exit = ExitDevice;
        outcome.Result["mac"] = Cp1251ToUtf8(*current[TMemoryField::Mac]);
        outcome.Result["backup_mac"] = backup.Mac;
        outcome.Error = "the device's MAC " + PrintableDeviceText(*current[TMemoryField::Mac]) +
                        " differs from the backup's " + EscapeControls(backup.Mac) +
                        "; nothing written (--force writes anyway)";
        return outcome;
    }
    const TWanted texts{backup.Address, backup.Channel, backup.PanId};
    if (command.DryRun) return DryRun(current, texts);
    // Only the fields that differ are written.
    std::array<bool, 3> differ{};
    for (size_t i = 0; i < 3; ++i)
        differ[i] = FieldValue(*current[Writable[i]]) != FieldValue(texts[i]);
    if (differ == std::array<bool, 3>{}) {
        TOutcome outcome;
        outcome.Result["written"] = nlohmann::ordered_json::object();
        outcome.Result["already_right"] = {"address", "channel", "pan_id"};
        outcome.Result["read_back"] = DeviceJson(current);
        outcome.Result["verified"] = true;
        outcome.Text =
            "nothing written, already right: " + Fields(texts, [](size_t) { return true; }) + "\n";
        return outcome;
    }
    return WriteAndVerify(session, texts, differ);
}
