// Speed of the active employees file: every employee of the personnel file
// with his codes turned into names, as a personnel report does when the
// file is stale; and the nominal roll read from it.

#include "BenchPayroll.h"
#include "database/GradesDb.h"
#include "staffreports/PersonnelLists.h"
#include "staffreports/StaticRepDb.h"

#include <benchmark/benchmark.h>
#include <string>

using namespace kelo;
using bench::fail;
using bench::Payroll;

namespace {

// The shared payroll with what the personnel reports add: grades for the
// jobs, birth dates, and a supervisor for every employee but the first, ten
// to a supervisor.
struct Personnel : Payroll {
    explicit Personnel(long employees) : Payroll(employees) {
        database::GRADESDB grades(code, folder);
        if (!grades.createFile(ui) || !grades.openFile())
            fail("cannot create the grades");
        for (const char* name : {"Senior", "Professional", "Support", "Casual"}) {
            database::GRADEREC grade;
            grade.name = name;
            grades.appendRecord(grade);
        }
        grades.closeFile();
        database::JOBSDB jobs(code, folder);
        if (!jobs.openFile())
            fail("cannot open the jobs");
        for (long job = 1; job <= 4; ++job) {
            database::JOBREC rec;
            if (!jobs.getJobRec(job, rec))
                fail("no job " + std::to_string(job));
            rec.gradeCode = job;
            if (!jobs.updateRecord(rec))
                fail("cannot grade the jobs");
        }
        jobs.closeFile();
        database::STATDB staff(code, folder);
        if (!staff.openFile(true) || !staff.orderByEmpNum())
            fail("cannot open the personnel file");
        engine::Data4& rows = *staff.data();
        long n = 0;
        for (int rc = rows.top(); rc == engine::r4success && !rows.eof(); rc = rows.skip(), ++n) {
            common::STATICREC master;
            database::PERSONNELREC personnel;
            if (!staff.initRec(master) || !staff.initRec(personnel))
                fail("cannot read an employee");
            personnel.birthDate = {static_cast<std::int32_t>(1960 + n % 40),
                                   static_cast<std::uint8_t>(1 + n % 28),
                                   static_cast<std::uint8_t>(1 + n % 12)};
            if (n > 0)
                personnel.supervisor = "E" + std::to_string(100000 + n / 10);
            if (!staff.updateFields(master, personnel, false))
                fail("cannot update an employee");
        }
        staff.closeFile();
    }
};

void BM_ActiveFileWrite(benchmark::State& state) {
    Personnel payroll(state.range(0));
    staffreports::STATICREPDB db(payroll.ui, payroll.code, payroll.folder);
    if (!db.checkFiles(payroll.ui, staffreports::DB_ACTIVE, payroll.org))
        fail("the tables were refused: " + payroll.ui.lastMessage());
    for (auto _ : state) {
        if (!db.writeFile(payroll.ui, staffreports::DB_ACTIVE, payroll.org))
            fail("the active file was not written: " + payroll.ui.lastMessage());
    }
    state.counters["bytes"] =
        static_cast<double>(std::filesystem::file_size(payroll.folder.resolve("2025/active.dbf")));
}
BENCHMARK(BM_ActiveFileWrite)->Arg(10000)->Unit(benchmark::kMillisecond);

// The hierarchy of everyone: the file read, sorted by name, arranged under
// the supervisors and laid out.
void BM_Hierarchy(benchmark::State& state) {
    Personnel payroll(state.range(0));
    staffreports::STATICREPDB db(payroll.ui, payroll.code, payroll.folder);
    if (!db.writeFile(payroll.ui, staffreports::DB_ACTIVE, payroll.org))
        fail("the active file was not written: " + payroll.ui.lastMessage());
    const common::REPORTPARAM param = common::newReportParam(common::kReportHierarchy, payroll.org);
    for (auto _ : state) {
        staffreports::HIERARCHY report(payroll.ui, payroll.code, payroll.folder, param);
        if (!report.openFile(staffreports::DB_ACTIVE, payroll.org))
            fail("the active file was not read: " + payroll.ui.lastMessage());
        report.sortRecords();
        report.createHierarchy();
        report.paginate();
        benchmark::DoNotOptimize(report.pageCount());
    }
}
BENCHMARK(BM_Hierarchy)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
