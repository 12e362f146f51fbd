#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/ReportRecords.h"

#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <variant>

namespace kelo::common {
namespace {

std::shared_ptr<const PayItemDef> makeDef(std::string name, std::string type,
                                          std::string function = std::string(kFuncKeyIn)) {
    auto def = std::make_shared<PayItemDef>();
    def->itemName = std::move(name);
    def->itemType = std::move(type);
    def->itemFunction = std::move(function);
    return def;
}

// Which alternative of PayItemParams a new item gets.
enum class Kind { None, Loan, Hourly, Pension, Coop, Savings, BankLoan, CostRecovery };

Kind kindOf(const PayItemParams& params) {
    return std::visit(
        [](const auto& p) {
            using T = std::decay_t<decltype(p)>;
            if constexpr (std::is_same_v<T, LoanParams>)
                return Kind::Loan;
            else if constexpr (std::is_same_v<T, HourlyParams>)
                return Kind::Hourly;
            else if constexpr (std::is_same_v<T, PensionParams>)
                return Kind::Pension;
            else if constexpr (std::is_same_v<T, CoopParams>)
                return Kind::Coop;
            else if constexpr (std::is_same_v<T, SavingsParams>)
                return Kind::Savings;
            else if constexpr (std::is_same_v<T, BankLoanParams>)
                return Kind::BankLoan;
            else if constexpr (std::is_same_v<T, CostRecoveryParams>)
                return Kind::CostRecovery;
            else
                return Kind::None;
        },
        params);
}

// The parameters of a new item: payments 1 and new-loan flag for loans, both
// flags for cost recoveries, everything else 0.
void expectNewParams(const PayItemParams& params, const std::string& where) {
    SCOPED_TRACE(where);
    if (const auto* loan = std::get_if<LoanParams>(&params)) {
        EXPECT_EQ(loan->balance, 0.0);
        EXPECT_EQ(loan->interestRate, 0.0f);
        EXPECT_EQ(loan->paymentsLeft, 1);
        EXPECT_EQ(loan->newLoan, 1);
        EXPECT_EQ(loan->taxableBenefit, 0);
    } else if (const auto* bank = std::get_if<BankLoanParams>(&params)) {
        EXPECT_EQ(bank->paymentsLeft, 1);
        EXPECT_EQ(bank->newLoan, 1);
        EXPECT_EQ(bank->bankName, "");
        EXPECT_EQ(bank->branchName, "");
        EXPECT_EQ(bank->loanNumber, "");
    } else if (const auto* cost = std::get_if<CostRecoveryParams>(&params)) {
        EXPECT_EQ(cost->balance, 0.0);
        EXPECT_EQ(cost->paidOff, 1);
        EXPECT_EQ(cost->newRecovery, 1);
    } else if (const auto* hourly = std::get_if<HourlyParams>(&params)) {
        EXPECT_EQ(hourly->hoursWorked, 0.0f);
        EXPECT_EQ(hourly->hourlyRate, 0.0);
    } else if (const auto* pension = std::get_if<PensionParams>(&params)) {
        EXPECT_EQ(pension->employerContribution, 0.0);
        EXPECT_EQ(pension->employeeBalance, 0.0);
        EXPECT_EQ(pension->employerBalance, 0.0);
    } else if (const auto* coop = std::get_if<CoopParams>(&params)) {
        EXPECT_EQ(coop->balance, 0.0);
    } else if (const auto* savings = std::get_if<SavingsParams>(&params)) {
        EXPECT_EQ(savings->balance, 0.0);
        EXPECT_EQ(savings->interestRate, 0.0f);
    }
}

TEST(FreshVariationsRec, EveryItemGetsTheParametersOfItsKind) {
    struct Case {
        FIELDSTABLE table;
        const char* type;
        const char* function;
        Kind kind;
    };
    const Case cases[] = {
        {EARNINGS, "Allowance", "Key in", Kind::None},
        {EARNINGS, "Hourly Pay", "Key in", Kind::Hourly},
        {EARNINGS, "Allowance", "Based on Hours Worked", Kind::Hourly},
        {EARNINGS, "Allowance", "Percentage of Salary", Kind::None},
        {DEDUCTIONS, "Company Loan Payment", "Key in", Kind::Loan},
        {DEDUCTIONS, "Co-op Loan Payment", "Key in", Kind::Loan},
        {DEDUCTIONS, "Advance", "Use Reducing Balance", Kind::Loan},
        {DEDUCTIONS, "Advance", "Amortise", Kind::Loan},
        {DEDUCTIONS, "Bank Loan Payment", "Key in", Kind::BankLoan},
        {DEDUCTIONS, "Cost Recovery", "Key in", Kind::CostRecovery},
        {DEDUCTIONS, "Pension Contribution", "Percentage of Basic Pay", Kind::Pension},
        {DEDUCTIONS, "Co-op Contribution", "Key in", Kind::Coop},
        {DEDUCTIONS, "Savings Plan Deposit", "Key in", Kind::Savings},
        {DEDUCTIONS, "Co-op Benevolent Fund", "Key in", Kind::None},
        {DEDUCTIONS, "Union Dues", "Percentage of Gross Pay", Kind::None},
        // Deduction parameters belong to deductions, hours to earnings.
        {BENEFITS, "Car", "Amortise", Kind::None},
        {LUMPSUMS, "Gratuity", "Based on Hours Worked", Kind::None},
        {REFUNDS, "Company Loan Payment", "Key in", Kind::None},
    };

    PayItemDefs defs;
    defs.basicPay = makeDef("Basic Pay", "");
    defs.overtime = makeDef("Overtime", "");
    defs.rent = makeDef("Rent", "");
    for (const Case& c : cases)
        defs.list(c.table)->push_back(makeDef(c.type, c.type, c.function));

    const VARIATIONSREC rec = newVariationsRec(defs);
    EXPECT_EQ(rec.basicPayDef, defs.basicPay);
    EXPECT_EQ(rec.overtimeDef, defs.overtime);
    EXPECT_EQ(rec.rentDef, defs.rent);

    std::size_t next[kFieldsTableCount] = {};
    for (const Case& c : cases) {
        const std::string where = std::string(c.type) + " / " + c.function;
        const std::vector<PayItem>& items = *rec.items(c.table);
        const std::size_t index = next[c.table]++;
        ASSERT_LT(index, items.size()) << where;
        const PayItem& item = items[index];
        EXPECT_EQ(item.definition, (*defs.list(c.table))[index]) << where;
        EXPECT_EQ(item.active, 0) << where;
        EXPECT_EQ(item.amount, 0.0) << where;
        EXPECT_EQ(kindOf(item.params), c.kind) << where;
        expectNewParams(item.params, where);
    }
    for (FIELDSTABLE table : kFieldsTables)
        EXPECT_EQ(rec.items(table)->size(), next[table]) << table;
}

TEST(FreshVariationsRec, FieldsAreZeroExceptThreeFlags) {
    const VARIATIONSREC rec = newVariationsRec(PayItemDefs{});
    EXPECT_EQ(rec.openingPeriod, 1);
    EXPECT_EQ(rec.payeApplies, 1);
    EXPECT_EQ(rec.nssfMember, 1);

    const int VARIATIONSREC::*ints[] = {
        &VARIATIONSREC::removed,
        &VARIATIONSREC::useTopTaxRate,
        &VARIATIONSREC::housed,
        &VARIATIONSREC::payMethod,
        &VARIATIONSREC::coop1,
        &VARIATIONSREC::coop2,
        &VARIATIONSREC::pensionFund1,
        &VARIATIONSREC::pensionFund2,
        &VARIATIONSREC::payBasis,
        &VARIATIONSREC::timeBasis,
        &VARIATIONSREC::overtimeEligible,
        &VARIATIONSREC::rentDeducted,
        &VARIATIONSREC::recNo,
    };
    for (auto field : ints)
        EXPECT_EQ(rec.*field, 0);
    const double VARIATIONSREC::*doubles[] = {
        &VARIATIONSREC::payRate,
        &VARIATIONSREC::fullPay,
        &VARIATIONSREC::basicPay,
        &VARIATIONSREC::normalOvertimeRate,
        &VARIATIONSREC::doubleOvertimeRate,
        &VARIATIONSREC::overtimePay,
        &VARIATIONSREC::rent,
        &VARIATIONSREC::deficitBF,
        &VARIATIONSREC::roundingCF,
        &VARIATIONSREC::housingValue,
        &VARIATIONSREC::housingExpense,
        &VARIATIONSREC::housingBenefit,
        &VARIATIONSREC::employerPensionBenefit,
        &VARIATIONSREC::loanBenefit,
        &VARIATIONSREC::roundingBF,
        &VARIATIONSREC::lumpSumTax,
        &VARIATIONSREC::pensionRelief,
        &VARIATIONSREC::paye,
        &VARIATIONSREC::nssfEmployee,
        &VARIATIONSREC::nssfEmployer,
        &VARIATIONSREC::sdl,
        &VARIATIONSREC::statutoryDeductions,
        &VARIATIONSREC::taxableEarnings,
        &VARIATIONSREC::grossPay,
        &VARIATIONSREC::totalBenefits,
        &VARIATIONSREC::taxablePay,
        &VARIATIONSREC::pensionDeduction,
        &VARIATIONSREC::chargeablePay,
        &VARIATIONSREC::otherDeductions,
        &VARIATIONSREC::totalLumpSums,
        &VARIATIONSREC::totalRefunds,
        &VARIATIONSREC::totalPay,
        &VARIATIONSREC::totalDeductions,
        &VARIATIONSREC::deficit,
        &VARIATIONSREC::netPay,
        &VARIATIONSREC::monthTaxable,
        &VARIATIONSREC::monthPaye,
        &VARIATIONSREC::monthGross,
        &VARIATIONSREC::monthBasic,
    };
    for (auto field : doubles)
        EXPECT_EQ(rec.*field, 0.0);
    const float VARIATIONSREC::*floats[] = {
        &VARIATIONSREC::hoursPerDay,         &VARIATIONSREC::hoursPerMonth,
        &VARIATIONSREC::timeWorked,          &VARIATIONSREC::normalOvertimeHours,
        &VARIATIONSREC::doubleOvertimeHours,
    };
    for (auto field : floats)
        EXPECT_EQ(rec.*field, 0.0f);
    EXPECT_EQ(rec.payFreq, MONTHLY);
    EXPECT_EQ(rec.empNum, "");
    for (std::size_t half = 0; half < 2; ++half) {
        EXPECT_EQ(rec.halfYearMonths[half], 0);
        EXPECT_EQ(rec.halfYearTaxable[half], 0.0);
        EXPECT_EQ(rec.halfYearPaye[half], 0.0);
    }
    EXPECT_EQ(rec.basicPayDef, nullptr);
}

TEST(FreshVariationsRec, ListsAreFoundByTable) {
    VARIATIONSREC rec;
    EXPECT_EQ(rec.items(EARNINGS), &rec.earnings);
    EXPECT_EQ(rec.items(DEDUCTIONS), &rec.deductions);
    EXPECT_EQ(rec.items(BENEFITS), &rec.benefits);
    EXPECT_EQ(rec.items(LUMPSUMS), &rec.lumpSums);
    EXPECT_EQ(rec.items(REFUNDS), &rec.refunds);
    EXPECT_EQ(rec.items(static_cast<FIELDSTABLE>(5)), nullptr);
    EXPECT_EQ(rec.items(static_cast<FIELDSTABLE>(-1)), nullptr);
    const PayItemDefs defs;
    EXPECT_EQ(defs.list(LUMPSUMS), &defs.lumpSums);
    EXPECT_EQ(defs.list(static_cast<FIELDSTABLE>(7)), nullptr);
}

TEST(PayItems, WithoutTableTheTextsAloneDecide) {
    struct Case {
        const char* type;
        const char* function;
        Kind kind;
    };
    const Case cases[] = {
        {"Allowance", "Amortise", Kind::Loan},
        {"Allowance", "Based on Hours Worked", Kind::Hourly},
        {"Hourly Pay", "Key in", Kind::Hourly},
        {"Cost Recovery", "Key in", Kind::CostRecovery},
        // The type wins over the function.
        {"Pension Contribution", "Amortise", Kind::Pension},
        {"Allowance", "Key in", Kind::None},
    };
    for (const Case& c : cases) {
        const PayItem item = newPayItem(makeDef("x", c.type, c.function));
        EXPECT_EQ(kindOf(item.params), c.kind) << c.type << " / " << c.function;
        EXPECT_EQ(item.active, 0);
        EXPECT_EQ(item.amount, 0.0);
    }
    const PayItem empty = newPayItem(nullptr);
    EXPECT_EQ(kindOf(empty.params), Kind::None);
}

TEST(PayItems, TextsAreComparedExactly) {
    struct Case {
        const char* type;
        const char* function;
        Kind kind; // as a deduction
        bool keyIn;
    };
    const Case cases[] = {
        {"Company Loan Payment", "Key in", Kind::Loan, true},
        {"company loan payment", "Key in", Kind::None, true},
        {"Company Loan Payment ", "Key in", Kind::None, true},
        {"COST RECOVERY", "Key in", Kind::None, true},
        {"Advance", "amortise", Kind::None, true},
        {"Advance", "Use reducing balance", Kind::None, true},
        {"Advance", "Amortise", Kind::Loan, false},
        {"Advance", "key in", Kind::None, true},
        {"Advance", "", Kind::None, true},
        {"Advance", "Percentage of Gross Pay", Kind::None, false},
        {"Advance", "Percentage of gross pay", Kind::None, true},
    };
    for (const Case& c : cases) {
        const auto def = makeDef("x", c.type, c.function);
        EXPECT_EQ(kindOf(newPayItem(def, DEDUCTIONS).params), c.kind)
            << c.type << " / " << c.function;
        EXPECT_EQ(isKeyIn(*def), c.keyIn) << c.function;
    }

    struct FunctionCase {
        std::string_view text;
        ItemFunction function;
    };
    const FunctionCase functions[] = {
        {kFuncKeyIn, ItemFunction::KeyIn},
        {kFuncPercentOfSalary, ItemFunction::PercentOfSalary},
        {kFuncPercentOfBasicPay, ItemFunction::PercentOfBasicPay},
        {kFuncPercentOfGrossPay, ItemFunction::PercentOfGrossPay},
        {kFuncBasedOnHours, ItemFunction::BasedOnHours},
        {kFuncReducingBalance, ItemFunction::ReducingBalance},
        {kFuncAmortise, ItemFunction::Amortise},
        {"Fixed", ItemFunction::KeyIn},
    };
    for (const FunctionCase& c : functions)
        EXPECT_EQ(itemFunctionOf(c.text), c.function) << c.text;
    EXPECT_EQ(itemTypeOf(kTypeCoopBenevolentFund), ItemType::CoopBenevolentFund);
    EXPECT_EQ(itemTypeOf("Hourly pay"), ItemType::Ordinary);
}

TEST(PayRate, ChosenByPayBasis) {
    STATICREC employee;
    employee.salary = 1'200'000;
    employee.dailyRate = 46'000;
    employee.hourlyRate = 5'750.5;
    struct Case {
        int payBasis;
        double payRate;
    };
    const Case cases[] = {
        {0, 1'200'000}, {1, 46'000}, {2, 5'750.5}, {3, 7.25}, {-1, 7.25}, {100, 7.25},
    };
    for (const Case& c : cases) {
        VARIATIONSREC rec;
        rec.payRate = 7.25;
        employee.payBasis = c.payBasis;
        setPayRate(rec, employee);
        EXPECT_EQ(rec.payRate, c.payRate) << c.payBasis;
    }
}

TEST(SlotChecks, SameNonzeroIdentifierIsRefused) {
    struct Case {
        int first, second;
        bool refused;
    };
    const Case cases[] = {
        {0, 0, false}, {3, 0, false}, {0, 3, false}, {3, 4, false}, {3, 3, true}, {-2, -2, true},
    };
    for (const Case& c : cases) {
        const auto coop = checkCoopSlots(c.first, c.second);
        const auto fund = checkPensionFundSlots(c.first, c.second);
        EXPECT_EQ(coop.has_value(), c.refused) << c.first << "," << c.second;
        EXPECT_EQ(fund.has_value(), c.refused) << c.first << "," << c.second;
        if (c.refused) {
            EXPECT_EQ(*coop, "Employee cannot belong to the same co-operative twice.");
            EXPECT_EQ(*fund, "Employee cannot belong to the same pension fund twice.");
        }
    }
}

TEST(Organisations, FoldersAndNewRecords) {
    struct Case {
        int orgNum;
        const char* folder;
    };
    const Case cases[] = {{1, "../org01"}, {9, "../org09"}, {10, "../org10"}, {99, "../org99"}};
    for (const Case& c : cases)
        EXPECT_EQ(orgFolder(c.orgNum), c.folder) << c.orgNum;

    const ORGREC closed;
    EXPECT_EQ(closed.orgNum, 0);
    EXPECT_EQ(closed.name, "");

    const ORGREC org = newOrgRec(3);
    EXPECT_EQ(org.orgNum, 3);
    EXPECT_EQ(org.folder, "../org03");
    EXPECT_EQ(org.weekEndDay, 1);
    EXPECT_EQ(org.fortnightEndDay, 1);
    EXPECT_EQ(org.irregEndDay, 1);
    EXPECT_EQ(org.monthEditable, 1);
    EXPECT_EQ(org.weekEndEditable, 1);
    EXPECT_EQ(org.fortnightEndEditable, 1);
    EXPECT_EQ(org.bTrFileID, 0);
    EXPECT_EQ(org.payFreq, MONTHLY);
    EXPECT_EQ(org.formSortKey, kSortByEmpNum);
    EXPECT_EQ(org.purgeReports, 0);
    EXPECT_EQ(org.purgeAge, 2);
    EXPECT_EQ(org.taxEmployerPension, 1);
    EXPECT_EQ(org.paySdl, 1);
    EXPECT_EQ(org.roundNetPay, 0);
    EXPECT_EQ(org.roundingUnit, 10);
    EXPECT_EQ(org.itNum, "");
    EXPECT_EQ(org.sfiSenderId, "");
}

TEST(PayFrequencies, LabelsAndPaths) {
    struct Case {
        PAYFREQ payFreq;
        const char* label;
        const char* table;
        const char* definitions;
    };
    const Case cases[] = {
        {MONTHLY, "Monthly", "database/monpay.dbf", "database/monpay.dat"},
        {WEEKLY, "Weekly", "database/wkpay.dbf", "database/wkpay.dat"},
        {BIWEEKLY, "Biweekly", "database/bwkpay.dbf", "database/bwkpay.dat"},
        {IRREGULAR, "Irregular", "database/irrpay.dbf", "database/irrpay.dat"},
        {static_cast<PAYFREQ>(4), "", "", ""},
        {static_cast<PAYFREQ>(-1), "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(payFreqLabel(c.payFreq), c.label) << c.payFreq;
        EXPECT_EQ(transactionsTablePath(c.payFreq), c.table) << c.payFreq;
        EXPECT_EQ(payFieldDefinitionsPath(c.payFreq), c.definitions) << c.payFreq;
    }
    EXPECT_EQ(kMonthEndOrder.front(), IRREGULAR);
    EXPECT_EQ(kMonthEndOrder.back(), MONTHLY);
    EXPECT_TRUE(isValidPayFreq(3));
    EXPECT_FALSE(isValidPayFreq(4));
}

TEST(ReportParams, Defaults) {
    ORGREC org = newOrgRec(2);
    org.month = "March";
    org.year = 2025;
    org.payFreq = WEEKLY;
    const date today{2025, 14, 3};
    const REPORTPARAM param = newReportParam(kReportPayslips, org, today);
    EXPECT_EQ(param.reportType, 34);
    EXPECT_EQ(param.payFreq, WEEKLY);
    EXPECT_FALSE(param.choice);
    EXPECT_EQ(param.isCurrentPeriod, 1);
    EXPECT_EQ(param.groupBy, kGroupByNone);
    EXPECT_EQ(param.period, (date{2025, 0, 3}));
    EXPECT_EQ(param.processDate, today);
    EXPECT_EQ(param.fromMonth, 1);
    EXPECT_EQ(param.toMonth, 12);
    EXPECT_EQ(param.groupName, "");
    EXPECT_EQ(param.groupTitle, "All Units");
    EXPECT_EQ(param.fieldName, "");

    struct Case {
        int groupBy;
        const char* title;
    };
    const Case cases[] = {
        {kGroupByNone, "All Units"},
        {kGroupByUnit, "Finance Unit"},
        {kGroupByStation, "Finance Station"},
        {kGroupByPayGroup, "Finance Pay Group"},
        {kGroupByBank, "Finance"},
        {kGroupByCoop, "Finance Co-operative"},
        {kGroupByPensionFund, "Finance Pension Fund"},
        {9, "All Units"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(groupTitle(c.groupBy, "Finance"), c.title) << c.groupBy;

    const PRINTERREC printer;
    EXPECT_EQ(printer.preview, 0);
    EXPECT_EQ(printer.pageRange, kPrintAllPages);
    EXPECT_EQ(printer.copies, 1);
}

TEST(Dates, OrderByYearMonthDay) {
    // Each date is later than the one before; day sits before month in memory.
    const date ordered[] = {
        {2024, 31, 12}, {2025, 0, 1},  {2025, 1, 1},  {2025, 31, 1},
        {2025, 1, 2},   {2025, 28, 2}, {2025, 1, 12}, {2026, 1, 1},
    };
    for (std::size_t i = 0; i + 1 < std::size(ordered); ++i) {
        EXPECT_LT(ordered[i], ordered[i + 1]) << i;
        EXPECT_GT(ordered[i + 1], ordered[i]) << i;
        EXPECT_NE(ordered[i], ordered[i + 1]) << i;
    }
    EXPECT_EQ((date{2025, 5, 6}), (date{2025, 5, 6}));
    EXPECT_LE((date{2025, 5, 6}), (date{2025, 5, 6}));

    const date now = date::today();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
}

} // namespace
} // namespace kelo::common
