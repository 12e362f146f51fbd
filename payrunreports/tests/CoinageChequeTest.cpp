#include "PaymentListFixture.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

using common::kReportChequeList;
using common::kReportCoinage;
using testsupport::RecordingCanvas;

constexpr int kBand = 1 | 4 | 32;     // centred, single line
constexpr int kHeading = 16 | 4 | 64; // word-wrapped, unclipped
constexpr int kMiddle = 4 | 32;       // centred vertically
constexpr int kFoot = 8 | 32;         // on the row's foot

using CoinageTest = PaymentListFixture;
using ChequeListTest = PaymentListFixture;

TEST_F(CoinageTest, TheSummaryOfNetPayInCash) {
    const auto report = read<COINAGEREP>(listParam(kReportCoinage, "Net Pay"));
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Coinage Summary");
    EXPECT_EQ(report->orientation(), common::Orientation::Portrait);
    EXPECT_FALSE(report->exportText());
    // MH002's 360,000 only: 36 notes of 10000; the other nine are left out.
    ASSERT_EQ(report->summary().size(), 10u);
    EXPECT_EQ(report->summary()[0], (CoinTotal{10000, 36, 360000}));
    EXPECT_EQ(report->summary()[9], (CoinTotal{10, 0, 0}));
    ASSERT_EQ(report->rows().size(), 1u);
    EXPECT_EQ(cellsOf(*report, 0), (Texts{"1.", "10000", "36", "360,000"}));
    EXPECT_EQ(report->rows()[0].figures, (std::vector<double>{0, 10000, 36, 360000}));
    EXPECT_EQ(report->exportCsv(),
              "\xEF\xBB\xBF,Denomination (Shs.),Count,Value (Shs.)\r\n1.,10000,36,360000\r\n");

    RecordingCanvas canvas;
    ASSERT_TRUE(report->print(canvas, common::PRINTERREC{}));
    // Columns 2 mm inside the 15 mm margin and 3 mm apart; one row of 6 mm
    // from 29 mm below the 10 mm margin, the total 1 mm under it.
    const Placed placed[] = {
        {"Kilimo Traders Ltd", 15, 10, 180, 8, "Arial", 14, 700, kBand},
        {"Net Pay Coinage Summary - March 2025 : All Units", 15, 18, 180, 8, "Arial", 11, 400,
         kBand},
        {"Denomination\n(Shs.)", 28, 28, 31, 10.5, "Arial", 9, 700, kHeading | 2},
        {"Count", 62, 28, 34, 10.5, "Arial", 9, 700, kHeading | 2},
        {"Value\n(Shs.)", 99, 28, 36, 10.5, "Arial", 9, 700, kHeading | 2},
        {"1.", 17, 39, 8, 6, "Arial", 9, 400, kMiddle | 2},
        {"10000", 28, 39, 31, 6, "Arial", 9, 400, kMiddle | 2},
        {"36", 62, 39, 34, 6, "Arial", 9, 400, kMiddle | 2},
        {"Grand Total", 15, 46, 82.5, 6, "Arial", 9, 700, kBand},
        {"Checked by", 15, 58, 180, 6, "Arial", 9, 400, kMiddle},
    };
    for (const Placed& p : placed)
        expectPlaced(canvas, p);
    // The value in the row and as the total; no total of the counts.
    const auto values = canvas.findText("360,000");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_DOUBLE_EQ(values[1].rect.top, 46);
    EXPECT_DOUBLE_EQ(values[1].rect.left, 99);
    EXPECT_EQ(canvas.findText("36").size(), 1u);
    EXPECT_DOUBLE_EQ(canvas.findText(signLine("DATE:")).front().rect.top, 82);
    EXPECT_DOUBLE_EQ(canvas.findText("Page 1 of 1").front().rect.top, 282);
    EXPECT_EQ(linesOf(canvas, common::PenStyle::Solid),
              (Texts{"15 27 136.5 27", "15 37 136.5 37", "15 46 136.5 46", "15 52 136.5 52",
                     "15 27 15 52", "60.5 27 60.5 46", "97.5 27 97.5 52", "136.5 27 136.5 52"}));
}

