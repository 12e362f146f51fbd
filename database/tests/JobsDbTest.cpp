#include "database/JobsDb.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

class JobsDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("org01/settings"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        ASSERT_TRUE(jobs.createFile(ui));
        ASSERT_TRUE(jobs.openFile());
    }
    void addThree() {
        for (JOBREC j : {JOBREC{0, "Payroll Clerk", 2, "Keys the pay run"},
                         JOBREC{0, "accountant", 1, ""}, JOBREC{0, "Driver", 2, "Drives"}})
            ASSERT_TRUE(jobs.appendRecord(j));
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    JOBSDB jobs{code, folder};
};

TEST_F(JobsDbTest, SchemaHasTitleGradeAndDescription) {
    std::vector<std::string> names;
    for (const auto& f : jobs.schema().fields)
        names.push_back(f.name + ":" + std::to_string(f.length));
    EXPECT_EQ(names, (std::vector<std::string>{"CODE:10", "TITLE:24", "GRADE:10", "DESCR:199"}));
    EXPECT_EQ(jobs.schema().tags.front().expression, "UPPER(TITLE)");
}

TEST_F(JobsDbTest, AppendsAndLooksUpBothWays) {
    addThree();
    JOBREC rec;
    ASSERT_TRUE(jobs.getJobRec(1, rec));
    EXPECT_EQ(rec.code, 1);
    EXPECT_EQ(rec.title, "Payroll Clerk");
    EXPECT_EQ(rec.gradeCode, 2);
    EXPECT_EQ(rec.description, "Keys the pay run");
    JOBREC untouched{5, "x", 0, ""};
    EXPECT_FALSE(jobs.getJobRec(4, untouched));
    EXPECT_EQ(untouched.title, "x");

    EXPECT_EQ(jobs.getJobTitle(2), "accountant");
    EXPECT_EQ(jobs.getJobTitle(0), "");
    EXPECT_EQ(jobs.getJobCode("PAYROLL CLERK"), 1);
    EXPECT_EQ(jobs.getJobCode("Payroll"), 0);

    ASSERT_TRUE(jobs.orderByTitle());
    std::vector<std::string> titles;
    for (const LookupEntry& e : jobs.entries())
        titles.push_back(e.name);
    EXPECT_EQ(titles, (std::vector<std::string>{"accountant", "Driver", "Payroll Clerk"}));
    EXPECT_EQ(jobs.data()->selected()->name(), "TITLE");
}

TEST_F(JobsDbTest, CountsTheJobsOfAGrade) {
    addThree();
    struct Case {
        long grade;
        long jobs;
    };
    for (const Case& c : {Case{1, 1}, Case{2, 2}, Case{3, 0}, Case{0, 0}}) {
        EXPECT_EQ(jobs.getGradeCnt(c.grade), c.jobs) << c.grade;
        EXPECT_EQ(jobs.getMemberCnt(c.grade), c.jobs) << c.grade;
    }
    ASSERT_TRUE(jobs.gotoCode(3));
    jobs.data()->deleteRec();
    jobs.data()->flush();
    EXPECT_EQ(jobs.getGradeCnt(2), 1);
}

TEST_F(JobsDbTest, UpdatesAndCutsTheDescription) {
    addThree();
    ASSERT_TRUE(jobs.gotoCode(3));
    JOBREC rec = jobs.currentRec();
    rec.gradeCode = 1;
    rec.description = std::string(250, 'd');
    ASSERT_TRUE(jobs.updateRecord(rec));
    JOBREC read;
    ASSERT_TRUE(jobs.getJobRec(3, read));
    EXPECT_EQ(read.gradeCode, 1);
    EXPECT_EQ(read.description, std::string(199, 'd'));
    EXPECT_EQ(jobs.getGradeCnt(1), 2);

    JOBSDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.gotoCode(3));
    ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    rec.gradeCode = 7;
    EXPECT_FALSE(jobs.updateRecord(rec));
    code.setErrorCode(0);
    EXPECT_EQ(jobs.currentRec().gradeCode, 1);
}

TEST_F(JobsDbTest, MissingTable) {
    jobs.closeFile();
    std::filesystem::remove(jobs.path());
    EXPECT_FALSE(jobs.openFile());
    EXPECT_EQ(code.errorCode(), engine::e4open);
    code.setErrorCode(0);
    JOBREC rec;
    EXPECT_FALSE(jobs.getJobRec(1, rec));
    EXPECT_FALSE(jobs.appendRecord(rec));
    EXPECT_EQ(jobs.getGradeCnt(1), 0);
    EXPECT_FALSE(jobs.orderByTitle());
}

} // namespace
} // namespace kelo::database
