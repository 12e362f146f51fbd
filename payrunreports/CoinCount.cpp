#include "payrunreports/CoinCount.h"

#include "common/Money.h"

#include <cmath>

namespace kelo::payrunreports {

const Denominations& defaultDenominations() {
    static const Denominations denominations{10000, 5000, 2000, 1000, 500, 200, 100, 50, 20, 10};
    return denominations;
}

Denominations chosenDenominations(int chosen) {
    const Denominations& all = defaultDenominations();
    Denominations picked;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if ((static_cast<unsigned>(chosen) >> i) & 1U)
            picked.push_back(all[i]);
    }
    return picked.empty() ? all : picked;
}

std::vector<int> countCoins(double amount, const Denominations& denominations) {
    std::vector<int> counts;
    counts.reserve(denominations.size());
    double rest = common::truncateShillings(amount);
    for (const double denomination : denominations) {
        int count = 0;
        if (denomination > 0 && rest >= denomination) {
            // The decimal forms keep a coin below a shilling from being lost
            // to binary noise in the division.
            count = static_cast<int>(std::floor(common::decimalValue(rest / denomination)));
            rest = common::decimalValue(rest - count * denomination);
        }
        counts.push_back(count);
    }
    return counts;
}

std::vector<CoinTotal> coinTotals(const std::vector<std::vector<int>>& counts,
                                  const Denominations& denominations) {
    std::vector<CoinTotal> totals;
    totals.reserve(denominations.size());
    for (std::size_t d = 0; d < denominations.size(); ++d) {
        CoinTotal total{denominations[d], 0, 0};
        for (const std::vector<int>& employee : counts) {
            if (d < employee.size())
                total.count += employee[d];
        }
        total.value = common::decimalValue(total.count * total.denomination);
        totals.push_back(total);
    }
    return totals;
}

std::string denominationText(double denomination) {
    return common::fixedText(denomination, denomination >= 1 ? 0 : 2);
}

} // namespace kelo::payrunreports
