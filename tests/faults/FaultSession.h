// A real Telnet client against a raw loopback peer that the test controls
// byte by byte, with the test's main thread as the client's GUI thread: the
// Telnet tests' session, recording the status texts alone and collecting the
// delivered data, with Nagle's algorithm off on the peer.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "runtime/Synchronize.h"
#include "tests/net/telnet/SessionFixture.h"
#include "tests/support/Deadline.h"
#include "tests/support/LoopbackPeer.h"

class FaultSession : public SessionFixture {
protected:
    void SetUp() override {
        SessionFixture::SetUp();
        Client->SetOnStatus([this](TObject*, TIdStatus, const std::string& text) {
            Record(text + (IsMainThread() ? "" : " (reader)"));
        });
        Client->SetOnDataAvailable([this](const std::string& text) {
            // Only ever called on the main thread, which alone reads these.
            Received += text;
            ++Deliveries;
        });
        Client->OnDisconnect = nullptr;
    }

    void Open() {
        ASSERT_NO_FATAL_FAILURE(SessionFixture::Open());
        loopback::SetNoDelay(Peer.Get());
    }

    void ResetPeer() { loopback::CloseWithReset(Peer); }

    std::vector<std::string> Statuses() const { return Events(); }

    bool ServeUntilReceived(size_t count, std::chrono::milliseconds patience = Patience) {
        return Gui->ServeUntil([&] { return Received.size() >= count; }, patience);
    }
    bool ServeUntilReaderEnds() {
        return Gui->ServeUntil([&] { return ReaderEnded(); });
    }

    std::string Received;  // main thread only
    size_t Deliveries = 0; // main thread only
};
