#include "PaymentListFixture.h"
#include "payrunreports/PayRunReports.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

using common::kReportCashList;
using common::kReportCoinage;
using testsupport::RecordingCanvas;

using CashListTest = PaymentListFixture;

TEST_F(CashListTest, ACashListOfNetPayHasOnlyTheEmployeesPaidInCash) {
    // MH001 (bank) and MH003 (cheque) have a positive net pay too.
    const auto report = read<CASHLIST>(listParam(kReportCashList, "Net Pay"));
    ASSERT_TRUE(report) << messages();
    ASSERT_EQ(empNums(*report), (Texts{"MH002"}));
    // 360,000 is 36 notes of 10000.
    EXPECT_EQ(cellsOf(*report, 0), (Texts{"1.", "MH002", "Banda, Grace", "36", "0", "0", "0", "0",
                                          "0", "0", "0", "0", "0", "360,000"}));
    EXPECT_EQ(report->rows()[0].figures,
              (std::vector<double>{0, 0, 0, 36, 0, 0, 0, 0, 0, 0, 0, 0, 0, 360000}));
    EXPECT_EQ(report->coinCounts(),
              (std::vector<std::vector<int>>{{36, 0, 0, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(report->caption(), "Cash List");
    EXPECT_EQ(report->orientation(), common::Orientation::Landscape);
    EXPECT_EQ(report->rowsPerPage(), 12);
    EXPECT_FALSE(report->exportText());
}

// The spreadsheet export: counts and amount as plain figures, the columns
// to write in left empty.
TEST_F(CashListTest, TheCsvExportHasTheCountsAsFigures) {
    const auto report = read<CASHLIST>(listParam(kReportCashList, "Net Pay"));
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->exportCsv(),
              "\xEF\xBB\xBF,Employee Number,Name,10000 sh,5000 sh,2000 sh,1000 sh,500 sh,200 sh,"
              "100 sh,50 sh,20 sh,10 sh,Amount,ID Number,Signature\r\n"
              "1.,MH002,\"Banda, Grace\",36,0,0,0,0,0,0,0,0,0,360000,,\r\n");
}

// A cash advance: the notes and coins of the amount, and what is left below
// 10 shillings shows in the amount only. The coinage summary counts the
// same notes and coins.
TEST_F(CashListTest, TheNotesAndCoinsOfAnAdvanceOnTheCashListAndTheCoinage) {
    struct Case {
        double amount;
        Texts cash;
        std::vector<Texts> coinage;
        const char* total;
    };
    const Case cases[] = {
        {9990,
         {"1.", "MH002", "Banda, Grace", "0", "1", "2", "0", "1", "2", "0", "1", "2", "0", "9,990"},
         {{"1.", "5000", "1", "5,000"},
          {"2.", "2000", "2", "4,000"},
          {"3.", "500", "1", "500"},
          {"4.", "200", "2", "400"},
          {"5.", "50", "1", "50"},
          {"6.", "20", "2", "40"}},
         "9,990"},
        // 10000 + 5000 + 20 + 10 = 15,030 in notes and coins; the 5 left is in
        // the amount only.
        {15035,
         {"1.", "MH002", "Banda, Grace", "1", "1", "0", "0", "0", "0", "0", "0", "1", "1",
          "15,035"},
         {{"1.", "10000", "1", "10,000"},
          {"2.", "5000", "1", "5,000"},
          {"3.", "20", "1", "20"},
          {"4.", "10", "1", "10"}},
         "15,030"},
    };
    for (const Case& c : cases) {
        payBankLoan("MH002", c.amount, "NMB Bank", "Dar es Salaam", "LN-88");
        writePeriodFile();
        // MH001 pays the same deduction but is paid by bank.
        const auto cash = read<CASHLIST>(listParam(kReportCashList, "CRDB Loan"));
        ASSERT_TRUE(cash) << messages();
        ASSERT_EQ(cash->rows().size(), 1u) << c.amount;
        EXPECT_EQ(cellsOf(*cash, 0), c.cash) << c.amount;

        const auto coinage = read<COINAGEREP>(listParam(kReportCoinage, "CRDB Loan"));
        ASSERT_TRUE(coinage) << messages();
        std::vector<Texts> rows;
        for (std::size_t r = 0; r < coinage->rows().size(); ++r)
            rows.push_back(cellsOf(*coinage, r));
        EXPECT_EQ(rows, c.coinage) << c.amount;
        RecordingCanvas canvas;
        ASSERT_TRUE(coinage->print(canvas, common::PRINTERREC{}));
        const auto label = canvas.findText("Grand Total");
        ASSERT_EQ(label.size(), 1u);
        const auto total = canvas.findText(c.total);
        ASSERT_FALSE(total.empty()) << c.total;
        EXPECT_DOUBLE_EQ(total.back().rect.top, label.front().rect.top) << c.amount;
    }
}

// Without the 20 and 10 shilling coins, as the clerk chose them in the cash
// list's options: 9,990 is 5000 + 2 x 2000 + 500 + 2 x 200 + 50 = 9,950, and
// the 40 left shows in the amount only. The coinage summary, made by the same
// choice, draws the same notes and coins.
TEST_F(CashListTest, BothReportsCountInTheNotesAndCoinsTheClerkChose) {
    payBankLoan("MH002", 9990, "NMB Bank", "Dar es Salaam", "LN-88");
    writePeriodFile();
    setListOption(kReportCashList, database::kOptionDenominations, 0xFF);
    const auto laidOut = [this](std::int32_t type) {
        std::unique_ptr<PERIODREP> report =
            newPayRunReport(ui, code, folder, listParam(type, "CRDB Loan"));
        if (report && report->readFile(org)) {
            report->arrange();
            report->layOut();
        }
        return report;
    };

    const auto cash = laidOut(kReportCashList);
    ASSERT_TRUE(cash) << messages();
    Texts headings;
    for (const auto& column : cash->columns())
        headings.push_back(column.heading);
    EXPECT_EQ(headings,
              (Texts{"", "Employee\nNumber", "Name", "10000 sh", "5000 sh", "2000 sh", "1000 sh",
                     "500 sh", "200 sh", "100 sh", "50 sh", "Amount", "ID Number", "Signature"}));
    ASSERT_EQ(cash->rows().size(), 1u);
    EXPECT_EQ(cellsOf(*cash, 0), (Texts{"1.", "MH002", "Banda, Grace", "0", "1", "2", "0", "1", "2",
                                        "0", "1", "9,990"}));

    const auto coinage = laidOut(kReportCoinage);
    ASSERT_TRUE(coinage) << messages();
    std::vector<Texts> rows;
    for (std::size_t r = 0; r < coinage->rows().size(); ++r)
        rows.push_back(cellsOf(*coinage, r));
    EXPECT_EQ(rows, (std::vector<Texts>{{"1.", "5000", "1", "5,000"},
                                        {"2.", "2000", "2", "4,000"},
                                        {"3.", "500", "1", "500"},
                                        {"4.", "200", "2", "400"},
                                        {"5.", "50", "1", "50"}}));
    RecordingCanvas canvas;
    ASSERT_TRUE(coinage->print(canvas, common::PRINTERREC{}));
    EXPECT_FALSE(canvas.findText("9,950").empty());
    EXPECT_TRUE(canvas.findText("9,990").empty());
}

// A table from before the option, or one holding none of the ten, pays
// out in all ten.
TEST_F(CashListTest, NoChoiceOfNotesAndCoinsCountsInAllTen) {
    for (const int chosen : {0, 0x400}) {
        setListOption(kReportCashList, database::kOptionDenominations, chosen);
        const auto report =
            newPayRunReport(ui, code, folder, listParam(kReportCashList, "Net Pay"));
        const auto* cash = dynamic_cast<const CASHLIST*>(report.get());
        ASSERT_NE(cash, nullptr);
        EXPECT_EQ(cash->denominations(),
                  (Denominations{10000, 5000, 2000, 1000, 500, 200, 100, 50, 20, 10}))
            << chosen;
    }
}

TEST_F(CashListTest, TheColumnsFollowTheListOfNotesAndCoins) {
    const auto standard = read<CASHLIST>(listParam(kReportCashList, "Net Pay"));
    ASSERT_TRUE(standard) << messages();
    Texts headings;
    for (const auto& column : standard->columns())
        headings.push_back(column.heading);
    EXPECT_EQ(headings, (Texts{"", "Employee\nNumber", "Name", "10000 sh", "5000 sh", "2000 sh",
                               "1000 sh", "500 sh", "200 sh", "100 sh", "50 sh", "20 sh", "10 sh",
                               "Amount", "ID Number", "Signature"}));
    // Two notes only: their band is 16 mm and the amount moves left by 64.
    const auto two =
        read<CASHLIST>(listParam(kReportCashList, "Net Pay"), Denominations{1000, 500});
    ASSERT_TRUE(two) << messages();
    struct Column {
        const char* heading;
        double left, width;
    };
    const Column expected[] = {{"", 2, 8},
                               {"Employee\nNumber", 13, 24.5},
                               {"Name", 40.5, 50},
                               {"1000 sh", 93.5, 8},
                               {"500 sh", 101.5, 8},
                               {"Amount", 112.5, 20.5},
                               {"ID Number", 136, 22},
                               {"Signature", 161, 27}};
    ASSERT_EQ(two->columns().size(), std::size(expected));
    for (std::size_t c = 0; c < std::size(expected); ++c) {
        EXPECT_EQ(two->columns()[c].heading, expected[c].heading);
        EXPECT_DOUBLE_EQ(two->columns()[c].left, expected[c].left) << expected[c].heading;
        EXPECT_DOUBLE_EQ(two->columns()[c].width, expected[c].width) << expected[c].heading;
    }
    // 360,000 is 360 notes of 1000.
    EXPECT_EQ(cellsOf(*two, 0), (Texts{"1.", "MH002", "Banda, Grace", "360", "0", "360,000"}));
}

// Positions in millimetres from the paper's edge: margins 15 mm left and 10
// mm top; columns 2 mm inside the margin, 3 mm apart, the ten counts of 8 mm
// touching from 93.5 mm.
TEST_F(CashListTest, ThePageOfTheCashList) {
    const auto report = read<CASHLIST>(listParam(kReportCashList, "Net Pay"));
    ASSERT_TRUE(report) << messages();
    RecordingCanvas canvas(297, 210);
    ASSERT_TRUE(report->print(canvas, common::PRINTERREC{}));
    ASSERT_EQ(canvas.pagesStarted, 1);
    constexpr int kBand = 1 | 4 | 32;     // centred, single line
    constexpr int kHeading = 16 | 4 | 64; // word-wrapped, unclipped
    constexpr int kRow = 8 | 32;          // on the row's foot
    const Placed placed[] = {
        {"Kilimo Traders Ltd", 15, 10, 265, 8, "Arial", 14, 700, kBand},
        {"Net Pay Cash List - March 2025 : All Units", 15, 18, 265, 8, "Arial", 11, 400, kBand},
        {"Employee\nNumber", 28, 28, 24.5, 10.5, "Arial", 9, 700, kHeading},
        {"10000 sh", 108.5, 28, 8, 10.5, "Arial", 9, 700, kHeading | 2},
        {"10 sh", 180.5, 28, 8, 10.5, "Arial", 9, 700, kHeading | 2},
        {"Amount", 191.5, 28, 20.5, 10.5, "Arial", 9, 700, kHeading | 2},
        {"Signature", 240, 28, 27, 10.5, "Arial", 9, 700, kHeading},
        {"1.", 17, 39, 8, 8.5, "Arial", 9, 400, kRow | 2},
        {"Banda, Grace", 55.5, 39, 50, 8.5, "Arial", 9, 400, kRow},
        {"360,000", 191.5, 39, 20.5, 8.5, "Arial Narrow", 9, 400, kRow | 2},
        // Twelve rows of 8.5 mm from 29 mm, then 1 mm.
        {"Grand Total", 15, 142, 92, 6, "Arial", 9, 700, kBand},
        {"Checked by", 15, 152, 265, 5.5, "Arial", 9, 400, 4 | 32},
    };
    for (const Placed& p : placed)
        expectPlaced(canvas, p);
    // The footer 175 mm below the margin.
    EXPECT_DOUBLE_EQ(canvas.findText("Page 1 of 1").front().rect.top, 185);
    // The 10000 column holds 36 in the row and in the total.
    const auto counts = canvas.findText("36");
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts[0].font.face, "Arial Narrow");
    EXPECT_DOUBLE_EQ(counts[0].rect.left, 108.5);
    EXPECT_DOUBLE_EQ(counts[1].rect.top, 142);
    EXPECT_EQ(canvas.findText("360,000").size(), 2u);
    // Every other count is 0: nine in the row and nine in the total.
    EXPECT_EQ(canvas.findText("0").size(), 18u);

    const Texts signatures{signLine("NAME:"), signLine("SIGNATURE:"), signLine("DESIGNATION:"),
                           signLine("DATE:")};
    for (std::size_t i = 0; i < signatures.size(); ++i) {
        const auto line = canvas.findText(signatures[i]);
        ASSERT_EQ(line.size(), 1u) << signatures[i];
        EXPECT_DOUBLE_EQ(line.front().rect.top, 157.5 + 5.5 * static_cast<double>(i));
    }
    // A dotted line 1 mm above the row's foot under "ID Number" and "Signature".
    EXPECT_EQ(linesOf(canvas, common::PenStyle::Dot),
              (Texts{"215 46.5 237 46.5", "240 46.5 267 46.5"}));
    // Rules at 17, 27, 132 and 138 mm below the margin; between the columns
    // but not between the counts; the rule between number and name stops
    // over the totals label.
    EXPECT_EQ(linesOf(canvas, common::PenStyle::Solid),
              (Texts{"15 27 268.5 27", "15 37 268.5 37", "15 142 268.5 142", "15 148 268.5 148",
                     "15 27 15 148", "54 27 54 142", "107 27 107 148", "190 27 190 148",
                     "213.5 27 213.5 148", "238.5 27 238.5 148", "268.5 27 268.5 148"}));
}

// Twelve employees to a page: the first page carries its totals forward.
// MH002 is paid 360,000 (36 notes of 10000) and twelve more 300,000 each (30).
TEST_F(CashListTest, ThirteenEmployeesMakeTwoPagesWithCarriedForwardCounts) {
    for (int n = 0; n < 12; ++n)
        addEmployee("MH0" + std::to_string(n + 10), "Staff", std::to_string(n));
    writePeriodFile();
    const auto report = read<CASHLIST>(listParam(kReportCashList, "Net Pay"));
    ASSERT_TRUE(report) << messages();
    ASSERT_EQ(report->pageCount(), 2);
    // Page 1: 36 + 11 x 30 = 366 notes, 360,000 + 11 x 300,000 = 3,660,000.
    // Page 2 adds one more: 396 notes, 3,960,000.
    struct Case {
        int page;
        const char* label;
        const char* count;
        const char* amount;
    };
    const Case cases[] = {{1, "Total C/F", "366", "3,660,000"},
                          {2, "Grand Total", "396", "3,960,000"}};
    RecordingCanvas canvas(297, 210);
    ASSERT_TRUE(report->print(canvas, common::PRINTERREC{}));
    for (const Case& c : cases) {
        const auto totals = report->totalsThrough(c.page);
        EXPECT_EQ(totals.at(3), std::stod(c.count)) << c.page;
        const Texts texts = canvas.textsOnPage(c.page);
        for (const char* text : {c.label, c.count, c.amount})
            EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end())
                << text << " on page " << c.page;
        for (const auto& e : canvas.findText(c.count))
            EXPECT_DOUBLE_EQ(e.rect.left, 108.5) << c.page;
    }
    EXPECT_EQ(canvas.findText("Total C/F").front().page, 1);
    EXPECT_EQ(canvas.findText("Grand Total").front().page, 2);
    EXPECT_EQ(cellsOf(*report, 12)[0], "13.");
    EXPECT_EQ(cellsOf(*report, 12)[1], "MH021");
    EXPECT_EQ(cellsOf(*report, 12)[3], "30");
}

// The cash list follows its own "Sort Key", not the cheque list's.
TEST_F(CashListTest, TheCashListIsSortedByItsOwnOption) {
    addEmployee("MH010", "Abdallah", "Zainab");
    writePeriodFile();
    struct Case {
        std::int32_t report;
        int sortKey;
        Texts order;
    };
    const Case cases[] = {
        {kReportCashList, 0, {"MH002", "MH010"}},
        {common::kReportChequeList, 1, {"MH002", "MH010"}},
        {kReportCashList, 1, {"MH010", "MH002"}},
    };
    for (const Case& c : cases) {
        setListOption(c.report, database::kOptionSortKey, c.sortKey);
        const auto report = read<CASHLIST>(listParam(kReportCashList, "Net Pay"));
        ASSERT_TRUE(report) << messages();
        EXPECT_EQ(empNums(*report), c.order) << c.report << " " << c.sortKey;
        setListOption(c.report, database::kOptionSortKey, 0);
    }
}

} // namespace
} // namespace kelo::payrunreports::testing
