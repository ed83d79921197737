// The synchronised call: worker calls run on the GUI thread (this test's main
// thread) in order, the worker waits for them, and exceptions travel back.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "runtime/Exception.h"
#include "runtime/Synchronize.h"
#include "tests/support/Signal.h"

namespace {

// Installs a wake hook that counts queued calls.
class SynchronizeTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(IsMainThread());
        SetWakeMainThread([this] { Queued.Raise(); });
    }
    void TearDown() override { SetWakeMainThread(nullptr); }

    TSignal Queued;
};

TEST_F(SynchronizeTest, WorkerCallRunsOnTheGuiThreadWhileTheWorkerWaits) {
    std::thread::id ranOn;
    bool ranAsMain = false;
    std::atomic<bool> workerReturned{false};
    std::thread worker([&] {
        Synchronize([&] {
            ranOn = std::this_thread::get_id();
            ranAsMain = IsMainThread();
        });
        workerReturned = true;
    });
    ASSERT_TRUE(Queued.WaitFor(1));
    EXPECT_FALSE(workerReturned.load()) << "the worker went on before its call ran";
    EXPECT_TRUE(CheckSynchronize());
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_TRUE(ranAsMain);
    EXPECT_FALSE(CheckSynchronize()) << "nothing left to run";
}

TEST_F(SynchronizeTest, CallsFromSeveralWorkersRunInQueueOrder) {
    constexpr int workerCount = 6;
    std::vector<int> order;
    std::vector<std::thread> workers;
    for (int i = 0; i < workerCount; ++i) {
        workers.emplace_back([&order, i] { Synchronize([&order, i] { order.push_back(i); }); });
        ASSERT_TRUE(Queued.WaitFor(i + 1)); // the next worker queues only after this one
    }
    EXPECT_TRUE(CheckSynchronize());
    for (std::thread& worker : workers)
        worker.join();
    std::vector<int> expected;
    for (int i = 0; i < workerCount; ++i)
        expected.push_back(i);
    EXPECT_EQ(order, expected);
}

TEST_F(SynchronizeTest, ExceptionReachesTheWorkerAsTheSameObject) {
    const void* thrown = nullptr;
    const void* caught = nullptr;
    std::string message;
    std::thread worker([&] {
        try {
            Synchronize([&] {
                try {
                    throw EConvertError("'2O01' is not a valid integer value");
                } catch (const EConvertError& e) {
                    thrown = &e;
                    throw;
                }
            });
        } catch (const EConvertError& e) {
            caught = &e;
            message = e.Message;
        }
    });
    ASSERT_TRUE(Queued.WaitFor(1));
    CheckSynchronize();
    worker.join();
    ASSERT_NE(caught, nullptr) << "the exception did not reach the worker as EConvertError";
    EXPECT_EQ(caught, thrown);
    EXPECT_EQ(message, "'2O01' is not a valid integer value");
}

TEST_F(SynchronizeTest, ARaisingCallDoesNotStopTheOnesQueuedAfterIt) {
    bool secondRan = false;
    bool firstRaised = false;
    std::thread first([&] {
        try {
            Synchronize([] { throw std::runtime_error("first"); });
        } catch (const std::runtime_error&) {
            firstRaised = true;
        }
    });
    ASSERT_TRUE(Queued.WaitFor(1));
    std::thread second([&] { Synchronize([&] { secondRan = true; }); });
    ASSERT_TRUE(Queued.WaitFor(2));
    CheckSynchronize();
    first.join();
    second.join();
    EXPECT_TRUE(firstRaised);
    EXPECT_TRUE(secondRan);
}

TEST_F(SynchronizeTest, OnTheGuiThreadTheCallRunsDirectly) {
    bool ran = false;
    Synchronize([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(Queued.Raised(), 0);
    EXPECT_THROW(Synchronize([] { throw Exception("direct"); }), Exception);
}

TEST_F(SynchronizeTest, DrainingFromAnotherThreadIsRefused) {
    bool refused = false;
    std::thread other([&] {
        try {
            CheckSynchronize();
        } catch (const Exception&) {
            refused = true;
        }
    });
    other.join();
    EXPECT_TRUE(refused);
}

TEST_F(SynchronizeTest, SetMainThreadMovesTheGuiRole) {
    bool otherIsMain = false;
    std::thread other([&] {
        SetMainThread();
        otherIsMain = IsMainThread();
    });
    other.join();
    const bool stillMain = IsMainThread();
    SetMainThread();
    EXPECT_TRUE(otherIsMain);
    EXPECT_FALSE(stillMain);
    EXPECT_TRUE(IsMainThread());
}

} // namespace
