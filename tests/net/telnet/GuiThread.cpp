// The main thread as GUI thread: wake-up hook, bounded waits, end watchers.
#include "GuiThread.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/Synchronize.h"

GuiThread::GuiThread() {
    SetWakeMainThread([this] {
        {
            const std::lock_guard lock(Lock);
            Queued = true;
        }
        Notify();
    });
}

GuiThread::~GuiThread() {
    SetWakeMainThread(nullptr);
    for (std::thread& watcher : Watchers) watcher.join();
}

void GuiThread::Notify() {
    {
        const std::lock_guard lock(Lock);
        ++Generation;
    }
    Changed.notify_all();
}

bool GuiThread::CallQueued() const {
    const std::lock_guard lock(Lock);
    return Queued;
}

bool GuiThread::ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds patience) {
    return Await(done, patience, true);
}

bool GuiThread::WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds patience) {
    return Await(done, patience, false);
}

// The generation is read before `done` is asked, so a notification that comes
// in between ends the wait at once instead of being missed.
bool GuiThread::Await(const std::function<bool()>& done, std::chrono::milliseconds patience, bool serve) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (int round = 0; round < 100000; ++round) {
        uint64_t seen = 0;
        {
            const std::lock_guard lock(Lock);
            seen = Generation;
            if (serve) Queued = false;
        }
        if (serve) CheckSynchronize();
        if (done()) return true;
        std::unique_lock lock(Lock);
        if (!Changed.wait_until(lock, deadline, [&] { return Generation != seen; })) break;
    }
    return done();
}

void GuiThread::WatchEnd(const std::shared_ptr<TThread>& thread) {
    Watchers.emplace_back([this, thread] {
        thread->WaitFor();
        Notify();
    });
}

Watchdog::Watchdog(const char* what, std::chrono::milliseconds patience) {
    Guard = std::thread([this, what, patience] {
        std::unique_lock lock(Lock);
        if (Done.wait_for(lock, patience, [this] { return Finished; })) return;
        std::fprintf(stderr, "Watchdog: %s did not return within %lld ms\n", what,
                     static_cast<long long>(patience.count()));
        std::abort();
    });
}

Watchdog::~Watchdog() {
    {
        const std::lock_guard lock(Lock);
        Finished = true;
    }
    Done.notify_all();
    Guard.join();
}
