#include "staffrecords/PeriodUpdate.h"

#include "StaffFixture.h"

#include <gtest/gtest.h>

namespace kelo::staffrecords {
namespace {

using common::PayItem;
using common::VARIATIONSREC;
using testing::itemDef;

PayItem payItem(std::shared_ptr<common::PayItemDef> def, double amount, int active = 1) {
    PayItem item = common::newPayItem(std::move(def), common::DEDUCTIONS);
    item.amount = amount;
    item.active = active;
    return item;
}

common::LoanParams loan(double balance, float rate, int paymentsLeft) {
    common::LoanParams p;
    p.balance = balance;
    p.interestRate = rate;
    p.paymentsLeft = paymentsLeft;
    p.newLoan = 1;
    return p;
}

struct LoanCase {
    const char* what;
    const char* type;
    const char* function;
    int active;
    double amount;
    common::LoanParams before;
    double balance; // after the roll
    int paymentsLeft;
    double nextAmount;
    int activeAfter;
};

TEST(PeriodRoll, Loans) {
    const LoanCase cases[] = {
        // 100,000 at 12 %: 101,000 owed, 10,000 paid.
        {"keyed loan runs on", "Company Loan Payment", "Key in", 1, 10000, loan(100000, 12, 1),
         91000, 1, 10000, 1},
        // 5,000 + 50 interest - 4,000 = 1,050; next payment 1,061 not 4,000.
        {"payment above what is owed", "Company Loan Payment", "Key in", 1, 4000, loan(5000, 12, 1),
         1050, 1, 1061, 1},
        {"co-op loan alike", "Co-op Loan Payment", "Key in", 1, 4000, loan(5000, 12, 1), 1050, 1,
         1061, 1},
        // Two payments left: one falls, and the last instalment clears
        // balance and interest.
        {"amortised, last instalment", "Company Loan Payment", "Amortise", 1, 50252,
         loan(100000, 6, 2), 50248, 1, 50499, 1},
        {"amortised, payments run on", "Company Loan Payment", "Amortise", 1, 8885,
         loan(100000, 12, 12), 92115, 11, 8885, 1},
        // The last payment leaves 3 shillings of rounding: cleared anyway.
        {"rounding remainder cleared", "Company Loan Payment", "Amortise", 1, 50000,
         loan(50003, 0, 1), 0, 1, 0, 0},
        {"reducing balance paid off", "Company Loan Payment", "Use Reducing Balance", 1, 20200,
         loan(20000, 12, 1), 0, 1, 0, 0},
        {"overpaid", "Company Loan Payment", "Key in", 1, 30000, loan(20000, 0, 1), 0, 1, 0, 0},
        // Switched off: interest accrues, no payment, the count stays.
        {"inactive loan accrues", "Company Loan Payment", "Amortise", 0, 0, loan(10000, 12, 5),
         10100, 5, 0, 0},
    };
    for (const LoanCase& c : cases) {
        auto def = itemDef("Loan", c.type, c.function);
        def->isStatic = 1;
        VARIATIONSREC rec;
        rec.deductions.push_back(payItem(def, c.amount, c.active));
        rec.deductions[0].params = c.before;
        rollPeriod(rec, 0);
        const PayItem& item = rec.deductions[0];
        const auto& after = std::get<common::LoanParams>(item.params);
        EXPECT_EQ(after.balance, c.balance) << c.what;
        EXPECT_EQ(after.paymentsLeft, c.paymentsLeft) << c.what;
        EXPECT_EQ(item.amount, c.nextAmount) << c.what;
        EXPECT_EQ(item.active, c.activeAfter) << c.what;
        EXPECT_EQ(after.newLoan, c.balance > 0 ? 0 : 1) << c.what;
        if (c.balance == 0) {
            EXPECT_EQ(after.interestRate, 0) << c.what;
        }
    }
}

TEST(PeriodRoll, BalancesOfSavingsFundsAndRecoveries) {
    VARIATIONSREC rec;
    auto savings = itemDef("Savings", "Savings Plan Deposit", "Key in");
    savings->isStatic = 1;
    rec.deductions.push_back(payItem(savings, 20000));
    rec.deductions.back().params = common::SavingsParams{100000, 6};
    rec.deductions.push_back(payItem(savings, 0, 0)); // stopped, still earns interest
    rec.deductions.back().params = common::SavingsParams{100000, 6};
    rec.deductions.push_back(payItem(itemDef("Coop", "Co-op Contribution", "Key in", 1), 15000));
    rec.deductions.back().params = common::CoopParams{45000};
    rec.deductions.push_back(
        payItem(itemDef("Pension", "Pension Contribution", "Percentage of Salary", 1), 25000));
    rec.deductions.back().params = common::PensionParams{37500, 100000, 150000};
    auto bank = itemDef("Bank", "Bank Loan Payment", "Key in");
    bank->isStatic = 1;
    rec.deductions.push_back(payItem(bank, 90000));
    rec.deductions.back().params = common::BankLoanParams{2, 1, "NMB", "Moshi", "L1"};
    rec.deductions.push_back(payItem(bank, 90000));
    rec.deductions.back().params = common::BankLoanParams{1, 0, "NMB", "Moshi", "L2"};
    auto uniform = itemDef("Uniform", "Cost Recovery", "Key in");
    uniform->isStatic = 1;
    rec.deductions.push_back(payItem(uniform, 7000));
    rec.deductions.back().params = common::CostRecoveryParams{20000, 0, 1};
    rec.deductions.push_back(payItem(uniform, 7000));
    rec.deductions.back().params = common::CostRecoveryParams{7000, 0, 0};

    rollPeriod(rec, 0);
    const auto& d = rec.deductions;
    EXPECT_EQ(std::get<common::SavingsParams>(d[0].params).balance, 100500 + 20000);
    EXPECT_EQ(std::get<common::SavingsParams>(d[1].params).balance, 100500);
    EXPECT_EQ(std::get<common::CoopParams>(d[2].params).balance, 60000);
    const auto& pension = std::get<common::PensionParams>(d[3].params);
    EXPECT_EQ(pension.employeeBalance, 125000);
    EXPECT_EQ(pension.employerBalance, 187500);
    const auto& runs = std::get<common::BankLoanParams>(d[4].params);
    EXPECT_EQ(runs.paymentsLeft, 1);
    EXPECT_EQ(runs.newLoan, 0);
    EXPECT_EQ(d[4].active, 1);
    const auto& ends = std::get<common::BankLoanParams>(d[5].params);
    EXPECT_EQ(d[5].active, 0);
    EXPECT_EQ(d[5].amount, 0);
    EXPECT_EQ(ends.paymentsLeft, 1);
    EXPECT_EQ(ends.newLoan, 1);
    // 13,000 left: the next payment stays 7,000; then 6,000 left caps it.
    EXPECT_EQ(std::get<common::CostRecoveryParams>(d[6].params).balance, 13000);
    EXPECT_EQ(std::get<common::CostRecoveryParams>(d[6].params).newRecovery, 0);
    EXPECT_EQ(d[6].amount, 7000);
    rollPeriod(rec, 0);
    EXPECT_EQ(d[6].amount, 6000);
    EXPECT_EQ(d[7].active, 0);
    EXPECT_EQ(std::get<common::CostRecoveryParams>(d[7].params).paidOff, 1);
    EXPECT_EQ(std::get<common::CostRecoveryParams>(d[7].params).newRecovery, 1);
}

TEST(PeriodRoll, KeyedAmountsCarriedFieldsAndTotals) {
    VARIATIONSREC rec;
    rec.basicPayDef = testing::builtInDef("Basic Pay", "Use Built-In Function", 0);
    rec.overtimeDef = testing::builtInDef("Overtime", "Use Built-In Function", 1);
    auto acting = itemDef("Acting", "Default", "Key in");
    acting->lowerLimit = 5000;
    auto fixed = itemDef("Fixed", "Default", "Key in");
    fixed->isStatic = 1;
    auto hours = itemDef("Hours", "Hourly Pay", "Based on Hours Worked");
    rec.earnings = {
        common::newPayItem(acting, common::EARNINGS), common::newPayItem(fixed, common::EARNINGS),
        common::newPayItem(hours, common::EARNINGS), common::newPayItem(acting, common::EARNINGS)};
    for (PayItem& item : rec.earnings) {
        item.active = 1;
        item.amount = 80000;
    }
    rec.earnings[3].active = 0;
    rec.earnings[2].params = common::HourlyParams{12, 3000};
    rec.benefits = {payItem(acting, 9000)};
    rec.timeWorked = 3;
    rec.normalOvertimeHours = 4;
    rec.deficit = 1234;
    rec.roundingCF = 45;
    rec.lumpSumTax = 999;
    rec.openingPeriod = 1;
    rec.grossPay = 500000;
    rec.basicPay = 450000;
    rec.chargeablePay = 430000;
    rec.paye = 30000;
    rec.monthGross = 100;
    rec.halfYearTaxable = {1000, 2000};
    rec.halfYearPaye = {10, 20};

    rollPeriod(rec, 1);
    EXPECT_EQ(rec.earnings[0].amount, 5000);
    EXPECT_EQ(rec.earnings[1].amount, 80000);
    EXPECT_EQ(std::get<common::HourlyParams>(rec.earnings[2].params).hoursWorked, 0);
    EXPECT_EQ(std::get<common::HourlyParams>(rec.earnings[2].params).hourlyRate, 3000);
    EXPECT_EQ(rec.earnings[3].amount, 80000); // inactive: left alone
    EXPECT_EQ(rec.benefits[0].amount, 5000);
    EXPECT_EQ(rec.timeWorked, 0);
    EXPECT_EQ(rec.normalOvertimeHours, 4); // overtime is static here
    EXPECT_EQ(rec.deficitBF, 1234);
    EXPECT_EQ(rec.roundingBF, 45);
    EXPECT_EQ(rec.lumpSumTax, 0);
    EXPECT_EQ(rec.openingPeriod, 0);
    EXPECT_EQ(rec.monthGross, 500100);
    EXPECT_EQ(rec.monthBasic, 450000);
    EXPECT_EQ(rec.monthTaxable, 430000);
    EXPECT_EQ(rec.monthPaye, 30000);
    EXPECT_EQ(rec.halfYearTaxable[0], 1000);
    EXPECT_EQ(rec.halfYearTaxable[1], 432000);
    EXPECT_EQ(rec.halfYearPaye[1], 30020);
}

TEST(MonthClose, CountsTheMonthInItsHalfYear) {
    struct Case {
        const char* newMonth;
        int afterJune;
        double monthGross;
        std::array<int, 2> months;
    } cases[] = {
        {"April", 0, 1, {3, 4}},   {"July", 1, 1, {3, 4}},   {"August", 1, 1, {2, 5}},
        {"January", 0, 1, {2, 5}}, {"August", 1, 0, {2, 4}}, {"july", 1, 1, {2, 5}},
    };
    for (const Case& c : cases) {
        VARIATIONSREC rec;
        rec.halfYearMonths = {2, 4};
        rec.monthGross = c.monthGross;
        rec.monthBasic = rec.monthTaxable = rec.monthPaye = 5;
        closeMonth(rec, c.newMonth, c.afterJune);
        EXPECT_EQ(rec.halfYearMonths, c.months) << c.newMonth;
        EXPECT_EQ(rec.monthGross + rec.monthBasic + rec.monthTaxable + rec.monthPaye, 0);
    }
    VARIATIONSREC rec;
    rec.halfYearMonths = {6, 6};
    rec.halfYearTaxable = {1, 2};
    rec.halfYearPaye = {3, 4};
    rec.monthGross = 7;
    resetYear(rec);
    EXPECT_EQ(rec.halfYearMonths, (std::array<int, 2>{}));
    EXPECT_EQ(rec.halfYearTaxable, (std::array<double, 2>{}));
    EXPECT_EQ(rec.halfYearPaye, (std::array<double, 2>{}));
    EXPECT_EQ(rec.monthGross, 0);
}

TEST(MasterRecord, LeavingAFundOrCoopDropsItsItems) {
    auto coopLoan = itemDef("Loan", "Co-op Loan Payment", "Key in", 2);
    auto coopSaving = itemDef("Saving", "Co-op Contribution", "Key in", 2);
    auto benevolent = itemDef("Benevolent", "Co-op Benevolent Fund", "Key in", 2);
    auto otherCoop = itemDef("Other", "Co-op Contribution", "Key in", 1);
    auto pension = itemDef("Pension", "Pension Contribution", "Key in", 2);
    auto advance = itemDef("Advance", "Advance", "Key in");
    VARIATIONSREC rec;
    for (const auto& def : {coopLoan, coopSaving, benevolent, otherCoop, pension, advance})
        rec.deductions.push_back(payItem(def, 1000));
    rec.deductions[0].params = loan(40000, 10, 4);
    rec.deductions[1].params = common::CoopParams{9000};
    rec.deductions[3].params = common::CoopParams{8000};
    rec.deductions[4].params = common::PensionParams{500, 7000, 8000};
    rec.lumpSumTax = 3000;
    common::STATICREC employee;
    employee.coop1 = 1;
    employee.pensionFund2 = 2;
    employee.payeApplies = 1;
    EXPECT_TRUE(followMasterRecord(rec, employee));
    for (int i : {0, 1, 2}) {
        EXPECT_EQ(rec.deductions[i].active, 0) << i;
        EXPECT_EQ(rec.deductions[i].amount, 0) << i;
    }
    const auto& dropped = std::get<common::LoanParams>(rec.deductions[0].params);
    EXPECT_EQ(dropped.balance, 0);
    EXPECT_EQ(dropped.paymentsLeft, 1);
    EXPECT_EQ(dropped.newLoan, 1);
    EXPECT_EQ(std::get<common::CoopParams>(rec.deductions[1].params).balance, 0);
    EXPECT_EQ(std::get<common::CoopParams>(rec.deductions[3].params).balance, 8000);
    EXPECT_EQ(rec.deductions[4].active, 1);
    EXPECT_EQ(rec.deductions[5].active, 1);
    EXPECT_EQ(rec.lumpSumTax, 3000);

    employee.pensionFund2 = 0;
    employee.payeApplies = 0;
    EXPECT_TRUE(followMasterRecord(rec, employee));
    EXPECT_EQ(rec.deductions[4].active, 0);
    EXPECT_EQ(std::get<common::PensionParams>(rec.deductions[4].params).employerBalance, 0);
    EXPECT_EQ(rec.lumpSumTax, 0);
    EXPECT_FALSE(followMasterRecord(rec, employee));
}

TEST(Instalments, Amortisation) {
    struct Case {
        double principal;
        float rate;
        int payments;
        double instalment;
    } cases[] = {
        {1200000, 0, 12, 100000}, {1000000, 0, 3, 333333},    {1200000, 12, 12, 106619},
        {100000, 6, 2, 50375},    {500000, 18.5f, 24, 25083}, {100000, 12, 0, 100000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(amortisedInstalment(c.principal, c.rate, c.payments), c.instalment)
            << c.principal << " " << c.rate << " " << c.payments;
    EXPECT_EQ(withMonthsInterest(1000000, 3.6f), 1003000);
}

} // namespace
} // namespace kelo::staffrecords
