#pragma once

// Control names of the lookup list dialogs (stations, co-operatives, pension
// funds, grades, jobs). A Qt dialog is laid out from them: each constant is
// the object name of one control, the comment says what it is and its label.

namespace kelo::setup {

// The list dialog, the same for every list; its caption is the list's
// ("Stations", "Co-operatives", "Pension Funds", "Grades", "Jobs").
namespace lookuplistdlg {
inline constexpr const char* List =
    "LookupList";                               // list box: names in name order, codes as row codes
inline constexpr const char* Add = "AddButton"; // "&Add..."
inline constexpr const char* Delete = "DeleteButton";         // "&Delete"
inline constexpr const char* Properties = "PropertiesButton"; // "&Properties...", the default
inline constexpr const char* Close = "CloseButton";           // "&Close"
// Milliseconds between two refreshIfChanged calls while the dialog is open.
inline constexpr int RefreshInterval = 5000;
} // namespace lookuplistdlg

// "Station Properties", "Co-operative Properties", "Pension Fund Properties".
namespace lookupnamedlg {
inline constexpr const char* Name = "Name"; // edit "Name", 24 characters
} // namespace lookupnamedlg

// "Grade Properties".
namespace gradedlg {
inline constexpr const char* Name = "Name";               // edit "Name", 24 characters
inline constexpr const char* Rank = "Rank";               // edit "Rank", a whole number from 1
inline constexpr const char* SalaryRange = "SalaryRange"; // group box "Salary Range" around:
inline constexpr const char* LowerLimit = "LowerLimit";   // edit "Lower Limit", whole shillings
inline constexpr const char* UpperLimit = "UpperLimit";   // edit "Upper Limit", whole shillings
} // namespace gradedlg

// "Job Properties".
namespace jobdlg {
inline constexpr const char* Title = "Title";             // edit "Title", 24 characters
inline constexpr const char* Grade = "Grade";             // drop-down list "Grade": grade names
inline constexpr const char* Description = "Description"; // multi-line edit "Description", 199
} // namespace jobdlg

} // namespace kelo::setup
