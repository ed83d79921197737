// Linux's fd_set holds descriptor numbers below FD_SETSIZE only; the stack's
// readiness wait must work on a socket numbered above it. (Windows takes
// socket handles in a counted array, with no such limit.)
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/select.h>

#include "ConnectedHandle.h"
#include "StackUser.h"
#include "net/stack/IdSocketHandle.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/LoopbackPeer.h"

namespace {

TEST(SockSelectHighDescriptor, WaitsOnADescriptorBeyondFdSetSize) {
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
    const TStackUser stackUser;
    loopback::Listener listener;
    TIdSocketHandle handle;
    const UniqueFd peer = ConnectHandle(handle, listener);
    ASSERT_TRUE(peer.Valid());
    {
        const UniqueFd high(::fcntl(handle.Socket(), F_DUPFD_CLOEXEC, FD_SETSIZE + 10));
        ASSERT_GE(high.Get(), FD_SETSIZE);
        ASSERT_TRUE(loopback::SendAll(peer.Get(), "x"));
        TIdSocketList sockets{high.Get()};
        EXPECT_EQ(GlobalStack->SockSelect(&sockets, nullptr, nullptr, 5000), 1);
        EXPECT_EQ(sockets, TIdSocketList{high.Get()});
    }
    ::setrlimit(RLIMIT_NOFILE, &saved);
}

} // namespace
