#pragma once

#include "common/OrgRecords.h"
#include "common/ReportRecords.h"
#include "common/Text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelo::common {

// The five tables of user-defined pay items.
enum FIELDSTABLE : std::int32_t { EARNINGS = 0, DEDUCTIONS, BENEFITS, LUMPSUMS, REFUNDS };

inline constexpr std::size_t kFieldsTableCount = 5;
inline constexpr std::array<FIELDSTABLE, kFieldsTableCount> kFieldsTables{
    EARNINGS, DEDUCTIONS, BENEFITS, LUMPSUMS, REFUNDS};

// Item types; anything else is an ordinary item. Compared exactly.
inline constexpr std::string_view kTypeHourlyPay = "Hourly Pay";
inline constexpr std::string_view kTypePensionContribution = "Pension Contribution";
inline constexpr std::string_view kTypeCoopContribution = "Co-op Contribution";
inline constexpr std::string_view kTypeCoopLoanPayment = "Co-op Loan Payment";
inline constexpr std::string_view kTypeCoopBenevolentFund = "Co-op Benevolent Fund";
inline constexpr std::string_view kTypeCompanyLoanPayment = "Company Loan Payment";
inline constexpr std::string_view kTypeBankLoanPayment = "Bank Loan Payment";
inline constexpr std::string_view kTypeSavingsPlanDeposit = "Savings Plan Deposit";
inline constexpr std::string_view kTypeCostRecovery = "Cost Recovery";

// Item functions; anything else behaves as "Key in". Compared exactly.
inline constexpr std::string_view kFuncKeyIn = "Key in";
inline constexpr std::string_view kFuncPercentOfSalary = "Percentage of Salary";
inline constexpr std::string_view kFuncPercentOfBasicPay = "Percentage of Basic Pay";
inline constexpr std::string_view kFuncPercentOfGrossPay = "Percentage of Gross Pay";
inline constexpr std::string_view kFuncBasedOnHours = "Based on Hours Worked";
inline constexpr std::string_view kFuncReducingBalance = "Use Reducing Balance";
inline constexpr std::string_view kFuncAmortise = "Amortise";

enum class ItemType {
    Ordinary,
    HourlyPay,
    PensionContribution,
    CoopContribution,
    CoopLoanPayment,
    CoopBenevolentFund,
    CompanyLoanPayment,
    BankLoanPayment,
    SavingsPlanDeposit,
    CostRecovery
};

enum class ItemFunction {
    KeyIn,
    PercentOfSalary,
    PercentOfBasicPay,
    PercentOfGrossPay,
    BasedOnHours,
    ReducingBalance,
    Amortise
};

ItemType itemTypeOf(std::string_view itemType);
ItemFunction itemFunctionOf(std::string_view itemFunction);
// "Co-op Contribution", "Co-op Loan Payment" and "Co-op Benevolent Fund".
bool isCoopType(std::string_view itemType);
// The three "Percentage of ..." functions.
bool isPercentFunction(std::string_view itemFunction);

// Most characters each text field of the pay item records holds.
struct PayItemWidths {
    static constexpr std::size_t kItemNameWidth = 49;
    static constexpr std::size_t kItemTypeWidth = 49;
    static constexpr std::size_t kItemFunctionWidth = 49;
    static constexpr std::size_t kBankNameWidth = 24;
    static constexpr std::size_t kBranchNameWidth = 24;
    static constexpr std::size_t kLoanNumberWidth = 24;
};

// A pension fund's own contribution for the employee.
struct EmployerContribution {
    std::string function; // one of the three percentage functions
    int applyLimits = 0;
    double lowerLimit = 0;
    double upperLimit = 0;
    float percentage = 0;

    friend bool operator==(const EmployerContribution&, const EmployerContribution&) = default;
};

// The co-operative or pension fund an item belongs to.
struct PayItemLink {
    std::int32_t id = 0;
    std::optional<EmployerContribution> employer; // pension contributions only

