#pragma once

#include "absencereports/LeaveRepDb.h"
#include "annualreturns/AnnualDb.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/AbsenceDb.h"
#include "database/LeaveDb.h"
#include "database/PayLogDb.h"
#include "database/StaticDb.h"
#include "engine/Code4.h"
#include "monthlyreturns/MonthDb.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodDbEx.h"
#include "procedures/MonthEndStores.h"
#include "setup/Backup.h"
#include "setup/Orgs.h"
#include "setup/Users.h"
#include "staffrecords/VarDbEx.h"
#include "staffreports/StaticRepDb.h"
#include "taxreports/TaxRepDb.h"
#include "yeartodate/YtdDb.h"

namespace kelo::procedures {

// What the live stores work with: the program's user port (window and
// status bar alike), engine, working folder, its organisations and users
// objects, and where a backup goes.
struct LivePorts {
    common::Ui& ui;
    engine::Code4& code;
    common::WorkingFolder& folder;
    setup::ORGS& orgs;
    setup::USERS& users;
    setup::BackupDrive& drive;
    setup::BackupClock& clock;
};

// The month end's calls on the stores of the program.
class LiveMonthEndStores final : public MonthEndStores {
public:
    explicit LiveMonthEndStores(const LivePorts& ports);

    bool getNotProcdCnt(common::PAYFREQ payFreq, long& count) override;
    bool updateTransactions(const common::ORGREC& org, common::UPDATEMODE mode,
                            common::PAYFREQ payFreq) override;
    bool updatePersonnel(const common::ORGREC& org, common::UPDATEMODE mode, int payFreq) override;
    bool checkPeriodFiles(common::PAYFREQ payFreq, const common::ORGREC& org) override;
    bool writePeriodFile(common::PAYFREQ payFreq, const common::ORGREC& org) override;
    void delPeriodTmpFiles(const common::ORGREC& org) override;
    bool saveLeaveDays(common::PAYFREQ payFreq, const common::ORGREC& org) override;
    bool updatePayLog(common::PAYFREQ payFreq, const common::ORGREC& org) override;
    bool purgeLog(const common::ORGREC& org) override;
    bool checkMonthFiles(const common::ORGREC& org) override;
    bool updateMonthFile(common::PAYFREQ payFreq, const common::ORGREC& org) override;
    void delMonthInterimFile(const common::ORGREC& org) override;
    bool checkAnnualFiles(const common::ORGREC& org) override;
    bool updateAnnualFile(common::PAYFREQ payFreq, const common::ORGREC& org) override;
    void delAnnualInterimFile(const common::ORGREC& org) override;
    bool checkTaxFiles(const common::ORGREC& org) override;
    bool updateTaxFiles(common::PAYFREQ payFreq, const common::ORGREC& org) override;
    void delTaxInterimFiles(const common::ORGREC& org) override;
    bool checkYtdFiles(const common::ORGREC& org) override;
    bool updateYtdFile(common::PAYFREQ payFreq, const common::ORGREC& org) override;
    void delYtdInterimFile(const common::ORGREC& org) override;
    void delActiveFile(const common::ORGREC& org) override;
    bool checkLeaversFiles(const common::ORGREC& org) override;
    bool writeLeaversFile(const common::ORGREC& org) override;
    void delLeaveRepInterimFile(const common::ORGREC& org) override;
    bool checkLeaveRepFiles() override;
    bool updateLeaveRepFile(const common::ORGREC& org) override;
    bool cntExpiredBookings(const common::ORGREC& org, std::int32_t& count) override;
    bool purgeAbsenceOrphans() override;
    bool purgeAbsence() override;
    bool purgeLeaveOrphans() override;
    bool updateLeave(const common::ORGREC& org, common::UPDATEMODE mode) override;
    const common::ORGREC& getOpenOrg() override;
    int fiscalYear() override;
    bool backup() override;
    void incrPeriodEndDay(common::PAYFREQ payFreq, int atMonthEnd) override;
    void incrMonth() override;
    void delRepFiles() override;
    void initMonEndDlg(common::DialogView& caution) override;
    void initPeriodEndDlg(common::DialogView& caution) override;
    bool checkPasswd(common::DialogView& caution) override;
    bool statutoryTableOpens(int fiscalYear) override;
    void makeStatutoryFolder(int fiscalYear) override;
    void newPayeFile(const std::string& sourceFolder, int fiscalYear) override;
    void newNssfFile(const std::string& sourceFolder, int fiscalYear) override;
    void newPayeParamFile(const std::string& sourceFolder, int fiscalYear) override;
    void newSdlFile(const std::string& sourceFolder, int fiscalYear) override;
    void newWcfFile(const std::string& sourceFolder, int fiscalYear) override;

private:
    LivePorts ports_;
    staffrecords::VARDBEX transactions_;
    database::STATDB personnel_;
    database::PAYLOGDB payLog_;
    database::ABSENCEDB absence_;
    database::LEAVEDB leave_;
    payrunreports::PERIODDB period_;
    payrunreports::PERIODDBEX periodEx_;
    monthlyreturns::MONTHDB month_;
    annualreturns::ANNUALDB annual_;
    taxreports::TAXREPDB tax_;
    yeartodate::YTDDB ytd_;
    staffreports::STATICREPDB staff_;
    absencereports::LEAVEREPDB leaveRep_;
};

} // namespace kelo::procedures
