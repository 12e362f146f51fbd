#pragma once

#include "app/main/DialogContext.h"

namespace kelo::setup {
class ReportWizard;
} // namespace kelo::setup

namespace kelo::app {

// The report parameters wizard ("Open Report"): one page at a time, with
// Back and Next when the wizard has more than one page. True when the
// clerk finished it with OK; the parameters are then the wizard's.
// The selection of employees and the pay period pages are built; a plan
// with another page is refused (false) until those pages have their layout.
bool runReportWizard(const DialogContext& context, setup::ReportWizard& wizard);

} // namespace kelo::app
