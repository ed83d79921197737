// Defaults from the environment and the config file (read with CLI11's TOML
// reader), merged under the command line.
#include "bqctl/Defaults.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include <CLI/CLI.hpp>

#include "bqctl/InputFile.h"

const std::vector<std::string> SettingKeys{"host",    "port",  "gateway",
                                           "timeout", "proxy", "proxy_password"};

namespace {

const std::map<std::string, std::string> BuiltIn{
    {"host", "127.0.0.1"}, {"port", "5556"}, {"gateway", "2001"}, {"timeout", "5"}};

// The password of a proxy URL replaced by ****.
std::string HidePassword(const std::string& url) {
    const size_t scheme = url.find("://");
    const size_t at = url.rfind('@');
    if (scheme == std::string::npos || at == std::string::npos || at < scheme) return url;
    const size_t colon = url.find(':', scheme + 3);
    if (colon == std::string::npos || colon > at) return url;
    return url.substr(0, colon + 1) + "****" + url.substr(at);
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string EnvironmentName(const std::string& key) {
    std::string name = "BQCTL_" + key;
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

// BQCTL_PROXY, else the usual ALL_PROXY when it names a SOCKS proxy (an
// HTTP proxy cannot carry a Telnet session).
bool EnvironmentValue(const std::string& key, TSetting& setting) {
    std::vector<std::string> names{EnvironmentName(key)};
    if (key == "proxy") names.insert(names.end(), {"ALL_PROXY", "all_proxy"});
    for (const std::string& name : names) {
        const std::string value = Variable(name.c_str());
        if (value.empty()) continue;
        if (name != names.front() && value.rfind("socks", 0) != 0) continue;
        setting = {value, "environment " + name};
        return true;
    }
    return false;
}

struct TConfigFile {
    std::map<std::string, std::string> Top;
    std::map<std::string, std::map<std::string, std::string>> Sites;
};

bool KnownKey(const std::string& key) {
    for (const std::string& known : SettingKeys)
        if (key == known) return true;
    return false;
}

bool ParseConfig(const std::string& text, const std::string& path, TConfigFile& config,
                 std::string& error) {
    std::istringstream stream(text);
    std::vector<CLI::ConfigItem> items;
    try {
        items = CLI::ConfigTOML().from_config(stream);
    } catch (const CLI::Error& e) {
        error = path + ": " + e.what();
        return false;
    }
    for (const CLI::ConfigItem& item : items) {
        if (item.name == "++" || item.name == "--") continue; // a section's start and end
        const std::string value = item.inputs.empty() ? "" : item.inputs.front();
        const bool top = item.parents.empty();
        const bool site = item.parents.size() == 2 && item.parents[0] == "site";
        if ((!top && !site) || !KnownKey(item.name) || item.inputs.size() != 1) {
            error = path + ": unknown setting '" + item.fullname() + "' (" +
                    "known: " + CLI::detail::join(SettingKeys, ", ") +
                    ", at the top or in [site.NAME])";
            return false;
        }
        (top ? config.Top : config.Sites[item.parents[1]])[item.name] = value;
    }
    return true;
}

} // namespace

std::string DefaultConfigPath() {
#ifdef _WIN32
    const std::string appData = Variable("APPDATA");
    if (!appData.empty()) return appData + "\\bqctl\\config";
    const std::string profile = Variable("USERPROFILE");
    return profile.empty() ? "" : profile + "\\.config\\bqctl\\config";
#else
    const std::string xdg = Variable("XDG_CONFIG_HOME");
    if (!xdg.empty()) return xdg + "/bqctl/config";
    const std::string home = Variable("HOME");
    return home.empty() ? "" : home + "/.config/bqctl/config";
#endif
}

bool ResolveDefaults(const std::map<std::string, std::string>& given, const std::string& configPath,
                     const std::string& site, TDefaults& defaults, std::string& error) {
    defaults.ConfigPath = configPath.empty() ? DefaultConfigPath() : configPath;
    TConfigFile config;
    std::string text;
    if (!defaults.ConfigPath.empty() && ReadInputFile(defaults.ConfigPath, text, error)) {
        if (!ParseConfig(text, defaults.ConfigPath, config, error)) return false;
        defaults.ConfigRead = true;
    } else if (!configPath.empty()) {
        return false; // an explicit --config must be read; a missing default is none
    }
    error.clear();
    const std::map<std::string, std::string>* siteValues = nullptr;
    if (!site.empty()) {
        const auto it = config.Sites.find(site);
        if (it == config.Sites.end()) {
            error = "--site '" + site + "': no [site." + site + "] in " +
                    (defaults.ConfigRead ? defaults.ConfigPath : "a config file (none read)");
            return false;
        }
        siteValues = &it->second;
    }
    for (const std::string& key : SettingKeys) {
        TSetting setting;
        if (const auto it = given.find(key); it != given.end()) {
            setting = {it->second, "command line"};
        } else if (siteValues && siteValues->count(key)) {
            setting = {siteValues->at(key), defaults.ConfigPath + " [site." + site + "]"};
        } else if (EnvironmentValue(key, setting)) {
        } else if (config.Top.count(key)) {
            setting = {config.Top.at(key), defaults.ConfigPath};
        } else if (BuiltIn.count(key)) {
            setting = {BuiltIn.at(key), "built-in default"};
        } else {
            continue;
        }
        defaults.Values[key] = setting;
    }
    return true;
}

std::string DefaultsText(const TDefaults& defaults) {
    std::string text;
    for (const std::string& key : SettingKeys) {
        const auto it = defaults.Values.find(key);
        std::string value = it == defaults.Values.end() ? "none" : it->second.Text;
        if (key == "proxy") value = HidePassword(value);
        if (key == "proxy_password" && it != defaults.Values.end()) value = "(hidden)";
        const std::string source = it == defaults.Values.end() ? "" : it->second.Source;
        text += key + ":" + std::string(16 - key.size(), ' ') + value +
                (source.empty() ? ""
                                : std::string(value.size() < 30 ? 30 - value.size() : 1, ' ') +
                                      "from " + source) +
                "\n";
    }
    text += "config:          " +
            (defaults.ConfigPath.empty()
                 ? std::string("none")
                 : defaults.ConfigPath + (defaults.ConfigRead ? "" : " (not found)")) +
            "\n";
    return text;
}
