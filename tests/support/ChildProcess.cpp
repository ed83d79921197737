// Starting, watching and stopping the programs that tests run against, and
// reaping whatever they leave behind.
#include "ChildProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>

namespace {

// The children that a live ChildProcess owns; every other child of this
// process is an orphan that a stopped program left behind.
std::mutex RegistryGuard;
std::vector<pid_t> LivePids;

// argv[0] as a path: itself when it holds a slash, else the first match in PATH.
std::string ProgramPath(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    const char* path = std::getenv("PATH");
    std::istringstream directories(path ? path : "/usr/bin:/bin");
    for (std::string directory; std::getline(directories, directory, ':');)
        if (IsExecutable(directory + "/" + name)) return directory + "/" + name;
    return name;
}

// Runs in the child between fork and exec, so only async-signal-safe calls.
[[noreturn]] void BecomeProgram(const char* path, char* const* args, int input, int output,
                                int errors) {
    ::setpgid(0, 0);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::dup2(input, STDIN_FILENO);
    ::dup2(output, STDOUT_FILENO);
    ::dup2(errors, STDERR_FILENO);
    // Nothing else of the test's: no socket of it stays open in the program.
    ::close_range(3, ~0U, 0);
    ::execv(path, args);
    ::_exit(127);
}

std::vector<pid_t> ChildrenOfThisProcess() {
    std::vector<pid_t> children;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) return children;
    const std::string self = std::to_string(::getpid());
    while (const dirent* entry = ::readdir(proc)) {
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0]))) continue;
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        std::getline(stat, line);
        // pid (comm) state ppid ...; comm may hold spaces, so read after ')'
        const size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream fields(line.substr(close + 1));
        std::string state, parent;
        fields >> state >> parent;
        if (parent == self) children.push_back(static_cast<pid_t>(std::atoi(entry->d_name)));
    }
    ::closedir(proc);
    return children;
}

void Reap(pid_t pid, int& status) {
    for (int pass = 0; pass < 1000 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR; ++pass) {
    }
}

// Kills and reaps every child that no live ChildProcess owns. Each reaped
// orphan hands its own children over to this process, so look again until
// none is left.
void ReapOrphans() {
    for (int round = 0; round < 64; ++round) {
        std::vector<pid_t> orphans = ChildrenOfThisProcess();
        {
            const std::lock_guard lock(RegistryGuard);
            std::erase_if(orphans, [](pid_t pid) {
                return std::ranges::find(LivePids, pid) != LivePids.end();
            });
        }
        if (orphans.empty()) return;
        for (const pid_t orphan : orphans) {
            ::kill(orphan, SIGKILL);
            int status = 0;
            Reap(orphan, status);
        }
    }
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, Streams streams) {
    // Daemons leave the process group (setsid); as a subreaper this process
    // still gets them once their parents are gone, and Stop reaps them.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);

    const std::string path = ProgramPath(argv.at(0));
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    const UniqueFd input(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    char logPath[] = "/tmp/bqtest-log-XXXXXX";
    LogFile = UniqueFd(::mkostemp(logPath, O_CLOEXEC));
    if (!input.Valid() || !LogFile.Valid())
        throw std::runtime_error("no log file for a child process");
    ::unlink(logPath);
    UniqueFd pipeEnd;
    if (streams == Streams::BothToLog) {
        OutputEnded = true;
    } else {
        int pipeEnds[2];
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe for a child process");
        OutputPipe = UniqueFd(pipeEnds[0]);
        pipeEnd = UniqueFd(pipeEnds[1]);
        ::fcntl(OutputPipe.Get(), F_SETFL, O_NONBLOCK);
    }
    const int outputEnd = streams == Streams::BothToLog ? LogFile.Get() : pipeEnd.Get();
    const int errorEnd = streams == Streams::BothPiped ? pipeEnd.Get() : LogFile.Get();

    // Registered under the lock, so that no orphan reaping in between takes it for an orphan.
    const std::lock_guard lock(RegistryGuard);
    Pid = ::fork();
    if (Pid < 0) throw std::runtime_error("fork failed");
    if (Pid == 0) BecomeProgram(path.c_str(), args.data(), input.Get(), outputEnd, errorEnd);
    ::setpgid(Pid, Pid); // no gap in which the group does not exist yet
    ExitNotice = UniqueFd(static_cast<int>(::syscall(SYS_pidfd_open, Pid, 0)));
    if (!ExitNotice.Valid()) {
        ::kill(-Pid, SIGKILL);
        int status = 0;
        Reap(Pid, status);
        throw std::runtime_error("pidfd_open failed");
    }
    LivePids.push_back(Pid);
}

bool ChildProcess::ReadAvailable() {
    if (OutputEnded) return false;
    char buffer[4096];
    for (int pass = 0; pass < 100000; ++pass) {
        const ssize_t got = ::read(OutputPipe.Get(), buffer, sizeof buffer);
        if (got > 0) {
            OutputText.append(buffer, static_cast<size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got == 0) OutputEnded = true;
        return !OutputEnded;
    }
    return true;
}

bool ChildProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds patience) {
    const Deadline deadline(patience);
    for (int pass = 0; pass < 100000; ++pass) {
        if (OutputText.find(text) != std::string::npos) return true;
        if (Pid < 0 || OutputEnded || !WaitForEvents(OutputPipe.Get(), POLLIN, deadline)) break;
        ReadAvailable();
    }
    return OutputText.find(text) != std::string::npos;
}

std::string ChildProcess::Log() const {
    std::string text;
    char buffer[4096];
    for (off_t at = 0; at < (off_t{1} << 30);) {
        const ssize_t got = ::pread(LogFile.Get(), buffer, sizeof buffer, at);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        text.append(buffer, static_cast<size_t>(got));
        at += got;
    }
    return text;
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds patience) {
    const Deadline deadline(patience);
    // Output is read while waiting, so that a full pipe never holds the program up.
    for (int pass = 0; pass < 100000 && !Exited && Pid > 0; ++pass) {
        pollfd entries[2] = {{ExitNotice.Get(), POLLIN, 0}, {OutputPipe.Get(), POLLIN, 0}};
        const int ready = ::poll(entries, OutputEnded ? 1 : 2, deadline.PollTimeout());
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        if (entries[0].revents != 0) Exited = true;
        if (!OutputEnded && entries[1].revents != 0) ReadAvailable();
    }
    return Exited;
}

int ChildProcess::Stop(int signal, std::chrono::milliseconds grace) {
    if (Pid < 0) return -1;
    if (!Exited) {
        ::kill(-Pid, signal);
        WaitForExit(grace);
    }
    // Whatever is left of the group; a leader that has ended stays a zombie
    // until it is reaped, so the group's id cannot have been reused.
    ::kill(-Pid, SIGKILL);
    int status = -1;
    Reap(Pid, status);
    {
        const std::lock_guard lock(RegistryGuard);
        std::erase(LivePids, Pid);
    }
    Pid = -1;
    ReapOrphans();
    // Everyone who could write to it is gone now.
    ReadAvailable();
    OutputPipe.Close();
    ExitNotice.Close();
    return status;
}

int RunToCompletion(const std::vector<std::string>& argv, std::chrono::milliseconds patience) {
    ChildProcess program(argv);
    const bool ended = program.WaitForExit(patience);
    const int status = program.Stop();
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool IsExecutable(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}
