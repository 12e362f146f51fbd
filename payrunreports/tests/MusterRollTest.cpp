#include "SummariesFixture.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

using testsupport::RecordingCanvas;

struct MusterRollTest : SummariesFixture {
    void setGrouping(int grouping) {
        setReportOption(common::kReportMusterRoll, database::kOptionGrouping, grouping);
    }
};

// The columns of the worked payroll, nobody being overdrawn: Basic Pay,
// Overtime, Transport Allowance, Casual Hours, Leave Bonus, Tax Refund,
// Rounding B/F, Gross Pay, PAYE, NSSF, Lump Sums Tax, Overdraft Recovery,
// Rounding C/F, Rent, Staff Loan, Walimu SACCOS, PSSSF, CRDB Loan, Staff
// Savings, Uniform, Total Deductions, Net Pay.
// MH001 1,000,000, 75,000, 100,000, 0, 200,000, 5,000, 0, 1,380,000,
//   147,050, 117,500, 20,000, 0, 0, 0, 100,000, 20,000, 50,000, 30,000,
//   10,000, 15,000, 509,550, 870,450.
// MH002 400,000, 0, 0, 31,256, 0, 0, 400, 431,656, 13,450, 43,125, 0,
//   5,000, 81, 10,000, the six deductions 0, 71,656, 360,000.
// MH003 188,238 basic and gross pay, 188,238 net.
// Total 1,588,238, 75,000, 100,000, 31,256, 200,000, 5,000, 400, 1,999,894,
// 160,500, 160,625, 20,000, 5,000, 81, 10,000, 100,000, 20,000, 50,000,
// 30,000, 10,000, 15,000, 581,206, 1,418,688.
TEST_F(MusterRollTest, TheExportWithoutGrouping) {
    const auto report = musterRoll();
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Payroll Muster Roll");
    EXPECT_EQ(report->grouping(), 0);
    expectGoldenFile(*report->exportText(), "musterroll.txt");
    const std::vector<std::string> lines = exportLines(*report->exportText());
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[1], "Payroll Muster Roll - March 2025 : All Units\t");
    EXPECT_EQ(lines[7], "\t\tTotal\t1,588,238\t75,000\t100,000\t31,256\t200,000\t5,000\t400\t"
                        "1,999,894\t160,500\t160,625\t20,000\t5,000\t81\t10,000\t100,000\t"
                        "20,000\t50,000\t30,000\t10,000\t15,000\t581,206\t1,418,688\t");
}

// By unit with no unit chosen each employee falls under his top unit: MH003
// has none and comes first under the empty key, then Head Office with
// MH001 (Finance) and MH002, numbered afresh.
TEST_F(MusterRollTest, GroupedByUnit) {
    setGrouping(1);
    const auto report = musterRoll();
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->grouping(), 1);
    expectGoldenFile(*report->exportText(), "musterroll_units.txt");
    const std::vector<std::string> lines = exportLines(*report->exportText());
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[4], " Unit\t");
    EXPECT_EQ(lines[5].substr(0, 9), "1.\tMH003\t");
    EXPECT_EQ(lines[7], "Head Office Unit\t");
    EXPECT_EQ(lines[8].substr(0, 9), "1.\tMH001\t");
    EXPECT_EQ(lines[9].substr(0, 9), "2.\tMH002\t");
    // Head Office: basic pay 1,400,000, gross 1,811,656, deductions
    // 581,206, net 1,230,450.
    EXPECT_EQ(lines[10].substr(0, 22), "\t\tTotal\t1,400,000\t75,0");
    EXPECT_NE(lines[10].find("\t1,811,656\t"), std::string::npos);
    EXPECT_EQ(lines[10].substr(lines[10].size() - 19), "\t581,206\t1,230,450\t");
}

// By station: MH003 without one, MH002 at Dar es Salaam, MH001 at Mbeya.
TEST_F(MusterRollTest, GroupedByStation) {
    setGrouping(2);
    const auto report = musterRoll();
    ASSERT_TRUE(report) << messages();
    expectGoldenFile(*report->exportText(), "musterroll_stations.txt");
    ASSERT_EQ(report->groups().size(), 3u);
    EXPECT_EQ(report->groups()[1], (RecordGroup{"Dar es Salaam", 1, 1}));
    EXPECT_EQ(report->groups()[2], (RecordGroup{"Mbeya", 2, 1}));
}

// The options are those of report 32 where the options dialog keeps them,
// not of 204 that the roll runs as.
TEST_F(MusterRollTest, OptionsAreReadUnderTheMusterRoll) {
    setReportOption(common::kReportPeriodMusterRoll, database::kOptionGrouping, 2);
    setReportOption(common::kReportMusterRoll, database::kOptionSortKey, 1);
    const auto report = musterRoll();
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->grouping(), 0);
    EXPECT_EQ(empNums(*report), (std::vector<std::string>{"MH002", "MH003", "MH001"}));
}

