#include "SummariesFixture.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

using testsupport::RecordingCanvas;
using Lines = std::vector<std::string>;

struct ControlAccountTest : SummariesFixture {
    void setBreakdown(int breakdown) {
        setReportOption(common::kReportControlAccount, database::kOptionBreakdown, breakdown);
    }

    // The group line under each page's title, page by page.
    static Lines groupLines(TestControlAccount& report) {
        RecordingCanvas canvas;
        EXPECT_TRUE(report.print(canvas, common::PRINTERREC{}));
        Lines lines;
        for (const auto& e : canvas.elements) {
            if (e.kind == RecordingCanvas::Kind::Text && e.rect.top == 31)
                lines.push_back(e.text);
        }
        return lines;
    }
};

// The whole payroll on one page. Pay: basic 1,000,000 + 400,000 + 188,238 =
// 1,588,238, overtime 75,000, transport 100,000, casual hours 31,256, leave
// bonus 200,000, rounding brought forward 400, tax refund 5,000: 1,999,894.
// Disbursements: PAYE 147,050 + 13,450 = 160,500, NSSF 117,500 + 43,125 =
// 160,625, rent 10,000, overdraft recovery 5,000, rounding 81, the six
// deductions of MH001 (100,000, 20,000, 50,000, 30,000, 10,000, 15,000), lump
// sum tax 20,000 and net pay 870,450 + 360,000 + 188,238 = 1,418,688:
// 1,999,894 again. Nobody is overdrawn: no "Overdraft" line.
TEST_F(ControlAccountTest, TheExportOfTheWholePayroll) {
    const auto report = controlAccount();
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Payroll Control Account");
    EXPECT_EQ(report->orientation(), common::Orientation::Portrait);
    EXPECT_EQ(report->pageCount(), 1);
    expectGoldenFile(*report->exportText(), "controlaccount.txt");
    const Lines lines = exportLines(*report->exportText());
    ASSERT_EQ(lines.size(), 29u);
    EXPECT_EQ(lines[3], "March 2025 : All Units\t");
    EXPECT_EQ(lines[4], "\tSh.\t");
    EXPECT_EQ(lines[13], "\t1,999,894\t");
    EXPECT_EQ(lines[27], "Net Pay\t1,418,688\t");
    EXPECT_EQ(lines[28], "\t1,999,894\t");
}

TEST_F(ControlAccountTest, TheLinesOfATotal) {
    ControlTotal total;
    total.basicPay = 100;
    total.deficit = 7;
    total.totalPay = 107;
    total.netPay = 90;
    total.totalDeductions = 17;
    const std::vector<ControlLine> lines = controlLines(total);
    using Kind = ControlLine::Kind;
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], (ControlLine{Kind::Heading, "Pay", 0}));
    EXPECT_EQ(lines[4], (ControlLine{Kind::Amount, "Overdraft", 7}));
    EXPECT_EQ(lines[5], (ControlLine{Kind::Total, "", 107}));
    EXPECT_EQ(lines[6], (ControlLine{Kind::Heading, "Disbursements", 0}));
    EXPECT_EQ(lines[12], (ControlLine{Kind::Amount, "Tax on Lump Sum(s)", 0}));
    EXPECT_EQ(lines[14], (ControlLine{Kind::Total, "", 107}));
}

// A third unit under Head Office with an employee on 300,000: with Head
// Office chosen, a page each for Finance (MH001), Head Office itself (MH002)
// and Transport; MH003 has no unit and is not chosen.
TEST_F(ControlAccountTest, ByUnitThreeUnitsMakeThreePages) {
    setBreakdown(1);
    const long transport = addUnit("Transport", kHeadOffice);
    addEmployeeIn("MH010", "Lyimo", transport);
    writePeriodFile();
    const auto report = controlAccount(common::kGroupByUnit, "Head Office");
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->breakdown(), 1);
    ASSERT_EQ(report->pageCount(), 3);
    ASSERT_EQ(report->totals().size(), 3u);
    EXPECT_EQ(report->totals()[0].key, "Finance");
    EXPECT_EQ(report->totals()[0].netPay, 870450);
    EXPECT_EQ(report->totals()[1].key, "Head Office");
    EXPECT_EQ(report->totals()[1].netPay, 360000);
    EXPECT_EQ(report->totals()[2].key, "Transport");
    EXPECT_EQ(report->totals()[2].basicPay, 300000);
    EXPECT_EQ(groupLines(*report), (Lines{"March 2025 : Head Office Unit, Finance Sub-Unit",
                                          "March 2025 : Head Office Unit, Head Office Sub-Unit",
                                          "March 2025 : Head Office Unit, Transport Sub-Unit"}));
}

