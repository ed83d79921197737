// Reads VmHWM and VmRSS from /proc/self/status; resets VmHWM via clear_refs.
#include "bench/support/PeakMemory.h"

#include <fstream>
#include <string>

namespace {

// Lines look like "VmHWM:\t   12345 kB".
int64_t StatusKiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, key.size(), key) != 0 || line.size() <= key.size() ||
            line[key.size()] != ':')
            continue;
        try {
            return std::stoll(line.substr(key.size() + 1));
        } catch (const std::exception&) {
            return -1;
        }
    }
    return -1;
}

} // namespace

bool ResetPeakMemory() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return static_cast<bool>(clearRefs);
}

int64_t PeakMemoryKiB() {
    return StatusKiB("VmHWM");
}

int64_t CurrentMemoryKiB() {
    return StatusKiB("VmRSS");
}
