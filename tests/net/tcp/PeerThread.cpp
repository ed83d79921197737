// The test's one-connection peers.
#include "PeerThread.h"

PeerThread::PeerThread(std::function<void(int fd)> serve) : Port_(Listening.Port()) {
    Worker = std::thread([this, serve = std::move(serve)] {
        loopback::Fd accepted = Listening.Accept();
        if (accepted.Valid()) serve(accepted.Get());
    });
}

void PeerThread::Join() {
    if (Worker.joinable()) Worker.join();
}

void Echo(int fd) {
    // Ends with the client's close, or when a test has waited long enough.
    const auto deadline = std::chrono::steady_clock::now() + loopback::Patience;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string bytes = loopback::ReceiveSome(fd);
        if (bytes.empty()) return;
        loopback::SendAll(fd, bytes);
    }
}
