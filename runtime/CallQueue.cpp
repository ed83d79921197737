// The owner-served call queue.
#include "runtime/CallQueue.h"

TCallQueue::TCallQueue() : Owner(std::this_thread::get_id()) {}

void TCallQueue::Call(const std::function<void()>& method) {
    if (IsOwner()) {
        method();
        return;
    }
    auto request = std::make_shared<TRequest>();
    request->Method = &method;
    std::unique_lock lock(Lock);
    Pending.push_back(request);
    OwnerWake.notify_one();
    CallDone.wait(lock, [&] { return request->Done; });
    lock.unlock();
    if (request->Raised) std::rethrow_exception(request->Raised);
}

bool TCallQueue::RunPending() {
    bool ran = false;
    for (;;) {
        std::shared_ptr<TRequest> request;
        {
            const std::lock_guard lock(Lock);
            if (Pending.empty()) break;
            request = std::move(Pending.front());
            Pending.pop_front();
        }
        try {
            (*request->Method)();
        } catch (...) {
            request->Raised = std::current_exception();
        }
        {
            // The caller keeps the last reference, so its exception is
            // released on its own thread.
            const std::lock_guard lock(Lock);
            request->Done = true;
            request.reset();
        }
        CallDone.notify_all();
        ran = true;
    }
    return ran;
}

bool TCallQueue::ServeUntil(const std::function<bool()>& finished, TClock::time_point until) {
    for (;;) {
        unsigned long long seen = 0;
        {
            // Read before `finished` is asked: a Wake in between is not missed.
            const std::lock_guard lock(Lock);
            seen = Wakes;
        }
        RunPending();
        if (finished()) return true;
        std::unique_lock lock(Lock);
        if (!OwnerWake.wait_until(lock, until, [&] { return !Pending.empty() || Wakes != seen; })) {
            lock.unlock();
            RunPending();
            return finished();
        }
    }
}

void TCallQueue::Wake() {
    {
        const std::lock_guard lock(Lock);
        ++Wakes;
    }
    OwnerWake.notify_one();
}
