// The process's resident memory as the kernel counts it (/proc/self/status),
// with the peak reset between measurements.
#pragma once

#include <cstdint>

// Starts a new peak (writes 5 to /proc/self/clear_refs); false where the
// kernel does not allow it, in which case the peak covers the whole run.
bool ResetPeakMemory();
// VmHWM, the peak resident set size, in KiB; -1 when unreadable.
int64_t PeakMemoryKiB();
// VmRSS, the current resident set size, in KiB; -1 when unreadable.
int64_t CurrentMemoryKiB();
