// The connect deadline's thread.
#include "session/ConnectWatch.h"

TConnectWatch::TConnectWatch(std::chrono::steady_clock::time_point deadline,
                             std::function<void()> expire)
    : Watcher([this, deadline, expire = std::move(expire)] {
          std::unique_lock lock(Lock);
          if (Changed.wait_until(lock, deadline, [this] { return Cancelled; })) return;
          // Under the lock: Cancel waits for it, so the socket it shuts down
          // cannot have been closed and its number reused meanwhile.
          FExpired = true;
          expire();
      }) {}

TConnectWatch::~TConnectWatch() {
    Cancel();
    Watcher.join();
}

void TConnectWatch::Cancel() {
    {
        const std::lock_guard lock(Lock);
        Cancelled = true;
    }
    Changed.notify_all();
}

bool TConnectWatch::Expired() {
    const std::lock_guard lock(Lock);
    return FExpired;
}
