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

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

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
    bool begin(const common::ORGREC& org) override {
        const auto start = Clock::now();
        const bool made = guard_.begin(org);
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        return made;
    }
    void end() override { guard_.end(); }
    double seconds = 0;

private:
    procedures::LiveMonthEndGuard guard_;
};

// What the payroll lacks for a month end: the other frequencies' tables, a
// grade, the absence and leave tables and the organisation's row.
void completeOrganisation(Payroll& payroll) {
    const common::PayItemDefs defs = bench::twelveItems();
    for (common::PAYFREQ payFreq : {common::WEEKLY, common::BIWEEKLY, common::IRREGULAR}) {
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

void BM_MonthEnd(benchmark::State& state) {
    Payroll payroll(state.range(0));
    completeOrganisation(payroll);
    setup::ORGS orgs(payroll.ui, payroll.code, payroll.folder);
    setup::USERS users(payroll.code, payroll.folder);
    openOrganisation(orgs);
    procedures::LiveMonthEndStores stores({payroll.ui, payroll.code, payroll.folder, orgs, users,
                                           setup::systemDrive(), setup::systemClock()});
    TimedGuard guard(payroll.code, payroll.folder);
    AcceptingCaution caution;
    for (auto _ : state) {
        payroll.ui.answers.push_back(common::Answer::No);
        procedures::MONTHEND monthEnd(payroll.ui, stores, guard, caution, "source");
        if (monthEnd.monthEnd() != 0)
            fail("the month end failed: " + payroll.ui.lastMessage());
    }
    state.counters["recovery_point_s"] = guard.seconds;
}
// One month end changes the organisation for good: one run.
BENCHMARK(BM_MonthEnd)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

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
