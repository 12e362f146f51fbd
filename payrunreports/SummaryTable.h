#pragma once

#include "common/Canvas.h"
#include "common/ReportBase.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kelo::payrunreports {

// What the tabular pay-run reports share: their fonts, amount texts and the
// totals line under the amount columns.

inline common::Font arial(double points, bool bold = false) {
    return common::Font{"Arial", points, bold ? 700 : 400};
}

inline common::Font arialNarrow(double points) {
    return common::Font{"Arial Narrow", points, 400};
}

// "%.0lf" with thousands separators; a zero prints as "0".
std::string amountText(double amount);

// The cells of a totals line: `label` in the name column (index 2) and each
// total from `firstAmount` on.
std::vector<std::string> totalCells(const std::vector<double>& totals, std::size_t columnCount,
                                    std::size_t firstAmount, const std::string& label);

// A row of sequence number, employee number, name and the amounts, each
// amount's figure at its column.
common::ReportRow amountRow(const std::string& number, const std::string& empNum,
                            const std::string& name, const std::vector<double>& amounts);

// Column sums over rows [first, first + count).
std::vector<double> sumFigures(const std::vector<common::ReportRow>& rows, std::size_t first,
                               std::size_t count, std::size_t columnCount);

// Places the visible columns from `first` on one after another from `left`,
// `gap` apart; hidden ones take no room. Answers where the next would start.
double placeAmounts(std::vector<common::ReportColumn>& columns, std::size_t first, double left,
                    double gap);

// The sign-off lines under a table, each placeholder pair two runs of 45 dots.
std::string signOffLine(const char* label);

} // namespace kelo::payrunreports
