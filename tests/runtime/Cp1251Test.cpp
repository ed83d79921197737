// The code page edge: every byte survives a round trip, and what the code
// page cannot hold, or what is no UTF-8, becomes the substitute byte.
#include <gtest/gtest.h>

#include "runtime/Cp1251.h"

TEST(Cp1251, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(Cp1251, CyrillicAndPunctuationMapToTheirCharacters) {
    EXPECT_EQ(Cp1251ToUtf8("BQ \xE0\xE4\xF0\xE5\xF1:"), "BQ адрес:");
    EXPECT_EQ(Cp1251ToUtf8("\xA8\xB8\xB9\x88"), "Ёё№€");
    EXPECT_EQ(Utf8ToCp1251("Перезагрузка"), "\xCF\xE5\xF0\xE5\xE7\xE0\xE3\xF0\xF3\xE7\xEA\xE0");
}

TEST(Cp1251, WhatTheCodePageLacksOrIsNoUtf8BecomesTheSubstitute) {
    EXPECT_EQ(Utf8ToCp1251("a\xC3\xA9z"), "a\x1Az");         // é is not in the code page
    EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x93\xA1!"), "\x1A!");   // nor is any emoji
    EXPECT_EQ(Utf8ToCp1251("\xE0\xE1"), "\x1A\x1A");         // cut sequences, byte by byte
    EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "\x1A\x1A");         // an overlong slash
    EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "\x1A\x1A\x1A"); // a surrogate
}
