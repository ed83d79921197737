// The watchdog's guard thread: it waits for the step to finish, or aborts.
#include "Watchdog.h"

#include <cstdio>
#include <cstdlib>

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