    friend bool operator==(const PayItemLink&, const PayItemLink&) = default;
};

// Only the members that the item's function uses are meaningful.
struct FunctionParams {
    float percentage = 0;      // the percentage functions
    std::int32_t rateKind = 0; // "Based on Hours Worked": kBasicPayRateKind or keyed
    float factor = 0;          // times the basic pay rate

    friend bool operator==(const FunctionParams&, const FunctionParams&) = default;
};

// Any other rateKind means the hourly rate is keyed per employee.
inline constexpr std::int32_t kBasicPayRateKind = 2;

// Definition of a pay item, shared by all employees of a pay frequency.
struct PayItemDef {
    std::string itemName;
    std::string itemType;
    std::string itemFunction;
    std::optional<PayItemLink> link;
    FunctionParams funcParams;
    double lowerLimit = 0;
    double upperLimit = 0;
    int applyLimits = 0;
    int isStatic = 0; // the keyed amount survives the period update
    int taxable = 0;  // pension contribution: set means no relief against tax
    // Where the item stands in its table (1, 2, ...), and its identifier there,
    // which names its transactions columns and is never reused. 0: not given.
    std::int32_t position = 0;
    std::int32_t id = 0;
    int builtIn = 0; // "Basic Pay", "Overtime" and "Rent": cannot be deleted

    friend bool operator==(const PayItemDef&, const PayItemDef&) = default;
};

ItemType itemTypeOf(const PayItemDef& def);
ItemFunction itemFunctionOf(const PayItemDef& def);
// True for "Key in" and for any function text not listed above.
bool isKeyIn(const PayItemDef& def);

// Company and co-op loans; balance and interest also for reducing-balance and
// amortised deductions.
struct LoanParams {
    double balance = 0;     // the principal while newLoan is set
    float interestRate = 0; // percent per year
    std::int32_t paymentsLeft = 0;
    int newLoan = 0; // the next loan is keyed as principal and number of payments
    int taxableBenefit = 0;
};

struct HourlyParams {
    float hoursWorked = 0;
    double hourlyRate = 0;
};

struct PensionParams {
    double employerContribution = 0;
    double employeeBalance = 0;
    double employerBalance = 0;
};

struct CoopParams {
    double balance = 0;
};

struct SavingsParams {
    double balance = 0;
    float interestRate = 0;
};

struct BankLoanParams {
    std::int32_t paymentsLeft = 0;
    int newLoan = 0;
    std::string bankName;
    std::string branchName;
    std::string loanNumber;
};

struct CostRecoveryParams {
    double balance = 0;
    // Both set by the period update once the balance has been paid off.
    int paidOff = 0;
    int newRecovery = 0;
};

using PayItemParams = std::variant<std::monostate, LoanParams, HourlyParams, PensionParams,
                                   CoopParams, SavingsParams, BankLoanParams, CostRecoveryParams>;

// One user-defined pay item of an employee in the current period.
struct PayItem {
    std::shared_ptr<const PayItemDef> definition;
    PayItemParams params;
    int active = 0; // an inactive item's computed amount is 0
    double amount = 0;
};

// The pay item definitions of one pay frequency, in definition order.
struct PayItemDefs {
    using List = std::vector<std::shared_ptr<const PayItemDef>>;
    std::shared_ptr<const PayItemDef> basicPay;
    std::shared_ptr<const PayItemDef> overtime;
    std::shared_ptr<const PayItemDef> rent;
    List earnings, deductions, benefits, lumpSums, refunds;

    // nullptr for a value outside the five tables.
    List* list(FIELDSTABLE table);
    const List* list(FIELDSTABLE table) const;
};

// STATICREC::payBasis, payMethod and timeBasis (what the period's timeWorked counts).
inline constexpr int kPayBasisSalary = 0, kPayBasisDaily = 1, kPayBasisHourly = 2;
inline constexpr int kPayByCash = 0, kPayByCheque = 1, kPayByBankTransfer = 2;
inline constexpr int kTimeFullPeriod = 0, kTimeDaysAbsent = 1, kTimeHoursAbsent = 2,
                     kTimeDaysPresent = 3, kTimeHoursPresent = 4;

