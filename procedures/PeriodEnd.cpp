#include "procedures/PeriodEnd.h"

#include "common/Calendar.h"

namespace kelo::procedures {

using common::MessageIcon;

namespace periodendtext {

std::string completedWithErrors(int errors) {
    return "Period end procedure completed with " + std::to_string(errors) + " errors.";
}

std::string lastPeriod(common::PAYFREQ payFreq, const common::ORGREC& org) {
    const bool weekly = payFreq == common::WEEKLY;
    const int endDay = weekly ? org.weekEndDay : org.fortnightEndDay;
    return std::string(weekly ? "The week" : "The fortnight") + " ending " +
           std::to_string(endDay) + " " + org.month + " " + std::to_string(org.year) +
           " is the last " + (weekly ? "weekly" : "biweekly") +
           " period of the month; it is closed by the month end.";
}

std::string tableInUse(const std::string& table) {
    return "The period end cannot start because " + table +
           " is in use by another user. Nothing has been changed. Please try again when it is "
           "free.";
}

} // namespace periodendtext

PERIODEND::PERIODEND(common::Ui& ui, MonthEndStores& stores, MonthEndGuard& guard,
                     CautionHost& caution)
    : ui_(ui),
      stores_(stores),
      guard_(guard),
      caution_(caution) {}

int PERIODEND::periodEnd() {
    if (!mayClosePeriod())
        return cancel();
    MONENDDLG form(stores_, Closing::Period);
    if (!caution_.runCaution(form))
        return -1;
    if (!prepare())
        return cancel();
    int errors = 0;
    {
        common::WaitCursor wait(ui_);
        errors = closePayPeriod(stores_, org().payFreq, 0);
    }
    guard_.end();
    return finish(errors);
}

bool PERIODEND::mayClosePeriod() {
    const common::PAYFREQ payFreq = org().payFreq;
    if (payFreq == common::IRREGULAR)
        return true;
    if (payFreq != common::WEEKLY && payFreq != common::BIWEEKLY) {
        ui_.information(periodendtext::MonthlyPayroll);
        return false;
    }
    const bool weekly = payFreq == common::WEEKLY;
    const int endDay = weekly ? org().weekEndDay : org().fortnightEndDay;
    const int length = common::daysInMonth(common::monthNumber(org().month), org().year);
    if (endDay + (weekly ? 7 : 14) <= length)
        return true;
    ui_.information(periodendtext::lastPeriod(payFreq, org()));
    return false;
}

// Nothing has changed yet: every table must be free and the recovery point
// made before the first file is written.
bool PERIODEND::prepare() {
    std::string busy;
    {
        common::WaitCursor wait(ui_);
        busy = guard_.busyTable(org());
    }
    if (!busy.empty()) {
        ui_.warning(periodendtext::tableInUse(busy));
        return false;
    }
    bool begun = false;
    {
        common::WaitCursor wait(ui_);
        begun = guard_.begin(org(), Closing::Period);
    }
    if (!begun)
        ui_.error(periodendtext::NoRecoveryPoint);
    return begun;
}

int PERIODEND::finish(int errors) {
    if (errors == 0)
        ui_.information(periodendtext::Completed);
    else
        ui_.message(periodendtext::completedWithErrors(errors), MessageIcon::Warning);
    return errors;
}

int PERIODEND::cancel() {
    ui_.information(periodendtext::Cancelled);
    return -1;
}

} // namespace kelo::procedures
