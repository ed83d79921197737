// The socket handle against real loopback peers: binding, connecting,
// waiting, sending and receiving, and release from another thread.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "ConnectedHandle.h"
#include "StackUser.h"
#include "net/stack/IdException.h"
#include "net/stack/IdSocketHandle.h"
#include "net/stack/winsock/WinsockBinding.h"
#include "net/stack/winsock/WinsockErrors.h"
#include "runtime/Exception.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/LoopbackPeer.h"

namespace {

using namespace std::chrono_literals;
constexpr auto Deadline = 5s;

class SocketHandleTest : public testing::Test {
protected:
    // Opens Handle and connects it to Listener; Peer is the accepted side.
    void Connect() {
        Peer = ConnectHandle(Handle, Listener);
        ASSERT_TRUE(Peer.Valid());
    }

    std::string Receive(int length) {
        std::string bytes(static_cast<size_t>(length), '\0');
        const int count = Handle.ReceiveChunk(bytes.data(), length, 0);
        return count > 0 ? bytes.substr(0, static_cast<size_t>(count)) : std::string();
    }

    TStackUser StackUser;
    loopback::Listener Listener;
    TIdSocketHandle Handle;
    UniqueFd Peer;
};

TEST_F(SocketHandleTest, NewHandleIsCleared) {
    EXPECT_EQ(Handle.Socket(), IdInvalidSocket);
    EXPECT_FALSE(Handle.SocketAllocated());
    EXPECT_EQ(Handle.IP, "");
    EXPECT_EQ(Handle.RemoteIP, "");
    EXPECT_EQ(Handle.Port, 0);
    EXPECT_EQ(Handle.RemotePort, 0);
}

TEST_F(SocketHandleTest, BindToAnyAddressReportsTheChosenPort) {
    Handle.OpenSocket(Id_SOCK_STREAM, 0);
    Handle.BindLocal();
    EXPECT_EQ(Handle.IP, "0.0.0.0");
    EXPECT_GT(Handle.Port, 0);
    EXPECT_TRUE(Handle.SocketAllocated());
}

TEST_F(SocketHandleTest, BindToAPortInUseRaisesCouldNotBind) {
    Handle.OpenSocket(Id_SOCK_STREAM, 0);
    Handle.IP = "127.0.0.1";
    Handle.Port = Listener.Port();
    try {
        Handle.BindLocal();
        FAIL() << "bound to a port in use";
    } catch (const EIdCouldNotBindSocket& e) {
        EXPECT_EQ(e.Message, "Could not bind socket. Address and port are already in use.");
    }
    EXPECT_TRUE(Handle.SocketAllocated());
}

TEST_F(SocketHandleTest, ConnectFillsBothBindings) {
    Connect();
    EXPECT_EQ(Handle.RemoteIP, "127.0.0.1");
    EXPECT_EQ(Handle.RemotePort, Listener.Port());
    EXPECT_EQ(Handle.IP, "127.0.0.1");
    EXPECT_GT(Handle.Port, 0);
    EXPECT_NE(Handle.Port, Listener.Port());
}

TEST_F(SocketHandleTest, ConnectToAClosedPortIsRefused) {
    const loopback::ClosedPort closed;
    Handle.OpenSocket(Id_SOCK_STREAM, 0);
    Handle.SetRemote("127.0.0.1", closed.Port());
    const int result = Handle.ConnectToPeer(Id_PF_INET);
    ASSERT_EQ(result, IdSocketError);
    EXPECT_EQ(Handle.RemotePort, closed.Port()) << "a failed connect must not refresh";
    try {
        GlobalStack->CheckSocketResult(result);
        FAIL() << "no exception";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.ErrorCode, Id_WSAECONNREFUSED);
        EXPECT_EQ(e.Message, "Socket Error # 10061\r\nConnection refused.");
    }
}

TEST_F(SocketHandleTest, ReleaseWithoutSocketKeepsTheBinding) {
    Handle.IP = "127.0.0.1";
    Handle.Port = 5556;
    Handle.ReleaseSocket(true);
    EXPECT_EQ(Handle.IP, "127.0.0.1");
    EXPECT_EQ(Handle.Port, 5556);
}

TEST_F(SocketHandleTest, ReleaseClosesTheConnectionAndClearsTheBinding) {
    Connect();
    Handle.ReleaseSocket(true);
    EXPECT_FALSE(Handle.SocketAllocated());
    EXPECT_EQ(Handle.Socket(), IdInvalidSocket);
    EXPECT_EQ(Handle.IP, "");
    EXPECT_EQ(Handle.Port, 0);
    EXPECT_EQ(Handle.RemoteIP, "");
    EXPECT_EQ(loopback::ReceiveExactly(Peer.Get(), 1), "") << "the peer sees the end of the stream";
}

