#include "procedures/LiveStores.h"

#include "database/DbTable.h"
#include "database/NssfDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "database/WcfDb.h"

#include <filesystem>

namespace kelo::procedures {

namespace {

std::string statutoryFolder(int fiscalYear) {
    return "../system/" + std::to_string(fiscalYear);
}

} // namespace

LiveMonthEndStores::LiveMonthEndStores(const LivePorts& ports)
    : ports_(ports),
      transactions_(ports.ui, ports.code, ports.folder),
      personnel_(ports.code, ports.folder),
      payLog_(ports.code, ports.folder),
      absence_(ports.code, ports.folder, ports.ui),
      leave_(ports.code, ports.folder, ports.ui),
      period_(ports.ui, ports.code, ports.folder),
      periodEx_(ports.ui, ports.code, ports.folder),
      month_(ports.ui, ports.code, ports.folder),
      annual_(ports.ui, ports.code, ports.folder),
      tax_(ports.ui, ports.code, ports.folder),
      ytd_(ports.ui, ports.code, ports.folder),
      staff_(ports.ui, ports.code, ports.folder),
      leaveRep_(ports.ui, ports.code, ports.folder) {}

bool LiveMonthEndStores::getNotProcdCnt(common::PAYFREQ payFreq, long& count) {
    return transactions_.getNotProcdCnt(payFreq, count);
}

bool LiveMonthEndStores::updateTransactions(const common::ORGREC& org, common::UPDATEMODE mode,
                                            common::PAYFREQ payFreq) {
    return transactions_.updateFile(ports_.ui, org, mode, payFreq);
}

bool LiveMonthEndStores::updatePersonnel(const common::ORGREC& org, common::UPDATEMODE mode,
                                         int payFreq) {
    return personnel_.updateFile(ports_.ui, org, mode, payFreq);
}

bool LiveMonthEndStores::checkPeriodFiles(common::PAYFREQ payFreq, const common::ORGREC& org) {
    return period_.checkFiles(ports_.ui, payFreq, org);
}

bool LiveMonthEndStores::writePeriodFile(common::PAYFREQ payFreq, const common::ORGREC& org) {
    return period_.writeFile(ports_.ui, payFreq, org, true);
}

void LiveMonthEndStores::delPeriodTmpFiles(const common::ORGREC& org) {
    period_.delTmpFiles(org);
}

bool LiveMonthEndStores::saveLeaveDays(common::PAYFREQ payFreq, const common::ORGREC& org) {
    return periodEx_.saveLeaveDays(ports_.ui, payFreq, org, true);
}

bool LiveMonthEndStores::updatePayLog(common::PAYFREQ payFreq, const common::ORGREC& org) {
    return payLog_.updatePayLog(ports_.ui, payFreq, org);
}

bool LiveMonthEndStores::purgeLog(const common::ORGREC& org) {
    return payLog_.purgeLog(ports_.ui, org);
}

bool LiveMonthEndStores::checkMonthFiles(const common::ORGREC& org) {
    return month_.checkFiles(ports_.ui, org);
}

bool LiveMonthEndStores::updateMonthFile(common::PAYFREQ payFreq, const common::ORGREC& org) {
    return month_.updateFile(ports_.ui, payFreq, org, true);
}

void LiveMonthEndStores::delMonthInterimFile(const common::ORGREC& org) {
    month_.delInterimFile(org);
}

bool LiveMonthEndStores::checkAnnualFiles(const common::ORGREC& org) {
    return annual_.checkFiles(ports_.ui, org);
}

bool LiveMonthEndStores::updateAnnualFile(common::PAYFREQ payFreq, const common::ORGREC& org) {
    return annual_.updateFile(ports_.ui, payFreq, org, true);
}

void LiveMonthEndStores::delAnnualInterimFile(const common::ORGREC& org) {
    annual_.delInterimFile(org);
}

bool LiveMonthEndStores::checkTaxFiles(const common::ORGREC& org) {
    return tax_.checkFiles(ports_.ui, org);
}

bool LiveMonthEndStores::updateTaxFiles(common::PAYFREQ payFreq, const common::ORGREC& org) {
    return tax_.updateFiles(ports_.ui, payFreq, org, true);
}

void LiveMonthEndStores::delTaxInterimFiles(const common::ORGREC& org) {
    tax_.delInterimFiles(org);
}

bool LiveMonthEndStores::checkYtdFiles(const common::ORGREC& org) {
    return ytd_.checkFiles(ports_.ui, org);
}

bool LiveMonthEndStores::updateYtdFile(common::PAYFREQ payFreq, const common::ORGREC& org) {
    return ytd_.updateFile(ports_.ui, payFreq, org, true);
}

void LiveMonthEndStores::delYtdInterimFile(const common::ORGREC& org) {
    ytd_.delInterimFile(org);
}

void LiveMonthEndStores::delActiveFile(const common::ORGREC& org) {
    staff_.delActiveFile(org);
}

bool LiveMonthEndStores::checkLeaversFiles(const common::ORGREC& org) {
    return staff_.checkFiles(ports_.ui, staffreports::DB_LEAVERS, org);
}

bool LiveMonthEndStores::writeLeaversFile(const common::ORGREC& org) {
    return staff_.writeFile(ports_.ui, staffreports::DB_LEAVERS, org);
}

void LiveMonthEndStores::delLeaveRepInterimFile(const common::ORGREC& org) {
    leaveRep_.delInterimFile(org);
}

bool LiveMonthEndStores::checkLeaveRepFiles() {
    return leaveRep_.checkFiles(ports_.ui);
}

bool LiveMonthEndStores::updateLeaveRepFile(const common::ORGREC& org) {
    return leaveRep_.updateFile(ports_.ui, org, true);
}

bool LiveMonthEndStores::cntExpiredBookings(const common::ORGREC& org, std::int32_t& count) {
    return absence_.cntExpiredBookings(org, count);
}

bool LiveMonthEndStores::purgeAbsenceOrphans() {
    return absence_.purgeOrphans();
}

bool LiveMonthEndStores::purgeAbsence() {
    return absence_.purgeAbsence();
}

bool LiveMonthEndStores::purgeLeaveOrphans() {
    return leave_.purgeOrphans();
}

bool LiveMonthEndStores::updateLeave(const common::ORGREC& org, common::UPDATEMODE mode) {
    return leave_.updateFile(org, mode);
}

const common::ORGREC& LiveMonthEndStores::getOpenOrg() {
    return *ports_.orgs.getOpenOrg();
}

int LiveMonthEndStores::fiscalYear() {
    return ports_.orgs.fiscalYear();
}

bool LiveMonthEndStores::backup() {
    return ports_.orgs.backup(ports_.drive, ports_.clock) == 1;
}

void LiveMonthEndStores::incrPeriodEndDay(common::PAYFREQ payFreq, int atMonthEnd) {
    ports_.orgs.incrPeriodEndDay(payFreq, atMonthEnd);
}

void LiveMonthEndStores::incrMonth() {
    ports_.orgs.incrMonth();
}

void LiveMonthEndStores::delRepFiles() {
    ports_.orgs.delRepFiles();
}

void LiveMonthEndStores::initMonEndDlg(common::DialogView& caution) {
    ports_.orgs.initMonEndDlg(caution);
}

void LiveMonthEndStores::initPeriodEndDlg(common::DialogView& caution) {
    ports_.orgs.initPeriodEndDlg(caution);
}

bool LiveMonthEndStores::checkPasswd(common::DialogView& caution) {
    return ports_.users.checkPasswd(ports_.ui, caution);
}

bool LiveMonthEndStores::statutoryTableOpens(int fiscalYear) {
    return database::isValid(ports_.code, ports_.folder,
                             statutoryFolder(fiscalYear) + "/" + database::PAYEDB::kFileName);
}

void LiveMonthEndStores::makeStatutoryFolder(int fiscalYear) {
    std::error_code ignored;
    std::filesystem::create_directories(ports_.folder.resolve(statutoryFolder(fiscalYear)),
                                        ignored);
}

void LiveMonthEndStores::newPayeFile(const std::string& sourceFolder, int fiscalYear) {
    database::PAYEDB(ports_.code, ports_.folder).newFile(ports_.ui, sourceFolder, fiscalYear);
}

void LiveMonthEndStores::newNssfFile(const std::string& sourceFolder, int fiscalYear) {
    database::NSSFDB(ports_.code, ports_.folder).newFile(ports_.ui, sourceFolder, fiscalYear);
}

void LiveMonthEndStores::newPayeParamFile(const std::string& sourceFolder, int fiscalYear) {
    database::PAYEPARAMDB(ports_.code, ports_.folder).newFile(ports_.ui, sourceFolder, fiscalYear);
}

void LiveMonthEndStores::newSdlFile(const std::string& sourceFolder, int fiscalYear) {
    database::SDLDB(ports_.code, ports_.folder).newFile(ports_.ui, sourceFolder, fiscalYear);
}

void LiveMonthEndStores::newWcfFile(const std::string& sourceFolder, int fiscalYear) {
    database::WCFDB(ports_.code, ports_.folder).newFile(ports_.ui, sourceFolder, fiscalYear);
}

} // namespace kelo::procedures
