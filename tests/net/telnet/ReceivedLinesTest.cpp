// Cutting received text after its line ends: every byte kept, in order, and
// each piece holding at most one line end, at its end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/telnet/ReceivedLines.h"

namespace {

struct LinesRow {
    const char* Name;
    std::string Text;
    std::vector<std::string> Pieces;
};

class ReceivedLines : public ::testing::TestWithParam<LinesRow> {};

TEST_P(ReceivedLines, CutsAfterEachLineEnd) {
    EXPECT_EQ(SplitAfterLineEnds(GetParam().Text), GetParam().Pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReceivedLines,
    ::testing::Values(
        LinesRow{"Empty", "", {""}},
        LinesRow{"NoLineEnd", "$ ", {"$ "}},
        LinesRow{"OneLine", "> 2001 MEM 87 00 01 00 01\r\n", {"> 2001 MEM 87 00 01 00 01\r\n"}},
        LinesRow{"ThreeAnswers", "a\r\nb\r\nc\r\n", {"a\r\n", "b\r\n", "c\r\n"}},
        LinesRow{"PartialLast", "a\r\nb", {"a\r\n", "b"}},
        LinesRow{"BareLf", "a\nb\n", {"a\n", "b\n"}},
        LinesRow{"BareCr", "a\rb\r", {"a\r", "b\r"}},
        LinesRow{"CrNul", std::string("a\r\0b", 4), {"a\r", std::string("\0b", 2)}},
        LinesRow{"EmptyLines", "\r\n\r\n", {"\r\n", "\r\n"}},
        LinesRow{"LfCr", "a\n\rb", {"a\n", "\r", "b"}},
        LinesRow{"OnlyCr", "\r", {"\r"}}),
    [](const ::testing::TestParamInfo<LinesRow>& info) { return std::string(info.param.Name); });

} // namespace
