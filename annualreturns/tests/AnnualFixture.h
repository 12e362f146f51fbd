#pragma once

#include "annualreturns/AnnualDb.h"
#include "annualreturns/AnnualReports.h"
#include "common/TaggedFile.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodFormat.h"
#include "payrunreports/tests/GoldenFile.h"
#include "payrunreports/tests/ReadableView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kelo::annualreturns::testing {

using payrunreports::testing::bytesOf;
using payrunreports::testing::readableView;
using payrunreports::testing::writeBytes;

// Compares with the golden file under tests/golden.
inline void expectGolden(const std::string& actual, const std::string& name) {
    payrunreports::testing::expectGoldenIn(std::filesystem::path(__FILE__).parent_path() / "golden",
                                           actual, name);
}

// One employee's period as the pay engine left it in the period file. The
// items follow the frequency's definitions after the built-in ones.
struct Pay {
    const char* empNum;
    const char* name;
    const char* unitPath;
    const char* station;
    double basic, overtime;
    std::vector<double> earnings;
    std::vector<double> deductions;
    std::vector<double> lumpSums;
    double rent, paye, nssf, lumpSumTax;
    double totalPay, totalDeductions, netPay;
};

// Kilimo Traders pays monthly and weekly. Both frequencies have a "Staff
// Loan" deduction, which the year's reports add up as one item.
// Monthly items: earning Transport, deduction Staff Loan, lump sum Bonus.
// Weekly items: earning Casual Hours, deductions Staff Loan and Uniform.
// January:  MH001 800,000 + 50,000 overtime + 100,000 transport = 950,000;
//           PAYE 120,000, NSSF 95,000, loan 50,000: deductions 265,000,
//           net 685,000.
//           MH002 400,000 + 50,000 transport = 450,000; PAYE 30,000, NSSF
//           45,000, rent 20,000: 95,000, net 355,000.
//           WK001 (week ending 7 January) 100,000 + 20,000 casual =
//           120,000; NSSF 12,000, uniform 5,000: 17,000, net 103,000.
// February: MH001 800,000 + 100,000 transport + 200,000 bonus = 1,100,000;
//           PAYE 110,000, NSSF 90,000, loan 50,000, lump sum tax 40,000:
//           290,000, net 810,000.
//           MH002 as in January.
//           WK001 (week ending 7 February) 100,000 + 30,000 casual =
//           130,000; NSSF 13,000, uniform 5,000: 18,000, net 112,000.
struct AnnualFixture : ::testing::Test {
    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    testsupport::RecordingUi owner;
    common::ORGREC org;

    const std::vector<Pay> januaryMonthly{{"MH001",
                                           "Mwakyusa, Asha",
                                           "Finance.Head Office",
                                           "Dar es Salaam",
                                           800000,
                                           50000,
                                           {100000},
                                           {50000},
                                           {0},
                                           0,
                                           120000,
                                           95000,
                                           0,
                                           950000,
                                           265000,
                                           685000},
                                          {"MH002",
                                           "Banda, Joseph",
                                           "Head Office",
                                           "Mbeya",
                                           400000,
                                           0,
                                           {50000},
                                           {0},
                                           {0},
                                           20000,
                                           30000,
                                           45000,
                                           0,
                                           450000,
                                           95000,
                                           355000}};
    const std::vector<Pay> februaryMonthly{{"MH001",
                                            "Mwakyusa, Asha",
                                            "Finance.Head Office",
                                            "Dar es Salaam",
                                            800000,
                                            0,
                                            {100000},
                                            {50000},
                                            {200000},
                                            0,
                                            110000,
                                            90000,
                                            40000,
                                            1100000,
                                            290000,
                                            810000},
                                           januaryMonthly[1]};
    const std::vector<Pay> januaryWeekly{{"WK001",
                                          "Kileo, Neema",
                                          "Finance.Head Office",
                                          "Mbeya",
                                          100000,
                                          0,
                                          {20000},
                                          {0, 5000},
                                          {},
                                          0,
                                          0,
                                          12000,
                                          0,
                                          120000,
                                          17000,
                                          103000}};
    const std::vector<Pay> februaryWeekly{{"WK001",
                                           "Kileo, Neema",
                                           "Finance.Head Office",
                                           "Mbeya",
                                           100000,
                                           0,
                                           {30000},
                                           {0, 5000},
                                           {},
                                           0,
                                           0,
                                           13000,
                                           0,
                                           130000,
                                           18000,
                                           112000}};

