// The network thread's step loop: the order of BeforeLoop, steps and
// AfterLoop, how exceptions end it, stopping, and what it owns.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "net/telnet/IdThread.h"
#include "runtime/Synchronize.h"
#include "tests/support/ProcessProbe.h"
#include "tests/support/Signal.h"

namespace {

// Records its loop events; each step runs the given action with its number.
class TRecordingThread : public TIdThread {
public:
    TRecordingThread(bool createSuspended, std::function<void(TRecordingThread&, int)> step)
        : TIdThread(createSuspended), Step(std::move(step)) {}

    // Written by the thread; read after WaitFor.
    std::vector<std::string> Events;

    using TIdThread::Synchronize;

protected:
    void BeforeLoop() override { Events.push_back("before"); }
    void AfterLoop() override { Events.push_back("after"); }
    void RunStep() override {
        const int number = ++Steps;
        Events.push_back("step " + std::to_string(number));
        Step(*this, number);
    }

private:
    std::function<void(TRecordingThread&, int)> Step;
    int Steps = 0;
};

std::shared_ptr<TRecordingThread> StartRecording(std::function<void(TRecordingThread&, int)> step) {
    return TThread::Create<TRecordingThread>(false, std::move(step));
}

TEST(IdThreadTest, StepsRunBetweenBeforeAndAfterLoopUntilTerminated) {
    auto thread = StartRecording([](TRecordingThread& self, int number) {
        if (number == 3) self.Terminate();
    });
    thread->WaitFor();
    EXPECT_EQ(thread->Events,
              (std::vector<std::string>{"before", "step 1", "step 2", "step 3", "after"}));
    EXPECT_EQ(thread->TerminatingMessage, "");
}

TEST(IdThreadTest, ARuntimeExceptionEndsTheLoopQuietlyAfterAfterLoop) {
    std::string reported;
    TIdThread* reportedBy = nullptr;
    bool reportedOnThread = false;
    auto thread = std::make_shared<TRecordingThread>(false, [](TRecordingThread&, int number) {
        if (number == 2) throw Exception("Connection Closed Gracefully.");
    });
    thread->OnThreadException = [&](TIdThread* sender, const Exception& e) {
        reported = e.Message;
        reportedBy = sender;
        reportedOnThread = !IsMainThread();
    };
    thread->Start();
    thread->WaitFor();
    EXPECT_EQ(thread->Events, (std::vector<std::string>{"before", "step 1", "step 2", "after"}));
    EXPECT_EQ(thread->TerminatingMessage, "Connection Closed Gracefully.");
    EXPECT_EQ(reported, "Connection Closed Gracefully.");
    EXPECT_EQ(reportedBy, thread.get());
    EXPECT_TRUE(reportedOnThread);
    EXPECT_TRUE(thread->Terminated());
    EXPECT_FALSE(thread->FatalException()) << "the loop consumes runtime exceptions";
}

TEST(IdThreadTest, OtherExceptionsPassToTheThreadClassAfterAfterLoop) {
    auto thread =
        StartRecording([](TRecordingThread&, int) { throw std::runtime_error("not ours"); });
    thread->WaitFor();
    EXPECT_EQ(thread->Events, (std::vector<std::string>{"before", "step 1", "after"}));
    EXPECT_EQ(thread->TerminatingMessage, "");
    ASSERT_TRUE(thread->FatalException());
    EXPECT_THROW(std::rethrow_exception(thread->FatalException()), std::runtime_error);
}

TEST(IdThreadTest, StopAndWaitOnTheGuiThreadEndsAThreadThatSynchronises) {
    std::atomic<int> served{0};
    auto thread =
        StartRecording([&](TRecordingThread& self, int) { self.Synchronize([&] { ++served; }); });
    ServeSynchronizeUntil([&] { return served.load() >= 2; });
    thread->StopAndWait(); // serves the steps' calls while it waits
    EXPECT_TRUE(thread->Finished());
    EXPECT_TRUE(thread->IsStopped());
    EXPECT_TRUE(thread->StopRequested.load());
    ASSERT_FALSE(thread->Events.empty());
    EXPECT_EQ(thread->Events.back(), "after");
}

TEST(IdThreadTest, ACreatedSuspendedThreadKeepsSuspendingItselfWhileStopRequested) {
    const std::vector<pid_t> before = ThreadIds();
    auto thread = TThread::Create<TRecordingThread>(true, [](TRecordingThread&, int) {});
    std::vector<pid_t> started = ThreadIds();
    std::erase_if(started, [&](pid_t id) { return std::ranges::count(before, id) > 0; });
    ASSERT_EQ(started.size(), 1u);
    EXPECT_TRUE(thread->StopRequested.load());
    EXPECT_TRUE(thread->IsStopped());
    thread->SetSuspended(false);
    // Resumed, it suspends itself again at the top of its pass and sleeps there:
    // the resume cleared the flag, so a flag set again is the thread's own.
    ASSERT_TRUE(WaitUntilThreadSleeps(started[0], [&] { return thread->GetSuspended(); }));
    thread->StopAndWait();
    EXPECT_EQ(thread->Events, (std::vector<std::string>{"after"})) << "no pass ran while stopped";
}

TEST(IdThreadTest, OwnedDataIsFreedWithTheThreadObject) {
    struct TProbe : TObject {
        explicit TProbe(TSignal& freed) : Freed(freed) {}
        ~TProbe() override { Freed.Raise(); }
        TSignal& Freed;
    };
    TSignal freed;
    auto thread = std::make_shared<TRecordingThread>(
        false, [](TRecordingThread& self, int) { self.Terminate(); });
    thread->OwnedData = std::make_unique<TProbe>(freed);
    thread->Start();
    thread->WaitFor();
    EXPECT_EQ(freed.Raised(), 0);
    std::weak_ptr<TRecordingThread> watcher = thread;
    thread.reset(); // the thread may still hold its own reference for a moment
    EXPECT_TRUE(freed.WaitFor());
    EXPECT_TRUE(watcher.expired());
}

} // namespace
