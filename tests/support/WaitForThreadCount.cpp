// Waiting for the threads of this process to end, counted by ProcessProbe.
#include <thread>

#include "Deadline.h"
#include "ProcessProbe.h"

bool WaitForThreadCount(int count, std::chrono::milliseconds patience) {
    const Deadline deadline(patience);
    for (long round = 0; round < 100'000'000L; ++round) {
        if (CountThreads() <= count) return true;
        if (deadline.Passed()) break;
        std::this_thread::yield();
    }
    return CountThreads() <= count;
}
