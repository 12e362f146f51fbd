// The checks that may stop a month end before it starts, the Caution
// dialog, and the statutory tables of a new fiscal year.
#include "common/Calendar.h"
#include "procedures/MonthEnd.h"
#include "setup/Users.h"

namespace kelo::procedures {

namespace {

std::string statutoryFolder(int fiscalYear) {
    return "../system/" + std::to_string(fiscalYear);
}

} // namespace

void MONENDDLG::initMonEndDlg(common::DialogView& caution) {
    caution.setTextLimit(setup::cautiondlg::Password,
                         static_cast<int>(setup::USERS::kPasswordLimit));
    if (closing_ == Closing::Month)
        stores_.initMonEndDlg(caution);
    else
        stores_.initPeriodEndDlg(caution);
}

bool MONENDDLG::closeMonEndDlg(common::DialogView& caution) {
    return stores_.checkPasswd(caution);
}

bool MONTHEND::mayCloseMonth(common::PAYFREQ payFreq) {
    if (payFreq != common::WEEKLY && payFreq != common::BIWEEKLY)
        return true;
    const bool weekly = payFreq == common::WEEKLY;
    const int endDay = weekly ? org().weekEndDay : org().fortnightEndDay;
    const int length = common::daysInMonth(common::monthNumber(org().month), org().year);
    if (endDay + (weekly ? 7 : 14) > length)
        return true;
    long count = 0;
    bool counted = false;
    {
        common::WaitCursor wait(ui_);
        counted = stores_.getNotProcdCnt(payFreq, count);
    }
    if (counted && count > 0)
        ui_.information(weekly ? monthendtext::TooEarlyWeekly : monthendtext::TooEarlyBiweekly);
    return counted && count <= 0;
}

bool MONTHEND::mayCloseYear() {
    if (org().month != "December")
        return true;
    std::int32_t count = 0;
    bool counted = false;
    {
        common::WaitCursor wait(ui_);
        counted = stores_.cntExpiredBookings(org(), count);
    }
    if (counted && count > 0)
        ui_.information(monthendtext::expiredBookings(count));
    return counted && count <= 0;
}

int MONTHEND::newStatutoryFiles() {
    const int year = stores_.fiscalYear();
    {
        common::WaitCursor wait(ui_);
        if (stores_.statutoryTableOpens(year))
            return 0;
        const std::string source =
            stores_.statutoryTableOpens(year - 1) ? statutoryFolder(year - 1) : sourceFolder_;
        stores_.makeStatutoryFolder(year);
        stores_.newPayeFile(source, year);
        stores_.newNssfFile(source, year);
        stores_.newPayeParamFile(source, year);
        stores_.newSdlFile(source, year);
        stores_.newWcfFile(source, year);
    }
    ui_.information(monthendtext::newStatutoryFiles(year));
    return 1;
}

} // namespace kelo::procedures
