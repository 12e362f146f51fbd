// Speed of the transactions store: the period update of a monthly payroll
// of N employees with twelve pay items each, and the rebuild of its table
// when an item is added. Speed of the employee master form on a personnel
// file of N employees: opening it on the first employee, and stepping to the
// next one. Speed of the transactions form on such a payroll: one amount
// changed and every page shown again, and stepping to the next employee.

#include "BenchOrganisation.h"
#include "database/AbsenceDb.h"
#include "database/BanksDb.h"
#include "database/LeaveDb.h"
#include "database/NssfDb.h"
#include "database/OptionsDb.h"
#include "database/PayFieldsFile.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "database/StaticDb.h"
#include "database/TransactionsRebuild.h"
#include "database/VarDb.h"
#include "engine/Data4.h"
#include "engine/Field4.h"
#include "staffrecords/StatFrm.h"
#include "staffrecords/StatFrmControls.h"
#include "staffrecords/VarDbEx.h"
#include "staffrecords/VarFrm.h"
#include "staffrecords/VarFrmControls.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

// An organisation with every table the employee master form opens: units,
// grades, jobs and posts, stations, pay groups, co-operatives, pension
// funds, banks, the four payrolls, absences and leave, and a personnel file
// of N employees spread over them.
struct PersonnelFolder : bench::Organisation {
    explicit PersonnelFolder(long employees) {
        org.formSortKey = common::kSortByEmpNum;
        makeLists({200, 20, 10, 10});
        if (!database::ABSENCEDB(code, folder, ui).createFile(ui) ||
            !database::LEAVEDB(code, folder, ui).createFile(ui) ||
            !database::OPTIONSDB(code, folder).createFile(ui))
            fail("cannot create the absence, leave and options tables");
        common::PayItemDefs defs;
        defs.basicPay = def("Basic Pay", "Basic Pay", "Use Built-In Function", 0);
        defs.overtime = def("Overtime", "Overtime", "Use Built-In Function", 0);
        defs.rent = def("Rent", "Rent", "Defined in Master File");
        makePayrolls(defs);
        makeStaff(static_cast<int>(employees));
        staffrecords::STATFRM form(ui, code, folder);
        if (!form.checkFiles(staffrecords::PERSONNEL_FILE))
            fail("the form refuses the folder: " + ui.lastMessage());
    }

    void makeStaff(int employees) {
        database::STATDB staff(code, folder);
        if (!staff.createFile(ui) || !staff.openFile(true))
            fail("cannot create the personnel file");
        for (int n = 0; n < employees; ++n) {
            common::STATICREC e;
            e.empNum = "E" + std::to_string(100000 + n);
            e.lastName = "Name" + std::to_string(n % 311);
            e.otherNames = "Other " + std::to_string(n % 97);
            e.title = n % 2 ? "Mrs." : "Mr.";
            e.gender = n % 2 ? "Female" : "Male";
            e.maritalStatus = "Married";
            e.nationality = "Tanzanian";
            e.station = 1 + n % kStations;
            e.startDate = common::date{2010 + n % 15, 1, 7};
            e.leaveEntitlement = 28;
            e.payFreq = common::MONTHLY;
            e.payMethod = n % 3 ? common::kPayByBankTransfer : common::kPayByCash;
            if (e.payMethod == common::kPayByBankTransfer) {
                e.bankName = "CRDB Bank";
                e.branchName = "Mbeya";
                e.accountNum = "0152" + std::to_string(100000 + n);
            }
            e.salary = 300000 + 1000.0 * static_cast<double>(n % 500);
            e.hoursPerDay = 8;
            e.hoursPerMonth = 176;
            e.payeApplies = e.nssfMember = 1;
            database::PERSONNELREC p;
            p.birthDate = common::date{1970 + n % 30, 14, 3};
            p.unit = 1 + n % kUnits;
            p.job = 1 + n % kJobs;
            p.grade = 1 + p.job % kGrades;
            p.payGroup = 1 + n % 2;
            if (n > 0)
                p.supervisor = "E" + std::to_string(100000 + n / 10);
            if (!staff.updateFields(e, p, true))
                fail("cannot add an employee");
        }
        staff.closeFile();
    }
};

