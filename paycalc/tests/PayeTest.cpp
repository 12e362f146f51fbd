#include "paycalc/tests/PaycalcFixture.h"

#include <gtest/gtest.h>

namespace kelo::paycalc {
namespace {

using testing::Engine;

TEST(Paye, ShippedBandsByAmount) {
    Engine e;
    struct Case {
        double chargeable;
        long tax;
    };
    // 8 % to 520,000; 20,000 + 20 % to 760,000; 68,000 + 25 % to 1,000,000;
    // 128,000 + 30 % above.
    const Case cases[] = {
        {-5, 0},
        {0, 0},
        {270'000, 0},
        {270'001, 0},
        {270'012.5, 1},
        {520'000, 20'000},
        {520'001, 20'000},
        {760'000, 68'000},
        {900'000, 103'000},
        {1'000'000, 128'000},
        {1'000'003, 128'000},
        {1'500'000, 278'000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(e.calc.PAYE(c.chargeable, false), c.tax) << c.chargeable;
}

TEST(Paye, TopRateOneBandAndNoBands) {
    Engine e;
    EXPECT_EQ(e.calc.PAYE(100'000, true), 30'000);
    EXPECT_EQ(e.calc.PAYE(0, true), 0);
    EXPECT_EQ(e.calc.PAYE(333.33, true), 99);

    CALCPAYE one;
    const unsigned long limit[] = {0};
    const float rate[] = {15};
    one.setBands(limit, rate, 1);
    EXPECT_EQ(one.topBand, 0);
    EXPECT_EQ(one.PAYE(1'000, false), 150);
    EXPECT_EQ(one.PAYE(1'000, true), 150);

    // A year without bands taxes nothing instead of reading outside the table.
    CALCPAYE none;
    none.setBands(limit, rate, 0);
    EXPECT_EQ(none.topBand, -1);
    EXPECT_EQ(none.PAYE(1'000'000, false), 0);
    EXPECT_EQ(none.PAYE(1'000'000, true), 0);
}

} // namespace
} // namespace kelo::paycalc
