// The test's own sockets on 127.0.0.1, made with plain POSIX calls so that they
// do not depend on the stack under test: a listener on a port of the system's
// choice, a port where nothing listens, and a connecting client.
#pragma once

#include <chrono>
#include <cstdint>

#include "Deadline.h"
#include "UniqueFd.h"

namespace loopback {

class Listener {
public:
    // Throws when no socket can listen on 127.0.0.1.
    Listener();
    int32_t Port() const { return BoundPort; }
    int Get() const { return Socket.Get(); }
    // The next connection, or an invalid descriptor when none comes in time.
    UniqueFd Accept(std::chrono::milliseconds patience = Patience);
    void Close() { Socket.Close(); }

private:
    int32_t BoundPort = 0; // first: the socket's initialiser sets it
    UniqueFd Socket;
};

// A port on 127.0.0.1 where nothing listens: held bound, never listening, so
// that no other program can take it while the test runs.
class ClosedPort {
public:
    ClosedPort();
    int32_t Port() const { return BoundPort; }

private:
    int32_t BoundPort = 0; // first: the socket's initialiser sets it
    UniqueFd Socket;
};

// A port on 127.0.0.1 that was free a moment ago, for programs that must be
// given one to listen on.
int32_t FreePort();

// Connects to 127.0.0.1:port; an invalid descriptor when nothing listens.
UniqueFd ConnectTo(int32_t port);

// Tries to connect until something accepts on 127.0.0.1:port; false when
// nothing does within `patience`.
bool WaitUntilListening(int32_t port, std::chrono::milliseconds patience = Patience);

} // namespace loopback
