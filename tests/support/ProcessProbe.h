// What the process holds right now, read from /proc/self: descriptors, threads,
// memory and the peak of resident memory since the last reset.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "Deadline.h"

int CountOpenDescriptors();

int CountThreads();
// Waits until at most `count` threads remain; false when they do not within
// `patience`. A thread that has signalled its end still needs a moment to
// leave the kernel's task list, and there is nothing to wait on for that.
bool WaitForThreadCount(int count, std::chrono::milliseconds patience);

// The kernel's id of the calling thread, as ThreadIds() lists it.
pid_t ThisThreadId();
// The kernel's ids of this process's threads (what gettid() returns in each).
std::vector<pid_t> ThreadIds();
// Waits until thread `id` of this process sleeps - blocked in the kernel, as
// on a condition variable - or has ended, at a moment when `also` (when
// given) holds; false when that does not happen within `patience`. The kernel
// sends no notice when a thread goes to sleep, so its state is read again
// every millisecond. Linux only: Windows shows no thread's sleep to a test
// (the cases that need it are left out of the Windows run).
bool WaitUntilThreadSleeps(pid_t id, const std::function<bool()>& also = nullptr,
                           std::chrono::milliseconds patience = Patience);

// Kilobytes, from /proc/self/status; -1 when the field cannot be read.
int64_t ResidentKb();
int64_t PeakResidentKb();
// Starts a new peak (VmHWM) at the present resident size; false when the
// kernel does not allow it.
bool ResetPeakResident();

// AddressSanitizer keeps freed memory in quarantine and ThreadSanitizer maps
// shadow memory beside every allocation, so resident sizes say nothing about
// the program's own use under either.
constexpr bool MemoryFiguresMeaningful() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;
#else
    return true;
#endif
}
