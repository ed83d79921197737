// One command against one gateway: input checked, connect, the command's
// body, disconnect; session failures turned into exit statuses.
#include "bqctl/CommandSteps.h"
#include "bqctl/NetworkErrors.h"

namespace {

TOutcome Failed(TExitCode exit, const std::string& error) {
    TOutcome outcome;
    outcome.Exit = exit;
    outcome.Error = error;
    return outcome;
}

} // namespace

TOutcome RunCommand(const TCommand& command, const TSessionSettings& settings,
                    TTranscript& transcript, const std::string& backupText) {
    TBackup backup;
    if (command.Kind == TCommandKind::Restore || command.Kind == TCommandKind::Verify) {
        std::string error;
        const std::string name = command.Path == "-" ? "standard input" : command.Path;
        if (!ParseBackup(backupText, name, backup, error)) return Failed(ExitUsage, error);
    }
    try {
        TGatewaySession session(settings, transcript);
        session.Connect();
        TOutcome outcome;
        switch (command.Kind) {
        case TCommandKind::Info:
            outcome = RunInfo(session);
            break;
        case TCommandKind::Backup:
            outcome = RunBackup(session);
            break;
        case TCommandKind::Write:
            outcome = RunWrite(session, command);
            break;
        case TCommandKind::Restore:
            outcome = RunRestore(session, backup, command);
            break;
        case TCommandKind::Verify:
            outcome =
                RunVerify(session, backup, command.Path == "-" ? "standard input" : command.Path);
            break;
        case TCommandKind::Reset:
            session.Reset();
            outcome.Text = "reset sent\n";
            break;
        }
        session.Disconnect();
        return outcome;
    } catch (const ESessionError& e) {
        if (e.Failure == TSessionFailure::Device) return Failed(ExitDevice, e.what());
        return Failed(ExitNetwork, DescribeNetworkFailure(e, settings));
    } catch (const std::exception& e) {
        // A thread that cannot be started (the process or user limit), or
        // memory that runs out: this gateway fails, the program goes on.
        return Failed(ExitNetwork, std::string("session failed: ") + e.what());
    }
}
