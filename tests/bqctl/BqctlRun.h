// bqctl run as a program for a test: its exit status, standard output and
// standard error.
#pragma once

#include <map>
#include <string>
#include <vector>

struct BqctlRun {
    int Exit = -1; // -1: killed or did not end in time
    std::string Out;
    std::string Err;
};

// Runs bqctl in an environment of the test's making: none of bqctl's own
// variables, ALL_PROXY or a config file of whoever runs the tests, only
// `environment` (for the config file: XDG_CONFIG_HOME or APPDATA).
BqctlRun RunBqctl(const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& environment = {});
// bqctl started through `launcher` (a program with its arguments, bqctl's
// path and `args` appended), with standard error in Out after standard output.
BqctlRun RunBqctlThrough(const std::vector<std::string>& launcher,
                         const std::vector<std::string>& args);
// The arguments that point bqctl at the simulator on `port`.
std::vector<std::string> At(int32_t port, std::vector<std::string> args);
