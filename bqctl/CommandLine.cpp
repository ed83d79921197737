// The command line with CLI11: options, commands and their checks.
#include "bqctl/CommandLine.h"

#include <CLI/CLI.hpp>

#include "bqctl/ProxyUrl.h"
#include "bqctl/TextRules.h"
#include "runtime/Version.h"

const char* const ExitStatusText = R"(Exit status:
  0  done (write and restore: the read-back matched)
  1  the device answered wrongly or not at all (missing fields are named),
     or a read-back differed
  2  usage or input error; nothing was sent
  3  network error (naming the gateway or proxy that failed, and why)
A fleet exits with the highest status of its rows.)";

namespace {

struct TTyped {
    std::string Port = "5556", Gateway = "2001", Timeout = "5", Proxy;
};

// The five commands under `parent` (the program itself, or fleet).
void AddCommands(CLI::App& parent, TCommand& command) {
    const auto kind = [&command](TCommandKind value) {
        return [&command, value] { command.Kind = value; };
    };
    parent.add_subcommand("info", "read the five parameters and print them")
        ->callback(kind(TCommandKind::Info));
    CLI::App* backup = parent.add_subcommand(
        "backup", "save the five parameters as JSON (FILE - : standard output)");
    backup->add_option("FILE", command.Path, "backup file; in a fleet a folder")->required();
    backup->callback(kind(TCommandKind::Backup));
    CLI::App* restore = parent.add_subcommand(
        "restore", "write address, channel and PAN ID from a backup, then read back and compare");
    restore
        ->add_option("FILE", command.Path, "backup file (- : standard input); in a fleet a folder")
        ->required();
    restore->add_flag("--force", command.Force, "write even when the device's MAC differs");
    restore->callback(kind(TCommandKind::Restore));
    CLI::App* write = parent.add_subcommand(
        "write", "write fields (others are written back unchanged), then read back and compare");
    write->add_option("--address", command.Address, "device address, hexadecimal 02..FE");
    CLI::Option* channel = write->add_option("--channel", command.Channel,
                                             "channel, hexadecimal 0B..1A as the window shows it");
    write->add_option("--channel-number", command.ChannelNumber, "channel, decimal 11..26")
        ->excludes(channel);
    write->add_option("--pan-id", command.PanId, "PAN ID, hexadecimal, up to 4 digits");
    write->callback(kind(TCommandKind::Write));
    parent.add_subcommand("reset", "reset the device")->callback(kind(TCommandKind::Reset));
    parent.require_subcommand(1);
}

bool CheckValues(TCommandLine& line, const TTyped& typed, std::string& error) {
    TSessionSettings& settings = line.Settings;
    if (settings.Host.empty()) {
        error = "--host: empty";
        return false;
    }
    if (!ParsePort(typed.Port, settings.Port)) {
        error = "--port '" + typed.Port + "': a number from 1 to 65535 expected";
        return false;
    }
    if (!ParseGateway(typed.Gateway, settings.Gateway, error)) return false;
    if (!ParseTimeout(typed.Timeout, settings.Timeout, error)) return false;
    if (!typed.Proxy.empty() && !ParseProxyUrl(typed.Proxy, settings.Proxy, error)) return false;
    if (line.Jobs < 1 || line.Jobs > 1024) {
        error = "--jobs " + std::to_string(line.Jobs) + ": 1 to 1024 expected";
        return false;
    }
    const TCommand& command = line.Command;
    if (command.Kind != TCommandKind::Write) return true;
    if (command.ChannelNumber) {
        std::string hex;
        if (!ParseChannelNumber(*command.ChannelNumber, hex, error)) return false;
        line.Command.Channel = hex;
    }
    if (!command.Address && !command.Channel && !command.PanId) {
        error = "write: give at least one of --address, --channel, --channel-number, --pan-id";
        return false;
    }
    return (!command.Address ||
            CheckFieldText(TMemoryField::Address, *command.Address, "--address", error)) &&
           (!command.Channel ||
            CheckFieldText(TMemoryField::Channel, *command.Channel, "--channel", error)) &&
           (!command.PanId ||
            CheckFieldText(TMemoryField::PanId, *command.PanId, "--pan-id", error));
}

} // namespace

int ParseCommandLine(int argc, char** argv, TCommandLine& line, std::ostream& out,
                     std::ostream& err) {
    CLI::App app("bqctl: read, back up, restore, write and reset the devices of bq gateways over "
                 "Telnet, one gateway or a whole fleet.",
                 "bqctl");
    app.fallthrough();
    app.footer(ExitStatusText);
    TTyped typed;
    app.add_option("--host", line.Settings.Host, "gateway host")->capture_default_str();
    app.add_option("--port", typed.Port, "gateway TCP port")->capture_default_str();
    app.add_option("--gateway", typed.Gateway, "gateway address, four characters")
        ->capture_default_str();
    app.add_option("--timeout", typed.Timeout,
                   "seconds any one network wait may take (connect, proxy, answers)")
        ->capture_default_str();
    app.add_option("--proxy", typed.Proxy,
                   "SOCKS proxy: socks4://host:port, socks4a://host:port, "
                   "socks5://[user:password@]host:port");
    app.add_flag("--json", line.Json, "print results as JSON");
    app.add_option("--log", line.LogPath, "write the session transcript to FILE");
    app.set_version_flag("--version", std::string("bqctl ") + ProductVersion());
    AddCommands(app, line.Command);
    CLI::App* fleet = app.add_subcommand(
        "fleet",
        "run a command against every gateway of a CSV inventory (host,port,gateway[,proxy])");
    fleet
        ->add_option("INVENTORY", line.Inventory,
                     "CSV file with a header line, - for standard input")
        ->required();
    fleet->add_option("--jobs", line.Jobs, "sessions at once")->capture_default_str();
    fleet->add_flag("--csv", line.Csv, "results as CSV instead of JSON lines");
    fleet->footer(ExitStatusText);
    fleet->callback([&line] { line.Fleet = true; });
    AddCommands(*fleet, line.Command);
    app.require_subcommand(1);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);
        // CLI11 asks for a command before it complains about a word it did
        // not take; the word is what the user needs to see.
        const std::vector<std::string> extra = app.remaining();
        if (!extra.empty())
            err << "bqctl: unknown command or argument '" << extra.front() << "' (see --help)\n";
        else if (std::string(e.what()) == "A subcommand is required")
            err << "bqctl: a command is required: info, backup, restore, write, reset or fleet "
                   "(see --help)\n";
        else
            err << "bqctl: " << e.what() << "\n";
        return ExitUsage;
    }
    std::string error;
    if (!CheckValues(line, typed, error)) {
        err << "bqctl: " << error << "\n";
        return ExitUsage;
    }
    if (line.Command.Channel && !line.Command.ChannelNumber) {
        const std::string warning = ChannelReadingWarning(*line.Command.Channel);
        if (!warning.empty()) err << "bqctl: warning: " << warning << "\n";
    }
    return -1;
}