    void SetUp() override {
        std::filesystem::create_directories(dir.file("org01/2025"));
        std::filesystem::create_directories(dir.file("system"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.name = "Kilimo Traders Ltd";
        org.itNum = "100-200-300";
        org.nssfNum = "NSSF-0042";
        org.poBox = "1234";
        org.postCode = "53101";
        org.town = "Mbeya";
        org.telephone = "025 250 0000";
        org.month = "January";
        org.year = 2025;
        org.fiscalYear = 2024;
        org.weekEndDay = 7;
        org.fortnightEndDay = 14;
        org.irregEndDay = 1;
    }

    static std::shared_ptr<const payrunreports::ReportItemDef>
    def(int id, const char* name, const char* type, int builtIn = 0) {
        auto d = std::make_shared<payrunreports::ReportItemDef>();
        d->id = id;
        d->name = name;
        d->reportType = type;
        d->function = "Fixed Amount";
        d->builtIn = builtIn;
        return d;
    }

    static payrunreports::ReportItemDefs definitions(common::PAYFREQ payFreq) {
        payrunreports::ReportItemDefs defs;
        defs[common::EARNINGS] = {def(1, "Basic Pay", "Basic Pay", 1),
                                  def(2, "Overtime", "Overtime", 1)};
        defs[common::DEDUCTIONS] = {def(3, "Rent", "Rent", 1)};
        if (payFreq == common::MONTHLY) {
            defs[common::EARNINGS].push_back(def(10, "Transport", "Allowance"));
            defs[common::DEDUCTIONS].push_back(def(11, "Staff Loan", "Other Deduction"));
            defs[common::LUMPSUMS].push_back(def(12, "Bonus", "Lump Sum Payment"));
        } else {
            defs[common::EARNINGS].push_back(def(20, "Casual Hours", "Allowance"));
            defs[common::DEDUCTIONS].push_back(def(21, "Staff Loan", "Other Deduction"));
            defs[common::DEDUCTIONS].push_back(def(22, "Uniform", "Other Deduction"));
        }
        return defs;
    }

    static payrunreports::REPORTREC record(const Pay& p,
                                           const payrunreports::ReportItemDefs& defs) {
        payrunreports::REPORTREC r;
        r.empNum = p.empNum;
        r.name = p.name;
        r.unitPath = p.unitPath;
        r.stationName = p.station;
        r.payMethod = common::kPayByBankTransfer;
        r.bankName = "CRDB";
        r.basicPay = p.basic;
        r.payRate = p.basic;
        r.overtimePay = p.overtime;
        r.rent = p.rent;
        r.paye = p.paye;
        r.nssfEmployee = p.nssf;
        r.nssfEmployer = p.nssf;
        r.lumpSumTax = p.lumpSumTax;
        r.totalPay = p.totalPay;
        r.totalDeductions = p.totalDeductions;
        r.netPay = p.netPay;
        const auto add = [&](common::FIELDSTABLE table, const std::vector<double>& amounts) {
            const auto& list = defs[table];
            for (std::size_t i = 0; i < amounts.size(); ++i)
                r.itemsOf(table).push_back(
                    {list[payrunreports::builtInCount(table) + i], amounts[i], {}});
        };
        add(common::EARNINGS, p.earnings);
        add(common::DEDUCTIONS, p.deductions);
        add(common::LUMPSUMS, p.lumpSums);
        double lumpSums = 0;
        for (double a : p.lumpSums)
            lumpSums += a;
        r.totalLumpSums = lumpSums;
        r.grossPay = p.totalPay - lumpSums;
        r.statutoryDeductions = p.paye + p.nssf;
        return r;
    }

    // The kept file of the frequency's current period, as the month end
    // leaves it before the stores are updated.
    std::string writePeriodFile(common::PAYFREQ payFreq, const std::vector<Pay>& pays) {
        const std::string path = payrunreports::PERIODDB::periodFilePath(payFreq, org, true);
        const payrunreports::ReportItemDefs defs = definitions(payFreq);
        const payrunreports::PeriodHeader header =
            payrunreports::periodHeader(payrunreports::periodTitle(payFreq, org), payFreq, org);
        common::TaggedWriter w(folder.resolve(path));
        EXPECT_TRUE(payrunreports::writePreamble(w, payrunreports::fileTitle(payFreq, org),
                                                 org.folder, path));
        EXPECT_TRUE(payrunreports::writeHeader(w, header));
        EXPECT_TRUE(payrunreports::writeDefinitions(w, defs));
        w.writeTag(payrunreports::kRecordsBlock, common::TagKind::BlockStart);
        for (const Pay& p : pays)
            EXPECT_TRUE(payrunreports::writeRecord(w, record(p, defs)));
        w.writeTag(payrunreports::kRecordsBlock, common::TagKind::BlockEnd);
        w.writeEof();
        EXPECT_TRUE(w.close());
        return path;
    }

    // Closes the month's periods of both frequencies into the store.
    void closeMonth(const char* month, const std::vector<Pay>& monthly,
                    const std::vector<Pay>& weekly) {
        org.month = month;
        writePeriodFile(common::MONTHLY, monthly);
        writePeriodFile(common::WEEKLY, weekly);
        ANNUALDB db(owner, code, folder);
        ASSERT_TRUE(db.checkFiles(ui, org));
        ASSERT_TRUE(db.updateFile(ui, common::MONTHLY, org, true)) << ui.lastMessage();
        ASSERT_TRUE(db.updateFile(ui, common::WEEKLY, org, true)) << ui.lastMessage();
    }

    void closeJanuaryAndFebruary() {
        closeMonth("January", januaryMonthly, januaryWeekly);
        closeMonth("February", februaryMonthly, februaryWeekly);
    }

    std::string storePath() const { return folder.resolve(ANNUALDB::storeFilePath(2025)); }

    common::REPORTPARAM param(std::int32_t reportType, int fromMonth, int toMonth) const {
        common::REPORTPARAM p = common::newReportParam(reportType, org);
        p.period.year = 2025;
        p.fromMonth = fromMonth;
        p.toMonth = toMonth;
        return p;
    }
};

} // namespace kelo::annualreturns::testing
