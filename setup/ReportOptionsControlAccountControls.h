#pragma once

// Control names of "Control Account Options" (OPTIONSDLG::displayCAOptions
// and getCAOptions). Each object name is the constant's value.

namespace kelo::setup::caoptionsdlg {
inline constexpr const char* BreakdownGroup = "BreakdownGroup"; // group box "Breakdown"
inline constexpr const char* None = "BreakdownNone";            // radio "None"
inline constexpr const char* ByUnit = "BreakdownByUnit";        // radio "By Administrative Unit"
inline constexpr const char* ByStation = "BreakdownByStation";  // radio "By Station"
} // namespace kelo::setup::caoptionsdlg
