#include "procedures/EmpNumChange.h"

#include "common/Text.h"

namespace kelo::procedures {

namespace {

std::string numberOf(const std::string& text) {
    return std::string(common::fitText(common::trim(text), common::employeeNumberWidth));
}

std::string blankMessage(const char* fieldName) {
    return std::string("The ") + fieldName + " must not be blank. Please enter a value.";
}

} // namespace

EmpNumChange::EmpNumChange(common::Ui& ui, EmpNumStores& stores, const common::ORGREC& org)
    : ui_(ui),
      stores_(stores),
      org_(org) {}

bool EmpNumChange::initEmpNumDlg(common::DialogView& dlg) {
    employee_.reset();
    if (!stores_.checkFiles())
        return false;
    dlg.setCaption(empnumchangedlg::kCaption);
    dlg.setText(empnumchangedlg::kCaution, empnumchangedlg::kCautionText);
    for (const char* control : {empnumchangedlg::kOldEmpNum, empnumchangedlg::kNewEmpNum}) {
        dlg.setText(control, "");
        dlg.setTextLimit(control, static_cast<int>(common::employeeNumberWidth));
    }
    dlg.setFocus(empnumchangedlg::kOldEmpNum);
    return true;
}

std::optional<std::string> EmpNumChange::refusal(const std::string& oldEmpNum,
                                                 const std::string& newEmpNum,
                                                 common::EMPNUMREC& change, const char*& control) {
    employee_.reset();
    const std::string oldNum = numberOf(oldEmpNum);
    const std::string newNum = numberOf(newEmpNum);
    control = empnumchangedlg::kOldEmpNum;
    if (oldNum.empty())
        return blankMessage("Old Employee Number");
    control = empnumchangedlg::kNewEmpNum;
    if (newNum.empty())
        return blankMessage("New Employee Number");

    control = empnumchangedlg::kOldEmpNum;
    std::optional<EmpNumEmployee> found;
    if (!stores_.findEmployee(oldNum, found))
        return std::string(); // the store has told why
    if (!found)
        return "No record with this employee number exists.";
    control = empnumchangedlg::kNewEmpNum;
    if (common::employeeKey(oldNum) == common::employeeKey(newNum))
        return "Old and new employee numbers must be different.";
    std::optional<EmpNumEmployee> taken;
    if (!stores_.findEmployee(newNum, taken))
        return std::string();
    if (taken)
        return "Record with this employee number already exists. Please enter a different new "
               "employee number.";

    change.oldEmpNum = found->empNum;
    change.newEmpNum = newNum;
    change.payFreq = found->payFreq;
    employee_ = std::move(found);
    return std::nullopt;
}

bool EmpNumChange::closeEmpNumDlg(common::DialogView& dlg, common::EMPNUMREC& change) {
    const char* control = nullptr;
    const std::optional<std::string> refused =
        refusal(dlg.text(empnumchangedlg::kOldEmpNum), dlg.text(empnumchangedlg::kNewEmpNum),
                change, control);
    if (!refused)
        return true;
    if (!refused->empty())
        ui_.information(*refused);
    dlg.setFocus(control);
    return false;
}

void EmpNumChange::cancelEmpNumDlg() {
    employee_.reset();
}

std::optional<common::EMPNUMREC> EmpNumChange::checkNumbers(const std::string& oldEmpNum,
                                                            const std::string& newEmpNum) {
    common::EMPNUMREC change;
    const char* control = nullptr;
    const std::optional<std::string> refused = refusal(oldEmpNum, newEmpNum, change, control);
    if (!refused)
        return change;
    if (!refused->empty())
        ui_.information(*refused);
    return std::nullopt;
}

bool EmpNumChange::confirm(const common::EMPNUMREC& change) {
    const std::string lastName = employee_ ? employee_->lastName : std::string();
    const std::string otherNames = employee_ ? employee_->otherNames : std::string();
    return ui_.ask("Are you sure you want to change the employee number for\n" + lastName + ", " +
                   otherNames + " from " + change.oldEmpNum + " to " + change.newEmpNum + "?");
}

bool EmpNumChange::updateEmpNum(const common::EMPNUMREC& change) {
    return confirm(change) && stores_.renumberEmployeeFiles(change);
}

EmpNumStatus EmpNumChange::run(const common::EMPNUMREC& change) {
    // The question comes before the wait cursor, which would otherwise stand over it.
    bool renumbered = confirm(change);
    if (renumbered) {
        common::WaitCursor wait(ui_);
        renumbered = stores_.renumberEmployeeFiles(change);
        if (renumbered) {
            // Each store tells its own failures; the change stands whatever they answer.
            stores_.renumberMonthReturns(change, org_);
            stores_.renumberAnnualReturns(change, org_);
            stores_.renumberTaxReports(change, org_);
            stores_.renumberYearToDate(change, org_);
            stores_.renumberLeaveReports(change, org_);
            stores_.renumberFormerEmployees(change, org_);
        }
    }
    employee_.reset();
    ui_.information(renumbered ? kEmpNumChangedText : kEmpNumNotChangedText);
    return renumbered ? EmpNumStatus::Changed : EmpNumStatus::NotChanged;
}

EmpNumStatus changeEmployeeNumber(common::Ui& ui, EmpNumStores& stores, const common::ORGREC& org,
                                  const std::string& oldEmpNum, const std::string& newEmpNum) {
    EmpNumChange change(ui, stores, org);
    const std::optional<common::EMPNUMREC> request = change.checkNumbers(oldEmpNum, newEmpNum);
    if (!request)
        return EmpNumStatus::Refused;
    return change.run(*request);
}

} // namespace kelo::procedures
