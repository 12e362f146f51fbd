#include "YtdFixture.h"
#include "common/Money.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodDbEx.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace kelo::yeartodate::testing {
namespace {

// The year's totals, item by item, against the period files of the same
// months: each month's period file is written and read by the pay-run
// reports' own store, and its amounts added up here.
struct YtdCrossCheckTest : YtdFixture {
    // Employee number, then a row's name, then the year's sum.
    std::map<std::string, std::map<std::string, double>> expected;

    void addPeriod(common::PAYFREQ payFreq) {
        payrunreports::PERIODDB writer(owner, code, folder);
        ASSERT_TRUE(writer.writeFile(ui, payFreq, org, false)) << messages();
        common::REPORTPARAM param = currentParam();
        param.payFreq = payFreq;
        payrunreports::PERIODDBEX reader(owner, code, folder);
        payrunreports::PeriodFile file;
        ASSERT_TRUE(reader.readFile(ui, param, org, file)) << messages();
        for (const payrunreports::REPORTREC& rec : file.records) {
            auto& sums = expected[rec.empNum];
            const auto add = [&](const std::string& name, double amount) {
                sums[name] += common::roundShillings(amount);
            };
            add("Basic Pay", rec.basicPay);
            add("Overtime", rec.overtimePay);
            add("Rent", rec.rent);
            add("Overdraft Recovery", rec.deficitBF);
            add("Rounding C/F", rec.roundingCF);
            add("Housing Benefit", rec.housingBenefit);
            add("Lump Sums Tax", rec.lumpSumTax);
            add("Rounding B/F", rec.roundingBF);
            add("PAYE", rec.paye);
            add("NSSF", rec.nssfEmployee);
            add("Total Payments", rec.totalPay);
            add("Total Deductions", rec.totalDeductions);
            add("Overdraft", rec.deficit);
            add("Net Pay", rec.netPay);
            add("Chargeable Pay", rec.chargeablePay);
            for (const auto& items : rec.items)
                for (const payrunreports::ReportItem& item : items)
                    add(item.definition->name, item.amount);
        }
    }

    void closeMonth(const char* month) {
        org.month = month;
        addPeriod(common::MONTHLY);
        addPeriod(common::WEEKLY);
        monthEnd(month);
    }
};

TEST_F(YtdCrossCheckTest, TheYearsTotalsAreThePeriodFilesSums) {
    closeMonth("January");
    edit("MH001", [](common::VARIATIONSREC& rec) { rec.normalOvertimeHours = 0; });
    hireNyerere();
    closeMonth("February");
    addNightAllowance();
    edit("MH001", [](common::VARIATIONSREC& rec) {
        rec.normalOvertimeHours = 10;
        rec.earnings[2].active = 1;
        rec.earnings[2].amount = 7000;
    });
    closeMonth("March");
    ASSERT_FALSE(HasFatalFailure());

    YtdFile file;
    ASSERT_TRUE(readYtdFile(ui, folder, "2025/ytd.dbf", org, file)) << messages();
    ASSERT_EQ(file.records.size(), expected.size());
    const char* fixedNames[kFixedRows] = {"Basic Pay",      "Overtime",
                                          "Rent",           "Overdraft Recovery",
                                          "Rounding C/F",   "Housing Benefit",
                                          "Lump Sums Tax",  "Rounding B/F",
                                          "PAYE",           "NSSF",
                                          "Total Payments", "Total Deductions",
                                          nullptr,          "Overdraft",
                                          "Net Pay",        "Chargeable Pay"};
    int compared = 0;
    for (const YTDREC& rec : file.records) {
        ASSERT_TRUE(expected.count(rec.empNum)) << rec.empNum;
        const auto& sums = expected[rec.empNum];
        const auto total = [](const YtdRow& row) {
            double sum = 0;
            for (double amount : row.amounts)
                sum += amount;
            return sum;
        };
        for (std::size_t row = 0; row < kFixedRows; ++row) {
            if (!fixedNames[row])
                continue;
            EXPECT_EQ(total(rec.rows[row]), sums.at(fixedNames[row]))
                << rec.empNum << " " << fixedNames[row];
            ++compared;
        }
        for (const auto& list : rec.lists) {
            for (const YtdNamedRow& named : list) {
                const auto found = sums.find(named.name);
                // An item of the other payroll's definitions is not in this
                // employee's period file: his row stays empty.
                EXPECT_EQ(total(named.row), found == sums.end() ? 0 : found->second)
                    << rec.empNum << " " << named.name;
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 4 * (15 + 13));
    // The figures are not all zero: MH001's basic pay over three months.
    EXPECT_EQ(expected["MH001"]["Basic Pay"], 3000000);
    EXPECT_EQ(expected["MH001"]["Night Allowance"], 7000);
    EXPECT_EQ(expected["MH006"]["Shift Allowance"], 24000);
}

} // namespace
} // namespace kelo::yeartodate::testing
