// Speed of the month end over the program's stores: a monthly payroll of N
// employees closed into every store and rolled into April, with the cost
// of the recovery point taken before the work reported on its own.

#include "BenchPayroll.h"
#include "database/AbsenceDb.h"
#include "database/GradesDb.h"
#include "database/LeaveDb.h"
#include "database/OrgDb.h"
#include "procedures/LiveGuard.h"
#include "procedures/LiveStores.h"
#include "procedures/MonthEnd.h"
#include "procedures/RecoveryPoint.h"
#include "testsupport/FakeDialogView.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace kelo;
using bench::fail;
using bench::Payroll;

namespace {

using Clock = std::chrono::steady_clock;

class AcceptingCaution : public procedures::CautionHost {
public:
    bool runCaution(procedures::MONENDDLG& form) override {
        testsupport::FakeDialogView view;
        form.initMonEndDlg(view);
        return true;
    }
};

// The guard of the program, timing its recovery point.
class TimedGuard : public procedures::MonthEndGuard {
public:
    TimedGuard(engine::Code4& code, const common::WorkingFolder& folder) : guard_(code, folder) {}
    std::string busyTable(const common::ORGREC& org) override { return guard_.busyTable(org); }
    bool begin(const common::ORGREC& org, procedures::Closing closing) override {
        const auto start = Clock::now();
        const bool made = guard_.begin(org, closing);
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        return made;
    }
    void end() override {
        const auto start = Clock::now();
        guard_.end();
        flushSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    double seconds = 0;
    double flushSeconds = 0; // the folder flushed before the copy is dropped

private:
    procedures::LiveMonthEndGuard guard_;
};

// The program's stores, timing each kind of call.
class TimedStores final : public procedures::MonthEndStores {
public:
    explicit TimedStores(procedures::MonthEndStores& inner) : inner_(inner) {}
    bool getNotProcdCnt(common::PAYFREQ payFreq, long& count) override {
        const Timer timer(seconds["getNotProcdCnt"]);
        return inner_.getNotProcdCnt(payFreq, count);
    }
    bool updateTransactions(const common::ORGREC& org, common::UPDATEMODE mode,
                            common::PAYFREQ payFreq) override {
        const Timer timer(seconds["updateTransactions"]);
        return inner_.updateTransactions(org, mode, payFreq);
    }
    bool updatePersonnel(const common::ORGREC& org, common::UPDATEMODE mode, int payFreq) override {
        const Timer timer(seconds["updatePersonnel"]);
        return inner_.updatePersonnel(org, mode, payFreq);
    }
    bool checkPeriodFiles(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        const Timer timer(seconds["checkPeriodFiles"]);
        return inner_.checkPeriodFiles(payFreq, org);
    }
    bool writePeriodFile(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        const Timer timer(seconds["writePeriodFile"]);
        return inner_.writePeriodFile(payFreq, org);
    }
    void delPeriodTmpFiles(const common::ORGREC& org) override {
        const Timer timer(seconds["delPeriodTmpFiles"]);
        inner_.delPeriodTmpFiles(org);
    }
    bool saveLeaveDays(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        const Timer timer(seconds["saveLeaveDays"]);
        return inner_.saveLeaveDays(payFreq, org);
    }
    bool updatePayLog(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        const Timer timer(seconds["updatePayLog"]);
        return inner_.updatePayLog(payFreq, org);
    }
    bool purgeLog(const common::ORGREC& org) override {
        const Timer timer(seconds["purgeLog"]);
        return inner_.purgeLog(org);
    }
    bool checkMonthFiles(const common::ORGREC& org) override {
        const Timer timer(seconds["checkMonthFiles"]);
        return inner_.checkMonthFiles(org);
    }
    bool updateMonthFile(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        const Timer timer(seconds["updateMonthFile"]);
        return inner_.updateMonthFile(payFreq, org);
    }
    void delMonthInterimFile(const common::ORGREC& org) override {
        const Timer timer(seconds["delMonthInterimFile"]);
        inner_.delMonthInterimFile(org);
    }
    bool checkAnnualFiles(const common::ORGREC& org) override {
        const Timer timer(seconds["checkAnnualFiles"]);
        return inner_.checkAnnualFiles(org);
    }
    bool updateAnnualFile(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        const Timer timer(seconds["updateAnnualFile"]);
        return inner_.updateAnnualFile(payFreq, org);
    }
    void delAnnualInterimFile(const common::ORGREC& org) override {
        const Timer timer(seconds["delAnnualInterimFile"]);
        inner_.delAnnualInterimFile(org);
    }
    bool checkTaxFiles(const common::ORGREC& org) override {
        const Timer timer(seconds["checkTaxFiles"]);
        return inner_.checkTaxFiles(org);
    }
    bool updateTaxFiles(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        const Timer timer(seconds["updateTaxFiles"]);
        return inner_.updateTaxFiles(payFreq, org);
    }
    void delTaxInterimFiles(const common::ORGREC& org) override {
        const Timer timer(seconds["delTaxInterimFiles"]);
        inner_.delTaxInterimFiles(org);
    }
    bool checkYtdFiles(const common::ORGREC& org) override {
        const Timer timer(seconds["checkYtdFiles"]);
        return inner_.checkYtdFiles(org);
    }
    bool updateYtdFile(common::PAYFREQ payFreq, const common::ORGREC& org) override {
        const Timer timer(seconds["updateYtdFile"]);
        return inner_.updateYtdFile(payFreq, org);
    }
    void delYtdInterimFile(const common::ORGREC& org) override {
        const Timer timer(seconds["delYtdInterimFile"]);
        inner_.delYtdInterimFile(org);
    }
    void delActiveFile(const common::ORGREC& org) override {
        const Timer timer(seconds["delActiveFile"]);
        inner_.delActiveFile(org);
    }
    bool checkLeaversFiles(const common::ORGREC& org) override {
        const Timer timer(seconds["checkLeaversFiles"]);
        return inner_.checkLeaversFiles(org);
    }
    bool writeLeaversFile(const common::ORGREC& org) override {
        const Timer timer(seconds["writeLeaversFile"]);
        return inner_.writeLeaversFile(org);
    }
    void delLeaveRepInterimFile(const common::ORGREC& org) override {
        const Timer timer(seconds["delLeaveRepInterimFile"]);
        inner_.delLeaveRepInterimFile(org);
    }
    bool checkLeaveRepFiles() override {
        const Timer timer(seconds["checkLeaveRepFiles"]);
        return inner_.checkLeaveRepFiles();
    }
    bool updateLeaveRepFile(const common::ORGREC& org) override {
        const Timer timer(seconds["updateLeaveRepFile"]);
        return inner_.updateLeaveRepFile(org);
    }
    bool cntExpiredBookings(const common::ORGREC& org, std::int32_t& count) override {
        const Timer timer(seconds["cntExpiredBookings"]);
        return inner_.cntExpiredBookings(org, count);
    }
    bool purgeAbsenceOrphans() override {
        const Timer timer(seconds["purgeAbsenceOrphans"]);
        return inner_.purgeAbsenceOrphans();
    }
    bool purgeAbsence() override {
        const Timer timer(seconds["purgeAbsence"]);
        return inner_.purgeAbsence();
    }
    bool purgeLeaveOrphans() override {
        const Timer timer(seconds["purgeLeaveOrphans"]);
        return inner_.purgeLeaveOrphans();
    }
    bool updateLeave(const common::ORGREC& org, common::UPDATEMODE mode) override {
        const Timer timer(seconds["updateLeave"]);
        return inner_.updateLeave(org, mode);
    }
    const common::ORGREC& getOpenOrg() override { return inner_.getOpenOrg(); }
    int fiscalYear() override { return inner_.fiscalYear(); }
    bool backup() override {
        const Timer timer(seconds["backup"]);
        return inner_.backup();
    }
    void incrPeriodEndDay(common::PAYFREQ payFreq, int atMonthEnd) override {
        const Timer timer(seconds["incrPeriodEndDay"]);
        inner_.incrPeriodEndDay(payFreq, atMonthEnd);
    }
    void incrMonth() override {
        const Timer timer(seconds["incrMonth"]);
        inner_.incrMonth();
    }
    void delRepFiles() override {
        const Timer timer(seconds["delRepFiles"]);
        inner_.delRepFiles();
    }
    void initMonEndDlg(common::DialogView& caution) override {
        const Timer timer(seconds["initMonEndDlg"]);
        inner_.initMonEndDlg(caution);
    }
    void initPeriodEndDlg(common::DialogView& caution) override {
        const Timer timer(seconds["initPeriodEndDlg"]);
        inner_.initPeriodEndDlg(caution);
    }
    bool checkPasswd(common::DialogView& caution) override {
        const Timer timer(seconds["checkPasswd"]);
        return inner_.checkPasswd(caution);
    }
    bool statutoryTableOpens(int fiscalYear) override {
        const Timer timer(seconds["statutoryTableOpens"]);
        return inner_.statutoryTableOpens(fiscalYear);
    }
    void makeStatutoryFolder(int fiscalYear) override {
        const Timer timer(seconds["makeStatutoryFolder"]);
        inner_.makeStatutoryFolder(fiscalYear);
    }
    void newPayeFile(const std::string& sourceFolder, int fiscalYear) override {
        const Timer timer(seconds["newPayeFile"]);
        inner_.newPayeFile(sourceFolder, fiscalYear);
    }
    void newNssfFile(const std::string& sourceFolder, int fiscalYear) override {
        const Timer timer(seconds["newNssfFile"]);
        inner_.newNssfFile(sourceFolder, fiscalYear);
    }
    void newPayeParamFile(const std::string& sourceFolder, int fiscalYear) override {
        const Timer timer(seconds["newPayeParamFile"]);
        inner_.newPayeParamFile(sourceFolder, fiscalYear);
    }
    void newSdlFile(const std::string& sourceFolder, int fiscalYear) override {
        const Timer timer(seconds["newSdlFile"]);
        inner_.newSdlFile(sourceFolder, fiscalYear);
    }
    void newWcfFile(const std::string& sourceFolder, int fiscalYear) override {
        const Timer timer(seconds["newWcfFile"]);
        inner_.newWcfFile(sourceFolder, fiscalYear);
    }
    std::map<std::string, double> seconds;

private:
    class Timer {
    public:
        explicit Timer(double& total) : total_(total), start_(Clock::now()) {}
        ~Timer() { total_ += std::chrono::duration<double>(Clock::now() - start_).count(); }

