// Speed of the transactions store: the period update of a monthly payroll
// of N employees with twelve pay items each, and the rebuild of its table
// when an item is added.

#include "database/OptionsDb.h"
#include "database/PayFieldsFile.h"
#include "database/StaticDb.h"
#include "database/TransactionsRebuild.h"
#include "database/VarDb.h"
#include "staffrecords/VarDbEx.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace kelo;

namespace {

void fail(const std::string& what) {
    std::fprintf(stderr, "StaffrecordsBench: %s\n", what.c_str());
    std::abort();
}

std::shared_ptr<common::PayItemDef> def(std::string name, std::string type, std::string function,
                                        int isStatic = 1) {
    auto d = std::make_shared<common::PayItemDef>();
    d->itemName = std::move(name);
    d->itemType = std::move(type);
    d->itemFunction = std::move(function);
    d->isStatic = isStatic;
    d->upperLimit = 1e9;
    d->builtIn = d->itemType == d->itemName;
    return d;
}

// Twelve items of the kinds a real payroll carries.
common::PayItemDefs twelveItems() {
    common::PayItemDefs d;
    d.basicPay = def("Basic Pay", "Basic Pay", "Use Built-In Function", 0);
    d.overtime = def("Overtime", "Overtime", "Use Built-In Function", 0);
    d.rent = def("Rent", "Rent", "Defined in Master File");
    d.earnings = {def("Acting", "Default", "Key in", 0),
                  def("Transport", "Default", "Percentage of Salary"),
                  def("Casual Hours", "Hourly Pay", "Based on Hours Worked")};
    d.deductions = {def("Staff Loan", "Company Loan Payment", "Amortise"),
                    def("Coop Loan", "Co-op Loan Payment", "Key in"),
                    def("Coop Saving", "Co-op Contribution", "Key in"),
                    def("Pension", "Pension Contribution", "Percentage of Basic Pay"),
                    def("Savings", "Savings Plan Deposit", "Key in"),
                    def("Bank Loan", "Bank Loan Payment", "Key in"),
                    def("Uniform", "Cost Recovery", "Key in")};
    d.benefits = {def("Car", "Default", "Key in")};
    d.lumpSums = {def("Bonus", "Default", "Key in", 0)};
    return d;
}

struct Payroll {
    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    common::ORGREC org;

    explicit Payroll(long employees) {
        std::filesystem::create_directories(dir.file("org01/database"));
        std::filesystem::create_directories(dir.file("org01/settings"));
        std::filesystem::create_directories(dir.file("system"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.month = "March";
        const common::PayItemDefs defs = twelveItems();
        if (!database::writePayFields(folder, org.folder, common::MONTHLY, "Monthly payroll file",
                                      database::fieldTablesOf(defs)))
            fail("cannot write the definitions");
        database::STATDB staff(code, folder);
        database::VARDB pay(code, folder);
        if (!staff.createFile(ui) || !database::OPTIONSDB(code, folder).createFile(ui) ||
            !pay.setDefinitions(defs) || !pay.createFile(ui, common::MONTHLY) ||
            !staff.openFile(true) || !pay.openFile(common::MONTHLY, true))
            fail("cannot create the tables");
        for (long n = 0; n < employees; ++n) {
            common::STATICREC e;
            e.empNum = "E" + std::to_string(100000 + n);
            e.lastName = "Name" + std::to_string(n % 311);
            e.salary = 300000 + 1000.0 * static_cast<double>(n % 500);
            e.hoursPerDay = 8;
            e.hoursPerMonth = 176;
            e.payeApplies = e.nssfMember = 1;
            if (!staff.updateFields(e, true))
                fail("cannot add an employee");
            common::VARIATIONSREC rec = common::newVariationsRec(pay.definitions());
            rec.empNum = e.empNum;
            for (auto table : common::kFieldsTables)
                for (common::PayItem& item : *rec.items(table)) {
                    item.active = 1;
                    item.amount = 5000;
                    if (auto* loan = std::get_if<common::LoanParams>(&item.params))
                        *loan = {1e7, 12, 600, 0, 0};
                    if (auto* bank = std::get_if<common::BankLoanParams>(&item.params))
                        bank->paymentsLeft = 600;
                    if (auto* recovery = std::get_if<common::CostRecoveryParams>(&item.params))
                        recovery->balance = 1e7;
                }
            if (!pay.appendRec(rec))
                fail("cannot add a transactions record");
        }
    }
};

void BM_PeriodRoll(benchmark::State& state) {
    Payroll payroll(state.range(0));
    staffrecords::VARDBEX vardb(payroll.ui, payroll.code, payroll.folder);
    for (auto _ : state) {
        if (!vardb.updateFile(payroll.ui, payroll.org, common::UPDATE_PERIOD_END, common::MONTHLY))
            fail("the period update failed");
    }
}
BENCHMARK(BM_PeriodRoll)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_RebuildAfterAddItem(benchmark::State& state) {
    Payroll payroll(state.range(0));
    const common::PayItemDefs before = twelveItems();
    common::PayItemDefs after = before;
    after.deductions.push_back(def("Welfare", "Co-op Loan Payment", "Amortise"));
    bool added = false;
    for (auto _ : state) {
        // Each round adds the item or takes it away again: one rebuild.
        if (!database::rebuildTransactions(payroll.ui, payroll.code, payroll.folder,
                                           common::MONTHLY, added ? before : after))
            fail("the rebuild failed");
        added = !added;
    }
}
BENCHMARK(BM_RebuildAfterAddItem)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
