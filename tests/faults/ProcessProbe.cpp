// Counts and sizes of this process from /proc/self.
#include "ProcessProbe.h"

#include <dirent.h>

#include <fstream>
#include <string>
#include <thread>

int CountThreads() {
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return -1;
    int count = 0;
    while (const dirent* entry = readdir(tasks))
        if (entry->d_name[0] != '.') ++count;
    closedir(tasks);
    return count;
}

bool WaitForThreadCount(int count, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (long round = 0; round < 100'000'000L; ++round) {
        if (CountThreads() <= count) return true;
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::yield();
    }
    return CountThreads() <= count;
}

namespace {

int64_t StatusFieldKb(const std::string& name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(name + ":", 0) == 0) return std::stoll(line.substr(name.size() + 1));
    return -1;
}

} // namespace

int64_t ResidentKb() { return StatusFieldKb("VmRSS"); }

int64_t PeakResidentKb() { return StatusFieldKb("VmHWM"); }

bool ResetPeakResident() {
    // "5" resets the peak resident set size (proc(5), clear_refs).
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
}