// From another thread only the descriptor goes; the binding, which the
// owner's thread may be reading for a report, stays as it was.
TEST_F(SocketHandleTest, ReleasingTheDescriptorFromAnotherThreadLeavesTheBinding) {
    Connect();
    std::thread([this] { EXPECT_TRUE(Handle.ReleaseDescriptor()); }).join();
    EXPECT_FALSE(Handle.SocketAllocated());
    EXPECT_EQ(Handle.RemoteIP, "127.0.0.1");
    EXPECT_EQ(loopback::ReceiveExactly(Peer.Get(), 1), "") << "the peer sees the end of the stream";
    EXPECT_FALSE(Handle.ReleaseDescriptor());
}

TEST_F(SocketHandleTest, OpeningAgainClosesTheFirstSocket) {
    Connect();
    Handle.OpenSocket(Id_SOCK_STREAM, 0);
    EXPECT_TRUE(Handle.SocketAllocated());
    EXPECT_EQ(Handle.RemoteIP, "");
    EXPECT_EQ(loopback::ReceiveExactly(Peer.Get(), 1), "");
}

TEST_F(SocketHandleTest, BytesTravelBothWays) {
    Connect();
    const std::string sent("to peer\0\xFF", 9);
    ASSERT_EQ(Handle.TransmitChunk(sent.data(), static_cast<int>(sent.size()), 0), 9);
    EXPECT_EQ(loopback::ReceiveExactly(Peer.Get(), 9), sent);

    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "to handle"));
    ASSERT_TRUE(Handle.WaitReadable(IdTimeoutInfinite));
    EXPECT_EQ(Receive(100), "to handle");
}

TEST_F(SocketHandleTest, ReceiveGivesZeroWhenThePeerHasClosed) {
    Connect();
    Peer.Close();
    ASSERT_TRUE(Handle.WaitReadable(IdTimeoutInfinite));
    char byte;
    EXPECT_EQ(Handle.ReceiveChunk(&byte, 1, 0), 0);
}

TEST_F(SocketHandleTest, WaitWithZeroTimeoutAnswersAtOnce) {
    Connect();
    EXPECT_FALSE(Handle.WaitReadable(0));
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "x"));
    ASSERT_TRUE(Handle.WaitReadable(5000));
    EXPECT_TRUE(Handle.WaitReadable(0)) << "unread data keeps the socket readable";
}

TEST_F(SocketHandleTest, WaitOnAHandleWithoutSocketRaisesClosedGracefully) {
    try {
        Handle.WaitReadable(0);
        FAIL() << "no exception";
    } catch (const EIdConnClosedGracefully& e) {
        EXPECT_EQ(e.Message, "Connection Closed Gracefully.");
    }
}

TEST_F(SocketHandleTest, InfiniteWaitWakesWhenDataArrives) {
    Connect();
    auto waiting = std::async(std::launch::async, [this] { return Handle.WaitReadable(-2); });
    ASSERT_TRUE(loopback::SendAll(Peer.Get(), "wake"));
    ASSERT_EQ(waiting.wait_for(Deadline), std::future_status::ready);
    EXPECT_TRUE(waiting.get());
}

// Either the wait was under way and the shutdown ends it, or it starts after
// the release and raises; it never stays blocked.
TEST_F(SocketHandleTest, InfiniteWaitWakesWhenAnotherThreadReleases) {
    Connect();
    std::promise<void> started;
    auto waiting = std::async(std::launch::async, [this, &started] {
        started.set_value();
        return Handle.WaitReadable(IdTimeoutInfinite);
    });
    started.get_future().wait();
    Handle.ReleaseSocket(true);
    ASSERT_EQ(waiting.wait_for(Deadline), std::future_status::ready);
    try {
        waiting.get();
    } catch (const EIdConnClosedGracefully&) {
    }
    char byte;
    EXPECT_EQ(Handle.ReceiveChunk(&byte, 1, 0), IdSocketError);
    EXPECT_EQ(GlobalStack->SockLastError(), Id_WSAESHUTDOWN);
}

TEST_F(SocketHandleTest, SendAfterShutdownFailsWithShutdownCode) {
    Connect();
    ASSERT_EQ(GlobalStack->SockShutdown(Handle.Socket(), Id_SD_SEND), 0);
    const int result = Handle.TransmitChunk("x", 1, 0);
    ASSERT_EQ(result, IdSocketError);
    EXPECT_EQ(GlobalStack->SockLastError(), Id_WSAESHUTDOWN);
    EXPECT_TRUE(GlobalStack->CheckSocketResult(result, {Id_WSAESHUTDOWN}));
}

