#pragma once

#include "common/TaggedFile.h"
#include "database/CoopsDb.h"
#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/OptionsDb.h"
#include "database/PayGroupDb.h"
#include "database/PensionsDb.h"
#include "database/PostsDb.h"
#include "database/StaticDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "engine/Data4.h"
#include "engine/Field4.h"
#include "payrunreports/tests/LookupNames.h"
#include "staffreports/StaticRepDb.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace kelo::staffreports::testing {

inline constexpr std::int32_t kHeadOffice = 1, kFinance = 2,
                              kStores = 3; // Stores < Finance < Head Office
inline constexpr std::int32_t kDirector = 1, kAccountant = 2, kClerk = 3;
inline constexpr std::int32_t kDar = 1, kMbeya = 2;

inline std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Lines without their CR LF.
inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Compares with tests/golden/<name> line by line; KELO_UPDATE_GOLDEN=1
// writes the output as the golden file instead.
inline void expectGolden(const std::string& name, const std::string& actual) {
    const std::filesystem::path golden =
        std::filesystem::path(__FILE__).parent_path() / "golden" / name;
    if (std::getenv("KELO_UPDATE_GOLDEN"))
        writeBytes(golden.string(), actual);
    const std::vector<std::string> expected = linesOf(bytesOf(golden.string()));
    const std::vector<std::string> lines = linesOf(actual);
    ASSERT_EQ(lines.size(), expected.size()) << name;
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << name << " line " << i + 1;
    EXPECT_EQ(actual.find('\n'), actual.find("\r\n") + 1) << "lines end in CR LF";
}

struct Employee {
    std::string empNum, lastName, otherNames;
    std::int32_t unit = 0, job = 0, station = 0;
    common::date birthDate, startDate;
    std::string supervisor;
    int terms = 0;
};

// Kilimo Traders Ltd in March 2025, folder ../org01:
// - E001 Mushi, Anna: Director at Head Office, Dar es Salaam; born on 29 Feb
//   1972, started 1 Jul 2001; no supervisor.
// - E002 Banda, Peter: Accountant in Finance, Dar es Salaam, under E001;
//   born 15 Mar 1985, started 1 Apr 2015.
// - E003 banda, Alice: Clerk in Stores, Mbeya, under E002; born 10 Dec
//   1990, started 28 Feb 2024; contract.
// - E004 Kileo, John: Clerk in Stores, Mbeya, under "e002"; born in 1988
//   (no month), starts 1 May 2025.
// - E005 Salim, Rehema: Clerk in Finance, Dar es Salaam, under E001;
//   born Jun 1979 (no day), started 2 Jan 2020.
// Grades: Director "Senior Management", Accountant "Professional", Clerk
// "Support".
struct StaffReportsFixture : ::testing::Test {
    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    testsupport::RecordingUi owner;
    common::ORGREC org;

