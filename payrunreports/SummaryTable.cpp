#include "payrunreports/SummaryTable.h"

#include "common/Money.h"

namespace kelo::payrunreports {

std::string amountText(double amount) {
    return common::withThousands(amount);
}

std::vector<std::string> totalCells(const std::vector<double>& totals, std::size_t columnCount,
                                    std::size_t firstAmount, const std::string& label) {
    std::vector<std::string> cells(columnCount);
    if (columnCount > 2)
        cells[2] = label;
    for (std::size_t c = firstAmount; c < columnCount; ++c)
        cells[c] = amountText(c < totals.size() ? totals[c] : 0);
    return cells;
}

common::ReportRow amountRow(const std::string& number, const std::string& empNum,
                            const std::string& name, const std::vector<double>& amounts) {
    common::ReportRow row{{number, empNum, name}, std::vector<double>(3, 0.0)};
    for (double amount : amounts) {
        row.cells.push_back(amountText(amount));
        row.figures.push_back(amount);
    }
    return row;
}

std::vector<double> sumFigures(const std::vector<common::ReportRow>& rows, std::size_t first,
                               std::size_t count, std::size_t columnCount) {
    std::vector<double> sums(columnCount, 0.0);
    for (std::size_t r = first; r < first + count && r < rows.size(); ++r) {
        const std::vector<double>& figures = rows[r].figures;
        for (std::size_t c = 0; c < figures.size() && c < columnCount; ++c)
            sums[c] += figures[c];
    }
    return sums;
}

double placeAmounts(std::vector<common::ReportColumn>& columns, std::size_t first, double left,
                    double gap) {
    for (std::size_t c = first; c < columns.size(); ++c) {
        if (!columns[c].visible)
            continue;
        columns[c].left = left;
        left += columns[c].width + gap;
    }
    return left;
}

std::string signOffLine(const char* label) {
    const std::string dots(45, '.');
    return label + dots + dots;
}

} // namespace kelo::payrunreports
