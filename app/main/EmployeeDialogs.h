#pragma once

#include "app/main/DialogContext.h"

#include <functional>
#include <string>

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

// The finder dialogs of every record window: a record number, an employee
// number or a last name, handed to the form's go-to or find, which says
// "Record not found." and keeps the dialog open on a miss.
enum class FindBy { RecordNumber, EmployeeNumber, LastName };
struct RecordFinder {
    std::function<bool(long)> gotoRec;
    std::function<bool(const std::string&)> findEmpNum;
    std::function<bool(const std::string&)> findName;
};
template <class Form> RecordFinder finderOf(Form& form) {
    return {[&form](long recNo) { return form.gotoRec(recNo); },
            [&form](const std::string& empNum) { return form.findEmpNum(empNum); },
            [&form](const std::string& lastName) { return form.findName(lastName); }};
}
bool runFind(const DialogContext& context, const RecordFinder& finder, FindBy by);
// The finder of Go to and of the two finds' commands.
FindBy findByCommand(int id);

} // namespace kelo::app
