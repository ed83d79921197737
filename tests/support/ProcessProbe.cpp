// Counts and sizes of this process from /proc/self.
#include "ProcessProbe.h"

#include <dirent.h>
#include <poll.h>

#include <cctype>
#include <cstdlib>

#include <fstream>
#include <string>
#include <string_view>
#include <thread>

#include "Deadline.h"

namespace {

// The entries of a directory under /proc/self, "." and ".." not counted; -1
// when it cannot be read. The count of /proc/self/fd takes in the listing's
// own descriptor, the same in every call.
int CountEntries(const char* directory) {
    DIR* listing = ::opendir(directory);
    if (listing == nullptr) return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(listing))
        if (entry->d_name[0] != '.') ++count;
    ::closedir(listing);
    return count;
}

int64_t StatusFieldKb(const std::string& name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(name + ":", 0) == 0) return std::stoll(line.substr(name.size() + 1));
    return -1;
}

// A sanitizer's runtime (ThreadSanitizer's, for one) starts a background
// thread of its own when the process creates its first thread. One thread
// started and joined before the first count puts that thread into every count,
// so that it is never taken for a thread the code under test left behind.
void StartRuntimeThreads() {
    static const bool started = [] {
        std::thread([] {}).join();
        return true;
    }();
    (void)started;
}

// Asleep in the kernel (S, D) or ended (Z, X, or no longer listed), from
// /proc/self/task/ID/stat: "tid (comm) state ..."; comm may hold spaces, so
// the state is read after the last ')'.
bool ThreadSleeps(pid_t id) {
    std::ifstream stat("/proc/self/task/" + std::to_string(id) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const size_t close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size()) return false;
    return std::string_view("SDZX").find(line[close + 2]) != std::string_view::npos;
}

} // namespace

int CountOpenDescriptors() {
    return CountEntries("/proc/self/fd");
}

int CountThreads() {
    StartRuntimeThreads();
    return CountEntries("/proc/self/task");
}

pid_t ThisThreadId() {
    return ::gettid();
}

std::vector<pid_t> ThreadIds() {
    StartRuntimeThreads();
    std::vector<pid_t> ids;
    DIR* listing = ::opendir("/proc/self/task");
    if (listing == nullptr) return ids;
    while (const dirent* entry = ::readdir(listing))
        if (std::isdigit(static_cast<unsigned char>(entry->d_name[0])))
            ids.push_back(static_cast<pid_t>(std::atoi(entry->d_name)));
    ::closedir(listing);
    return ids;
}

bool WaitUntilThreadSleeps(pid_t id, const std::function<bool()>& also,
                           std::chrono::milliseconds patience) {
    const Deadline deadline(patience);
    for (int round = 0; round < 1'000'000; ++round) {
        if ((!also || also()) && ThreadSleeps(id)) return true;
        if (deadline.Passed()) return false;
        ::poll(nullptr, 0, 1);
    }
    return false;
}

int64_t ResidentKb() {
    return StatusFieldKb("VmRSS");
}

int64_t PeakResidentKb() {
    return StatusFieldKb("VmHWM");
}

bool ResetPeakResident() {
    // "5" resets the peak resident set size (proc(5), clear_refs).
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
}
