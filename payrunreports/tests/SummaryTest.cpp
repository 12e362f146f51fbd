#include "SummariesFixture.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

using testsupport::RecordingCanvas;

struct SummaryTest : SummariesFixture {
    static RecordingCanvas printAll(TestSummary& report) {
        RecordingCanvas canvas(297, 210);
        EXPECT_TRUE(report.print(canvas, common::PRINTERREC{}));
        return canvas;
    }

    static std::vector<std::string> headingsDrawn(const RecordingCanvas& canvas) {
        std::vector<std::string> headings;
        for (const auto& e : canvas.elements) {
            if (e.kind == RecordingCanvas::Kind::Text && e.page == 1 && e.font.weight == 700 &&
                e.font.pointSize == 8 && e.rect.top == 28)
                headings.push_back(e.text);
        }
        return headings;
    }
};

// Per employee (Earnings, Lump Sums, Refunds, Gross, Statutory, Other, Total
// deductions, Net):
// MH001 1,175,000, 200,000, 5,000, 1,380,000, PAYE 147,050 + NSSF 117,500 +
//   lump sum tax 20,000 = 284,550, the six deductions 225,000, 509,550,
//   870,450.
// MH002 431,256, 0, rounding 400, 431,656, 13,450 + 43,125 = 56,575, rent
//   10,000 + overdraft recovery 5,000 + rounding 81 = 15,081, 71,656,
//   360,000.
// MH003 188,238 earned and paid with nothing taken.
// Totals 1,794,494, 200,000, 5,400, 1,999,894, 341,125, 240,081, 581,206,
// 1,418,688. Nobody is overdrawn: no "Overdraft" column.
TEST_F(SummaryTest, TheExportOfTheWorkedPayroll) {
    const auto report = summary();
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Payroll Summary");
    EXPECT_EQ(report->orientation(), common::Orientation::Landscape);
    expectGoldenFile(*report->exportText(), "summary.txt");
}

TEST_F(SummaryTest, EveryAmountCellCarriesItsFigure) {
    const auto report = summary();
    ASSERT_TRUE(report) << messages();
    ASSERT_EQ(report->rows().size(), 3u);
    const common::ReportRow& banda = report->rows()[1];
    EXPECT_EQ(banda.figures, (std::vector<double>{0, 0, 0, 431256, 0, 400, 0, 431656, 56575, 15081,
                                                  71656, 360000}));
    EXPECT_EQ(banda.cells[6], "0");
    EXPECT_EQ(banda.cells[11], "360,000");
}

// The options of the summary are kept under its own report, 31.
TEST_F(SummaryTest, TheSortKeyOrdersByName) {
    setReportOption(common::kReportPayrollSummary, database::kOptionSortKey, 1);
    const auto report = summary();
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(empNums(*report), (std::vector<std::string>{"MH002", "MH003", "MH001"}));
    EXPECT_EQ(report->rows()[0].cells[0], "1.");
    EXPECT_EQ(report->rows()[0].cells[1], "MH002");
}

// Without the refund and the rounding brought forward nobody has a refund:
// "Refunds" goes as "Overdraft" does, on the page and in the export, and
// the columns after them close up.
TEST_F(SummaryTest, NoRefundsNorOverdraftHideTheirColumns) {
    edit("MH001", [](common::VARIATIONSREC& rec) {
        rec.refunds[0].active = 0;
        rec.refunds[0].amount = 0;
    });
    edit("MH002", [](common::VARIATIONSREC& rec) { rec.roundingBF = 0; });
    writePeriodFile();
    const auto report = summary();
    ASSERT_TRUE(report) << messages();
    const std::vector<std::string> lines = exportLines(*report->exportText());
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[3], "\tEmployee Number\tName\tEarnings\tLump Sum Payments\tGross Pay\t"
                        "Statutory Deductions\tOther Deductions\tTotal Deductions\tNet Pay\t");
    // MH001 is paid 5,000 less: 865,450. MH002 without the 400 has 359,681,
    // paid 359,000 in cash with 681 carried. Gross 1,375,000 + 431,256 +
    // 188,238; other deductions 225,000 + 15,681; net 1,412,688.
    EXPECT_EQ(lines.back(), "\t\tTotal\t1,794,494\t200,000\t1,994,494\t341,125\t240,681\t"
                            "581,806\t1,412,688\t");

    const RecordingCanvas canvas = printAll(*report);
    EXPECT_EQ(headingsDrawn(canvas),
              (std::vector<std::string>{"Employee\nNumber", "Name", "Earnings", "Lump Sum Payments",
                                        "Gross Pay", "Statutory Deductions", "Other Deductions",
                                        "Total Deductions", "Net Pay"}));
    // "Gross Pay" moves into the third amount column: 15 + 73.5 + 22 + 21.
    const auto gross = canvas.findText("Gross Pay");
    ASSERT_EQ(gross.size(), 1u);
    EXPECT_DOUBLE_EQ(gross[0].rect.left, 131.5);
}

