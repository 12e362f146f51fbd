#pragma once

// Control names of "Payslip Options" (OPTIONSDLG::displayPSOptions,
// resetPSOptions, getPSOptions). Each object name is the constant's value.

namespace kelo::setup::psoptionsdlg {
inline constexpr const char* SortGroup = "SortGroup";       // group box "Sort By"
inline constexpr const char* SortByName = "SortByName";     // radio "Name"
inline constexpr const char* SortByNumber = "SortByNumber"; // radio "Employee number"
inline constexpr const char* Separator = "Separator";       // check "Draw separator line"
// Check "Print in duplicate"; a click calls resetPSOptions.
inline constexpr const char* Duplicate = "Duplicate";
inline constexpr const char* EmployerPension = "EmployerPension"; // "Print employer pension"
inline constexpr const char* PensionBalance = "PensionBalance";   // "Print pension balance"
inline constexpr const char* LoanBreakdown = "LoanBreakdown";     // "Print loan breakdown"
inline constexpr const char* LeaveBalance = "LeaveBalance";       // "Print leave balance"
// Group box whose title the logic sets: "Signed by", or "Duplicate signed
// by" while Duplicate is ticked.
inline constexpr const char* SignatureGroup = "SignatureGroup";
inline constexpr const char* NotSigned = "NotSigned"; // radio "Not signed"
inline constexpr const char* Employer = "Employer";   // radio "Employer"
inline constexpr const char* Employee = "Employee";   // radio "Employee"
inline constexpr const char* Both = "Both";           // radio "Both"

inline constexpr const char* kSignedBy = "Signed by";
inline constexpr const char* kDuplicateSignedBy = "Duplicate signed by";
} // namespace kelo::setup::psoptionsdlg
