// Speed of the year-to-date store: one month of a monthly payroll of N
// employees (twelve pay items each beside the sixteen fixed rows) added to
// a year's file that already holds January, as the month end does.

#include "BenchPayroll.h"
#include "yeartodate/EmpPaySum.h"
#include "yeartodate/YtdDb.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

using namespace kelo;
using bench::fail;
using bench::Payroll;

namespace {

void BM_YtdUpdate(benchmark::State& state) {
    Payroll payroll(state.range(0));
    yeartodate::YTDDB db(payroll.ui, payroll.code, payroll.folder);
    payroll.org.month = "January";
    if (!db.updateFile(payroll.ui, common::MONTHLY, payroll.org, true))
        fail("January was not added: " + payroll.ui.lastMessage());
    payroll.org.month = "February";
    for (auto _ : state) {
        if (!db.updateFile(payroll.ui, common::MONTHLY, payroll.org, true))
            fail("February was not added: " + payroll.ui.lastMessage());
    }
    state.counters["bytes"] = static_cast<double>(
        std::filesystem::file_size(payroll.folder.resolve(yeartodate::YTDDB::filePath(2025))));
}
BENCHMARK(BM_YtdUpdate)->Arg(10000)->Unit(benchmark::kMillisecond);

// The pay summary of a past year: the file read and every page laid out.
void BM_PaySummaryRead(benchmark::State& state) {
    Payroll payroll(state.range(0));
    yeartodate::YTDDB db(payroll.ui, payroll.code, payroll.folder);
    if (!db.updateFile(payroll.ui, common::MONTHLY, payroll.org, true))
        fail("the year's file was not written: " + payroll.ui.lastMessage());
    common::REPORTPARAM param =
        common::newReportParam(common::kReportEmployeePaySummary, payroll.org);
    payroll.org.year = 2026;
    for (auto _ : state) {
        yeartodate::EMPPAYSUM report(payroll.ui, payroll.code, payroll.folder, param);
        if (!report.readFile(payroll.org))
            fail("the year's file was not read: " + payroll.ui.lastMessage());
        report.sort();
        report.layOut();
    }
}
BENCHMARK(BM_PaySummaryRead)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
