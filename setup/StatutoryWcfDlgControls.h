#pragma once

// Control names of "WCF Rate" (WCFDLG). OK calls closeDlg, Cancel cancelDlg.

namespace kelo::setup::wcfdlg {
inline constexpr const char* Rate = "Rate"; // "Employer (%)"
inline constexpr const char* Ok = "OK";
} // namespace kelo::setup::wcfdlg
