// A real Telnet client against a raw loopback peer that the test controls
// byte by byte, with the test's main thread as the client's GUI thread.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "net/telnet/IdTelnet.h"
#include "net/telnet/IdTelnetReadThread.h"
#include "runtime/Synchronize.h"
#include "tests/support/GuiThread.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/LoopbackPeer.h"

class FaultSession : public ::testing::Test {
protected:
    void SetUp() override {
        Client = std::make_unique<TIdTelnet>();
        Client->Host = "127.0.0.1";
        Client->Port = Listener.Port();
        Client->SetOnStatus([this](TObject*, TIdStatus, const std::string& text) {
            Record(text + (IsMainThread() ? "" : " (reader)"));
        });
        Client->SetOnDataAvailable([this](const std::string& text) {
            // Only ever called on the main thread, which alone reads these.
            Received += text;
            ++Deliveries;
        });
    }

    void TearDown() override {
        Client.reset();
        Gui.reset();
    }

    // Connects, accepts on the peer's side and watches the reader's end.
    void Open() {
        Client->Connect();
        Peer = Listener.Accept();
        ASSERT_TRUE(Peer.Valid());
        loopback::SetNoDelay(Peer.Get());
        Reader = Client->ReaderThread();
        ASSERT_NE(Reader, nullptr);
        Gui->WatchEnd(Reader);
    }

    void ResetPeer() { loopback::CloseWithReset(Peer); }

    void Record(const std::string& event) {
        {
            const std::lock_guard lock(EventLock);
            Recorded.push_back(event);
        }
        Gui->Notify();
    }
    std::vector<std::string> Statuses() const {
        const std::lock_guard lock(EventLock);
        return Recorded;
    }

    // GuiThread's wait ends after a bounded number of wake-ups; a flood makes
    // far more, so this one renews it until `done` or the deadline.
    bool ServeLong(const std::function<bool()>& done, std::chrono::milliseconds patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        for (int round = 0; round < 100000 && !done(); ++round) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            Gui->ServeUntil(done, left);
        }
        return done();
    }
    bool ServeUntilReceived(size_t count, std::chrono::milliseconds patience = Patience) {
        return ServeLong([&] { return Received.size() >= count; }, patience);
    }
    bool ServeUntilReaderEnds() {
        return Gui->ServeUntil([&] { return Reader->Finished(); });
    }

    // Declared first, destroyed last: the watchers it joins need the reader gone.
    std::unique_ptr<GuiThread> Gui = std::make_unique<GuiThread>();
    loopback::Listener Listener;
    UniqueFd Peer;
    std::unique_ptr<TIdTelnet> Client;
    std::shared_ptr<TIdTelnetReadThread> Reader;
    std::string Received; // main thread only
    size_t Deliveries = 0; // main thread only

private:
    mutable std::mutex EventLock;
    std::vector<std::string> Recorded;
};
