// The anti-freeze hook: when its turn runs, and how it slices a socket wait.
#include <gtest/gtest.h>

#include <future>

#include "ConnectedHandle.h"
#include "StackUser.h"
#include "net/stack/IdAntiFreezeBase.h"
#include "net/stack/IdException.h"
#include "net/stack/IdSocketHandle.h"
#include "runtime/Synchronize.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/LoopbackPeer.h"

namespace {

class TCountingAntiFreeze : public TIdAntiFreezeBase {
public:
    void Process() override { ++Calls; }
    int Calls = 0;
};

class AntiFreezeTest : public testing::Test {
protected:
    void SetUp() override { SetMainThread(); }

    TCountingAntiFreeze AntiFreeze;
};

TEST_F(AntiFreezeTest, IsTheOneActiveInstance) {
    EXPECT_EQ(ActiveAntiFreeze.load(), &AntiFreeze);
    try {
        TCountingAntiFreeze second;
        FAIL() << "a second anti-freeze was made";
    } catch (const EIdMoreThanOneTIdAntiFreeze& e) {
        EXPECT_EQ(e.Message, "Only one TIdAntiFreeze can exist per application.");
    }
    EXPECT_EQ(ActiveAntiFreeze.load(), &AntiFreeze);
}

TEST(AntiFreezeLifetime, DestructionEmptiesTheActiveReference) {
    { TCountingAntiFreeze antiFreeze; }
    EXPECT_EQ(ActiveAntiFreeze.load(), nullptr);
    EXPECT_NO_THROW(TIdAntiFreezeBase::DoProcess(true, true));
}

struct TTurn {
    bool Active;
    bool OnlyWhenIdle;
    bool Idle;
    bool Force;
    int Calls;
};

class AntiFreezeTurnTest : public AntiFreezeTest, public testing::WithParamInterface<TTurn> {};

TEST_P(AntiFreezeTurnTest, RunsOnlyWhenIdleAllowedAndActive) {
    AntiFreeze.Active = GetParam().Active;
    AntiFreeze.OnlyWhenIdle = GetParam().OnlyWhenIdle;
    TIdAntiFreezeBase::DoProcess(GetParam().Idle, GetParam().Force);
    EXPECT_EQ(AntiFreeze.Calls, GetParam().Calls);
}

INSTANTIATE_TEST_SUITE_P(Rules, AntiFreezeTurnTest,
                         testing::Values(TTurn{true, true, true, false, 1},
                                         TTurn{true, true, false, false, 0},
                                         TTurn{true, true, false, true, 1},
                                         TTurn{true, false, false, false, 1},
                                         TTurn{false, false, true, true, 0}));

TEST_F(AntiFreezeTest, DoesNothingOffTheMainThread) {
    std::async(std::launch::async, [] { TIdAntiFreezeBase::DoProcess(true, true); }).get();
    EXPECT_EQ(AntiFreeze.Calls, 0);
}

struct TSlicing {
    int32_t Timeout;
    int32_t IdleTimeOut;
    int Slices;
};

// Every slice of a wait that finds nothing gives the anti-freeze one turn.
class WaitSlicingTest : public AntiFreezeTest, public testing::WithParamInterface<TSlicing> {
protected:
    TStackUser StackUser;
    loopback::Listener Listener;
    TIdSocketHandle Handle;
};

TEST_P(WaitSlicingTest, OneTurnPerSlice) {
    const UniqueFd peer = ConnectHandle(Handle, Listener);
    ASSERT_TRUE(peer.Valid());
    AntiFreeze.IdleTimeOut = GetParam().IdleTimeOut;
    EXPECT_FALSE(Handle.WaitReadable(GetParam().Timeout));
    EXPECT_EQ(AntiFreeze.Calls, GetParam().Slices);
}

INSTANTIATE_TEST_SUITE_P(Slices, WaitSlicingTest,
                         testing::Values(TSlicing{50, 20, 3}, TSlicing{40, 20, 2},
                                         TSlicing{41, 20, 3}, TSlicing{15, 20, 1},
                                         TSlicing{0, 20, 1}, TSlicing{30, 0, 1}));

TEST_F(AntiFreezeTest, AnEndlessWaitEndsAtTheSliceThatFindsData) {
    TStackUser stackUser;
    loopback::Listener listener;
    TIdSocketHandle handle;
    const UniqueFd peer = ConnectHandle(handle, listener);
    ASSERT_TRUE(loopback::SendAll(peer.Get(), "x"));
    AntiFreeze.IdleTimeOut = 10;
    EXPECT_TRUE(handle.WaitReadable(IdTimeoutInfinite));
    EXPECT_EQ(AntiFreeze.Calls, 0) << "a readable slice is not idle";
}

} // namespace
