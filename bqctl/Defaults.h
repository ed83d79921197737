// The connection settings in effect and where each comes from: the command
// line, then the --site section of the config file, the environment, the
// config file's top level, and bqctl's built-in default, the first that sets
// it winning.
#pragma once

#include <map>
#include <string>
#include <vector>

// host, port, gateway, timeout, proxy, proxy_password: the keys of the config
// file, in the order `bqctl config` lists them.
extern const std::vector<std::string> SettingKeys;

struct TSetting {
    std::string Text;
    std::string
        Source; // "command line", "environment BQCTL_PORT", "FILE [site.north]", "built-in default"
};

struct TDefaults {
    std::map<std::string, TSetting> Values; // the keys that are set, built-in defaults included
    std::string ConfigPath;
    bool ConfigRead = false;
};

// `given`: the keys given on the command line. `configPath`: --config, or
// empty for the default file, which may be missing. False with one line.
bool ResolveDefaults(const std::map<std::string, std::string>& given, const std::string& configPath,
                     const std::string& site, TDefaults& defaults, std::string& error);

// ~/.config/bqctl/config ($XDG_CONFIG_HOME/bqctl/config when set); on
// Windows %APPDATA%\bqctl\config. Empty when none of these is set.
std::string DefaultConfigPath();

// What `bqctl config` prints: each setting, its value and where it comes
// from, the proxy's password hidden; then the config file.
std::string DefaultsText(const TDefaults& defaults);
