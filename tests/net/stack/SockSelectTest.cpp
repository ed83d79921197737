// The readiness wait over socket lists: the 64-socket limit, ready sockets
// written back, the timeout rule, and descriptors beyond FD_SETSIZE.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/select.h>

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
        pair.Handle.OpenSocket(Id_SOCK_STREAM, 0);
        pair.Handle.SetRemote("127.0.0.1", Listener.Port());
        ASSERT_NE(pair.Handle.ConnectToPeer(Id_PF_INET), IdSocketError);
        pair.Peer = Listener.Accept();
        ASSERT_GE(pair.Peer.Get(), 0);
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

TEST_F(SockSelectTest, SixtyFourSocketsAreAllowed) {
    TPair pair;
    Connect(pair);
    ASSERT_TRUE(loopback::SendAll(pair.Peer.Get(), "x"));
    TIdSocketList sockets(64, pair.Handle.Socket());
    EXPECT_EQ(GlobalStack->SockSelect(&sockets, nullptr, nullptr, 5000), 64);
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

TEST_F(SockSelectTest, AClosedDescriptorIsNoSocket) {
    TPair pair;
    Connect(pair);
    UniqueFd spare(::fcntl(pair.Handle.Socket(), F_DUPFD_CLOEXEC, 0));
    const int closed = spare.Get();
    spare.Close();
    TIdSocketList sockets{closed};
    EXPECT_EQ(GlobalStack->SockSelect(&sockets, nullptr, nullptr, IdTimeoutInfinite),
              IdSocketError);
    EXPECT_EQ(GlobalStack->SockLastError(), Id_WSAENOTSOCK);
}

// fd_set holds descriptors below FD_SETSIZE only; the wait must work above it.
TEST_F(SockSelectTest, WaitsOnADescriptorBeyondFdSetSize) {
    rlimit files{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &files), 0);
    const rlim_t wanted = FD_SETSIZE + 64;
    if (files.rlim_max != RLIM_INFINITY && files.rlim_max < wanted)
        GTEST_SKIP() << "the descriptor limit is below " << wanted;
    const rlimit saved = files;
    if (files.rlim_cur != RLIM_INFINITY && files.rlim_cur < wanted) {
        files.rlim_cur = wanted;
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &files), 0);
    }
    TPair pair;
    Connect(pair);
    {
        const UniqueFd high(::fcntl(pair.Handle.Socket(), F_DUPFD_CLOEXEC, FD_SETSIZE + 10));
        ASSERT_GE(high.Get(), FD_SETSIZE);
        ASSERT_TRUE(loopback::SendAll(pair.Peer.Get(), "x"));
        TIdSocketList sockets{high.Get()};
        EXPECT_EQ(GlobalStack->SockSelect(&sockets, nullptr, nullptr, 5000), 1);
        EXPECT_EQ(sockets, TIdSocketList{high.Get()});
    }
    ::setrlimit(RLIMIT_NOFILE, &saved);
}

} // namespace
