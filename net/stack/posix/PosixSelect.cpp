// select over poll(2). Windows sets are lists of up to 64 sockets, not bit
// masks, so any descriptor value may be waited on; fd_set would overflow for
// descriptors from FD_SETSIZE up.
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <poll.h>

#include "net/stack/posix/PosixErrors.h"
#include "net/stack/posix/PosixSockets.h"
#include "net/stack/winsock/WinsockErrors.h"

namespace {

constexpr int SetCount = 3;
constexpr short Interest[SetCount] = {POLLIN, POLLOUT, POLLPRI};
// Windows reports a socket whose peer has closed or failed as readable (recv
// then tells which) and as writable (send fails).
constexpr short ReadyOn[SetCount] = {POLLIN | POLLHUP | POLLERR, POLLOUT | POLLHUP | POLLERR,
                                     POLLPRI};

using TPollList = std::array<pollfd, SetCount * Id_FD_SETSIZE>;

// Milliseconds for poll, -1 for no limit; false for a negative time.
bool PollTimeout(const TTimeVal* timeout, int64_t& ms) {
    if (timeout == nullptr) {
        ms = -1;
        return true;
    }
    const int64_t us = int64_t{timeout->tv_sec} * 1000000 + timeout->tv_usec;
    if (us < 0) return false;
    ms = (us + 999) / 1000; // a wait of 1 us must not become a busy poll of 0 ms
    return true;
}

// poll until ready or the deadline, restarting after signals with the time
// that is left: the Windows call is not cut short by signals.
int PollUntil(pollfd* entries, nfds_t count, int64_t ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms);
    for (;;) {
        int wait = -1;
        if (ms >= 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            wait = static_cast<int>(std::clamp<int64_t>(left.count(), 0, INT_MAX));
        }
        const int ready = ::poll(entries, count, wait);
        if (ready >= 0 || errno != EINTR) return ready;
    }
}

void EmptySets(TFDSet* const* sets) {
    for (int i = 0; i < SetCount; ++i)
        if (sets[i] != nullptr) sets[i]->fd_count = 0;
}

} // namespace

int PosixSelect(int /*nfds*/, TFDSet* readfds, TFDSet* writefds, TFDSet* exceptfds,
                const TTimeVal* timeout) {
    TFDSet* const sets[SetCount] = {readfds, writefds, exceptfds};
    TPollList entries;
    nfds_t count = 0;
    for (int i = 0; i < SetCount; ++i) {
        if (sets[i] == nullptr) continue;
        if (sets[i]->fd_count > Id_FD_SETSIZE) return FailWithCode(Id_WSAEINVAL);
        for (uint32_t slot = 0; slot < sets[i]->fd_count; ++slot) {
            const TSocket socket = sets[i]->fd_array[slot];
            if (socket < 0) return FailWithCode(Id_WSAENOTSOCK);
            entries[count++] = pollfd{socket, Interest[i], 0};
        }
    }
    int64_t ms = 0;
    if (count == 0 || !PollTimeout(timeout, ms)) return FailWithCode(Id_WSAEINVAL);

    if (PollUntil(entries.data(), count, ms) < 0) {
        EmptySets(sets);
        return FailWithErrno();
    }
    // Each set keeps its ready sockets, in order; the result counts them all.
    int ready = 0;
    nfds_t entry = 0;
    for (int i = 0; i < SetCount; ++i) {
        if (sets[i] == nullptr) continue;
        uint32_t kept = 0;
        for (uint32_t slot = 0; slot < sets[i]->fd_count; ++slot, ++entry) {
            if (entries[entry].revents & POLLNVAL) {
                EmptySets(sets);
                return FailWithCode(Id_WSAENOTSOCK);
            }
            if (entries[entry].revents & ReadyOn[i]) sets[i]->fd_array[kept++] = entries[entry].fd;
        }
        sets[i]->fd_count = kept;
        ready += static_cast<int>(kept);
    }
    return ready;
}

int PosixFDIsSet(TSocket s, TFDSet* set) {
    for (uint32_t slot = 0; slot < set->fd_count && slot < Id_FD_SETSIZE; ++slot)
        if (set->fd_array[slot] == s) return 1;
    return 0;
}
