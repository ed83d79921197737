// A program the test starts and always stops. It runs in a process group of
// its own with standard input on /dev/null; what it writes goes to a log that
// can be read at any moment, or to a pipe that the test reads. Stop asks the
// group to end (SIGTERM), kills it when it does not (SIGKILL), reaps it, and
// kills and reaps every descendant that left the group.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "Deadline.h"
#include "UniqueFd.h"

class ChildProcess {
public:
    enum class Streams {
        BothToLog,   // for daemons: nothing the test must read, and no pipe that could fill
        OutputPiped, // standard output read by the test, standard error to the log
        BothPiped,   // for programs that report on standard error what the test waits for
    };

    // argv[0] is a path, or a name looked up in PATH. A program that cannot
    // be run ends at once with status 127.
    explicit ChildProcess(const std::vector<std::string>& argv,
                          Streams streams = Streams::BothToLog);
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads the pipe until `text` has appeared in it; false when the output
    // ends or time runs out first (at once when nothing is piped).
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds patience = Patience);
    // What came through the pipe, as far as it has been read.
    const std::string& Output() const { return OutputText; }
    // Appends what the pipe holds now to Output, without waiting; false at
    // the end of the output (at once when nothing is piped).
    bool ReadAvailable();
    // Everything written to the log so far.
    std::string Log() const;

    // Waits for the program to end by itself, reading its output meanwhile;
    // false when it still runs after `patience`.
    bool WaitForExit(std::chrono::milliseconds patience = Patience);
    // Sends `signal` to the group and gives the program `grace` to end, then
    // kills what is left. The program's wait status; -1 when it had been
    // stopped before. Safe to repeat.
    int Stop(int signal = SIGTERM, std::chrono::milliseconds grace = Patience);

private:
    pid_t Pid = -1;
    UniqueFd ExitNotice; // a pidfd: readable once the program has ended
    UniqueFd OutputPipe; // read end, non-blocking
    UniqueFd LogFile;    // unlinked at once, so nothing is left behind
    bool OutputEnded = false;
    bool Exited = false;
    std::string OutputText;
};

// Runs a program to its end (stopped after `patience`); its exit status, or
// -1 when it did not exit by itself.
int RunToCompletion(const std::vector<std::string>& argv,
                    std::chrono::milliseconds patience = Patience);

// Whether `path` names a program this process may run.
bool IsExecutable(const std::string& path);
