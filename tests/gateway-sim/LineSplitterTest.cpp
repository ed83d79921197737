// Line assembly: the three line ends, characters one at a time, the length cap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gateway-sim/LineSplitter.h"

namespace {

// Lines as texts, an overflow as "<overflow>".
std::vector<std::string> Split(const std::string& input, size_t maxLength = 8) {
    TLineSplitter splitter(maxLength);
    std::vector<std::string> lines;
    for (const char c : input) {
        if (const auto event = splitter.Push(c))
            lines.push_back(event->Kind == TLineEventKind::Overflow ? "<overflow>" : event->Text);
    }
    return lines;
}

struct Case {
    std::string input;
    std::vector<std::string> lines;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << testing::PrintToString(c.input);
}

class LineSplitterCases : public testing::TestWithParam<Case> {};

TEST_P(LineSplitterCases, GivesTheLines) {
    EXPECT_EQ(Split(GetParam().input), GetParam().lines) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, LineSplitterCases,
    testing::Values(Case{"ab\r", {"ab"}}, Case{"ab\n", {"ab"}}, Case{"ab\r\n", {"ab"}},
                    Case{"a\r\nb\rc\nd", {"a", "b", "c"}}, Case{"\r\r", {"", ""}},
                    Case{"\n\r", {"", ""}}, Case{"a\n\rb\r", {"a", "", "b"}},
                    Case{"\r\n\r\n", {"", ""}},
                    Case{std::string("a\0b\r", 4), {std::string("a\0b", 3)}},
                    Case{"12345678\r", {"12345678"}}, Case{"123456789\r", {"<overflow>"}},
                    Case{"123456789abcdefghij\rok\r", {"<overflow>", "ok"}},
                    Case{"123456789\r\nok\n", {"<overflow>", "ok"}}, Case{"open", {}},
                    Case{"ok\ropen", {"ok"}}));

TEST(LineSplitter, OverflowIsReportedOncePerLine) {
    EXPECT_EQ(Split(std::string(100000, 'x') + "\r", 1024), std::vector<std::string>{"<overflow>"});
}

} // namespace
