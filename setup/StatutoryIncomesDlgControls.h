#pragma once

// Control names of "Income Brackets for P10 Report" (INCOMESDLG) and its row
// dialog "Income Bracket". A Qt dialog is laid out from these; each object
// name is the constant's value.

namespace kelo::setup::incomesdlg {
// A list view with grid lines and whole-row selection. Row text holds the
// columns separated by tabs; a row's code is its record number.
inline constexpr const char* List = "BracketsList";
inline constexpr const char* Insert = "Insert"; // "&Insert..."
inline constexpr const char* Delete = "Delete"; // "&Delete"
inline constexpr const char* Edit = "Edit";     // "&Edit..."
inline constexpr const char* Close = "Close";   // "&Close": calls closeFile
// Column headings and widths (dialog units) of List, in order.
struct Column {
    const char* title;
    int width;
};
inline constexpr Column kColumns[] = {{"Lower Limit", 100}, {"Upper Limit", 100}};
// The dialog calls refreshDlg this often while it is open.
inline constexpr int kRefreshSeconds = 5;
} // namespace kelo::setup::incomesdlg

namespace kelo::setup::incomebracketdlg {               // "Income Bracket"
inline constexpr const char* LowerLimit = "LowerLimit"; // "Lower Limit"
inline constexpr const char* UpperLimit = "UpperLimit"; // "Upper Limit"
} // namespace kelo::setup::incomebracketdlg
