// The message of the application's exception display and its full stop.
#include <gtest/gtest.h>
#include <stdexcept>

#include "app/ExceptionDisplay.h"
#include "runtime/Exception.h"

namespace {

struct TStopRow {
    const char* Message;
    const char* Shown;
};

class FullStopTest : public ::testing::TestWithParam<TStopRow> {};

TEST_P(FullStopTest, StopFollowsACharacterAboveTheStop) {
    EXPECT_EQ(ExceptionDisplayMessage(std::make_exception_ptr(Exception(GetParam().Message))),
              GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    ExceptionDisplay, FullStopTest,
    ::testing::Values(TStopRow{"server not responding", "server not responding."},
                      TStopRow{"Connected.", "Connected."}, TStopRow{"a,", "a,"},
                      TStopRow{"a-", "a-"}, TStopRow{"a/", "a/."}, TStopRow{"42", "42."},
                      TStopRow{"done!", "done!"}, TStopRow{"", ""},
                      TStopRow{"\xCE\xF8\xE8\xE1\xEA\xE0", "\xCE\xF8\xE8\xE1\xEA\xE0."},
                      TStopRow{"\x7F", "\x7F."}));

TEST(ExceptionDisplay, AnythingOutsideTheFamilyShowsAnEmptyMessage) {
    EXPECT_EQ(ExceptionDisplayMessage(std::make_exception_ptr(std::runtime_error("hidden"))), "");
    EXPECT_EQ(ExceptionDisplayMessage(std::make_exception_ptr(42)), "");
}

} // namespace
