// Cutting received text after its line ends: every byte kept, in order, and
// each piece holding at most one line end, at its end.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "net/telnet/ReceivedLines.h"

namespace {

struct LinesRow {
    const char* Name;
    std::string Text;
    std::vector<std::string> Pieces;
};

class ReceivedLines : public ::testing::TestWithParam<LinesRow> {};

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string_view> views;
    SplitAfterLineEnds(text, views);
    return {views.begin(), views.end()};
}

TEST_P(ReceivedLines, CutsAfterEachLineEnd) {
    EXPECT_EQ(Split(GetParam().Text), GetParam().Pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReceivedLines,
    ::testing::Values(
        LinesRow{"Empty", "", {""}}, LinesRow{"NoLineEnd", "$ ", {"$ "}},
        LinesRow{"OneLine", "> 2001 MEM 87 00 01 00 01\r\n", {"> 2001 MEM 87 00 01 00 01\r\n"}},
        LinesRow{"ThreeAnswers", "a\r\nb\r\nc\r\n", {"a\r\n", "b\r\n", "c\r\n"}},
        LinesRow{"PartialLast", "a\r\nb", {"a\r\n", "b"}},
        LinesRow{"BareLf", "a\nb\n", {"a\n", "b\n"}}, LinesRow{"BareCr", "a\rb\r", {"a\r", "b\r"}},
        LinesRow{"CrNul", std::string("a\r\0b", 4), {"a\r", std::string("\0b", 2)}},
        LinesRow{"EmptyLines", "\r\n\r\n", {"\r\n", "\r\n"}},
        LinesRow{"LfCr", "a\n\rb", {"a\n", "\r", "b"}}, LinesRow{"OnlyCr", "\r", {"\r"}},
        LinesRow{"CrBeforeCrLf", "a\r\r\nb", {"a\r", "\r\n", "b"}},
        LinesRow{"CrLfInsideLfRun", "\n\r\n\n", {"\n", "\r\n", "\n"}},
        // Text is examined 64 bytes at a time: a CR LF and a bare CR across that boundary.
        LinesRow{"CrLfAcrossBlocks",
                 std::string(63, 'a') + "\r\nb",
                 {std::string(63, 'a') + "\r\n", "b"}},
        LinesRow{
            "BareCrAtBlockEnd", std::string(63, 'a') + "\rb", {std::string(63, 'a') + "\r", "b"}}),
    [](const ::testing::TestParamInfo<LinesRow>& info) { return std::string(info.param.Name); });

// Random text of CR, LF, NUL and letters: the pieces give back the text, and
// each holds exactly one line end, at its end (a CR LF counting as one), but
// the last, which may hold none.
TEST(ReceivedLinesRandom, EveryPieceEndsAtItsOnlyLineEnd) {
    std::mt19937 random(854);
    const std::string alphabet("ab\r\n\0\xff", 6);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += alphabet[pick(random)];
    std::vector<std::string_view> pieces;
    SplitAfterLineEnds(text, pieces);

    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::string_view piece = pieces[i];
        ASSERT_FALSE(piece.empty()) << "piece " << i;
        joined += piece;
        const bool last = i + 1 == pieces.size();
        const bool endsInCrLf = piece.size() >= 2 && piece.substr(piece.size() - 2) == "\r\n";
        const size_t inner = piece.size() - (endsInCrLf ? 2 : 1);
        ASSERT_EQ(piece.substr(0, inner).find_first_of("\r\n"), std::string_view::npos)
            << "piece " << i;
        if (last) continue;
        const char end = piece.back();
        ASSERT_TRUE(end == '\n' || end == '\r') << "piece " << i;
        if (end == '\r') {
            ASSERT_NE(pieces[i + 1].front(), '\n') << "piece " << i << " splits a CR LF";
        }
    }
    EXPECT_EQ(joined, text);
}

TEST(ReceivedLinesReuse, ASecondChunkLeavesNoPieceOfTheFirst) {
    std::vector<std::string_view> pieces;
    SplitAfterLineEnds("a\r\nb\r\nc\r\n", pieces);
    const std::string second = "d\r\ne";
    SplitAfterLineEnds(second, pieces);
    EXPECT_EQ(pieces, (std::vector<std::string_view>{"d\r\n", "e"}));
}

} // namespace
