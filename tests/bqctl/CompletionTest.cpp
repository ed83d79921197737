// The bash and zsh completions run against this bqctl: the options offered
// at each level are those its --help lists, and "--opt=value" is understood.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "BqctlRun.h"
#include "tests/support/ChildProcess.h"

namespace {

const std::string BashCompletion = "/usr/share/bash-completion/bash_completion";

// Completes the last word as bash does after splitting the line at '='.
const std::string BashDriver = R"(
source "$1"; source "$2"; shift 2
COMP_WORDS=(); for word in "$@"; do
    if [[ $word == --*=* ]]; then COMP_WORDS+=("${word%%=*}" = "${word#*=}"); else COMP_WORDS+=("$word"); fi
done
COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
_bqctl 2>/dev/null; printf '%s\n' "${COMPREPLY[@]}")";

// What the zsh completion would offer: its kind, then the values.
const std::string ZshDriver = R"(
compdef() {}; source "$1"; shift; _bqctl_offer "$@"; print -rl -- "${(@)reply[2,-1]}")";

std::set<std::string> Lines(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        if (!line.empty()) lines.insert(line);
    return lines;
}

std::set<std::string> Run(std::vector<std::string> argv) {
    ChildProcess shell(argv, ChildProcess::Streams::OutputPiped);
    EXPECT_TRUE(shell.WaitForExit());
    shell.Stop();
    return Lines(shell.Output());
}

std::set<std::string> Bash(const std::vector<std::string>& words) {
    std::vector<std::string> argv{"/bin/bash",    "-c",
                                  BashDriver,     "bash",
                                  BashCompletion, BQ_SOURCE_DIR "/data/bash-completion/bqctl",
                                  BQCTL};
    argv.insert(argv.end(), words.begin(), words.end());
    return Run(argv);
}

std::set<std::string> Zsh(const std::vector<std::string>& words) {
    std::vector<std::string> argv{
        "zsh", "-fc", ZshDriver, "zsh", BQ_SOURCE_DIR "/data/zsh-completion/_bqctl", BQCTL};
    argv.insert(argv.end(), words.begin(), words.end());
    return Run(argv);
}

// The long options, or the commands, that `bqctl LEVEL... --help` lists.
std::set<std::string> FromHelp(std::vector<std::string> level, const std::string& section) {
    level.push_back("--help");
    const BqctlRun run = RunBqctl(level);
    EXPECT_EQ(run.Exit, 0) << run.Err;
    std::set<std::string> names;
    std::istringstream help(run.Out);
    bool inside = false;
    for (std::string line; std::getline(help, line);) {
        if (line.empty()) inside = false;
        if (inside) {
            // "  -h,--help  ...", "  --port PORT  ..." or "  info  ..."
            size_t start = line.find_first_not_of(' ');
            if (section == "Options:" && line.compare(start, 1, "-") == 0 && line[start + 1] != '-')
                start += 3;
            const size_t end = line.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-",
                                                      start + (section == "Options:" ? 2 : 0));
            const std::string name = line.substr(start, end - start);
            if (section == "Options:" ? name.rfind("--", 0) == 0 : !name.empty() && start == 2)
                names.insert(name);
        }
        if (line == section) inside = true;
    }
    return names;
}

struct Level {
    std::vector<std::string> Words;               // before the word completed
    std::vector<std::vector<std::string>> Levels; // whose options apply there
};

TEST(BqctlCompletion, OffersTheOptionsAndCommandsThatHelpLists) {
    if (!std::filesystem::exists(BashCompletion)) GTEST_SKIP() << "bash-completion is missing";
    const bool zsh = IsExecutable("/usr/bin/zsh");
    for (const Level& level :
         {Level{{}, {{}}}, Level{{"write"}, {{}, {"write"}}},
          Level{{"--port=1", "fleet", "inv.csv"}, {{}, {"fleet"}}},
          Level{{"fleet", "-", "--jobs", "2", "restore"}, {{}, {"fleet"}, {"restore"}}}}) {
        std::set<std::string> expected;
        for (const std::vector<std::string>& help : level.Levels)
            expected.merge(FromHelp(help, "Options:"));
        std::vector<std::string> words = level.Words;
        words.push_back("--");
        EXPECT_EQ(Bash(words), expected) << words.front();
        if (zsh) {
            EXPECT_EQ(Zsh(words), expected) << words.front();
        }
    }
    EXPECT_EQ(Bash({""}), FromHelp({}, "Subcommands:"));
    EXPECT_EQ(Bash({"fleet", "-", "--jobs=2", ""}), FromHelp({"fleet"}, "Subcommands:"));
    if (zsh) {
        EXPECT_EQ(Zsh({"--timeout", "5", ""}), FromHelp({}, "Subcommands:"));
    }
}

// A value after '=' or a space is the option's, never a command.
TEST(BqctlCompletion, TakesValuesAfterAnEqualsSignOrASpace) {
    if (!std::filesystem::exists(BashCompletion)) GTEST_SKIP() << "bash-completion is missing";
    const std::set<std::string> proxies{"socks4://", "socks4a://", "socks5://"};
    EXPECT_EQ(Bash({"--proxy=so"}), proxies);
    EXPECT_EQ(Bash({"--port", "5556", "--proxy", "socks"}), proxies);
    EXPECT_EQ(Bash({"--port=5556", "--json", "wr"}), std::set<std::string>{"write"});
    EXPECT_EQ(Bash({"--timeout", "5", "f"}), std::set<std::string>{"fleet"});
    EXPECT_EQ(Bash({"--port="}), std::set<std::string>{});
    EXPECT_EQ(Bash({"--gateway", ""}), std::set<std::string>{});
}

} // namespace
