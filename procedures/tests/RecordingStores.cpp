#include "RecordingStores.h"

#include "common/Calendar.h"
#include "setup/Orgs.h"
#include "setup/Users.h"
#include "testsupport/FakeDialogView.h"

namespace kelo::procedures::testing {

namespace {

std::string n(long value) {
    return std::to_string(value);
}

} // namespace

RecordingStores::RecordingStores() {
    org.name = "Acme Ltd";
    org.folder = "../org01";
    org.month = "March";
    org.year = 2025;
    org.fiscalYear = 2024;
    org.weekEndDay = 28;
    org.fortnightEndDay = 21;
    org.irregEndDay = 2;
}

bool RecordingStores::log(const std::string& name, const std::string& args) {
    const std::string call = args.empty() ? name : name + " " + args;
    calls.push_back(call);
    if (afterCall)
        afterCall(call);
    for (const std::string& failure : failing) {
        if (call == failure || call.rfind(failure + " ", 0) == 0)
            return false;
    }
    return true;
}

std::vector<std::string> RecordingStores::callsOf(const std::string& name) const {
    std::vector<std::string> found;
    for (const std::string& call : calls) {
        if (call.rfind(name, 0) == 0)
            found.push_back(call);
    }
    return found;
}

bool RecordingStores::getNotProcdCnt(common::PAYFREQ payFreq, long& count) {
    const auto it = counts.find(payFreq);
    count = it == counts.end() ? 1 : it->second;
    return log("getNotProcdCnt", n(payFreq));
}

bool RecordingStores::updateTransactions(const common::ORGREC&, common::UPDATEMODE mode,
                                         common::PAYFREQ payFreq) {
    return log("updateTransactions", n(mode) + " " + n(payFreq));
}

bool RecordingStores::updatePersonnel(const common::ORGREC&, common::UPDATEMODE mode, int payFreq) {
    return log("updatePersonnel", n(mode) + " " + n(payFreq));
}

bool RecordingStores::checkPeriodFiles(common::PAYFREQ payFreq, const common::ORGREC&) {
    return log("checkPeriodFiles", n(payFreq));
}

bool RecordingStores::writePeriodFile(common::PAYFREQ payFreq, const common::ORGREC&) {
    return log("writePeriodFile", n(payFreq));
}

void RecordingStores::delPeriodTmpFiles(const common::ORGREC&) {
    log("delPeriodTmpFiles");
}

bool RecordingStores::saveLeaveDays(common::PAYFREQ payFreq, const common::ORGREC&) {
    return log("saveLeaveDays", n(payFreq));
}

bool RecordingStores::updatePayLog(common::PAYFREQ payFreq, const common::ORGREC&) {
    return log("updatePayLog", n(payFreq));
}

bool RecordingStores::purgeLog(const common::ORGREC&) {
    return log("purgeLog");
}

bool RecordingStores::checkMonthFiles(const common::ORGREC&) {
    return log("checkMonthFiles");
}

bool RecordingStores::updateMonthFile(common::PAYFREQ payFreq, const common::ORGREC&) {
    return log("updateMonthFile", n(payFreq));
}

void RecordingStores::delMonthInterimFile(const common::ORGREC&) {
    log("delMonthInterimFile");
}

bool RecordingStores::checkAnnualFiles(const common::ORGREC&) {
    return log("checkAnnualFiles");
}

bool RecordingStores::updateAnnualFile(common::PAYFREQ payFreq, const common::ORGREC&) {
    return log("updateAnnualFile", n(payFreq));
}

void RecordingStores::delAnnualInterimFile(const common::ORGREC&) {
    log("delAnnualInterimFile");
}

bool RecordingStores::checkTaxFiles(const common::ORGREC&) {
    return log("checkTaxFiles");
}

bool RecordingStores::updateTaxFiles(common::PAYFREQ payFreq, const common::ORGREC&) {
    return log("updateTaxFiles", n(payFreq));
}

void RecordingStores::delTaxInterimFiles(const common::ORGREC&) {
    log("delTaxInterimFiles");
}

bool RecordingStores::checkYtdFiles(const common::ORGREC&) {
    return log("checkYtdFiles");
}

bool RecordingStores::updateYtdFile(common::PAYFREQ payFreq, const common::ORGREC&) {
    return log("updateYtdFile", n(payFreq));
}

void RecordingStores::delYtdInterimFile(const common::ORGREC&) {
    log("delYtdInterimFile");
}

void RecordingStores::delActiveFile(const common::ORGREC&) {
    log("delActiveFile");
}

bool RecordingStores::checkLeaversFiles(const common::ORGREC&) {
    return log("checkLeaversFiles");
}

bool RecordingStores::writeLeaversFile(const common::ORGREC&) {
    return log("writeLeaversFile");
}

void RecordingStores::delLeaveRepInterimFile(const common::ORGREC&) {
    log("delLeaveRepInterimFile");
}

bool RecordingStores::checkLeaveRepFiles() {
    return log("checkLeaveRepFiles");
}

bool RecordingStores::updateLeaveRepFile(const common::ORGREC&) {
    return log("updateLeaveRepFile");
}

bool RecordingStores::cntExpiredBookings(const common::ORGREC&, std::int32_t& count) {
    count = expiredBookings;
    return log("cntExpiredBookings");
}

bool RecordingStores::purgeAbsenceOrphans() {
    return log("purgeAbsenceOrphans");
}

bool RecordingStores::purgeAbsence() {
    return log("purgeAbsence");
}

bool RecordingStores::purgeLeaveOrphans() {
    return log("purgeLeaveOrphans");
}

bool RecordingStores::updateLeave(const common::ORGREC&, common::UPDATEMODE mode) {
    return log("updateLeave", n(mode));
}

bool RecordingStores::backup() {
    return log("backup");
}

// A month end's advance logs the frequency alone, a period end's adds 0.
void RecordingStores::incrPeriodEndDay(common::PAYFREQ payFreq, int atMonthEnd) {
    log("incrPeriodEndDay", atMonthEnd ? n(payFreq) : n(payFreq) + " 0");
}

// The month and the years move as the organisation's record does.
void RecordingStores::incrMonth() {
    const int next = common::monthNumber(org.month) % 12 + 1;
    org.month = common::monthName(next);
    if (next == 1)
        ++org.year;
    if (next == 7)
        ++org.fiscalYear;
    log("incrMonth");
}

void RecordingStores::delRepFiles() {
    log("delRepFiles");
}

void RecordingStores::initMonEndDlg(common::DialogView& caution) {
    log("initMonEndDlg");
    caution.setCaption("Month End Procedure");
    caution.setText(setup::cautiondlg::Text, "close " + org.month);
}

void RecordingStores::initPeriodEndDlg(common::DialogView& caution) {
    log("initPeriodEndDlg");
    caution.setCaption("Period End Procedure");
    caution.setText(setup::cautiondlg::Text, "close the period of " + org.month);
}

bool RecordingStores::checkPasswd(common::DialogView& caution) {
    return log("checkPasswd", caution.text(setup::cautiondlg::Password));
}

bool RecordingStores::statutoryTableOpens(int fiscalYear) {
    log("statutoryTableOpens", n(fiscalYear));
    return statutoryYears.count(fiscalYear) > 0;
}

void RecordingStores::makeStatutoryFolder(int fiscalYear) {
    log("makeStatutoryFolder", n(fiscalYear));
}

void RecordingStores::newPayeFile(const std::string& sourceFolder, int fiscalYear) {
    log("newPayeFile", sourceFolder + " " + n(fiscalYear));
}

void RecordingStores::newNssfFile(const std::string& sourceFolder, int fiscalYear) {
    log("newNssfFile", sourceFolder + " " + n(fiscalYear));
}

void RecordingStores::newPayeParamFile(const std::string& sourceFolder, int fiscalYear) {
    log("newPayeParamFile", sourceFolder + " " + n(fiscalYear));
}

void RecordingStores::newSdlFile(const std::string& sourceFolder, int fiscalYear) {
    log("newSdlFile", sourceFolder + " " + n(fiscalYear));
}

void RecordingStores::newWcfFile(const std::string& sourceFolder, int fiscalYear) {
    log("newWcfFile", sourceFolder + " " + n(fiscalYear));
}

std::string RecordingStores::busyTable(const common::ORGREC&) {
    log("busyTable");
    return busy;
}

bool RecordingStores::begin(const common::ORGREC&, Closing) {
    log("begin");
    return !beginFails;
}

void RecordingStores::end() {
    log("end");
}

bool ScriptedCaution::runCaution(MONENDDLG& form) {
    ++shown;
    testsupport::FakeDialogView view;
    form.initMonEndDlg(view);
    caption = view.caption();
    text = view.text(setup::cautiondlg::Text);
    if (!accept)
        return false;
    view.setText(setup::cautiondlg::Password, password);
    return form.closeMonEndDlg(view);
}

} // namespace kelo::procedures::testing
