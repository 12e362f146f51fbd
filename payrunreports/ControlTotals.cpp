#include "payrunreports/ControlTotals.h"

namespace kelo::payrunreports {

namespace {

constexpr common::FIELDSTABLE kPaidTables[] = {common::EARNINGS, common::DEDUCTIONS,
                                               common::LUMPSUMS, common::REFUNDS};

void addItems(std::vector<ReportItem>& sums, const std::vector<ReportItem>& items) {
    if (sums.empty()) {
        for (const ReportItem& item : items)
            sums.push_back({item.definition, 0, {}});
    }
    for (std::size_t i = 0; i < sums.size() && i < items.size(); ++i)
        sums[i].amount += items[i].amount;
}

} // namespace

ControlTotal sumRecords(const std::vector<REPORTREC>& records, std::size_t first,
                        std::size_t count) {
    ControlTotal total;
    for (std::size_t r = first; r < first + count && r < records.size(); ++r) {
        const REPORTREC& rec = records[r];
        total.basicPay += rec.basicPay;
        total.overtimePay += rec.overtimePay;
        total.rent += rec.rent;
        total.deficitBF += rec.deficitBF;
        total.roundingCF += rec.roundingCF;
        total.lumpSumTax += rec.lumpSumTax;
        total.paye += rec.paye;
        total.nssfEmployee += rec.nssfEmployee;
        total.roundingBF += rec.roundingBF;
        total.deficit += rec.deficit;
        total.totalPay += rec.totalPay;
        total.totalDeductions += rec.totalDeductions;
        total.netPay += rec.netPay;
        for (common::FIELDSTABLE table : kPaidTables)
            addItems(total.items[static_cast<std::size_t>(table)], rec.itemsOf(table));
    }
    return total;
}

std::vector<ControlTotal> controlTotals(PERIODREP& report, int breakdown) {
    std::vector<ControlTotal> totals;
    for (const RecordGroup& group : report.groupRecords(breakdown)) {
        ControlTotal total = sumRecords(report.records(), group.first, group.count);
        total.key = group.key;
        totals.push_back(std::move(total));
    }
    return totals;
}

} // namespace kelo::payrunreports
