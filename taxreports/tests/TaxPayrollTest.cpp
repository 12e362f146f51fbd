// The tax returns over a payroll the pay engine worked for three months of
// two frequencies: the P9 against the year-to-date store, the P10 against
// the period files and its brackets.

#include "Golden.h"
#include "common/Calendar.h"
#include "common/Money.h"
#include "database/IncomesDb.h"
#include "taxreports/TaxRepDb.h"
#include "taxreports/TaxReports.h"
#include "yeartodate/tests/YtdFixture.h"

#include <filesystem>
#include <map>

namespace kelo::taxreports {
namespace {

struct TaxPayrollTest : yeartodate::testing::YtdFixture {
    // PAYE of each month's period files per employee, read back here.
    std::map<std::string, double> periodPaye;
    std::array<double, 12> monthPaye{};

    void closePeriod(common::PAYFREQ payFreq) {
        payrunreports::PERIODDB writer(owner, code, folder);
        ASSERT_TRUE(writer.writeFile(ui, payFreq, org, true)) << messages();
        payrunreports::PERIODDBEX reader(owner, code, folder);
        ASSERT_TRUE(
            reader.open(ui, payrunreports::PERIODDB::periodFilePath(payFreq, org, true), org))
            << messages();
        payrunreports::REPORTREC rec;
        while (reader.readRecord(ui, rec)) {
            periodPaye[rec.empNum] += rec.paye;
            monthPaye[static_cast<std::size_t>(common::monthNumber(org.month) - 1)] += rec.paye;
        }
        TAXREPDB tax(owner, code, folder);
        ASSERT_TRUE(tax.checkFiles(ui, org));
        ASSERT_TRUE(tax.updateFiles(ui, payFreq, org, true)) << messages();
    }

    void close(const char* month) {
        org.month = month;
        closePeriod(common::MONTHLY);
        closePeriod(common::WEEKLY);
        monthEnd(month);
    }

    void threeClosedMonths() {
        close("January");
        edit("MH001", [](common::VARIATIONSREC& rec) { rec.normalOvertimeHours = 0; });
        hireNyerere();
        close("February");
        addNightAllowance();
        edit("MH001", [](common::VARIATIONSREC& rec) {
            rec.normalOvertimeHours = 10;
            rec.earnings[2].active = 1;
            rec.earnings[2].amount = 7000;
        });
        close("March");
        // The year is over: its files are read as they stand.
        org.month = "January";
        org.year = 2026;
    }

    // Monthly taxable pay brackets of the shipped table's shape.
    void makeBrackets() {
        const std::string path = folder.resolve(database::INCOMESDB::kPath);
        const database::Schema s = database::INCOMESDB::tableSchema();
        auto table = engine::Data4::create(code, path, s.fields);
        ASSERT_NE(table, nullptr);
        for (const database::INCOMEREC& b : std::vector<database::INCOMEREC>{
                 {0, 270000}, {270001, 520000}, {520001, 1000000}, {1000001, 1000001}}) {
            table->appendStart();
            table->blank();
            database::INCOMESDB::store(*table, b);
            ASSERT_EQ(table->append(), engine::r4success);
        }
        table->close();
    }

