// A wait on one descriptor that survives signals and ends at a deadline.
#include <poll.h>

#include <cerrno>

#include "Deadline.h"

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
