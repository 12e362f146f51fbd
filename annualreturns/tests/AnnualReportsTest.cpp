#include "AnnualFixture.h"
#include "payrunreports/PeriodDbEx.h"

#include <filesystem>
#include <map>

namespace kelo::annualreturns::testing {
namespace {

using AnnualReportsTest = AnnualFixture;
using payrunreports::ControlLine;

std::map<std::string, double> amountLines(const std::vector<ControlLine>& lines) {
    std::map<std::string, double> amounts;
    for (const ControlLine& line : lines) {
        if (line.kind == ControlLine::Kind::Amount)
            amounts[line.label] += line.amount;
    }
    return amounts;
}

std::vector<double> sectionTotals(const std::vector<ControlLine>& lines) {
    std::vector<double> totals;
    for (const ControlLine& line : lines) {
        if (line.kind == ControlLine::Kind::Total)
            totals.push_back(line.amount);
    }
    return totals;
}

TEST_F(AnnualReportsTest, ControlAccountAddsUpTheMonthsOfBothFrequencies) {
    closeJanuaryAndFebruary();
    org.month = "March";
    CONTROLACREP report(ui, code, folder, param(common::kReportYearControlAccount, 1, 2));
    ASSERT_TRUE(report.readFile(org)) << ui.lastMessage();
    report.arrange();
    ASSERT_EQ(report.totals().size(), 1u);
    const std::vector<ControlLine> lines = payrunreports::controlLines(report.totals()[0]);
    // Worked from the figures of AnnualFixture.
    const std::map<std::string, double> expected{
        {"Basic Pay", 2600000}, {"Overtime", 50000},
        {"Transport", 300000},  {"Casual Hours", 50000},
        {"Bonus", 200000},      {"Rounding B/F", 0},
        {"PAYE", 290000},       {"NSSF", 300000},
        {"Rent", 40000},        {"Overdraft Recovery", 0},
        {"Rounding C/F", 0},    {"Staff Loan", 100000},
        {"Uniform", 10000},     {"Tax on Lump Sum(s)", 40000},
        {"Net Pay", 2420000}};
    EXPECT_EQ(amountLines(lines), expected);
    EXPECT_EQ(sectionTotals(lines), (std::vector<double>{3200000, 3200000}));
}

// The sums of the period files themselves, read as the pay-run reports read
// them, line by line of the control account.
TEST_F(AnnualReportsTest, ControlAccountEqualsTheSumsOfThePeriodFiles) {
    std::vector<std::string> periodFiles;
    const auto close = [&](const char* month, const std::vector<Pay>& monthly,
                           const std::vector<Pay>& weekly) {
        org.month = month;
        periodFiles.push_back(writePeriodFile(common::MONTHLY, monthly));
        periodFiles.push_back(writePeriodFile(common::WEEKLY, weekly));
        ANNUALDB db(owner, code, folder);
        ASSERT_TRUE(db.updateFile(ui, common::MONTHLY, org, true));
        ASSERT_TRUE(db.updateFile(ui, common::WEEKLY, org, true));
    };
    close("January", januaryMonthly, januaryWeekly);
    close("February", februaryMonthly, februaryWeekly);
    org.month = "March";

    std::map<std::string, double> sums;
    double totalPay = 0, disbursed = 0;
    for (const std::string& path : periodFiles) {
        payrunreports::PERIODDBEX reader(owner, code, folder);
        ASSERT_TRUE(reader.open(ui, path, org)) << ui.lastMessage();
        payrunreports::REPORTREC r;
        while (reader.readRecord(ui, r)) {
            sums["Basic Pay"] += r.basicPay;
            sums["Overtime"] += r.overtimePay;
            sums["Rounding B/F"] += r.roundingBF;
            sums["PAYE"] += r.paye;
            sums["NSSF"] += r.nssfEmployee;
            sums["Rent"] += r.rent;
            sums["Overdraft Recovery"] += r.deficitBF;
            sums["Rounding C/F"] += r.roundingCF;
            sums["Tax on Lump Sum(s)"] += r.lumpSumTax;
            sums["Net Pay"] += r.netPay;
            for (common::FIELDSTABLE t :
                 {common::EARNINGS, common::DEDUCTIONS, common::LUMPSUMS, common::REFUNDS})
                for (const payrunreports::ReportItem& item : r.itemsOf(t))
                    sums[item.definition->name] += item.amount;
            totalPay += r.totalPay;
            disbursed += r.totalDeductions + r.netPay;
            r = payrunreports::REPORTREC();
        }
    }

    CONTROLACREP report(ui, code, folder, param(common::kReportYearControlAccount, 1, 2));
    ASSERT_TRUE(report.readFile(org));
    report.arrange();
    const std::vector<ControlLine> lines = payrunreports::controlLines(report.totals()[0]);
    EXPECT_EQ(amountLines(lines), sums);
    EXPECT_EQ(sectionTotals(lines), (std::vector<double>{totalPay, disbursed}));
}

struct RangeCase {
    int fromMonth, toMonth;
    const char* title;
    double basicPay, overtime, bonus, netPay;
};

TEST_F(AnnualReportsTest, OnlyTheMonthsOfTheRangeCount) {
    closeJanuaryAndFebruary();
    org.month = "March";
    const RangeCase cases[] = {
        {1, 1, "January 2025", 1300000, 50000, 0, 1143000},
        {2, 2, "February 2025", 1300000, 0, 200000, 1277000},
        {1, 12, "January to December 2025", 2600000, 50000, 200000, 2420000},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.title);
        CONTROLACREP report(ui, code, folder,
                            param(common::kReportYearControlAccount, c.fromMonth, c.toMonth));
        ASSERT_TRUE(report.readFile(org)) << ui.lastMessage();
        report.arrange();
        EXPECT_EQ(report.header().periodTitle, c.title);
        const auto amounts = amountLines(payrunreports::controlLines(report.totals()[0]));
        EXPECT_EQ(amounts.at("Basic Pay"), c.basicPay);
        EXPECT_EQ(amounts.at("Overtime"), c.overtime);
        EXPECT_EQ(amounts.at("Bonus"), c.bonus);
        EXPECT_EQ(amounts.at("Net Pay"), c.netPay);
    }
}

TEST_F(AnnualReportsTest, ARangeWithoutClosedPeriodsHasNoRecords) {
    closeJanuaryAndFebruary();
    org.month = "August";
    MUSTERROLL report(ui, code, folder, param(common::kReportYearMusterRoll, 3, 6));
    EXPECT_FALSE(report.readFile(org));
    EXPECT_EQ(ui.lastMessage(), "Sorry, report has no records\nand will not be printed.");
}

TEST_F(AnnualReportsTest, MusterRollSumsEachEmployeeOverTheRange) {
    closeJanuaryAndFebruary();
    org.month = "March";
    MUSTERROLL report(ui, code, folder, param(common::kReportYearMusterRoll, 1, 2));
    ASSERT_TRUE(report.readFile(org));
    report.arrange();
    report.layOut();
    const std::optional<std::string> text = report.exportText();
    ASSERT_TRUE(text);
    expectGolden(*text, "musterroll_january_february.txt");
    const std::optional<std::string> csv = report.exportCsv();
    ASSERT_TRUE(csv);
    expectGolden(*csv, "musterroll_january_february.csv");
}

TEST_F(AnnualReportsTest, ControlAccountTextExport) {
    closeJanuaryAndFebruary();
    org.month = "March";
    CONTROLACREP report(ui, code, folder, param(common::kReportYearControlAccount, 1, 2));
    ASSERT_TRUE(report.readFile(org));
    report.arrange();
    report.layOut();
    const std::optional<std::string> text = report.exportText();
    ASSERT_TRUE(text);
    expectGolden(*text, "controlaccount_january_february.txt");
}

TEST_F(AnnualReportsTest, SelectionKeepsTheEmployeesOfTheStation) {
    closeJanuaryAndFebruary();
    org.month = "March";
    common::REPORTPARAM p = param(common::kReportYearMusterRoll, 1, 2);
    common::setGroup(p, common::kGroupByStation, "Mbeya");
    MUSTERROLL report(ui, code, folder, p);
    ASSERT_TRUE(report.readFile(org));
    ASSERT_EQ(report.records().size(), 2u);
    EXPECT_EQ(report.records()[0].empNum, "MH002");
    EXPECT_EQ(report.records()[0].netPay, 710000);
    EXPECT_EQ(report.records()[1].empNum, "WK001");
    EXPECT_EQ(report.records()[1].netPay, 215000);
}

TEST_F(AnnualReportsTest, OpeningTheReportWritesTheInterimFileWhenTheOpenMonthIsIn) {
    closeJanuaryAndFebruary();
    org.month = "March";
    const std::string interim = folder.resolve(ANNUALDB::interimFilePath(2025));
    auto report =
        openAnnualReport(ui, code, folder, param(common::kReportYearMusterRoll, 1, 12), org);
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_TRUE(std::filesystem::exists(interim));
    EXPECT_EQ(report->records().size(), 3u);
    EXPECT_EQ(report->caption(), "Payroll Muster Roll");

    std::filesystem::remove(interim);
    report =
        openAnnualReport(ui, code, folder, param(common::kReportYearControlAccount, 1, 2), org);
    ASSERT_TRUE(report);
    EXPECT_FALSE(std::filesystem::exists(interim));
    EXPECT_EQ(report->caption(), "Payroll Control Account");

    EXPECT_FALSE(
        openAnnualReport(ui, code, folder, param(common::kReportPayrollSummary, 1, 2), org));
}

TEST_F(AnnualReportsTest, OpeningOverAForeignStoreStopsWithItsMessage) {
    closeJanuaryAndFebruary();
    org.month = "March";
    std::string bytes = bytesOf(storePath());
    bytes.replace(bytes.find("[../org01/"), 10, "[../org07/");
    writeBytes(storePath(), bytes);
    ui.clear();
    EXPECT_FALSE(
        openAnnualReport(ui, code, folder, param(common::kReportYearControlAccount, 1, 2), org));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(),
              "File \"2025/annualreturns.dbf\" was written for another organisation (../org07).");
}

} // namespace
} // namespace kelo::annualreturns::testing
