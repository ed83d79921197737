// write and restore: the three writable fields written in the window's
// order, then read back and compared.
#include <algorithm>
#include <cctype>

#include "bqctl/CommandSteps.h"
#include "bqctl/TextRules.h"

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
    return "written: " + (written.empty() ? std::string("none") : FieldList(written)) +
           "; not written: " + (rest.empty() ? std::string("none") : FieldList(rest));
}

// `texts` in the order of Writable, already checked.
TOutcome WriteAndVerify(TGatewaySession& session, const std::array<std::string, 3>& texts) {
    std::vector<TGatewaySession::TWrite> writes;
    for (size_t i = 0; i < 3; ++i)
        writes.push_back({Writable[i], texts[i]});
    std::vector<TMemoryField> written;
    try {
        session.Write(writes, written);
    } catch (const ESessionError& e) {
        throw ESessionError(e.Failure, std::string(e.what()) + " (" + NotWritten(written) + ")");
    }
    TDeviceValues back;
    try {
        back = session.Read();
    } catch (const ESessionError& e) {
        throw ESessionError(e.Failure, "read-back failed: " + std::string(e.what()) + " (" +
                                           NotWritten(written) + ")");
    }
    TOutcome outcome;
    nlohmann::ordered_json wanted = nlohmann::ordered_json::object();
    std::string differences, summary;
    for (size_t i = 0; i < 3; ++i) {
        const std::string name = FieldName(Writable[i]);
        wanted[name] = Upper(texts[i]);
        summary += (i ? ", " : "") + name + " " + FieldShown(Writable[i], Upper(texts[i]));
        const std::string& got = *back[Writable[i]];
        if (FieldValue(got) == FieldValue(texts[i])) continue;
        differences += (differences.empty() ? "" : ", ") + name + " is " +
                       FieldShown(Writable[i], got) + ", expected " +
                       FieldShown(Writable[i], Upper(texts[i]));
    }
    outcome.Result["written"] = wanted;
    outcome.Result["read_back"] = DeviceJson(back);
    outcome.Result["verified"] = differences.empty();
    if (!differences.empty()) {
        outcome.Exit = ExitDevice;
        outcome.Error = "read-back differs: " + differences;
        return outcome;
    }
    outcome.Text = "written and verified: " + summary + "\n";
    return outcome;
}

} // namespace

TOutcome RunWrite(TGatewaySession& session, const TCommand& command) {
    std::array<std::optional<std::string>, 3> given{command.Address, command.Channel,
                                                    command.PanId};
    std::array<std::string, 3> texts;
    const bool complete = given[0] && given[1] && given[2];
    const TDeviceValues current = complete ? TDeviceValues{} : session.Read();
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
                std::string("the device's ") + FieldName(Writable[i]) + " '" + texts[i] +
                "' cannot be written back unchanged; give --" +
                (Writable[i] == TMemoryField::PanId ? "pan-id" : FieldName(Writable[i]));
            return outcome;
        }
    }
    return WriteAndVerify(session, texts);
}

TOutcome RunRestore(TGatewaySession& session, const TBackup& backup, bool force) {
    const TDeviceValues current = session.Read();
    if (Upper(*current[TMemoryField::Mac]) != Upper(backup.Mac) && !force) {
        TOutcome outcome;
        outcome.Exit = ExitDevice;
        outcome.Result["mac"] = *current[TMemoryField::Mac];
        outcome.Result["backup_mac"] = backup.Mac;
        outcome.Error = "the device's MAC " + *current[TMemoryField::Mac] +
                        " differs from the backup's " + backup.Mac +
                        "; nothing written (--force writes anyway)";
        return outcome;
    }
    return WriteAndVerify(session, {backup.Address, backup.Channel, backup.PanId});
}
