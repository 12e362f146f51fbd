// Speed of the return stores at month end: one closed month of N employees
// added to each store from its kept period file.

#include "BenchPayroll.h"
#include "monthlyreturns/MonthDb.h"
#include "payrunreports/PeriodDb.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

using namespace kelo;
using bench::fail;
using bench::Payroll;

namespace {

void BM_MonthlyReturnsUpdate(benchmark::State& state) {
    Payroll payroll(state.range(0));
    payrunreports::PERIODDB period(payroll.ui, payroll.code, payroll.folder);
    if (!period.writeFile(payroll.ui, common::MONTHLY, payroll.org, true) ||
        !database::PAYLOGDB(payroll.code, payroll.folder)
             .updatePayLog(payroll.ui, common::MONTHLY, payroll.org))
        fail("the closed period was not kept: " + payroll.ui.lastMessage());
    monthlyreturns::MONTHDB monthly(payroll.ui, payroll.code, payroll.folder);
    for (auto _ : state) {
        // The month end's order: check, then add the period.
        if (!monthly.checkFiles(payroll.ui, payroll.org) ||
            !monthly.updateFile(payroll.ui, common::MONTHLY, payroll.org, true))
            fail("the monthly store was not updated: " + payroll.ui.lastMessage());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(
        payroll.folder.resolve(monthlyreturns::MONTHDB::monthFilePath(2025, 3))));
}
BENCHMARK(BM_MonthlyReturnsUpdate)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
