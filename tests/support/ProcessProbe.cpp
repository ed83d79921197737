// Counts and sizes of this process from /proc/self.
#include "ProcessProbe.h"

#include <dirent.h>

#include <fstream>
#include <string>
#include <thread>

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

} // namespace

int CountOpenDescriptors() {
    return CountEntries("/proc/self/fd");
}

int CountThreads() {
    StartRuntimeThreads();
    return CountEntries("/proc/self/task");
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
