// The readiness wait over socket lists: the 64-socket limit, ready sockets
// written back, the timeout rule, and sockets that are not (or no longer)
// sockets. Linux's limit on descriptor numbers is in its own file.
#include <gtest/gtest.h>

#include <array>

#include "ConnectedHandle.h"
#include "StackUser.h"
#include "net/stack/IdException.h"
#include "net/stack/IdSocketHandle.h"
#include "net/stack/winsock/WinsockErrors.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/LoopbackPeer.h"

namespace {

class SockSelectTest : public testing::Test {
protected:
    // A connected pair: the handle's socket and the accepted peer.
    struct TPair {
        TIdSocketHandle Handle;
        UniqueFd Peer;
    };

    void Connect(TPair& pair) {
        pair.Peer = ConnectHandle(pair.Handle, Listener);
        ASSERT_TRUE(pair.Peer.Valid());
    }

    TStackUser StackUser;
    loopback::Listener Listener;
};

// A wait without limit on sockets that never become readable: only raising
// before the wait lets this test end.
TEST_F(SockSelectTest, SixtyFiveSocketsRaiseBeforeAnyWait) {
    TPair pair;
    Connect(pair);
    TIdSocketList sockets(65, pair.Handle.Socket());
    try {
        GlobalStack->SockSelect(&sockets, nullptr, nullptr, IdTimeoutInfinite);
        FAIL() << "no exception";
    } catch (const EIdStackSetSizeExceeded& e) {
        EXPECT_EQ(e.Message, "Set Size Exceeded.");
    }
    TIdSocketList writable(65, pair.Handle.Socket());
    EXPECT_THROW(GlobalStack->SockSelect(nullptr, &writable, nullptr, IdTimeoutInfinite),
                 EIdStackSetSizeExceeded);
}

// Sixty-four different sockets: Windows keeps one copy of a socket in a set.
TEST_F(SockSelectTest, SixtyFourSocketsAreAllowed) {
    std::array<TIdSocketHandle, 64> handles;
    TIdSocketList sockets;
    for (TIdSocketHandle& handle : handles) {
        handle.OpenSocket(Id_SOCK_DGRAM, 0); // an unconnected datagram socket is writable
        sockets.push_back(handle.Socket());
    }
    EXPECT_EQ(GlobalStack->SockSelect(nullptr, &sockets, nullptr, 5000), 64);
    EXPECT_EQ(sockets.size(), 64u);
}

TEST_F(SockSelectTest, OnlyTheReadySocketsStayInTheLists) {
    TPair quiet, talking;
    Connect(quiet);
    Connect(talking);
    ASSERT_TRUE(loopback::SendAll(talking.Peer.Get(), "x"));
    TIdSocketList readable{quiet.Handle.Socket(), talking.Handle.Socket()};
    TIdSocketList writable{quiet.Handle.Socket()};
    TIdSocketList failed{quiet.Handle.Socket(), talking.Handle.Socket()};
    EXPECT_EQ(GlobalStack->SockSelect(&readable, &writable, &failed, 5000), 2);
    EXPECT_EQ(readable, TIdSocketList{talking.Handle.Socket()});
    EXPECT_EQ(writable, TIdSocketList{quiet.Handle.Socket()});
    EXPECT_TRUE(failed.empty());
}

TEST_F(SockSelectTest, ATimeoutGivesZeroAndEmptyLists) {
    TPair pair;
    Connect(pair);
    for (int32_t timeout : {0, 20}) {
        TIdSocketList sockets{pair.Handle.Socket()};
        EXPECT_EQ(GlobalStack->SockSelect(&sockets, nullptr, nullptr, timeout), 0) << timeout;
        EXPECT_TRUE(sockets.empty()) << timeout;
    }
}

TEST_F(SockSelectTest, NoSocketsAtAllIsAnInvalidArgument) {
    TIdSocketList none;
    EXPECT_EQ(GlobalStack->SockSelect(&none, nullptr, nullptr, 0), IdSocketError);
    EXPECT_EQ(GlobalStack->SockLastError(), Id_WSAEINVAL);
}

TEST_F(SockSelectTest, AClosedSocketIsNoSocket) {
    TIdSocketHandle handle;
    handle.OpenSocket(Id_SOCK_STREAM, 0);
    const TIdStackSocketHandle closed = handle.Socket();
    handle.ReleaseSocket(true);
    TIdSocketList sockets{closed};
    // Bounded, so that a wait that does not fail ends the test instead of hanging it.
    EXPECT_EQ(GlobalStack->SockSelect(&sockets, nullptr, nullptr, 5000), IdSocketError);
    EXPECT_EQ(GlobalStack->SockLastError(), Id_WSAENOTSOCK);
}

} // namespace
