// A Telnet client under test with a loopback peer, the main thread as its GUI
// thread, and a record of everything the client reports, in order.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/telnet/IdTelnet.h"
#include "net/telnet/IdThread.h"
#include "runtime/Synchronize.h"
#include "tests/support/EventLog.h"
#include "tests/support/GuiThread.h"
#include "tests/support/LoopbackListener.h"

class SessionFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Client = std::make_unique<TIdTelnet>();
        Client->Host = "127.0.0.1";
        Client->Port = Listener.Port();
        Client->SetOnStatus([this](TObject*, TIdStatus, const std::string& text) {
            Record("status:" + text + (IsMainThread() ? "" : " (reader)"));
        });
        Client->SetOnDataAvailable([this](const std::string& text) {
            Record(IsMainThread() ? "data:" + text : "data off the main thread");
        });
        Client->OnDisconnect = [this] { Record("OnDisconnect"); };
    }

    void TearDown() override {
        Client.reset();
        Gui.reset();
    }

    // Connects, accepts on the peer's side and starts watching the reader.
    void Open() {
        Client->Connect();
        Peer = Listener.Accept();
        ASSERT_TRUE(Peer.Valid());
        Reader = Client->ReaderThread();
        ASSERT_NE(Reader, nullptr);
        Gui->WatchEnd(Reader);
    }

    void Record(const std::string& event) {
        Recorded.Add(event);
        Gui->Notify();
    }
    std::vector<std::string> Events() const { return Recorded.Events(); }
    size_t EventCount() const { return Events().size(); }
    void ClearEvents() { Recorded.Clear(); }
    // Serves deliveries until `count` events have been recorded in all.
    bool ServeUntilEvents(size_t count) {
        return Gui->ServeUntil([&] { return EventCount() >= count; });
    }
    bool ReaderEnded() const { return Reader->Finished(); }

    // Declared first, destroyed last: the watchers it joins need the reader gone.
    std::unique_ptr<GuiThread> Gui = std::make_unique<GuiThread>();
    loopback::Listener Listener;
    UniqueFd Peer;
    std::unique_ptr<TIdTelnet> Client;
    std::shared_ptr<TIdThread> Reader;

private:
    EventLog Recorded;
};
