#pragma once

// The control names of the payroll transactions form's pages and dialogs.
// Every page carries the record's position and employee line; the pages of
// pay items (1 to 5) carry five item rows under a scroll bar and the page
// total.

namespace kelo::staffrecords::varfrm {
// All pages.
inline constexpr const char* kPosition = "Position"; // "Record 3 of 40"
inline constexpr const char* kEmployee = "Employee"; // "MH002  Banda, Grace" or "Null record"
inline constexpr const char* kReadOnly = "ReadOnly"; // "Read-Only" or empty
// What shows the page's fields; hidden while there is no record.
inline constexpr const char* kPageBody = "PageBody";

// Pages 1 to 5: the visible item rows, top to bottom.
inline constexpr int kRows = 5;
inline constexpr const char* kItemName[kRows] = {"ItemName1", "ItemName2", "ItemName3", "ItemName4",
                                                 "ItemName5"};
inline constexpr const char* kItemActive[kRows] = {"ItemActive1", "ItemActive2", "ItemActive3",
                                                   "ItemActive4", "ItemActive5"};
inline constexpr const char* kItemAmount[kRows] = {"ItemAmount1", "ItemAmount2", "ItemAmount3",
                                                   "ItemAmount4", "ItemAmount5"};
// The "..." button of the item's parameters.
inline constexpr const char* kItemButton[kRows] = {"ItemButton1", "ItemButton2", "ItemButton3",
                                                   "ItemButton4", "ItemButton5"};
// Shown when the page has more than five items; its text is the first
// visible item's position from 0.
inline constexpr const char* kScroll = "ItemScroll";
inline constexpr const char* kTotal = "PageTotal";

// Page 1, "Earnings".
inline constexpr const char* kBasicPayActive = "BasicPayActive";
inline constexpr const char* kBasicPay = "BasicPay";
inline constexpr const char* kBasicPayButton = "BasicPayButton";
inline constexpr const char* kOvertimeActive = "OvertimeActive";
inline constexpr const char* kOvertime = "Overtime";
inline constexpr const char* kOvertimeButton = "OvertimeButton";

// Page 2, "Non-Statutory Deductions".
inline constexpr const char* kRentActive = "RentActive";
inline constexpr const char* kRent = "Rent";
inline constexpr const char* kOverdraft = "OverdraftRecovery";
inline constexpr const char* kRoundingCF = "RoundingCF";

// Page 3, "Benefits".
inline constexpr const char* kEmployerPension = "EmployerPension";
inline constexpr const char* kLoanBenefit = "LoanBenefit";

// Page 4, "Lump Sum Payments".
inline constexpr const char* kLumpSumTax = "LumpSumTax";

// Page 5, "Refunds".
inline constexpr const char* kRoundingBF = "RoundingBF";

// Page 6, "Taxable Pay".
inline constexpr const char* kTaxableEarnings = "TaxableEarnings";
inline constexpr const char* kNonCashBenefits = "NonCashBenefits";
inline constexpr const char* kHousingBenefit = "HousingBenefit";
inline constexpr const char* kTaxableTotal = "TaxableTotal";
inline constexpr const char* kAllowableDeductions = "AllowableDeductions";
inline constexpr const char* kChargeablePay = "ChargeablePay"; // "Taxable Pay"

// Page 7, "Statutory Deductions".
inline constexpr const char* kPaye = "Paye";
inline constexpr const char* kNssf = "Nssf";
inline constexpr const char* kStatLumpSumTax = "StatLumpSumTax";
inline constexpr const char* kStatutoryTotal = "StatutoryTotal";

// Page 8, "Summary".
inline constexpr const char* kSumEarnings = "SumEarnings";
inline constexpr const char* kSumLumpSums = "SumLumpSums";
inline constexpr const char* kSumRefunds = "SumRefunds";
inline constexpr const char* kSumOverdraft = "SumOverdraft";
inline constexpr const char* kTotalPay = "TotalPay";
inline constexpr const char* kSumStatutory = "SumStatutory";
inline constexpr const char* kSumOther = "SumOther";
inline constexpr const char* kTotalDeductions = "TotalDeductions";
inline constexpr const char* kNetPay = "NetPay";
} // namespace kelo::staffrecords::varfrm

// "Time Worked" (titled "Basic Pay").
namespace kelo::staffrecords::timeworkeddlg {
inline constexpr const char* kLabel = "TimeLabel"; // "Days Absent" ...
inline constexpr const char* kTimeWorked = "TimeWorked";
} // namespace kelo::staffrecords::timeworkeddlg

// "Overtime".
namespace kelo::staffrecords::overtimedlg {
inline constexpr const char* kNormalHours = "NormalHours";
inline constexpr const char* kDoubleHours = "DoubleHours";
} // namespace kelo::staffrecords::overtimedlg

// "Hourly Pay" (titled with the item's name).
namespace kelo::staffrecords::hourlypaydlg {
inline constexpr const char* kHours = "HoursWorked";
inline constexpr const char* kRate = "HourlyRate";
} // namespace kelo::staffrecords::hourlypaydlg

// "Balance" of a co-operative contribution or a cost recovery.
namespace kelo::staffrecords::balancedlg {
inline constexpr const char* kLabel = "BalanceLabel"; // "Balance B/F" or "Initial Balance"
inline constexpr const char* kBalance = "Balance";
} // namespace kelo::staffrecords::balancedlg

// "Pension Fund Parameters".
namespace kelo::staffrecords::pensiondlg {
inline constexpr const char* kEmployerContribution = "EmployerContribution";
inline constexpr const char* kEmployeeBalance = "EmployeeBalance";
inline constexpr const char* kEmployerBalance = "EmployerBalance";
} // namespace kelo::staffrecords::pensiondlg

// "Loan Parameters".
namespace kelo::staffrecords::loandlg {
inline constexpr const char* kBalanceLabel = "BalanceLabel"; // "Balance B/F" or "Principal"
inline constexpr const char* kBalance = "Balance";
inline constexpr const char* kInterestRate = "InterestRate";
// "Outstanding Payments" or "Number of Payments".
inline constexpr const char* kPaymentsLabel = "PaymentsLabel";
inline constexpr const char* kPayments = "Payments";
inline constexpr const char* kTaxableBenefit = "TaxableBenefit";
} // namespace kelo::staffrecords::loandlg

// "Bank Loan Parameters".
namespace kelo::staffrecords::bankloandlg {
inline constexpr const char* kBank = "Bank";
inline constexpr const char* kBranch = "Branch";
inline constexpr const char* kLoanNumber = "LoanNumber";
inline constexpr const char* kPaymentsLabel = "PaymentsLabel";
inline constexpr const char* kPayments = "Payments";
} // namespace kelo::staffrecords::bankloandlg

// "Savings Parameters".
namespace kelo::staffrecords::savingsdlg {
inline constexpr const char* kBalance = "Balance";
inline constexpr const char* kInterestRate = "InterestRate";
} // namespace kelo::staffrecords::savingsdlg

// "Add Employees to Payroll": rows "MH004\tSalim, Juma" coded by the
// transactions record number.
namespace kelo::staffrecords::addempdlg {
inline constexpr const char* kEmployees = "Employees";
inline constexpr const char* kAddAll = "AddAll";
inline constexpr const char* kAddSelected = "AddSelected";
} // namespace kelo::staffrecords::addempdlg