// MH003 owes a uniform of 200,000 against pay of 188,238: he is overdrawn
// by 11,762, his gross pay becomes 200,000 and his net pay 0.
TEST_F(SummaryTest, AnOverdraftShowsItsColumn) {
    edit("MH003", [](common::VARIATIONSREC& rec) {
        common::PayItem& uniform = rec.deductions[deduction::kUniform];
        uniform.active = 1;
        uniform.amount = 200000;
        uniform.params = common::CostRecoveryParams{200000, 0, 0};
    });
    writePeriodFile();
    const auto report = summary();
    ASSERT_TRUE(report) << messages();
    const std::vector<std::string> lines = exportLines(*report->exportText());
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "\tEmployee Number\tName\tEarnings\tLump Sum Payments\tRefunds\t"
                        "Overdraft\tGross Pay\tStatutory Deductions\tOther Deductions\t"
                        "Total Deductions\tNet Pay\t");
    EXPECT_EQ(lines[6], "3.\tMH003\tKileo, Ali Hassan\t188,238\t0\t0\t11,762\t200,000\t0\t"
                        "200,000\t200,000\t0\t");
}

// 21 more employees on 300,000 each make 24: the first page's 23 rows are
// the worked three and twenty of them, the second holds the last.
TEST_F(SummaryTest, TwentyFourEmployeesMakeTwoPages) {
    for (int i = 10; i <= 30; ++i)
        addEmployeeIn("MH0" + std::to_string(i), "Extra" + std::to_string(i), 0);
    writePeriodFile();
    const auto report = summary();
    ASSERT_TRUE(report) << messages();
    ASSERT_EQ(report->pageCount(), 2);
    EXPECT_EQ(report->pages()[0].rowCount, 23u);
    EXPECT_EQ(report->pages()[1].rowCount, 1u);

    const RecordingCanvas canvas = printAll(*report);
    ASSERT_EQ(canvas.pagesStarted, 2);
    const auto carried = canvas.findText("Total C/F");
    const auto grand = canvas.findText("Grand Total");
    ASSERT_EQ(carried.size(), 1u);
    ASSERT_EQ(grand.size(), 1u);
    EXPECT_EQ(carried[0].page, 1);
    EXPECT_EQ(grand[0].page, 2);
    // Net pay: 1,418,688 + 20 x 300,000 on the first page, 300,000 more on
    // the second; earnings the same with 1,794,494.
    const auto netCarried = canvas.findText("7,418,688");
    const auto netGrand = canvas.findText("7,718,688");
    ASSERT_EQ(netCarried.size(), 1u);
    ASSERT_EQ(netGrand.size(), 1u);
    EXPECT_EQ(netCarried[0].page, 1);
    EXPECT_EQ(netGrand[0].page, 2);
    EXPECT_DOUBLE_EQ(netCarried[0].rect.top, 155);
    EXPECT_EQ(canvas.findText("7,794,494").size(), 1u);
    EXPECT_EQ(canvas.findText("8,094,494").size(), 1u);
    EXPECT_EQ(canvas.findText("24.").size(), 1u);
}

