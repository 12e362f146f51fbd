// Speed of the return stores at month end: one closed month of N employees
// added to each store from its kept period file.

#include "BenchPayroll.h"
#include "annualreturns/AnnualDb.h"
#include "annualreturns/AnnualReports.h"
#include "common/Calendar.h"
#include "monthlyreturns/MonthDb.h"
#include "payrunreports/PeriodDb.h"
#include "taxreports/TaxRepDb.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

using namespace kelo;
using bench::fail;
using bench::Payroll;

namespace {

// The year's store as it stands before March closes: January and February
// of the same payroll. Each timed update starts again from these bytes, for
// the store keeps a period it already has.
class AnnualBaseline {
public:
    explicit AnnualBaseline(Payroll& payroll)
        : path_(payroll.folder.resolve(annualreturns::ANNUALDB::storeFilePath(2025))) {
        annualreturns::ANNUALDB annual(payroll.ui, payroll.code, payroll.folder);
        annualreturns::ANNUALFILE file;
        if (!annual.updateFile(payroll.ui, common::MONTHLY, payroll.org, true) ||
            !annual.readFile(payroll.ui, annualreturns::ANNUALDB::storeFilePath(2025), payroll.org,
                             file) ||
            file.periods.size() != 1)
            fail("the annual store was not made: " + payroll.ui.lastMessage());
        annualreturns::ANNUALPERIOD february = file.periods[0];
        file.periods[0].month = 1;
        file.periods[0].header.periodTitle = "January 2025";
        february.month = 2;
        february.header.periodTitle = "February 2025";
        file.periods.push_back(std::move(february));
        if (!annual.writeFile(payroll.ui, annualreturns::ANNUALDB::storeFilePath(2025), payroll.org,
                              file))
            fail("the annual store was not written: " + payroll.ui.lastMessage());
        std::filesystem::copy_file(path_, path_ + ".base",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    void restore() const {
        std::filesystem::copy_file(path_ + ".base", path_,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void keepClosedPeriod(Payroll& payroll) {
    payrunreports::PERIODDB period(payroll.ui, payroll.code, payroll.folder);
    if (!period.writeFile(payroll.ui, common::MONTHLY, payroll.org, true) ||
        !database::PAYLOGDB(payroll.code, payroll.folder)
             .updatePayLog(payroll.ui, common::MONTHLY, payroll.org))
        fail("the closed period was not kept: " + payroll.ui.lastMessage());
}

void updateAnnual(Payroll& payroll) {
    annualreturns::ANNUALDB annual(payroll.ui, payroll.code, payroll.folder);
    if (!annual.checkFiles(payroll.ui, payroll.org) ||
        !annual.updateFile(payroll.ui, common::MONTHLY, payroll.org, true))
        fail("the annual store was not updated: " + payroll.ui.lastMessage());
}

// The tax files start each run without March: a period already kept is not
// added again.
void clearTax(const Payroll& payroll) {
    for (const taxreports::TaxFile kind : {taxreports::TaxFile::P9, taxreports::TaxFile::P10})
        std::filesystem::remove(
            payroll.folder.resolve(taxreports::TAXREPDB::filePath(kind, payroll.org.year)));
}

void updateTax(Payroll& payroll) {
    taxreports::TAXREPDB tax(payroll.ui, payroll.code, payroll.folder);
    if (!tax.checkFiles(payroll.ui, payroll.org) ||
        !tax.updateFiles(payroll.ui, common::MONTHLY, payroll.org, true))
        fail("the tax files were not updated: " + payroll.ui.lastMessage());
}

void BM_MonthlyReturnsUpdate(benchmark::State& state) {
    Payroll payroll(state.range(0));
    keepClosedPeriod(payroll);
    monthlyreturns::MONTHDB monthly(payroll.ui, payroll.code, payroll.folder);
    const AnnualBaseline annual(payroll);
    for (auto _ : state) {
        state.PauseTiming();
        annual.restore();
        clearTax(payroll);
        state.ResumeTiming();
        // The month end's order: check, then add the period.
        if (!monthly.checkFiles(payroll.ui, payroll.org) ||
            !monthly.updateFile(payroll.ui, common::MONTHLY, payroll.org, true))
            fail("the monthly store was not updated: " + payroll.ui.lastMessage());
        updateAnnual(payroll);
        updateTax(payroll);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(
        payroll.folder.resolve(monthlyreturns::MONTHDB::monthFilePath(2025, 3))));
}
BENCHMARK(BM_MonthlyReturnsUpdate)->Arg(10000)->Unit(benchmark::kMillisecond);

// The annual store alone: March added to a year holding January and February.
void BM_AnnualReturnsUpdate(benchmark::State& state) {
    Payroll payroll(state.range(0));
    keepClosedPeriod(payroll);
    const AnnualBaseline annual(payroll);
    for (auto _ : state) {
        state.PauseTiming();
        annual.restore();
        state.ResumeTiming();
        updateAnnual(payroll);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(annual.path()));
}
BENCHMARK(BM_AnnualReturnsUpdate)->Arg(10000)->Unit(benchmark::kMillisecond);

// The tax files alone: March of N employees added to the P9 and P10 files.
void BM_TaxReturnsUpdate(benchmark::State& state) {
    Payroll payroll(state.range(0));
    keepClosedPeriod(payroll);
    for (auto _ : state) {
        state.PauseTiming();
        clearTax(payroll);
        state.ResumeTiming();
        updateTax(payroll);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(
        payroll.folder.resolve(taxreports::TAXREPDB::filePath(taxreports::TaxFile::P9, 2025))));
}
BENCHMARK(BM_TaxReturnsUpdate)->Arg(10000)->Unit(benchmark::kMillisecond);

// The year's control account over twelve closed months: the store read,
// the months summed per employee and the totals made.
void BM_AnnualControlAccountRead(benchmark::State& state) {
    Payroll payroll(state.range(0));
    keepClosedPeriod(payroll);
    annualreturns::ANNUALDB annual(payroll.ui, payroll.code, payroll.folder);
    const std::string store = annualreturns::ANNUALDB::storeFilePath(2025);
    annualreturns::ANNUALFILE file;
    if (!annual.updateFile(payroll.ui, common::MONTHLY, payroll.org, true) ||
        !annual.readFile(payroll.ui, store, payroll.org, file))
        fail("the annual store was not made: " + payroll.ui.lastMessage());
    const annualreturns::ANNUALPERIOD march = file.periods[0];
    file.periods.clear();
    for (int month = 1; month <= 12; ++month) {
        annualreturns::ANNUALPERIOD p = march;
        p.month = month;
        p.header.periodTitle = common::monthName(month) + " 2025";
        file.periods.push_back(std::move(p));
    }
    if (!annual.writeFile(payroll.ui, store, payroll.org, file))
        fail("the annual store was not written: " + payroll.ui.lastMessage());
    payroll.org.month = "January";
    payroll.org.year = 2026;
    common::REPORTPARAM param =
        common::newReportParam(common::kReportYearControlAccount, payroll.org);
    param.period.year = 2025;
    for (auto _ : state) {
        annualreturns::CONTROLACREP report(payroll.ui, payroll.code, payroll.folder, param);
        if (!report.readFile(payroll.org))
            fail("the control account was not read: " + payroll.ui.lastMessage());
        report.arrange();
        benchmark::DoNotOptimize(report.totals());
    }
    state.counters["bytes"] =
        static_cast<double>(std::filesystem::file_size(payroll.folder.resolve(store)));
}
BENCHMARK(BM_AnnualControlAccountRead)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