    private:
        double& total_;
        Clock::time_point start_;
    };

    procedures::MonthEndStores& inner_;
};

// What the payroll lacks for a month end: a grade, the absence and leave
// tables, the organisation's row and, for a monthly payroll, the other
// frequencies' tables.
void completeOrganisation(Payroll& payroll, bool everyFrequency) {
    const common::PayItemDefs defs = bench::twelveItems();
    const std::vector<common::PAYFREQ> missing =
        everyFrequency
            ? std::vector<common::PAYFREQ>{}
            : std::vector<common::PAYFREQ>{common::WEEKLY, common::BIWEEKLY, common::IRREGULAR};
    for (common::PAYFREQ payFreq : missing) {
        database::VARDB pay(payroll.code, payroll.folder);
        if (!database::writePayFields(payroll.folder, payroll.org.folder, payFreq, "Payroll file",
                                      database::fieldTablesOf(defs)) ||
            !pay.setDefinitions(defs) || !pay.createFile(payroll.ui, payFreq))
            fail("cannot create the other payrolls");
    }
    database::GRADESDB grades(payroll.code, payroll.folder);
    database::GRADEREC grade;
    grade.name = "TGS B";
    if (!grades.createFile(payroll.ui) || !grades.openFile() || !grades.appendRecord(grade))
        fail("cannot create the grades");
    grades.closeFile();
    if (!database::ABSENCEDB(payroll.code, payroll.folder, payroll.ui).createFile(payroll.ui) ||
        !database::LEAVEDB(payroll.code, payroll.folder, payroll.ui).createFile(payroll.ui))
        fail("cannot create the absence and leave tables");
    payroll.org.weekEndDay = payroll.org.fortnightEndDay = 28;
    database::ORGDB table(payroll.code, payroll.folder);
    if (!table.createFile(payroll.ui) || !table.openFile())
        fail("cannot create the organisations table");
    engine::Data4& data = *table.data();
    data.appendStart();
    data.blank();
    table.storeRec(payroll.org);
    if (data.append() != engine::r4success)
        fail("cannot add the organisation");
    table.closeFile();
}

void openOrganisation(setup::ORGS& orgs) {
    testsupport::FakeDialogView list;
    orgs.initOrgList(list, "Open Organisation");
    list.selectRow(setup::orglistdlg::List, 0);
    if (orgs.openSelOrg(list) != 1)
        fail("cannot open the organisation");
}

// N employees, a quarter of them in each pay frequency.
void BM_MonthEnd(benchmark::State& state) {
    Payroll payroll(state.range(0), true);
    completeOrganisation(payroll, true);
    setup::ORGS orgs(payroll.ui, payroll.code, payroll.folder);
    setup::USERS users(payroll.code, payroll.folder);
    openOrganisation(orgs);
    procedures::LiveMonthEndStores live({payroll.ui, payroll.code, payroll.folder, orgs, users,
                                         setup::systemDrive(), setup::systemClock()});
    TimedStores stores(live);
    TimedGuard guard(payroll.code, payroll.folder);
    AcceptingCaution caution;
    for (auto _ : state) {
        payroll.ui.answers.push_back(common::Answer::No);
        procedures::MONTHEND monthEnd(payroll.ui, stores, guard, caution, "source");
        if (monthEnd.monthEnd() != 0)
            fail("the month end failed: " + payroll.ui.lastMessage());
    }
    state.counters["recovery_point_s"] = guard.seconds;
    state.counters["flush_and_drop_s"] = guard.flushSeconds;
    // The three kinds of call that took longest.
    std::vector<std::pair<double, std::string>> calls;
    for (const auto& [name, seconds] : stores.seconds)
        calls.emplace_back(seconds, name);
    std::sort(calls.rbegin(), calls.rend());
    for (std::size_t i = 0; i < calls.size() && i < 3; ++i)
        state.counters[calls[i].second + "_s"] = calls[i].first;
}
// One month end changes the organisation for good: one run.
BENCHMARK(BM_MonthEnd)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The recovery point alone: the organisation's folder copied, flushed and
// marked, then dropped.
void BM_RecoveryPoint(benchmark::State& state) {
    Payroll payroll(state.range(0));
    procedures::RecoveryPoint point(payroll.folder.dataFolder(), payroll.folder.current());
    for (auto _ : state) {
        if (!point.make({payroll.org, {}, true, {}}))
            fail("no recovery point");
        point.drop();
    }
}
BENCHMARK(BM_RecoveryPoint)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
