// bqctl run as a program for a test: its exit status, standard output and
// standard error.
#pragma once

#include <string>
#include <vector>

struct BqctlRun {
    int Exit = -1; // -1: killed or did not end in time
    std::string Out;
    std::string Err;
};

BqctlRun RunBqctl(const std::vector<std::string>& args);
// The arguments that point bqctl at the simulator on `port`.
std::vector<std::string> At(int32_t port, std::vector<std::string> args);
