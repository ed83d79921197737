// The sending end of the receive benchmarks: a listener on 127.0.0.1 (port
// chosen by the system) whose thread streams a fixed number of bytes to the
// first client and then closes.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class TLoopbackStream {
public:
    // `pattern` is sent over and over until `total` bytes have gone.
    TLoopbackStream(std::string pattern, uint64_t total);
    // Joins the sender; a client that never came ends the wait after the deadline.
    ~TLoopbackStream();
    TLoopbackStream(const TLoopbackStream&) = delete;
    TLoopbackStream& operator=(const TLoopbackStream&) = delete;

    // 0 when the listener could not be opened.
    int32_t Port() const { return ListenPort; }
    // Waits for the sender; the bytes it handed to the socket.
    uint64_t Join();

private:
    void Run();

    std::string Pattern;
    uint64_t Total;
    int ListenFd = -1;
    int32_t ListenPort = 0;
    std::atomic<uint64_t> Sent{0};
    std::thread Sender;
};

// The baseline receiver: connects to 127.0.0.1:port and calls recv with a
// buffer of `bufferSize` bytes until the peer closes; the byte count.
uint64_t PlainReceiveAll(int32_t port, size_t bufferSize);
