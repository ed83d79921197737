// The lookup with a deadline: its answer or its error in time, and a lookup
// that hangs left behind at the deadline.
#include <gtest/gtest.h>

#include <future>

#include "net/stack/IdException.h"
#include "net/tcp/ResolveWithin.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(ResolveWithinTest, GivesTheLookupsAnswerOrError) {
    const auto later = Clock::now() + std::chrono::hours(1);
    EXPECT_EQ(ResolveWithin([] { return std::string("10.1.2.3"); }, later), "10.1.2.3");
    EXPECT_THROW(ResolveWithin([]() -> std::string { throw EIdConnClosedGracefully(); }, later),
                 EIdConnClosedGracefully);
}

TEST(ResolveWithinTest, ALookupThatHangsFailsAtTheDeadlineAndEndsLater) {
    auto release = std::make_shared<std::promise<void>>();
    auto ended = std::make_shared<std::promise<void>>();
    const std::shared_future<void> released = release->get_future().share();
    std::future<void> lookupEnded = ended->get_future();
    EXPECT_THROW(ResolveWithin(
                     [released, ended] {
                         released.wait();
                         ended->set_value();
                         return std::string("10.1.2.3");
                     },
                     Clock::now() + std::chrono::milliseconds(50)),
                 EIdResolveTimedOut);
    release->set_value();
    // The abandoned lookup still runs to its end, and nothing waits for its answer.
    lookupEnded.wait();
}

} // namespace
