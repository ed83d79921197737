// The main thread as GUI thread: wake-up hook, bounded waits, end watchers.
#include "GuiThread.h"

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
    for (std::thread& watcher : Watchers)
        watcher.join();
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
// in between ends the wait at once instead of being missed. Each round waits
// for a notification; a stream of hand-overs makes one per call, so the bound
// on rounds is far above any stream a test or benchmark sends.
bool GuiThread::Await(const std::function<bool()>& done, std::chrono::milliseconds patience,
                      bool serve) {
    const Deadline deadline(patience);
    for (int round = 0; round < 100'000'000; ++round) {
        uint64_t seen = 0;
        {
            const std::lock_guard lock(Lock);
            seen = Generation;
            if (serve) Queued = false;
        }
        if (serve) CheckSynchronize();
        if (done()) return true;
        std::unique_lock lock(Lock);
        if (!Changed.wait_until(lock, deadline.When(), [&] { return Generation != seen; })) break;
    }
    return done();
}

void GuiThread::WatchEnd(const std::shared_ptr<TThread>& thread) {
    Watchers.emplace_back([this, thread] {
        thread->WaitFor();
        Notify();
    });
}
