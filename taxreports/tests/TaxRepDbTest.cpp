// The P9 and P10 files: what the month end adds, once per period; the
// interim files; renumbering; damaged and foreign files.

#include "TaxFixture.h"

#include <filesystem>

namespace kelo::taxreports {
namespace {

using testing::bytesOf;
using testing::expectGolden;
using testing::readableView;
using testing::writeBytes;
using TaxRepDbTest = testing::TaxFixture;

TEST_F(TaxRepDbTest, TwoMonthsOfTwoFrequenciesMakeTheGoldenFiles) {
    closeJanuaryAndFebruary();
    expectGolden(readableView(bytesOf(p9Path())), "p9.dbf.txt");
    expectGolden(readableView(bytesOf(p10Path())), "p10.dbf.txt");
}

TEST_F(TaxRepDbTest, FilesReadBackPeriodByPeriod) {
    closeJanuaryAndFebruary();
    TAXREPDB db(owner, code, folder);
    TAXFILE p9, p10;
    ASSERT_TRUE(db.readFile(ui, TaxFile::P9, TAXREPDB::filePath(TaxFile::P9, 2025), org, p9));
    ASSERT_TRUE(db.readFile(ui, TaxFile::P10, TAXREPDB::filePath(TaxFile::P10, 2025), org, p10));
    EXPECT_EQ(p9.year, 2025);
    ASSERT_EQ(p9.periods.size(), 5u);
    ASSERT_EQ(p10.periods.size(), 5u);
    const struct {
        int month;
        const char* title;
        int employees;
        double paye;
    } expected[] = {{1, "Week ending 7 January 2025", 1, 0},
                    {1, "January 2025", 2, 150000},
                    {2, "Week ending 7 February 2025", 1, 5000},
                    {2, "Week ending 14 February 2025", 1, 5000},
                    {2, "February 2025", 2, 140000}};
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(expected[i].title);
        EXPECT_EQ(p9.periods[i].month, expected[i].month);
        EXPECT_EQ(p9.periods[i].header.periodTitle, expected[i].title);
        EXPECT_EQ(p9.periods[i].employees.size(), static_cast<std::size_t>(expected[i].employees));
        EXPECT_EQ(p10.periods[i].header.periodTitle, expected[i].title);
        EXPECT_EQ(p10.periods[i].totals.employees, expected[i].employees);
        EXPECT_EQ(p10.periods[i].totals.paye, expected[i].paye);
    }
    EXPECT_EQ(p9.periods[1].employees[0],
              (P9EMP{"MH001", "Mwakyusa, Asha", "123-456-789", 950000, 855000, 120000}));
    EXPECT_EQ(p10.periods[4].totals, (P10TOTALS{2, 1350000, 1215000, 140000}));
}

TEST_F(TaxRepDbTest, ASecondUpdateOfThePeriodChangesNothing) {
    org.month = "January";
    close(common::MONTHLY, januaryMonthly);
    const std::string p9 = bytesOf(p9Path()), p10 = bytesOf(p10Path());
    TAXREPDB db(owner, code, folder);
    EXPECT_TRUE(db.updateFiles(ui, common::MONTHLY, org, true));
    EXPECT_EQ(bytesOf(p9Path()), p9);
    EXPECT_EQ(bytesOf(p10Path()), p10);
}

TEST_F(TaxRepDbTest, APeriodWithoutEmployeesAddsNothing) {
    writePeriodFile(common::IRREGULAR, {});
    TAXREPDB db(owner, code, folder);
    EXPECT_TRUE(db.updateFiles(ui, common::IRREGULAR, org, true));
    EXPECT_FALSE(std::filesystem::exists(p9Path()));
    EXPECT_FALSE(std::filesystem::exists(p10Path()));
}

TEST_F(TaxRepDbTest, ACutOrForeignFileIsRefusedByNameAndNothingIsWritten) {
    org.month = "January";
    close(common::MONTHLY, januaryMonthly);
    const std::string p9 = bytesOf(p9Path()), p10 = bytesOf(p10Path());
    org.month = "February";
    writePeriodFile(common::MONTHLY, februaryMonthly);
    const std::string foreign = [&] {
        std::string bytes = p9;
        const auto at = bytes.find("[../org01/");
        bytes.replace(at, 10, "[../org02/");
        return bytes;
    }();
    const struct {
        const char* what;
        std::string p9Bytes;
        const char* message;
    } cases[] = {
        {"cut short", p9.substr(0, p9.size() / 2), "2025/p9.dbf\" has invalid terminator."},
        {"another organisation's", foreign,
         "File \"2025/p9.dbf\" was written for another organisation (../org02)."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(p9Path(), c.p9Bytes);
        ui.clear();
        TAXREPDB db(owner, code, folder);
        EXPECT_FALSE(db.checkFiles(ui, org));
        EXPECT_NE(ui.lastMessage().find(c.message), std::string::npos) << ui.lastMessage();
        ui.clear();
        EXPECT_FALSE(db.updateFiles(ui, common::MONTHLY, org, true));
        EXPECT_NE(ui.lastMessage().find(c.message), std::string::npos) << ui.lastMessage();
        EXPECT_EQ(bytesOf(p9Path()), c.p9Bytes);
        EXPECT_EQ(bytesOf(p10Path()), p10);
    }
}

TEST_F(TaxRepDbTest, UpdateEmpNumRenumbersEveryPeriodAndDropsTheInterimFiles) {
    closeJanuaryAndFebruary();
    TAXREPDB db(owner, code, folder);
    ASSERT_TRUE(db.writeInterimFiles(ui, org));
    ASSERT_TRUE(std::filesystem::exists(folder.resolve(TAXREPDB::interimPath(TaxFile::P9, 2025))));
    common::EMPNUMREC change;
    change.oldEmpNum = "mh002";
    change.newEmpNum = "MH020";
    ASSERT_TRUE(db.updateEmpNum(ui, change, org)) << ui.lastMessage();
    EXPECT_FALSE(std::filesystem::exists(folder.resolve(TAXREPDB::interimPath(TaxFile::P9, 2025))));
    EXPECT_FALSE(
        std::filesystem::exists(folder.resolve(TAXREPDB::interimPath(TaxFile::P10, 2025))));
    TAXFILE p9;
    ASSERT_TRUE(db.readFile(ui, TaxFile::P9, TAXREPDB::filePath(TaxFile::P9, 2025), org, p9));
    int renumbered = 0;
    for (const TAXPERIOD& p : p9.periods) {
        for (const P9EMP& e : p.employees) {
            EXPECT_NE(e.empNum, "MH002");
            renumbered += e.empNum == "MH020" ? 1 : 0;
        }
    }
    EXPECT_EQ(renumbered, 2); // January and February
}

TEST_F(TaxRepDbTest, InterimFilesAreNeededOnlyForRangesReachingTheOpenMonth) {
    closeJanuaryAndFebruary();
    const common::REPORTPARAM firstHalf = param(common::kReportP9, 1, 6);
    const common::REPORTPARAM february = param(common::kReportP9, 2, 2);
    EXPECT_FALSE(TAXREPDB::requireFile(folder, february, org));
    EXPECT_EQ(TAXREPDB::reportFilePath(TaxFile::P9, february, org), "2025/p9.dbf");
    EXPECT_TRUE(TAXREPDB::requireFile(folder, firstHalf, org));
    EXPECT_EQ(TAXREPDB::reportFilePath(TaxFile::P10, firstHalf, org), "2025/p10.int");
    TAXREPDB db(owner, code, folder);
    ASSERT_TRUE(db.writeInterimFiles(ui, org));
    EXPECT_FALSE(TAXREPDB::requireFile(folder, firstHalf, org));
    // Without a payroll's working files the interim files hold the stores.
    TAXFILE store, interim;
    ASSERT_TRUE(db.readFile(ui, TaxFile::P10, "2025/p10.dbf", org, store));
    ASSERT_TRUE(db.readFile(ui, TaxFile::P10, "2025/p10.int", org, interim));
    EXPECT_EQ(interim.periods.size(), store.periods.size());

    // A store newer than its interim file makes it stale.
    std::filesystem::last_write_time(p10Path(), std::filesystem::last_write_time(p10Path()) +
                                                    std::chrono::hours(1));
    EXPECT_TRUE(TAXREPDB::requireFile(folder, firstHalf, org));
    db.delInterimFiles(org);
    EXPECT_FALSE(std::filesystem::exists(folder.resolve("2025/p9.int")));
    EXPECT_FALSE(std::filesystem::exists(folder.resolve("2025/p10.int")));
}

} // namespace
} // namespace kelo::taxreports
