// Starting, watching and stopping the programs that tests run against.
#include "ChildProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace {

// Every child of this process, from the lists of all its threads: orphans
// that were adopted because this process is a subreaper among them.
std::vector<pid_t> ChildrenOfThisProcess() {
    std::vector<pid_t> children;
    DIR* tasks = ::opendir("/proc/self/task");
    if (tasks == nullptr) return children;
    while (const dirent* task = ::readdir(tasks)) {
        if (task->d_name[0] == '.') continue;
        std::ifstream list(std::string("/proc/self/task/") + task->d_name + "/children");
        for (pid_t pid = 0; list >> pid && children.size() < 4096;) children.push_back(pid);
    }
    ::closedir(tasks);
    return children;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    // Daemons and login shells leave the process group (setsid); as a
    // subreaper this process still gets them once their parents are gone.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    Pid = ::fork();
    if (Pid < 0) throw std::runtime_error("fork failed");
    if (Pid == 0) {
        ::setpgid(0, 0);
        ::dup2(pipeEnds[1], STDERR_FILENO);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::setpgid(Pid, Pid);
    ::close(pipeEnds[1]);
    ErrorPipe = pipeEnds[0];
}

bool ChildProcess::WaitForError(const std::string& text, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (ErrorOutput.find(text) == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd entry{ErrorPipe, POLLIN, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char buffer[512];
        const ssize_t got = ::read(ErrorPipe, buffer, sizeof buffer);
        if (got <= 0) return false;
        ErrorOutput.append(buffer, static_cast<size_t>(got));
    }
    return true;
}

void ChildProcess::Stop() {
    if (Pid > 0) {
        ::kill(-Pid, SIGKILL);
        ::waitpid(Pid, nullptr, 0);
        Pid = -1;
    }
    // Reaping a process hands its own children over to this one, so the
    // scan repeats until nothing is left.
    for (int round = 0; round < 64; ++round) {
        const std::vector<pid_t> orphans = ChildrenOfThisProcess();
        if (orphans.empty()) break;
        for (const pid_t orphan : orphans) {
            ::kill(orphan, SIGKILL);
            ::waitpid(orphan, nullptr, 0);
        }
    }
    if (ErrorPipe >= 0) ::close(ErrorPipe);
    ErrorPipe = -1;
}

TempDir::TempDir() {
    char pattern[] = "/tmp/bq-telnet-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    Root = pattern;
    ::chmod(Root.c_str(), 0755);
}

TempDir::~TempDir() {
    if (DIR* dir = ::opendir(Root.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") ::unlink(Path(name).c_str());
        }
        ::closedir(dir);
    }
    ::rmdir(Root.c_str());
}

void TempDir::Write(const std::string& name, const std::string& text, mode_t mode) const {
    std::ofstream(Path(name), std::ios::binary) << text;
    ::chmod(Path(name).c_str(), mode);
}
