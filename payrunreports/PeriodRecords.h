#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelo::payrunreports {

// The types the period reports see: a loan or savings deduction is reported
// under a report type of its own, every other item under its item type.
inline constexpr std::string_view kCompanyLoanReport = "Company Loan Report";
inline constexpr std::string_view kCoopLoanReport = "Co-op Loan Report";
inline constexpr std::string_view kSavingsPlanReport = "Savings Plan Report";

// "Company Loan Report" for "Company Loan Payment" and so on; any other type
// as it is.
std::string reportTypeOf(std::string_view itemType);

// A pay item definition as the period file keeps it.
struct ReportItemDef {
    std::int32_t id = 0;
    std::string name;
    std::string reportType;
    // The co-operative's name (co-operative types) or the pension fund's
    // (pension contributions); empty for other types.
    std::string groupName;
    std::string function;
    float percentage = 0;      // the three percentage functions
    std::int32_t rateKind = 0; // "Based on Hours Worked"
    float factor = 0;          // "Based on Hours Worked"
    double defaultAmount = 0;  // the lower limit, which a keyed amount starts from
    double upperLimit = 0;
    int isStatic = 0;
    int taxable = 0;
    int builtIn = 0;

    friend bool operator==(const ReportItemDef&, const ReportItemDef&) = default;
};

// The co-operative and pension types name their co-operative or fund.
bool namesGroup(std::string_view reportType);

// The figures an item carries after its amount, by its type. Balances are
// those the period leaves: what the next period starts from.
struct HourlyFigures {
    float hoursWorked = 0;
    double hourlyRate = 0;
    friend bool operator==(const HourlyFigures&, const HourlyFigures&) = default;
};
struct CoopFigures {
    double closingBalance = 0;
    friend bool operator==(const CoopFigures&, const CoopFigures&) = default;
};
struct PensionFigures {
    double employerContribution = 0;
    double employeeBalance = 0;
    double employerBalance = 0;
    friend bool operator==(const PensionFigures&, const PensionFigures&) = default;
};
// Company and co-op loans.
struct LoanFigures {
    double openingBalance = 0;
    double interest = 0;
    double interestPaid = 0;
    double principalPaid = 0;
    double closingBalance = 0;
    double interestRate = 0; // the employer's, percent per year
    std::int32_t paymentsLeft = 0;
    double statutoryRate = 0; // percent per year
    double lowInterestBenefit = 0;
    friend bool operator==(const LoanFigures&, const LoanFigures&) = default;
};
struct BankLoanFigures {
    std::int32_t paymentsLeft = 0;
    std::string bankName;
    std::string branchName;
    std::string loanNumber;
    friend bool operator==(const BankLoanFigures&, const BankLoanFigures&) = default;
};
struct SavingsFigures {
    double openingBalance = 0;
    double interest = 0;
    double closingBalance = 0;
    double interestRate = 0; // percent per year
    friend bool operator==(const SavingsFigures&, const SavingsFigures&) = default;
};
struct CostRecoveryFigures {
    double balance = 0;
    std::int32_t paidOff = 0;
    friend bool operator==(const CostRecoveryFigures&, const CostRecoveryFigures&) = default;
};

using ItemFigures = std::variant<std::monostate, HourlyFigures, CoopFigures, PensionFigures,
                                 LoanFigures, BankLoanFigures, SavingsFigures, CostRecoveryFigures>;

// Which figures an item of `reportType` in `table` carries: hours only among
// the earnings, balances and loans only among the deductions.
ItemFigures figuresFor(common::FIELDSTABLE table, std::string_view reportType);

// One pay item of an employee in the period.
struct ReportItem {
    std::shared_ptr<const ReportItemDef> definition;
    double amount = 0;
    ItemFigures figures;

