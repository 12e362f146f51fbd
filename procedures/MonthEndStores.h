#pragma once

#include "common/DialogView.h"
#include "common/OrgRecords.h"

#include <cstdint>
#include <string>

namespace kelo::procedures {

// Every call the month end makes on the stores and on the organisation and
// user objects, one operation each, so that the procedure's order, checks
// and error counting run the same over the live stores and over a recording
// double. Each store tells the user its own failures; the results only say
// whether the call succeeded. The window and status bar every store is
// given belong to the implementation.
class MonthEndStores {
public:
    virtual ~MonthEndStores() = default;

    // VARDBEX
    virtual bool getNotProcdCnt(common::PAYFREQ payFreq, long& count) = 0;
    virtual bool updateTransactions(const common::ORGREC& org, common::UPDATEMODE mode,
                                    common::PAYFREQ payFreq) = 0;
    // STATDB; kAllPayFreqs for every frequency.
    static constexpr int kAllPayFreqs = -1;
    virtual bool updatePersonnel(const common::ORGREC& org, common::UPDATEMODE mode,
                                 int payFreq) = 0;
    // PERIODDB and PERIODDBEX, always for the period being closed.
    virtual bool checkPeriodFiles(common::PAYFREQ payFreq, const common::ORGREC& org) = 0;
    virtual bool writePeriodFile(common::PAYFREQ payFreq, const common::ORGREC& org) = 0;
    virtual void delPeriodTmpFiles(const common::ORGREC& org) = 0;
    virtual bool saveLeaveDays(common::PAYFREQ payFreq, const common::ORGREC& org) = 0;
    // PAYLOGDB
    virtual bool updatePayLog(common::PAYFREQ payFreq, const common::ORGREC& org) = 0;
    virtual bool purgeLog(const common::ORGREC& org) = 0;
    // MONTHDB
    virtual bool checkMonthFiles(const common::ORGREC& org) = 0;
    virtual bool updateMonthFile(common::PAYFREQ payFreq, const common::ORGREC& org) = 0;
    virtual void delMonthInterimFile(const common::ORGREC& org) = 0;
    // ANNUALDB
    virtual bool checkAnnualFiles(const common::ORGREC& org) = 0;
    virtual bool updateAnnualFile(common::PAYFREQ payFreq, const common::ORGREC& org) = 0;
    virtual void delAnnualInterimFile(const common::ORGREC& org) = 0;
    // TAXREPDB
    virtual bool checkTaxFiles(const common::ORGREC& org) = 0;
    virtual bool updateTaxFiles(common::PAYFREQ payFreq, const common::ORGREC& org) = 0;
    virtual void delTaxInterimFiles(const common::ORGREC& org) = 0;
    // YTDDB
    virtual bool checkYtdFiles(const common::ORGREC& org) = 0;
    virtual bool updateYtdFile(common::PAYFREQ payFreq, const common::ORGREC& org) = 0;
    virtual void delYtdInterimFile(const common::ORGREC& org) = 0;
    // STATICREPDB, for the former employees file.
    virtual void delActiveFile(const common::ORGREC& org) = 0;
    virtual bool checkLeaversFiles(const common::ORGREC& org) = 0;
    virtual bool writeLeaversFile(const common::ORGREC& org) = 0;
    // LEAVEREPDB
    virtual void delLeaveRepInterimFile(const common::ORGREC& org) = 0;
    virtual bool checkLeaveRepFiles() = 0;
    virtual bool updateLeaveRepFile(const common::ORGREC& org) = 0;
    // ABSENCEDB
    virtual bool cntExpiredBookings(const common::ORGREC& org, std::int32_t& count) = 0;
    virtual bool purgeAbsenceOrphans() = 0;
    virtual bool purgeAbsence() = 0;
    // LEAVEDB
    virtual bool purgeLeaveOrphans() = 0;
    virtual bool updateLeave(const common::ORGREC& org, common::UPDATEMODE mode) = 0;
    // ORGS
    virtual const common::ORGREC& getOpenOrg() = 0;
    virtual int fiscalYear() = 0;
    virtual bool backup() = 0;
    // `atMonthEnd` 1: to the first period of the next month; 0: to the next
    // period of this month (a period end).
    virtual void incrPeriodEndDay(common::PAYFREQ payFreq, int atMonthEnd) = 0;
    virtual void incrMonth() = 0;
    virtual void delRepFiles() = 0;
    virtual void initMonEndDlg(common::DialogView& caution) = 0;
    virtual void initPeriodEndDlg(common::DialogView& caution) = 0;
    // USERS
    virtual bool checkPasswd(common::DialogView& caution) = 0;
    // PAYEDB, NSSFDB, PAYEPARAMDB, SDLDB, WCFDB of a fiscal year, relative to the
    // organisation's folder ("../system/2025").
    virtual bool statutoryTableOpens(int fiscalYear) = 0; // the year's PAYE table
    virtual void makeStatutoryFolder(int fiscalYear) = 0;
    virtual void newPayeFile(const std::string& sourceFolder, int fiscalYear) = 0;
    virtual void newNssfFile(const std::string& sourceFolder, int fiscalYear) = 0;
    virtual void newPayeParamFile(const std::string& sourceFolder, int fiscalYear) = 0;
    virtual void newSdlFile(const std::string& sourceFolder, int fiscalYear) = 0;
    // The default rate when the source has no WCF table.
    virtual void newWcfFile(const std::string& sourceFolder, int fiscalYear) = 0;
};

// What a Caution dialog, a guard or a recovery point is about.
enum class Closing { Month, Period };

// What keeps a month end or a period end safe against a crash and against
// other users.
class MonthEndGuard {
public:
    virtual ~MonthEndGuard() = default;
    // The first table the month end writes that another user holds (for
    // display, "database/static.dbf"); empty when every one can be had.
    virtual std::string busyTable(const common::ORGREC& org) = 0;
    // A recovery point of everything the work steps change, and the marker
    // that a month end or period end of `org` is under way; false when it
    // cannot be made.
    virtual bool begin(const common::ORGREC& org, Closing closing) = 0;
    // The month end is over: the marker and the recovery point go.
    virtual void end() = 0;
};

} // namespace kelo::procedures