std::unique_ptr<PersonnelFolder>& personnelFolder(long employees) {
    // Built once for both form benchmarks: the file takes longer to make than
    // to time.
    static std::map<long, std::unique_ptr<PersonnelFolder>> folders;
    auto& folder = folders[employees];
    if (!folder)
        folder = std::make_unique<PersonnelFolder>(employees);
    return folder;
}

constexpr long kPersonnel = 10000;

void BM_PersonnelFormOpen(benchmark::State& state) {
    PersonnelFolder& f = *personnelFolder(state.range(0));
    testsupport::FakeDialogView page;
    for (auto _ : state) {
        auto form = std::make_unique<staffrecords::STATFRM>(f.ui, f.code, f.folder);
        if (!form->open(staffrecords::PERSONNEL_FILE, f.org))
            fail("the form does not open: " + f.ui.lastMessage());
        form->setPage(page, staffrecords::PERSONAL_DETAILS);
        form->displayRecord();
        state.PauseTiming();
        if (!form->hasRecord() || form->data()->recCount() != state.range(0) ||
            page.text(staffrecords::statfrm::kEmpNum) != "E100000")
            fail("the form does not show the first of all the employees");
        form.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PersonnelFormOpen)->Arg(kPersonnel)->Unit(benchmark::kMillisecond);

void BM_PersonnelFormNext(benchmark::State& state) {
    PersonnelFolder& f = *personnelFolder(kPersonnel);
    testsupport::FakeDialogView page;
    staffrecords::STATFRM form(f.ui, f.code, f.folder);
    if (!form.open(staffrecords::PERSONNEL_FILE, f.org))
        fail("the form does not open: " + f.ui.lastMessage());
    form.setPage(page, staffrecords::PERSONAL_DETAILS);
    form.displayRecord();
    long shown = 1;
    for (auto _ : state) {
        if (shown == kPersonnel) {
            state.PauseTiming();
            if (!form.firstRecord())
                fail("the form does not go back to the first employee");
            shown = 1;
            state.ResumeTiming();
        }
        if (!form.nextRecord())
            fail("the form does not move on: " + f.ui.lastMessage());
        ++shown;
    }
    if (page.text(staffrecords::statfrm::kEmpNum) != "E" + std::to_string(100000 + shown - 1))
        fail("the form shows another employee than the one moved to");
    if (!form.close())
        fail("the form does not close");
}
BENCHMARK(BM_PersonnelFormNext)->Unit(benchmark::kMicrosecond);

// The monthly payroll of N employees with everything the transactions form
// opens: the banks and the year's tax tables besides.
struct TransactionsFolder {
    Payroll payroll;

    explicit TransactionsFolder(long employees) : payroll(employees) {
        engine::Code4& code = payroll.code;
        const common::WorkingFolder& folder = payroll.folder;
        std::filesystem::create_directories(payroll.dir.file("system/settings"));
        payroll.org.fiscalYear = 2025;
        payroll.org.taxEmployerPension = 1;
        database::BANKSDB banks(code, folder);
        if (!banks.newBankFile(payroll.ui) || !banks.newBranchFile(payroll.ui))
            fail("cannot create the banks");
        yearTable<database::PAYEDB>(std::vector<database::PAYEREC>{{0, 270000, 0},
                                                                   {270001, 520000, 8},
                                                                   {520001, 760000, 20},
                                                                   {760001, 1000000, 25},
                                                                   {1000001, 1000001, 30}});
        yearTable<database::NSSFDB>(std::vector<database::NSSFREC>{{10, 10}});
        yearTable<database::PAYEPARAMDB>(std::vector<database::PAYEPARAMREC>{{300000, 12, 12}});
        yearTable<database::SDLDB>(std::vector<database::SDLREC>{{4}});
        staffrecords::VARFRM form(payroll.ui, code, folder);
        if (!form.checkFiles(payroll.org))
            fail("the transactions form refuses the folder: " + payroll.ui.lastMessage());
    }

    template <class Table, class Row> void yearTable(const std::vector<Row>& rows) {
        Table table(payroll.code, payroll.folder);
        const std::string path = payroll.folder.resolve(table.yearPath(payroll.org.fiscalYear));
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const database::Schema schema = Table::tableSchema();
        auto data = engine::Data4::create(payroll.code, path, schema.fields, schema.tags);
        if (!data)
            fail("cannot create " + path);
        for (const Row& row : rows) {
            if (data->appendStart() != engine::r4success)
                fail("cannot add to " + path);
            data->blank();
            Table::store(*data, row);
            if (data->append() != engine::r4success)
                fail("cannot add to " + path);
        }
        data->close();
    }
};

TransactionsFolder& transactionsFolder(long employees) {
    static std::map<long, std::unique_ptr<TransactionsFolder>> folders;
    auto& folder = folders[employees];
    if (!folder)
        folder = std::make_unique<TransactionsFolder>(employees);
    return *folder;
}

void BM_TransactionsFormRecompute(benchmark::State& state) {
    TransactionsFolder& f = transactionsFolder(100);
    Payroll& p = f.payroll;
    testsupport::FakeDialogView view;
    staffrecords::VARFRM form(p.ui, p.code, p.folder);
    if (!form.open(p.org) || !form.hasRecord())
        fail("the transactions form does not open: " + p.ui.lastMessage());
    form.setPage(view, staffrecords::EARNINGS_PAGE);
    form.displayRecord();
    long keyed = 10000;
    for (auto _ : state) {
        form.setPage(view, staffrecords::EARNINGS_PAGE);
        form.displayPage(false);
        // "Acting", a keyed earning, in the first row.
        view.setText(staffrecords::varfrm::kItemAmount[0], std::to_string(++keyed));
        form.amountChanged();
        for (int page = staffrecords::DEDUCTIONS_PAGE; page <= staffrecords::SUMMARY_PAGE; ++page) {
            form.setPage(view, static_cast<staffrecords::VARPAGE>(page));
            form.displayPage(false);
        }
    }
    if (form.getCurrentRec().earnings[0].amount != static_cast<double>(keyed) ||
        view.text(staffrecords::varfrm::kNetPay).empty())
        fail("the form did not take the amount keyed");
    form.undoCurrentRec();
    if (!form.close())
        fail("the transactions form does not close");
}
BENCHMARK(BM_TransactionsFormRecompute)->Unit(benchmark::kMicrosecond);

void BM_TransactionsFormNext(benchmark::State& state) {
    const long employees = state.range(0);
    Payroll& p = transactionsFolder(employees).payroll;
    testsupport::FakeDialogView view;
    staffrecords::VARFRM form(p.ui, p.code, p.folder);
    if (!form.open(p.org))
        fail("the transactions form does not open: " + p.ui.lastMessage());
    form.setPage(view, staffrecords::EARNINGS_PAGE);
    form.displayRecord();
    long shown = 1;
    for (auto _ : state) {
        if (shown == employees) {
            state.PauseTiming();
            if (!form.firstRecord())
                fail("the form does not go back to the first employee");
            shown = 1;
            state.ResumeTiming();
        }
        if (!form.nextRecord())
            fail("the form does not move on: " + p.ui.lastMessage());
        ++shown;
    }
    if (!form.hasRecord() || view.text(staffrecords::varfrm::kEmployee)
                                     .rfind("E" + std::to_string(100000 + shown - 1), 0) != 0)
        fail("the form shows another employee than the one moved to");
    if (!form.close())
        fail("the transactions form does not close");
}
BENCHMARK(BM_TransactionsFormNext)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