    // Definitions compare by value: a record read back from a file has
    // definitions of its own.
    friend bool operator==(const ReportItem& a, const ReportItem& b) {
        const bool sameDefinition =
            a.definition == b.definition ||
            (a.definition && b.definition && *a.definition == *b.definition);
        return sameDefinition && a.amount == b.amount && a.figures == b.figures;
    }
};

// The definitions of the five tables in file order, the built-in items
// first among the earnings (basic pay, overtime) and deductions (rent).
using ReportItemDefs =
    std::array<std::vector<std::shared_ptr<const ReportItemDef>>, common::kFieldsTableCount>;

// How many built-in definitions open `table`; employees' item lists leave
// them out.
std::size_t builtInCount(common::FIELDSTABLE table);

// One employee of the period: master data, the period's pay and the leave
// balance.
struct REPORTREC {
    std::string empNum;
    std::string name; // "last name, other names"
    std::string idNum;
    std::string birthDate; // as printed: "14 Mar 1968", "Mar 1968", "1968" or empty
    std::string jobTitle;
    std::string unitPath; // own unit first, "."-separated up to the top unit
    std::string stationName;
    std::string tin;
    std::string nssfNum;
    int payMethod = common::kPayByCash;
    std::string payGroupName;
    std::string bankName, branchName, accountNum;
    std::array<std::string, 2> coopName, coopMemberNum;
    std::array<std::string, 2> pensionFundName, pensionMemberNum;
    int payBasis = common::kPayBasisSalary;
    double payRate = 0; // salary, daily rate or hourly rate by payBasis
    float hoursPerDay = 0, hoursPerMonth = 0;
    int timeBasis = common::kTimeFullPeriod;
    float timeWorked = 0;
    double basicPay = 0;
    double normalOvertimeRate = 0, doubleOvertimeRate = 0;
    float normalOvertimeHours = 0, doubleOvertimeHours = 0;
    double overtimePay = 0;
    double rent = 0;
    double deficitBF = 0; // "Overdraft Recovery"
    double roundingCF = 0;
    double lumpSumTax = 0;
    double employerPensionBenefit = 0;
    double loanBenefit = 0;
    double roundingBF = 0;
    double pensionRelief = 0;
    std::array<std::vector<ReportItem>, common::kFieldsTableCount> items;
    double paye = 0, nssfEmployee = 0, nssfEmployer = 0, sdl = 0, statutoryDeductions = 0;
    double grossPay = 0, totalBenefits = 0, taxablePay = 0;
    double housingBenefit = 0;
    double pensionDeduction = 0, chargeablePay = 0;
    double deductionsLessLumpSumTax = 0; // totalDeductions - lumpSumTax
    double totalLumpSums = 0;
    double lumpSumsLessTax = 0; // totalLumpSums - lumpSumTax
    double totalRefunds = 0, totalPay = 0, totalDeductions = 0, deficit = 0;
    double netPay = 0;
    float leaveBalance = 0; // days; 0 until the leave balances are filled in

    std::vector<ReportItem>& itemsOf(common::FIELDSTABLE table) {
        return items[static_cast<std::size_t>(table)];
    }
    const std::vector<ReportItem>& itemsOf(common::FIELDSTABLE table) const {
        return items[static_cast<std::size_t>(table)];
    }
    friend bool operator==(const REPORTREC&, const REPORTREC&) = default;
};

// The `header` group: the period and the organisation.
struct PeriodHeader {
    std::string periodTitle; // "March 2025", "Week ending 7 March 2025" ...
    common::PAYFREQ payFreq = common::MONTHLY;
    std::string orgName;
    std::string itNum; // the employer's TIN
    std::string nssfNum;
    std::string poBox;
    std::string postCode;
    std::string town;
    std::string telephone;
    friend bool operator==(const PeriodHeader&, const PeriodHeader&) = default;
};

// A whole period file in memory.
struct PeriodFile {
    PeriodHeader header;
    ReportItemDefs definitions;
    std::vector<REPORTREC> records; // in employee number order
};

} // namespace kelo::payrunreports
