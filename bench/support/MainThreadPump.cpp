// The wake-up hook and drain loop that a GUI toolkit's event loop would provide.
#include "bench/support/MainThreadPump.h"

#include "runtime/Synchronize.h"

TMainThreadPump::TMainThreadPump() {
    SetMainThread();
    SetWakeMainThread([this] { Wake(); });
}

TMainThreadPump::~TMainThreadPump() {
    SetWakeMainThread(nullptr);
}

void TMainThreadPump::Wake() {
    {
        const std::lock_guard lock(Lock);
        Pending = true;
    }
    Woken.notify_one();
}

bool TMainThreadPump::ServeUntil(const std::function<bool()>& done,
                                 std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        CheckSynchronize();
        if (done()) return true;
        std::unique_lock lock(Lock);
        // A call queued after the drain above has set Pending, so none is missed.
        if (!Woken.wait_until(lock, deadline, [this] { return Pending; })) return false;
        Pending = false;
    }
}
