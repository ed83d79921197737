// A plain TCP client on 127.0.0.1 for talking to the simulator in tests;
// every read waits on the socket with a deadline.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tests/support/LoopbackPeer.h"

class TLoopbackClient {
public:
    // Connects with Nagle's algorithm off; fails the test when nothing listens.
    explicit TLoopbackClient(int32_t port);

    void Send(std::string_view bytes);
    // One send() per byte, as a person typing.
    void SendByByte(std::string_view bytes);
    // The next line ending in CR LF, without it; nothing at EOF or deadline.
    std::optional<std::string> ReadLine();
    // Exactly `count` bytes; nothing at EOF or deadline.
    std::optional<std::string> ReadBytes(size_t count);
    // True when the peer closes (EOF or reset) before the deadline; the
    // bytes that came before are kept in `rest`.
    bool WaitForClose(std::string& rest);
    // Closes with an RST instead of a FIN.
    void Reset() { loopback::CloseWithReset(Socket); }

private:
    // Appends one receive to Pending.
    loopback::Received Fill(const Deadline& deadline);

    UniqueFd Socket;
    std::string Pending;
};

// A read line of the gateway for descriptor D: "< G GET_MEM D" + CR.
std::string ReadCommand(const std::string& descriptor, const std::string& gateway = "2001");