// Thirteen employees in cash still make one page, which each copy prints once.
TEST_F(CoinageTest, OnePagePrintedOncePerCopy) {
    for (int n = 0; n < 12; ++n)
        addEmployee("MH0" + std::to_string(n + 10), "Staff", std::to_string(n));
    writePeriodFile();
    const auto report = read<COINAGEREP>(listParam(kReportCoinage, "Net Pay"));
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->pageCount(), 1);
    // 36 + 12 x 30 notes of 10000.
    EXPECT_EQ(cellsOf(*report, 0), (Texts{"1.", "10000", "396", "3,960,000"}));
    struct Case {
        common::PRINTERREC printer;
        int pages;
    };
    const Case cases[] = {
        {{0, common::kPrintAllPages, 1, 1, 3}, 3},
        {{0, common::kPrintCurrentPage, 1, 1, 2}, 2},
        {{0, common::kPrintPageSpan, 2, 5, 1}, 0},
        {{1, common::kPrintAllPages, 1, 1, 3}, 1}, // the preview draws it once
    };
    for (const Case& c : cases) {
        RecordingCanvas canvas;
        ASSERT_TRUE(report->print(canvas, c.printer));
        EXPECT_EQ(canvas.pagesStarted, c.pages) << c.printer.copies;
        EXPECT_EQ(canvas.findText("Grand Total").size(), static_cast<std::size_t>(c.pages));
        EXPECT_EQ(canvas.documentsEnded, 1);
    }
}

TEST_F(CoinageTest, TheSummaryTakesAnotherListOfNotesAndCoins) {
    const auto report =
        read<COINAGEREP>(listParam(kReportCoinage, "Net Pay"), Denominations{50000, 7000, 0.5});
    ASSERT_TRUE(report) << messages();
    // 360,000 = 7 x 50,000 + 1 x 7,000 + 6,000 x 0.50.
    EXPECT_EQ(report->summary(),
              (std::vector<CoinTotal>{{50000, 7, 350000}, {7000, 1, 7000}, {0.5, 6000, 3000}}));
    ASSERT_EQ(report->rows().size(), 3u);
    EXPECT_EQ(cellsOf(*report, 2), (Texts{"3.", "0.50", "6000", "3,000"}));
}

TEST_F(ChequeListTest, TheChequeListOfNetPay) {
    const auto report = read<CHEQUELIST>(listParam(kReportChequeList, "Net Pay"));
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Cheque List");
    EXPECT_EQ(report->orientation(), common::Orientation::Portrait);
    EXPECT_EQ(report->rowsPerPage(), 20);
    EXPECT_FALSE(report->exportText());
    // Only MH003 is paid by cheque.
    ASSERT_EQ(report->rows().size(), 1u);
    EXPECT_EQ(cellsOf(*report, 0), (Texts{"1.", "MH003", "Kileo, Ali Hassan", "188,238"}));
    EXPECT_EQ(report->rows()[0].figures, (std::vector<double>{0, 0, 0, 188238}));

    RecordingCanvas canvas;
    ASSERT_TRUE(report->print(canvas, common::PRINTERREC{}));
    // Twenty rows of 9.5 mm from 29 mm, then 1 mm: the total at 220 mm below
    // the 10 mm margin.
    const Placed placed[] = {
        {"Net Pay Cheque List - March 2025 : All Units", 15, 18, 180, 8, "Arial", 11, 400, kBand},
        {"Employee\nNumber", 28, 28, 28.5, 10.5, "Arial", 9, 700, kHeading},
        {"Name", 59.5, 28, 52, 10.5, "Arial", 9, 700, kHeading},
        {"Net Pay", 114.5, 28, 22.5, 10.5, "Arial", 9, 700, kHeading | 2},
        {"Signature", 140, 28, 45, 10.5, "Arial", 9, 700, kHeading},
        {"MH003", 28, 39, 28.5, 9.5, "Arial", 9, 400, kFoot},
        {"Kileo, Ali Hassan", 59.5, 39, 52, 9.5, "Arial", 9, 400, kFoot},
        {"Grand Total", 15, 230, 98, 6, "Arial", 9, 700, kBand},
        {"Checked by", 15, 241, 180, 6, "Arial", 9, 400, kMiddle},
    };
    for (const Placed& p : placed)
        expectPlaced(canvas, p);
    const auto amounts = canvas.findText("188,238");
    ASSERT_EQ(amounts.size(), 2u);
    EXPECT_EQ(amounts[0].font.face, "Arial Narrow");
    EXPECT_DOUBLE_EQ(amounts[0].rect.left, 114.5);
    EXPECT_DOUBLE_EQ(amounts[1].rect.top, 230);
    EXPECT_DOUBLE_EQ(canvas.findText(signLine("DATE:")).front().rect.top, 265);
    EXPECT_EQ(linesOf(canvas, common::PenStyle::Dot), (Texts{"140 47.5 185 47.5"}));
    EXPECT_EQ(linesOf(canvas, common::PenStyle::Solid),
              (Texts{"15 27 186.5 27", "15 37 186.5 37", "15 230 186.5 230", "15 236 186.5 236",
                     "15 27 15 236", "58 27 58 230", "113 27 113 236", "138.5 27 138.5 236",
                     "186.5 27 186.5 236"}));
}

} // namespace
} // namespace kelo::payrunreports::testing
