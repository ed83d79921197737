// Running bqctl to its end.
#include "BqctlRun.h"

#include <sys/wait.h>

#include <gtest/gtest.h>

#include "tests/support/ChildProcess.h"

BqctlRun RunBqctl(const std::vector<std::string>& args) {
    std::vector<std::string> argv{BQCTL};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess program(argv, ChildProcess::Streams::OutputPiped);
    EXPECT_TRUE(program.WaitForExit()) << "bqctl did not end";
    const int status = program.Stop();
    BqctlRun run;
    run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = program.Output();
    run.Err = program.Log();
    return run;
}

std::vector<std::string> At(int32_t port, std::vector<std::string> args) {
    args.insert(args.begin(), {"--port", std::to_string(port)});
    return args;
}
