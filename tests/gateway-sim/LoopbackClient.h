// A plain TCP client on 127.0.0.1 for talking to the simulator in tests;
// every read waits on the socket with a deadline.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TLoopbackClient {
public:
    explicit TLoopbackClient(uint16_t port);
    ~TLoopbackClient();
    TLoopbackClient(const TLoopbackClient&) = delete;
    TLoopbackClient& operator=(const TLoopbackClient&) = delete;

    bool Connected() const { return Fd >= 0; }
    void Send(std::string_view bytes);
    // One send() per byte, as a person typing (Nagle off).
    void SendByByte(std::string_view bytes);
    // The next line ending in CR LF, without it; nothing at EOF or deadline.
    std::optional<std::string> ReadLine();
    // Exactly `count` bytes; nothing at EOF or deadline.
    std::optional<std::string> ReadBytes(size_t count);
    // True when the peer closes (EOF or reset) before the deadline; the
    // bytes that came before are kept in `rest`.
    bool WaitForClose(std::string& rest);
    // Closes with an RST instead of a FIN (SO_LINGER with zero time).
    void Reset();

private:
    enum class TFill { Data, Closed, Timeout };
    // Appends one receive to Pending.
    TFill Fill(std::chrono::steady_clock::time_point deadline);

    int Fd = -1;
    std::string Pending;
};

// A read line of the gateway for descriptor D: "< G GET_MEM D" + CR.
std::string ReadCommand(const std::string& descriptor, const std::string& gateway = "2001");
