#pragma once

#include "app/main/DialogContext.h"

namespace kelo::staffrecords {
class FIELDSFRM;
} // namespace kelo::staffrecords

namespace kelo::app {

// The parameter dialogs of the pay field definitions window over FIELDSFRM.
// Each shows the parameters of the item in the form and, on OK, stores them
// in it once they pass; the item itself is saved with the form. True when
// the clerk went through with it.

// The co-operative ("Select Name") of a co-operative type, or the fund and
// the employer's contribution ("Pension Fund Parameters") of a pension
// contribution; false for a type without parameters.
bool runTypeParameters(const DialogContext& context, staffrecords::FIELDSFRM& form);
// "Percentage" for the percentage functions, "Limits" for "Key in", "Hourly
// Rate" for "Based on Hours Worked"; false for the other functions.
bool runFunctionParameters(const DialogContext& context, staffrecords::FIELDSFRM& form);

} // namespace kelo::app
