// A plain TCP client on 127.0.0.1 for talking to the simulator in tests.
#include "LoopbackClient.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <utility>

#include "protocol/CommandLines.h"
#include "tests/support/LoopbackListener.h"

TLoopbackClient::TLoopbackClient(int32_t port) : Socket(loopback::ConnectTo(port)) {
    if (!Socket.Valid()) {
        ADD_FAILURE() << "cannot connect to 127.0.0.1:" << port;
        return;
    }
    loopback::SetNoDelay(Socket.Get());
}

void TLoopbackClient::Send(std::string_view bytes) {
    if (Socket.Valid() && !loopback::SendAll(Socket.Get(), bytes))
        ADD_FAILURE() << "send failed: errno " << errno;
}

void TLoopbackClient::SendByByte(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i)
        Send(bytes.substr(i, 1));
}

loopback::Received TLoopbackClient::Fill(const Deadline& deadline) {
    if (!Socket.Valid()) return loopback::Received::Closed;
    return loopback::ReceiveInto(Socket.Get(), Pending, 4096, deadline);
}

std::optional<std::string> TLoopbackClient::ReadLine() {
    const Deadline deadline;
    for (int round = 0; round < 100000; ++round) {
        const size_t end = Pending.find("\r\n");
        if (end != std::string::npos) {
            std::string line = Pending.substr(0, end);
            Pending.erase(0, end + 2);
            return line;
        }
        if (Fill(deadline) != loopback::Received::Data) break;
    }
    return std::nullopt;
}

std::optional<std::string> TLoopbackClient::ReadBytes(size_t count) {
    const Deadline deadline;
    while (Pending.size() < count) {
        if (Fill(deadline) != loopback::Received::Data) return std::nullopt;
    }
    std::string bytes = Pending.substr(0, count);
    Pending.erase(0, count);
    return bytes;
}

bool TLoopbackClient::WaitForClose(std::string& rest) {
    const Deadline deadline;
    loopback::Received fill = loopback::Received::Data;
    while ((fill = Fill(deadline)) == loopback::Received::Data) {
    }
    rest = std::exchange(Pending, {});
    return fill == loopback::Received::Closed;
}

std::string ReadCommand(const std::string& descriptor, const std::string& gateway) {
    return ReadMemoryLine(gateway, descriptor) + "\r";
}
