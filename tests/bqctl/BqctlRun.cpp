// Running bqctl to its end.
#include "BqctlRun.h"

#include <sys/wait.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/ChildProcess.h"

namespace {

// The variables bqctl reads; a config folder that does not exist by default.
const std::map<std::string, std::string> Clean{{"BQCTL_HOST", ""},
                                               {"BQCTL_PORT", ""},
                                               {"BQCTL_GATEWAY", ""},
                                               {"BQCTL_TIMEOUT", ""},
                                               {"BQCTL_PROXY", ""},
                                               {"BQCTL_PROXY_PASSWORD", ""},
                                               {"ALL_PROXY", ""},
#ifndef _WIN32 // the same variable as ALL_PROXY on Windows
                                               {"all_proxy", ""},
#endif
                                               {"HOME", "/nonexistent-bqctl-test"},
                                               {"XDG_CONFIG_HOME", "/nonexistent-bqctl-test"},
                                               {"APPDATA", "/nonexistent-bqctl-test"}};

// Sets a variable of this process, which the child inherits; empty removes it.
void SetVariable(const std::string& name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name.c_str(), value.c_str());
#else
    if (value.empty())
        unsetenv(name.c_str());
    else
        setenv(name.c_str(), value.c_str(), 1);
#endif
}

BqctlRun Run(std::vector<std::string> argv, const std::vector<std::string>& args,
             const std::map<std::string, std::string>& environment, ChildProcess::Streams streams) {
    std::map<std::string, std::string> wanted = Clean, saved;
    for (const auto& [name, value] : environment) {
        wanted[name] = value;
#ifdef _WIN32
        // Windows' names ignore case: a clean entry spelt otherwise ("all_proxy")
        // is the same variable and would remove the value just given.
        for (auto& [other, otherValue] : wanted)
            if (_stricmp(other.c_str(), name.c_str()) == 0) otherValue = value;
#endif
    }
    for (const auto& [name, value] : wanted) {
        const char* old = std::getenv(name.c_str());
        saved[name] = old ? old : "";
        SetVariable(name, value);
    }
    argv.push_back(BQCTL);
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess program(argv, streams);
    for (const auto& [name, value] : saved)
        SetVariable(name, value);
    EXPECT_TRUE(program.WaitForExit()) << "bqctl did not end";
    const int status = program.Stop();
    BqctlRun run;
    run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = program.Output();
    run.Err = program.Log();
    return run;
}

} // namespace

BqctlRun RunBqctl(const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& environment) {
    return Run({}, args, environment, ChildProcess::Streams::OutputPiped);
}

BqctlRun RunBqctlThrough(const std::vector<std::string>& launcher,
                         const std::vector<std::string>& args) {
    return Run(launcher, args, {}, ChildProcess::Streams::BothPiped);
}

std::vector<std::string> At(int32_t port, std::vector<std::string> args) {
    args.insert(args.begin(), {"--port", std::to_string(port)});
    return args;
}
