// The fleet runner's workers, ordered output, progress and summary.
#include "bqctl/Fleet.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "bqctl/DeviceText.h"
#include "bqctl/FleetOutput.h"
#include "bqctl/InputFile.h"
#include "bqctl/ReplacingFile.h"
#include "net/tcp/IdTCPConnection.h"

namespace {

TOutcome RowFailed(TExitCode exit, const std::string& error) {
    TOutcome outcome;
    outcome.Exit = exit;
    outcome.Error = error;
    return outcome;
}

TOutcome RunRow(const TInventoryRow& row, const TCommand& command, TSessionSettings settings,
                const std::string& proxyPassword, TTranscript& transcript) {
    settings.Host = row.Host;
    settings.Port = row.Port;
    settings.Gateway = row.Gateway;
    if (row.HasProxy) settings.Proxy = row.Proxy;
    if (settings.Proxy.Version == svSocks5 && !settings.Proxy.User.empty() &&
        settings.Proxy.Password.empty())
        settings.Proxy.Password = proxyPassword;
    const std::string file = command.Path + "/" + RowFileName(row);
    std::string backupText, error;
    if (command.Kind == TCommandKind::Restore || command.Kind == TCommandKind::Verify) {
        if (!ReadInputFile(file, backupText, error, MaxBackupBytes))
            return RowFailed(ExitUsage, error);
        TCommand single = command;
        single.Path = file;
        return RunCommand(single, settings, transcript, backupText);
    }
    TReplacingFile backupFile(file);
    if (command.Kind == TCommandKind::Backup && !backupFile.Open(error))
        return RowFailed(ExitUsage, error);
    TOutcome outcome = RunCommand(command, settings, transcript);
    if (command.Kind == TCommandKind::Backup && outcome.Exit == ExitDone &&
        !backupFile.Commit(outcome.Text, error)) {
        outcome.Exit = ExitOutput;
        outcome.Error = error + "; an older backup there is unchanged";
    }
    return outcome;
}

// Back to the start of the terminal's line, and the line cleared.
constexpr const char* EraseLine = "\r\033[K";

// "1 row", "2 rows".
std::string Count(size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

} // namespace

std::string RowFileName(const TInventoryRow& row) {
    return row.Host + "_" + std::to_string(row.Port) + "_" + row.Gateway + ".json";
}

int RunFleet(const std::vector<TInventoryRow>& rows, const TCommand& command,
             const TSessionSettings& defaults, const TFleetOptions& options, std::ostream& out,
             std::ostream& err) {
    const auto started = std::chrono::steady_clock::now();
    // One component alive for the whole run keeps the process's socket
    // stack in place, instead of sessions creating and freeing it in turn.
    const TIdTCPConnection keepStack;

    std::mutex lock; // guards everything below that the workers share
    std::vector<std::optional<TOutcome>> outcomes(rows.size());
    size_t printed = 0, finished = 0;
    std::array<size_t, ExitOutput + 1> counts{};
    std::atomic<size_t> next{0};
    if (options.Csv) out << FleetCsvHeader();

    const auto work = [&] {
        for (size_t i = next++; i < rows.size(); i = next++) {
            const std::string prefix =
                rows[i].Host + ":" + std::to_string(rows[i].Port) + " " + rows[i].Gateway + ": ";
            TTranscript transcript(options.Log ? std::function<void(const std::string&)>(
                                                     [&, prefix](const std::string& entry) {
                                                         const std::lock_guard guard(lock);
                                                         *options.Log << prefix
                                                                      << PrintableDeviceText(entry)
                                                                      << "\n";
                                                     })
                                               : std::function<void(const std::string&)>());
            const auto rowStarted = std::chrono::steady_clock::now();
            TOutcome outcome;
            try {
                outcome = RunRow(rows[i], command, defaults, options.ProxyPassword, transcript);
            } catch (const std::exception& e) {
                // Nothing a row meets may end the whole run: it is that row's failure.
                outcome = RowFailed(ExitNetwork, std::string("row failed: ") + e.what());
            }
            outcome.Milliseconds = std::chrono::duration<double, std::milli>(
                                       std::chrono::steady_clock::now() - rowStarted)
                                       .count();
            const std::lock_guard guard(lock);
            ++counts[outcome.Exit];
            ++finished;
            outcomes[i] = std::move(outcome);
            // The progress line goes before a result reaches the terminal.
            if (options.Progress && outcomes[printed]) err << EraseLine << std::flush;
            // Printed in inventory order: each finished row waits for those before it.
            for (; printed < rows.size() && outcomes[printed]; ++printed) {
                out << (options.Csv ? FleetCsvRecord(rows[printed], *outcomes[printed])
                                    : FleetJsonLine(rows[printed], *outcomes[printed]));
                outcomes[printed].reset();
            }
            out.flush();
            if (options.Progress)
                err << EraseLine << finished << "/" << rows.size() << " done" << std::flush;
        }
    };
    const size_t workers = std::min<size_t>(static_cast<size_t>(std::max(options.Jobs, 1)),
                                            std::max<size_t>(rows.size(), 1));
    std::vector<std::thread> threads;
    std::string notStarted;
    for (size_t i = 0; i < workers && notStarted.empty(); ++i) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error& e) {
            // A process or user limit on threads: the rows are shared among
            // the workers that did start, or run on this thread.
            notStarted = e.what();
        }
    }
    if (!notStarted.empty()) {
        const std::lock_guard guard(lock);
        err << "fleet: " << threads.size() << " of " << workers << " workers started ("
            << notStarted << ")\n";
    }
    if (threads.empty()) work();
    for (std::thread& thread : threads)
        thread.join();

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.2f", seconds);
    if (options.Progress) err << EraseLine;
    err << "fleet: " << Count(rows.size(), "row") << ", " << counts[ExitDone] << " done, "
        << Count(counts[ExitDevice], "device error") << ", "
        << Count(counts[ExitUsage], "input error") << ", "
        << Count(counts[ExitNetwork], "network error") << ", ";
    if (counts[ExitOutput] > 0) err << Count(counts[ExitOutput], "output error") << ", ";
    err << elapsed << " s\n";
    int worst = ExitDone;
    for (int status = ExitDone; status <= ExitOutput; ++status)
        if (counts[status] > 0) worst = status;
    return worst;
}
