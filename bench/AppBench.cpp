// Speed of what the clerk waits for in the program: the payslips of a whole
// payroll read, laid out and saved as one PDF, as File > Save as PDF does.

#include "BenchPayroll.h"
#include "app/main/ReportPrinting.h"
#include "payrunreports/Payslips.h"
#include "payrunreports/PeriodDb.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace kelo;
using bench::fail;
using bench::Payroll;

namespace {

void BM_PayslipsPdf(benchmark::State& state) {
    Payroll payroll(state.range(0));
    payrunreports::PERIODDB db(payroll.ui, payroll.code, payroll.folder);
    if (!db.writeFile(payroll.ui, common::MONTHLY, payroll.org, false))
        fail("the period file was not written: " + payroll.ui.lastMessage());
    const common::REPORTPARAM param = common::newReportParam(common::kReportPayslips, payroll.org);
    const std::string path = payroll.dir.file("payslips.pdf");
    int pages = 0;
    for (auto _ : state) {
        payrunreports::PAYSLIPSREP report(payroll.ui, payroll.code, payroll.folder, param);
        if (!report.readFile(payroll.org))
            fail("the period file was not read: " + payroll.ui.lastMessage());
        report.sort();
        report.layOut();
        if (!app::savePdfParts(report, payroll.ui, {{path, 1, report.pageCount()}}))
            fail("the PDF was not written: " + payroll.ui.lastMessage());
        pages = report.pageCount();
    }
    state.counters["pages"] = pages;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_PayslipsPdf)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    // No display is needed to write a PDF.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
