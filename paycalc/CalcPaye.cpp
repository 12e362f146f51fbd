#include "paycalc/CalcPaye.h"

#include "common/Money.h"

#include <algorithm>

namespace kelo::paycalc {

void CALCPAYE::setBands(const unsigned long* limits, const float* rates, int count) {
    count = std::clamp(count, 0, kMaxBands);
    bandLimits.fill(0);
    bandRates.fill(0);
    for (int i = 0; i < count; ++i) {
        bandLimits[static_cast<std::size_t>(i)] = limits[i];
        bandRates[static_cast<std::size_t>(i)] = rates[i];
    }
    topBand = count - 1;
}

long CALCPAYE::PAYE(double chargeable, bool topRateOnly) const {
    // Without a band table there is no tax to compute; the table check made
    // before a payroll opens only asks whether the table exists.
    if (chargeable <= 0 || topBand < 0)
        return 0;
    const auto rate = [this](int band) {
        return common::decimalOf(bandRates[static_cast<std::size_t>(band)]);
    };
    if (topRateOnly)
        return static_cast<long>(common::truncateShillings(chargeable * rate(topBand) * 0.01));
    double x = chargeable;
    double tax = 0;
    for (int i = topBand; i >= 1; --i) {
        // Limits are whole shillings; the amount is compared against them as is.
        const auto limit = static_cast<double>(bandLimits[static_cast<std::size_t>(i - 1)]);
        if (x > limit) {
            tax += (x - limit) * rate(i) * 0.01;
            x = limit;
        }
    }
    tax += x * rate(0) * 0.01;
    // Truncation looks at the decimal value, so 102,999.99999999999 is 103,000.
    return static_cast<long>(common::truncateShillings(tax));
}

} // namespace kelo::paycalc
