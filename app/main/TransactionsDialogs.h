#pragma once

#include "app/main/DialogContext.h"
#include "staffrecords/VarFrm.h"

#include <memory>

namespace kelo::app {

class FormDialog;

namespace helpctx {
// The payroll transactions window and its dialogs.
inline constexpr int Transactions = 173;
} // namespace helpctx

// The dialogs of the payroll transactions window over VARFRM. Each runs
// modally over the window in `context.parent`, shows nothing when the form
// has nothing to show, stays open while the form refuses what was keyed,
// and reports whether the clerk went through with it.

// "Basic Pay": the time worked, for an employee paid by the time he works.
bool runTimeWorked(const DialogContext& context, staffrecords::VARFRM& form);
// "Overtime": normal and double overtime hours.
bool runOvertime(const DialogContext& context, staffrecords::VARFRM& form);
// The parameters of the form's current item, in the dialog its kind takes.
bool runItemParameters(const DialogContext& context, staffrecords::VARFRM& form,
                       staffrecords::ParamDialog which);
// The dialog of a kind of parameters laid out, empty and not run: the
// screenshot run's picture of a kind no item of the data folder has.
std::unique_ptr<FormDialog> parametersLayout(const DialogContext& context,
                                             staffrecords::ParamDialog which);
// "Add Employees to Payroll": employees taken off the payroll come back.
bool runAddEmployees(const DialogContext& context, staffrecords::VARFRM& form);

} // namespace kelo::app
