// What ends a gateway session's operation, and whose fault it was: the
// device's (a wrong or missing answer, a read-back that differs) or the
// network's (the network layer's own message, or a wait that timed out).
#pragma once

#include <exception>
#include <optional>
#include <stdexcept>
#include <string>

enum class TSessionFailure { Device, Network };

// How a connect failed, for a caller that names the endpoint and the cause:
// the network layer's exception as raised (the Telnet client's own holds a
// socket error nested in it), whether the first hop's name had been resolved
// and its connect begun, and whether the deadline ended it.
struct TConnectFailure {
    std::exception_ptr Cause;
    bool Connecting = false;
    bool TimedOut = false;
};

class ESessionError : public std::runtime_error {
public:
    ESessionError(TSessionFailure failure, const std::string& message,
                  std::optional<TConnectFailure> connect = std::nullopt)
        : std::runtime_error(message), Failure(failure), Connect(std::move(connect)) {}

    const TSessionFailure Failure;
    // Set when the connect failed.
    const std::optional<TConnectFailure> Connect;
};
