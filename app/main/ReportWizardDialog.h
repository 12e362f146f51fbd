#pragma once

#include "app/main/DialogContext.h"

namespace kelo::setup {
class ReportWizard;
} // namespace kelo::setup

namespace kelo::app {

class MainWindow;
class ScreenshotHost;

// The report parameters wizard ("Open Report"): one page at a time, with
// Back and Next when the wizard has more than one page. True when the
// clerk finished it with OK; the parameters are then the wizard's.
bool runReportWizard(const DialogContext& context, setup::ReportWizard& wizard);

// The screenshot run's pictures of every wizard page, each in a report
// that has it, as "ReportWizardDialog-<page>".
void pictureReportWizard(MainWindow& window, ScreenshotHost& pictures);

} // namespace kelo::app
