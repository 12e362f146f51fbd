#pragma once

#include "app/main/DialogContext.h"

namespace kelo::app {

// The statutory table dialogs over the setup library's PAYEDLG, NSSFDLG,
// PAYEPARAMDLG, SDLDLG, WCFDLG and INCOMESDLG, each made for one command and gone
// with it. The year tables are those of the open organisation's fiscal year;
// a table that does not open is told by the setup class and no dialog shows.
// Without the right to modify tax tables the values are shown read-only.
void runPayeRates(const DialogContext& context);
void runNssfRates(const DialogContext& context);
void runPayeParameters(const DialogContext& context);
void runSdlRate(const DialogContext& context);
void runWcfRate(const DialogContext& context);
void runIncomeBrackets(const DialogContext& context);

} // namespace kelo::app
