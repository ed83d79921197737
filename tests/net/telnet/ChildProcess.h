// A program the test starts and always stops: it runs in a process group of
// its own, its standard error is read through a pipe, and Stop kills and reaps
// the group together with any descendant that left it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/Deadline.h"

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads standard error until `text` has appeared; false when the program
    // ends or time runs out first. What was read is kept in ErrorOutput.
    bool WaitForError(const std::string& text, std::chrono::milliseconds patience = Patience);
    // Safe to repeat.
    void Stop();

    std::string ErrorOutput;

private:
    pid_t Pid = -1;
    int ErrorPipe = -1;
};

// Owns a fresh directory under /tmp and removes it with its files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return Root + "/" + name; }
    // Writes `text` to `name`, with the given permission bits.
    void Write(const std::string& name, const std::string& text, mode_t mode = 0644) const;

private:
    std::string Root;
};
