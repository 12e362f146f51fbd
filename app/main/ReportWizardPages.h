#pragma once

#include "setup/ReportWizard.h"

namespace kelo::app {

class FormDialog;

// Lays out one page of the report parameters wizard on `dialog`, lets the
// wizard fill it, and hands the choices the wizard reacts to back to it.
void buildWizardPage(FormDialog& dialog, setup::ReportWizard& wizard, setup::WizardPage page);

// The page's name in pictures: "YearRange", "PayField" and so on.
const char* wizardPageName(setup::WizardPage page);

} // namespace kelo::app
