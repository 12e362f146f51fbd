#include "yeartodate/YtdFormat.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kelo::yeartodate {
namespace {

YtdNames names() {
    YtdNames n;
    n[common::EARNINGS] = {"Transport"};
    n[common::DEDUCTIONS] = {"Loan"};
    return n;
}

common::VARIATIONSREC payOf(double common::VARIATIONSREC::*field, double amount) {
    common::VARIATIONSREC pay;
    pay.*field = amount;
    return pay;
}

// Which rows one amount of the transactions record fills and shows.
struct RowRule {
    const char* name;
    double common::VARIATIONSREC::*field;
    std::vector<FixedRow> filled;
    std::vector<FixedRow> shown; // besides basic pay, totals of pay, net and chargeable pay
};

struct AddMonthTest : ::testing::TestWithParam<RowRule> {};

TEST_P(AddMonthTest, AnAmountFillsItsRowAndShowsWhatItShould) {
    const RowRule& rule = GetParam();
    YTDREC rec = newYtdRec(names());
    addMonth(rec, payOf(rule.field, 1250), 3);
    std::vector<FixedRow> shown{kBasicPayRow, kTotalPaymentsRow, kNetPayRow, kChargeablePayRow};
    shown.insert(shown.end(), rule.shown.begin(), rule.shown.end());
    for (std::size_t row = 0; row < kFixedRows; ++row) {
        const bool filled =
            std::find(rule.filled.begin(), rule.filled.end(), row) != rule.filled.end();
        const bool isShown = std::find(shown.begin(), shown.end(), row) != shown.end();
        EXPECT_EQ(rec.rows[row].amounts[3], filled ? 1250 : 0) << "row " << row + 1;
        EXPECT_EQ(rec.rows[row].flag, isShown ? 1 : 0) << "row " << row + 1;
    }
    EXPECT_EQ(rec.monthFlags, (std::array<int, kMonths>{0, 0, 0, 1}));
    // Nothing is shown for a month without the amount.
    YTDREC empty = newYtdRec(names());
    addMonth(empty, payOf(rule.field, 0), 3);
    for (FixedRow row : rule.shown) {
        EXPECT_EQ(empty.rows[row].flag, 0) << "row " << row + 1;
    }
}

using V = common::VARIATIONSREC;
INSTANTIATE_TEST_SUITE_P(
    Rows, AddMonthTest,
    ::testing::Values(
        RowRule{"BasicPay", &V::basicPay, {kBasicPayRow}, {}},
        RowRule{"Overtime", &V::overtimePay, {kOvertimeRow}, {kOvertimeRow}},
        RowRule{"Rent", &V::rent, {kRentRow}, {kRentRow, kTotalDeductionsRow}},
        RowRule{"OverdraftRecovery",
                &V::deficitBF,
                {kOverdraftRecoveryRow},
                {kOverdraftRecoveryRow, kTotalDeductionsRow}},
        RowRule{
            "RoundingCF", &V::roundingCF, {kRoundingCFRow}, {kRoundingCFRow, kTotalDeductionsRow}},
        RowRule{"Housing",
                &V::housingBenefit,
                {kHousingBenefitRow, kTotalBenefitsRow},
                {kHousingBenefitRow, kTotalBenefitsRow}},
        RowRule{
            "LumpSumTax", &V::lumpSumTax, {kLumpSumTaxRow}, {kLumpSumTaxRow, kTotalDeductionsRow}},
        RowRule{"RoundingBF", &V::roundingBF, {kRoundingBFRow}, {kRoundingBFRow}},
        RowRule{"Paye", &V::paye, {kPayeRow}, {kPayeRow, kTotalDeductionsRow}},
        RowRule{"Nssf", &V::nssfEmployee, {kNssfRow}, {kNssfRow, kTotalDeductionsRow}},
        RowRule{"TotalPay", &V::totalPay, {kTotalPaymentsRow}, {}},
        // The totals alone never show their rows.
        RowRule{"TotalDeductions", &V::totalDeductions, {kTotalDeductionsRow}, {}},
        RowRule{"TotalBenefits", &V::totalBenefits, {kTotalBenefitsRow}, {}},
        RowRule{"Overdraft", &V::deficit, {kOverdraftRow}, {kOverdraftRow}},
        RowRule{"NetPay", &V::netPay, {kNetPayRow}, {}},
        RowRule{"ChargeablePay", &V::chargeablePay, {kChargeablePayRow}, {}}),
    [](const auto& test) { return std::string(test.param.name); });

std::shared_ptr<common::PayItemDef> defNamed(const std::string& name) {
    auto def = std::make_shared<common::PayItemDef>();
    def->itemName = name;
    return def;
}

TEST(YtdFormat, ListItemsAddByNameIgnoringCaseAndMonthsAddUp) {
    YTDREC rec = newYtdRec(names());
    common::VARIATIONSREC pay;
    pay.earnings = {common::PayItem{defNamed("TRANSPORT"), {}, 1, 40000}};
    pay.deductions = {common::PayItem{defNamed("Uniform"), {}, 1, 900}};
    addMonth(rec, pay, 0);
    pay.earnings[0].amount = 0;
    addMonth(rec, pay, 1);
    pay.earnings[0].amount = 25000.4;
    addMonth(rec, pay, 1);
    const YtdRow& transport = rec.lists[common::EARNINGS][0].row;
    EXPECT_EQ(transport.flag, 1);
    EXPECT_EQ(transport.amounts, (std::array<double, kMonths>{40000, 25000.4}));
    // An item the lists do not name is not kept.
    EXPECT_EQ(rec.lists[common::DEDUCTIONS][0], (YtdNamedRow{"Loan", YtdRow{}}));
}

database::PayFieldTables definitions(std::vector<std::string> earnings,
                                     std::vector<std::string> deductions) {
    database::PayFieldTables tables;
    for (const auto& [table, list] :
         {std::pair{common::EARNINGS, &earnings}, std::pair{common::DEDUCTIONS, &deductions}}) {
        for (const std::string& name : *list) {
            common::PayItemDef def;
            def.itemName = name;
            tables[table].push_back(def);
        }
    }
    return tables;
}

TEST(YtdFormat, DefinitionsRespellKnownNamesAndAppendNewOnes) {
    YtdNames n;
    n[common::EARNINGS] = {"transport", "Removed Item"};
    mergeNames(
        n, definitions({"Basic Pay", "Overtime", "Acting", "Transport"}, {"Rent", "Staff Loan"}));
    EXPECT_EQ(n[common::EARNINGS],
              (std::vector<std::string>{"Transport", "Removed Item", "Acting"}));
    EXPECT_EQ(n[common::DEDUCTIONS], (std::vector<std::string>{"Staff Loan"}));
}

TEST(YtdFormat, RowsFollowTheirNamesIntoANewLayout) {
    YTDREC rec = newYtdRec(names());
    rec.lists[common::EARNINGS][0].row = YtdRow{1, {5, 6}};
    YtdNames wider = names();
    wider[common::EARNINGS] = {"Acting", "TRANSPORT"};
    fitLists(rec, wider);
    EXPECT_EQ(rec.lists[common::EARNINGS],
              (std::vector<YtdNamedRow>{{"Acting", {}}, {"TRANSPORT", YtdRow{1, {5, 6}}}}));
}

TEST(YtdFormat, EmployeeNumbersSortIgnoringCase) {
    EXPECT_TRUE(empNumBefore("ab1", "AB2"));
    EXPECT_FALSE(empNumBefore("AB2", "ab1"));
    EXPECT_FALSE(empNumBefore("ab1", "AB1"));
    EXPECT_TRUE(empNumBefore("AB", "AB1"));
}

} // namespace
} // namespace kelo::yeartodate
