#pragma once

// Control names of "SDL Rate" (SDLDLG). OK calls closeDlg, Cancel cancelDlg.

namespace kelo::setup::sdldlg {
inline constexpr const char* Rate = "Rate"; // "Employer (%)"
inline constexpr const char* Ok = "OK";
} // namespace kelo::setup::sdldlg
