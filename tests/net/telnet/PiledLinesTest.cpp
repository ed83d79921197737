// Lines that piled up behind a busy GUI thread go over in as few synchronised
// calls as fit a frame, yet each to its own OnDataAvailable: a handler that
// raises or disconnects still stops the lines after it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SessionFixture.h"
#include "tests/support/LoopbackPeer.h"

namespace {

using Strings = std::vector<std::string>;

class PiledLines : public SessionFixture {
protected:
    // Sends `first`, waits until its hand-over is queued, then sends `piled`,
    // which therefore arrives in one receive behind it.
    void SendBehindAHandOver(const std::string& first, const std::string& piled) {
        ASSERT_TRUE(loopback::SendAll(Peer.Get(), first));
        ASSERT_TRUE(Gui->WaitUntil([&] { return Gui->CallQueued(); }));
        ASSERT_TRUE(loopback::SendAll(Peer.Get(), piled));
    }
};

TEST_F(PiledLines, ManyLinesArriveWholeAndInOrder) {
    std::string received;
    int calls = 0;
    Client->SetOnDataAvailable([&](const std::string& text) {
        received += text;
        ++calls;
    });
    Open();
    std::string piled;
    for (int i = 0; i < 2000; ++i)
        piled += "line " + std::to_string(i) + "\r\n";
    SendBehindAHandOver("first\r\n", piled);
    ASSERT_TRUE(Gui->ServeUntil([&] { return received.size() >= 7 + piled.size(); }));
    EXPECT_EQ(received, "first\r\n" + piled);
    EXPECT_EQ(calls, 2001);
}

TEST_F(PiledLines, AHandlerThatRaisesStopsTheLinesAfterIt) {
    Strings delivered;
    Client->SetOnDataAvailable([&](const std::string& text) {
        delivered.push_back(text);
        if (text == "two\r\n") throw EIdException("handler gave up");
    });
    Open();
    SendBehindAHandOver("one\r\n", "two\r\nthree\r\nfour\r\n");
    ASSERT_TRUE(Gui->ServeUntil([&] { return ReaderEnded(); }));
    EXPECT_EQ(delivered, (Strings{"one\r\n", "two\r\n"}));
    EXPECT_EQ(Reader->TerminatingMessage, "handler gave up");
}

TEST_F(PiledLines, DisconnectInAHandlerStopsTheLinesAfterIt) {
    Strings delivered;
    Client->SetOnDataAvailable([&](const std::string& text) {
        delivered.push_back(text);
        if (text == "two\r\n") Client->Disconnect();
    });
    Open();
    SendBehindAHandOver("one\r\n", "two\r\nthree\r\nfour\r\n");
    ASSERT_TRUE(Gui->ServeUntil([&] { return ReaderEnded(); }));
    EXPECT_EQ(delivered, (Strings{"one\r\n", "two\r\n"}));
}

} // namespace
