// The thread class: start after construction, terminate, suspension, waiting
// on the GUI thread while the thread makes synchronised calls, and lifetime.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>

#include "runtime/Synchronize.h"
#include "runtime/Thread.h"
#include "tests/support/ProcessProbe.h"
#include "tests/support/Signal.h"
#include "tests/support/Watchdog.h"

namespace {

// Runs the given body; tells when it is destroyed and on which thread.
class TLambdaThread : public TThread {
public:
    TLambdaThread(bool createSuspended, std::function<void(TLambdaThread&)> body,
                  TSignal* destroyed = nullptr, std::thread::id* destroyedOn = nullptr)
        : TThread(createSuspended), Body(std::move(body)), Destroyed(destroyed),
          DestroyedOn(destroyedOn) {}

    ~TLambdaThread() override {
        if (DestroyedOn != nullptr) *DestroyedOn = std::this_thread::get_id();
        if (Destroyed != nullptr) Destroyed->Raise();
    }

    using TThread::Synchronize;
    using TThread::WaitWhileSuspended;

protected:
    void Execute() override { Body(*this); }

private:
    std::function<void(TLambdaThread&)> Body;
    TSignal* Destroyed;
    std::thread::id* DestroyedOn;
};

std::shared_ptr<TLambdaThread> StartLambda(std::function<void(TLambdaThread&)> body) {
    return TThread::Create<TLambdaThread>(false, std::move(body));
}

TEST(ThreadTest, WaitForOnTheGuiThreadServesTheThreadsSynchronisedCalls) {
    constexpr int callCount = 5;
    int ranOnGui = 0;
    auto thread = StartLambda([&](TLambdaThread& self) {
        for (int i = 0; i < callCount; ++i)
            self.Synchronize([&] { ranOnGui += IsMainThread() ? 1 : 0; });
    });
    thread->WaitFor(); // would never return if it did not run the queued calls
    EXPECT_TRUE(thread->Finished());
    EXPECT_EQ(ranOnGui, callCount);
}

TEST(ThreadTest, ASynchronisedCallMayWaitForAThreadWhoseCallRanBeforeIt) {
    TSignal queued;
    SetWakeMainThread([&] { queued.Raise(); });
    auto first = StartLambda([](TLambdaThread& self) { self.Synchronize([] {}); });
    ASSERT_TRUE(queued.WaitFor(1));
    auto second =
        StartLambda([&](TLambdaThread& self) { self.Synchronize([&] { first->WaitFor(); }); });
    ASSERT_TRUE(queued.WaitFor(2));
    CheckSynchronize(); // runs first's call, then second's, which waits for first's end
    second->WaitFor();
    SetWakeMainThread(nullptr);
    EXPECT_TRUE(first->Finished());
    EXPECT_FALSE(first->FatalException());
    EXPECT_FALSE(second->FatalException());
}

TEST(ThreadTest, WaitForFromAnotherThreadReturnsAfterTheEnd) {
    TSignal release;
    bool bodyDone = false;
    auto thread = StartLambda([&](TLambdaThread&) {
        release.WaitFor();
        bodyDone = true;
    });
    bool sawBodyDone = false;
    std::thread waiter([&] {
        thread->WaitFor();
        sawBodyDone = bodyDone;
    });
    release.Raise();
    waiter.join();
    EXPECT_TRUE(sawBodyDone);
}

TEST(ThreadTest, ASuspendedThreadWaitsAtItsSuspensionPointUntilResumed) {
    TSignal gate;
    TSignal beforePoint;
    std::atomic<pid_t> worker{0};
    std::atomic<bool> afterPoint{false};
    auto thread = StartLambda([&](TLambdaThread& self) {
        worker = ThisThreadId();
        gate.WaitFor();
        beforePoint.Raise();
        self.WaitWhileSuspended();
        afterPoint = true;
    });
    thread->SetSuspended(true);
    gate.Raise();
    ASSERT_TRUE(beforePoint.WaitFor());
    // Asleep at the suspension point - or, were it no such point, past it and
    // asleep in its end's hand-over or gone.
    ASSERT_TRUE(WaitUntilThreadSleeps(worker));
    EXPECT_FALSE(afterPoint.load()) << "went past the suspension point while suspended";
    EXPECT_TRUE(thread->GetSuspended());
    thread->SetSuspended(false);
    thread->WaitFor();
    EXPECT_TRUE(afterPoint.load());
}

TEST(ThreadTest, ACreatedSuspendedThreadRunsItsBodyOnlyAfterResume) {
    std::atomic<bool> bodyRan{false};
    auto thread = TThread::Create<TLambdaThread>(true, [&](TLambdaThread&) { bodyRan = true; });
    EXPECT_TRUE(thread->GetSuspended());
    EXPECT_FALSE(bodyRan.load());
    thread->SetSuspended(false);
    thread->WaitFor();
    EXPECT_TRUE(bodyRan.load());
}

TEST(ThreadTest, TerminateWakesASuspendedThread) {
    TSignal gate;
    TSignal atPoint;
    std::atomic<pid_t> worker{0};
    std::atomic<bool> sawTerminate{false};
    auto thread = StartLambda([&](TLambdaThread& self) {
        worker = ThisThreadId();
        gate.WaitFor();
        atPoint.Raise();
        self.WaitWhileSuspended();
        sawTerminate = self.Terminated();
    });
    thread->SetSuspended(true);
    gate.Raise();
    ASSERT_TRUE(atPoint.WaitFor());
    ASSERT_TRUE(WaitUntilThreadSleeps(worker)); // asleep before the request comes
    thread->Terminate();
    {
        const Watchdog watchdog("waiting for a terminated suspended thread");
        thread->WaitFor();
    }
    EXPECT_TRUE(sawTerminate.load());
}

TEST(ThreadTest, AThreadFreesItselfAfterItsBodyWhenTheOwnerLetGo) {
    TSignal gate;
    TSignal destroyed;
    std::thread::id destroyedOn;
    std::weak_ptr<TLambdaThread> watcher;
    std::atomic<bool> bodyFinished{false};
    {
        auto thread = TThread::Create<TLambdaThread>(
            false,
            [&](TLambdaThread&) {
                gate.WaitFor();
                bodyFinished = true;
            },
            &destroyed, &destroyedOn);
        watcher = thread;
    }
    EXPECT_FALSE(watcher.expired()) << "destroyed while its body runs";
    if (auto alive = watcher.lock()) {
        EXPECT_FALSE(alive->Finished());
    }
    gate.Raise();
    ASSERT_TRUE(destroyed.WaitFor());
    EXPECT_TRUE(bodyFinished.load());
    EXPECT_TRUE(watcher.expired());
    EXPECT_NE(destroyedOn, std::this_thread::get_id());
}

TEST(ThreadTest, AnOwnerHoldingAWeakReferenceCanTerminateAndWait) {
    TSignal destroyed;
    std::thread::id destroyedOn;
    std::weak_ptr<TLambdaThread> reader = TThread::Create<TLambdaThread>(
        false,
        [](TLambdaThread& self) {
            for (int i = 0; i < 1'000'000'000 && !self.Terminated(); ++i)
                self.WaitWhileSuspended();
        },
        &destroyed, &destroyedOn);
    if (auto alive = reader.lock()) {
        alive->Terminate();
        alive->WaitFor();
        EXPECT_TRUE(alive->Finished());
    }
    ASSERT_TRUE(destroyed.WaitFor());
    EXPECT_TRUE(reader.expired());
}

TEST(ThreadTest, DroppingAnUnresumedThreadEndsItWithoutRunningTheBody) {
    TSignal destroyed;
    std::thread::id destroyedOn;
    std::atomic<bool> bodyRan{false};
    TThread::Create<TLambdaThread>(
        true, [&](TLambdaThread&) { bodyRan = true; }, &destroyed, &destroyedOn);
    EXPECT_EQ(destroyed.Raised(), 1);
    EXPECT_EQ(destroyedOn, std::this_thread::get_id());
    EXPECT_FALSE(bodyRan.load());
}

TEST(ThreadTest, WhatEscapesTheBodyIsKeptAndTheNoticeRunsOnTheGuiThread) {
    bool noticeOnGui = false;
    TObject* noticeSender = nullptr;
    auto thread = std::make_shared<TLambdaThread>(
        false, [](TLambdaThread&) { throw std::logic_error("body"); });
    thread->OnTerminate = [&](TObject* sender) {
        noticeOnGui = IsMainThread();
        noticeSender = sender;
    };
    thread->Start();
    thread->WaitFor();
    EXPECT_TRUE(noticeOnGui);
    EXPECT_EQ(noticeSender, thread.get());
    ASSERT_TRUE(thread->FatalException());
    EXPECT_THROW(std::rethrow_exception(thread->FatalException()), std::logic_error);
}

TEST(ThreadTest, MisuseIsRefused) {
    TLambdaThread unowned(false, [](TLambdaThread&) {});
    EXPECT_THROW(unowned.Start(), EThread);
    unowned.WaitFor(); // never started: nothing to wait for

    auto started = StartLambda([](TLambdaThread& self) { self.WaitFor(); });
    EXPECT_THROW(started->Start(), EThread);
    started->WaitFor();
    ASSERT_TRUE(started->FatalException());
    EXPECT_THROW(std::rethrow_exception(started->FatalException()), EThread);
}

} // namespace
