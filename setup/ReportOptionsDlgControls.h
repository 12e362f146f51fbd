#pragma once

// Control names of "Report Options" (OPTIONSDLG::initDlg). A Qt dialog is
// laid out from these; each object name is the constant's value.

namespace kelo::setup::reportoptionsdlg {
// A list box of report names; a row's code is its report identifier. A
// double click does what Options does.
inline constexpr const char* List = "ReportList";
// "&Options...": getSelRepID, then the options dialog of the report (34
// Payslip Options, 33 Control Account Options, 32 Muster Roll Options, any
// other Sort Options).
inline constexpr const char* Options = "Options";
inline constexpr const char* Close = "Close"; // "&Close"
} // namespace kelo::setup::reportoptionsdlg
