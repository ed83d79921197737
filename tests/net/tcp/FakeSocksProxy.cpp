// The scripted proxy: a request check or an answer per step, then it waits
// for the client to close.
#include "FakeSocksProxy.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <sstream>

namespace {

std::string Hex(const std::string& bytes) {
    std::ostringstream text;
    for (const unsigned char byte : bytes) text << std::hex << static_cast<int>(byte) << ' ';
    return text.str();
}

} // namespace

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) bytes += static_cast<char>(value);
    return bytes;
}

FakeSocksProxy::FakeSocksProxy(std::vector<ProxyStep> script)
    : Script(std::move(script)), Peer([this](int fd) { Run(fd); }) {}

void FakeSocksProxy::Run(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    for (const ProxyStep& step : Script) {
        switch (step.What) {
        case ProxyStep::Expect: {
            const std::string got = loopback::ReceiveExactly(fd, step.Bytes.size());
            if (got != step.Bytes) {
                std::lock_guard lock(Guard);
                FirstMismatch = "expected " + Hex(step.Bytes) + "got " + Hex(got);
                return;
            }
            break;
        }
        case ProxyStep::Answer: loopback::SendAll(fd, step.Bytes); break;
        case ProxyStep::AnswerBytewise:
            for (const char byte : step.Bytes) loopback::SendAll(fd, std::string(1, byte));
            break;
        case ProxyStep::Hangup: return;
        }
    }
    loopback::PeerClosedWithin(fd);
}

std::string FakeSocksProxy::Mismatch() {
    Peer.Join();
    std::lock_guard lock(Guard);
    return FirstMismatch;
}
