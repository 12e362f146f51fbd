#include "paycalc/tests/PaycalcFixture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelo::paycalc {
namespace {

struct Bands {
    std::string name;
    std::vector<unsigned long> limits;
    std::vector<float> rates;

    CALCPAYE table() const {
        CALCPAYE t;
        t.setBands(limits.data(), rates.data(), static_cast<int>(rates.size()));
        return t;
    }
};

// The shipped 2025/26 bands: 0 % to 270,000; 8 % to 520,000; 20 % to 760,000;
// 25 % to 1,000,000; 30 % above.
const Bands kShipped{
    "2025/26", {270'000, 520'000, 760'000, 1'000'000, 1'000'000}, {0, 8, 20, 25, 30}};
// Round figures that make each band's share easy to see.
const Bands kSmall{"small", {100, 200, 200}, {0, 10, 20}};
// Only one band: its limit is never looked at.
const Bands kOne{"one band", {500}, {15}};
const Bands kNone{"no bands", {}, {}};
// A limit beyond any 32-bit value still compares as a whole number.
const Bands kHuge{"huge limit", {5'000'000'000UL, 5'000'000'000UL}, {10, 50}};

struct Case {
    const Bands* bands;
    double chargeable;
    bool topRateOnly;
    long tax;
};

const Case kCases[] = {
    // Nothing to tax.
    {&kShipped, -1'000'000, false, 0},
    {&kShipped, -5, false, 0},
    {&kShipped, 0, false, 0},
    {&kShipped, -5, true, 0},
    {&kShipped, 0, true, 0},
    // An amount equal to a band limit pays nothing at the rate above it.
    {&kShipped, 270'000, false, 0},
    {&kShipped, 520'000, false, 20'000},    // 8 % x 250,000
    {&kShipped, 760'000, false, 68'000},    // 20,000 + 20 % x 240,000
    {&kShipped, 1'000'000, false, 128'000}, // 68,000 + 25 % x 240,000
    // Inside the bands.
    {&kShipped, 270'001, false, 0},           // 0.08 truncated
    {&kShipped, 270'012.5, false, 1},         // exactly 1
    {&kShipped, 270'018.75, false, 1},        // 1.5 truncated, not rounded
    {&kShipped, 270'024.99, false, 1},        // 1.9992
    {&kShipped, 400'000, false, 10'400},      // 8 % x 130,000
    {&kShipped, 520'000.99, false, 20'000},   // 20,000.198
    {&kShipped, 900'000, false, 103'000},     // 68,000 + 25 % x 140,000
    {&kShipped, 1'000'000.5, false, 128'000}, // 128,000.15
    {&kShipped, 1'000'003, false, 128'000},   // 128,000.9
    {&kShipped, 1'500'000, false, 278'000},   // 128,000 + 30 % x 500,000
    {&kShipped, 2'000'000, false, 428'000},
    // The whole amount at the top rate.
    {&kShipped, 100'000, true, 30'000},
    {&kShipped, 900'000, true, 270'000},
    {&kShipped, 333.33, true, 99}, // 99.999
    {&kSmall, 50, false, 0},
    {&kSmall, 100, false, 0},
    {&kSmall, 100.5, false, 0}, // 0.05
    {&kSmall, 150, false, 5},
    {&kSmall, 200, false, 10},
    {&kSmall, 300, false, 30},
    {&kSmall, 300, true, 60},
    {&kOne, 1'000, false, 150},
    {&kOne, 1'000, true, 150},
    {&kOne, 499.99, false, 74}, // 74.9985
    {&kOne, 0, false, 0},
    {&kNone, 1'000'000, false, 0},
    {&kNone, 1'000'000, true, 0},
    {&kHuge, 4'999'999'990, false, 499'999'999},
    {&kHuge, 5'000'000'010, false, 500'000'005},
};

TEST(Paye, TaxByBands) {
    for (const Case& c : kCases) {
        const CALCPAYE table = c.bands->table();
        EXPECT_EQ(table.PAYE(c.chargeable, c.topRateOnly), c.tax)
            << c.bands->name << ": " << std::to_string(c.chargeable)
            << (c.topRateOnly ? " at the top rate" : "");
    }
}

TEST(Paye, TopBandIsTheCountLessOne) {
    EXPECT_EQ(kShipped.table().topBand, 4);
    EXPECT_EQ(kOne.table().topBand, 0);
    EXPECT_EQ(kNone.table().topBand, -1);

    // A table never holds more than its 31 bands.
    std::vector<unsigned long> limits(40);
    std::vector<float> rates(40);
    for (std::size_t i = 0; i < limits.size(); ++i) {
        limits[i] = 1'000 * (i + 1);
        rates[i] = static_cast<float>(i);
    }
    CALCPAYE many;
    many.setBands(limits.data(), rates.data(), 40);
    EXPECT_EQ(many.topBand, CALCPAYE::kMaxBands - 1);
    EXPECT_EQ(many.bandRates[30], 30);
    EXPECT_EQ(many.PAYE(100'000, true), 30'000);

    many.setBands(limits.data(), rates.data(), -3);
    EXPECT_EQ(many.topBand, -1);
    EXPECT_EQ(many.PAYE(100'000, false), 0);
}

TEST(Paye, AFreshTableTaxesNothing) {
    const CALCPAYE fresh;
    EXPECT_EQ(fresh.PAYE(1'000'000, false), 0);
    EXPECT_EQ(fresh.PAYE(1'000'000, true), 0);
}

TEST(Paye, LoadedEngineUsesItsBands) {
    testing::Engine e;
    EXPECT_EQ(e.calc.topBand, 4);
    EXPECT_EQ(e.calc.PAYE(900'000, false), 103'000);
    EXPECT_EQ(e.calc.PAYE(900'000, true), 270'000);
}

TEST(Paye, RatesAreTakenAsTheirDecimalValue) {
    // 2.3f is 2.29999995...: 2.3 % of 100,000 is exactly 2,300, not 2,299.
    const unsigned long limit[] = {0};
    const float rate[] = {2.3f};
    CALCPAYE t;
    t.setBands(limit, rate, 1);
    EXPECT_EQ(t.PAYE(100'000, false), 2'300);
    EXPECT_EQ(t.PAYE(100'000, true), 2'300);
}

} // namespace
} // namespace kelo::paycalc
