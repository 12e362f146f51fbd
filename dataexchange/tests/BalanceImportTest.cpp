#include "dataexchange/BalanceImport.h"

#include "database/JobsDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "staffrecords/tests/VarFrmFixture.h"
#include "taxreports/TaxRepDb.h"
#include "yeartodate/YtdDb.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace kelo::dataexchange {

void PrintTo(const ImportRefusal& r, std::ostream* out) {
    *out << "{" << r.row << ", \"" << r.column << "\", \"" << r.message << "\"}";
}

namespace {

namespace deduction = staffrecords::testing::deduction;
using staffrecords::testing::bytesOf;
using staffrecords::testing::LockHolder;

constexpr const char* kHeader = "Employee Number,Item,Balance,Payments Left,Interest Rate,"
                                "Taxable Benefit,Employer Contribution,Employee Balance,"
                                "Employer Balance\r\n";

// Every column, the bank loans' and the months' too.
constexpr const char* kFullHeader =
    "Employee Number,Item,Balance,Payments Left,Interest Rate,Taxable Benefit,"
    "Employer Contribution,Employee Balance,Employer Balance,Bank,Branch,Loan Number,Month,"
    "Amount\r\n";

struct BalanceImportTest : staffrecords::testing::VarFrmFixture {
    void SetUp() override {
        VarFrmFixture::SetUp();
        if (HasFatalFailure())
            return;
        // The year-to-date blocks name the unit, job and station.
        database::UNITSDB units(code, folder);
        database::JOBSDB jobs(code, folder);
        database::STATIONSDB stations(code, folder);
        ASSERT_TRUE(units.createFile(ui) && jobs.createFile(ui) && stations.createFile(ui));
        ui.clear();
    }

