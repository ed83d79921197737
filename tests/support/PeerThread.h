// A peer of the test running in a thread of its own: it accepts one
// connection on a fresh loopback listener and serves it.
#pragma once

#include <cstdint>
#include <functional>
#include <thread>

#include "LoopbackListener.h"

class PeerThread {
public:
    // `serve` gets the accepted descriptor (closed afterwards); it is not
    // called when no client connects within the listener's patience.
    explicit PeerThread(std::function<void(int fd)> serve);
    ~PeerThread() { Join(); }
    PeerThread(const PeerThread&) = delete;
    PeerThread& operator=(const PeerThread&) = delete;

    int32_t Port() const { return Listening.Port(); }
    // Waits until the peer has served its connection (or given up on it).
    void Join();

private:
    loopback::Listener Listening;
    std::thread Worker;
};

// Sends back every byte received until the client closes.
void Echo(int fd);
