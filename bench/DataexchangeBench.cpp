// Speed of the employee import: a CSV file of N new employees read, checked
// and added to an organisation without employees, each with his
// transactions record and leave account.

#include "database/AbsenceDb.h"
#include "database/BanksDb.h"
#include "database/CoopsDb.h"
#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/LeaveDb.h"
#include "database/OptionsDb.h"
#include "database/PayFieldsFile.h"
#include "database/PayGroupDb.h"
#include "database/PensionsDb.h"
#include "database/PostsDb.h"
#include "database/StaticDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "database/VarDb.h"
#include "dataexchange/EmployeeImport.h"
#include "engine/Data4.h"
#include "engine/Field4.h"
#include "engine/TableFile.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace kelo;

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "DataexchangeBench: %s\n", what.c_str());
    std::abort();
}

std::shared_ptr<common::PayItemDef> def(std::string name, std::string type, std::string function) {
    auto d = std::make_shared<common::PayItemDef>();
    d->itemName = std::move(name);
    d->itemType = std::move(type);
    d->itemFunction = std::move(function);
    d->upperLimit = 1e9;
    d->builtIn = d->itemType == d->itemName;
    return d;
}

void addNames(database::LookupTable& table, const std::vector<std::string>& names) {
    if (!table.openFile())
        fail("cannot open " + table.relativePath());
    engine::Data4& data = *table.data();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (data.appendStart() != engine::r4success)
            fail("cannot add to " + table.relativePath());
        data.blank();
        data.field("CODE")->assignLong(static_cast<long>(i + 1));
        data.field("NAME")->assign(names[i]);
        if (data.append() != engine::r4success)
            fail("cannot add to " + table.relativePath());
    }
    table.closeFile();
}

// An organisation with every list the import names, posts for everyone, the
// four payrolls, absence and leave, and no employees.
struct ImportFolder {
    static constexpr int kUnits = 6, kJobs = 12, kGrades = 4, kStations = 3;

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    common::ORGREC org;
    // The files the import writes, as they are before it.
    std::map<std::string, std::string> pristine;

    explicit ImportFolder(long employees) {
        for (const char* sub : {"system/settings", "org01/database", "org01/settings"})
            std::filesystem::create_directories(dir.file(sub));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.month = "March";
        org.year = 2025;
        org.fiscalYear = 2025;
        makeLists(employees);
        makePayrolls();
        if (!database::STATDB(code, folder).createFile(ui) ||
            !database::ABSENCEDB(code, folder, ui).createFile(ui) ||
            !database::LEAVEDB(code, folder, ui).createFile(ui) ||
            !database::OPTIONSDB(code, folder).createFile(ui))
            fail("cannot create the personnel, absence, leave and options tables");
        std::vector<std::string> written{database::STATDB::kPath, database::LEAVEDB::kPath};
        for (common::PAYFREQ payFreq : common::kPayFreqs)
            written.emplace_back(common::transactionsTablePath(payFreq));
        for (const std::string& path : written) {
            const std::string resolved = folder.resolve(path);
            if (!engine::readWholeFile(resolved, pristine[resolved]))
                fail("cannot read " + path);
        }
    }

    // Every file the import wrote back as it was.
    void reset() {
        for (const auto& [path, bytes] : pristine) {
            if (!engine::writeFileAtomically(path, bytes))
                fail("cannot reset " + path);
        }
    }

    void makeLists(long employees) {
        database::UNITSDB units(code, folder);
        if (!units.createFile(ui) || !units.openFile())
            fail("cannot create the units");
        for (long u = 1; u <= kUnits; ++u) {
            database::UNITREC unit{0, "Unit " + std::to_string(u), u == 1 ? 0 : 1};
            if (!units.appendRecord(unit))
                fail("cannot add a unit");
        }
        units.closeFile();

        database::GRADESDB grades(code, folder);
        if (!grades.createFile(ui) || !grades.openFile())
            fail("cannot create the grades");
        for (int g = 1; g <= kGrades; ++g) {
            database::GRADEREC grade;
            grade.name = "Grade " + std::to_string(g);
            grade.rank = g;
            grade.lowerLimit = {100000.0 * g, 25000.0 * g, 50000.0 * g, 100000.0 * g};
            grade.upperLimit = {900000.0 * g, 225000.0 * g, 450000.0 * g, 900000.0 * g};
            if (!grades.appendRecord(grade))
                fail("cannot add a grade");
        }
        grades.closeFile();

        database::JOBSDB jobs(code, folder);
        if (!jobs.createFile(ui) || !jobs.openFile())
            fail("cannot create the jobs");
        for (long j = 1; j <= kJobs; ++j) {
            database::JOBREC job{0, "Job " + std::to_string(j), 1 + j % kGrades, ""};
            if (!jobs.appendRecord(job))
                fail("cannot add a job");
        }
        jobs.closeFile();

        // Every post with room for its share of the file's employees, and
        // some to spare.
        database::POSTSDB posts(code, folder);
        if (!posts.createFile(ui) || !posts.openFile())
            fail("cannot create the posts");
        const int room = static_cast<int>(employees / (kUnits * kJobs) + 10);
        for (long u = 1; u <= kUnits; ++u) {
            for (long j = 1; j <= kJobs; ++j) {
                if (!posts.appendRecord({u, j, {room, 0, 0, 0}}))
                    fail("cannot add a post");
            }
        }
        posts.closeFile();

        database::STATIONSDB stations(code, folder);
        database::PAYGROUPDB payGroups(code, folder);
        database::COOPSDB coops(code, folder);
        database::PENSIONSDB funds(code, folder);
        for (database::LookupTable* list :
             std::vector<database::LookupTable*>{&stations, &payGroups, &coops, &funds}) {
            if (!list->createFile(ui))
                fail("cannot create " + list->relativePath());
        }
        addNames(stations, {"Dar es Salaam", "Mbeya", "Arusha"});
        addNames(payGroups, {"Management", "Office Staff"});
        addNames(coops, {"Walimu SACCOS", "Afya SACCOS"});
        addNames(funds, {"NSSF Supplementary", "PSSSF"});

        database::BANKSDB banks(code, folder);
        if (!banks.newBankFile(ui) || !banks.newBranchFile(ui) || !banks.openFiles())
            fail("cannot create the banks");
        engine::Data4& bank = *banks.bankData();
        engine::Data4& branch = *banks.branchData();
        if (bank.appendStart() != engine::r4success)
            fail("cannot add a bank");
        bank.blank();
        bank.field("NAME")->assign("CRDB Bank");
        bank.field("CODE")->assign("03");
        if (bank.append() != engine::r4success || branch.appendStart() != engine::r4success)
            fail("cannot add a bank");
        branch.blank();
        branch.field("BANK")->assign("CRDB Bank");
        branch.field("NAME")->assign("Mbeya");
        branch.field("CODE")->assign("101");
        if (branch.append() != engine::r4success)
            fail("cannot add a branch");
        banks.closeFiles();
    }