    // The fixture's pay period is March 2025: the months paid this fiscal
    // year are July 2024 to February 2025.
    std::optional<yeartodate::YtdFile> ytdFile(int year) {
        yeartodate::YtdFile file;
        if (!std::filesystem::exists(folder.resolve(yeartodate::YTDDB::filePath(year))) ||
            !yeartodate::readYtdFile(ui, folder, yeartodate::YTDDB::filePath(year), org, file))
            return std::nullopt;
        return file;
    }
};

const yeartodate::YTDREC* blockOf(const yeartodate::YtdFile& file, const std::string& empNum) {
    for (const yeartodate::YTDREC& rec : file.records)
        if (rec.empNum == empNum)
            return &rec;
    return nullptr;
}

// A fixed row by its number, or a list row by its name.
const yeartodate::YtdRow* ytdRowOf(const yeartodate::YTDREC& rec, std::optional<std::size_t> fixed,
                                   const std::string& name) {
    if (fixed)
        return &rec.rows[*fixed];
    for (const auto& list : rec.lists)
        for (const yeartodate::YtdNamedRow& named : list)
            if (named.name == name)
                return &named.row;
    return nullptr;
}

TEST_F(BalanceImportTest, SetsEveryKindOfBalanceThroughThePayrollForm) {
    const std::string bytes = std::string(kHeader) + "MH001,Staff Loan,\"600,000\",6,12,Yes,,,\r\n"
                                                     "MH001,staff savings,90000,,6.5,,,,\r\n"
                                                     "MH001,PSSSF,,,,,30000,1950000,5850000\r\n"
                                                     "MH001,Walimu SACCOS,540000,,,,,,\r\n"
                                                     "MH002,Staff Savings,120000,,4,,,,\r\n";
    BalanceImport import(code, folder);
    const ImportPreview& preview = import.read(bytes);
    ASSERT_TRUE(preview.accepted()) << preview.refusals[0].message;
    EXPECT_EQ(preview.rows, 5u);
    ASSERT_TRUE(import.commit(ui, org))
        << ui.lastMessage()
        << (import.preview().refusals.empty() ? "" : import.preview().refusals[0].message);
    expectNoMessage();

    const common::VARIATIONSREC mwakyusa = stored("MH001");
    const auto& loan = mwakyusa.deductions[deduction::kStaffLoan];
    EXPECT_EQ(loan.active, 1);
    const auto& loanParams = std::get<common::LoanParams>(loan.params);
    EXPECT_DOUBLE_EQ(loanParams.balance, 600000);
    EXPECT_EQ(loanParams.paymentsLeft, 6);
    EXPECT_FLOAT_EQ(loanParams.interestRate, 12);
    EXPECT_EQ(loanParams.newLoan, 0);
    EXPECT_EQ(loanParams.taxableBenefit, 1);
    const auto& savings =
        std::get<common::SavingsParams>(mwakyusa.deductions[deduction::kSavings].params);
    EXPECT_DOUBLE_EQ(savings.balance, 90000);
    EXPECT_FLOAT_EQ(savings.interestRate, 6.5f);
    const auto& pension =
        std::get<common::PensionParams>(mwakyusa.deductions[deduction::kPsssf].params);
    EXPECT_DOUBLE_EQ(pension.employerContribution, 30000);
    EXPECT_DOUBLE_EQ(pension.employeeBalance, 1950000);
    EXPECT_DOUBLE_EQ(pension.employerBalance, 5850000);
    EXPECT_DOUBLE_EQ(
        std::get<common::CoopParams>(mwakyusa.deductions[deduction::kWalimu].params).balance,
        540000);

    const auto bandaRec = stored("MH002");
    const auto& banda =
        std::get<common::SavingsParams>(bandaRec.deductions[deduction::kSavings].params);
    EXPECT_DOUBLE_EQ(banda.balance, 120000);
    EXPECT_FLOAT_EQ(banda.interestRate, 4);
}

struct RefusalCase {
    const char* name;
    std::string rows;
    std::vector<ImportRefusal> refusals;
};

TEST_F(BalanceImportTest, RefusesEachFaultAndWritesNothing) {
    const std::vector<RefusalCase> cases{
        {"unknown employee",
         "MH099,Staff Loan,1000,1,0,,,,\r\n",
         {{2, "Employee Number", "There is no employee numbered \"MH099\"."}}},
        {"employee who left",
         "MH005,Staff Loan,1000,1,0,,,,\r\n",
         {{2, "Employee Number", "The employee \"MH005\" has left the payroll."}}},
        {"deduction not on his payroll",
         "MH003,PSSSF,,,,,1,1,1\r\n",
         {{2, "Item", "There is no deduction named \"PSSSF\" on the Weekly payroll."}}},
        {"item without a balance",
         "MH001,Union Dues,1000,,,,,,\r\n",
         {{2, "Item", "\"Union Dues\" keeps no balance."}}},
        {"bad number",
         "MH001,Staff Savings,9O000,,,,,,\r\n",
         {{2, "Balance", "\"9O000\" is not a number."}}},
        {"payments not whole",
         "MH001,Staff Loan,1000,2.5,0,,,,\r\n",
         {{2, "Payments Left", "\"2.5\" is not a whole number of payments."}}},
        {"a column the item does not take",
         "MH001,Staff Savings,1000,3,,,,,\r\n",
         {{2, "Payments Left", "\"Payments Left\" does not apply to \"Staff Savings\"."}}},
        {"twice in the file",
         "MH001,Staff Savings,1000,,,,,,\r\nmh001,STAFF SAVINGS,2000,,,,,,\r\n",
         {{3, "Item", "\"Staff Savings\" of \"mh001\" is also on row 2."}}},
    };
    const std::string before = bytesOf(transactionsPath());
    for (const RefusalCase& c : cases) {
        BalanceImport import(code, folder);
        EXPECT_EQ(import.read(kHeader + c.rows).refusals, c.refusals) << c.name;
        EXPECT_FALSE(import.commit(ui, org)) << c.name;
    }
    BalanceImport import(code, folder);
    EXPECT_EQ(import.read("Employee Number,Balance\r\nMH001,1000\r\n").refusals,
              (std::vector<ImportRefusal>{{1, "Item", "The column \"Item\" is missing."}}));
    EXPECT_EQ(import.read(kHeader).refusals,
              (std::vector<ImportRefusal>{{0, "", "The file holds no balances."}}));
    expectNoMessage();
    EXPECT_EQ(bytesOf(transactionsPath()), before);
}

TEST_F(BalanceImportTest, ABalanceTheFormRefusesPutsTheOthersBack) {
    const common::VARIATIONSREC before = stored("MH001");
    // Mwakyusa is no member of Afya SACCOS, which the form finds only when
    // it ticks the item.
    const std::string bytes = std::string(kHeader) + "MH001,Staff Savings,90000,,6,,,,\r\n"
                                                     "MH001,Afya SACCOS,1000,,,,,,\r\n";
    BalanceImport import(code, folder);
    ASSERT_TRUE(import.read(bytes).accepted());
    EXPECT_FALSE(import.commit(ui, org));
    expectNoMessage();
    EXPECT_EQ(import.preview().refusals,
              (std::vector<ImportRefusal>{
                  {3, "",
                   "Afya SACCOS cannot be ticked: the employee is not a member of its "
                   "co-operative."}}));
    const common::VARIATIONSREC after = stored("MH001");
    EXPECT_EQ(after.deductions[deduction::kSavings].active,
              before.deductions[deduction::kSavings].active);
    EXPECT_DOUBLE_EQ(
        std::get<common::SavingsParams>(after.deductions[deduction::kSavings].params).balance,
        std::get<common::SavingsParams>(before.deductions[deduction::kSavings].params).balance);
    EXPECT_DOUBLE_EQ(after.netPay, before.netPay);
}

TEST_F(BalanceImportTest, APayrollThatRefusesTheItemPutsTheOtherPayrollBack) {
    const common::VARIATIONSREC before = stored("MH001");
    // The form keeps savings plans to the monthly payroll.
    const std::string bytes = std::string(kHeader) + "MH001,Staff Savings,90000,,6,,,,\r\n"
                                                     "MH003,Staff Savings,1000,,,,,,\r\n";
    BalanceImport import(code, folder);
    ASSERT_TRUE(import.read(bytes).accepted());
    EXPECT_FALSE(import.commit(ui, org));
    EXPECT_EQ(import.preview().refusals,
              (std::vector<ImportRefusal>{
                  {3, "", "Staff Savings can only be used on the monthly payroll."}}));
    const common::VARIATIONSREC after = stored("MH001");
    EXPECT_DOUBLE_EQ(
        std::get<common::SavingsParams>(after.deductions[deduction::kSavings].params).balance,
        std::get<common::SavingsParams>(before.deductions[deduction::kSavings].params).balance);
}

TEST_F(BalanceImportTest, AnotherUsersLockStopsTheImport) {
    BalanceImport import(code, folder);
    ASSERT_TRUE(
        import.read(std::string(kHeader) + "MH001,Staff Savings,90000,,6,,,,\r\n").accepted());
    const std::string before = bytesOf(transactionsPath());
    LockHolder other;
    ASSERT_TRUE(other.hold(transactionsPath(), rowOf("MH002")));
    EXPECT_FALSE(import.commit(ui, org));
    expectOneMessage(kBalancesLockedText);
    other.release();
    EXPECT_EQ(bytesOf(transactionsPath()), before);
}

} // namespace
} // namespace kelo::dataexchange

