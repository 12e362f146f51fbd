// The work of the month end, in its fixed order. From here on a failing
// step is counted and the rest still run, so that every store moves on.
#include "procedures/MonthEnd.h"

namespace kelo::procedures {

namespace {

constexpr int kAll = MonthEndStores::kAllPayFreqs;

int failed(bool ok) {
    return ok ? 0 : 1;
}

} // namespace

int MONTHEND::work() {
    int errors = 0;
    {
        common::WaitCursor wait(ui_);
        errors += failed(stores_.updatePersonnel(org(), common::UPDATE_MONTH_END, kAll));
        errors += closeAllPeriods();
        errors += rollPersonnel();
        stores_.incrMonth();
    }
    if (org().month == "July")
        newStatutoryFiles();
    common::WaitCursor wait(ui_);
    errors += rollTransactions();
    rollLeave();
    purgeReports();
    return errors;
}

int MONTHEND::closeAllPeriods() {
    int errors = 0;
    for (common::PAYFREQ payFreq : common::kMonthEndOrder)
        errors += closePeriod(payFreq);
    return errors;
}

int MONTHEND::closePeriod(common::PAYFREQ payFreq) {
    int errors = 0;
    long count = 0;
    if (!stores_.getNotProcdCnt(payFreq, count) || count > 0)
        errors += reportPeriod(payFreq);
    errors += failed(stores_.updatePersonnel(org(), common::UPDATE_PERIOD_END, payFreq));
    errors += failed(stores_.updateTransactions(org(), common::UPDATE_PERIOD_END, payFreq));
    stores_.incrPeriodEndDay(payFreq);
    return errors;
}

// The period's file, then each report store that takes it.
int MONTHEND::reportPeriod(common::PAYFREQ payFreq) {
    const bool kept = stores_.checkPeriodFiles(payFreq, org()) &&
                      stores_.writePeriodFile(payFreq, org()) &&
                      stores_.saveLeaveDays(payFreq, org()) && stores_.updatePayLog(payFreq, org());
    int errors = failed(kept);
    errors += feedStore(stores_.checkMonthFiles(org()), &MonthEndStores::updateMonthFile, payFreq);
    errors +=
        feedStore(stores_.checkAnnualFiles(org()), &MonthEndStores::updateAnnualFile, payFreq);
    errors += feedStore(stores_.checkYtdFiles(org()), &MonthEndStores::updateYtdFile, payFreq);
    errors += feedStore(stores_.checkTaxFiles(org()), &MonthEndStores::updateTaxFiles, payFreq);
    return errors;
}

// Only a store that cannot take the period counts; its update's own
// failure is told by the store and not counted.
int MONTHEND::feedStore(bool checked,
                        bool (MonthEndStores::*update)(common::PAYFREQ, const common::ORGREC&),
                        common::PAYFREQ payFreq) {
    if (!checked)
        return 1;
    (stores_.*update)(payFreq, org());
    return 0;
}

int MONTHEND::rollPersonnel() {
    const bool leavers = stores_.checkLeaversFiles(org()) && stores_.writeLeaversFile(org());
    int errors = failed(leavers);
    errors += failed(stores_.updatePersonnel(org(), common::UPDATE_AFTER_MONTH_END, kAll));
    stores_.purgeAbsenceOrphans();
    stores_.purgeLeaveOrphans();
    return errors;
}

int MONTHEND::rollTransactions() {
    const common::UPDATEMODE mode =
        org().month == "January" ? common::UPDATE_YEAR_END : common::UPDATE_MONTH_END;
    int errors = 0;
    for (common::PAYFREQ payFreq : common::kPayFreqs)
        errors += failed(stores_.updateTransactions(org(), mode, payFreq));
    return errors;
}

void MONTHEND::rollLeave() {
    const bool newYear = org().month == "January";
    if (newYear)
        stores_.updateLeave(org(), common::UPDATE_YEAR_END);
    stores_.updateLeave(org(), common::UPDATE_MONTH_END);
    if (newYear)
        stores_.purgeAbsence();
}

void MONTHEND::purgeReports() {
    if (!org().purgeReports)
        return;
    stores_.purgeLog(org());
    stores_.delRepFiles();
}

} // namespace kelo::procedures
