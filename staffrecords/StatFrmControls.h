#pragma once

// The control names of the employee master form's pages and dialogs. Every
// page carries the record's position and status line; each page names only
// its own fields.

namespace kelo::staffrecords::statfrm {
// All pages: "Employee No." and the employee's names, read-only.
inline constexpr const char* kEmpNum = "EmpNum";
inline constexpr const char* kEmployee = "Employee"; // "Mwakyusa, Emmanuel Joseph"

// Page 1, "Personal Details".
inline constexpr const char* kLastName = "LastName";
inline constexpr const char* kOtherNames = "OtherNames";
inline constexpr const char* kTitle = "Title";
inline constexpr const char* kGender = "Gender";
inline constexpr const char* kMaritalStatus = "MaritalStatus";
inline constexpr const char* kBirthDate = "BirthDate"; // read-only text
inline constexpr const char* kBirthDateButton = "BirthDateButton";
inline constexpr const char* kNationality = "Nationality";
inline constexpr const char* kIdNum = "IdNum";

// Page 2, "Employment Details".
inline constexpr const char* kStartDate = "StartDate";
inline constexpr const char* kJobTitle = "JobTitle"; // from the post, read-only
inline constexpr const char* kGrade = "Grade";       // from the post, read-only
inline constexpr const char* kPostButton = "PostButton";
inline constexpr const char* kTerms = "Terms";
inline constexpr const char* kUnit = "Unit"; // read-only
inline constexpr const char* kStation = "Station";
inline constexpr const char* kPayGroup = "PayGroup";
inline constexpr const char* kLeaveEntitlement = "LeaveEntitlement";
inline constexpr const char* kSupervisor = "Supervisor"; // read-only
inline constexpr const char* kSupervisorButton = "SupervisorButton";
inline constexpr const char* kStatus = "Status"; // read-only

// Page 3, "Contact Info".
inline constexpr const char* kOffice = "Office";
inline constexpr const char* kOfficePhone = "OfficePhone";
inline constexpr const char* kEmail = "Email";
inline constexpr const char* kHomePhone = "HomePhone";
inline constexpr const char* kMobile = "Mobile";
inline constexpr const char* kPoBox = "PoBox";
inline constexpr const char* kTown = "Town";
inline constexpr const char* kPostCode = "PostCode";
// "Address1" to "Address4".
inline constexpr const char* kAddress[] = {"Address1", "Address2", "Address3", "Address4"};

// Page 4, "Payment".
inline constexpr const char* kPayFreq = "PayFreq";
inline constexpr const char* kPayMethod = "PayMethod";
inline constexpr const char* kBank = "Bank";     // read-only
inline constexpr const char* kBranch = "Branch"; // read-only
inline constexpr const char* kBankButton = "BankButton";
inline constexpr const char* kAccountNum = "AccountNum";

// Page 5, "Basic Pay".
inline constexpr const char* kBySalary = "BySalary";
inline constexpr const char* kByDailyRate = "ByDailyRate";
inline constexpr const char* kByHourlyRate = "ByHourlyRate";
inline constexpr const char* kSalary = "Salary";
inline constexpr const char* kDailyRate = "DailyRate";
inline constexpr const char* kHourlyRate = "HourlyRate";
inline constexpr const char* kHoursPerMonth = "HoursPerMonth";
inline constexpr const char* kHoursPerDay = "HoursPerDay";
inline constexpr const char* kTimeBasis = "TimeBasis";
inline constexpr const char* kSalaryRange = "SalaryRange"; // the grade's limits, read-only

// Page 6, "Overtime".
inline constexpr const char* kPayOvertime = "PayOvertime";
inline constexpr const char* kNormalFromBasic = "NormalFromBasic";
inline constexpr const char* kNormalKeyed = "NormalKeyed";
inline constexpr const char* kNormalRate = "NormalRate";
inline constexpr const char* kDoubleFromBasic = "DoubleFromBasic";
inline constexpr const char* kDoubleKeyed = "DoubleKeyed";
inline constexpr const char* kDoubleRate = "DoubleRate";

// Page 7, "Housing".
inline constexpr const char* kHoused = "Housed";
inline constexpr const char* kMarketValue = "MarketValue";
inline constexpr const char* kHousingExpense = "HousingExpense";
inline constexpr const char* kRent = "Rent";

// Page 8, "Statutory Deductions".
inline constexpr const char* kDeductPaye = "DeductPaye";
inline constexpr const char* kTopTaxRate = "TopTaxRate";
inline constexpr const char* kDeductNssf = "DeductNssf";
inline constexpr const char* kTin = "Tin";
inline constexpr const char* kNssfNum = "NssfNum";

// Pages 9 and 10: two slots of a co-operative or pension fund.
inline constexpr const char* kFund[] = {"Fund1", "Fund2"};
inline constexpr const char* kMemberNum[] = {"MemberNum1", "MemberNum2"};
} // namespace kelo::staffrecords::statfrm

// The Employee Number dialog of a new employee.
namespace kelo::staffrecords::empnumdlg {
inline constexpr const char* kEmpNum = "NewEmpNum";
} // namespace kelo::staffrecords::empnumdlg

// The Birth Date dialog.
namespace kelo::staffrecords::bdatedlg {
inline constexpr const char* kDay = "Day";
inline constexpr const char* kMonth = "Month";
inline constexpr const char* kYear = "Year";
} // namespace kelo::staffrecords::bdatedlg

// The post dialog: units in the tree, the chosen unit's posts in the list.
namespace kelo::staffrecords::postdlg {
inline constexpr const char* kUnits = "Units";
inline constexpr const char* kPosts = "Posts";
} // namespace kelo::staffrecords::postdlg

// The supervisor dialog: units in the tree, their employees in the list.
namespace kelo::staffrecords::supervisordlg {
inline constexpr const char* kUnits = "Units";
inline constexpr const char* kEmployees = "Employees";
} // namespace kelo::staffrecords::supervisordlg

// The "Bank and Branch" dialog.
namespace kelo::staffrecords::bankdlg {
inline constexpr const char* kBanks = "Banks";
inline constexpr const char* kBranches = "Branches";
} // namespace kelo::staffrecords::bankdlg

// The Terminate Employee dialog.
namespace kelo::staffrecords::terminatedlg {
inline constexpr const char* kDate = "TerminationDate"; // dd/mm/yyyy
inline constexpr const char* kReason = "Reason";
inline constexpr const char* kComment = "Comment";
} // namespace kelo::staffrecords::terminatedlg

// The Go to Record Number and Find dialogs.
namespace kelo::staffrecords::finddlg {
inline constexpr const char* kPrompt = "Prompt";
inline constexpr const char* kText = "FindText";
} // namespace kelo::staffrecords::finddlg
