#pragma once

#include "payrunreports/PeriodRep.h"

#include <array>
#include <string>
#include <vector>

namespace kelo::payrunreports {

// The payroll of a run of employees summed for the control account: one per
// unit or station of the breakdown, or one over everybody.
struct ControlTotal {
    std::string key; // the unit or station; empty without a breakdown
    double basicPay = 0;
    double overtimePay = 0;
    double rent = 0;
    double deficitBF = 0; // "Overdraft Recovery"
    double roundingCF = 0;
    double lumpSumTax = 0;
    double paye = 0;
    double nssfEmployee = 0;
    double roundingBF = 0;
    double deficit = 0; // "Overdraft"
    double totalPay = 0;
    double totalDeductions = 0;
    double netPay = 0;
    // The earnings, deductions, lump sums and refunds with their amounts
    // summed place by place: every employee has the same lists. Benefits are
    // not paid out and stay empty.
    std::array<std::vector<ReportItem>, common::kFieldsTableCount> items;

    const std::vector<ReportItem>& itemsOf(common::FIELDSTABLE table) const {
        return items[static_cast<std::size_t>(table)];
    }
};

// Orders the report's records by the breakdown (1 by the unit under the
// selected one, 2 by station; see PERIODREP::groupRecords) and sums each run;
// any other breakdown gives one total over all the records.
std::vector<ControlTotal> controlTotals(PERIODREP& report, int breakdown);

// The sums over records [first, first + count).
ControlTotal sumRecords(const std::vector<REPORTREC>& records, std::size_t first,
                        std::size_t count);

} // namespace kelo::payrunreports
