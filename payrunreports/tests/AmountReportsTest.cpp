#include "payrunreports/AmountReports.h"

#include "FieldReportFixture.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

using namespace common;

struct AmountReportsTest : FieldReportFixture {};

// Each kind of field: the label in the title, the value columns and the
// rows, from the worked payroll (figures as its payslips show them).
TEST_F(AmountReportsTest, TheFieldDecidesTheLabelAndTheColumns) {
    const Cells one{"", "Employee\nNumber", "Name", "Amount"};
    const Cells two{"", "Employee\nNumber", "Name", "Amount\nDeducted", "Closing\nBalance"};
    const char* mwakyusa = "Mwakyusa, Emmanuel";
    const char* banda = "Banda, Grace";
    struct Case {
        std::int32_t type;
        const char* field;
        const char* label;
        Cells headings;
        std::vector<Cells> rows;
    };
    const Case cases[] = {
        // Co-op contribution: 180,000 + 20,000 leaves 200,000.
        {kReportDeductions,
         "Walimu SACCOS",
         "Walimu SACCOS",
         two,
         {{"1.", "MH001", mwakyusa, "20,000", "200,000"}}},
        // Pension: the employee's balance 400,000 + 50,000.
        {kReportDeductions,
         "PSSSF",
         "PSSSF",
         two,
         {{"1.", "MH001", mwakyusa, "50,000", "450,000"}}},
        // Cost recovery: the last 15,000 of 15,000 leaves nothing.
        {kReportDeductions, "Uniform", "Uniform", two, {{"1.", "MH001", mwakyusa, "15,000", "0"}}},
        {kReportDeductions,
         "CRDB Loan",
         "CRDB Loan Deduction",
         one,
         {{"1.", "MH001", mwakyusa, "30,000"}}},
        {kReportDeductions,
         "Overdraft Recovery",
         "Overdraft Recovery",
         one,
         {{"1.", "MH002", banda, "5,000"}}},
        {kReportDeductions, "Rent", "Rent Deduction", one, {{"1.", "MH002", banda, "10,000"}}},
        {kReportDeductions,
         "Rounding C/F",
         "Rounding C/F Deduction",
         one,
         {{"1.", "MH002", banda, "81"}}},
        {kReportEarnings,
         "Basic Pay",
         "Basic Pay",
         one,
         {{"1.", "MH001", mwakyusa, "1,000,000"},
          {"2.", "MH002", banda, "400,000"},
          {"3.", "MH003", "Kileo, Ali Hassan", "188,238"}}},
        {kReportEarnings,
         "Overtime",
         "Overtime Payments",
         one,
         {{"1.", "MH001", mwakyusa, "75,000"}}},
        {kReportEarnings,
         "Transport Allowance",
         "Transport Allowance Payments",
         one,
         {{"1.", "MH001", mwakyusa, "100,000"}}},
        {kReportBenefits,
         "Housing Benefit",
         "Housing Benefit",
         one,
         {{"1.", "MH002", banda, "50,000"}}},
        {kReportBenefits,
         "Motor Vehicle Benefit",
         "Motor Vehicle Benefit Benefit",
         one,
         {{"1.", "MH001", mwakyusa, "50,000"}}},
        {kReportLumpSums,
         "Leave Bonus",
         "Leave Bonus Payments",
         one,
         {{"1.", "MH001", mwakyusa, "200,000"}}},
        {kReportRefunds,
         "Rounding B/F",
         "Rounding B/F Payments",
         one,
         {{"1.", "MH002", banda, "400"}}},
        {kReportRefunds,
         "Tax Refund",
         "Tax Refund Payments",
         one,
         {{"1.", "MH001", mwakyusa, "5,000"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const auto report = open<AMOUNTREP>(fieldParam(c.type, c.field));
        ASSERT_TRUE(report) << messages();
        EXPECT_EQ(report->caption(), std::string(c.field) + " Report");
        EXPECT_EQ(headings(*report), c.headings);
        EXPECT_EQ(cells(*report), c.rows);
        // The titles centre over the table: the 8 mm sequence number, then
        // 27 + 62 and 24 for each value column, each with its 6 mm gap.
        EXPECT_DOUBLE_EQ(report->geometry().printableWidth, c.headings.size() == 4 ? 139 : 169);
        EXPECT_EQ(report->orientation(), Orientation::Portrait);
        const auto canvas = drawn(*report, 1);
        EXPECT_EQ(canvas.findText(std::string(c.label) + " - March 2025 : All Units").size(), 1u);
    }
}

TEST_F(AmountReportsTest, TheLabelRules) {
    struct Case {
        std::int32_t type;
        const char* field;
        bool withBalance;
        const char* label;
    };
    const Case cases[] = {
        {kReportDeductions, "Overdraft Recovery", false, "Overdraft Recovery"},
        {kReportDeductions, "Staff Loan", false, "Staff Loan Deduction"},
        {kReportDeductions, "Walimu SACCOS", true, "Walimu SACCOS"},
        {kReportEarnings, "Basic Pay", false, "Basic Pay"},
        {kReportEarnings, "Overtime", false, "Overtime Payments"},
        {kReportBenefits, "Housing Benefit", false, "Housing Benefit"},
        {kReportBenefits, "Motor Vehicle", false, "Motor Vehicle Benefit"},
        {kReportLumpSums, "Leave Bonus", false, "Leave Bonus Payments"},
        {kReportRefunds, "Tax Refund", false, "Tax Refund Payments"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fieldLabel(c.type, c.field, c.withBalance), c.label) << c.field;
    EXPECT_TRUE(listsBalance(kTypeCoopContribution));
    EXPECT_TRUE(listsBalance(kTypePensionContribution));
    EXPECT_TRUE(listsBalance(kTypeCostRecovery));
    EXPECT_FALSE(listsBalance(kTypeBankLoanPayment));
    EXPECT_FALSE(listsBalance("Co-op Benevolent Fund"));
}

// The "Sort Key" among the report's own options: 1 lists by name, and
// another report keeps the employee number order.
TEST_F(AmountReportsTest, TheSortKeyOfTheReport) {
    setReportOption(kReportEarnings, database::kOptionSortKey, 1);
    const auto byName = open<AMOUNTREP>(fieldParam(kReportEarnings, "Basic Pay"));
    ASSERT_TRUE(byName) << messages();
    EXPECT_EQ(empNums(*byName), (Cells{"MH002", "MH003", "MH001"}));
    EXPECT_EQ(byName->rows()[0].cells[0], "1.");
    EXPECT_EQ(byName->rows()[0].cells[1], "MH002");
    const auto byNumber = open<BASICPAYREP>(fieldParam(kReportBasicPay, "Basic Pay"));
    ASSERT_TRUE(byNumber) << messages();
    EXPECT_EQ(empNums(*byNumber), (Cells{"MH001", "MH002", "MH003"}));
}

// Both value columns carry their figures, so the totals and the spreadsheet
// export have the numbers and not the texts; there is no text export.
TEST_F(AmountReportsTest, AmountCellsCarryTheirFigures) {
    const auto report = open<AMOUNTREP>(fieldParam(kReportDeductions, "Walimu SACCOS"));
    ASSERT_TRUE(report) << messages();
    ASSERT_EQ(report->rows().size(), 1u);
    EXPECT_EQ(report->rows()[0].figures, (std::vector<double>{0, 0, 0, 20000, 200000}));
    EXPECT_FALSE(report->exportText());
    EXPECT_EQ(*report->exportCsv(), "\xEF\xBB\xBF,Employee Number,Name,Amount Deducted,Closing "
                                    "Balance\r\n1.,MH001,\"Mwakyusa, Emmanuel\",20000,200000\r\n");
}

// The whole first page of a co-op contribution, recorded: titles, ruled
// table, the one row and "Grand Total", and the footer.
TEST_F(AmountReportsTest, ThePageLaidOut) {
    const auto report = open<AMOUNTREP>(fieldParam(kReportDeductions, "Walimu SACCOS"));
    ASSERT_TRUE(report) << messages();
    const auto canvas = drawn(*report, 1);
    expectGoldenFile(canvasListing(canvas), "amount_coop_page1.txt");
    // The totals row: 16 mm margin, 16 mm of titles, 10 + 1 mm of headings,
    // 37 rows of 5 mm and 1 mm: 16 + 213 = 229 mm down. Its label spans the
    // first two cells: 3 + 8 + 27 + 3 and 3 + 62 + 3 mm.
    const auto total = canvas.findText("Grand Total");
    ASSERT_EQ(total.size(), 1u);
    EXPECT_DOUBLE_EQ(total[0].rect.top, 229);
    EXPECT_DOUBLE_EQ(total[0].rect.width, 109);
}

// 38 employees: MH001 1,000,000, MH002 400,000, MH003 188,238 and 35 more
// at 100,000 each. The first page's 37 rows carry 1,588,238 + 34 x 100,000
// = 4,988,238; the second adds MH044's 100,000 for 5,088,238.
TEST_F(AmountReportsTest, ThirtyEightEmployeesTakeTwoPages) {
    PeriodFile file = readBack();
    ASSERT_EQ(file.records.size(), 3u);
    const REPORTREC model = file.records.back();
    for (int n = 10; n <= 44; ++n) {
        REPORTREC rec = model;
        rec.empNum = "MH0" + std::to_string(n);
        rec.name = "Worker, Number " + std::to_string(n);
        rec.basicPay = 100000;
        file.records.push_back(rec);
    }
    writeBack(file);
    const auto report = open<AMOUNTREP>(fieldParam(kReportEarnings, "Basic Pay"));
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->rowsPerPage(), 37);
    ASSERT_EQ(report->pageCount(), 2);
    EXPECT_EQ(report->pages()[1].rowCount, 1u);
    EXPECT_EQ(report->rows().back().cells[0], "38.");

    const auto first = drawn(*report, 1);
    EXPECT_EQ(first.findText("Total C/F").size(), 1u);
    EXPECT_TRUE(first.findText("Grand Total").empty());
    const auto carried = first.findText("4,988,238");
    ASSERT_EQ(carried.size(), 1u);
    EXPECT_DOUBLE_EQ(carried[0].rect.top, 229);
    EXPECT_TRUE(first.findTextContaining("Page 1 of 2"));

    const auto second = drawn(*report, 2);
    EXPECT_EQ(second.findText("Grand Total").size(), 1u);
    EXPECT_EQ(second.findText("5,088,238").size(), 1u);
    EXPECT_EQ(second.findText("38.").size(), 1u);
}

// Overtime: hours x rate rounded to the shilling, halves up: 2.5 hours at
// 10,001 = 25,002.5, shown 25,003. Normal: 10 hours at 7,500 = 75,000. An
// employee with overtime hours but no overtime pay is not listed. The
// hourly earning shows its own figures: 12.5 hours at 2,500.50 paid 31,256.
TEST_F(AmountReportsTest, HourlyPaymentsWorkedByHand) {
    PeriodFile file = readBack();
    REPORTREC& m = employee(file, "MH001");
    m.doubleOvertimeHours = 2.5f;
    m.doubleOvertimeRate = 10001;
    employee(file, "MH002").normalOvertimeHours = 3;
    writeBack(file);
    struct Case {
        const char* field;
        std::vector<Cells> rows;
        const char* total;
    };
    const Case cases[] = {
        {"Normal Overtime",
         {{"1.", "MH001", "Mwakyusa, Emmanuel", "7,500.00", "10.00", "75,000"}},
         "75,000"},
        {"Double Overtime",
         {{"1.", "MH001", "Mwakyusa, Emmanuel", "10,001.00", "2.50", "25,003"}},
         "25,003"},
        {"Casual Hours",
         {{"1.", "MH002", "Banda, Grace", "2,500.50", "12.50", "31,256"}},
         "31,256"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const auto report = open<HOURLYPAYREP>(fieldParam(kReportHourlyPay, c.field));
        ASSERT_TRUE(report) << messages();
        EXPECT_EQ(report->caption(), std::string(c.field) + " Report");
        EXPECT_EQ(headings(*report), (Cells{"", "Employee\nNumber", "Name", "Hourly\nRate",
                                            "Hours\nWorked", "Amount\nEarned"}));
        EXPECT_EQ(cells(*report), c.rows);
        const auto canvas = drawn(*report, 1);
        EXPECT_EQ(
            canvas.findText(std::string(c.field) + " Payment - March 2025 : All Units").size(), 1u);
        EXPECT_EQ(canvas.findText(c.total).size(), 2u); // the row and the grand total
    }
}

TEST_F(AmountReportsTest, TimeWorkedByTimeBasis) {
    struct Case {
        int timeBasis;
        float timeWorked;
        const char* text;
    };
    const Case cases[] = {
        {kTimeFullPeriod, 3, "176.00 Standard Hours"},
        {kTimeDaysAbsent, 2, "2.00 Days Absent"},
        {kTimeHoursAbsent, 7.5f, "7.50 Hours Absent"},
        {kTimeDaysPresent, 20, "20.00 Days Present"},
        {kTimeHoursPresent, 150.5f, "150.50 Hours Present"},
    };
    for (const Case& c : cases) {
        REPORTREC rec;
        rec.hoursPerMonth = 176;
        rec.timeBasis = c.timeBasis;
        rec.timeWorked = c.timeWorked;
        EXPECT_EQ(timeWorkedText(rec), c.text);
    }
    EXPECT_EQ(payBasisText(kPayBasisSalary), "Salary");
    EXPECT_EQ(payBasisText(kPayBasisDaily), "Daily");
    EXPECT_EQ(payBasisText(kPayBasisHourly), "Hourly");
}

// Mwakyusa's salary for the full 200 hours, Banda's 20,000 a day less two
// days, Kileo's 150.5 hours at 1,250.75; 1,588,238 in all.
TEST_F(AmountReportsTest, TheBasicPayExport) {
    const auto report = open<BASICPAYREP>(fieldParam(kReportBasicPay, "Basic Pay"));
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Basic Pay Report");
    EXPECT_EQ(report->orientation(), Orientation::Landscape);
    EXPECT_EQ(report->rowsPerPage(), 23);
    expectGoldenFile(*report->exportText(), "basicpay.txt");
}

TEST_F(AmountReportsTest, TheLumpSumTax) {
    const auto report = open<LUMPSUMTAXREP>(fieldParam(kReportLumpSumTax, ""));
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->caption(), "Lump Sums Tax Report");
    EXPECT_EQ(report->rowsPerPage(), 36);
    EXPECT_EQ(cells(*report),
              (std::vector<Cells>{{"1.", "MH001", "Mwakyusa, Emmanuel", "123-456-789", "20,000"}}));
    const auto canvas = drawn(*report, 1);
    EXPECT_EQ(canvas.findText("Tax on Lump Sum Payments - March 2025 : All Units").size(), 1u);
    EXPECT_EQ(canvas.findText("EMPLOYER'S T.I.N.:  100-200-300").size(), 1u);
    const auto row = canvas.findText("123-456-789");
    ASSERT_EQ(row.size(), 1u);
    EXPECT_DOUBLE_EQ(row[0].rect.height, 5);
    EXPECT_EQ(row[0].font, (Font{"Helvetica", 10, 400}));
    EXPECT_FALSE(report->exportText());
}

} // namespace
} // namespace kelo::payrunreports::testing
