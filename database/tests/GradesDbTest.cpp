#include "database/GradesDb.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

class GradesDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("org01/settings"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        ASSERT_TRUE(grades.createFile(ui));
        ASSERT_TRUE(grades.openFile());
    }
    static GRADEREC grade(const std::string& name, int rank, double lower, double upper) {
        GRADEREC g;
        g.name = name;
        g.rank = rank;
        g.lowerLimit = {lower, lower / 4, lower / 2, 0};
        g.upperLimit = {upper, upper / 4, upper / 2, 0};
        return g;
    }
    void addThree() {
        for (GRADEREC g : {grade("Manager", 1, 2000000, 4000000), grade("clerk", 3, 300000, 500000),
                           grade("Officer", 2, 800000, 1500000)})
            ASSERT_TRUE(grades.appendRecord(g));
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    GRADESDB grades{code, folder};
};

TEST_F(GradesDbTest, SchemaHoldsRankAndLimitsPerPayFrequency) {
    std::vector<std::string> names;
    for (const auto& f : grades.schema().fields)
        names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"CODE", "NAME", "RANK", "LOWER1", "LOWER2", "LOWER3",
                                               "LOWER4", "UPPER1", "UPPER2", "UPPER3", "UPPER4"}));
    EXPECT_EQ(GRADESDB::lowerColumn(common::WEEKLY), "LOWER2");
    EXPECT_EQ(GRADESDB::upperColumn(common::IRREGULAR), "UPPER4");
    EXPECT_EQ(grades.path(), dir.file("org01/settings/grades.dbf"));
}

TEST_F(GradesDbTest, AppendsUnderNewCodesAndReadsBack) {
    EXPECT_EQ(grades.getGradeCnt(), 0);
    addThree();
    EXPECT_EQ(grades.getGradeCnt(), 3);
    GRADEREC rec;
    ASSERT_TRUE(grades.getGradeRec(2, rec));
    EXPECT_EQ(rec.code, 2);
    EXPECT_EQ(rec.name, "clerk");
    EXPECT_EQ(rec.rank, 3);
    EXPECT_EQ(rec.lowerLimit, (std::array<double, 4>{300000, 75000, 150000, 0}));
    EXPECT_EQ(rec.upperLimit, (std::array<double, 4>{500000, 125000, 250000, 0}));

    GRADEREC untouched = grade("x", 9, 1, 2);
    EXPECT_FALSE(grades.getGradeRec(7, untouched));
    EXPECT_EQ(untouched.name, "x");

    struct Case {
        long code;
        const char* name;
    };
    for (const Case& c : {Case{1, "Manager"}, Case{2, "clerk"}, Case{3, "Officer"}}) {
        EXPECT_EQ(grades.getGradeName(c.code), c.name);
        EXPECT_EQ(grades.getGradeCode(c.name), c.code);
    }
    EXPECT_EQ(grades.getGradeCode("CLERK"), 2);
    EXPECT_EQ(grades.getGradeCode("Director"), 0);
    EXPECT_EQ(grades.getGradeName(4), "");

    ASSERT_TRUE(grades.orderByName());
    std::vector<long> codes;
    for (const LookupEntry& e : grades.entries())
        codes.push_back(e.code);
    EXPECT_EQ(codes, (std::vector<long>{2, 1, 3}));
    ASSERT_TRUE(grades.orderByCode());
    EXPECT_EQ(grades.entries().front().name, "Manager");
}

TEST_F(GradesDbTest, UpdatesTheCurrentRowUnlessAnotherUserHoldsIt) {
    addThree();
    ASSERT_TRUE(grades.gotoName("Officer"));
    GRADEREC rec = grades.currentRec();
    rec.upperLimit[common::MONTHLY] = 1600000;
    ASSERT_TRUE(grades.updateRecord(rec));
    GRADEREC read;
    ASSERT_TRUE(grades.getGradeRec(3, read));
    EXPECT_EQ(read.upperLimit[common::MONTHLY], 1600000);
    EXPECT_EQ(read.code, 3);

    GRADESDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.gotoCode(3));
    ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    rec.upperLimit[common::MONTHLY] = 9;
    EXPECT_FALSE(grades.updateRecord(rec));
    EXPECT_EQ(code.errorCode(), engine::e4lock);
    code.setErrorCode(0);
    EXPECT_EQ(grades.currentRec().upperLimit[common::MONTHLY], 1600000);
    // The table still moves: nothing is left waiting to be written.
    EXPECT_EQ(grades.data()->top(), engine::r4success);
    ASSERT_TRUE(grades.getGradeRec(3, read));
    EXPECT_EQ(read.upperLimit[common::MONTHLY], 1600000);

    // A table locked whole takes no new grade.
    ASSERT_EQ(other.data()->lockAll(), engine::r4success);
    GRADEREC extra = grade("Driver", 4, 1, 2);
    EXPECT_FALSE(grades.appendRecord(extra));
    EXPECT_EQ(extra.code, 0);
    code.setErrorCode(0);
    other.data()->unlock();
    EXPECT_EQ(grades.getGradeCnt(), 3);
    EXPECT_TRUE(grades.appendRecord(extra));
    EXPECT_EQ(extra.code, 4);
}

TEST_F(GradesDbTest, ClosedTable) {
    addThree();
    grades.closeFile();
    GRADEREC rec;
    EXPECT_FALSE(grades.getGradeRec(1, rec));
    EXPECT_FALSE(grades.appendRecord(rec));
    EXPECT_FALSE(grades.updateRecord(rec));
    EXPECT_EQ(grades.getGradeCnt(), 0);
    EXPECT_EQ(grades.getGradeName(1), "");
}

} // namespace
} // namespace kelo::database
