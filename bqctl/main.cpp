// bqctl: the gateway's devices from the command line, one gateway at a time
// or a whole fleet. Start-up: parse, read input files, run, print.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "bqctl/CommandLine.h"
#include "bqctl/Fleet.h"
#include "bqctl/FleetOutput.h"
#include "bqctl/InputFile.h"
#include "bqctl/Terminal.h"

namespace {

int Fail(int status, const std::string& message) {
    std::cerr << "bqctl: " << message << "\n";
    return status;
}

int RunSingle(const TCommandLine& line, std::ostream* log) {
    const TCommand& command = line.Command;
    std::string backupText;
    std::string error;
    if ((command.Kind == TCommandKind::Restore || command.Kind == TCommandKind::Verify) &&
        !ReadInputFile(command.Path, backupText, error))
        return Fail(ExitUsage, error);
    // Checked before connecting, without truncating an older backup.
    if (command.Kind == TCommandKind::Backup && command.Path != "-" &&
        !std::ofstream(command.Path, std::ios::app))
        return Fail(ExitUsage, FileFailure(command.Path));
    TTranscript transcript(log ? std::function<void(const std::string&)>(
                                     [log](const std::string& entry) { *log << entry << "\n"; })
                               : std::function<void(const std::string&)>());
    const TOutcome outcome = RunCommand(command, line.Settings, transcript, backupText);
    if (command.Kind == TCommandKind::Backup && outcome.Exit == ExitDone) {
        if (command.Path == "-") {
            std::cout << outcome.Text;
        } else {
            std::ofstream file(command.Path, std::ios::binary | std::ios::trunc);
            file << outcome.Text;
            if (!file.flush()) return Fail(ExitUsage, FileFailure(command.Path));
        }
    } else if (line.Json) {
        TInventoryRow row;
        row.Host = line.Settings.Host;
        row.Port = line.Settings.Port;
        row.Gateway = line.Settings.Gateway;
        std::cout << SingleJson(row, outcome)
                         .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                  << "\n";
    } else {
        std::cout << outcome.Text;
    }
    if (!outcome.Error.empty()) std::cerr << "bqctl: " << outcome.Error << "\n";
    return outcome.Exit;
}

int RunFleetLine(const TCommandLine& line, std::ostream* log) {
    std::vector<TInventoryRow> rows;
    std::string error;
    if (!ReadInventory(line.Inventory, rows, error)) return Fail(ExitUsage, error);
    const TCommandKind kind = line.Command.Kind;
    if ((kind == TCommandKind::Backup || kind == TCommandKind::Restore ||
         kind == TCommandKind::Verify) &&
        !CheckFolder(line.Command.Path, error))
        return Fail(ExitUsage, error);
    TFleetOptions options;
    options.Jobs = line.Jobs;
    options.Csv = line.Csv;
    options.Progress = StandardErrorIsTerminal();
    options.Log = log;
    options.ProxyPassword = line.ProxyPassword;
    return RunFleet(rows, line.Command, line.Settings, options, std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv) {
    TCommandLine line;
    const int parsed = ParseCommandLine(argc, argv, line, std::cout, std::cerr);
    if (parsed >= 0) return parsed;
    if (line.ShowConfig) {
        std::cout << DefaultsText(line.Defaults);
        return ExitDone;
    }
    std::ofstream logFile;
    if (!line.LogPath.empty() && line.LogPath != "-") {
        logFile.open(line.LogPath, std::ios::binary | std::ios::trunc);
        if (!logFile) return Fail(ExitUsage, FileFailure(line.LogPath));
    }
    std::ostream* log = line.LogPath.empty() ? nullptr : &logFile;
    if (line.LogPath == "-" || line.Verbose) log = &std::cerr;
    return line.Fleet ? RunFleetLine(line, log) : RunSingle(line, log);
}
