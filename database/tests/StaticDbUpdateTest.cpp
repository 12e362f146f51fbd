#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/StaticDb.h"
#include "engine/Data4.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kelo::database {
namespace {

using common::STATICREC;

const std::string kInUse = "Can't update database/static.dbf because another user is using it.";
const std::vector<std::string> kProgress{"Updating database/static.dbf...", ""};

struct Row {
    STATICREC master;
    PERSONNELREC personnel;
};

// One employee's termination state.
struct Termination {
    std::string empNum;
    common::PAYFREQ payFreq = common::MONTHLY;
    int terminated = 0;
    common::date terminationDate; // year, day, month
    int separated = 0;
    int newLeaver = 0;
};

// March 2024: weekly periods end on the 29th, fortnightly ones on the 22nd.
common::ORGREC march2024() {
    common::ORGREC org;
    org.month = "March";
    org.year = 2024;
    org.weekEndDay = 29;
    org.fortnightEndDay = 22;
    return org;
}

class StaticDbUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system"));
        std::filesystem::create_directories(dir.file("org01/database"));
        std::filesystem::create_directories(dir.file("org01/settings"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        ASSERT_TRUE(table.createFile(ui));
        ASSERT_TRUE(jobs.createFile(ui));
        ASSERT_TRUE(grades.createFile(ui));
        ui.statusTexts.clear();
    }

    void add(const STATICREC& rec, const PERSONNELREC& personnel = {}) {
        ASSERT_TRUE(table.openFile());
        ASSERT_TRUE(table.updateFields(rec, personnel, true));
        table.closeFile();
    }
    void add(const std::vector<Termination>& list) {
        for (const Termination& t : list) {
            STATICREC rec;
            rec.empNum = t.empNum;
            rec.lastName = "Juma";
            rec.otherNames = t.empNum;
            rec.payFreq = t.payFreq;
            rec.terminated = t.terminated;
            rec.terminationDate = t.terminationDate;
            rec.separated = t.separated;
            PERSONNELREC personnel;
            personnel.newLeaver = t.newLeaver;
            add(rec, personnel);
        }
    }

    // Every row by employee number.
    std::map<std::string, Row> rows() {
        std::map<std::string, Row> all;
        EXPECT_TRUE(table.openFile());
        engine::Data4& data = *table.data();
        for (int rc = data.top(); rc == engine::r4success && !data.eof(); rc = data.skip()) {
            Row row;
            EXPECT_TRUE(table.initRec(row.master));
            EXPECT_TRUE(table.initRec(row.personnel));
            all[row.master.empNum] = row;
        }
        table.closeFile();
        return all;
    }
    // Who the former employees file takes now: terminated, separated and new
    // leavers.
    std::set<std::string> formerEmployeesSeen() {
        std::set<std::string> seen;
        for (const auto& [empNum, row] : rows())
            if (row.master.terminated && row.master.separated && row.personnel.newLeaver)
                seen.insert(empNum);
        return seen;
    }
    std::set<std::string> separated() {
        std::set<std::string> seen;
        for (const auto& [empNum, row] : rows())
            if (row.master.separated)
                seen.insert(empNum);
        return seen;
    }
    std::set<std::string> numbers() {
        std::set<std::string> all;
        for (const auto& [empNum, row] : rows())
            all.insert(empNum);
        return all;
    }

    void addGrade(const std::string& name, std::array<double, 4> lower,
                  std::array<double, 4> upper) {
        ASSERT_TRUE(grades.openFile());
        GRADEREC g;
        g.name = name;
        g.lowerLimit = lower;
        g.upperLimit = upper;
        ASSERT_TRUE(grades.appendRecord(g));
        grades.closeFile();
    }
    void addJob(const std::string& title, long grade) {
        ASSERT_TRUE(jobs.openFile());
        JOBREC j;
        j.title = title;
        j.gradeCode = grade;
        ASSERT_TRUE(jobs.appendRecord(j));
        jobs.closeFile();
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    STATDB table{code, folder};
    JOBSDB jobs{code, folder};
    GRADESDB grades{code, folder};
};

// March 2024 in every frequency: DUE for a termination due by the period's
// end, NEXT or LATE for one in a later period.
const std::vector<Termination> kStaff{
    {"M-DUE", common::MONTHLY, 1, {2024, 31, 3}},
    {"M-NEXT", common::MONTHLY, 1, {2024, 1, 4}},
    {"M-ACTIVE", common::MONTHLY, 0, {}},
    {"M-NODATE", common::MONTHLY, 1, {}},
    {"M-EARLIER", common::MONTHLY, 1, {2023, 30, 11}},
    {"W-DUE", common::WEEKLY, 1, {2024, 29, 3}},
    {"W-NEXT", common::WEEKLY, 1, {2024, 30, 3}},
    {"B-DUE", common::BIWEEKLY, 1, {2024, 22, 3}},
    {"B-NEXT", common::BIWEEKLY, 1, {2024, 23, 3}},
    {"I-DUE", common::IRREGULAR, 1, {2024, 10, 2}},
    {"I-LATE", common::IRREGULAR, 1, {2024, 1, 4}},
    {"GONE", common::MONTHLY, 1, {2024, 15, 2}, 1, 0},
};

TEST_F(StaticDbUpdateTest, APeriodEndMakesLeaversOfTerminationsDueByThePeriodsEnd) {
    struct Case {
        int payFreq;
        std::set<std::string> leavers;
    };
    const std::vector<Case> cases{
        {STATDB::kAllPayFreqs, {"M-DUE", "M-NODATE", "M-EARLIER", "W-DUE", "B-DUE", "I-DUE"}},
        {common::MONTHLY, {"M-DUE", "M-NODATE", "M-EARLIER"}},
        {common::WEEKLY, {"W-DUE"}},
        {common::BIWEEKLY, {"B-DUE"}},
        {common::IRREGULAR, {"I-DUE"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.payFreq);
        std::filesystem::remove(table.path());
        ASSERT_TRUE(table.createFile(ui));
        add(kStaff);
        ui.statusTexts.clear();
        ASSERT_TRUE(table.updateFile(ui, march2024(), common::UPDATE_PERIOD_END, c.payFreq));
        EXPECT_EQ(formerEmployeesSeen(), c.leavers);
        std::set<std::string> all = c.leavers;
        all.insert("GONE");
        EXPECT_EQ(separated(), all);
        EXPECT_EQ(ui.statusTexts, kProgress);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_FALSE(table.isOpen());
        // Termination details stay as they were keyed.
        EXPECT_EQ(rows().at("M-DUE").master.terminationDate, (common::date{2024, 31, 3}));
    }
}

TEST_F(StaticDbUpdateTest, EndDaysOutsideTheMonthMeanTheMonthsEnd) {
    add({{"W1", common::WEEKLY, 1, {2024, 31, 3}}, {"B1", common::BIWEEKLY, 1, {2024, 31, 3}}});
    common::ORGREC org = march2024();
    org.weekEndDay = 0;
    org.fortnightEndDay = 40;
    ASSERT_TRUE(table.updateFile(ui, org, common::UPDATE_PERIOD_END, STATDB::kAllPayFreqs));
    EXPECT_EQ(formerEmployeesSeen(), (std::set<std::string>{"W1", "B1"}));
}

TEST_F(StaticDbUpdateTest, AMonthEndRemovesLeaversAlreadyInTheFormerEmployeesFile) {
    const std::vector<Termination> staff{
        {"OLD-M", common::MONTHLY, 1, {2024, 10, 2}, 1, 0},
        {"OLD-W", common::WEEKLY, 1, {2024, 10, 2}, 1, 0},
        {"NEW-M", common::MONTHLY, 1, {2024, 10, 3}, 1, 1},
        {"TERM-M", common::MONTHLY, 1, {2024, 10, 4}, 0, 0},
        {"ACTIVE", common::WEEKLY, 0, {}, 0, 0},
    };
    struct Case {
        int payFreq;
        std::set<std::string> left;
    };
    const std::vector<Case> cases{
        {STATDB::kAllPayFreqs, {"NEW-M", "TERM-M", "ACTIVE"}},
        {common::MONTHLY, {"OLD-W", "NEW-M", "TERM-M", "ACTIVE"}},
        {common::WEEKLY, {"OLD-M", "NEW-M", "TERM-M", "ACTIVE"}},
        {common::IRREGULAR, {"OLD-M", "OLD-W", "NEW-M", "TERM-M", "ACTIVE"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.payFreq);
        std::filesystem::remove(table.path());
        ASSERT_TRUE(table.createFile(ui));
        add(staff);
        ui.statusTexts.clear();
        ASSERT_TRUE(table.updateFile(ui, march2024(), common::UPDATE_MONTH_END, c.payFreq));
        EXPECT_EQ(numbers(), c.left);
        EXPECT_EQ(ui.statusTexts, kProgress);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(StaticDbUpdateTest, AfterTheMonthEndNewLeaversAreNoLongerNew) {
    add({{"NEW-M", common::MONTHLY, 1, {2024, 10, 3}, 1, 1},
         {"NEW-W", common::WEEKLY, 1, {2024, 10, 3}, 1, 1},
         {"TERM", common::MONTHLY, 1, {2024, 10, 4}, 0, 0}});
    ASSERT_TRUE(table.updateFile(ui, march2024(), common::UPDATE_AFTER_MONTH_END, common::WEEKLY));
    EXPECT_EQ(formerEmployeesSeen(), (std::set<std::string>{"NEW-M"}));
    ASSERT_TRUE(
        table.updateFile(ui, march2024(), common::UPDATE_AFTER_MONTH_END, STATDB::kAllPayFreqs));
    EXPECT_TRUE(formerEmployeesSeen().empty());
    EXPECT_EQ(separated(), (std::set<std::string>{"NEW-M", "NEW-W"}));
    EXPECT_EQ(numbers(), (std::set<std::string>{"NEW-M", "NEW-W", "TERM"}));
}

// The personnel store's part of two month ends, in the order the month end
// calls it.
TEST_F(StaticDbUpdateTest, ALeaverIsSeenOnceAndRemovedAtTheNextMonthEnd) {
    add({{"STAYS", common::MONTHLY, 0, {}},
         {"LEAVES", common::WEEKLY, 1, {2024, 20, 3}},
         {"LATER", common::MONTHLY, 1, {2024, 15, 4}}});
    const auto monthEnd = [&](const common::ORGREC& org) {
        EXPECT_TRUE(table.updateFile(ui, org, common::UPDATE_MONTH_END, STATDB::kAllPayFreqs));
        for (common::PAYFREQ f : common::kMonthEndOrder)
            EXPECT_TRUE(table.updateFile(ui, org, common::UPDATE_PERIOD_END, f));
        const std::set<std::string> seen = formerEmployeesSeen();
        EXPECT_TRUE(
            table.updateFile(ui, org, common::UPDATE_AFTER_MONTH_END, STATDB::kAllPayFreqs));
        return seen;
    };
    EXPECT_EQ(monthEnd(march2024()), (std::set<std::string>{"LEAVES"}));
    // Kept through April, off the payroll, so the form still shows him.
    EXPECT_EQ(numbers(), (std::set<std::string>{"STAYS", "LEAVES", "LATER"}));
    EXPECT_EQ(separated(), (std::set<std::string>{"LEAVES"}));

    common::ORGREC april = march2024();
    april.month = "April";
    april.weekEndDay = 26;
    april.fortnightEndDay = 5;
    EXPECT_EQ(monthEnd(april), (std::set<std::string>{"LATER"}));
    EXPECT_EQ(numbers(), (std::set<std::string>{"STAYS", "LATER"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StaticDbUpdateTest, ALeaverMissedByTheFormerEmployeesFileIsNotRemoved) {
    // A month end that stopped before the file was written left him new.
    add({{"NEW", common::MONTHLY, 1, {2024, 10, 3}, 1, 1}});
    ASSERT_TRUE(table.updateFile(ui, march2024(), common::UPDATE_MONTH_END, STATDB::kAllPayFreqs));
    EXPECT_EQ(formerEmployeesSeen(), (std::set<std::string>{"NEW"}));
}

// Grade 1: monthly 100,000 to 200,000, weekly 20,000 to 50,000. Grade 2:
// monthly 300,000 to 400,000. Grade 3: a monthly range only.
TEST_F(StaticDbUpdateTest, OnCloseEmployeesFollowTheirJobsGradeAndItsRange) {
    addGrade("G1", {100000, 20000, 0, 0}, {200000, 50000, 0, 0});
    addGrade("G2", {300000, 0, 0, 0}, {400000, 0, 0, 0});
    addGrade("G3", {100, 0, 0, 0}, {900, 0, 0, 0});
    addJob("Clerk", 1); // was grade 2
    addJob("Driver", 3);
    struct Case {
        std::string empNum;
        common::PAYFREQ payFreq;
        int payBasis;
        double rate;
        long job;
        int separated;
        double expectedRate;
        std::int32_t expectedGrade;
    };
    using common::kPayBasisDaily, common::kPayBasisHourly, common::kPayBasisSalary;
    const std::vector<Case> cases{
        {"ABOVE", common::MONTHLY, kPayBasisSalary, 250000, 1, 0, 200000, 1},
        {"BELOW", common::MONTHLY, kPayBasisSalary, 50000, 1, 0, 100000, 1},
        {"WITHIN", common::MONTHLY, kPayBasisSalary, 150000, 1, 0, 150000, 1},
        {"LOWEST", common::MONTHLY, kPayBasisSalary, 100000, 1, 0, 100000, 1},
        // 160 hours a month, 8 a day: 5,000 to 10,000 a day, 625 to 1,250 an hour.
        {"DAILY", common::MONTHLY, kPayBasisDaily, 12000, 1, 0, 10000, 1},
        {"HOURLY", common::MONTHLY, kPayBasisHourly, 500, 1, 0, 625, 1},
        {"WEEKLY", common::WEEKLY, kPayBasisSalary, 60000, 1, 0, 50000, 1},
        {"NORANGE", common::WEEKLY, kPayBasisSalary, 60000, 2, 0, 60000, 3},
        {"LEFT", common::MONTHLY, kPayBasisSalary, 999999, 1, 1, 999999, 2},
    };
    for (const Case& c : cases) {
        STATICREC rec;
        rec.empNum = c.empNum;
        rec.lastName = "Said";
        rec.otherNames = "Ali";
        rec.payFreq = c.payFreq;
        rec.payBasis = c.payBasis;
        rec.salary = c.payBasis == kPayBasisSalary ? c.rate : 0;
        rec.dailyRate = c.payBasis == kPayBasisDaily ? c.rate : 0;
        rec.hourlyRate = c.payBasis == kPayBasisHourly ? c.rate : 0;
        rec.hoursPerDay = 8;
        rec.hoursPerMonth = 160;
        rec.separated = c.separated;
        rec.terminated = c.separated;
        PERSONNELREC personnel;
        personnel.job = static_cast<std::int32_t>(c.job);
        personnel.grade = 2;
        add(rec, personnel);
    }
    ASSERT_TRUE(table.updateFile(ui, march2024(), common::UPDATE_ON_CLOSE, STATDB::kAllPayFreqs));
    const auto all = rows();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.empNum);
        const Row& row = all.at(c.empNum);
        const double rate = c.payBasis == kPayBasisSalary  ? row.master.salary
                            : c.payBasis == kPayBasisDaily ? row.master.dailyRate
                                                           : row.master.hourlyRate;
        EXPECT_DOUBLE_EQ(rate, c.expectedRate);
        EXPECT_EQ(row.personnel.grade, c.expectedGrade);
    }
    // The overtime rates worked out from basic pay follow: 200,000 / 160.
    EXPECT_DOUBLE_EQ(all.at("ABOVE").master.normalOvertimeRate, 1875);
    EXPECT_DOUBLE_EQ(all.at("ABOVE").master.doubleOvertimeRate, 2500);
    EXPECT_DOUBLE_EQ(all.at("LEFT").master.normalOvertimeRate, 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "The pay rates of 5 employee(s) were brought within the salary ranges of their "
              "grades.");
    EXPECT_EQ(ui.messages[0].icon, common::MessageIcon::Information);
    EXPECT_EQ(ui.statusTexts, kProgress);
}

TEST_F(StaticDbUpdateTest, OnCloseOneFrequencyLeavesTheOthers) {
    addGrade("G1", {100000, 20000, 0, 0}, {200000, 50000, 0, 0});
    addJob("Clerk", 1);
    PERSONNELREC personnel;
    personnel.job = 1;
    for (common::PAYFREQ f : {common::MONTHLY, common::WEEKLY}) {
        STATICREC rec;
        rec.empNum = f == common::MONTHLY ? "M" : "W";
        rec.payFreq = f;
        rec.salary = 1000000;
        add(rec, personnel);
    }
    ASSERT_TRUE(table.updateFile(ui, march2024(), common::UPDATE_ON_CLOSE, common::WEEKLY));
    EXPECT_DOUBLE_EQ(rows().at("M").master.salary, 1000000);
    EXPECT_DOUBLE_EQ(rows().at("W").master.salary, 50000);
    EXPECT_EQ(rows().at("M").personnel.grade, 0);
}

TEST_F(StaticDbUpdateTest, UpdateSalaryKeepsRatesItCannotJudge) {
    GRADEREC grade;
    grade.lowerLimit = {100000, 0, 0, 0};
    grade.upperLimit = {200000, 0, 0, 0};
    struct Case {
        const char* what;
        common::PAYFREQ payFreq;
        int payBasis;
        float hoursPerMonth;
        double rate;
        bool moved;
        double expected;
    };
    const std::vector<Case> cases{
        {"no range for the frequency", common::BIWEEKLY, common::kPayBasisSalary, 160, 5, false, 5},
        {"no hours for a daily rate", common::MONTHLY, common::kPayBasisDaily, 0, 1, false, 1},
        {"no hours for an hourly rate", common::MONTHLY, common::kPayBasisHourly, 0, 1, false, 1},
        {"a pay basis out of range", common::MONTHLY, 7, 160, 1, false, 1},
        {"highest accepted", common::MONTHLY, common::kPayBasisSalary, 160, 200000, false, 200000},
        // 173.33 hours: 200,000 / 173.33 = 1,153.869... to the cent.
        {"hourly ceiling to the cent", common::MONTHLY, common::kPayBasisHourly, 173.33f, 2000,
         true, 1153.87},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        STATICREC rec;
        rec.payFreq = c.payFreq;
        rec.payBasis = c.payBasis;
        rec.hoursPerDay = 8;
        rec.hoursPerMonth = c.hoursPerMonth;
        rec.salary = rec.dailyRate = rec.hourlyRate = c.rate;
        EXPECT_EQ(STATDB::updateSalary(rec, grade), c.moved);
        const double rate = c.payBasis == common::kPayBasisDaily    ? rec.dailyRate
                            : c.payBasis == common::kPayBasisHourly ? rec.hourlyRate
                                                                    : rec.salary;
        EXPECT_DOUBLE_EQ(rate, c.expected);
    }
}

TEST_F(StaticDbUpdateTest, AFileAnotherUserHasOpenIsLeftAsItWas) {
    add(kStaff);
    addGrade("G1", {100, 0, 0, 0}, {200, 0, 0, 0});
    const auto before = rows();
    auto other = engine::Data4::open(code, table.path());
    ASSERT_NE(other, nullptr);
    for (common::UPDATEMODE mode : {common::UPDATE_ON_CLOSE, common::UPDATE_PERIOD_END,
                                    common::UPDATE_MONTH_END, common::UPDATE_AFTER_MONTH_END}) {
        SCOPED_TRACE(mode);
        ui.messages.clear();
        ui.statusTexts.clear();
        EXPECT_FALSE(table.updateFile(ui, march2024(), mode, STATDB::kAllPayFreqs));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, kInUse);
        EXPECT_EQ(ui.messages[0].icon, common::MessageIcon::Warning);
        EXPECT_EQ(ui.statusTexts, kProgress);
        EXPECT_EQ(code.errorCode(), 0);
        EXPECT_FALSE(table.isOpen());
    }
    other.reset();
    const auto after = rows();
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [empNum, row] : before) {
        SCOPED_TRACE(empNum);
        EXPECT_EQ(after.at(empNum).master.separated, row.master.separated);
        EXPECT_EQ(after.at(empNum).personnel, row.personnel);
    }
}

TEST_F(StaticDbUpdateTest, OnCloseWithoutTheJobsOrGradesChangesNothing) {
    addGrade("G1", {100000, 0, 0, 0}, {200000, 0, 0, 0});
    addJob("Clerk", 1);
    STATICREC rec;
    rec.empNum = "E1";
    rec.salary = 900000;
    PERSONNELREC personnel;
    personnel.job = 1;
    add(rec, personnel);
    for (const char* missing : {JOBSDB::kPath, GRADESDB::kPath}) {
        SCOPED_TRACE(missing);
        const std::string path = folder.resolve(missing);
        std::filesystem::rename(path, path + ".away");
        ui.messages.clear();
        EXPECT_FALSE(
            table.updateFile(ui, march2024(), common::UPDATE_ON_CLOSE, STATDB::kAllPayFreqs));
        EXPECT_EQ(ui.lastMessage(), std::string("Can't open ") + missing);
        EXPECT_DOUBLE_EQ(rows().at("E1").master.salary, 900000);
        EXPECT_EQ(code.errorCode(), 0);
        std::filesystem::rename(path + ".away", path);
    }
}

TEST_F(StaticDbUpdateTest, BadRequestsAreRefusedBeforeTheFileIsOpened) {
    add(kStaff);
    common::ORGREC noMonth = march2024();
    noMonth.month = "Marchember";
    struct Case {
        common::ORGREC org;
        common::UPDATEMODE mode;
        int payFreq;
        std::string message;
    };
    const std::vector<Case> cases{
        {march2024(), common::UPDATE_PERIOD_END, 4,
         "Can't update database/static.dbf: the pay frequency 4 is not valid."},
        {march2024(), common::UPDATE_MONTH_END, -2,
         "Can't update database/static.dbf: the pay frequency -2 is not valid."},
        {noMonth, common::UPDATE_PERIOD_END, common::MONTHLY,
         "Can't update database/static.dbf: the month \"Marchember\" is not valid."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ui.statusTexts.clear();
        EXPECT_FALSE(table.updateFile(ui, c.org, c.mode, c.payFreq));
        EXPECT_EQ(ui.lastMessage(), c.message);
        EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Error);
        EXPECT_TRUE(ui.statusTexts.empty());
    }
    EXPECT_TRUE(formerEmployeesSeen().empty());
}

TEST_F(StaticDbUpdateTest, AModeThePersonnelFileIsNotGivenChangesNothing) {
    add(kStaff);
    EXPECT_TRUE(table.updateFile(ui, march2024(), common::UPDATE_YEAR_END, STATDB::kAllPayFreqs));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.statusTexts.empty());
    EXPECT_EQ(separated(), (std::set<std::string>{"GONE"}));
}

TEST_F(StaticDbUpdateTest, AMissingFileIsTold) {
    std::filesystem::remove(table.path());
    EXPECT_FALSE(table.updateFile(ui, march2024(), common::UPDATE_MONTH_END, STATDB::kAllPayFreqs));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("static.dbf"), std::string::npos);
    EXPECT_EQ(ui.messages[0].icon, common::MessageIcon::Error);
    EXPECT_EQ(code.errorCode(), 0);
}

} // namespace
} // namespace kelo::database
