// Deadlines for poll(): the time left.
#include "Deadline.h"

#include <climits>

std::chrono::milliseconds Deadline::Left() const {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(End - Clock::now());
    return left.count() > 0 ? left : std::chrono::milliseconds(0);
}

int Deadline::PollTimeout() const {
    const auto left = Left().count();
    return left > INT_MAX ? INT_MAX : static_cast<int>(left);
}
