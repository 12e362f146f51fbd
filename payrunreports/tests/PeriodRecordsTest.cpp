#include "payrunreports/PeriodRecords.h"

#include "payrunreports/PeriodBuild.h"
#include "payrunreports/PeriodFormat.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelo::payrunreports {
namespace {

using common::date;

TEST(PeriodTitles, NameThePeriodOfEachFrequency) {
    common::ORGREC org;
    org.month = "March";
    org.year = 2025;
    org.weekEndDay = 7;
    org.fortnightEndDay = 14;
    org.irregEndDay = 2;
    struct Case {
        common::PAYFREQ payFreq;
        std::string period;
        std::string file;
    };
    for (const Case& c :
         std::vector<Case>{{common::MONTHLY, "March 2025", "Report file for March 2025"},
                           {common::WEEKLY, "Week ending 7 March 2025",
                            "Report file for week ending 7 March 2025"},
                           {common::BIWEEKLY, "Fortnight ending 14 March 2025",
                            "Report file for fortnight ending 14 March 2025"},
                           {common::IRREGULAR, "Pay period ending 2 March 2025",
                            "Report file for pay period ending 2 March 2025"}}) {
        EXPECT_EQ(periodTitle(c.payFreq, org), c.period);
        EXPECT_EQ(fileTitle(c.payFreq, org), c.file);
    }
    EXPECT_EQ(periodTitle(common::MONTHLY, date{2024, 0, 11}), "November 2024");
    EXPECT_EQ(periodTitle(common::WEEKLY, date{2024, 29, 11}), "Week ending 29 November 2024");
}

TEST(PeriodTitles, BirthDatesShowWhatIsKnown) {
    EXPECT_EQ(birthDateText(date{1968, 14, 3}), "14 Mar 1968");
    EXPECT_EQ(birthDateText(date{1985, 0, 9}), "Sep 1985");
    EXPECT_EQ(birthDateText(date{1990, 0, 0}), "1990");
    EXPECT_EQ(birthDateText(date{0, 5, 5}), "");
}

TEST(PeriodTitles, LeaveBalancesHaveTwoDecimals) {
    EXPECT_EQ(leaveBalanceText(0), "0.00");
    EXPECT_EQ(leaveBalanceText(8.83f), "8.83");
    EXPECT_EQ(leaveBalanceText(-2.5f), "-2.50");
    EXPECT_EQ(leaveBalanceText(123.456f), "123.46");
}

TEST(ReportTypes, LoansAndSavingsAreReportedUnderTypesOfTheirOwn) {
    EXPECT_EQ(reportTypeOf("Company Loan Payment"), "Company Loan Report");
    EXPECT_EQ(reportTypeOf("Co-op Loan Payment"), "Co-op Loan Report");
    EXPECT_EQ(reportTypeOf("Savings Plan Deposit"), "Savings Plan Report");
    EXPECT_EQ(reportTypeOf("Co-op Contribution"), "Co-op Contribution");
    EXPECT_EQ(reportTypeOf("Default"), "Default");
    for (const char* type : {"Co-op Contribution", "Co-op Loan Report", "Co-op Benevolent Fund",
                             "Pension Contribution"})
        EXPECT_TRUE(namesGroup(type)) << type;
    for (const char* type : {"Co-op Loan Payment", "Company Loan Report", "Default"})
        EXPECT_FALSE(namesGroup(type)) << type;
    // Hours only among the earnings, balances only among the deductions.
    EXPECT_TRUE(std::holds_alternative<HourlyFigures>(figuresFor(common::EARNINGS, "Hourly Pay")));
    EXPECT_TRUE(
        std::holds_alternative<std::monostate>(figuresFor(common::DEDUCTIONS, "Hourly Pay")));
    EXPECT_TRUE(
        std::holds_alternative<std::monostate>(figuresFor(common::BENEFITS, "Cost Recovery")));
    EXPECT_TRUE(
        std::holds_alternative<LoanFigures>(figuresFor(common::DEDUCTIONS, "Co-op Loan Report")));
}

// One item as the file projects it into the next period.
struct ItemCase {
    std::string name;
    std::string type;
    std::string function;
    int active;
    double amount;
    common::PayItemParams params;
    ItemFigures expected;
};

ReportItem project(const ItemCase& c, common::FIELDSTABLE table = common::DEDUCTIONS) {
    auto def = std::make_shared<common::PayItemDef>();
    def->itemName = c.name;
    def->itemType = c.type;
    def->itemFunction = c.function;
    auto reportDef = std::make_shared<ReportItemDef>();
    reportDef->name = c.name;
    reportDef->reportType = reportTypeOf(c.type);
    common::PayItem item{def, c.params, c.active, c.amount};
    // Statutory rate 12 %.
    return reportItemOf(table, item, reportDef, 12);
}

TEST(ItemProjections, AreWorkedOutAsTheNextPeriodWillFindThem) {
    using common::LoanParams;
    const std::vector<ItemCase> cases{
        // 500,000 x 24 / 1200 = 10,000 of interest, more than the 4,000
        // paid: all of it interest, and the balance grows. An employer
        // rate above the statutory one gives no benefit.
        {"interest above payment", "Company Loan Payment", "Key in", 1, 4000,
         LoanParams{500000, 24, 10, 0, 1},
         LoanFigures{500000, 10000, 4000, 0, 506000, 24, 10, 12, 0}},
        // 100,000 x 12 / 1200 = 1,000; one payment fewer; a co-op loan
        // never gives a benefit.
        {"co-op loan", "Co-op Loan Payment", "Use Reducing Balance", 1, 11000,
         LoanParams{100000, 12, 10, 0, 1},
         LoanFigures{100000, 1000, 1000, 10000, 90000, 12, 9, 12, 0}},
        // 100,100 x 6 / 1200 = 500.50, rounded half away from zero; the
        // benefit (12 - 6) x 100,100 / 1200 = 500.50 the same way.
        {"half shilling", "Company Loan Payment", "Amortise", 1, 10000,
         LoanParams{100100, 6, 3, 0, 1}, LoanFigures{100100, 501, 501, 9499, 90601, 6, 2, 12, 501}},
        // Switched off: nothing paid, the payments stay.
        {"inactive loan", "Company Loan Payment", "Amortise", 0, 0, LoanParams{200000, 6, 4, 0, 0},
         LoanFigures{200000, 1000, 0, 0, 201000, 6, 4, 12, 0}},
        {"bank loan", "Bank Loan Payment", "Key in", 1, 30000,
         common::BankLoanParams{5, 0, "NMB Bank", "Mbeya", "L-1"},
         BankLoanFigures{4, "NMB Bank", "Mbeya", "L-1"}},
        // The last payment: the loan starts again as a new one of one payment.
        {"bank loan paid off", "Bank Loan Payment", "Key in", 1, 30000,
         common::BankLoanParams{1, 0, "NMB Bank", "Mbeya", "L-1"},
         BankLoanFigures{1, "NMB Bank", "Mbeya", "L-1"}},
        {"bank loan off", "Bank Loan Payment", "Key in", 0, 0,
         common::BankLoanParams{3, 0, "NMB Bank", "Mbeya", "L-1"},
         BankLoanFigures{3, "NMB Bank", "Mbeya", "L-1"}},
        {"recovery", "Cost Recovery", "Key in", 1, 15000, common::CostRecoveryParams{40000, 0, 0},
         CostRecoveryFigures{25000, 0}},
        {"recovery overpaid", "Cost Recovery", "Key in", 1, 15000,
         common::CostRecoveryParams{10000, 0, 0}, CostRecoveryFigures{0, 1}},
        {"recovery off", "Cost Recovery", "Key in", 0, 0, common::CostRecoveryParams{10000, 0, 0},
         CostRecoveryFigures{10000, 0}},
        // 250,000 x 5 / 1200 = 1,041.67 -> 1,042; 250,000 + 1,042 + 20,000.
        {"savings", "Savings Plan Deposit", "Key in", 1, 20000, common::SavingsParams{250000, 5},
         SavingsFigures{250000, 1042, 271042, 5}},
        {"pension", "Pension Contribution", "Key in", 1, 5000,
         common::PensionParams{7000, 100000, 80000}, PensionFigures{7000, 105000, 87000}},
        {"co-operative", "Co-op Contribution", "Key in", 1, 2500, common::CoopParams{40000},
         CoopFigures{42500}},
        {"ordinary", "Default", "Key in", 1, 2500, std::monostate{}, std::monostate{}},
    };
    for (const ItemCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportItem item = project(c);
        EXPECT_EQ(item.amount, c.amount);
        EXPECT_TRUE(item.figures == c.expected);
        if (const auto* loan = std::get_if<LoanFigures>(&item.figures)) {
            const auto& want = std::get<LoanFigures>(c.expected);
            EXPECT_EQ(loan->interest, want.interest);
            EXPECT_EQ(loan->closingBalance, want.closingBalance);
            EXPECT_EQ(loan->paymentsLeft, want.paymentsLeft);
            EXPECT_EQ(loan->lowInterestBenefit, want.lowInterestBenefit);
        }
    }
    const ReportItem hours =
        project({"casual", "Hourly Pay", "Based on Hours Worked", 1, 31256,
                 common::HourlyParams{12.5f, 2500.5}, HourlyFigures{12.5f, 2500.5}},
                common::EARNINGS);
    EXPECT_TRUE(hours.figures == ItemFigures(HourlyFigures{12.5f, 2500.5}));
}

} // namespace
} // namespace kelo::payrunreports
