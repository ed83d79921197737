// What ends a gateway session's operation, and whose fault it was: the
// device's (a wrong or missing answer, a read-back that differs) or the
// network's (the network layer's own message, or a wait that timed out).
#pragma once

#include <stdexcept>
#include <string>

enum class TSessionFailure { Device, Network };

class ESessionError : public std::runtime_error {
public:
    ESessionError(TSessionFailure failure, const std::string& message)
        : std::runtime_error(message), Failure(failure) {}

    const TSessionFailure Failure;
};
