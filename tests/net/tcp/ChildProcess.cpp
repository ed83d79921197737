// Starting, stopping and reaping the proxy programs of the tests.
#include "ChildProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>

namespace {

std::mutex RegistryGuard;
std::vector<pid_t> LivePids;

pid_t Spawn(const std::vector<std::string>& argv, const std::string& logPath) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        const int log = logPath.empty() ? ::open("/dev/null", O_WRONLY)
                                        : ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(log, STDOUT_FILENO);
        ::dup2(log, STDERR_FILENO);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    if (pid > 0) ::setpgid(pid, pid); // no gap in which the group does not exist yet
    return pid;
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

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, std::string logPath)
    : LogPath(std::move(logPath)) {
    std::lock_guard lock(RegistryGuard);
    Pid = Spawn(argv, LogPath);
    if (Pid < 0) throw std::runtime_error("fork failed");
    LivePids.push_back(Pid);
}

void ChildProcess::Stop() {
    if (Pid < 0) return;
    ::kill(-Pid, SIGKILL);
    ::kill(Pid, SIGKILL);
    int status = 0;
    ::waitpid(Pid, &status, 0);
    std::lock_guard lock(RegistryGuard);
    std::erase(LivePids, Pid);
    Pid = -1;
}

std::string ChildProcess::Log() const {
    std::ifstream log(LogPath);
    std::stringstream text;
    text << log.rdbuf();
    return text.str();
}

int RunToCompletion(const std::vector<std::string>& argv) {
    const pid_t pid = Spawn(argv, {});
    if (pid < 0) return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void AdoptOrphans() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }

void ReapOrphans() {
    // A killed daemon's own children are re-parented here only as they are
    // orphaned, so look again a few times.
    for (int round = 0; round < 5; ++round) {
        std::vector<pid_t> orphans = ChildrenOfThisProcess();
        {
            std::lock_guard lock(RegistryGuard);
            std::erase_if(orphans, [](pid_t pid) {
                return std::find(LivePids.begin(), LivePids.end(), pid) != LivePids.end();
            });
        }
        if (orphans.empty()) return;
        for (const pid_t orphan : orphans) {
            ::kill(orphan, SIGKILL);
            int status = 0;
            ::waitpid(orphan, &status, 0);
        }
    }
}

TempDir::TempDir() {
    char pattern[] = "/tmp/bqtest-tcp-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    Root = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Root, ignored);
}

void TempDir::Write(const std::string& name, const std::string& text) const {
    std::ofstream file(Path(name));
    file << text;
}

bool IsExecutable(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }
