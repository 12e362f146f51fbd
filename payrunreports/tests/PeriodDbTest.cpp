#include "PeriodFixture.h"
#include "payrunreports/PeriodFormat.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

namespace kelo::payrunreports::testing {
namespace {

namespace fs = std::filesystem;

// Compares with the golden file beside this test; KELO_UPDATE_GOLDEN=1
// accepts the output as the new golden file.
void expectGolden(const std::string& actual, const std::string& name) {
    const fs::path golden = fs::path(__FILE__).parent_path() / "golden" / name;
    const char* update = std::getenv("KELO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        fs::create_directories(golden.parent_path());
        writeBytes(golden.string(), actual);
    }
    const std::string expected = bytesOf(golden.string());
    if (actual != expected) {
        writeBytes((fs::current_path() / name).string(), actual);
        ADD_FAILURE() << "differs from " << golden << "; the output is in "
                      << (fs::current_path() / name) << " (KELO_UPDATE_GOLDEN=1 accepts it)";
    }
}

struct PeriodDbTest : PeriodFixture {
    void write(bool current = false) {
        PERIODDB db(owner, code, folder);
        ASSERT_TRUE(db.checkFiles(ui, common::MONTHLY, org)) << messages();
        ASSERT_TRUE(db.writeFile(ui, common::MONTHLY, org, current)) << messages();
        EXPECT_TRUE(ui.messages.empty()) << messages();
    }
};

// The golden file holds the payroll worked by hand below; the readable
// golden beside it shows the same bytes with the values unscrambled.
//
// MH001: basic 1,000,000; overtime 10 x 7,500 = 75,000; gross 1,175,000
// with the transport allowance. NSSF 10 % = 117,500 each side. Benefits
// 50,000 + loan benefit (12 - 6) % x 1,200,000 / 12 = 6,000 = 56,000;
// taxable 1,231,000. PSSSF 5 % of basic = 50,000; relief 117,500 + 50,000
// = 167,500; chargeable 1,063,500; PAYE 63,500 x 30 % + 240,000 x 25 % +
// 240,000 x 20 % + 250,000 x 8 % = 19,050 + 60,000 + 48,000 + 20,000 =
// 147,050. Statutory 20,000 + 147,050 + 117,500 = 284,550; other
// deductions 100,000 + 20,000 + 50,000 + 30,000 + 10,000 + 15,000 =
// 225,000; total 509,550 (489,550 less lump sum tax). Pay 1,175,000 +
// 200,000 + 5,000 = 1,380,000; net 870,450. SDL 4 % = 47,000.
// Loan: interest 1,200,000 x 6 / 1200 = 6,000, all paid; principal
// 94,000; closing 1,106,000; 11 payments left. Co-operative 180,000 +
// 20,000 = 200,000. Pension 400,000 + 50,000 each side. Bank loan 4
// payments left. Savings interest 100,000 x 6 / 1200 = 500, closing
// 110,500. Uniform paid off: balance 0, flag 1.
// MH002: full pay 20,000 x 176 / 8 = 440,000; basic (22 - 2) x 20,000 =
// 400,000; casual hours 12.5 x 2,500.50 = 31,256.25 -> 31,256; gross
// 431,256; NSSF 43,125 each side. Housing 15 % of 431,256 = 64,688.40, at
// most 60,000, less rent 10,000 = 50,000; taxable 481,256; chargeable
// 481,256 - 43,125 = 438,131; PAYE 168,131 x 8 % = 13,450.48 -> 13,450.
// Statutory 56,575; other deductions 5,000 + 10,000 = 15,000. Pay
// 431,256 + 400 = 431,656; less 71,575 = 360,081, rounded down to 360,000
// with 81 carried (total deductions 71,656). SDL 17,250.24 -> 17,250.
// MH003: 150.5 x 1,250.75 = 188,237.875 -> 188,238, all of it net; SDL
// 7,529.52 -> 7,529.
TEST_F(PeriodDbTest, WritesThePeriodFileByteForByte) {
    write();
    const std::string bytes = bytesOf(workingFile());
    expectGolden(bytes, "monperiod.int");
    expectGolden(readableView(bytes), "monperiod.txt");
    EXPECT_EQ(bytes.rfind("# Report file for March 2025\n# [../org01/2025/monperiod.int]\n# \n", 0),
              0u);
    EXPECT_EQ(owner.statusTexts, (std::vector<std::string>{"Creating 2025/monperiod.int...", ""}));
}

TEST_F(PeriodDbTest, ReadsBackWhatWasWritten) {
    write();
    PERIODDBEX reader(owner, code, folder);
    PeriodFile file;
    ASSERT_TRUE(reader.readFile(ui, currentParam(), org, file)) << messages();
    EXPECT_TRUE(ui.messages.empty()) << messages();
    EXPECT_EQ(file.header,
              (PeriodHeader{"March 2025", common::MONTHLY, "Kilimo Traders Ltd", "100-200-300",
                            "NSSF-0042", "1234", "53101", "Mbeya", "025 250 0000"}));
    const std::vector<std::size_t> counts{4, 7, 1, 1, 1};
    for (std::size_t t = 0; t < counts.size(); ++t)
        EXPECT_EQ(file.definitions[t].size(), counts[t]) << t;
    const ReportItemDef& psssf = *file.definitions[common::DEDUCTIONS][3];
    EXPECT_EQ(psssf.name, "PSSSF");
    EXPECT_EQ(psssf.groupName, "PSSSF");
    EXPECT_FLOAT_EQ(psssf.percentage, 5);
    EXPECT_EQ(psssf.taxable, 0);
    EXPECT_EQ(file.definitions[common::DEDUCTIONS][1]->reportType, "Company Loan Report");

    ASSERT_EQ(file.records.size(), 3u);
    const REPORTREC& m = file.records[0];
    EXPECT_EQ(m.empNum, "MH001");
    EXPECT_EQ(m.name, "Mwakyusa, Emmanuel");
    EXPECT_EQ(m.unitPath, "Finance.Head Office");
    EXPECT_EQ(m.payMethod, common::kPayByBankTransfer);
    EXPECT_EQ(m.coopName[0], "Walimu SACCOS");
    EXPECT_EQ(m.pensionMemberNum[0], "P-200");
    EXPECT_EQ(m.overtimePay, 75000);
    EXPECT_EQ(m.paye, 147050);
    EXPECT_EQ(m.netPay, 870450);
    EXPECT_EQ(m.deductionsLessLumpSumTax, 489550);
    const ReportItem& loan = m.itemsOf(common::DEDUCTIONS)[deduction::kStaffLoan];
    EXPECT_EQ(loan.definition->name, "Staff Loan");
    EXPECT_EQ(loan.amount, 100000);
    EXPECT_EQ(std::get<LoanFigures>(loan.figures),
              (LoanFigures{1200000, 6000, 6000, 94000, 1106000, 6, 11, 12, 6000}));
    EXPECT_EQ(
        std::get<BankLoanFigures>(m.itemsOf(common::DEDUCTIONS)[deduction::kCrdbLoan].figures),
        (BankLoanFigures{4, "CRDB Bank", "Mbeya", "LN-77"}));
    const REPORTREC& b = file.records[1];
    EXPECT_EQ(b.birthDate, "Feb 1985");
    EXPECT_EQ(b.coopName[1], "Afya SACCOS");
    EXPECT_EQ(b.roundingCF, 81);
    EXPECT_EQ(b.netPay, 360000);
    EXPECT_EQ(std::get<HourlyFigures>(b.itemsOf(common::EARNINGS)[earning::kCasualHours].figures),
              (HourlyFigures{12.5f, 2500.5}));
    EXPECT_EQ(file.records[2].empNum, "MH003");
    EXPECT_EQ(file.records[2].payRate, 1250.75);
    EXPECT_EQ(file.records[2].timeWorked, 150.5f);

    // Written again from what was read, the file comes out the same.
    common::TaggedWriter w(dir.file("again.int"));
    ASSERT_TRUE(writePreamble(w, "Report file for March 2025", "../org01", "2025/monperiod.int"));
    ASSERT_TRUE(writeHeader(w, file.header) && writeDefinitions(w, file.definitions));
    ASSERT_TRUE(w.writeTag(kRecordsBlock, common::TagKind::BlockStart));
    for (const REPORTREC& rec : file.records)
        ASSERT_TRUE(writeRecord(w, rec));
    ASSERT_TRUE(w.writeTag(kRecordsBlock, common::TagKind::BlockEnd) && w.writeEof() && w.close());
    EXPECT_EQ(bytesOf(dir.file("again.int")), bytesOf(workingFile()));
}

TEST_F(PeriodDbTest, ALeaverWhoseTerminationWentThroughIsPaidNoMore) {
    // Kileo left on 7 March and an earlier period's close carried it
    // through; his transactions record stays until the month end drops it.
    Employee leaver = kileo();
    leaver.rec.terminated = 1;
    leaver.rec.terminationDate = common::date{2025, 7, 3};
    leaver.rec.separated = 1;
    hire(leaver);
    write();
    PERIODDBEX reader(owner, code, folder);
    PeriodFile file;
    ASSERT_TRUE(reader.readFile(ui, currentParam(), org, file)) << messages();
    ASSERT_EQ(file.records.size(), 2u);
    EXPECT_EQ(file.records[0].empNum, "MH001");
    EXPECT_EQ(file.records[1].empNum, "MH002");
}

TEST_F(PeriodDbTest, TheKeptFileOfAClosedPeriodIsFoundThroughThePayLog) {
    write(true);
    EXPECT_TRUE(fs::exists(folder.resolve("2025/mon03.dbf")));
    EXPECT_FALSE(fs::exists(workingFile()));
    ASSERT_TRUE(database::PAYLOGDB(code, folder).updatePayLog(ui, common::MONTHLY, org));
    // The organisation moves on to April; March is read as a closed period.
    common::REPORTPARAM param = currentParam();
    param.isCurrentPeriod = 0;
    org.month = "April";
    PERIODDBEX reader(owner, code, folder);
    PeriodFile file;
    ASSERT_TRUE(reader.readFile(ui, param, org, file)) << messages();
    EXPECT_EQ(file.header.periodTitle, "March 2025");
    ASSERT_EQ(file.records.size(), 3u);
    EXPECT_EQ(file.records[0].netPay, 870450);
    EXPECT_EQ(bytesOf(folder.resolve("2025/mon03.dbf"))
                  .rfind("# Report file for March 2025\n"
                         "# [../org01/2025/mon03.dbf]\n",
                         0),
              0u);
}

TEST_F(PeriodDbTest, LeaveBalancesReplaceOnlyTheLastValueOfEachRecord) {
    write();
    database::LEAVEDB leave(code, folder, ui);
    database::ABSENCEDB absence(code, folder, ui);
    // MH001: 10.5 brought forward + 2.33 earned - 1 sold - 3 days of annual
    // leave = 8.83; a booking of annual leave and sick leave do not count.
    // MH002: 2 earned - 0.5 forfeited = 1.50. MH003 has no rows: 0.00.
    for (auto [empNum, kind, days] : std::vector<std::tuple<std::string, std::int32_t, float>>{
             {"MH001", database::kBalanceBF, 10.5f},
             {"MH001", database::kLeaveEarned, 2.33f},
             {"MH001", database::kLeaveSold, 1},
             {"MH002", database::kLeaveEarned, 2},
             {"MH002", database::kLeaveForfeited, 0.5f}}) {
        database::LEAVEROW row{0, common::date{2025, 1, 3}, kind, days};
        ASSERT_TRUE(leave.appendRec(empNum, row));
    }
    for (auto [reason, days, booking] : std::vector<std::tuple<std::string, float, bool>>{
             {"Annual Leave", 3, false}, {"Annual Leave", 5, true}, {"Sick Leave", 2, false}}) {
        database::ABSENCEROW row{0, common::date{2025, 3, 3}, common::date{2025, 7, 3}, days,
                                 reason};
        ASSERT_TRUE(absence.appendRec("MH001", row, booking));
    }
    ui.clear();
    owner.clear();
    const std::string before = bytesOf(workingFile());
    PERIODDBEX reader(owner, code, folder);
    ASSERT_TRUE(reader.saveLeaveDays(ui, common::MONTHLY, org, false)) << messages();
    EXPECT_TRUE(ui.messages.empty()) << messages();
    EXPECT_EQ(owner.statusTexts, (std::vector<std::string>{"Updating 2025/monperiod.int...", ""}));

    std::string expected = readableView(before);
    std::size_t from = 0;
    for (const char* balance : {"8.83", "1.50", "0.00"}) {
        const std::size_t at = expected.find("|0.00|}", from);
        ASSERT_NE(at, std::string::npos);
        expected.replace(at + 1, 4, balance);
        from = at + 7;
    }
    EXPECT_EQ(readableView(bytesOf(workingFile())), expected);

    PeriodFile file;
    ASSERT_TRUE(reader.readFile(ui, currentParam(), org, file)) << messages();
    ASSERT_EQ(file.records.size(), 3u);
    EXPECT_FLOAT_EQ(file.records[0].leaveBalance, 8.83f);
    EXPECT_FLOAT_EQ(file.records[1].leaveBalance, 1.5f);
    EXPECT_FLOAT_EQ(file.records[2].leaveBalance, 0);
    for (const auto& entry : fs::directory_iterator(folder.resolve("2025")))
        EXPECT_EQ(entry.path().filename(), "monperiod.int") << "left behind: " << entry.path();
}

TEST_F(PeriodDbTest, AFailedLeaveUpdateLeavesTheFileAsItWas) {
    write();
    const std::string before = bytesOf(workingFile());
    fs::remove(folder.resolve("database/absence.dbf"));
    PERIODDBEX reader(owner, code, folder);
    EXPECT_FALSE(reader.saveLeaveDays(ui, common::MONTHLY, org, false));
    EXPECT_TRUE(ui.messages.empty()) << messages();
    EXPECT_EQ(bytesOf(workingFile()), before);
    EXPECT_EQ(owner.statusTexts.back(), "");
}

TEST_F(PeriodDbTest, LeaveBalancesOfAMissingFileAreNotFilledIn) {
    PERIODDBEX reader(owner, code, folder);
    EXPECT_FALSE(reader.saveLeaveDays(ui, common::MONTHLY, org, false));
    expectOneError("Unable to update 2025/monperiod.int");
    EXPECT_FALSE(fs::exists(workingFile()));
}

TEST_F(PeriodDbTest, WorkingFilesOfEveryFrequencyAreDeleted) {
    for (const char* name : {"monperiod.int", "wkperiod.int", "bwkperiod.int", "irrperiod.int"})
        writeBytes(folder.resolve(std::string("2025/") + name), "x");
    writeBytes(folder.resolve("2025/mon03.dbf"), "kept");
    PERIODDB(owner, code, folder).delTmpFiles(org);
    EXPECT_EQ(owner.statusTexts, (std::vector<std::string>{"Deleting 2025/monperiod.int...",
                                                           "Deleting 2025/wkperiod.int...",
                                                           "Deleting 2025/bwkperiod.int...",
                                                           "Deleting 2025/irrperiod.int...", ""}));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder.resolve("2025")))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"mon03.dbf"});
}

} // namespace
} // namespace kelo::payrunreports::testing
