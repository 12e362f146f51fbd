#pragma once

// Control names of "PAYE Parameters" (PAYEPARAMDLG). OK calls closeDlg,
// Cancel cancelDlg.

namespace kelo::setup::payeparamdlg {
// "Maximum Allowable Pension Fund"
inline constexpr const char* MaxPension = "MaxPension";
// "Statutory Interest Rate (%):", "July to December" and "January to June"
inline constexpr const char* StatRateJulDec = "StatRateJulDec";
inline constexpr const char* StatRateJanJun = "StatRateJanJun";
inline constexpr const char* Ok = "OK";
} // namespace kelo::setup::payeparamdlg
