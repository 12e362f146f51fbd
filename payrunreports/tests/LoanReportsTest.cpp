#include "payrunreports/LoanReports.h"

#include "FieldReportFixture.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

using namespace common;

struct LoanReportsTest : FieldReportFixture {
    // Two co-op loans beside the company loan: Mwakyusa owes Walimu, his
    // first co-operative; Banda owes Afya, her second; Kileo owes Afya
    // without being a member.
    void addCoopLoans() {
        PeriodFile file = readBack();
        addDeduction(file, "Walimu Loan", kCoopLoanReport, "Walimu SACCOS");
        addDeduction(file, "Afya Loan", kCoopLoanReport, "Afya SACCOS");
        ReportItem& walimu = item(employee(file, "MH001"), "Walimu Loan");
        walimu.amount = 25000;
        walimu.figures = LoanFigures{500000, 5000, 5000, 20000, 480000, 12, 19, 12, 0};
        ReportItem& afya = item(employee(file, "MH002"), "Afya Loan");
        afya.amount = 10000;
        afya.figures = LoanFigures{200000, 2000, 2000, 8000, 192000, 12, 24, 12, 0};
        ReportItem& kileo = item(employee(file, "MH003"), "Afya Loan");
        kileo.amount = 5000;
        kileo.figures = LoanFigures{50000, 500, 500, 4500, 45500, 12, 10, 12, 0};
        writeBack(file);
    }
};

TEST_F(LoanReportsTest, TheMembershipNumberIsTheLoansCoOperatives) {
    addCoopLoans();
    struct Case {
        std::int32_t type;
        const char* field;
        std::vector<Cells> members; // employee number and membership number
    };
    const Case cases[] = {
        {kReportCoopLoan, "Walimu Loan", {{"MH001", "W-100"}}},            // first
        {kReportCoopLoan, "Afya Loan", {{"MH002", "A-9"}, {"MH003", ""}}}, // second; none
        {kReportCompanyLoan, "Staff Loan", {{"MH001", ""}}},               // a company loan
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const auto report = open<LOANREP>(fieldParam(c.type, c.field));
        ASSERT_TRUE(report) << messages();
        std::vector<Cells> members;
        for (const ReportRow& row : report->rows())
            members.push_back({row.cells[1], row.cells[3]});
        EXPECT_EQ(members, c.members);
    }
}

// The staff loan: 1,200,000 at 6 % a year charges 6,000; the payment of
// 100,000 pays that interest and 94,000 of principal, leaving 1,106,000.
TEST_F(LoanReportsTest, TheCompanyLoanFigures) {
    const auto report = open<LOANREP>(fieldParam(kReportCompanyLoan, "Staff Loan"));
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Staff Loan Report");
    EXPECT_EQ(report->orientation(), Orientation::Landscape);
    EXPECT_EQ(report->rowsPerPage(), 23);
    EXPECT_EQ(headings(*report), (Cells{"", "Employee\nNumber", "Name", "Membership\nNumber",
                                        "Opening\nBalance", "Interest", "\nInterest",
                                        "Payment:\nPrincipal", "\nTotal", "Closing\nBalance"}));
    EXPECT_EQ(cells(*report),
              (std::vector<Cells>{{"1.", "MH001", "Mwakyusa, Emmanuel", "", "1,200,000", "6,000",
                                   "6,000", "94,000", "100,000", "1,106,000"}}));
    EXPECT_EQ(report->rows()[0].figures,
              (std::vector<double>{0, 0, 0, 0, 1200000, 6000, 6000, 94000, 100000, 1106000}));
    // The sequence number's 8 mm, 28 + 49 + 24 + 6 x 20 mm of columns and
    // nine gaps of 3 mm: the table is as wide as the titles' span.
    EXPECT_DOUBLE_EQ(report->geometry().printableWidth, 256);
    const auto canvas = drawn(*report, 1);
    EXPECT_EQ(canvas.findText("Staff Loan - March 2025 : All Units").size(), 1u);
    // Landscape: 10 mm margin, 16 of titles, 10 of headings and 1 mm, 23
    // rows of 5 mm and 1 mm: the grand total 10 + 143 mm down.
    const auto total = canvas.findText("Grand Total");
    ASSERT_EQ(total.size(), 1u);
    EXPECT_DOUBLE_EQ(total[0].rect.top, 153);
    EXPECT_EQ(canvas.findText("1,106,000").size(), 2u);
    EXPECT_FALSE(report->exportText());
}

// The co-op loans of Afya: 10,000 + 5,000 paid; the totals add each column.
TEST_F(LoanReportsTest, CoopLoanTotals) {
    addCoopLoans();
    const auto report = open<LOANREP>(fieldParam(kReportCoopLoan, "Afya Loan"));
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->totalsThrough(1),
              (std::vector<double>{0, 0, 0, 0, 250000, 2500, 2500, 12500, 15000, 237500}));
    const auto canvas = drawn(*report, 1);
    for (const char* total : {"250,000", "2,500", "12,500", "15,000", "237,500"})
        EXPECT_GE(canvas.findText(total).size(), 1u) << total;
}

// Savings of 100,000 at 6 % earn 500; with the 10,000 deposited 110,500.
TEST_F(LoanReportsTest, TheSavingsFigures) {
    const auto report = open<SAVINGSREP>(fieldParam(kReportSavingsPlan, "Staff Savings"));
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Staff Savings Report");
    EXPECT_EQ(report->orientation(), Orientation::Landscape);
    EXPECT_EQ(headings(*report),
              (Cells{"", "Employee\nNumber", "Name", "Opening\nBalance", "Interest\nEarned",
                     "Amount\nDeposited", "Closing\nBalance"}));
    EXPECT_EQ(cells(*report), (std::vector<Cells>{{"1.", "MH001", "Mwakyusa, Emmanuel", "100,000",
                                                   "500", "10,000", "110,500"}}));
    EXPECT_EQ(drawn(*report, 1).findText("Staff Savings - March 2025 : All Units").size(), 1u);
}

// The staff loan at 6 % against the statutory 12 %: (12 - 6) x 1,200,000 /
// 1200 = 6,000 a month.
TEST_F(LoanReportsTest, TheLowInterestBenefit) {
    const auto report = open<LOWINTRREP>(fieldParam(kReportLowInterestBenefit, "Staff Loan"));
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Low Interest Benefit Report");
    EXPECT_EQ(report->orientation(), Orientation::Landscape);
    EXPECT_EQ(headings(*report), (Cells{"", "Employee Number", "Name", "Opening Balance",
                                        "Statutory Interest Rate (%)",
                                        "Employer's Interest Rate (%)", "Low Interest Benefit"}));
    EXPECT_EQ(cells(*report), (std::vector<Cells>{{"1.", "MH001", "Mwakyusa, Emmanuel", "1,200,000",
                                                   "12.00", "6.00", "6,000"}}));
    const auto canvas = drawn(*report, 1);
    EXPECT_EQ(
        canvas.findText("Low Interest Benefit for Staff Loan - March 2025 : All Units").size(), 1u);
    EXPECT_EQ(canvas.findText("Kilimo Traders Ltd")[0].font, (Font{"Arial", 14, 700}));
    // The rates are not totalled.
    EXPECT_EQ(canvas.findText("12.00").size(), 1u);
}

} // namespace
} // namespace kelo::payrunreports::testing
