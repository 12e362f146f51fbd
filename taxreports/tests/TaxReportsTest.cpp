// The P9 and ITX215 over two months of two frequencies: golden exports,
// hand-added sums, the half years, and the entry the program calls.

#include "TaxFixture.h"
#include "testsupport/RecordingCanvas.h"

#include <algorithm>
#include <filesystem>

namespace kelo::taxreports {
namespace {

using testing::expectGolden;
using TaxReportsTest = testing::TaxFixture;

TEST_F(TaxReportsTest, P9AddsEachMonthsPeriodsPerEmployee) {
    closeJanuaryAndFebruary();
    P9REP report(ui, folder, param(common::kReportP9, 1, 6));
    ASSERT_TRUE(report.readFile(org)) << ui.lastMessage();
    ASSERT_EQ(report.employees().size(), 3u);
    // Name order.
    const P9YEAR& banda = report.employees()[0];
    const P9YEAR& kileo = report.employees()[1];
    const P9YEAR& asha = report.employees()[2];
    EXPECT_EQ(banda.empNum, "MH002");
    EXPECT_EQ(kileo.empNum, "WK001");
    EXPECT_EQ(asha.empNum, "MH001");
    // Two weeks of February: 300,000 + 300,000; 5,000 + 5,000.
    EXPECT_EQ(kileo.grossPay[1], 600000);
    EXPECT_EQ(kileo.paye[1], 10000);
    EXPECT_EQ(kileo.totalPaye(), 10000);
    EXPECT_EQ(asha.totalGross(), 1850000);
    EXPECT_EQ(asha.totalTaxable(), 1665000);
    EXPECT_EQ(asha.totalPaye(), 230000);
    EXPECT_FALSE(asha.paid[2]);
}

TEST_F(TaxReportsTest, P9GoldenTextAndCsv) {
    closeJanuaryAndFebruary();
    P9REP report(ui, folder, param(common::kReportP9, 1, 6));
    ASSERT_TRUE(report.readFile(org)) << ui.lastMessage();
    report.layOut();
    EXPECT_EQ(report.pageCount(), 3); // a page per employee
    expectGolden(*report.exportText(), "p9_jan_jun.txt");
    expectGolden(*report.exportCsv(), "p9_jan_jun.csv");
}

TEST_F(TaxReportsTest, Itx215GoldenTextAndCsvWithTotals) {
    closeJanuaryAndFebruary();
    ITX215REP report(ui, folder, param(common::kReportItx215, 1, 6));
    ASSERT_TRUE(report.readFile(org)) << ui.lastMessage();
    report.sort();
    report.layOut();
    // 230,000 + 60,000 + 10,000.
    EXPECT_EQ(report.totalsThrough(report.pageCount())[5], 300000);
    expectGolden(*report.exportText(), "itx215_jan_jun.txt");
    expectGolden(*report.exportCsv(), "itx215_jan_jun.csv");
}

TEST_F(TaxReportsTest, PrintingTheP9DrawsEachEmployeesPageUnderHisName) {
    closeJanuaryAndFebruary();
    P9REP report(ui, folder, param(common::kReportP9, 1, 6));
    ASSERT_TRUE(report.readFile(org));
    report.layOut();
    testsupport::RecordingCanvas canvas;
    common::PRINTERREC all;
    all.pageRange = 0;
    all.copies = 1;
    ASSERT_TRUE(report.print(canvas, all));
    EXPECT_EQ(canvas.pagesStarted, 3);
    const std::vector<std::string> second = canvas.textsOnPage(2);
    const auto has = [&](const std::string& text) {
        return std::find(second.begin(), second.end(), text) != second.end();
    };
    EXPECT_TRUE(has("Kilimo Traders Ltd"));
    EXPECT_TRUE(has("Kileo, Neema  (No. WK001)  T.I.N.: 987-654-321"));
    EXPECT_TRUE(has("600,000.00")); // February's two weeks
    EXPECT_TRUE(has("Page 2 of 3"));
    EXPECT_FALSE(has("Banda, Joseph  (No. MH002)  T.I.N.: (missing)"));
    EXPECT_EQ(canvas.findText("Banda, Joseph  (No. MH002)  T.I.N.: (missing)").front().page, 1);
}

TEST_F(TaxReportsTest, OneMonthRangeKeepsOnlyThatMonth) {
    closeJanuaryAndFebruary();
    ITX215REP report(ui, folder, param(common::kReportItx215, 1, 1));
    ASSERT_TRUE(report.readFile(org));
    ASSERT_EQ(report.employees().size(), 3u);
    EXPECT_EQ(report.employees()[1].totalGross(), 120000); // WK001's one January week
    EXPECT_EQ(report.periodTitle(), "January 2025");
}

TEST_F(TaxReportsTest, AHalfYearWithoutClosedPeriodsSaysSo) {
    closeJanuaryAndFebruary();
    P9REP report(ui, folder, param(common::kReportP9, 7, 12));
    EXPECT_FALSE(report.readFile(org));
    EXPECT_EQ(ui.lastMessage(), "There is no pay data for July to December 2025.");
}

TEST_F(TaxReportsTest, PrepareMakesTheInterimFilesThenReadsAndLaysOut) {
    closeJanuaryAndFebruary();
    for (const std::int32_t code80or82 : {common::kReportP9, common::kReportItx215}) {
        SCOPED_TRACE(code80or82);
        TAXREPDB(owner, code, folder).delInterimFiles(org);
        auto report = prepareTaxReturn(ui, owner, code, folder, param(code80or82, 1, 6), org);
        ASSERT_TRUE(report) << ui.lastMessage();
        EXPECT_TRUE(std::filesystem::exists(folder.resolve("2025/p9.int")));
        EXPECT_TRUE(std::filesystem::exists(folder.resolve("2025/p10.int")));
        EXPECT_FALSE(report->rows().empty());
    }
    EXPECT_FALSE(prepareTaxReturn(ui, owner, code, folder, param(common::kReportP9, 7, 12), org));
    EXPECT_FALSE(
        prepareTaxReturn(ui, owner, code, folder, param(common::kReportPayeReturn, 1, 6), org));
}

} // namespace
} // namespace kelo::taxreports
