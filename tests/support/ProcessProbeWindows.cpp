// Counts and sizes of this process from the Windows API: open handles (the
// test kit's descriptors are socket handles), threads and working set.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include "ProcessProbe.h"

namespace {

bool MemoryCounters(PROCESS_MEMORY_COUNTERS& counters) {
    return ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters) != 0;
}

} // namespace

int CountOpenDescriptors() {
    DWORD count = 0;
    return ::GetProcessHandleCount(::GetCurrentProcess(), &count) ? static_cast<int>(count) : -1;
}

int CountThreads() {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    const DWORD self = ::GetCurrentProcessId();
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == self) ++count;
    ::CloseHandle(snapshot);
    return count;
}

pid_t ThisThreadId() {
    return static_cast<pid_t>(::GetCurrentThreadId());
}

std::vector<pid_t> ThreadIds() {
    std::vector<pid_t> ids;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    const DWORD self = ::GetCurrentProcessId();
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == self) ids.push_back(static_cast<pid_t>(entry.th32ThreadID));
    ::CloseHandle(snapshot);
    return ids;
}

// Windows offers a test no view of whether a thread sleeps; the cases that
// need it are left out of the Windows run, so reaching here is a failure.
bool WaitUntilThreadSleeps(pid_t, const std::function<bool()>&, std::chrono::milliseconds) {
    return false;
}

int64_t ResidentKb() {
    PROCESS_MEMORY_COUNTERS counters{};
    return MemoryCounters(counters) ? static_cast<int64_t>(counters.WorkingSetSize / 1024) : -1;
}

int64_t PeakResidentKb() {
    PROCESS_MEMORY_COUNTERS counters{};
    return MemoryCounters(counters) ? static_cast<int64_t>(counters.PeakWorkingSetSize / 1024) : -1;
}

// Windows keeps the peak working set for the process's whole life.
bool ResetPeakResident() {
    return false;
}