// Most characters each text field of STATICREC and EMPNUMREC holds.
struct StaticWidths {
    static constexpr std::size_t kEmpNumWidth = employeeNumberWidth;
    static constexpr std::size_t kIdNumWidth = 14;
    static constexpr std::size_t kLastNameWidth = 19;
    static constexpr std::size_t kOtherNamesWidth = 29;
    static constexpr std::size_t kTitleWidth = 4;
    static constexpr std::size_t kGenderWidth = 6;
    static constexpr std::size_t kMaritalStatusWidth = 8;
    static constexpr std::size_t kNationalityWidth = 19;
    static constexpr std::size_t kOfficeWidth = 19;
    static constexpr std::size_t kOfficePhoneWidth = 19;
    static constexpr std::size_t kEmailWidth = 39;
    static constexpr std::size_t kHomePhoneWidth = 19;
    static constexpr std::size_t kMobileWidth = 19;
    static constexpr std::size_t kPoBoxWidth = 9;
    static constexpr std::size_t kTownWidth = 19;
    static constexpr std::size_t kPostCodeWidth = 9;
    static constexpr std::size_t kResidentialAddressWidth = 24; // each line
    static constexpr std::size_t kTerminationReasonWidth = 24;
    static constexpr std::size_t kTerminationCommentWidth = 199;
    static constexpr std::size_t kBankNameWidth = 24;
    static constexpr std::size_t kBranchNameWidth = 24;
    static constexpr std::size_t kAccountNumWidth = 24;
};

inline constexpr std::size_t kResidentialAddressLines = 4;

// The employee master record (the fields the payroll and the forms use).
struct STATICREC {
    std::string empNum; // compared upper case without trailing blanks
    std::string idNum;
    std::string lastName;
    std::string otherNames;
    std::string title;
    std::string gender;
    std::string maritalStatus;
    std::string nationality;
    std::int32_t station = 0;
    date startDate;
    float leaveEntitlement = 0; // days per year
    std::string office, officePhone, email, homePhone, mobile;
    std::string poBox, town, postCode;
    std::array<std::string, kResidentialAddressLines> residentialAddress;
    int terminated = 0;
    date terminationDate;
    std::string terminationReason;
    std::string terminationComment;
    int separated = 0; // the termination has gone through the payroll
    PAYFREQ payFreq = MONTHLY;
    int payMethod = kPayByCash;
    std::string bankName, branchName, accountNum;
    int payBasis = kPayBasisSalary;
    double salary = 0, hourlyRate = 0, dailyRate = 0;
    float hoursPerDay = 0, hoursPerMonth = 0;
    int timeBasis = kTimeFullPeriod;
    int overtimeEligible = 0;
    double normalOvertimeRate = 0, doubleOvertimeRate = 0;
    int housed = 0;
    double housingValue = 0, housingExpense = 0, rent = 0;
    int payeApplies = 0, useTopTaxRate = 0, nssfMember = 0;
    std::int32_t coop1 = 0, coop2 = 0;               // 0: none
    std::int32_t pensionFund1 = 0, pensionFund2 = 0; // 0: none

    friend bool operator==(const STATICREC&, const STATICREC&) = default;
};

// Most characters each text field of VARIATIONSREC holds.
struct VariationsWidths {
    static constexpr std::size_t kEmpNumWidth = employeeNumberWidth;
    static constexpr std::size_t kLastNameWidth = 19;
    static constexpr std::size_t kOtherNamesWidth = 31;
};