TEST_F(SocketHandleTest, ReceiveAndSendOnAReleasedHandleFailWithShutdownCode) {
    Connect();
    Handle.ReleaseSocket(true);
    char byte = 'x';
    EXPECT_EQ(Handle.TransmitChunk(&byte, 1, 0), IdSocketError);
    EXPECT_EQ(GlobalStack->SockLastError(), Id_WSAESHUTDOWN);
    Winsock.WSASetLastError(0);
    EXPECT_EQ(Handle.ReceiveChunk(&byte, 1, 0), IdSocketError);
    EXPECT_EQ(GlobalStack->SockLastError(), Id_WSAESHUTDOWN);
}

// A send to a peer that has gone must fail with a socket error; SIGPIPE would
// end this test program.
TEST_F(SocketHandleTest, SendToAVanishedPeerFailsWithoutSignal) {
    Connect();
    Peer.Close();
    const std::string block(65536, 'z');
    int result = 0;
    for (int attempt = 0; attempt < 200 && result != IdSocketError; ++attempt) {
        if (attempt > 0) Handle.WaitReadable(100); // lets the peer's reset arrive
        result = Handle.TransmitChunk(block.data(), static_cast<int>(block.size()), 0);
    }
    ASSERT_EQ(result, IdSocketError);
    const int32_t code = GlobalStack->SockLastError();
    EXPECT_TRUE(code == Id_WSAESHUTDOWN || code == Id_WSAECONNRESET) << code;
}

TEST_F(SocketHandleTest, SetOptionAcceptsNoDelayAndRejectsAnUnknownOption) {
    Handle.OpenSocket(Id_SOCK_STREAM, 0);
    const int32_t on = 1;
    Handle.SetOption(Id_IPPROTO_TCP, Id_TCP_NODELAY, &on, sizeof on);
    try {
        Handle.SetOption(Id_IPPROTO_TCP, 0x7777, &on, sizeof on);
        FAIL() << "no exception";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.ErrorCode, Id_WSAENOPROTOOPT);
        EXPECT_EQ(e.Message, "Socket Error # 10042\r\nBad protocol option.");
    }
}

TEST_F(SocketHandleTest, AssignCopiesTheBindingAndNeverTheSocket) {
    Connect();
    TIdSocketHandle copy;
    copy.Assign(Handle);
    EXPECT_EQ(copy.IP, Handle.IP);
    EXPECT_EQ(copy.Port, Handle.Port);
    EXPECT_EQ(copy.RemoteIP, "127.0.0.1");
    EXPECT_EQ(copy.RemotePort, Listener.Port());
    EXPECT_FALSE(copy.SocketAllocated());
    EXPECT_EQ(copy.Socket(), IdInvalidSocket);
}

TEST_F(SocketHandleTest, AssignFromAnotherClassIsRefused) {
    class TOther : public TObject {};
    const TOther other;
    EXPECT_THROW(Handle.Assign(other), EConvertError);
}

// A reader blocked on the socket while the owner releases it, over and over:
// the reader must end every time, and must never read from the next
// connection, which may well get the same descriptor number.
TEST_F(SocketHandleTest, ReleaseDuringAWaitNeverTouchesAReusedDescriptor) {
    constexpr int Rounds = 150;
    for (int round = 0; round < Rounds; ++round) {
        SCOPED_TRACE(round);
        Connect();
        std::promise<void> started;
        auto reader = std::async(std::launch::async, [this, &started] {
            started.set_value();
            std::string stolen;
            try {
                if (Handle.WaitReadable(IdTimeoutInfinite)) stolen = Receive(16);
            } catch (const EIdConnClosedGracefully&) {
            }
            return stolen;
        });
        started.get_future().wait();
        Handle.ReleaseSocket(true);

        TIdSocketHandle next;
        const UniqueFd nextPeer = ConnectHandle(next, Listener);
        ASSERT_TRUE(loopback::SendAll(nextPeer.Get(), "next"));

        ASSERT_EQ(reader.wait_for(Deadline), std::future_status::ready);
        EXPECT_EQ(reader.get(), "");
        ASSERT_TRUE(next.WaitReadable(5000));
        char bytes[8] = {};
        EXPECT_EQ(next.ReceiveChunk(bytes, 4, 0), 4);
        EXPECT_EQ(std::string(bytes, 4), "next");
    }
}

} // namespace