// Without the overtime nobody has any: its column goes, the others close up.
TEST_F(MusterRollTest, AColumnNobodyHasIsHidden) {
    edit("MH001", [](common::VARIATIONSREC& rec) { rec.normalOvertimeHours = 0; });
    writePeriodFile();
    const auto report = musterRoll();
    ASSERT_TRUE(report) << messages();
    const std::vector<std::string> lines = exportLines(*report->exportText());
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[3].substr(0, 52), "\tEmployee Number\tName\tBasic Pay\tTransport Allowance\t");
    EXPECT_DOUBLE_EQ(report->geometry().printableWidth, 90 + 21 * 22);
}

// The main program may lay the roll out before hiding its columns: the
// same roll comes out.
TEST_F(MusterRollTest, HidingAfterLayingOut) {
    edit("MH001", [](common::VARIATIONSREC& rec) { rec.normalOvertimeHours = 0; });
    writePeriodFile();
    const auto hiddenFirst = musterRoll();
    ASSERT_TRUE(hiddenFirst) << messages();
    TestMusterRoll report(ui, code, folder, paramOf(common::kReportPeriodMusterRoll));
    ASSERT_TRUE(read(report)) << messages();
    report.sort();
    report.groupRecords();
    report.layOut();
    report.hideColumns();
    EXPECT_EQ(report.exportText(), hiddenFirst->exportText());
    EXPECT_DOUBLE_EQ(report.geometry().paperWidth, 20 + 90 + 21 * 22);
}

// One page as large as the roll: 36 + 54 + 22 x 22 mm wide, and 16 mm of
// titles, 10.5 of headings, three rows, 2 mm and the total high, with 10 mm
// margins all round.
TEST_F(MusterRollTest, ThePageFitsTheRoll) {
    const auto report = musterRoll();
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->pageCount(), 1);
    const common::PageGeometry& g = report->geometry();
    EXPECT_DOUBLE_EQ(g.printableWidth, 574);
    EXPECT_DOUBLE_EQ(g.paperWidth, 594);
    EXPECT_DOUBLE_EQ(g.printableHeight, 48.5);
    EXPECT_DOUBLE_EQ(g.paperHeight, 68.5);
    EXPECT_DOUBLE_EQ(g.topMargin, 10);
    EXPECT_DOUBLE_EQ(g.leftMargin, 10);
}

TEST_F(MusterRollTest, PrintsOnceWhateverPagesAndCopies) {
    const auto report = musterRoll();
    ASSERT_TRUE(report) << messages();
    RecordingCanvas canvas(594, 68.5);
    common::PRINTERREC printer;
    printer.pageRange = common::kPrintPageSpan;
    printer.fromPage = 2;
    printer.toPage = 5;
    printer.copies = 3;
    EXPECT_TRUE(report->print(canvas, printer));
    EXPECT_EQ(canvas.pagesStarted, 1);
    EXPECT_EQ(canvas.documentsEnded, 1);
    EXPECT_EQ(canvas.findText("Total").size(), 1u);
}

// By station, from the top margin of 10 mm: titles to 26, then each group's
// heading band of 7 mm, 10.5 mm of column headings, its rows of 5 mm, 2 mm
// and its total; 6 mm between groups.
TEST_F(MusterRollTest, ThePageLaidOut) {
    setGrouping(2);
    const auto report = musterRoll();
    ASSERT_TRUE(report) << messages();
    EXPECT_DOUBLE_EQ(report->geometry().printableHeight, 116.5);
    RecordingCanvas canvas(594, 136.5);
    common::PRINTERREC printer;
    printer.preview = 1;
    EXPECT_TRUE(report->print(canvas, printer));
    expectGoldenFile(canvasListing(canvas), "musterroll_page.txt");

    const auto at = [&](const std::string& text) {
        const auto found = canvas.findText(text);
        EXPECT_EQ(found.size(), 1u) << text;
        return found.empty() ? common::RectMm{} : found[0].rect;
    };
    EXPECT_DOUBLE_EQ(at(" Station").top, 26);
    EXPECT_DOUBLE_EQ(at("Dar es Salaam Station").top, 61.5);
    EXPECT_DOUBLE_EQ(at("Mbeya Station").top, 97);
    EXPECT_DOUBLE_EQ(at("MH003").top, 43.5);
    EXPECT_DOUBLE_EQ(at("MH002").top, 79);
    EXPECT_DOUBLE_EQ(at("MH001").top, 114.5);
    EXPECT_DOUBLE_EQ(at("MH001").left, 19.5);
    EXPECT_DOUBLE_EQ(at("Mwakyusa, Emmanuel").left, 47.5);
    // Net pay, the 22nd amount column: 91.5 + 21 x 22 from the margin, in
    // MH001's row and in the total of Mbeya, his alone.
    const auto net = canvas.findText("870,450");
    ASSERT_EQ(net.size(), 2u);
    EXPECT_DOUBLE_EQ(net[0].rect.left, 563.5);
    EXPECT_DOUBLE_EQ(net[1].rect.top, 121.5);
    const auto totals = canvas.findText("Total");
    ASSERT_EQ(totals.size(), 3u);
    EXPECT_DOUBLE_EQ(totals[2].rect.top, 121.5);
    EXPECT_DOUBLE_EQ(totals[2].rect.width, 88.5);
    EXPECT_DOUBLE_EQ(at("Page 1 of 1").top, 128.5);
}

} // namespace
} // namespace kelo::payrunreports::testing
