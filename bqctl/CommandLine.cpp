// The command line with CLI11: options, commands and their checks.
#include "bqctl/CommandLine.h"

#include <CLI/CLI.hpp>

#include "bqctl/Defaults.h"
#include "bqctl/ProxyUrl.h"
#include "bqctl/TextRules.h"
#include "bqctl/UsageText.h"
#include "runtime/Version.h"

const char* const ExitStatusText = R"(Exit status:
  0  done (write and restore: the read-back matched; verify: the device
     matches the backup)
  1  the device answered wrongly or not at all (missing fields are named),
     a read-back differed, or the device differs from the backup (verify)
  2  usage or input error; nothing was sent
  3  network error (naming the gateway or proxy that failed, and why)
  4  the result could not be written (a full disk, a closed output); an
     older backup file is left as it was
A fleet exits with the highest status of its rows.)";

namespace {

const char* const GlobalOptionsText =
    "Global options (--host, --port, --gateway, --timeout, --proxy, --config, --site, --json,\n"
    "--log, -v) may stand before or after the command: see bqctl --help.";

const std::vector<std::string> CommandNames{"info",  "backup", "restore", "verify",
                                            "write", "reset",  "fleet",   "config"};

// The connection options as typed, by their config file keys.
struct TTyped {
    std::map<std::string, std::string> Texts;
    std::map<std::string, CLI::Option*> Options;
};

// How an error names a value: "--port" from the command line or by default,
// "BQCTL_PORT" from the environment, "FILE [site.north]: port" from the file.
std::string Label(const TDefaults& defaults, const std::string& key) {
    const std::string& source = defaults.Values.at(key).Source;
    if (source == "command line" || source == "built-in default") return "--" + key;
    const std::string environment = "environment ";
    if (source.rfind(environment, 0) == 0) return source.substr(environment.size());
    return source + ": " + key;
}

// A check's error names the option ("--port '0': ..."); named by its source instead.
bool Relabelled(bool ok, const TDefaults& defaults, const std::string& key, std::string& error) {
    const std::string option = "--" + key;
    if (!ok && error.rfind(option, 0) == 0)
        error = Label(defaults, key) + error.substr(option.size());
    return ok;
}

// The five commands under `parent` (the program itself, or fleet).
void AddCommands(CLI::App& parent, TCommand& command) {
    const auto kind = [&command](TCommandKind value) {
        return [&command, value] { command.Kind = value; };
    };
    parent.add_subcommand("info", "read the five parameters and print them")
        ->callback(kind(TCommandKind::Info));
    CLI::App* backup = parent.add_subcommand(
        "backup", "save the five parameters as JSON (FILE - : standard output)");
    backup->add_option("FILE", command.Path, "backup file; in a fleet a folder")
        ->required()
        ->type_name("FILE");
    backup->callback(kind(TCommandKind::Backup));
    CLI::App* restore = parent.add_subcommand(
        "restore", "write address, channel and PAN ID from a backup, then read back and compare");
    restore
        ->add_option("FILE", command.Path, "backup file (- : standard input); in a fleet a folder")
        ->required()
        ->type_name("FILE");
    restore->add_flag("--force", command.Force, "write even when the device's MAC differs");
    restore->add_flag("--dry-run", command.DryRun,
                      "read the device and show what would change; write nothing");
    restore->callback(kind(TCommandKind::Restore));
    CLI::App* write = parent.add_subcommand(
        "write", "write fields (others are written back unchanged), then read back and compare");
    write->add_option("--address", command.Address, "device address, hexadecimal 02..FE")
        ->type_name("HH");
    CLI::Option* channel = write
                               ->add_option("--channel", command.Channel,
                                            "channel, hexadecimal 0B..1A as the window shows it")
                               ->type_name("HH");
    write->add_option("--channel-number", command.ChannelNumber, "channel, decimal 11..26")
        ->excludes(channel)
        ->type_name("N");
    write->add_option("--pan-id", command.PanId, "PAN ID, hexadecimal, up to 4 digits")
        ->type_name("HHHH");
    write->add_flag("--dry-run", command.DryRun,
                    "read the device and show what would change; write nothing");
    write->callback(kind(TCommandKind::Write));
    CLI::App* verify = parent.add_subcommand(
        "verify", "compare the device with a backup; status 1 and each difference when it differs");
    verify
        ->add_option("FILE", command.Path, "backup file (- : standard input); in a fleet a folder")
        ->required()
        ->type_name("FILE");
    verify->callback(kind(TCommandKind::Verify));
    parent
        .add_subcommand("reset", "send the reset line (exit 0: the gateway took the line; "
                                 "no answer is awaited)")
        ->callback(kind(TCommandKind::Reset));
    parent.require_subcommand(1);
    for (CLI::App* command : parent.get_subcommands({}))
        command->footer(GlobalOptionsText);
}

bool CheckValues(TCommandLine& line, TTyped& typed, std::string& error) {
    std::map<std::string, std::string> given;
    for (const auto& [key, option] : typed.Options)
        if (option->count() > 0) given[key] = typed.Texts[key];
    TDefaults& defaults = line.Defaults;
    if (!ResolveDefaults(given, line.ConfigPath, line.Site, defaults, error)) return false;
    const auto text = [&](const std::string& key) { return defaults.Values.at(key).Text; };
    TSessionSettings& settings = line.Settings;
    settings.Host = text("host");
    if (settings.Host.empty()) {
        error = Label(defaults, "host") + ": empty";
        return false;
    }
    if (!ParsePort(text("port"), settings.Port)) {
        error =
            Label(defaults, "port") + " '" + text("port") + "': a number from 1 to 65535 expected";
        return false;
    }
    if (!Relabelled(ParseGateway(text("gateway"), settings.Gateway, error), defaults, "gateway",
                    error) ||
        !Relabelled(ParseTimeout(text("timeout"), settings.Timeout, error), defaults, "timeout",
                    error))
        return false;
    if (defaults.Values.count("proxy_password"))
        line.ProxyPassword = defaults.Values.at("proxy_password").Text;
    if (defaults.Values.count("proxy") && text("proxy") != "none") {
        if (!Relabelled(ParseProxyUrl(text("proxy"), settings.Proxy, error), defaults, "proxy",
                        error))
            return false;
        TProxySettings& proxy = settings.Proxy;
        if (proxy.Version == svSocks5 && !proxy.User.empty() && proxy.Password.empty())
            proxy.Password = line.ProxyPassword;
    }
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
    // The help in bqctl's words; subcommands take the formatter and help flag from here.
    app.set_help_flag("-h,--help", "print this help and exit");
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.get_formatter()->label("SUBCOMMANDS", "COMMANDS");
    app.get_formatter()->label("Subcommands", "Commands");
    app.footer(std::string(ExitStatusText) +
               "\n\nbqctl COMMAND --help describes a command; man bqctl tells the rest.");
    TTyped typed;
    const auto connection = [&](const std::string& key, const std::string& valueName,
                                const std::string& help) {
        typed.Options[key] =
            app.add_option("--" + key, typed.Texts[key], help)->type_name(valueName);
    };
    connection("host", "HOST", "gateway host (default 127.0.0.1)");
    connection("port", "PORT", "gateway TCP port (default 5556)");
    connection("gateway", "XXXX", "gateway address, four characters (default 2001)");
    connection("timeout", "SECONDS",
               "how long any one network wait may take: connect, proxy, answers (default 5)");
    connection("proxy", "URL",
               "SOCKS proxy: socks4://host:port, socks4a://host:port, "
               "socks5://[user[:password]@]host:port, or none");
    app.add_option("--config", line.ConfigPath,
                   "config file with defaults and sites (default ~/.config/bqctl/config)")
        ->type_name("FILE");
    app.add_option("--site", line.Site,
                   "take host, port, gateway and proxy from [site.NAME] of the config file")
        ->type_name("NAME");
    app.add_flag("--show-config", line.ShowConfig,
                 "print the settings in effect, as bqctl config does");
    app.add_flag("--json", line.Json, "print results as JSON");
    app.add_flag("-v,--verbose", line.Verbose, "print the session transcript on standard error");
    app.add_option("--log", line.LogPath,
                   "write the session transcript to FILE (- : standard error)")
        ->type_name("FILE");
    app.set_version_flag("--version", std::string("bqctl ") + ProductVersion(),
                         "print the version and exit");
    AddCommands(app, line.Command);
    app.add_subcommand("config",
                       "print the settings in effect and where each comes from (command line, "
                       "environment, config file), the password hidden")
        ->callback([&line] { line.ShowConfig = true; });
    CLI::App* fleet = app.add_subcommand(
        "fleet",
        "run a command against every gateway of a CSV inventory (host,port,gateway[,proxy])");
    fleet
        ->add_option("INVENTORY", line.Inventory,
                     "CSV file with a header line, - for standard input")
        ->required()
        ->type_name("FILE");
    fleet->add_option("--jobs", line.Jobs, "sessions at once")
        ->capture_default_str()
        ->type_name("N");
    fleet->add_flag("--csv", line.Csv, "results as CSV instead of JSON lines");
    fleet->footer(std::string(ExitStatusText) + "\n\n" + GlobalOptionsText);
    fleet->callback([&line] { line.Fleet = true; });
    AddCommands(*fleet, line.Command);
    app.require_subcommand(0, 1); // none with --show-config
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);
        // CLI11 asks for a command before it complains about a word it did
        // not take; the word is what the user needs to see.
        const std::vector<std::string> extra = app.remaining();
        if (!extra.empty()) {
            const std::string nearest = NearestWord(extra.front(), CommandNames);
            err << "bqctl: unknown command or argument '" << extra.front() << "'"
                << (nearest.empty() ? "" : "; did you mean '" + nearest + "'?")
                << " (see bqctl --help)\n";
        } else if (std::string(e.what()) == "A subcommand is required") {
            err << "bqctl: a command is required: info, backup, restore, verify, write, reset, "
                   "fleet or config (see bqctl --help)\n";
        } else {
            // "write: ..." for an error inside a command.
            std::string where;
            for (const CLI::App* command = &app; !command->get_subcommands().empty();) {
                command = command->get_subcommands().front();
                where += command->get_name() + " ";
            }
            err << "bqctl: " << (where.empty() ? "" : where.substr(0, where.size() - 1) + ": ")
                << UsageError(e.what()) << " (see bqctl " << where << "--help)\n";
        }
        return ExitUsage;
    }
    if (app.get_subcommands().empty() && !line.ShowConfig) {
        err << "bqctl: a command is required: info, backup, restore, verify, write, reset, "
               "fleet or config (see bqctl --help)\n";
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
