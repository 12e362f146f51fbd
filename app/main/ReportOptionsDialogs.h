#pragma once

#include "app/main/DialogContext.h"

namespace kelo::app {

namespace helpctx {
// The report options dialogs, numbered from the Report Options resource.
inline constexpr int ReportOptions = 730;
inline constexpr int SortOptions = 731;
inline constexpr int PayslipOptions = 732;
inline constexpr int ControlAccountOptions = 733;
inline constexpr int MusterRollOptions = 734;
inline constexpr int CashListOptions = 735;
} // namespace helpctx

// Report Options over the session's OPTIONSDLG: the reports of the user's
// menu type and, for the chosen one, its option dialog (payslips, control
// account, muster roll, cash list, or the sort of any other report). Nothing shows when
// the options table does not open; OPTIONSDLG has told the user why.
void runReportOptions(const DialogContext& context);

} // namespace kelo::app
