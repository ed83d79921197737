// The tests' own peer on 127.0.0.1, made with plain POSIX sockets so that it
// does not depend on the stack under test.
#pragma once

#include <cstdint>
#include <string>

#include "net/stack/IdComponent.h"

// Keeps GlobalStack alive for a test.
class TStackUser : public TIdComponent {};

// A descriptor closed on destruction.
class TFd {
public:
    explicit TFd(int fd = -1) : Fd(fd) {}
    ~TFd() { Reset(); }
    TFd(TFd&& other) noexcept : Fd(other.Fd) { other.Fd = -1; }
    TFd& operator=(TFd&& other) noexcept;
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return Fd; }
    void Reset();

private:
    int Fd;
};

// A listening TCP socket on 127.0.0.1 and a port chosen by the system.
class TLoopbackListener {
public:
    TLoopbackListener();
    int32_t Port() const { return ListenPort; }
    // Accepts one connection, waiting at most five seconds (-1 fd on timeout).
    TFd Accept();

private:
    TFd Socket;
    int32_t ListenPort = 0;
};

// A port on 127.0.0.1 where nothing listens: held bound, never listening, so
// that no other program can take it while the test runs.
class TClosedLoopbackPort {
public:
    TClosedLoopbackPort();
    int32_t Port() const { return BoundPort; }

private:
    TFd Socket;
    int32_t BoundPort = 0;
};

// Sends all bytes; false on failure.
bool SendAll(int fd, const std::string& bytes);
// Reads exactly `count` bytes within five seconds; fewer on end or timeout.
std::string ReceiveExactly(int fd, size_t count);
