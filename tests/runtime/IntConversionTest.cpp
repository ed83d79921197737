// The shared integer conversion: accepted forms, rejected forms and messages.
#include <gtest/gtest.h>

#include "runtime/Exception.h"
#include "runtime/IntConversion.h"

namespace {

struct Accepted {
    const char* text;
    int32_t value;
};

class IntConversionAccepts : public testing::TestWithParam<Accepted> {};

TEST_P(IntConversionAccepts, GivesTheValue) {
    EXPECT_EQ(StrToInt(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, IntConversionAccepts,
    testing::Values(Accepted{"0", 0}, Accepted{"5556", 5556}, Accepted{"   42", 42},
                    Accepted{"+7", 7}, Accepted{"-7", -7}, Accepted{"007", 7},
                    Accepted{"2147483647", 2147483647}, Accepted{"-2147483648", INT32_MIN},
                    Accepted{"$1A", 0x1A}, Accepted{"x1a", 0x1A}, Accepted{"X1A", 0x1A},
                    Accepted{"0x0B", 11}, Accepted{"0XfE", 254}, Accepted{"  0xFFFF", 0xFFFF},
                    Accepted{"0x7FFFFFFF", 2147483647}, Accepted{"0x80000000", INT32_MIN},
                    Accepted{"0xFFFFFFFF", -1}, Accepted{"$000000001", 1}));

class IntConversionRejects : public testing::TestWithParam<const char*> {};

TEST_P(IntConversionRejects, RaisesWithTheWholeText) {
    const std::string text = GetParam();
    try {
        StrToInt(text);
        FAIL() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'" + text + "' is not a valid integer value");
    }
    int32_t value = 0;
    EXPECT_FALSE(TryStrToInt(text, value));
}

INSTANTIATE_TEST_SUITE_P(Forms, IntConversionRejects,
                         testing::Values("", " ", "+", "-", "$", "0x", "x", "12 ", "1a", "abc",
                                         "0xG1", "-0x10", "+$10", "\t5", "2147483648",
                                         "-2147483649", "0x100000000", "$123456789", "1.5", "5556x",
                                         "1 2"));

} // namespace