    void SetUp() override {
        for (const char* sub :
             {"system/settings", "org01/database", "org01/settings", "org01/2025", "org02/2025"})
            std::filesystem::create_directories(dir.file(sub));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.name = "Kilimo Traders Ltd";
        org.month = "March";
        org.year = 2025;
        org.fiscalYear = 2024;
        makeLists();
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.createFile(ui));
        add(defaultStaff());
        ui.clear();
    }

    static std::vector<Employee> defaultStaff() {
        return {{"E001",
                 "Mushi",
                 "Anna",
                 kHeadOffice,
                 kDirector,
                 kDar,
                 {1972, 29, 2},
                 {2001, 1, 7},
                 "",
                 0},
                {"E002",
                 "Banda",
                 "Peter",
                 kFinance,
                 kAccountant,
                 kDar,
                 {1985, 15, 3},
                 {2015, 1, 4},
                 "E001",
                 0},
                {"E003",
                 "banda",
                 "Alice",
                 kStores,
                 kClerk,
                 kMbeya,
                 {1990, 10, 12},
                 {2024, 28, 2},
                 "E002",
                 1},
                {"E004",
                 "Kileo",
                 "John",
                 kStores,
                 kClerk,
                 kMbeya,
                 {1988, 0, 0},
                 {2025, 1, 5},
                 "e002",
                 0},
                {"E005",
                 "Salim",
                 "Rehema",
                 kFinance,
                 kClerk,
                 kDar,
                 {1979, 0, 6},
                 {2020, 2, 1},
                 "E001",
                 0}};
    }

    void makeLists() {
        database::UNITSDB units(code, folder);
        ASSERT_TRUE(units.createFile(ui));
        ASSERT_TRUE(units.openFile());
        database::UNITREC head{0, "Head Office", 0};
        ASSERT_TRUE(units.appendRecord(head));
        database::UNITREC finance{0, "Finance", head.code};
        ASSERT_TRUE(units.appendRecord(finance));
        database::UNITREC stores{0, "Stores", finance.code};
        ASSERT_TRUE(units.appendRecord(stores));
        units.closeFile();
        database::GRADESDB grades(code, folder);
        ASSERT_TRUE(grades.createFile(ui));
        ASSERT_TRUE(grades.openFile());
        for (const char* name : {"Senior Management", "Professional", "Support"}) {
            database::GRADEREC grade;
            grade.name = name;
            ASSERT_TRUE(grades.appendRecord(grade));
        }
        grades.closeFile();
        database::JOBSDB jobs(code, folder);
        ASSERT_TRUE(jobs.createFile(ui));
        ASSERT_TRUE(jobs.openFile());
        long grade = 0;
        for (const char* title : {"Director", "Accountant", "Clerk"}) {
            database::JOBREC job{0, title, ++grade, {}};
            ASSERT_TRUE(jobs.appendRecord(job));
        }
        jobs.closeFile();
        database::STATIONSDB stations(code, folder);
        payrunreports::testing::addNames(ui, stations, {"Dar es Salaam", "Mbeya"});
        database::PAYGROUPDB payGroups(code, folder);
        payrunreports::testing::addNames(ui, payGroups, {"Management", "Office Staff"});
        database::COOPSDB coops(code, folder);
        payrunreports::testing::addNames(ui, coops, {"Walimu SACCOS"});
        database::PENSIONSDB pensions(code, folder);
        payrunreports::testing::addNames(ui, pensions, {"PSSSF"});
        ASSERT_TRUE(database::OPTIONSDB(code, folder).createFile(ui));
    }

    void add(const std::vector<Employee>& employees) {
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.openFile());
        for (const Employee& e : employees) {
            common::STATICREC master;
            master.empNum = e.empNum;
            master.lastName = e.lastName;
            master.otherNames = e.otherNames;
            master.station = e.station;
            master.startDate = e.startDate;
            master.salary = 500000;
            master.hoursPerDay = 8;
            master.hoursPerMonth = 176;
            master.leaveEntitlement = 28;
            database::PERSONNELREC personnel;
            personnel.unit = e.unit;
            personnel.job = e.job;
            personnel.birthDate = e.birthDate;
            personnel.supervisor = e.supervisor;
            personnel.terms = e.terms;
            personnel.payGroup = 2;
            ASSERT_TRUE(staff.updateFields(master, personnel, true)) << e.empNum;
        }
        staff.closeFile();
    }

    // Changes one employee's row.
    template <class Change> void change(const std::string& empNum, Change&& apply) {
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.openFile());
        ASSERT_TRUE(staff.seekEmpNum(empNum)) << empNum;
        common::STATICREC master;
        database::PERSONNELREC personnel;
        ASSERT_TRUE(staff.initRec(master));
        ASSERT_TRUE(staff.initRec(personnel));
        apply(master, personnel);
        ASSERT_TRUE(staff.updateFields(master, personnel, false));
        staff.closeFile();
    }

    void terminate(const std::string& empNum, common::date when, const std::string& reason) {
        change(empNum, [&](common::STATICREC& m, database::PERSONNELREC&) {
            m.terminated = 1;
            m.terminationDate = when;
            m.terminationReason = reason;
        });
    }

    void setOption(std::int32_t report, int value) {
        database::OPTIONSDB options(code, folder);
        ASSERT_TRUE(options.openFile());
        ASSERT_TRUE(options.setValue(report, database::kOptionSortKey, value));
        options.closeFile();
    }

    std::string resolved(const std::string& relative) const { return folder.resolve(relative); }

    // Employee numbers of a personnel report file, in file order, with the
    // sequence numbers the file gives them.
    std::vector<std::pair<int, std::string>> itemsOf(DB db) {
        common::TaggedReader r(resolved(personnelFilePath(db, 2025)));
        EXPECT_TRUE(r.isOpen());
        EXPECT_TRUE(r.skipFileId());
        int year = 0;
        std::string name;
        EXPECT_TRUE(readHeader(r, year, name));
        EXPECT_TRUE(r.findTag("records", common::TagKind::BlockStart));
        std::vector<std::pair<int, std::string>> items;
        PERSREPREC rec;
        bool damaged = false;
        while (readRecord(r, rec, damaged))
            items.emplace_back(rec.seqNum, rec.empNum);
        EXPECT_FALSE(damaged);
        return items;
    }

    // The month end's leaver steps for the monthly payroll of `month`.
    void monthEnd(const std::string& month) {
        org.month = month;
        database::STATDB staff(code, folder);
        ASSERT_TRUE(
            staff.updateFile(ui, org, common::UPDATE_MONTH_END, database::STATDB::kAllPayFreqs));
        ASSERT_TRUE(staff.updateFile(ui, org, common::UPDATE_PERIOD_END, common::MONTHLY));
        STATICREPDB store(owner, code, folder);
        ASSERT_TRUE(store.addLeavers(ui, org));
        ASSERT_TRUE(staff.updateFile(ui, org, common::UPDATE_AFTER_MONTH_END,
                                     database::STATDB::kAllPayFreqs));
    }
};

} // namespace kelo::staffreports::testing
