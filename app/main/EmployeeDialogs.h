#pragma once

#include "app/main/DialogContext.h"

namespace kelo::common {
struct ORGREC;
} // namespace kelo::common
namespace kelo::staffrecords {
class STATFRM;
} // namespace kelo::staffrecords

namespace kelo::app {

// The dialogs of the personnel and payroll master windows over STATFRM.
// Each runs modally over the window in `context.parent` and reports whether
// the clerk went through with it.

// A new employee's number; on OK the form makes him the current record.
bool runEmployeeNumber(const DialogContext& context, staffrecords::STATFRM& form,
                       const common::ORGREC& org, int helpContext);
bool runTerminate(const DialogContext& context, staffrecords::STATFRM& form, int helpContext);
bool runBirthDate(const DialogContext& context, staffrecords::STATFRM& form, int helpContext);
bool runSelectPost(const DialogContext& context, staffrecords::STATFRM& form, int helpContext);
bool runSupervisor(const DialogContext& context, staffrecords::STATFRM& form, int helpContext);
bool runBankBranch(const DialogContext& context, staffrecords::STATFRM& form, int helpContext);

// The finder dialogs: a record number, an employee number or a last name.
enum class FindBy { RecordNumber, EmployeeNumber, LastName };
bool runFind(const DialogContext& context, staffrecords::STATFRM& form, FindBy by);

} // namespace kelo::app
