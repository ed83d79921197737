// The test's one-connection peers.
#include "PeerThread.h"

#include "LoopbackPeer.h"

PeerThread::PeerThread(std::function<void(int fd)> serve) {
    Worker = std::thread([this, serve = std::move(serve)] {
        const UniqueFd accepted = Listening.Accept();
        if (accepted.Valid()) serve(accepted.Get());
    });
}

void PeerThread::Join() {
    if (Worker.joinable()) Worker.join();
}

void Echo(int fd) {
    // Ends with the client's close, or when a test has waited long enough.
    const Deadline deadline;
    for (int round = 0; round < 1'000'000 && !deadline.Passed(); ++round) {
        const std::string bytes = loopback::ReceiveSome(fd);
        if (bytes.empty() || !loopback::SendAll(fd, bytes)) return;
    }
}