// The payroll transactions record of one employee for the current period.
struct VARIATIONSREC {
    std::int32_t recNo = 0;
    std::string empNum, lastName, otherNames;
    int openingPeriod = 0; // deficitBF and roundingBF may be keyed until the first update
    int removed = 0;       // kept in the file but off the payroll
    int payeApplies = 0, useTopTaxRate = 0, nssfMember = 0, housed = 0;
    PAYFREQ payFreq = MONTHLY;
    int payMethod = kPayByCash;
    std::int32_t coop1 = 0, coop2 = 0, pensionFund1 = 0, pensionFund2 = 0;
    std::shared_ptr<const PayItemDef> basicPayDef;
    int payBasis = kPayBasisSalary;
    double payRate = 0;
    double fullPay = 0;
    float hoursPerDay = 0, hoursPerMonth = 0;
    int timeBasis = kTimeFullPeriod;
    float timeWorked = 0;
    double basicPay = 0;
    std::shared_ptr<const PayItemDef> overtimeDef;
    int overtimeEligible = 0;
    double normalOvertimeRate = 0;
    float normalOvertimeHours = 0;
    double doubleOvertimeRate = 0;
    float doubleOvertimeHours = 0;
    double overtimePay = 0;
    std::shared_ptr<const PayItemDef> rentDef;
    int rentDeducted = 0; // the housed flag, shown as the "Rent" check box
    double rent = 0, deficitBF = 0, roundingCF = 0;
    double housingValue = 0, housingExpense = 0, housingBenefit = 0;
    double employerPensionBenefit = 0, loanBenefit = 0, roundingBF = 0;
    std::vector<PayItem> earnings, deductions, benefits, lumpSums, refunds;
    double lumpSumTax = 0, pensionRelief = 0, paye = 0;
    double nssfEmployee = 0, nssfEmployer = 0, sdl = 0;
    double statutoryDeductions = 0, taxableEarnings = 0, grossPay = 0, totalBenefits = 0;
    double taxablePay = 0, pensionDeduction = 0, chargeablePay = 0, otherDeductions = 0;
    double totalLumpSums = 0, totalRefunds = 0;
    double totalPay = 0, totalDeductions = 0, deficit = 0, netPay = 0;
    double monthTaxable = 0, monthPaye = 0, monthGross = 0, monthBasic = 0;
    std::array<int, 2> halfYearMonths{}; // index 0 January to June, 1 July to December
    std::array<double, 2> halfYearTaxable{};
    std::array<double, 2> halfYearPaye{};

    // nullptr for a value outside the five tables.
    std::vector<PayItem>* items(FIELDSTABLE table);
    const std::vector<PayItem>* items(FIELDSTABLE table) const;
};

// A request to change an employee number.
struct EMPNUMREC {
    std::string oldEmpNum;
    std::string newEmpNum;
    PAYFREQ payFreq = MONTHLY;
};

// An employee's item before anything is keyed: inactive, amount 0, and the
// parameters of a new item for its type and function. With a table, loan,
// fund and cost recovery parameters go to deductions only and hours to
// earnings only; without one the texts alone decide.
PayItem newPayItem(std::shared_ptr<const PayItemDef> definition,
                   std::optional<FIELDSTABLE> table = std::nullopt);

// A fresh transactions record for the pay frequency whose definitions these are.
VARIATIONSREC newVariationsRec(const PayItemDefs& defs);

// payRate from salary, dailyRate or hourlyRate by the employee's payBasis;
// left as it was when payBasis is out of range.
void setPayRate(VARIATIONSREC& rec, const STATICREC& employee);

inline constexpr std::string_view kCoopTwiceMessage =
    "Employee cannot belong to the same co-operative twice.";
inline constexpr std::string_view kPensionFundTwiceMessage =
    "Employee cannot belong to the same pension fund twice.";

// The message to show when both slots hold the same nonzero identifier.
std::optional<std::string> checkCoopSlots(std::int32_t coop1, std::int32_t coop2);
std::optional<std::string> checkPensionFundSlots(std::int32_t fund1, std::int32_t fund2);

} // namespace kelo::common
