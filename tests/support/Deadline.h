// How long a test waits for anything before it counts as failed, and waits on
// a descriptor that end at a deadline instead of blocking for good.
#pragma once

#include <chrono>

// How long any single wait of a test may take before it counts as failed.
inline constexpr std::chrono::milliseconds Patience{10000};

class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    explicit Deadline(std::chrono::milliseconds patience = Patience)
        : End(Clock::now() + patience) {}

    bool Passed() const { return Clock::now() >= End; }
    Clock::time_point When() const { return End; }
    // What is left, rounded up to whole milliseconds; 0 once passed.
    std::chrono::milliseconds Left() const;
    // The same as poll() takes it.
    int PollTimeout() const;

private:
    Clock::time_point End;
};

// Waits until `fd` reports one of `events` (or an error or hang-up); false
// when the deadline passes first. A signal does not end the wait.
bool WaitForEvents(int fd, short events, const Deadline& deadline);
