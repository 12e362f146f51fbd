#include "payrunreports/CoinCount.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports {
namespace {

using Counts = std::vector<int>;

TEST(CoinCountTest, AmountsAreCountedGreedilyFromTheLargestNote) {
    struct Case {
        double amount;
        Counts counts; // 10000, 5000, 2000, 1000, 500, 200, 100, 50, 20, 10
    };
    const Case cases[] = {
        // 10000 + 5000 + 20 + 10; the 5 left over is not counted.
        {15035, {1, 1, 0, 0, 0, 0, 0, 0, 1, 1}},
        // 5000 + 2 x 2000 + 500 + 2 x 200 + 50 + 2 x 20.
        {9990, {0, 1, 2, 0, 1, 2, 0, 1, 2, 0}},
        // Truncated to 38,880: 3 x 10000 and one of every other.
        {38880.75, {3, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        // Truncated to 19: one 10, the 9 uncounted.
        {19.99, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {10, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {9.99, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {-500, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {360000, {36, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(countCoins(c.amount, defaultDenominations()), c.counts) << c.amount;
}

TEST(CoinCountTest, AnotherListOfNotesAndCoinsIsCountedTheSameWay) {
    struct Case {
        double amount;
        Denominations denominations;
        Counts counts;
    };
    const Case cases[] = {
        // Truncated to 71: 50 + 20 + 2 x 0.50.
        {71.9, {50, 20, 0.5}, {1, 1, 2}},
        // 0.10 ten times makes the last shilling: no coin is lost to rounding.
        {3, {2, 0.1}, {1, 10}},
        {7000, {5000}, {1}},
        {7000, {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(countCoins(c.amount, c.denominations), c.counts) << c.amount;
}

TEST(CoinCountTest, TheChosenNotesAndCoinsAreTheDefaultListsBitsFromTheLargest) {
    struct Case {
        int chosen;
        Denominations denominations;
    };
    const Denominations all{10000, 5000, 2000, 1000, 500, 200, 100, 50, 20, 10};
    const Case cases[] = {
        {0x3FF, all},
        {0xFF, {10000, 5000, 2000, 1000, 500, 200, 100, 50}}, // no 20 or 10
        {0x1, {10000}},
        {0x200, {10}},
        {0x2A2, {5000, 200, 50, 10}}, // bits 1, 5, 7 and 9
        // A bit beyond the ten is no note of the list.
        {0x7FF, all},
        {0x500, {20}},
        // Nothing chosen of the ten: all of them, as before the option.
        {0, all},
        {0x400, all},
        {-1, all},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chosenDenominations(c.chosen), c.denominations) << c.chosen;
}

TEST(CoinCountTest, TheSummaryAddsTheCountsPerDenomination) {
    const std::vector<Counts> counts{{1, 0, 2}, {0, 3, 1}};
    EXPECT_EQ(coinTotals(counts, {100, 50, 20}),
              (std::vector<CoinTotal>{{100, 1, 100}, {50, 3, 150}, {20, 3, 60}}));
    EXPECT_EQ(coinTotals({}, {100}), (std::vector<CoinTotal>{{100, 0, 0}}));
}

TEST(CoinCountTest, DenominationsArePrintedWholeOrInCents) {
    EXPECT_EQ(defaultDenominations(),
              (Denominations{10000, 5000, 2000, 1000, 500, 200, 100, 50, 20, 10}));
    EXPECT_EQ(denominationText(10000), "10000");
    EXPECT_EQ(denominationText(1), "1");
    EXPECT_EQ(denominationText(0.5), "0.50");
}

} // namespace
} // namespace kelo::payrunreports
