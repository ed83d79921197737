// A scripted SOCKS proxy in a thread of the test: it accepts one client,
// checks that each request arrives byte for byte, and answers as told.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "ByteText.h"
#include "PeerThread.h"

struct ProxyStep {
    enum Kind { Expect, Answer, AnswerBytewise, Hangup };
    Kind What;
    std::string Bytes;
};

class FakeSocksProxy {
public:
    explicit FakeSocksProxy(std::vector<ProxyStep> script);

    int32_t Port() const { return Peer.Port(); }
    // Waits for the script to end; then the first difference between what was
    // expected and what came, or empty text when every request matched.
    std::string Mismatch();

private:
    void Run(int fd);

    std::vector<ProxyStep> Script;
    std::mutex Guard;
    std::string FirstMismatch;
    PeerThread Peer; // last: its thread uses the members above
};