    void makePayrolls() {
        common::PayItemDefs defs;
        defs.basicPay = def("Basic Pay", "Basic Pay", "Use Built-In Function");
        defs.overtime = def("Overtime", "Overtime", "Use Built-In Function");
        defs.rent = def("Rent", "Rent", "Defined in Master File");
        for (common::PAYFREQ payFreq : common::kPayFreqs) {
            database::VARDB table(code, folder);
            if (!database::writePayFields(folder, org.folder, payFreq,
                                          database::payFieldsComment(payFreq),
                                          database::fieldTablesOf(defs)) ||
                !table.setDefinitions(defs) || !table.createFile(ui, payFreq))
                fail("cannot create the payroll files");
        }
    }
};

// N employees spread evenly over every post and station; one in ten weekly, two in
// three paid by bank transfer.
std::string employeesCsv(long employees) {
    std::string bytes = "Employee Number,Last Name,Other Names,Unit,Job,Station,Pay Frequency,"
                        "Pay Basis,Salary,Hours per Day,Hours per Month,Start Date,Mobile,"
                        "Payment Mode,Bank,Branch,Account Number,TIN\r\n";
    const char* stations[] = {"Dar es Salaam", "Mbeya", "Arusha"};
    for (long n = 0; n < employees; ++n) {
        const std::string number = std::to_string(100000 + n);
        const bool weekly = n % 10 == 9;
        const bool bank = n % 3 != 0;
        bytes += "E" + number + ",Name" + std::to_string(n % 311) + ",Other " +
                 std::to_string(n % 97) + ",Unit " + std::to_string(1 + n / 12 % 6) + ",Job " +
                 std::to_string(1 + n % 12) + "," + stations[n % 3] + "," +
                 (weekly ? "Weekly,Salary,100000" : "Monthly,Salary,500000") + ",8,195," +
                 std::to_string(1 + n % 28) + "/" + std::to_string(1 + n % 12) + "/20" +
                 std::to_string(10 + n % 15) + ",0754 " + number + "," +
                 (bank ? "Bank Transfer,CRDB Bank,Mbeya,0152" + number : "Cash,,,") + ",TIN-" +
                 number + "\r\n";
    }
    return bytes;
}

void BM_EmployeeImport(benchmark::State& state) {
    const long employees = state.range(0);
    ImportFolder f(employees);
    const std::string bytes = employeesCsv(employees);
    double readSeconds = 0;
    double commitSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        dataexchange::EmployeeImport import(f.code, f.folder);
        const dataexchange::ImportPreview& preview = import.read(bytes);
        const auto read = std::chrono::steady_clock::now();
        if (!preview.accepted())
            fail("the preview refuses the file: " +
                 (preview.refusals.empty() ? std::string()
                                           : dataexchange::refusalLine(preview.refusals[0])));
        if (!import.commit(f.ui, f.org))
            fail("the import failed: " + f.ui.lastMessage());
        const auto done = std::chrono::steady_clock::now();
        readSeconds += std::chrono::duration<double>(read - start).count();
        commitSeconds += std::chrono::duration<double>(done - read).count();
        state.PauseTiming();
        {
            database::STATDB staff(f.code, f.folder);
            if (!staff.openFile() || staff.data()->recCount() != employees)
                fail("the personnel file does not hold every employee");
        }
        f.reset();
        state.ResumeTiming();
    }
    const auto rounds = static_cast<double>(state.iterations());
    state.counters["read_s"] = readSeconds / rounds;
    state.counters["commit_s"] = commitSeconds / rounds;
    state.SetItemsProcessed(state.iterations() * employees);
}
// One round of 100,000 takes longer than the least time a benchmark runs,
// so it runs once.
BENCHMARK(BM_EmployeeImport)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
