#pragma once

// Control names of "Muster Roll Options" (OPTIONSDLG::displayMROptions and
// getMROptions). Each object name is the constant's value.

namespace kelo::setup::mroptionsdlg {
inline constexpr const char* SortGroup = "SortGroup";         // group box "Sort By"
inline constexpr const char* SortByName = "SortByName";       // radio "Name"
inline constexpr const char* SortByNumber = "SortByNumber";   // radio "Employee Number"
inline constexpr const char* GroupingGroup = "GroupingGroup"; // group box "Grouping"
inline constexpr const char* None = "GroupingNone";           // radio "None"
inline constexpr const char* ByUnit = "GroupingByUnit";       // radio "Administrative Unit"
inline constexpr const char* ByStation = "GroupingByStation"; // radio "Station"
} // namespace kelo::setup::mroptionsdlg