// With no unit chosen the pages go by top unit: MH003 (none) then Head
// Office with MH001 and MH002.
TEST_F(ControlAccountTest, ByUnitWithoutAChoice) {
    setBreakdown(1);
    const auto report = controlAccount();
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(groupLines(*report), (Lines{"March 2025 :  Unit", "March 2025 : Head Office Unit"}));
    EXPECT_EQ(report->totals()[1].basicPay, 1400000);
    EXPECT_EQ(report->totals()[1].paye, 160500);
}

// A chosen unit that makes one page names the unit alone.
TEST_F(ControlAccountTest, ByUnitOnePageNamesTheUnit) {
    setBreakdown(1);
    const auto report = controlAccount(common::kGroupByUnit, "Finance");
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(groupLines(*report), (Lines{"March 2025 : Finance Unit"}));
}

TEST_F(ControlAccountTest, ByStation) {
    setBreakdown(2);
    const auto report = controlAccount();
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(groupLines(*report),
              (Lines{"March 2025 :  Station", "March 2025 : Dar es Salaam Station",
                     "March 2025 : Mbeya Station"}));
    expectGoldenFile(*report->exportText(), "controlaccount_stations.txt");
    // Mbeya is MH001 alone: his items summed on their own.
    const ControlTotal& mbeya = report->totals()[2];
    ASSERT_EQ(mbeya.itemsOf(common::DEDUCTIONS).size(), 6u);
    EXPECT_EQ(mbeya.itemsOf(common::DEDUCTIONS)[1].definition->name, "Walimu SACCOS");
    EXPECT_EQ(mbeya.itemsOf(common::DEDUCTIONS)[1].amount, 20000);
}

TEST_F(ControlAccountTest, GroupLinesOfEveryChoice) {
    const auto line = [&](int breakdown, std::int32_t groupBy, const std::string& name,
                          bool onePage) {
        return controlGroupLine("March 2025",
                                paramOf(common::kReportPeriodControlAccount, groupBy, name),
                                breakdown, "Key", onePage);
    };
    EXPECT_EQ(line(0, 0, "", false), "March 2025 : All Units");
    EXPECT_EQ(line(0, common::kGroupByStation, "Mbeya", false), "March 2025 : Mbeya Station");
    EXPECT_EQ(line(1, 0, "", false), "March 2025 : Key Unit");
    EXPECT_EQ(line(1, common::kGroupByUnit, "Finance", false),
              "March 2025 : Finance Unit, Key Sub-Unit");
    EXPECT_EQ(line(1, common::kGroupByUnit, "Finance", true), "March 2025 : Finance Unit");
    EXPECT_EQ(line(1, common::kGroupByStation, "Mbeya", false),
              "March 2025 : Mbeya Station, Key Unit");
    EXPECT_EQ(line(2, 0, "", false), "March 2025 : Key Station");
    EXPECT_EQ(line(2, common::kGroupByUnit, "Finance", false),
              "March 2025 : Finance Unit, Key Station");
}

// The option is that of report 33, not of 201 that the account runs as.
TEST_F(ControlAccountTest, TheBreakdownIsReadUnderTheControlAccount) {
    setReportOption(common::kReportPeriodControlAccount, database::kOptionBreakdown, 2);
    const auto report = controlAccount();
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->breakdown(), 0);
    EXPECT_EQ(report->pageCount(), 1);
}

// The page from the top margin of 15 mm and the left margin of 25 mm.
TEST_F(ControlAccountTest, ThePageLaidOut) {
    const auto report = controlAccount();
    ASSERT_TRUE(report) << messages();
    RecordingCanvas canvas;
    EXPECT_TRUE(report->print(canvas, common::PRINTERREC{}));
    expectGoldenFile(canvasListing(canvas), "controlaccount_page.txt");
    const auto at = [&](const std::string& text) {
        const auto found = canvas.findText(text);
        EXPECT_EQ(found.size(), 1u) << text;
        return found.empty() ? common::RectMm{} : found[0].rect;
    };
    EXPECT_DOUBLE_EQ(at("Payroll Control Account").top, 23);
    EXPECT_DOUBLE_EQ(at("Sh.").left, 150);
    EXPECT_DOUBLE_EQ(at("Sh.").top, 45);
    EXPECT_DOUBLE_EQ(at("Pay").top, 51);
    EXPECT_DOUBLE_EQ(at("Basic Pay").left, 30);
    EXPECT_DOUBLE_EQ(at("Basic Pay").top, 57);
    EXPECT_DOUBLE_EQ(at("1,588,238").left, 150);
    EXPECT_DOUBLE_EQ(at("Page 1 of 1").top, 280);
    EXPECT_EQ(canvas.findText("DATE:" + std::string(90, '.')).size(), 1u);
    EXPECT_EQ(canvas.findText("1,999,894").size(), 2u);
}

} // namespace
} // namespace kelo::payrunreports::testing
