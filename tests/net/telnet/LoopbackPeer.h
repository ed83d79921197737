// The far end of the sessions under test: a listener on 127.0.0.1 port 0 and
// blocking reads and writes on the accepted socket, every wait bounded.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

using namespace std::chrono_literals;

// How long any single wait of a test may take before it counts as failed.
constexpr std::chrono::milliseconds Patience = 10s;

class PeerSocket {
public:
    PeerSocket() = default;
    explicit PeerSocket(int fd) : Fd(fd) {}
    PeerSocket(PeerSocket&& other) noexcept : Fd(other.Fd) { other.Fd = -1; }
    PeerSocket& operator=(PeerSocket&& other) noexcept;
    ~PeerSocket() { Close(); }

    bool Valid() const { return Fd >= 0; }
    void Close();
    void Send(const std::string& bytes) const;
    // Exactly `count` bytes, or fewer when the client closes or time runs out.
    std::string Receive(size_t count, std::chrono::milliseconds patience = Patience) const;
    // Everything up to and including `last`, or less when it never comes.
    std::string ReceiveThrough(char last, std::chrono::milliseconds patience = Patience) const;
    // True when the client closes within the time given.
    bool ClosedByClient(std::chrono::milliseconds patience = Patience) const;

private:
    int Fd = -1;
};

class PeerListener {
public:
    PeerListener();
    ~PeerListener();
    PeerListener(const PeerListener&) = delete;
    PeerListener& operator=(const PeerListener&) = delete;

    int32_t Port() const { return BoundPort; }
    // The next connection; invalid when none comes in time.
    PeerSocket Accept(std::chrono::milliseconds patience = Patience) const;

private:
    int Fd = -1;
    int32_t BoundPort = 0;
};

// A loopback port on which nothing listens: bound once by the system, then released.
int32_t ClosedPort();
