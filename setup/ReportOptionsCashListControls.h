#pragma once

// Control names of "Cash List Options" (OPTIONSDLG::displayCLOptions and
// getCLOptions). Each object name is the constant's value.

namespace kelo::setup::cloptionsdlg {
inline constexpr const char* SortGroup = "SortGroup";       // group box "Sort By"
inline constexpr const char* SortByName = "SortByName";     // radio "Name"
inline constexpr const char* SortByNumber = "SortByNumber"; // radio "Employee Number"
// Group box "Notes and coins paid out"; it takes the focus when none is ticked.
inline constexpr const char* DenominationsGroup = "DenominationsGroup";

// A check box of the group and its text, the cash list's column heading.
struct DenominationBox {
    const char* name;
    const char* text;
};
// One per bit of "Denominations", bit 0 first: largest to smallest.
inline constexpr DenominationBox Denominations[] = {
    {"Denomination10000", "10000 sh"}, {"Denomination5000", "5000 sh"},
    {"Denomination2000", "2000 sh"},   {"Denomination1000", "1000 sh"},
    {"Denomination500", "500 sh"},     {"Denomination200", "200 sh"},
    {"Denomination100", "100 sh"},     {"Denomination50", "50 sh"},
    {"Denomination20", "20 sh"},       {"Denomination10", "10 sh"},
};
} // namespace kelo::setup::cloptionsdlg
