// Deadlines for poll(): the time left, and a wait that survives signals.
#include "Deadline.h"

#include <poll.h>

#include <cerrno>
#include <climits>

std::chrono::milliseconds Deadline::Left() const {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(End - Clock::now());
    return left.count() > 0 ? left : std::chrono::milliseconds(0);
}

int Deadline::PollTimeout() const {
    const auto left = Left().count();
    return left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

bool WaitForEvents(int fd, short events, const Deadline& deadline) {
    // Each pass either returns or was cut short by a signal.
    for (int pass = 0; pass < 10000; ++pass) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, deadline.PollTimeout());
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
    return false;
}
