#pragma once

// Control names of "NSSF Rates" (NSSFDLG). OK calls closeDlg, Cancel
// cancelDlg.

namespace kelo::setup::nssfdlg {
inline constexpr const char* EmployeeRate = "EmployeeRate"; // "Employee (%)"
inline constexpr const char* EmployerRate = "EmployerRate"; // "Employer (%)"
inline constexpr const char* Ok = "OK";
} // namespace kelo::setup::nssfdlg
