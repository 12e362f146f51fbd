#pragma once

// An organisation of the year 2025 in a data folder of its own, with every
// list its employees name and no employees yet, for the benchmarks that add
// employees or open the employee master form.

#include "BenchPayroll.h"
#include "database/GradesDb.h"
#include "database/PostsDb.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace kelo::bench {

struct Organisation {
    static constexpr int kUnits = 6, kJobs = 12, kGrades = 4, kStations = 3;

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    common::ORGREC org;

    Organisation() {
        for (const char* sub : {"system/settings", "org01/database", "org01/settings"})
            std::filesystem::create_directories(dir.file(sub));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.month = "March";
        org.year = 2025;
        org.fiscalYear = 2025;
    }

    // Units, grades, jobs each in a grade, a post of every job in every unit
    // with `seats` places by terms, stations, pay groups, co-operatives,
    // pension funds and the bank.
    void makeLists(const std::array<int, database::POSTREC::kTermsCount>& seats) {
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

        database::POSTSDB posts(code, folder);
        if (!posts.createFile(ui) || !posts.openFile())
            fail("cannot create the posts");
        for (long u = 1; u <= kUnits; ++u) {
            for (long j = 1; j <= kJobs; ++j) {
                if (!posts.appendRecord({u, j, seats}))
                    fail("cannot add a post");
            }
        }
        posts.closeFile();

        database::STATIONSDB stations(code, folder);
        addNames(ui, stations, {"Dar es Salaam", "Mbeya", "Arusha"});
        database::PAYGROUPDB payGroups(code, folder);
        addNames(ui, payGroups, {"Management", "Office Staff"});
        database::COOPSDB coops(code, folder);
        addNames(ui, coops, {"Walimu SACCOS", "Afya SACCOS"});
        database::PENSIONSDB funds(code, folder);
        addNames(ui, funds, {"NSSF Supplementary", "PSSSF"});

        makeBanks(ui, code, folder);
    }

    // The four payrolls with `defs`, no one on them.
    void makePayrolls(const common::PayItemDefs& defs) {
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

} // namespace kelo::bench
