// The scripted proxy: a request check or an answer per step, then it waits
// for the client to close.
#include "FakeSocksProxy.h"

#include "LoopbackPeer.h"

FakeSocksProxy::FakeSocksProxy(std::vector<ProxyStep> script)
    : Script(std::move(script)), Peer([this](int fd) { Run(fd); }) {}

void FakeSocksProxy::Run(int fd) {
    loopback::SetNoDelay(fd);
    for (const ProxyStep& step : Script) {
        switch (step.What) {
        case ProxyStep::Expect: {
            const std::string got = loopback::ReceiveExactly(fd, step.Bytes.size());
            if (got != step.Bytes) {
                std::lock_guard lock(Guard);
                FirstMismatch = "expected " + Hex(step.Bytes) + ", got " + Hex(got);
                return;
            }
            break;
        }
        // A client that has gone ends the script; what it did is the test's to check.
        case ProxyStep::Answer:
            if (!loopback::SendAll(fd, step.Bytes)) return;
            break;
        case ProxyStep::AnswerBytewise:
            for (const char byte : step.Bytes)
                if (!loopback::SendAll(fd, std::string(1, byte))) return;
            break;
        case ProxyStep::Hangup:
            return;
        }
    }
    loopback::PeerClosedWithin(fd);
}

std::string FakeSocksProxy::Mismatch() {
    Peer.Join();
    std::lock_guard lock(Guard);
    return FirstMismatch;
}
