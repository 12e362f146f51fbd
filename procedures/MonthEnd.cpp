// The month end's course: the checks, the user's consent, the preparation
// that may still stop it, and the work that always runs to the end.
#include "procedures/MonthEnd.h"

namespace kelo::procedures {

using common::Answer;
using common::MessageButtons;
using common::MessageIcon;

namespace monthendtext {

std::string expiredBookings(std::int32_t count) {
    return "Cannot close the year because the absence and leave file has " + std::to_string(count) +
           " expired leave booking(s).";
}

std::string completedWithErrors(int errors) {
    return "Month end procedure completed with " + std::to_string(errors) + " errors.";
}

std::string newStatutoryFiles(int fiscalYear) {
    return "New PAYE, NSSF and SDL files for the year " + std::to_string(fiscalYear) + "/" +
           std::to_string(fiscalYear + 1) +
           " have just been created. Please review them and update if necessary.";
}

std::string tableInUse(const std::string& table) {
    return "The month end cannot start because " + table +
           " is in use by another user. Nothing has been changed. Please try again when it is "
           "free.";
}

} // namespace monthendtext

MONTHEND::MONTHEND(common::Ui& ui, MonthEndStores& stores, MonthEndGuard& guard,
                   CautionHost& caution, std::string sourceFolder)
    : ui_(ui),
      stores_(stores),
      guard_(guard),
      caution_(caution),
      sourceFolder_(std::move(sourceFolder)) {}

int MONTHEND::monthEnd() {
    if (!mayCloseMonth(common::WEEKLY) || !mayCloseMonth(common::BIWEEKLY) || !mayCloseYear())
        return cancel();
    MONENDDLG form(stores_);
    if (!caution_.runCaution(form))
        return -1;
    if (!backUp() || !prepare())
        return cancel();
    if (!feedLeaveReports()) {
        guard_.end();
        ui_.information(monthendtext::Unsuccessful);
        return -1;
    }
    const int errors = work();
    guard_.end();
    return finish(errors);
}

bool MONTHEND::backUp() {
    const Answer answer = ui_.message(monthendtext::BackupQuestion, MessageIcon::Question,
                                      MessageButtons::YesNoCancel);
    if (answer == Answer::Cancel)
        return false;
    return answer != Answer::Yes || stores_.backup();
}

// Nothing has changed yet: every table must be free and the recovery point
// made before the first file goes.
bool MONTHEND::prepare() {
    std::string busy;
    {
        common::WaitCursor wait(ui_);
        busy = guard_.busyTable(org());
    }
    if (!busy.empty()) {
        ui_.warning(monthendtext::tableInUse(busy));
        return false;
    }
    bool begun = false;
    {
        common::WaitCursor wait(ui_);
        begun = guard_.begin(org(), Closing::Month);
    }
    if (!begun)
        ui_.error(monthendtext::NoRecoveryPoint);
    return begun;
}

bool MONTHEND::feedLeaveReports() {
    common::WaitCursor wait(ui_);
    dropInterimFiles();
    return stores_.checkLeaveRepFiles() && stores_.updateLeaveRepFile(org());
}

void MONTHEND::dropInterimFiles() {
    stores_.delActiveFile(org());
    stores_.delPeriodTmpFiles(org());
    stores_.delMonthInterimFile(org());
    stores_.delAnnualInterimFile(org());
    stores_.delTaxInterimFiles(org());
    stores_.delYtdInterimFile(org());
    stores_.delLeaveRepInterimFile(org());
}

int MONTHEND::finish(int errors) {
    if (errors == 0)
        ui_.information(monthendtext::Completed);
    else
        ui_.message(monthendtext::completedWithErrors(errors), MessageIcon::Warning);
    return errors;
}

int MONTHEND::cancel() {
    ui_.information(monthendtext::Cancelled);
    return -1;
}

} // namespace kelo::procedures
