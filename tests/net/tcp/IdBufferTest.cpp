// The byte buffer: front removal, its limits, and byte-exact text.
#include <gtest/gtest.h>

#include "net/stack/IdException.h"
#include "net/tcp/IdBuffer.h"

namespace {

TIdBuffer Holding(const std::string& bytes) {
    TIdBuffer buffer;
    buffer.Append(bytes.data(), static_cast<int32_t>(bytes.size()));
    return buffer;
}

struct Discard {
    std::string before;
    int32_t count;
    std::string after;
};

void PrintTo(const Discard& row, std::ostream* out) {
    *out << row.before.size() << " bytes less " << row.count;
}

class IdBufferDiscardFront : public testing::TestWithParam<Discard> {};

TEST_P(IdBufferDiscardFront, KeepsTheRestInOrder) {
    TIdBuffer buffer = Holding(GetParam().before);
    buffer.DiscardFront(GetParam().count);
    EXPECT_EQ(buffer.Text(buffer.Size()), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Counts, IdBufferDiscardFront,
                         testing::Values(Discard{"abcdef", 0, "abcdef"},
                                         Discard{"abcdef", 2, "cdef"}, Discard{"abcdef", 5, "f"},
                                         Discard{"abcdef", 6, ""}, Discard{"abcdef", -1, "abcdef"},
                                         Discard{"", 0, ""}));

TEST(IdBuffer, DiscardingMoreThanHeldRaisesAndKeepsEverything) {
    TIdBuffer buffer = Holding("abc");
    try {
        buffer.DiscardFront(4);
        FAIL() << "no exception";
    } catch (const EIdNotEnoughDataInBuffer& e) {
        EXPECT_EQ(e.Message, "Not enough data in buffer.");
    }
    EXPECT_EQ(buffer.Text(buffer.Size()), "abc");
}

struct Take {
    std::string before;
    int32_t count;
    std::string taken;
    std::string after;
};

void PrintTo(const Take& row, std::ostream* out) {
    *out << "take " << row.count << " of " << row.before.size();
}

class IdBufferTakeFront : public testing::TestWithParam<Take> {};

TEST_P(IdBufferTakeFront, ReturnsTheFrontAndKeepsTheRest) {
    TIdBuffer buffer = Holding(GetParam().before);
    EXPECT_EQ(buffer.TakeFront(GetParam().count), GetParam().taken);
    EXPECT_EQ(buffer.Text(buffer.Size()), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Counts, IdBufferTakeFront,
                         testing::Values(Take{"abcdef", 0, "", "abcdef"},
                                         Take{"abcdef", 2, "ab", "cdef"},
                                         Take{"abcdef", 6, "abcdef", ""},
                                         Take{"abcdef", -1, "", "abcdef"}, Take{"", 0, "", ""}));

TEST(IdBuffer, TakingMoreThanHeldRaisesAndKeepsEverything) {
    TIdBuffer buffer = Holding("abc");
    EXPECT_THROW(buffer.TakeFront(4), EIdNotEnoughDataInBuffer);
    EXPECT_EQ(buffer.Text(buffer.Size()), "abc");
}

// Taking everything hands the memory over; the buffer must start again from nothing.
TEST(IdBuffer, AfterTakingEverythingOnlyNewBytesAreHeld) {
    TIdBuffer buffer = Holding(std::string(40000, 'x'));
    EXPECT_EQ(buffer.TakeFront(buffer.Size()).size(), 40000u);
    EXPECT_EQ(buffer.Size(), 0);
    buffer.Append("yz", 2);
    EXPECT_EQ(buffer.Text(buffer.Size()), "yz");
}

TEST(IdBuffer, FindsTheFirstOccurrenceAcrossZeroBytes) {
    const TIdBuffer buffer = Holding(std::string("a\0b\r\nc\r\n", 8));
    EXPECT_EQ(buffer.Find("\r\n"), 3);
    EXPECT_EQ(buffer.Find(std::string("\0b", 2)), 1);
    EXPECT_EQ(buffer.Find("x"), -1);
    EXPECT_EQ(TIdBuffer().Find("\n"), -1);
}

TEST(IdBuffer, ResizingKeepsTheFrontAndRefusesNegativeSizes) {
    TIdBuffer buffer = Holding("abcdef");
    buffer.SetSize(3);
    EXPECT_EQ(buffer.Text(10), "abc");
    buffer.SetSize(-5);
    EXPECT_EQ(buffer.Size(), 0);
}

} // namespace
