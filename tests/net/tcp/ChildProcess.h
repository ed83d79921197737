// A program the test starts and always stops: run in a process group of its
// own, killed with that group and waited for; output kept in a log file.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, std::string logPath);
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Kills the whole group and reaps the process; safe to repeat.
    void Stop();
    std::string Log() const;

private:
    pid_t Pid = -1;
    std::string LogPath;
};

// Runs a program to its end; its exit status (-1 when it could not run).
int RunToCompletion(const std::vector<std::string>& argv);

// Makes this process the reaper of its orphaned descendants (daemons that
// leave their process group), so that ReapOrphans can find and end them.
void AdoptOrphans();
// Kills and reaps every child of this process that no live ChildProcess owns.
void ReapOrphans();

// A fresh directory under /tmp, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string Path(const std::string& name) const { return Root + "/" + name; }
    void Write(const std::string& name, const std::string& text) const;

private:
    std::string Root;
};

bool IsExecutable(const std::string& path);