namespace kelo::dataexchange {
namespace {

TEST_F(BalanceImportTest, SetsABankLoanUnderWayAndACostRecoveryThroughThePayrollForm) {
    const std::string bytes = std::string(kFullHeader) +
                              "MH001,CRDB Loan,,12,,,,,,CRDB Bank,Mbeya,LN-4471,,\r\n"
                              "MH001,uniform,\"45,000\",,,,,,,,,,,\r\n";
    BalanceImport import(code, folder, org);
    ASSERT_TRUE(import.read(bytes).accepted()) << import.preview().refusals[0].message;
    ASSERT_TRUE(import.commit(ui, org)) << ui.lastMessage();
    expectNoMessage();
    const common::VARIATIONSREC rec = stored("MH001");
    const auto& bank =
        std::get<common::BankLoanParams>(rec.deductions[deduction::kCrdbLoan].params);
    EXPECT_EQ(rec.deductions[deduction::kCrdbLoan].active, 1);
    EXPECT_EQ(bank.paymentsLeft, 12);
    EXPECT_EQ(bank.newLoan, 0);
    EXPECT_EQ(bank.bankName, "CRDB Bank");
    EXPECT_EQ(bank.branchName, "Mbeya");
    EXPECT_EQ(bank.loanNumber, "LN-4471");
    const auto& recovery =
        std::get<common::CostRecoveryParams>(rec.deductions[deduction::kUniform].params);
    EXPECT_EQ(rec.deductions[deduction::kUniform].active, 1);
    EXPECT_DOUBLE_EQ(recovery.balance, 45000);
}

TEST_F(BalanceImportTest, ABankLoanTheFormRefusesImportsNothing) {
    // The form wants the branch of every bank loan.
    const std::string bytes = std::string(kFullHeader) +
                              "MH001,Uniform,45000,,,,,,,,,,,\r\n"
                              "MH001,CRDB Loan,,12,,,,,,CRDB Bank,,LN-4471,,\r\n";
    const common::VARIATIONSREC before = stored("MH001");
    BalanceImport import(code, folder, org);
    ASSERT_TRUE(import.read(bytes).accepted());
    EXPECT_FALSE(import.commit(ui, org));
    EXPECT_EQ(import.preview().refusals,
              (std::vector<ImportRefusal>{{3, "", "Branch name must not be blank."}}));
    const common::VARIATIONSREC after = stored("MH001");
    EXPECT_EQ(after.deductions[deduction::kUniform].active,
              before.deductions[deduction::kUniform].active);
    EXPECT_DOUBLE_EQ(
        std::get<common::CostRecoveryParams>(after.deductions[deduction::kUniform].params).balance,
        std::get<common::CostRecoveryParams>(before.deductions[deduction::kUniform].params)
            .balance);
}

struct MonthCase {
    const char* empNum;
    int year;
    std::size_t month; // 0 for January
    std::optional<std::size_t> fixedRow;
    const char* name; // a list row's
    double amount;
};

TEST_F(BalanceImportTest, PutsTheMonthsAlreadyPaidInTheYearToDateFiles) {
    using namespace yeartodate;
    // July to December 2024 in the 2024 file, January and February in 2025's;
    // a month without its year is the last of that name before March 2025.
    const std::string bytes = std::string(kFullHeader) +
                              "MH001,Basic Pay,,,,,,,,,,,July,1000000\r\n"
                              "MH001,basic pay,,,,,,,,,,,December 2024,1000000\r\n"
                              "MH001,PAYE,,,,,,,,,,,february,123500\r\n"
                              "MH001,Staff Loan,,,,,,,,,,,January 2025,100000\r\n"
                              "MH001,Chargeable Pay,,,,,,,,,,,February,900000\r\n"
                              "MH001,Total Payments,,,,,,,,,,,February,\"1,150,000\"\r\n"
                              "MH002,Transport Allowance,,,,,,,,,,,December,\"50,000.40\"\r\n"
                              "MH003,Plucking Bonus,,,,,,,,,,,August,12000\r\n";
    const std::vector<MonthCase> cases{
        {"MH001", 2024, 6, kBasicPayRow, "", 1000000},
        {"MH001", 2024, 11, kBasicPayRow, "", 1000000},
        {"MH001", 2024, 7, kBasicPayRow, "", 0},
        {"MH001", 2025, 1, kPayeRow, "", 123500},
        {"MH001", 2025, 0, std::nullopt, "Staff Loan", 100000},
        {"MH001", 2025, 1, kChargeablePayRow, "", 900000},
        {"MH001", 2025, 0, kPayeRow, "", 0},
        {"MH002", 2024, 11, std::nullopt, "Transport Allowance", 50000},
        {"MH003", 2024, 7, std::nullopt, "Plucking Bonus", 12000},
    };
    // A second import of the same file sets the same amounts, not twice them.
    for (int round = 0; round < 2; ++round) {
        BalanceImport import(code, folder, org);
        ASSERT_TRUE(import.read(bytes).accepted()) << import.preview().refusals[0].message;
        EXPECT_EQ(import.openings().size(), 8u);
        EXPECT_TRUE(import.balances().empty());
        ASSERT_TRUE(import.commit(ui, org)) << ui.lastMessage();
        expectNoMessage();
        const std::optional<YtdFile> y2024 = ytdFile(2024), y2025 = ytdFile(2025);
        ASSERT_TRUE(y2024 && y2025);
        for (const MonthCase& c : cases) {
            const YtdFile& file = c.year == 2024 ? *y2024 : *y2025;
            const YTDREC* rec = blockOf(file, c.empNum);
            ASSERT_NE(rec, nullptr) << c.empNum << " " << c.year;
            const YtdRow* row = ytdRowOf(*rec, c.fixedRow, c.name);
            ASSERT_NE(row, nullptr) << c.name;
            EXPECT_DOUBLE_EQ(row->amounts[c.month], c.amount)
                << c.empNum << " " << c.year << "-" << c.month + 1 << " " << c.name;
        }
        ASSERT_EQ(y2024->records.size(), 3u);
        ASSERT_EQ(y2025->records.size(), 1u);
        const YTDREC& mwakyusa = y2024->records[0];
        EXPECT_EQ(mwakyusa.empNum, "MH001");
        EXPECT_EQ(mwakyusa.lastName, "Mwakyusa");
        EXPECT_EQ(y2024->records[2].payFreq, common::WEEKLY);
        EXPECT_EQ(mwakyusa.monthFlags,
                  (std::array<int, kMonths>{0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
        const YTDREC& year2025 = y2025->records[0];
        EXPECT_EQ(year2025.monthFlags, (std::array<int, kMonths>{1, 1}));
        // Shown as a month end shows them: PAYE with the deductions' total.
        EXPECT_EQ(year2025.rows[kPayeRow].flag, 1);
        EXPECT_EQ(year2025.rows[kTotalDeductionsRow].flag, 1);
        EXPECT_EQ(year2025.rows[kOvertimeRow].flag, 0);
        EXPECT_EQ(y2025->header.yearText, "2025");

        // February's total payments, chargeable pay and PAYE make an opening
        // period of the P9 and P10; no other month has any of them.
        for (const taxreports::TaxFile kind : {taxreports::TaxFile::P9, taxreports::TaxFile::P10}) {
            taxreports::TAXFILE tax;
            ASSERT_TRUE(taxreports::readTaxFile(
                ui, folder, kind, taxreports::TAXREPDB::filePath(kind, 2025), org, tax));
            ASSERT_EQ(tax.periods.size(), 1u);
            const taxreports::TAXPERIOD& february = tax.periods[0];
            EXPECT_EQ(february.month, 2);
            EXPECT_EQ(february.header.periodTitle, "February 2025 (opening)");
            EXPECT_EQ(february.header.payFreq, common::MONTHLY);
            if (kind == taxreports::TaxFile::P9) {
                EXPECT_EQ(february.employees,
                          (std::vector<taxreports::P9EMP>{
                              {"MH001", "Mwakyusa, Emmanuel", "", 1150000, 900000, 123500}}));
            } else {
                EXPECT_EQ(february.totals, (taxreports::P10TOTALS{1, 1150000, 900000, 123500}));
            }
            EXPECT_FALSE(std::filesystem::exists(
                folder.resolve(taxreports::TAXREPDB::filePath(kind, 2024))));
        }
    }
}

TEST_F(BalanceImportTest, RefusesEachFaultOfAMonthAndWritesNothing) {
    const std::vector<RefusalCase> cases{
        {"the current month",
         "MH001,PAYE,,,,,,,,,,,March,1000\r\n",
         {{2, "Month", "March 2025 has not been paid yet: the current pay period is March 2025."}}},
        {"a month to come",
         "MH001,PAYE,,,,,,,,,,,April 2025,1000\r\n",
         {{2, "Month", "April 2025 has not been paid yet: the current pay period is March 2025."}}},
        {"last fiscal year",
         "MH001,PAYE,,,,,,,,,,,June 2024,1000\r\n",
         {{2, "Month", "June 2024 is not in the fiscal year of the current pay period."}}},
        {"no month",
         "MH001,PAYE,,,,,,,,,,,Juli,1000\r\n",
         {{2, "Month", "\"Juli\" is not a month such as \"July\" or \"July 2026\"."}}},
        {"no pay field of that name",
         "MH001,Plucking Bonus,,,,,,,,,,,July,1000\r\n",
         {{2, "Item", "There is no pay field named \"Plucking Bonus\" on the Monthly payroll."}}},
        {"unknown employee",
         "MH099,PAYE,,,,,,,,,,,July,1000\r\n",
         {{2, "Employee Number", "There is no employee numbered \"MH099\"."}}},
        {"no amount",
         "MH001,PAYE,,,,,,,,,,,July,\r\n",
         {{2, "Amount", "The month's amount is missing."}}},
        {"bad amount",
         "MH001,PAYE,,,,,,,,,,,July,12a\r\n",
         {{2, "Amount", "\"12a\" is not a number."}}},
        {"a balance beside a month",
         "MH001,Staff Loan,5000,,,,,,,,,,July,1000\r\n",
         {{2, "Balance", "\"Balance\" does not apply to a month's amount."}}},
        {"an amount without a month",
         "MH001,Staff Savings,5000,,,,,,,,,,,1000\r\n",
         {{2, "Amount", "\"Amount\" does not apply to \"Staff Savings\"."}}},
        {"a bank beside a savings plan",
         "MH001,Staff Savings,5000,,,,,,,CRDB Bank,,,,\r\n",
         {{2, "Bank", "\"Bank\" does not apply to \"Staff Savings\"."}}},
        {"the same month twice",
         "MH001,PAYE,,,,,,,,,,,July,1000\r\nMH001,paye,,,,,,,,,,,July 2024,2000\r\n",
         {{3, "Month", "\"PAYE\" of \"MH001\" for July 2024 is also on row 2."}}},
    };
    const std::string before = bytesOf(transactionsPath());
    for (const RefusalCase& c : cases) {
        BalanceImport import(code, folder, org);
        EXPECT_EQ(import.read(kFullHeader + c.rows).refusals, c.refusals) << c.name;
        EXPECT_FALSE(import.commit(ui, org)) << c.name;
    }
    // Without the organisation the months paid are not known.
    BalanceImport withoutPeriod(code, folder);
    EXPECT_EQ(
        withoutPeriod.read(kFullHeader + std::string("MH001,PAYE,,,,,,,,,,,July,1000\r\n"))
            .refusals,
        (std::vector<ImportRefusal>{{2, "Month", "The months already paid are not known here."}}));
    expectNoMessage();
    EXPECT_EQ(bytesOf(transactionsPath()), before);
    EXPECT_FALSE(ytdFile(2024));
    EXPECT_FALSE(ytdFile(2025));
}

TEST_F(BalanceImportTest, ABadRowInTheMiddleImportsNothing) {
    const std::string bytes = std::string(kFullHeader) +
                              "MH001,Staff Savings,90000,,6,,,,,,,,,\r\n"
                              "MH001,PAYE,,,,,,,,,,,July,1000\r\n"
                              "MH001,Union Dues,1000,,,,,,,,,,,\r\n"
                              "MH002,Staff Savings,120000,,4,,,,,,,,,\r\n"
                              "MH002,Basic Pay,,,,,,,,,,,January,450000\r\n";
    const std::string before = bytesOf(transactionsPath());
    BalanceImport import(code, folder, org);
    EXPECT_EQ(import.read(bytes).refusals,
              (std::vector<ImportRefusal>{{4, "Item", "\"Union Dues\" keeps no balance."}}));
    EXPECT_EQ(import.preview().rows, 5u);
    EXPECT_FALSE(import.commit(ui, org));
    expectNoMessage();
    EXPECT_EQ(bytesOf(transactionsPath()), before);
    EXPECT_FALSE(ytdFile(2024));
    EXPECT_FALSE(ytdFile(2025));
}

TEST_F(BalanceImportTest, AYearToDateFileThatCannotBeWrittenPutsEverythingBack) {
    // Something other than a year-to-date file where 2025's would go.
    std::filesystem::create_directories(folder.resolve("2025/ytd.dbf"));
    const common::VARIATIONSREC before = stored("MH001");
    const std::string bytes = std::string(kFullHeader) +
                              "MH001,Staff Savings,90000,,6,,,,,,,,,\r\n"
                              "MH001,Basic Pay,,,,,,,,,,,July,1000000\r\n"
                              "MH001,Basic Pay,,,,,,,,,,,January,1000000\r\n";
    BalanceImport import(code, folder, org);
    ASSERT_TRUE(import.read(bytes).accepted());
    EXPECT_FALSE(import.commit(ui, org));
    EXPECT_FALSE(ui.messages.empty());
    ui.clear();
    EXPECT_FALSE(std::filesystem::exists(folder.resolve("2024/ytd.dbf")));
    const common::VARIATIONSREC after = stored("MH001");
    EXPECT_EQ(after.deductions[deduction::kSavings].active,
              before.deductions[deduction::kSavings].active);
    EXPECT_DOUBLE_EQ(
        std::get<common::SavingsParams>(after.deductions[deduction::kSavings].params).balance,
        std::get<common::SavingsParams>(before.deductions[deduction::kSavings].params).balance);
}

TEST_F(BalanceImportTest, ATaxReturnFileThatCannotBeWrittenPutsEverythingBack) {
    // Something other than a P10 file where 2025's would go.
    std::filesystem::create_directories(
        folder.resolve(taxreports::TAXREPDB::filePath(taxreports::TaxFile::P10, 2025)));
    const common::VARIATIONSREC before = stored("MH001");
    const std::string bytes = std::string(kFullHeader) +
                              "MH001,Staff Savings,90000,,6,,,,,,,,,\r\n"
                              "MH001,Basic Pay,,,,,,,,,,,July,1000000\r\n"
                              "MH001,PAYE,,,,,,,,,,,January,123500\r\n";
    BalanceImport import(code, folder, org);
    ASSERT_TRUE(import.read(bytes).accepted());
    EXPECT_FALSE(import.commit(ui, org));
    EXPECT_FALSE(ui.messages.empty());
    ui.clear();
    for (const std::string& path :
         {yeartodate::YTDDB::filePath(2024), yeartodate::YTDDB::filePath(2025),
          taxreports::TAXREPDB::filePath(taxreports::TaxFile::P9, 2025)})
        EXPECT_FALSE(std::filesystem::exists(folder.resolve(path))) << path;
    const common::VARIATIONSREC after = stored("MH001");
    EXPECT_DOUBLE_EQ(
        std::get<common::SavingsParams>(after.deductions[deduction::kSavings].params).balance,
        std::get<common::SavingsParams>(before.deductions[deduction::kSavings].params).balance);
}

} // namespace
} // namespace kelo::dataexchange
