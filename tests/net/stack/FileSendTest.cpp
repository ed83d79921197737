// Whole-file sending through the library's TransmitFile entry.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "ConnectedHandle.h"
#include "StackUser.h"
#include "net/stack/IdSocketHandle.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/LoopbackPeer.h"
#include "tests/support/TempDir.h"

namespace {

class FileSendTest : public testing::Test {
protected:
    void SetUp() override {
        Peer = ConnectHandle(Handle, Listener);
        ASSERT_TRUE(Peer.Valid());
    }

    TStackUser StackUser;
    loopback::Listener Listener;
    TIdSocketHandle Handle;
    UniqueFd Peer;
    const TempDir Files;
    const std::string FileName = Files.Path("file-send.bin");
};

TEST_F(FileSendTest, SendsTheWholeFileAndGivesItsSize) {
    std::string content;
    for (int i = 0; i < 100000; ++i)
        content += static_cast<char>(i * 7);
    std::ofstream(FileName, std::ios::binary) << content;
    ASSERT_NE(FileSendRoutine, nullptr);
    std::string received;
    // The peer reads while the file goes out, so a full socket buffer cannot stall.
    std::thread reader([&] { received = loopback::ReceiveExactly(Peer.Get(), content.size()); });
    const int32_t sent = FileSendRoutine(Handle.Socket(), FileName);
    reader.join();
    EXPECT_EQ(sent, static_cast<int32_t>(content.size()));
    EXPECT_EQ(received, content);
}

TEST_F(FileSendTest, AMissingFileGivesZero) {
    EXPECT_EQ(FileSendRoutine(Handle.Socket(), FileName + ".missing"), 0);
}

TEST_F(FileSendTest, AVanishedPeerGivesZeroWithoutSignal) {
    std::ofstream(FileName, std::ios::binary) << std::string(4 << 20, 'f');
    Peer.Close();
    int32_t sent = 1;
    for (int attempt = 0; attempt < 20 && sent != 0; ++attempt)
        sent = FileSendRoutine(Handle.Socket(), FileName);
    EXPECT_EQ(sent, 0);
}

} // namespace
