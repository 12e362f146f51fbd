#include "common/Money.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kelo::common {
namespace {

TEST(Money, RoundingHelpers) {
    struct Case {
        double amount;
        double rounded, cents, floored, truncated;
    };
    const Case cases[] = {
        {0.5, 1, 0.5, 0, 0},
        {2.5, 3, 2.5, 2, 2}, // printf would give 2
        {-2.5, -3, -2.5, -3, -2},
        {1234.4999, 1234, 1234.5, 1234, 1234},
        {35999.999999999996, 36000, 36000, 36000, 36000}, // binary noise of 36,000
        {1.005, 1, 1.01, 1, 1},
        {-0.4, -0.0, -0.4, -1, -0.0},
        {103000.75, 103001, 103000.75, 103000, 103000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(roundShillings(c.amount), c.rounded) << c.amount;
        EXPECT_EQ(roundCents(c.amount), c.cents) << c.amount;
        EXPECT_EQ(floorShillings(c.amount), c.floored) << c.amount;
        EXPECT_EQ(truncateShillings(c.amount), c.truncated) << c.amount;
    }
}

TEST(Money, PercentagesWhoseDecimalValueIsWholeStayWhole) {
    struct Case {
        double amount, rate, expected;
    };
    const Case cases[] = {
        {1000000, 3.6, 36000}, {123450, 10, 12345},        {1000000, 0.35, 3500},
        {1000000, 3.5, 35000}, {900000, 10, 90000},        {270000.01, 8, 21600.0008},
        {5000000, 0.07, 3500}, {333333, 33.3, 110999.889},
    };
    for (const Case& c : cases) {
        // Whole results are exact; others are the nearest doubles give.
        if (c.expected == std::round(c.expected))
            EXPECT_EQ(percentOf(c.amount, c.rate), c.expected) << c.rate << "% of " << c.amount;
        else
            EXPECT_DOUBLE_EQ(percentOf(c.amount, c.rate), c.expected)
                << c.rate << "% of " << c.amount;
        EXPECT_EQ(floorShillings(percentOf(c.amount, c.rate)), floorShillings(c.expected))
            << c.rate << "% of " << c.amount;
    }
    EXPECT_EQ(monthlyRate(12), 0.01);
    EXPECT_EQ(decimalOf(3.6f), 3.6);
    EXPECT_EQ(decimalOf(0.35f), 0.35);
    EXPECT_EQ(floorShillings(percentOf(1000000, decimalOf(3.6f))), 36000);
    EXPECT_EQ(monthlyRate(6), 0.005);
}

TEST(Money, ThousandsSeparatorsAndKeyedNumbers) {
    struct Case {
        double amount;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, "0"},
        {999, 0, "999"},
        {1000, 0, "1,000"},
        {1234567, 0, "1,234,567"},
        {-1234.5, 2, "-1,234.50"},
        {-0.4, 0, "0"},
        {1000000.5, 0, "1,000,001"},
        {123456789012.0, 0, "123,456,789,012"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withThousands(c.amount, c.decimals), c.text) << c.amount;
    // As printf's %.*f, with a point in every locale.
    const Case fixed[] = {{12.5, 2, "12.50"},
                          {200000, 0, "200000"},
                          {-0.125, 2, "-0.12"},
                          {1e20, 1, "100000000000000000000.0"},
                          {3.6f, 2, "3.60"}};
    for (const Case& c : fixed)
        EXPECT_EQ(fixedText(c.amount, c.decimals), c.text) << c.amount;
    double value = -1;
    EXPECT_TRUE(parseAmount("1,234,567.50", value));
    EXPECT_EQ(value, 1234567.5);
    EXPECT_TRUE(parseAmount(" ", value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(parseAmount("12a", value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(parseAmount("1e999", value));
}

} // namespace
} // namespace kelo::common
