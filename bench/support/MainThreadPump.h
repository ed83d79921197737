// The benchmark's main thread in the role of the GUI thread: woken when a
// worker queues a synchronised call, it drains the queue with
// CheckSynchronize, until a condition holds or a deadline passes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

class TMainThreadPump {
public:
    // Installs the wake-up hook; call on the main thread.
    TMainThreadPump();
    // Removes the hook.
    ~TMainThreadPump();
    TMainThreadPump(const TMainThreadPump&) = delete;
    TMainThreadPump& operator=(const TMainThreadPump&) = delete;

    // Runs queued calls until `done` (asked on this thread after each batch)
    // answers true; false when `patience` runs out first.
    bool ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds patience);
    // For a worker that makes `done` true without queuing a call.
    void Wake();

private:
    std::mutex Lock;
    std::condition_variable Woken;
    bool Pending = false;
};
