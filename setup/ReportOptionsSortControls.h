#pragma once

// Control names of "Sort Options" (OPTIONSDLG::displaySortKey and
// getSortKey), the options of every report but payslips, the control account
// and the muster roll. Each object name is the constant's value.

namespace kelo::setup::sortoptionsdlg {
inline constexpr const char* SortGroup = "SortGroup";       // group box "Sort By"
inline constexpr const char* SortByName = "SortByName";     // radio "Name"
inline constexpr const char* SortByNumber = "SortByNumber"; // radio "Employee Number"
} // namespace kelo::setup::sortoptionsdlg
