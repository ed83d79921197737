// The process-wide queue of calls that worker threads hand to the GUI thread,
// and the record of which thread is the GUI thread.
#include "runtime/Synchronize.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "runtime/Exception.h"

namespace {

// Dynamic initialisation runs before main, on the process's initial thread.
std::atomic<std::thread::id> MainThreadId{std::this_thread::get_id()};

struct TSyncRequest {
    const std::function<void()>* Method; // the caller's, alive while it waits
    std::exception_ptr Raised;
    bool Done = false; // guarded by TSyncQueue::Lock
};

struct TSyncQueue {
    std::mutex Lock;
    // One condition for every waiter: the GUI thread waiting for calls or a
    // thread's end, and callers waiting for their call. Few threads share it.
    std::condition_variable Changed;
    std::deque<std::shared_ptr<TSyncRequest>> Pending;
    std::function<void()> Wake;
};

// Built on first use, so threads started by other static initialisers find it,
// and never destroyed: a thread that frees itself may still be leaving while
// the process exits.
TSyncQueue& Queue() {
    static TSyncQueue* const queue = new TSyncQueue;
    return *queue;
}

} // namespace

void SetMainThread() {
    MainThreadId.store(std::this_thread::get_id());
}

bool IsMainThread() {
    return MainThreadId.load() == std::this_thread::get_id();
}

void SetWakeMainThread(std::function<void()> wake) {
    TSyncQueue& queue = Queue();
    const std::lock_guard lock(queue.Lock);
    queue.Wake = std::move(wake);
}

void Synchronize(const std::function<void()>& method) {
    if (IsMainThread()) {
        method();
        return;
    }
    TSyncQueue& queue = Queue();
    auto request = std::make_shared<TSyncRequest>();
    request->Method = &method;
    std::function<void()> wake;
    {
        const std::lock_guard lock(queue.Lock);
        queue.Pending.push_back(request);
        wake = queue.Wake;
    }
    queue.Changed.notify_all();
    // Outside the lock: the hook may post to a GUI toolkit that takes its own locks.
    if (wake) wake();

    std::unique_lock lock(queue.Lock);
    queue.Changed.wait(lock, [&] { return request->Done; });
    lock.unlock();
    if (request->Raised) std::rethrow_exception(request->Raised);
}

bool CheckSynchronize() {
    if (!IsMainThread())
        throw Exception("CheckSynchronize called from a thread other than the main thread");
    TSyncQueue& queue = Queue();
    bool ran = false;
    // Each request is signalled as soon as it has run. Holding callers until the
    // whole batch is done would deadlock a later method of the batch that waits
    // for the end of a thread whose call ran earlier in it.
    for (;;) {
        std::shared_ptr<TSyncRequest> request;
        {
            const std::lock_guard lock(queue.Lock);
            if (queue.Pending.empty()) break;
            request = std::move(queue.Pending.front());
            queue.Pending.pop_front();
        }
        try {
            (*request->Method)();
        } catch (...) {
            request->Raised = std::current_exception();
        }
        {
            // The caller keeps the last reference, so the exception it rethrows
            // is released on its own thread.
            const std::lock_guard lock(queue.Lock);
            request->Done = true;
            request.reset();
        }
        queue.Changed.notify_all();
        ran = true;
    }
    return ran;
}

void ServeSynchronizeUntil(const std::function<bool()>& finished) {
    TSyncQueue& queue = Queue();
    for (;;) {
        CheckSynchronize();
        std::unique_lock lock(queue.Lock);
        queue.Changed.wait(lock, [&] { return !queue.Pending.empty() || finished(); });
        if (queue.Pending.empty()) return;
    }
}

void WakeSynchronizeWaiters() {
    TSyncQueue& queue = Queue();
    { const std::lock_guard lock(queue.Lock); }
    queue.Changed.notify_all();
}
