#include "payrunreports/FundReports.h"

#include "FieldReportFixture.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

using namespace common;

struct FundReportsTest : FieldReportFixture {};

// PSSSF has three members: Mwakyusa (P-200, his first fund) pays 50,000
// and the employer 50,000; Banda (P-300, first) 20,000 and 20,000; Kileo
// (P-400, his second fund) 9,000 and 4,500. In name order: Banda, Kileo,
// Mwakyusa; totals 79,000 + 74,500 = 153,500.
TEST_F(FundReportsTest, PensionContributionsInNameOrder) {
    PeriodFile file = readBack();
    REPORTREC& banda = employee(file, "MH002");
    banda.pensionFundName[0] = "PSSSF";
    banda.pensionMemberNum[0] = "P-300";
    item(banda, "PSSSF").amount = 20000;
    item(banda, "PSSSF").figures = PensionFigures{20000, 120000, 120000};
    REPORTREC& kileo = employee(file, "MH003");
    kileo.pensionFundName = {"NSSF Supplementary", "PSSSF"};
    kileo.pensionMemberNum = {"S-1", "P-400"};
    item(kileo, "PSSSF").amount = 9000;
    item(kileo, "PSSSF").figures = PensionFigures{4500, 9000, 4500};
    writeBack(file);

    const auto report =
        open<PENSIONREP>(fieldParam(kReportPensionFund, "", kGroupByPensionFund, "PSSSF"), true);
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Pension Fund Report");
    EXPECT_EQ(report->orientation(), Orientation::Portrait);
    EXPECT_EQ(report->rowsPerPage(), 37);
    EXPECT_EQ(
        cells(*report),
        (std::vector<Cells>{{"1.", "Banda, Grace", "P-300", "20,000", "20,000", "40,000"},
                            {"2.", "Kileo, Ali Hassan", "P-400", "9,000", "4,500", "13,500"},
                            {"3.", "Mwakyusa, Emmanuel", "P-200", "50,000", "50,000", "100,000"}}));
    EXPECT_EQ(drawn(*report, 1).findText("PSSSF - Contributions for March 2025").size(), 1u);
    expectGoldenFile(*report->exportText(), "pension.txt");
}

// Walimu SACCOS has three items: the contribution, a loan and a benevolent
// fund; Afya's shares are not Walimu's. Banda is a Walimu member too
// (W-200, her first co-operative): 15,000 + 1,000 = 16,000. Mwakyusa
// (W-100): 20,000 + 25,000 + 1,000 = 46,000. Kileo pays Afya only and is
// no Walimu member. Totals 35,000, 25,000, 2,000 and 62,000.
TEST_F(FundReportsTest, CoopDeductionsOneColumnPerItem) {
    PeriodFile file = readBack();
    addDeduction(file, "Walimu Loan", kCoopLoanReport, "Walimu SACCOS");
    addDeduction(file, "Walimu Benevolent", kTypeCoopBenevolentFund, "Walimu SACCOS");
    addDeduction(file, "Afya Shares", kTypeCoopContribution, "Afya SACCOS");
    REPORTREC& m = employee(file, "MH001");
    item(m, "Walimu Loan").amount = 25000;
    item(m, "Walimu Benevolent").amount = 1000;
    REPORTREC& b = employee(file, "MH002");
    b.coopName[0] = "Walimu SACCOS";
    b.coopMemberNum[0] = "W-200";
    item(b, "Walimu SACCOS").amount = 15000;
    item(b, "Walimu Benevolent").amount = 1000;
    item(b, "Afya Shares").amount = 7000;
    item(employee(file, "MH003"), "Afya Shares").amount = 3000;
    writeBack(file);

    const auto report =
        open<COOPREP>(fieldParam(kReportCoop, "", kGroupByCoop, "Walimu SACCOS"), true);
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Co-operative Report");
    EXPECT_EQ(report->orientation(), Orientation::Landscape);
    EXPECT_EQ(report->rowsPerPage(), 23);
    EXPECT_EQ(headings(*report), (Cells{"", "Name", "Membership\nNumber", "Walimu SACCOS",
                                        "Walimu Loan", "Walimu Benevolent", "Total Deduction"}));
    EXPECT_EQ(cells(*report),
              (std::vector<Cells>{
                  {"1.", "Banda, Grace", "W-200", "15,000", "0", "1,000", "16,000"},
                  {"2.", "Mwakyusa, Emmanuel", "W-100", "20,000", "25,000", "1,000", "46,000"}}));
    EXPECT_EQ(drawn(*report, 1).findText("Walimu SACCOS - Deductions for March 2025").size(), 1u);
    expectGoldenFile(*report->exportText(), "coop.txt");
}

TEST_F(FundReportsTest, TheMembershipNumberOfTheGroup) {
    const std::array<std::string, 2> names{"Walimu SACCOS", "Afya SACCOS"};
    const std::array<std::string, 2> numbers{"W-1", "A-2"};
    EXPECT_EQ(memberNumber(names, numbers, "Walimu SACCOS"), "W-1");
    EXPECT_EQ(memberNumber(names, numbers, "Afya SACCOS"), "A-2");
    EXPECT_EQ(memberNumber(names, numbers, "Other SACCOS"), "");
    EXPECT_EQ(memberNumber({"", ""}, {"X", "Y"}, ""), "");
}

} // namespace
} // namespace kelo::payrunreports::testing
