#include "PaymentListFixture.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

using common::kReportBankTransfer;
using testsupport::RecordingCanvas;

// The text split at its CR LF line ends.
Texts linesOfText(const std::string& text) {
    Texts lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Two more employees paid by bank: MH007 Zuberi 450,000 into NMB Bank,
// MH008 Abdallah 520,000 into CRDB Bank; with MH001's 870,450 the net pay
// by bank is 1,840,450.
struct BankRepTest : PaymentListFixture {
    void SetUp() override {
        PaymentListFixture::SetUp();
        if (HasFatalFailure())
            return;
        addBankEmployee("MH007", "Zuberi", "Omari", "19900101-00007", "NMB Bank", "Dodoma",
                        "2040000007", 450000);
        addBankEmployee("MH008", "Abdallah", "Zainab", "19880505-00008", "CRDB Bank", "Mbeya",
                        "0152000008", 520000);
        writePeriodFile();
    }
};

TEST_F(BankRepTest, NetPayByBankInNameOrderWhateverTheSortOption) {
    for (const int sortKey : {0, 1, 2}) {
        setListOption(kReportBankTransfer, database::kOptionSortKey, sortKey);
        const auto report = read<BANKREP>(listParam(kReportBankTransfer, "Net Pay"));
        ASSERT_TRUE(report) << messages();
        // MH002 (cash) and MH003 (cheque) are left out.
        EXPECT_EQ(empNums(*report), (Texts{"MH008", "MH001", "MH007"})) << sortKey;
    }
    const auto report = read<BANKREP>(listParam(kReportBankTransfer, "Net Pay"));
    EXPECT_EQ(report->caption(), "Bank Transfer Report");
    EXPECT_EQ(report->orientation(), common::Orientation::Landscape);
    EXPECT_EQ(report->rowsPerPage(), 23);
    EXPECT_EQ(cellsOf(*report, 1), (Texts{"2.", "Mwakyusa, Emmanuel", "19680314-53101", "CRDB Bank",
                                          "Mbeya", "0152000001", "870,450"}));
    EXPECT_EQ(report->rows()[1].figures, (std::vector<double>{0, 0, 0, 0, 0, 0, 870450}));
}

TEST_F(BankRepTest, TheExportOfNetPayByBank) {
    const auto report = read<BANKREP>(listParam(kReportBankTransfer, "Net Pay"));
    ASSERT_TRUE(report) << messages();
    const std::string text = report->exportText().value_or("");
    const Texts golden = linesOfText(
        bytesOf((std::filesystem::path(__FILE__).parent_path() / "golden" / "bankrep_net_pay.txt")
                    .string()));
    const Texts lines = linesOfText(text);
    ASSERT_EQ(lines.size(), golden.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], golden[i]) << "line " << i + 1;
    expectGoldenFile(text, "bankrep_net_pay.txt");
}

TEST_F(BankRepTest, TheTitleNamesTheSelectionOnlyWhenThereIsOne) {
    struct Case {
        std::int32_t groupBy;
        const char* group;
        const char* title;
    };
    const Case cases[] = {
        {0, "", "Net Pay Bank Transfer Report - March 2025"},
        {common::kGroupByBank, "CRDB Bank",
         "Net Pay Bank Transfer Report - March 2025 : CRDB Bank"},
        {common::kGroupByUnit, "Finance",
         "Net Pay Bank Transfer Report - March 2025 : Finance Unit"},
    };
    for (const Case& c : cases) {
        const auto report =
            read<BANKREP>(listParam(kReportBankTransfer, "Net Pay", c.groupBy, c.group));
        ASSERT_TRUE(report) << messages();
        EXPECT_EQ(linesOfText(*report->exportText()).at(1), std::string(c.title) + "\t");
        RecordingCanvas canvas(297, 210);
        ASSERT_TRUE(report->print(canvas, common::PRINTERREC{}));
        EXPECT_EQ(canvas.findText(c.title).size(), 1u) << c.title;
    }
}

