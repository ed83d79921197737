// The far end of the connections under test: plain POSIX sockets on
// 127.0.0.1, every wait bounded by a deadline.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace loopback {

using namespace std::chrono_literals;
constexpr std::chrono::milliseconds Patience = 10s;

// Owns one descriptor and closes it.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : Value(fd) {}
    Fd(Fd&& other) noexcept : Value(other.Release()) {}
    Fd& operator=(Fd&& other) noexcept;
    ~Fd() { Close(); }

    int Get() const { return Value; }
    bool Valid() const { return Value >= 0; }
    int Release();
    void Close();

private:
    int Value = -1;
};

// A listening socket on 127.0.0.1 with a port chosen by the system.
class Listener {
public:
    Listener();
    int32_t Port() const { return BoundPort; }
    // The next connection, or an invalid Fd when none comes in time.
    Fd Accept(std::chrono::milliseconds patience = Patience);
    void Close() { Socket.Close(); }

private:
    Fd Socket;
    int32_t BoundPort = 0;
};

// A port on 127.0.0.1 that was free a moment ago, for programs that need one
// given to them.
int32_t FreePort();

// Connects to 127.0.0.1:port; an invalid Fd when nothing listens.
Fd ConnectTo(int32_t port);

// Polls until something accepts on 127.0.0.1:port or the deadline passes.
bool WaitUntilListening(int32_t port, std::chrono::milliseconds patience = Patience);

void SendAll(int fd, const std::string& bytes);
// Exactly `count` bytes, or fewer when the peer closes or the deadline passes.
std::string ReceiveExactly(int fd, size_t count, std::chrono::milliseconds patience = Patience);
// What arrives next (at most 4096 bytes); empty when the peer closes or
// nothing comes in time.
std::string ReceiveSome(int fd, std::chrono::milliseconds patience = Patience);
// Everything until the peer closes (or the deadline passes).
std::string ReceiveUntilClosed(int fd, std::chrono::milliseconds patience = Patience);
// True when the peer has closed: a read returns 0 within the deadline.
bool PeerClosedWithin(int fd, std::chrono::milliseconds patience = Patience);

int CountOpenDescriptors();

} // namespace loopback
