#include "options/OptionText.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace options;

TEST(OptionText, Writers) {
    EXPECT_EQ(IntText(-490), "-490");
    EXPECT_EQ(BoolText(true), "1");
    EXPECT_EQ(PairText(40000, -5), "[40000, -5]");
    EXPECT_EQ(ColorText(1, 0.5f, 0, 0.25f), "[1.000000, 0.500000, 0.000000, 0.250000]");
    EXPECT_EQ(FloatText(3), "3.00000");
    EXPECT_EQ(RectText(1, 2, 3, 4), "[1, 2, 3, 4]");
}

TEST(OptionText, ReadersFillWhatMatches) {
    struct IntCase {
        const char* text;
        int value;
    } ints[] = {{"490", 490},
                {"  -7", -7},
                {"+3", 3},
                {"12abc", 12},
                {"abc", 0},
                {"", 0},
                {"99999999999", 2147483647},
                {"-99999999999", -2147483647 - 1}};
    for (const auto& c : ints) EXPECT_EQ(ParseInt(c.text), c.value) << c.text;

    EXPECT_TRUE(ParseBool("1"));
    EXPECT_TRUE(ParseBool("-1"));
    EXPECT_FALSE(ParseBool("yes"));  // not a number: 0

    EXPECT_EQ(ParsePair("[40000, 40000]"), std::make_pair(40000, 40000));
    EXPECT_EQ(ParsePair("[5,6]"), std::make_pair(5, 6));
    EXPECT_EQ(ParsePair("[5"), std::make_pair(5, 0));
    EXPECT_EQ(ParsePair("5, 6"), std::make_pair(0, 0));

    const Color c = ParseColor("[1.000000, 0.500000, 0.250000, 0.000000]");
    EXPECT_FLOAT_EQ(c.g, 0.5f);
    EXPECT_FLOAT_EQ(c.b, 0.25f);
    const Color partial = ParseColor("[0.5, x, 1, 1]");
    EXPECT_FLOAT_EQ(partial.r, 0.5f);
    EXPECT_FLOAT_EQ(partial.g, 0.0f);
    EXPECT_FLOAT_EQ(partial.b, 0.0f);  // fields after the first mismatch stay 0

    EXPECT_EQ(ParseRect("[10, 20, 1100, 650]"), (std::array<int, 4>{10, 20, 1100, 650}));
}

TEST(OptionText, NumbersIgnoreTheUserLocale) {
    // A German locale writes 0,5 with printf; the option texts must not change with it.
    if (setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 not generated";
    EXPECT_EQ(ColorText(1, 0.5f, 0, 0), "[1.000000, 0.500000, 0.000000, 0.000000]");
    EXPECT_EQ(FloatText(0.5f), "0.50000");
    EXPECT_FLOAT_EQ(ParseColor("[0.5, 0.5, 0.5, 0.5]").a, 0.5f);
    setlocale(LC_ALL, "C");
}
