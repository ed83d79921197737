// The test's main thread in the role of the GUI thread: it runs the reader's
// synchronised calls when woken, and waits on events with a deadline.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "Deadline.h"
#include "runtime/Thread.h"

class GuiThread {
public:
    GuiThread();
    // Joins the end watchers; the threads they watch must be ending by then.
    ~GuiThread();
    GuiThread(const GuiThread&) = delete;
    GuiThread& operator=(const GuiThread&) = delete;

    // Any thread: something the main thread may be waiting for has happened.
    void Notify();
    // Runs queued synchronised calls until `done` holds; false when it does
    // not hold within `patience`.
    bool ServeUntil(const std::function<bool()>& done,
                    std::chrono::milliseconds patience = Patience);
    // The same wait without running any queued call.
    bool WaitUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds patience = Patience);
    // True once a synchronised call has been queued since the last Serve/Wait.
    bool CallQueued() const;

    // Calls Notify when `thread` has ended; Ended(thread) then answers true.
    void WatchEnd(const std::shared_ptr<TThread>& thread);

private:
    bool Await(const std::function<bool()>& done, std::chrono::milliseconds patience, bool serve);

    mutable std::mutex Lock;
    std::condition_variable Changed;
    uint64_t Generation = 0; // counts notifications; guarded
    bool Queued = false;     // guarded
    std::vector<std::thread> Watchers;
};
