// A listening socket on 127.0.0.1 that stands in for the SOCKS proxy's
// address: it accepts each connection and resets it at once, so that no
// connection lingers in TIME_WAIT however many runs the fuzzer makes.
#pragma once

#include <cstdint>

class TLoopbackListener {
public:
    TLoopbackListener();
    ~TLoopbackListener();
    TLoopbackListener(const TLoopbackListener&) = delete;
    TLoopbackListener& operator=(const TLoopbackListener&) = delete;

    int32_t Port() const { return BoundPort; }
    // Accepts the next connection (waiting at most a few seconds) and closes
    // it with a reset; false when none arrived.
    bool AcceptAndReset();

private:
    int Socket = -1;
    int32_t BoundPort = 0;
};
