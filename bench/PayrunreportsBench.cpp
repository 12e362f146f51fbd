// Speed of the period file: every employee of a monthly payroll of N
// recomputed and written, as a report of the current period does when its
// file is stale.

#include "BenchPayroll.h"
#include "payrunreports/BankTransfer.h"
#include "payrunreports/PayRunReports.h"
#include "payrunreports/Payslips.h"
#include "payrunreports/PeriodDb.h"
#include "testsupport/RecordingCanvas.h"

#include <benchmark/benchmark.h>
#include <string>

using namespace kelo;
using bench::fail;
using bench::Payroll;

namespace {

void BM_PeriodFileWrite(benchmark::State& state) {
    Payroll payroll(state.range(0));
    payrunreports::PERIODDB db(payroll.ui, payroll.code, payroll.folder);
    for (auto _ : state) {
        if (!db.writeFile(payroll.ui, common::MONTHLY, payroll.org, false))
            fail("the period file was not written: " + payroll.ui.lastMessage());
    }
    state.counters["bytes"] = static_cast<double>(
        std::filesystem::file_size(payroll.folder.resolve("2025/monperiod.int")));
}
BENCHMARK(BM_PeriodFileWrite)->Arg(10000)->Unit(benchmark::kMillisecond);

// The payslips of the whole payroll: the period file read, and every page
// laid out on a recording canvas.
void BM_PayslipsLayout(benchmark::State& state) {
    Payroll payroll(state.range(0));
    payrunreports::PERIODDB db(payroll.ui, payroll.code, payroll.folder);
    if (!db.writeFile(payroll.ui, common::MONTHLY, payroll.org, false))
        fail("the period file was not written: " + payroll.ui.lastMessage());
    const common::REPORTPARAM param = common::newReportParam(common::kReportPayslips, payroll.org);
    std::size_t elements = 0;
    int pages = 0;
    for (auto _ : state) {
        payrunreports::PAYSLIPSREP report(payroll.ui, payroll.code, payroll.folder, param);
        if (!report.readFile(payroll.org))
            fail("the period file was not read: " + payroll.ui.lastMessage());
        report.sort();
        report.layOut();
        testsupport::RecordingCanvas canvas;
        if (!report.print(canvas, common::PRINTERREC{}))
            fail("the payslips were not printed");
        elements = canvas.elements.size();
        pages = canvas.pagesStarted;
    }
    state.counters["pages"] = pages;
    state.counters["elements"] = static_cast<double>(elements);
}
BENCHMARK(BM_PayslipsLayout)->Arg(10000)->Unit(benchmark::kMillisecond);

// The payroll summary of the whole payroll: the period file read, the
// records arranged and every page laid out on a recording canvas.
void BM_SummaryLayout(benchmark::State& state) {
    Payroll payroll(state.range(0));
    payrunreports::PERIODDB db(payroll.ui, payroll.code, payroll.folder);
    if (!db.writeFile(payroll.ui, common::MONTHLY, payroll.org, false))
        fail("the period file was not written: " + payroll.ui.lastMessage());
    const common::REPORTPARAM param =
        common::newReportParam(common::kReportPayrollSummary, payroll.org);
    int pages = 0;
    for (auto _ : state) {
        auto report = payrunreports::openPayRunReport(payroll.ui, payroll.code, payroll.folder,
                                                      param, payroll.org);
        if (!report)
            fail("the summary was not read: " + payroll.ui.lastMessage());
        testsupport::RecordingCanvas canvas;
        if (!report->print(canvas, common::PRINTERREC{}))
            fail("the summary was not printed");
        pages = canvas.pagesStarted;
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_SummaryLayout)->Arg(10000)->Unit(benchmark::kMillisecond);

// A bank transfer file of the whole payroll: the period file read, the
// payments ordered by name and the Stanbic file written.
void BM_BankFileWrite(benchmark::State& state) {
    Payroll payroll(state.range(0));
    payrunreports::PERIODDB db(payroll.ui, payroll.code, payroll.folder);
    if (!db.writeFile(payroll.ui, common::MONTHLY, payroll.org, false))
        fail("the period file was not written: " + payroll.ui.lastMessage());
    common::REPORTPARAM param = common::newReportParam(common::kReportStanbicFile, payroll.org);
    param.fieldName = "Net Pay";
    param.processDate = common::date{2025, 28, 3};
    const std::string path = payroll.dir.file("stanbic.csv");
    for (auto _ : state) {
        auto file = payrunreports::newBankFile(payroll.ui, payroll.code, payroll.folder, param);
        if (!file || !file->readFile(payroll.org))
            fail("the period file was not read: " + payroll.ui.lastMessage());
        file->sortByName();
        payroll.ui.choices.push_back(path);
        if (!file->save(payroll.org))
            fail("the bank file was not saved: " + payroll.ui.lastMessage());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_BankFileWrite)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
