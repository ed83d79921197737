// One thread receiving while another sends and disconnects, as the Telnet
// reader and the window do: the reader always ends with a network error, and
// every close is reported exactly once. Run under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "ConnectedClient.h"
#include "net/stack/IdException.h"
#include "tests/support/EventLog.h"
#include "tests/support/PeerThread.h"

namespace {

// The reader's loop: take what arrives, then check for the close. Returns
// what it took; `ended` tells whether an EIdException ended it.
std::string ReadUntilFailure(TIdTCPClient& client, bool& ended, std::promise<void>* firstChunk) {
    std::string taken;
    ended = false;
    try {
        for (int pass = 0; pass < 100000; ++pass) {
            taken += client.TakeAvailable();
            if (firstChunk != nullptr && !taken.empty()) {
                firstChunk->set_value();
                firstChunk = nullptr;
            }
            client.CheckPeerClosed(true, false);
        }
    } catch (const EIdException&) {
        ended = true;
    }
    return taken;
}

TEST(ConnectionThreads, DisconnectEndsAReaderBlockedWithoutLimit) {
    for (int round = 0; round < 20; ++round) {
        ConnectedClient c;
        std::promise<void> firstChunk;
        std::future<void> gotFirst = firstChunk.get_future();
        bool ended = false;
        std::string taken;
        std::thread reader([&] { taken = ReadUntilFailure(c.client, ended, &firstChunk); });
        c.PeerSends("x");
        // Once the first chunk is in, the reader goes straight back into a
        // wait without limit: nothing more will come from the peer.
        const bool readerRunning = gotFirst.wait_for(Patience) == std::future_status::ready;
        c.client.Disconnect();
        reader.join();
        ASSERT_TRUE(readerRunning);
        EXPECT_TRUE(ended);
        EXPECT_EQ(taken, "x");
        EXPECT_EQ(c.status.Events(), OneCloseReports());
        EXPECT_TRUE(loopback::PeerClosedWithin(c.peer.Get()));
    }
}

TEST(ConnectionThreads, PeerCloseAndDisconnectTogetherReportOnce) {
    for (int round = 0; round < 50; ++round) {
        ConnectedClient c;
        bool ended = false;
        std::thread reader([&] { ReadUntilFailure(c.client, ended, nullptr); });
        c.peer.Close();
        c.client.Disconnect();
        reader.join();
        EXPECT_TRUE(ended);
        EXPECT_EQ(c.status.Events(), OneCloseReports());
    }
}

TEST(ConnectionThreads, ASecondCloseDuringTheFirstMakesNoReports) {
    ConnectedClient c;
    std::promise<void> firstInside;
    std::promise<void> secondDone;
    std::shared_future<void> secondFinished = secondDone.get_future().share();
    std::atomic<int> disconnecting{0};
    EventLog events;
    c.client.OnStatus = [&](TObject*, TIdStatus status, const std::string& text) {
        events.Add(text);
        // Hold the first close between its claim and the socket's release
        // until the other thread's close has run.
        if (status == stDisconnecting && disconnecting++ == 0) {
            firstInside.set_value();
            secondFinished.wait_for(Patience);
        }
    };
    std::thread first([&] { c.client.Disconnect(); });
    const bool held = firstInside.get_future().wait_for(Patience) == std::future_status::ready;
    c.client.Disconnect();
    secondDone.set_value();
    first.join();
    ASSERT_TRUE(held);
    EXPECT_EQ(events.Events(),
              (std::vector<std::string>{"Disconnecting from 127.0.0.1.", "Not connected."}));
}

TEST(ConnectionThreads, SendingWhileTheReaderReceives) {
    PeerThread peer(Echo);
    TIdTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = peer.Port();
    client.Connect();

    std::string expected;
    for (int line = 0; line < 200; ++line)
        expected += "line " + std::to_string(line) + "\r\n";
    std::atomic<bool> allBack{false};
    std::promise<void> echoed;
    std::thread reader([&] {
        std::string taken;
        try {
            for (int pass = 0; pass < 100000; ++pass) {
                taken += client.TakeAvailable();
                if (!allBack && taken.size() >= expected.size()) {
                    allBack = true;
                    echoed.set_value();
                }
                client.CheckPeerClosed(true, false);
            }
        } catch (const EIdException&) {
        }
        EXPECT_EQ(taken, expected);
    });
    for (int line = 0; line < 200; ++line)
        client.WriteLine("line " + std::to_string(line));
    EXPECT_EQ(echoed.get_future().wait_for(Patience), std::future_status::ready);
    client.Disconnect();
    reader.join();
    EXPECT_TRUE(allBack);
}

} // namespace
