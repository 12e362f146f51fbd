#include "PeriodFixture.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::hours;

// File times are set explicitly: a day ago for the sources, later for the
// file, so that no test waits for the clock.
struct PeriodStaleTest : PeriodFixture {
    const fs::file_time_type dayAgo = fs::file_time_type::clock::now() - hours(24);

    void SetUp() override {
        PeriodFixture::SetUp();
        // The organisations table lives in the system folder, which the
        // fixture leaves without one.
        writeBytes(folder.resolve("../system/settings/org.dbf"), "organisations");
    }

    void setTimes(fs::file_time_type sources, fs::file_time_type file) {
        for (const std::string& source : PERIODDB::sourceFiles(common::MONTHLY, org))
            fs::last_write_time(folder.resolve(source), sources);
        fs::last_write_time(workingFile(), file);
    }

    bool stale(const common::REPORTPARAM& param) {
        return PERIODDB::requireFile(folder, param, org);
    }

    bool prepare() {
        PERIODDB writer(owner, code, folder);
        PERIODDBEX reader(owner, code, folder);
        return preparePeriodFile(ui, writer, reader, currentParam(), org);
    }

    REPORTREC record(std::size_t index) {
        PERIODDBEX reader(owner, code, folder);
        PeriodFile file;
        EXPECT_TRUE(reader.readFile(ui, currentParam(), org, file)) << messages();
        return index < file.records.size() ? file.records[index] : REPORTREC();
    }
};

TEST_F(PeriodStaleTest, TheFileIsMadeFromTheseSources) {
    EXPECT_EQ(PERIODDB::sourceFiles(common::MONTHLY, org),
              (std::vector<std::string>{
                  "../system/2024/paye.dbf", "../system/2024/nssf.dbf",
                  "../system/2024/payepara.dbf", "../system/2024/sdl.dbf", "settings/options.dbf",
                  "../system/settings/org.dbf", "database/static.dbf", "database/absence.dbf",
                  "database/leave.dbf", "settings/units.dbf", "settings/jobs.dbf",
                  "settings/stations.dbf", "settings/paygroup.dbf", "settings/coops.dbf",
                  "settings/pensions.dbf", "database/monpay.dat", "database/monpay.dbf"}));
    const auto weekly = PERIODDB::sourceFiles(common::WEEKLY, org);
    EXPECT_EQ(weekly[weekly.size() - 2], "database/wkpay.dat");
    EXPECT_EQ(weekly.back(), "database/wkpay.dbf");
}

TEST_F(PeriodStaleTest, AMissingWorkingFileMustBeWrittenButAClosedPeriodNever) {
    EXPECT_TRUE(stale(currentParam()));
    common::REPORTPARAM closed = currentParam();
    closed.isCurrentPeriod = 0;
    EXPECT_FALSE(stale(closed));
}

TEST_F(PeriodStaleTest, AnySourceChangedSinceTheFileMakesItStale) {
    ASSERT_TRUE(PERIODDB(owner, code, folder).writeFile(ui, common::MONTHLY, org, false));
    for (const std::string& source : PERIODDB::sourceFiles(common::MONTHLY, org)) {
        SCOPED_TRACE(source);
        setTimes(dayAgo, dayAgo + hours(1));
        EXPECT_FALSE(stale(currentParam()));
        fs::last_write_time(folder.resolve(source), dayAgo + hours(2));
        EXPECT_TRUE(stale(currentParam()));
    }
    // As old as the file is not newer.
    setTimes(dayAgo, dayAgo);
    EXPECT_FALSE(stale(currentParam()));
}

TEST_F(PeriodStaleTest, AFreshFileIsKeptAndAStaleOneWrittenAgain) {
    database::LEAVEROW earned{0, common::date{2025, 1, 3}, database::kLeaveEarned, 1.75f};
    ASSERT_TRUE(database::LEAVEDB(code, folder, ui).appendRec("MH003", earned));
    // No file yet: written, with the leave balances.
    ASSERT_TRUE(prepare()) << messages();
    EXPECT_EQ(owner.statusTexts, (std::vector<std::string>{"Creating 2025/monperiod.int...", "",
                                                           "Updating 2025/monperiod.int...", ""}));
    EXPECT_EQ(record(2).netPay, 188238);
    EXPECT_FLOAT_EQ(record(2).leaveBalance, 1.75f);

    // 160 hours: 160 x 1,250.75 = 200,120.
    edit("MH003", [](common::VARIATIONSREC& rec) { rec.timeWorked = 160; });
    setTimes(dayAgo, dayAgo + hours(1));
    const std::string fresh = bytesOf(workingFile());
    owner.clear();
    ASSERT_TRUE(prepare()) << messages();
    EXPECT_TRUE(owner.statusTexts.empty());
    EXPECT_EQ(bytesOf(workingFile()), fresh);
    EXPECT_EQ(record(2).netPay, 188238);

    fs::last_write_time(folder.resolve("database/monpay.dbf"), dayAgo + hours(2));
    ASSERT_TRUE(prepare()) << messages();
    EXPECT_EQ(owner.statusTexts.size(), 4u);
    EXPECT_EQ(record(2).netPay, 200120);
    EXPECT_FLOAT_EQ(record(2).leaveBalance, 1.75f);
    EXPECT_TRUE(ui.messages.empty()) << messages();
}

TEST_F(PeriodStaleTest, AStaleFileThatCannotBeWrittenAgainIsTold) {
    fs::remove(folder.resolve("settings/paylog.dbf"));
    EXPECT_FALSE(prepare());
    expectOneError("Can't open settings/paylog.dbf");
    EXPECT_FALSE(fs::exists(workingFile()));
}

} // namespace
} // namespace kelo::payrunreports::testing
