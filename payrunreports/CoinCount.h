#pragma once

#include <string>
#include <vector>

namespace kelo::payrunreports {

// The notes and coins a cash payment is made up of, largest first. A list
// of its own so that a change of currency changes a value, not the code.
using Denominations = std::vector<double>;

// The notes and coins in circulation: 10000 down to 10 shillings.
const Denominations& defaultDenominations();

// The denominations of the default list whose bit is set in `chosen`, bit 0
// for the largest; the whole list when no bit of it is set.
Denominations chosenDenominations(int chosen);

// How many of each denomination pay `amount`, counted greedily from the
// largest after truncating the amount to whole shillings. What is left
// below the smallest denomination is not counted.
std::vector<int> countCoins(double amount, const Denominations& denominations);

// One line of the coinage summary: how many of a denomination to draw.
struct CoinTotal {
    double denomination = 0;
    int count = 0;
    double value = 0;
    friend bool operator==(const CoinTotal&, const CoinTotal&) = default;
};

// The counts of every employee added up per denomination, in list order.
std::vector<CoinTotal> coinTotals(const std::vector<std::vector<int>>& counts,
                                  const Denominations& denominations);

// "10000", or "0.50" for a coin below a shilling.
std::string denominationText(double denomination);

} // namespace kelo::payrunreports
