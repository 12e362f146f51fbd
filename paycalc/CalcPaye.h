#pragma once

#include <array>

namespace kelo::paycalc {

// The PAYE band table of one fiscal year and the tax it gives on a monthly
// amount.
class CALCPAYE {
public:
    static constexpr int kMaxBands = 31;

    // Index of the highest band: the number of bands minus 1 (-1 with none).
    int topBand = -1;
    // bandLimits[k]: the monthly amount above which bandRates[k + 1] applies.
    std::array<unsigned long, kMaxBands> bandLimits{};
    // Percentage rate of each band; bandRates[0] applies from 0.
    std::array<float, kMaxBands> bandRates{};

    // Tax on a monthly chargeable amount, truncated to whole shillings. With
    // `topRateOnly` the whole amount is taxed at the top band's rate. A year
    // without bands taxes nothing.
    long PAYE(double chargeable, bool topRateOnly) const;

    // Sets the table from band limits and rates (as the PAYE table gives them).
    void setBands(const unsigned long* limits, const float* rates, int count);
};

} // namespace kelo::paycalc