    common::REPORTPARAM yearParam(std::int32_t reportType) const {
        common::REPORTPARAM p = common::newReportParam(reportType, org);
        p.period.year = 2025;
        p.fromMonth = 1;
        p.toMonth = 12;
        return p;
    }
};

TEST_F(TaxPayrollTest, P9OfTheYearIsTheYearToDateStoresPaye) {
    threeClosedMonths();
    ASSERT_FALSE(HasFatalFailure());
    yeartodate::YtdFile ytd;
    ASSERT_TRUE(yeartodate::readYtdFile(ui, folder, "2025/ytd.dbf", org, ytd)) << messages();
    P9REP p9(ui, folder, yearParam(common::kReportP9));
    ASSERT_TRUE(p9.readFile(org)) << messages();
    ASSERT_EQ(p9.employees().size(), ytd.records.size());
    int compared = 0;
    for (const yeartodate::YTDREC& rec : ytd.records) {
        double ytdPaye = 0;
        for (double amount : rec.rows[yeartodate::kPayeRow].amounts)
            ytdPaye += amount;
        for (const P9YEAR& e : p9.employees()) {
            if (e.empNum != rec.empNum)
                continue;
            EXPECT_EQ(e.totalPaye(), ytdPaye) << e.empNum;
            EXPECT_EQ(e.totalPaye(), periodPaye[e.empNum]) << e.empNum;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 4);
    // Not all zero: MH001's PAYE of March is the period reports' 147,050
    // and 30 % of the night allowance less its 10 % NSSF: 7,000 - 700 =
    // 6,300, 1,890 more.
    for (const P9YEAR& e : p9.employees()) {
        if (e.empNum == "MH001") {
            EXPECT_EQ(e.paye[2], 148940);
        }
    }
}

TEST_F(TaxPayrollTest, P10MonthsAreThePeriodFilesAndTheBracketsHoldEveryone) {
    threeClosedMonths();
    makeBrackets();
    ASSERT_FALSE(HasFatalFailure());
    auto report = prepareTaxReturn(ui, owner, code, folder, yearParam(common::kReportP10), org);
    ASSERT_TRUE(report) << messages();
    auto& p10 = dynamic_cast<P10REP&>(*report);
    double yearPaye = 0, yearTaxable = 0;
    for (std::size_t m = 0; m < 3; ++m) {
        EXPECT_EQ(p10.months()[m].paye, common::decimalValue(monthPaye[m])) << m;
        yearPaye += p10.months()[m].paye;
        yearTaxable += p10.months()[m].taxablePay;
    }
    EXPECT_EQ(p10.months()[3].employees, 0);
    // The brackets come from the year-to-date store, the months from the
    // period files: the same pay either way.
    int employees = 0;
    double bracketPaye = 0, bracketTaxable = 0;
    for (const P10BRACKET& b : p10.brackets()) {
        employees += b.employees;
        bracketPaye += b.paye;
        bracketTaxable += b.taxablePay;
    }
    EXPECT_EQ(employees, 4);
    EXPECT_EQ(bracketPaye, yearPaye);
    EXPECT_EQ(common::roundShillings(bracketTaxable), common::roundShillings(yearTaxable));
    EXPECT_EQ(p10.pageCount(), 1);
    testing::expectGolden(*p10.exportText(), "p10_2025.txt");
    testing::expectGolden(*p10.exportCsv(), "p10_2025.csv");
}

// March is open: the interim files add it from the working period file.
TEST_F(TaxPayrollTest, InterimFilesAddTheOpenPeriodAndFollowItsSources) {
    org.month = "March";
    common::REPORTPARAM firstHalf = yearParam(common::kReportP9);
    firstHalf.toMonth = 6;
    EXPECT_TRUE(TAXREPDB::requireFile(folder, firstHalf, org));
    TAXREPDB db(owner, code, folder);
    ASSERT_TRUE(db.writeInterimFiles(ui, org)) << messages();
    EXPECT_FALSE(TAXREPDB::requireFile(folder, firstHalf, org));
    EXPECT_FALSE(std::filesystem::exists(folder.resolve("2025/p9.dbf")));

    TAXFILE p9;
    ASSERT_TRUE(db.readFile(ui, TaxFile::P9, "2025/p9.int", org, p9));
    ASSERT_EQ(p9.periods.size(), 1u); // the weekly payroll has nobody yet
    EXPECT_EQ(p9.periods[0].month, 3);
    EXPECT_EQ(p9.periods[0].header.periodTitle, "March 2025");
    ASSERT_EQ(p9.periods[0].employees.size(), 3u);
    EXPECT_EQ(p9.periods[0].employees[0].empNum, "MH001");
    EXPECT_EQ(p9.periods[0].employees[0].paye, 147050);

    // A change to the personnel file makes the open period stale.
    const std::string staticPath = folder.resolve("database/static.dbf");
    std::filesystem::last_write_time(staticPath, std::filesystem::last_write_time(staticPath) +
                                                     std::chrono::hours(1));
    EXPECT_TRUE(TAXREPDB::requireFile(folder, firstHalf, org));
    db.delInterimFiles(org);
    EXPECT_FALSE(std::filesystem::exists(folder.resolve("2025/p9.int")));
    EXPECT_FALSE(std::filesystem::exists(folder.resolve("2025/p10.int")));
}

} // namespace
} // namespace kelo::taxreports
