#pragma once

#include "procedures/MonthEnd.h"
#include "procedures/MonthEndStores.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kelo::procedures::testing {

// Stores and guard that log every call, in order, as "name args" (a
// frequency or mode as its number), answer from settings, and keep the
// organisation's record moving as the organisation object would.
class RecordingStores : public MonthEndStores, public MonthEndGuard {
public:
    RecordingStores();

    std::vector<std::string> calls;
    common::ORGREC org;
    std::map<common::PAYFREQ, long> counts; // getNotProcdCnt; 1 when missing
    std::int32_t expiredBookings = 0;
    std::set<int> statutoryYears;  // fiscal years whose PAYE table opens
    std::set<std::string> failing; // calls that fail, as logged ("checkMonthFiles")
    std::string busy;              // busyTable's answer
    bool beginFails = false;
    // Runs after every logged call, with the call; a test may stop there.
    std::function<void(const std::string&)> afterCall;

    bool getNotProcdCnt(common::PAYFREQ payFreq, long& count) override;
    bool updateTransactions(const common::ORGREC& org, common::UPDATEMODE mode,
                            common::PAYFREQ payFreq) override;
    bool updatePersonnel(const common::ORGREC& org, common::UPDATEMODE mode, int payFreq) override;
    bool checkPeriodFiles(common::PAYFREQ payFreq, const common::ORGREC&) override;
    bool writePeriodFile(common::PAYFREQ payFreq, const common::ORGREC&) override;
    void delPeriodTmpFiles(const common::ORGREC&) override;
    bool saveLeaveDays(common::PAYFREQ payFreq, const common::ORGREC&) override;
    bool updatePayLog(common::PAYFREQ payFreq, const common::ORGREC&) override;
    bool purgeLog(const common::ORGREC&) override;
    bool checkMonthFiles(const common::ORGREC&) override;
    bool updateMonthFile(common::PAYFREQ payFreq, const common::ORGREC&) override;
    void delMonthInterimFile(const common::ORGREC&) override;
    bool checkAnnualFiles(const common::ORGREC&) override;
    bool updateAnnualFile(common::PAYFREQ payFreq, const common::ORGREC&) override;
    void delAnnualInterimFile(const common::ORGREC&) override;
    bool checkTaxFiles(const common::ORGREC&) override;
    bool updateTaxFiles(common::PAYFREQ payFreq, const common::ORGREC&) override;
    void delTaxInterimFiles(const common::ORGREC&) override;
    bool checkYtdFiles(const common::ORGREC&) override;
    bool updateYtdFile(common::PAYFREQ payFreq, const common::ORGREC&) override;
    void delYtdInterimFile(const common::ORGREC&) override;
    void delActiveFile(const common::ORGREC&) override;
    bool checkLeaversFiles(const common::ORGREC&) override;
    bool writeLeaversFile(const common::ORGREC&) override;
    void delLeaveRepInterimFile(const common::ORGREC&) override;
    bool checkLeaveRepFiles() override;
    bool updateLeaveRepFile(const common::ORGREC&) override;
    bool cntExpiredBookings(const common::ORGREC&, std::int32_t& count) override;
    bool purgeAbsenceOrphans() override;
    bool purgeAbsence() override;
    bool purgeLeaveOrphans() override;
    bool updateLeave(const common::ORGREC&, common::UPDATEMODE mode) override;
    const common::ORGREC& getOpenOrg() override { return org; }
    int fiscalYear() override { return org.fiscalYear; }
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

    std::string busyTable(const common::ORGREC&) override;
    bool begin(const common::ORGREC&, Closing) override;
    void end() override;

    // Calls whose name starts with `name`.
    std::vector<std::string> callsOf(const std::string& name) const;

private:
    // Logs the call and answers whether it succeeds.
    bool log(const std::string& name, const std::string& args = {});
};

// Answers the Caution dialog as a user would: types `password` and presses
// OK, or cancels.
class ScriptedCaution : public CautionHost {
public:
    bool accept = true;
    std::string password = "secret";
    int shown = 0;
    std::string caption;
    std::string text;
    bool runCaution(MONENDDLG& form) override;
};

} // namespace kelo::procedures::testing
