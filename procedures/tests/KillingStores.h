#pragma once

#include "procedures/MonthEndStores.h"

#include <csignal>

namespace kelo::procedures::testing {

// The live stores, with the program killed (SIGKILL) as the store call
// numbered `killAt` starts: a power cut in the middle of a month end.
// Reading the organisation's record is no call.
class KillingStores : public MonthEndStores {
public:
    KillingStores(MonthEndStores& inner, int killAt) : inner_(inner), killAt_(killAt) {}

    bool getNotProcdCnt(common::PAYFREQ payFreq, long& count) override {
        step();
        return inner_.getNotProcdCnt(payFreq, count);
    }
    bool updateTransactions(const common::ORGREC& org, common::UPDATEMODE mode,
                            common::PAYFREQ payFreq) override {
        step();
        return inner_.updateTransactions(org, mode, payFreq);
    }
    bool updatePersonnel(const common::ORGREC& org, common::UPDATEMODE mode, int payFreq) override {
        step();
        return inner_.updatePersonnel(org, mode, payFreq);
    }
    bool checkPeriodFiles(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        step();
        return inner_.checkPeriodFiles(payFreq, org);
    }
    bool writePeriodFile(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        step();
        return inner_.writePeriodFile(payFreq, org);
    }
    void delPeriodTmpFiles(const common::ORGREC& org) override {
        step();
        inner_.delPeriodTmpFiles(org);
    }
    bool saveLeaveDays(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        step();
        return inner_.saveLeaveDays(payFreq, org);
    }
    bool updatePayLog(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        step();
        return inner_.updatePayLog(payFreq, org);
    }
    bool purgeLog(const common::ORGREC& org) override {
        step();
        return inner_.purgeLog(org);
    }
    bool checkMonthFiles(const common::ORGREC& org) override {
        step();
        return inner_.checkMonthFiles(org);
    }
    bool updateMonthFile(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        step();
        return inner_.updateMonthFile(payFreq, org);
    }
    void delMonthInterimFile(const common::ORGREC& org) override {
        step();
        inner_.delMonthInterimFile(org);
    }
    bool checkAnnualFiles(const common::ORGREC& org) override {
        step();
        return inner_.checkAnnualFiles(org);
    }
    bool updateAnnualFile(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        step();
        return inner_.updateAnnualFile(payFreq, org);
    }
    void delAnnualInterimFile(const common::ORGREC& org) override {
        step();
        inner_.delAnnualInterimFile(org);
    }
    bool checkTaxFiles(const common::ORGREC& org) override {
        step();
        return inner_.checkTaxFiles(org);
    }
    bool updateTaxFiles(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        step();
        return inner_.updateTaxFiles(payFreq, org);
    }
    void delTaxInterimFiles(const common::ORGREC& org) override {
        step();
        inner_.delTaxInterimFiles(org);
    }
    bool checkYtdFiles(const common::ORGREC& org) override {
        step();
        return inner_.checkYtdFiles(org);
    }
    bool updateYtdFile(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        step();
        return inner_.updateYtdFile(payFreq, org);
    }
    void delYtdInterimFile(const common::ORGREC& org) override {
        step();
        inner_.delYtdInterimFile(org);
    }
    void delActiveFile(const common::ORGREC& org) override {
        step();
        inner_.delActiveFile(org);
    }
    bool checkLeaversFiles(const common::ORGREC& org) override {
        step();
        return inner_.checkLeaversFiles(org);
    }
    bool writeLeaversFile(const common::ORGREC& org) override {
        step();
        return inner_.writeLeaversFile(org);
    }
    void delLeaveRepInterimFile(const common::ORGREC& org) override {
        step();
        inner_.delLeaveRepInterimFile(org);
    }
    bool checkLeaveRepFiles() override {
        step();
        return inner_.checkLeaveRepFiles();
    }
    bool updateLeaveRepFile(const common::ORGREC& org) override {
        step();
        return inner_.updateLeaveRepFile(org);
    }
    bool cntExpiredBookings(const common::ORGREC& org, std::int32_t& count) override {
        step();
        return inner_.cntExpiredBookings(org, count);
    }
    bool purgeAbsenceOrphans() override {
        step();
        return inner_.purgeAbsenceOrphans();
    }
    bool purgeAbsence() override {
        step();
        return inner_.purgeAbsence();
    }
    bool purgeLeaveOrphans() override {
        step();
        return inner_.purgeLeaveOrphans();
    }
    bool updateLeave(const common::ORGREC& org, common::UPDATEMODE mode) override {
        step();
        return inner_.updateLeave(org, mode);
    }
    const common::ORGREC& getOpenOrg() override { return inner_.getOpenOrg(); }
    int fiscalYear() override { return inner_.fiscalYear(); }
    bool backup() override {
        step();
        return inner_.backup();
    }
    void incrPeriodEndDay(common::PAYFREQ payFreq, int atMonthEnd) override {
        step();
        inner_.incrPeriodEndDay(payFreq, atMonthEnd);
    }
    void incrMonth() override {
        step();
        inner_.incrMonth();
    }
    void delRepFiles() override {
        step();
        inner_.delRepFiles();
    }
    void initMonEndDlg(common::DialogView& caution) override {
        step();
        inner_.initMonEndDlg(caution);
    }
    void initPeriodEndDlg(common::DialogView& caution) override {
        step();
        inner_.initPeriodEndDlg(caution);
    }
    bool checkPasswd(common::DialogView& caution) override {
        step();
        return inner_.checkPasswd(caution);
    }
    bool statutoryTableOpens(int fiscalYear) override {
        step();
        return inner_.statutoryTableOpens(fiscalYear);
    }
    void makeStatutoryFolder(int fiscalYear) override {
        step();
        inner_.makeStatutoryFolder(fiscalYear);
    }
    void newPayeFile(const std::string& sourceFolder, int fiscalYear) override {
        step();
        inner_.newPayeFile(sourceFolder, fiscalYear);
    }
    void newNssfFile(const std::string& sourceFolder, int fiscalYear) override {
        step();
        inner_.newNssfFile(sourceFolder, fiscalYear);
    }
    void newPayeParamFile(const std::string& sourceFolder, int fiscalYear) override {
        step();
        inner_.newPayeParamFile(sourceFolder, fiscalYear);
    }
    void newSdlFile(const std::string& sourceFolder, int fiscalYear) override {
        step();
        inner_.newSdlFile(sourceFolder, fiscalYear);
    }
    void newWcfFile(const std::string& sourceFolder, int fiscalYear) override {
        step();
        inner_.newWcfFile(sourceFolder, fiscalYear);
    }

    // The store calls made so far.
    int calls() const { return calls_; }

private:
    void step() {
        if (++calls_ == killAt_)
            ::raise(SIGKILL);
    }

    MonthEndStores& inner_;
    int killAt_;
    int calls_ = 0;
};

} // namespace kelo::procedures::testing
