// A counter that test threads raise and others wait on with a deadline, so
// that tests hand over control without sleeping.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class TSignal {
public:
    // Notifies under the lock: a waiter may destroy the signal as soon as it wakes.
    void Raise() {
        const std::lock_guard lock(Lock);
        ++Count;
        Changed.notify_all();
    }

    // False when `count` raises have not come within the deadline.
    bool WaitFor(int count = 1, std::chrono::seconds deadline = std::chrono::seconds(20)) {
        std::unique_lock lock(Lock);
        return Changed.wait_for(lock, deadline, [&] { return Count >= count; });
    }

    int Raised() {
        const std::lock_guard lock(Lock);
        return Count;
    }

private:
    std::mutex Lock;
    std::condition_variable Changed;
    int Count = 0;
};