// Where the page puts things, in millimetres from the paper's corner: top
// margin 10, left margin 15.
TEST_F(SummaryTest, ThePageLaidOut) {
    const auto report = summary();
    ASSERT_TRUE(report) << messages();
    const RecordingCanvas canvas = printAll(*report);
    expectGoldenFile(canvasListing(canvas), "summary_page1.txt");

    const auto orgName = canvas.findText("Kilimo Traders Ltd");
    ASSERT_EQ(orgName.size(), 1u);
    EXPECT_DOUBLE_EQ(orgName[0].rect.top, 10);
    EXPECT_DOUBLE_EQ(orgName[0].rect.height, 8);
    EXPECT_EQ(orgName[0].font, (common::Font{"Arial", 14, 700}));
    const auto title = canvas.findText("Payroll Summary - March 2025 : All Units");
    ASSERT_EQ(title.size(), 1u);
    EXPECT_DOUBLE_EQ(title[0].rect.top, 18);
    EXPECT_EQ(title[0].font.pointSize, 11);

    const auto number = canvas.findText("Employee\nNumber");
    ASSERT_EQ(number.size(), 1u);
    EXPECT_DOUBLE_EQ(number[0].rect.left, 24.5);
    EXPECT_DOUBLE_EQ(number[0].rect.top, 28);
    const auto first = canvas.findText("1.");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_DOUBLE_EQ(first[0].rect.left, 16.5);
    EXPECT_DOUBLE_EQ(first[0].rect.width, 8);
    EXPECT_DOUBLE_EQ(first[0].rect.top, 39);
    EXPECT_EQ(first[0].font, (common::Font{"Arial Narrow", 8, 400}));
    EXPECT_DOUBLE_EQ(canvas.findText("3.")[0].rect.top, 49);

    const auto grand = canvas.findText("Grand Total");
    ASSERT_EQ(grand.size(), 1u);
    EXPECT_DOUBLE_EQ(grand[0].rect.left, 15);
    EXPECT_DOUBLE_EQ(grand[0].rect.top, 155);
    EXPECT_DOUBLE_EQ(grand[0].rect.width, 70.5);
    EXPECT_DOUBLE_EQ(grand[0].rect.height, 6);
    // Net pay, the eighth visible amount column: 73.5 + 22 + 21 + 21 + 22 +
    // 21 + 21 + 22 from the margin.
    const auto net = canvas.findText("1,418,688");
    ASSERT_EQ(net.size(), 1u);
    EXPECT_DOUBLE_EQ(net[0].rect.left, 238.5);
    EXPECT_DOUBLE_EQ(net[0].rect.width, 19);

    const auto checked = canvas.findText("Checked by");
    ASSERT_EQ(checked.size(), 1u);
    EXPECT_DOUBLE_EQ(checked[0].rect.top, 165);
    EXPECT_EQ(canvas.findText("NAME:" + std::string(90, '.')).size(), 1u);
    const auto footer = canvas.findText("Page 1 of 1");
    ASSERT_EQ(footer.size(), 1u);
    EXPECT_DOUBLE_EQ(footer[0].rect.top, 185);
}

// The grid: the rule after "Name" 72 mm in, the one after the employee
// number stopping at the totals, the table 72 + 150 + 22 = 244 mm wide.
TEST_F(SummaryTest, TheGrid) {
    const auto report = summary();
    ASSERT_TRUE(report) << messages();
    const RecordingCanvas canvas = printAll(*report);
    std::vector<common::RectMm> lines;
    for (const auto& e : canvas.elements) {
        if (e.kind == RecordingCanvas::Kind::Line)
            lines.push_back(e.rect);
    }
    const auto has = [&](double x, double y, double w, double h) {
        for (const common::RectMm& r : lines) {
            if (std::abs(r.left - x) < 1e-9 && std::abs(r.top - y) < 1e-9 &&
                std::abs(r.width - w) < 1e-9 && std::abs(r.height - h) < 1e-9)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(has(15, 27, 0, 134));
    EXPECT_TRUE(has(46, 27, 0, 128));
    EXPECT_TRUE(has(87, 27, 0, 134));
    EXPECT_TRUE(has(259, 27, 0, 134));
    for (double y : {27.0, 37.0, 155.0, 161.0})
        EXPECT_TRUE(has(15, y, 244, 0)) << y;
    // Three fixed rules, eight amount rules, four across, and the paper's edge
    // is not drawn when printing.
    EXPECT_EQ(lines.size(), 15u);
}

} // namespace
} // namespace kelo::payrunreports::testing
