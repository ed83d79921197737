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
                         testing::Values(Discard{"abcdef", 0, "abcdef"}, Discard{"abcdef", 2, "cdef"},
                                         Discard{"abcdef", 5, "f"}, Discard{"abcdef", 6, ""},
                                         Discard{"abcdef", -1, "abcdef"}, Discard{"", 0, ""}));

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
