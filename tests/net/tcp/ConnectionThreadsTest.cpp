// One thread receiving while another sends and disconnects, as the Telnet
// reader and the window do: the reader always ends with a network error, and
// every close is reported exactly once. Run under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "ConnectedClient.h"
#include "PeerThread.h"
#include "net/stack/IdException.h"

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
        const bool readerRunning = gotFirst.wait_for(loopback::Patience) == std::future_status::ready;
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

TEST(ConnectionThreads, SendingWhileTheReaderReceives) {
    PeerThread peer(Echo);
    TIdTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = peer.Port();
    client.Connect();

    std::string expected;
    for (int line = 0; line < 200; ++line) expected += "line " + std::to_string(line) + "\r\n";
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
    for (int line = 0; line < 200; ++line) client.WriteLine("line " + std::to_string(line));
    EXPECT_EQ(echoed.get_future().wait_for(loopback::Patience), std::future_status::ready);
    client.Disconnect();
    reader.join();
    EXPECT_TRUE(allBack);
}

} // namespace
