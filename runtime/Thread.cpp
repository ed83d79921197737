// The platform's thread class over std::thread.
#include "runtime/Thread.h"

#include "runtime/Synchronize.h"

TThread::TThread(bool CreateSuspended) : Suspended(CreateSuspended) {}

TThread::~TThread() {
    if (!Worker.joinable()) return;
    // The last reference was the thread's own: it is returning and cannot join itself.
    if (Worker.get_id() == std::this_thread::get_id()) {
        Worker.detach();
        return;
    }
    // Only a thread still parked before its body can be running here: every
    // other one holds a reference to this object until it has left Run.
    Terminate();
    Worker.join();
}

void TThread::Start() {
    std::shared_ptr<TThread> self = weak_from_this().lock();
    if (!self) throw EThread("Thread object must be owned by a std::shared_ptr before it starts");
    const std::lock_guard lock(StateLock);
    if (Started) throw EThread("Thread already started");
    Started = true;
    // A created-suspended thread gets its reference from the first resume, so
    // that dropping it unresumed destroys it instead of leaving it parked.
    if (Suspended) self.reset();
    Worker = std::thread(&TThread::Run, this, std::move(self));
    WorkerId = Worker.get_id();
}

void TThread::Run(std::shared_ptr<TThread> self) {
    {
        std::unique_lock lock(StateLock);
        if (!self) { // created suspended: wait for the first resume, which hands over the reference
            StateChanged.wait(lock, [&] { return !Suspended || TerminateRequested.load(); });
            self = std::move(PendingSelf);
        }
        Launched = true;
    }
    if (self) {
        try {
            Execute();
        } catch (...) {
            const std::lock_guard lock(StateLock);
            Fatal = std::current_exception();
        }
        try {
            DoTerminate();
        } catch (...) {
        }
    }
    {
        const std::lock_guard lock(StateLock);
        Ended.store(true);
    }
    StateChanged.notify_all();
    WakeSynchronizeWaiters();
    if (SyncTarget) SyncTarget->Wake();
    self.reset(); // may destroy this object; nothing below may touch it
}

void TThread::Terminate() {
    {
        const std::lock_guard lock(StateLock);
        TerminateRequested.store(true);
    }
    StateChanged.notify_all();
}

bool TThread::Terminated() const {
    return TerminateRequested.load();
}

void TThread::SetSuspended(bool value) {
    bool onOwnThread = false;
    {
        const std::lock_guard lock(StateLock);
        onOwnThread = Started && WorkerId == std::this_thread::get_id();
        if (!value && Suspended && Started && !Launched && !PendingSelf)
            PendingSelf = shared_from_this();
        Suspended = value;
    }
    // A thread suspending itself sleeps now, even when someone else asked first.
    if (value && onOwnThread)
        WaitWhileSuspended();
    else if (!value)
        StateChanged.notify_all();
}

bool TThread::GetSuspended() const {
    const std::lock_guard lock(StateLock);
    return Suspended;
}

void TThread::WaitWhileSuspended() {
    std::unique_lock lock(StateLock);
    StateChanged.wait(lock, [&] { return !Suspended || TerminateRequested.load(); });
    Suspended = false;
}

void TThread::WaitFor() {
    {
        const std::lock_guard lock(StateLock);
        if (!Started) return;
        if (WorkerId == std::this_thread::get_id())
            throw EThread("Thread cannot wait for its own end");
    }
    if (SyncTarget && SyncTarget->IsOwner()) {
        SyncTarget->ServeUntil([this] { return Ended.load(); });
        return;
    }
    if (IsMainThread()) {
        ServeSynchronizeUntil([this] { return Ended.load(); });
        return;
    }
    std::unique_lock lock(StateLock);
    StateChanged.wait(lock, [&] { return Ended.load(); });
}

bool TThread::Finished() const {
    return Ended.load();
}

std::exception_ptr TThread::FatalException() const {
    const std::lock_guard lock(StateLock);
    return Fatal;
}

void TThread::DoTerminate() {
    if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

void TThread::Synchronize(const std::function<void()>& method) {
    if (SyncTarget)
        SyncTarget->Call(method);
    else
        ::Synchronize(method);
}
