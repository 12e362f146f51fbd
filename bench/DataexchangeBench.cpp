// Speed of the employee import: a CSV file of N new employees read, checked
// and added to an organisation without employees, each with his
// transactions record and leave account.

#include "BenchOrganisation.h"
#include "database/AbsenceDb.h"
#include "database/LeaveDb.h"
#include "database/OptionsDb.h"
#include "database/StaticDb.h"
#include "dataexchange/EmployeeImport.h"
#include "engine/TableFile.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace kelo;
using bench::fail;

namespace {

std::shared_ptr<common::PayItemDef> def(std::string name, std::string type, std::string function) {
    auto d = std::make_shared<common::PayItemDef>();
    d->itemName = std::move(name);
    d->itemType = std::move(type);
    d->itemFunction = std::move(function);
    d->upperLimit = 1e9;
    d->builtIn = d->itemType == d->itemName;
    return d;
}

// The payrolls' items: the three built in.
common::PayItemDefs payItems() {
    common::PayItemDefs defs;
    defs.basicPay = def("Basic Pay", "Basic Pay", "Use Built-In Function");
    defs.overtime = def("Overtime", "Overtime", "Use Built-In Function");
    defs.rent = def("Rent", "Rent", "Defined in Master File");
    return defs;
}

// An organisation with every list the import names, posts for everyone, the
// four payrolls, absence and leave, and no employees.
struct ImportFolder : bench::Organisation {
    // The files the import writes, as they are before it.
    std::map<std::string, std::string> pristine;

    explicit ImportFolder(long employees) {
        // Every post with room for its share of the file's employees, and
        // some to spare.
        const int room = static_cast<int>(employees / (kUnits * kJobs) + 10);
        makeLists({room, 0, 0, 0});
        makePayrolls(payItems());
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
