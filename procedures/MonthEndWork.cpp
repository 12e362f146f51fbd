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
    return closePayPeriod(stores_, payFreq, 1);
}

namespace {

// Only a store that cannot take the period counts; its update's own
// failure is told by the store and not counted.
int feedStore(MonthEndStores& stores, bool checked,
              bool (MonthEndStores::*update)(common::PAYFREQ, const common::ORGREC&),
              common::PAYFREQ payFreq) {
    if (!checked)
        return 1;
    (stores.*update)(payFreq, stores.getOpenOrg());
    return 0;
}

// The period's file, then each report store that takes it.
int reportPeriod(MonthEndStores& stores, common::PAYFREQ payFreq) {
    const common::ORGREC& org = stores.getOpenOrg();
    const bool kept = stores.checkPeriodFiles(payFreq, org) &&
                      stores.writePeriodFile(payFreq, org) && stores.saveLeaveDays(payFreq, org) &&
                      stores.updatePayLog(payFreq, org);
    int errors = failed(kept);
    errors +=
        feedStore(stores, stores.checkMonthFiles(org), &MonthEndStores::updateMonthFile, payFreq);
    errors +=
        feedStore(stores, stores.checkAnnualFiles(org), &MonthEndStores::updateAnnualFile, payFreq);
    errors += feedStore(stores, stores.checkYtdFiles(org), &MonthEndStores::updateYtdFile, payFreq);
    errors +=
        feedStore(stores, stores.checkTaxFiles(org), &MonthEndStores::updateTaxFiles, payFreq);
    return errors;
}

} // namespace

int closePayPeriod(MonthEndStores& stores, common::PAYFREQ payFreq, int atMonthEnd) {
    int errors = 0;
    long count = 0;
    if (!stores.getNotProcdCnt(payFreq, count) || count > 0)
        errors += reportPeriod(stores, payFreq);
    const common::ORGREC& org = stores.getOpenOrg();
    errors += failed(stores.updatePersonnel(org, common::UPDATE_PERIOD_END, payFreq));
    errors += failed(stores.updateTransactions(org, common::UPDATE_PERIOD_END, payFreq));
    stores.incrPeriodEndDay(payFreq, atMonthEnd);
    return errors;
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
