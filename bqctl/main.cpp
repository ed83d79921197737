// bqctl: the gateway's devices from the command line, one gateway at a time
// or a whole fleet. Start-up: parse, read input files, run, print.
#include <cerrno>
#include <csignal>
#include <fstream>
#include <iostream>
#include <system_error>

#include "bqctl/CommandLine.h"
#include "bqctl/DeviceText.h"
#include "bqctl/Fleet.h"
#include "bqctl/FleetOutput.h"
#include "bqctl/InputFile.h"
#include "bqctl/ReplacingFile.h"
#include "bqctl/Terminal.h"

namespace {

int Fail(int status, const std::string& message) {
    std::cerr << "bqctl: " << message << "\n";
    return status;
}

// "cannot write X", with the system's reason when a failed flush left one.
std::string WriteFailure(const std::string& what, int cause) {
    return "cannot write " + what +
           (cause ? " (" + std::generic_category().message(cause) + ")" : std::string());
}

// Everything printed has to have reached standard output: a full disk or a
// closed pipe there is an error, not a result.
int CheckOutput(int status) {
    errno = 0;
    if (std::cout.flush()) return status;
    return Fail(ExitOutput, WriteFailure("standard output", errno));
}

// The same for the transcript file. A run that failed already keeps its own
// status, which says more; the line on standard error is printed either way.
int CheckLog(int status, std::ofstream& logFile, const std::string& path) {
    if (!logFile.is_open()) return status;
    errno = 0;
    if (logFile.flush()) return status;
    Fail(ExitOutput, path + ": " + WriteFailure("the transcript", errno));
    return status == ExitDone ? ExitOutput : status;
}

int RunSingle(const TCommandLine& line, std::ostream* log) {
    const TCommand& command = line.Command;
    std::string backupText;
    std::string error;
    if ((command.Kind == TCommandKind::Restore || command.Kind == TCommandKind::Verify) &&
        !ReadInputFile(command.Path, backupText, error, MaxBackupBytes))
        return Fail(ExitUsage, error);
    // The temporary file is made before connecting: a folder that takes no
    // files is an input error, found before anything is sent.
    const bool toFile = command.Kind == TCommandKind::Backup && command.Path != "-";
    TReplacingFile backupFile(command.Path);
    if (toFile && !backupFile.Open(error)) return Fail(ExitUsage, error);
    TTranscript transcript(
        log ? std::function<void(const std::string&)>(
                  [log](const std::string& entry) { *log << PrintableDeviceText(entry) << "\n"; })
            : std::function<void(const std::string&)>());
    const TOutcome outcome = RunCommand(command, line.Settings, transcript, backupText);
    if (command.Kind == TCommandKind::Backup && outcome.Exit == ExitDone) {
        if (!toFile)
            std::cout << outcome.Text;
        else if (!backupFile.Commit(outcome.Text, error))
            return Fail(ExitOutput, error + "; an older backup there is unchanged");
    } else if (line.Json) {
        TInventoryRow row;
        row.Host = line.Settings.Host;
        row.Port = line.Settings.Port;
        row.Gateway = line.Settings.Gateway;
        std::cout << JsonText(SingleJson(row, outcome), 2) << "\n";
    } else {
        std::cout << outcome.Text;
    }
    if (!outcome.Error.empty()) std::cerr << "bqctl: " << outcome.Error << "\n";
    return CheckOutput(outcome.Exit);
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
    return CheckOutput(RunFleet(rows, line.Command, line.Settings, options, std::cout, std::cerr));
}

int Run(int argc, char** argv) {
    TCommandLine line;
    const int parsed = ParseCommandLine(argc, argv, line, std::cout, std::cerr);
    if (parsed >= 0) return CheckOutput(parsed);
    if (line.ShowConfig) {
        std::cout << DefaultsText(line.Defaults);
        return CheckOutput(ExitDone);
    }
    std::ofstream logFile;
    if (!line.LogPath.empty() && line.LogPath != "-") {
        logFile.open(line.LogPath, std::ios::binary | std::ios::trunc);
        if (!logFile) return Fail(ExitUsage, FileFailure(line.LogPath));
    }
    std::ostream* log = line.LogPath.empty() ? nullptr : &logFile;
    if (line.LogPath == "-" || line.Verbose) log = &std::cerr;
    return CheckLog(line.Fleet ? RunFleetLine(line, log) : RunSingle(line, log), logFile,
                    line.LogPath);
}

} // namespace

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // A reader of standard output that has gone is a write error, reported
    // with its status, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        return Fail(ExitNetwork, std::string("stopped: ") + e.what());
    }
}
