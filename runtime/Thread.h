// The platform's thread class: a body run on its own operating-system thread,
// with terminate request, cooperative suspension, wait for the end and the
// synchronised call into the GUI thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "runtime/CallQueue.h"
#include "runtime/Component.h"
#include "runtime/Exception.h"

// Misuse of a thread object: starting it twice, or waiting for its own end.
class EThread : public Exception {
public:
    using Exception::Exception;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Ownership: thread objects live in std::shared_ptr, built by Create<T>() (or
// make_shared followed by Start()). While the body runs, the thread holds a
// reference to its own object, so the object - derived parts included - is
// destroyed only after Execute has returned, by whoever lets go last; that
// may be the thread itself. An owner that must not keep the object alive holds
// a std::weak_ptr and locks it to terminate or wait. A created-suspended thread
// that has not been resumed yet holds no such reference: dropping the last
// owner, or Terminate, then ends it without running the body.
//
// The operating-system thread cannot start in TThread's constructor, because
// the body is a virtual of the derived class, complete only once the most
// derived constructor has returned; Start() launches it afterwards.
class TThread : public TObject, public std::enable_shared_from_this<TThread> {
public:
    // Builds a T and starts it.
    template <class T, class... Args> static std::shared_ptr<T> Create(Args&&... args) {
        auto thread = std::make_shared<T>(std::forward<Args>(args)...);
        thread->Start();
        return thread;
    }

    // A created-suspended thread does not run its body until SetSuspended(false).
    explicit TThread(bool CreateSuspended);
    // Joins a thread that never got to run its body; see the ownership note.
    ~TThread() override;

    // Launches the operating-system thread; once only, on a shared-owned object.
    void Start();

    // Sets the terminate flag and wakes a suspended thread so that it can see it.
    void Terminate();
    bool Terminated() const;

    // True: the thread sleeps at its next suspension point (at once when it
    // suspends itself). False: it resumes.
    void SetSuspended(bool value);
    bool GetSuspended() const;

    // Blocks until the body and the termination notice are over; returns at
    // once for a thread never started. On the GUI thread it keeps running
    // queued synchronised calls meanwhile.
    void WaitFor();
    bool Finished() const;

    // What escaped Execute, if anything; read it after WaitFor.
    std::exception_ptr FatalException() const;

    // Called on the GUI thread, through Synchronize, after the body returned.
    TNotifyEvent OnTerminate;

    // Before Start: the thread's synchronised calls go to `target`'s owner
    // instead of the GUI thread, and WaitFor on that owner serves them.
    void SetSyncTarget(std::shared_ptr<TCallQueue> target) { SyncTarget = std::move(target); }

protected:
    virtual void Execute() = 0;
    // The termination notice: runs OnTerminate. Exceptions it raises are dropped.
    virtual void DoTerminate();

    // The suspension point: sleeps while suspended and not terminated.
    void WaitWhileSuspended();

    void Synchronize(const std::function<void()>& method);

private:
    void Run(std::shared_ptr<TThread> self);

    mutable std::mutex StateLock;
    std::condition_variable StateChanged;
    std::atomic<bool> TerminateRequested{false};
    std::atomic<bool> Ended{false};
    bool Suspended;                       // guarded by StateLock
    bool Started = false;                 // guarded by StateLock
    bool Launched = false;                // the thread has passed its start gate; guarded
    std::shared_ptr<TThread> PendingSelf; // handed over by the first resume; guarded
    std::exception_ptr Fatal;             // guarded by StateLock
    std::thread::id WorkerId;             // guarded by StateLock
    std::thread Worker;
    std::shared_ptr<TCallQueue> SyncTarget; // set before Start, read-only afterwards
};
