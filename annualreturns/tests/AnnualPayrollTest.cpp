// The store over a payroll worked by the pay engine: the month end's kept
// period file and the working file of the open period.

#include "annualreturns/AnnualDb.h"
#include "annualreturns/AnnualReports.h"
#include "payrunreports/tests/PeriodFixture.h"

#include <filesystem>

namespace kelo::annualreturns {
namespace {

using AnnualPayrollTest = payrunreports::testing::PeriodFixture;

common::REPORTPARAM yearParam(std::int32_t reportType, const common::ORGREC& org, int fromMonth,
                              int toMonth) {
    common::REPORTPARAM p = common::newReportParam(reportType, org);
    p.period.year = 2025;
    p.fromMonth = fromMonth;
    p.toMonth = toMonth;
    return p;
}

TEST_F(AnnualPayrollTest, TheClosedMonthReachesTheYearsReportsAsTheEngineWorkedIt) {
    payrunreports::PERIODDB period(owner, code, folder);
    ASSERT_TRUE(period.checkFiles(ui, common::MONTHLY, org));
    ASSERT_TRUE(period.writeFile(ui, common::MONTHLY, org, true)) << ui.lastMessage();
    ANNUALDB db(owner, code, folder);
    ASSERT_TRUE(db.checkFiles(ui, org));
    ASSERT_TRUE(db.updateFile(ui, common::MONTHLY, org, true)) << ui.lastMessage();

    // The period file's net pay, added up here.
    payrunreports::PERIODDBEX reader(owner, code, folder);
    ASSERT_TRUE(reader.open(ui, "2025/mon03.dbf", org));
    double periodNetPay = 0;
    payrunreports::REPORTREC rec;
    while (reader.readRecord(ui, rec))
        periodNetPay += rec.netPay;

    MUSTERROLL roll(ui, code, folder, yearParam(common::kReportYearMusterRoll, org, 1, 3));
    ASSERT_TRUE(roll.readFile(org)) << ui.lastMessage();
    ASSERT_EQ(roll.records().size(), 3u);
    EXPECT_EQ(roll.records()[0].empNum, "MH001");
    EXPECT_EQ(roll.records()[0].overtimePay, 75000);
    EXPECT_EQ(roll.records()[0].paye, 147050);
    EXPECT_EQ(roll.records()[0].netPay, 870450);
    EXPECT_EQ(roll.records()[1].netPay, 360000);
    double rollNetPay = 0;
    for (const payrunreports::REPORTREC& r : roll.records())
        rollNetPay += r.netPay;
    EXPECT_EQ(rollNetPay, periodNetPay);
}

TEST_F(AnnualPayrollTest, TheInterimFileAddsTheOpenPeriodAndFollowsItsSources) {
    const common::REPORTPARAM wholeYear = yearParam(common::kReportYearControlAccount, org, 1, 12);
    EXPECT_TRUE(ANNUALDB::requireFile(folder, wholeYear, org));
    ANNUALDB db(owner, code, folder);
    ASSERT_TRUE(db.writeInterimFile(ui, org)) << ui.lastMessage();
    EXPECT_FALSE(ANNUALDB::requireFile(folder, wholeYear, org));

    ANNUALFILE interim;
    ASSERT_TRUE(db.readFile(ui, ANNUALDB::interimFilePath(2025), org, interim));
    ASSERT_EQ(interim.periods.size(), 1u);
    EXPECT_EQ(interim.periods[0].month, 3);
    EXPECT_EQ(interim.periods[0].header.periodTitle, "March 2025");
    ASSERT_EQ(interim.periods[0].employees.size(), 3u);
    EXPECT_EQ(interim.periods[0].employees[0].netPay, 870450);
    EXPECT_FALSE(std::filesystem::exists(folder.resolve(ANNUALDB::storeFilePath(2025))));

    // A change to the personnel file makes the open period stale.
    const std::string staticPath = folder.resolve("database/static.dbf");
    std::filesystem::last_write_time(staticPath, std::filesystem::last_write_time(staticPath) +
                                                     std::chrono::hours(1));
    EXPECT_TRUE(ANNUALDB::requireFile(folder, wholeYear, org));
}

} // namespace
} // namespace kelo::annualreturns
