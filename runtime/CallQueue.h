// A queue of synchronised calls owned by one thread other than the GUI
// thread: a worker hands a method to the owner and waits, the owner runs it
// while it waits for something of its own. Lets a program without a GUI
// thread give each of many sessions its own "main thread".
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class TCallQueue {
public:
    using TClock = std::chrono::steady_clock;

    // The constructing thread owns the queue.
    TCallQueue();

    bool IsOwner() const { return Owner == std::this_thread::get_id(); }
    // Runs `method` on the owner while the caller waits; on the owner itself
    // it runs directly. What the method raises is raised again here.
    void Call(const std::function<void()>& method);
    // Owner: runs every pending call, in order; true when any ran.
    bool RunPending();
    // Owner: runs calls as they come until `finished` answers true (asked
    // after each batch and on every Wake) or `until` passes. True when
    // `finished` answered true.
    bool ServeUntil(const std::function<bool()>& finished,
                    TClock::time_point until = TClock::time_point::max());
    // Any thread: makes a waiting owner ask its `finished` again.
    void Wake();

private:
    struct TRequest {
        const std::function<void()>* Method;
        std::exception_ptr Raised;
        bool Done = false;
    };

    const std::thread::id Owner;
    std::mutex Lock;
    std::condition_variable OwnerWake; // the owner waits here
    std::condition_variable CallDone;  // callers wait here
    std::deque<std::shared_ptr<TRequest>> Pending;
    unsigned long long Wakes = 0; // guarded by Lock
};
