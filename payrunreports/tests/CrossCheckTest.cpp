// The pay-run reports checked against each other and against the period
// file itself: each expectation is summed here from the period file's own
// records, never taken from the report's totals.
#include "BankFileFixture.h"
#include "payrunreports/CoinageRep.h"
#include "payrunreports/ControlAccount.h"
#include "payrunreports/PayRunReports.h"

#include <cmath>
#include <sstream>

namespace kelo::payrunreports::testing {
namespace {

struct CrossCheckTest : BankFileFixture {
    // The period file as the reports read it, straight from the reader,
    // written afresh for the employees the fixture added.
    PeriodFile periodFile() {
        writePeriodFile();
        PERIODDBEX reader(owner, code, folder);
        PeriodFile file;
        EXPECT_TRUE(reader.readFile(ui, currentParam(), org, file)) << messages();
        return file;
    }

    // A report opened as the Report menu opens it.
    std::unique_ptr<PERIODREP> open(std::int32_t type, const std::string& field = {}) {
        common::REPORTPARAM param = common::newReportParam(type, org);
        param.fieldName = field;
        auto report = openPayRunReport(ui, code, folder, param, org);
        EXPECT_TRUE(report) << type << " " << messages();
        return report;
    }

    static double sumOf(const std::vector<ReportItem>& items) {
        double sum = 0;
        for (const ReportItem& item : items)
            sum += item.amount;
        return sum;
    }
};

TEST_F(CrossCheckTest, TheControlAccountBalancesAndAgreesWithThePeriodFile) {
    const PeriodFile file = periodFile();
    double netPay = 0, paye = 0, nssf = 0, totalPay = 0;
    for (const REPORTREC& rec : file.records) {
        netPay += rec.netPay;
        paye += rec.paye;
        nssf += rec.nssfEmployee;
        totalPay += rec.totalPay;
    }
    auto report = open(common::kReportPeriodControlAccount);
    ASSERT_TRUE(report);
    const auto& account = dynamic_cast<CONTROLACREP&>(*report);
    ASSERT_EQ(account.totals().size(), 1u);
    const ControlTotal& t = account.totals()[0];
    const double pay = t.basicPay + t.overtimePay + sumOf(t.itemsOf(common::EARNINGS)) +
                       sumOf(t.itemsOf(common::LUMPSUMS)) + t.roundingBF +
                       sumOf(t.itemsOf(common::REFUNDS)) + t.deficit;
    const double disbursed = t.paye + t.nssfEmployee + t.rent + t.deficitBF + t.roundingCF +
                             sumOf(t.itemsOf(common::DEDUCTIONS)) + t.lumpSumTax + t.netPay;
    EXPECT_DOUBLE_EQ(pay, disbursed);
    EXPECT_DOUBLE_EQ(t.netPay, netPay);
    EXPECT_DOUBLE_EQ(t.paye, paye);
    EXPECT_DOUBLE_EQ(t.nssfEmployee, nssf);
    EXPECT_DOUBLE_EQ(t.totalPay, totalPay);
    EXPECT_DOUBLE_EQ(t.totalPay - t.totalDeductions, t.netPay);
}

TEST_F(CrossCheckTest, TheCoinsCountedMakeUpTheCashListLessWhatNoCoinPays) {
    double cash = 0, uncounted = 0;
    for (const REPORTREC& rec : periodFile().records) {
        if (rec.payMethod != common::kPayByCash || rec.netPay <= 0)
            continue;
        cash += rec.netPay;
        uncounted += std::fmod(std::trunc(rec.netPay), 10) + (rec.netPay - std::trunc(rec.netPay));
    }
    ASSERT_GT(cash, 0);
    auto list = open(common::kReportCashList, "Net Pay");
    ASSERT_TRUE(list);
    const std::vector<double> totals = list->totalsThrough(list->pageCount());
    auto coinage = open(common::kReportCoinage, "Net Pay");
    ASSERT_TRUE(coinage);
    double coins = 0;
    for (const CoinTotal& c : dynamic_cast<COINAGEREP&>(*coinage).summary())
        coins += c.count * c.denomination;
    EXPECT_DOUBLE_EQ(coins, cash - uncounted);
    // The cash list's last totalled column is the amount.
    double listed = 0;
    for (std::size_t c = totals.size(); c-- > 0;)
        if (totals[c] != 0) {
            listed = totals[c];
            break;
        }
    EXPECT_DOUBLE_EQ(listed, cash);
}

// The bank report lists everyone paid by bank; the Stanbic file leaves out
// Otieno (a bank no table knows) and Ally (14 digits, one too many).
TEST_F(CrossCheckTest, TheBankFileCarriesTheBankReportLessTheEmployeesItSkips) {
    double byBank = 0, skipped = 0;
    for (const REPORTREC& rec : periodFile().records) {
        if (rec.payMethod != common::kPayByBankTransfer)
            continue;
        byBank += rec.netPay;
        if (rec.empNum == "MH007" || rec.empNum == "MH008")
            skipped += rec.netPay;
    }
    ASSERT_GT(skipped, 0);
    auto report = open(common::kReportBankTransfer, "Net Pay");
    ASSERT_TRUE(report);
    const std::vector<double> totals = report->totalsThrough(report->pageCount());
    ASSERT_FALSE(totals.empty());
    EXPECT_DOUBLE_EQ(totals.back(), byBank);

    auto file = readBankFile(common::kReportStanbicFile);
    ASSERT_TRUE(file);
    bool saved = false;
    const std::string bytes = saveAs(*file, "stanbic.csv", saved);
    ASSERT_TRUE(saved);
    std::istringstream lines(bytes);
    std::string line;
    std::getline(lines, line); // the headings
    double cents = 0;
    while (std::getline(lines, line))
        cents += std::stod(line.substr(line.rfind(',') + 1));
    EXPECT_DOUBLE_EQ(cents / 100, byBank - skipped);
}

} // namespace
} // namespace kelo::payrunreports::testing
