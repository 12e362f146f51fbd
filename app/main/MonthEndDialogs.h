#pragma once

#include "app/main/DialogContext.h"

namespace kelo::app {

// Procedure > Month End: the Caution dialog (752, help 151) and the month
// end over the program's stores; -1 when cancelled or unsuccessful,
// otherwise its number of errors.
int runMonthEnd(const DialogContext& context);

// Procedure > Period End: the same Caution dialog (help 152) with the
// period end's text, and the period end of the payroll the user works on;
// -1 when refused or cancelled, otherwise its number of errors.
int runPeriodEnd(const DialogContext& context);

// At start-up and before an organisation opens: every interrupted month end
// or period end of the data folder put back, the user told.
void recoverMonthEnds(const DialogContext& context);

} // namespace kelo::app
