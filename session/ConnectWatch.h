// Bounds a blocking connect and proxy negotiation: when the deadline passes
// first, the socket is shut down from a thread of its own, which makes the
// blocked connect or receive fail at once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class TConnectWatch {
public:
    // Starts watching; `expire` runs on the watch's thread unless Cancel came first.
    TConnectWatch(std::chrono::steady_clock::time_point deadline, std::function<void()> expire);
    ~TConnectWatch();
    TConnectWatch(const TConnectWatch&) = delete;
    TConnectWatch& operator=(const TConnectWatch&) = delete;

    // After Cancel returns, `expire` is not running and never will.
    void Cancel();
    // Whether `expire` ran.
    bool Expired();

private:
    std::mutex Lock;
    std::condition_variable Changed;
    bool Cancelled = false; // guarded by Lock
    bool FExpired = false;  // guarded by Lock
    std::thread Watcher;
};