// A bank loan payment goes to the loan's bank, branch and loan number, for
// any employee however paid: MH002 is paid in cash.
TEST_F(BankRepTest, ABankLoanPaymentShowsTheLoanAccount) {
    payBankLoan("MH002", 12000, "NMB Bank", "Dar es Salaam", "LN-88");
    writePeriodFile();
    const auto report = read<BANKREP>(listParam(kReportBankTransfer, "CRDB Loan"));
    ASSERT_TRUE(report) << messages();
    ASSERT_EQ(report->rows().size(), 2u);
    EXPECT_EQ(cellsOf(*report, 0),
              (Texts{"1.", "Banda, Grace", "", "NMB Bank", "Dar es Salaam", "LN-88", "12,000"}));
    EXPECT_EQ(cellsOf(*report, 1), (Texts{"2.", "Mwakyusa, Emmanuel", "19680314-53101", "CRDB Bank",
                                          "Mbeya", "LN-77", "30,000"}));
    EXPECT_EQ(linesOfText(*report->exportText()).back(), "\t\t\t\t\tTotal\t42,000\t");
}

// The page of the payroll summary's model: 23 rows of 5 mm from 29 mm below
// the 10 mm margin, the total at 145 mm, signatures at 155 mm without
// "Checked by".
TEST_F(BankRepTest, ThePageOfTheBankTransferReport) {
    const auto report = read<BANKREP>(listParam(kReportBankTransfer, "Net Pay"));
    ASSERT_TRUE(report) << messages();
    RecordingCanvas canvas(297, 210);
    ASSERT_TRUE(report->print(canvas, common::PRINTERREC{}));
    constexpr int kHeading = 16 | 4 | 64;
    constexpr int kRow = 4 | 32;
    const Placed placed[] = {
        {"Kilimo Traders Ltd", 15, 10, 265, 8, "Arial", 14, 700, 1 | 4 | 32},
        {"Name", 28, 28, 46, 10.5, "Arial", 8, 700, kHeading},
        {"ID Number", 77, 28, 31, 10.5, "Arial", 8, 700, kHeading},
        {"Bank", 111, 28, 39, 10.5, "Arial", 8, 700, kHeading},
        {"Branch", 153, 28, 39, 10.5, "Arial", 8, 700, kHeading},
        {"Account Number", 195, 28, 39, 10.5, "Arial", 8, 700, kHeading},
        {"Amount", 237, 28, 26, 10.5, "Arial", 8, 700, kHeading | 2},
        {"1.", 17, 39, 8, 5, "Arial Narrow", 8, 400, kRow | 2},
        {"Abdallah, Zainab", 28, 39, 46, 5, "Arial Narrow", 8, 400, kRow},
        {"2040000007", 195, 49, 39, 5, "Arial Narrow", 8, 400, kRow},
        {"1,840,450", 237, 155, 26, 6, "Arial Narrow", 8, 400, kRow | 2},
        {"Grand Total", 15, 155, 60.5, 6, "Arial", 8, 700, 1 | 4 | 32},
    };
    for (const Placed& p : placed)
        expectPlaced(canvas, p);
    EXPECT_TRUE(canvas.findText("Checked by").empty());
    EXPECT_TRUE(canvas.findText(signLine("DATE:")).empty());
    const Texts signatures{signLine("NAME:"), signLine("SIGNATURE:"), signLine("DESIGNATION:")};
    for (std::size_t i = 0; i < signatures.size(); ++i) {
        const auto line = canvas.findText(signatures[i]);
        ASSERT_EQ(line.size(), 1u) << signatures[i];
        EXPECT_DOUBLE_EQ(line.front().rect.top, 165 + 5 * static_cast<double>(i));
        EXPECT_EQ(line.front().font, (common::Font{"Arial", 8, 400}));
    }
    EXPECT_TRUE(linesOf(canvas, common::PenStyle::Dot).empty());
    EXPECT_EQ(linesOf(canvas, common::PenStyle::Solid),
              (Texts{"15 27 264.5 27", "15 37 264.5 37", "15 155 264.5 155", "15 161 264.5 161",
                     "15 27 15 161", "75.5 27 75.5 161", "109.5 27 109.5 161", "151.5 27 151.5 161",
                     "193.5 27 193.5 161", "235.5 27 235.5 161", "264.5 27 264.5 161"}));
    EXPECT_DOUBLE_EQ(canvas.findText("Page 1 of 1").front().rect.top, 185);
}

} // namespace
} // namespace kelo::payrunreports::testing
