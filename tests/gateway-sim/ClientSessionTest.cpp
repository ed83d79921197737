// A client's sends without a socket: split pieces, delays on an injected
// clock, close-after.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gateway-sim/ClientSession.h"

namespace {

using namespace std::chrono_literals;

const std::string TypeLine = "< 2001 GET_MEM 87 00 01 00\r";
const std::string TypeAnswer = "> 2001 MEM 87 00 01 00 01\r\n";

std::vector<std::string> Drain(TClientSession& session) {
    std::vector<std::string> sends;
    for (int i = 0; i < 10000 && session.NextSend(); ++i) {
        sends.push_back(*session.NextSend());
        session.Sent(sends.back().size());
    }
    return sends;
}

std::string Joined(const std::vector<std::string>& pieces) {
    std::string all;
    for (const std::string& piece : pieces)
        all += piece;
    return all;
}

TEST(ClientSession, SplitCutsEachAnswerIntoSeparateSends) {
    TSimOptions options;
    options.Split = 4;
    TDeviceMemory memory;
    TClientSession session(1, options, memory);
    session.Receive(TypeLine + TypeLine, TSimClock::now());
    const std::vector<std::string> sends = Drain(session);
    EXPECT_EQ(Joined(sends), TypeAnswer + TypeAnswer);
    // each answer is cut on its own: 27 bytes give six pieces of 4 and one of 3
    ASSERT_EQ(sends.size(), 14U);
    EXPECT_EQ(sends[6], "1\r\n");
    for (const std::string& piece : sends)
        EXPECT_LE(piece.size(), 4U);
    EXPECT_EQ(session.QueuedBytes(), 0U);
}

TEST(ClientSession, DelayHoldsAnswersUntilDueWithoutHoldingEcho) {
    TSimOptions options;
    options.DelayMs = 250;
    options.Echo = true;
    TDeviceMemory memory;
    TClientSession session(1, options, memory);
    const TSimClock::time_point start{};
    session.Receive(TypeLine, start);
    session.Receive(TypeLine, start + 100ms);
    EXPECT_EQ(session.NextDue(), start + 250ms);
    EXPECT_EQ(Joined(Drain(session)),
              "< 2001 GET_MEM 87 00 01 00\r\n< 2001 GET_MEM 87 00 01 00\r\n");
    session.Release(start + 249ms);
    EXPECT_EQ(session.NextSend(), nullptr);
    session.Release(start + 250ms);
    EXPECT_EQ(Joined(Drain(session)), TypeAnswer);
    EXPECT_EQ(session.NextDue(), start + 350ms);
    session.Release(start + 1s);
    EXPECT_EQ(Joined(Drain(session)), TypeAnswer);
    EXPECT_EQ(session.NextDue(), std::nullopt);
}

TEST(ClientSession, CloseAfterCountsNonEmptyLinesAndDropsTheRest) {
    TSimOptions options;
    options.CloseAfter = 2;
    TDeviceMemory memory;
    TClientSession session(1, options, memory);
    session.Receive("\r\n\r" + TypeLine + "< 9999 RESET\r" + TypeLine, TSimClock::now());
    EXPECT_FALSE(session.Finished()); // the answer is still owed
    EXPECT_EQ(Joined(Drain(session)), TypeAnswer);
    EXPECT_TRUE(session.Finished());
    session.Receive(TypeLine, TSimClock::now());
    EXPECT_EQ(session.NextSend(), nullptr);
}

} // namespace
