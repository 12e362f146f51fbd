// The open month's returns on a payroll the pay engine works out: the
// interim file is made from the working period file, which is written
// again when a transaction changes.

#include "monthlyreturns/MonthDb.h"
#include "monthlyreturns/MonthRep.h"
#include "payrunreports/tests/PeriodFixture.h"

#include <chrono>
#include <filesystem>

namespace kelo::monthlyreturns::testing {
namespace {

namespace fs = std::filesystem;

struct MonthInterimTest : payrunreports::testing::PeriodFixture {
    std::unique_ptr<MONTHREP> payeReturn() {
        common::REPORTPARAM param = common::newReportParam(common::kReportPayeReturn, org);
        return prepareMonthReturn(ui, owner, code, folder, param, org);
    }

    // PAYE of the working period file, read apart from the returns.
    double periodFilePaye() {
        payrunreports::PERIODDBEX reader(owner, code, folder);
        EXPECT_TRUE(reader.open(ui, "2025/monperiod.int", org)) << messages();
        double paye = 0;
        payrunreports::REPORTREC rec;
        while (reader.readRecord(ui, rec))
            paye += rec.paye;
        return paye;
    }
};

TEST_F(MonthInterimTest, TheOpenMonthsPayeIsThePayeOfItsWorkingPeriodFile) {
    EXPECT_TRUE(MONTHDB::requireFile(folder, 2025, 3, org));
    const auto report = payeReturn();
    ASSERT_TRUE(report) << messages();
    EXPECT_TRUE(fs::exists(folder.resolve("2025/Marret.int")));
    EXPECT_FALSE(fs::exists(folder.resolve("2025/Marret.dbf")));
    EXPECT_FALSE(MONTHDB::requireFile(folder, 2025, 3, org));
    // Mwakyusa, Banda and Kileo; Salim is removed and MH005 has no record.
    ASSERT_EQ(report->employees().size(), 3u);
    const double paye = periodFilePaye();
    EXPECT_GT(paye, 0);
    EXPECT_EQ(report->totalsThrough(report->pageCount()).at(10), paye);
}

TEST_F(MonthInterimTest, AChangedTransactionMakesTheInterimFileStale) {
    ASSERT_TRUE(payeReturn()) << messages();
    const double before = periodFilePaye();
    const auto written = fs::last_write_time(folder.resolve("2025/Marret.int"));
    edit("MH002", [](common::VARIATIONSREC& rec) { rec.timeWorked = 0; }); // no day absent
    fs::last_write_time(folder.resolve(std::string(common::transactionsTablePath(common::MONTHLY))),
                        written + std::chrono::seconds(5));
    EXPECT_TRUE(MONTHDB::requireFile(folder, 2025, 3, org));
    const auto report = payeReturn();
    ASSERT_TRUE(report) << messages();
    const double after = periodFilePaye();
    EXPECT_NE(after, before);
    EXPECT_EQ(report->totalsThrough(report->pageCount()).at(10), after);
}

} // namespace
} // namespace kelo::monthlyreturns::testing
