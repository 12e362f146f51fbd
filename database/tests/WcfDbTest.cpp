#include "database/WcfDb.h"

#include "database/SdlDb.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

namespace fs = std::filesystem;

class WcfDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("system/settings"));
        fs::create_directories(dir.file("org01"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
    }
    // The year's table holding `rate`, stored as the dialog stores it.
    void editRate(int year, float rate) {
        ASSERT_TRUE(wcf.openFile(year, true));
        ASSERT_TRUE(wcf.updateRec({rate}));
        wcf.closeFile();
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    WCFDB wcf{code, folder};
};

TEST_F(WcfDbTest, AYearWithoutTheTableReadsTheDefaultRate) {
    // A data folder made before the table existed: the year has SDL only.
    ASSERT_TRUE(SDLDB(code, folder).newFile(ui, KELO_SOURCE_FOLDER, 2025));
    EXPECT_FALSE(wcf.checkFile(2025));
    WCFREC rate{9};
    EXPECT_FALSE(wcf.readFile(2025, rate));
    EXPECT_EQ(rate.rate, 0.0f);
    EXPECT_EQ(wcf.rateOf(2025), 0.5);
    EXPECT_EQ(wcf.rateOf(1999), 0.5); // no year folder at all
    EXPECT_EQ(code.errorCode(), 0);
    EXPECT_FALSE(fs::exists(dir.file("system/2025/wcf.dbf")));
}

TEST_F(WcfDbTest, ATableOfAnotherLayoutReadsTheDefaultRate) {
    fs::create_directories(dir.file("system/2025"));
    ASSERT_NE(engine::Data4::create(code, dir.file("system/2025/wcf.dbf"), {{"X", 'C', 5, 0}}),
              nullptr);
    code.setErrorCode(0);
    EXPECT_FALSE(wcf.checkFile(2025));
    EXPECT_EQ(wcf.rateOf(2025), 0.5);
}

// The source of each case: what the year is made from, and the rate it
// gets.
TEST_F(WcfDbTest, ANewYearCopiesLastYearsRateOrTakesTheDefault) {
    struct Case {
        const char* what;
        const char* source;
        float lastYearsRate; // 0: last year has no table
        float expected;
    } cases[] = {
        {"last year's edited rate", "../system/2025", 1.25f, 1.25f},
        {"last year's rate of 0", "../system/2025/", -1.0f, 0.0f},
        {"last year without the table", "../system/2025", 0.0f, 0.5f},
        {"the program's source folder", KELO_SOURCE_FOLDER, 0.0f, 0.5f},
        {"a folder that does not exist", "../nowhere", 0.0f, 0.5f},
    };
    int year = 2026;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir.file("system/2025"));
        fs::remove_all(dir.file("system/2026"));
        fs::create_directories(dir.file("system/2025"));
        if (c.lastYearsRate > 0) {
            ASSERT_TRUE(wcf.newFile(ui, "../nowhere", 2025));
            editRate(2025, c.lastYearsRate);
        } else if (c.lastYearsRate < 0) {
            ASSERT_TRUE(wcf.newFile(ui, "../nowhere", 2025));
            editRate(2025, 0);
        }
        ui.clear();
        ASSERT_TRUE(wcf.newFile(ui, c.source, year));
        EXPECT_EQ(ui.lastMessage(), "");
        WCFREC rate;
        ASSERT_TRUE(wcf.readFile(year, rate));
        EXPECT_EQ(rate.rate, c.expected);
        EXPECT_EQ(wcf.relativePath(), "../system/2026/wcf.dbf");
    }
}

TEST_F(WcfDbTest, AnExistingYearKeepsItsRate) {
    ASSERT_TRUE(wcf.newFile(ui, "../nowhere", 2025));
    editRate(2025, 2);
    ASSERT_TRUE(wcf.newFile(ui, "../nowhere", 2025));
    EXPECT_EQ(wcf.rateOf(2025), 2.0);
}

TEST_F(WcfDbTest, TheDefaultTableIsMadeInANewYearFolderAndAnnounced) {
    ASSERT_TRUE(wcf.newFile(ui, "../nowhere", 2030));
    EXPECT_TRUE(fs::exists(dir.file("system/2030/wcf.dbf")));
    EXPECT_EQ(ui.statusTexts.front(), "Creating wcf.dbf...");
    EXPECT_EQ(wcf.rateOf(2030), 0.5);
}

TEST_F(WcfDbTest, AnOpenTableIsReadAndStoredUnderItsLock) {
    ASSERT_TRUE(wcf.newFile(ui, "../nowhere", 2025));
    ASSERT_TRUE(wcf.openFile(2025, false));
    WCFREC rate;
    ASSERT_TRUE(wcf.initRec(rate));
    EXPECT_EQ(rate.rate, 0.5f);
    ASSERT_TRUE(wcf.updateRec({0.75f}));
    ASSERT_TRUE(wcf.initRec(rate));
    EXPECT_EQ(rate.rate, 0.75f);
    wcf.closeFile();
    EXPECT_EQ(wcf.rateOf(2025), 0.75);
}

} // namespace
} // namespace kelo::database
