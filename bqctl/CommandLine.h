// bqctl's command line: global options, the five commands, and fleet with
// a command of its own. Parsing and every check of typed values happen here,
// before anything is sent.
#pragma once

#include <string>

#include "bqctl/Commands.h"
#include "bqctl/Defaults.h"
#include "bqctl/Fleet.h"

struct TCommandLine {
    TSessionSettings Settings;
    TCommand Command;
    bool Json = false;
    std::string LogPath;
    bool Fleet = false;
    std::string Inventory;
    int Jobs = 16;
    bool Csv = false;
    std::string ConfigPath, Site; // --config (empty: the default file), --site
    TDefaults Defaults;           // the settings in effect and their sources
    std::string ProxyPassword;    // for a socks5 login without one
    bool ShowConfig = false;      // bqctl config, --show-config
    bool Verbose = false;         // -v: the transcript on standard error
};

// The exit statuses as --help and the manual page list them.
extern const char* const ExitStatusText;

// Parses and checks argv. Returns -1 to go on; otherwise the exit status
// (0 after --help or --version, 2 after one line on `err`).
int ParseCommandLine(int argc, char** argv, TCommandLine& line, std::ostream& out,
                     std::ostream& err);
