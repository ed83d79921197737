// The commands bqctl runs against one gateway, and what each one yields.
// Input files are read and checked before the session connects, so that
// nothing is sent on an input error.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "bqctl/ExitCodes.h"
#include "session/SessionSettings.h"
#include "session/Transcript.h"

enum class TCommandKind { Info, Backup, Restore, Write, Reset, Verify };

struct TCommand {
    TCommandKind Kind = TCommandKind::Info;
    std::string Path; // backup / restore / verify: file, "-", or in a fleet a folder
    bool Force = false;
    bool DryRun = false; // write / restore: read and show what would change, write nothing
    std::optional<std::string> Address, Channel, PanId; // write
    std::optional<std::string> ChannelNumber;           // write --channel-number, decimal
};

struct TOutcome {
    TExitCode Exit = ExitDone;
    nlohmann::ordered_json Result = nlohmann::ordered_json::object(); // what the command found
    std::string Text;        // what a single run prints on standard output
    std::string Error;       // one line for standard error
    double Milliseconds = 0; // a fleet row's time from start to end
};

// Connects, runs the command, disconnects. `backupText`: a restore's or verify's file,
// already read (the caller reads it, from a file or standard input).
TOutcome RunCommand(const TCommand& command, const TSessionSettings& settings,
                    TTranscript& transcript, const std::string& backupText = {});
