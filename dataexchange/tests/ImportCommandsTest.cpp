#include "dataexchange/ImportCommands.h"

#include "database/JobsDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "dataexchange/tests/ScriptedPreviewHost.h"
#include "staffrecords/tests/VarFrmFixture.h"

#include <fstream>
#include <gtest/gtest.h>

namespace kelo::dataexchange {
namespace {

using common::MessageIcon;
using testing::ScriptedPreviewHost;

constexpr const char* kHeader = "Employee Number,Last Name,Other Names,Unit,Job,Station,"
                                "Pay Frequency,Pay Basis,Salary,Hours per Day,Hours per Month,"
                                "Start Date\r\n";
constexpr const char* kMushi =
    "MH010,Mushi,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,01/03/2025\r\n";
constexpr const char* kBadDate =
    "MH011,Temba,Joseph,Head Office,Clerk,Mbeya,Monthly,Salary,250000,8,195,2025-13-01\r\n";

struct ImportCommandsTest : staffrecords::testing::StatFrmFixture {
    void SetUp() override {
        StatFrmFixture::SetUp();
        if (HasFatalFailure())
            return;
        database::POSTSDB posts(code, folder);
        ASSERT_TRUE(posts.openFile());
        ASSERT_TRUE(posts.appendRecord(
            {staffrecords::testing::kHeadOffice, staffrecords::testing::kClerk, {3, 0, 0, 0}}));
        posts.closeFile();
        ui.clear();
    }

    std::string writeCsv(const std::string& bytes) {
        const std::string path = dir.file("new-staff.csv");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    ScriptedPreviewHost previews;
};

TEST_F(ImportCommandsTest, ImportsAfterTheClerksImport) {
    const std::string path = writeCsv(std::string(kHeader) + kMushi);
    const long before = employeeCount();
    ui.choices.push_back(path);
    previews.answers.push_back(true);
    EXPECT_TRUE(importEmployeesFromFile(ui, previews, code, folder, org));
    ASSERT_EQ(previews.previews.size(), 1u);
    EXPECT_EQ(previews.previews[0].rows, 1u);
    EXPECT_TRUE(previews.previews[0].refusals.empty());
    const ImportListing& listing = previews.listings[0];
    EXPECT_EQ(listing.caption, "Import Employees");
    EXPECT_EQ(listing.file, path);
    EXPECT_EQ(listing.headings,
              (std::vector<std::string>{"Employee Number", "Last Name", "Other Names"}));
    EXPECT_EQ(listing.rows, (std::vector<std::vector<std::string>>{{"MH010", "Mushi", "Neema"}}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "1 employee was imported.");
    EXPECT_EQ(employeeCount(), before + 1);
    EXPECT_EQ(ui.fileChoices.at(0).filter, "CSV Files (*.csv)");
    EXPECT_EQ(ui.fileChoices.at(0).title, "Import Employees");
}

TEST_F(ImportCommandsTest, CancelOrARefusedRowImportsNothing) {
    const long before = employeeCount();
    // Cancel in the preview.
    ui.choices.push_back(writeCsv(std::string(kHeader) + kMushi));
    previews.answers.push_back(false);
    EXPECT_FALSE(importEmployeesFromFile(ui, previews, code, folder, org));
    EXPECT_EQ(previews.previews.size(), 1u);
    EXPECT_TRUE(ui.messages.empty());
    // A refused row: the whole file stays out, the preview says why, even
    // should its window answer Import.
    previews = {};
    previews.answers.push_back(true);
    ui.choices.push_back(writeCsv(std::string(kHeader) + kMushi + kBadDate));
    EXPECT_FALSE(importEmployeesFromFile(ui, previews, code, folder, org));
    ASSERT_EQ(previews.previews.size(), 1u);
    EXPECT_EQ(previews.previews[0].rows, 2u);
    EXPECT_EQ(previews.previews[0].refusals,
              (std::vector<ImportRefusal>{
                  {3, "Start Date", "\"2025-13-01\" is not a date (dd/mm/yyyy)."}}));
    EXPECT_TRUE(previews.listings[0].rows.empty());
    EXPECT_TRUE(ui.messages.empty());
    // Cancel at the file and a file that is not there: no preview.
    previews = {};
    ui.choices.push_back(std::nullopt);
    EXPECT_FALSE(importEmployeesFromFile(ui, previews, code, folder, org));
    EXPECT_TRUE(ui.messages.empty());
    ui.choices.push_back(dir.file("missing.csv"));
    EXPECT_FALSE(importEmployeesFromFile(ui, previews, code, folder, org));
    EXPECT_EQ(ui.lastMessage(), "Can't open " + dir.file("missing.csv"));
    EXPECT_TRUE(previews.previews.empty());
    EXPECT_EQ(employeeCount(), before);
}

TEST_F(ImportCommandsTest, ExportWritesTheListOrTellsWhyNot) {
    const std::string path = dir.file("staff.csv");
    ui.choices.push_back(path);
    ASSERT_TRUE(exportEmployeesToFile(ui, code, folder)) << ui.lastMessage();
    std::ifstream in(path, std::ios::binary);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first.rfind("\xEF\xBB\xBF"
                          "Employee Number,",
                          0),
              0u)
        << first;
    EXPECT_EQ(ui.fileChoices.at(0).fileName, "employees.csv");
    const std::string missing = dir.file("no-such-folder/staff.csv");
    ui.choices.push_back(missing);
    EXPECT_FALSE(exportEmployeesToFile(ui, code, folder));
    EXPECT_EQ(ui.lastMessage(), "Can't save to " + missing);
}

constexpr const char* kBalanceHeader = "Employee Number,Item,Balance,Payments Left,Interest Rate,"
                                       "Taxable Benefit,Employer Contribution,Employee Balance,"
                                       "Employer Balance\r\n";

struct ImportBalancesCommandTest : staffrecords::testing::VarFrmFixture {
    std::string writeCsv(const std::string& bytes) {
        const std::string path = dir.file("balances.csv");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    ScriptedPreviewHost previews;
};

TEST_F(ImportBalancesCommandTest, ListsTheBalancesAndSetsThemAfterImport) {
    namespace deduction = staffrecords::testing::deduction;
    const std::string path =
        writeCsv(std::string(kBalanceHeader) + "MH001,Staff Loan,\"600,000\",6,12,Yes,,,\r\n"
                                               "MH001,PSSSF,,,,,30000,1950000,5850000\r\n");
    ui.choices.push_back(path);
    previews.answers.push_back(true);
    EXPECT_TRUE(importBalancesFromFile(ui, previews, code, folder, org)) << ui.lastMessage();
    ASSERT_EQ(previews.listings.size(), 1u);
    const ImportListing& listing = previews.listings[0];
    EXPECT_EQ(listing.caption, "Import Opening Balances");
    EXPECT_EQ(listing.headings, (std::vector<std::string>{"Employee Number", "Item", "Balance"}));
    EXPECT_EQ(listing.rows,
              (std::vector<std::vector<std::string>>{
                  {"MH001", "Staff Loan", "600,000.00, 6 payments left"},
                  {"MH001", "PSSSF", "employee 1,950,000.00, employer 5,850,000.00"}}));
    EXPECT_EQ(ui.lastMessage(), "2 opening balances were imported.");
    EXPECT_EQ(ui.fileChoices.at(0).title, "Import Opening Balances");
    const auto loan =
        std::get<common::LoanParams>(stored("MH001").deductions[deduction::kStaffLoan].params);
    EXPECT_DOUBLE_EQ(loan.balance, 600000);
}

TEST_F(ImportBalancesCommandTest, CancelLeavesTheBalancesAsTheyWere) {
    namespace deduction = staffrecords::testing::deduction;
    const common::VARIATIONSREC before = stored("MH001");
    ui.choices.push_back(
        writeCsv(std::string(kBalanceHeader) + "MH001,Staff Loan,600000,6,12,Yes,,,\r\n"));
    previews.answers.push_back(false);
    EXPECT_FALSE(importBalancesFromFile(ui, previews, code, folder, org));
    EXPECT_EQ(previews.previews.size(), 1u);
    EXPECT_TRUE(ui.messages.empty());
    const auto loanOf = [](const common::VARIATIONSREC& rec) {
        return std::get<common::LoanParams>(rec.deductions[deduction::kStaffLoan].params);
    };
    EXPECT_DOUBLE_EQ(loanOf(stored("MH001")).balance, loanOf(before).balance);
    EXPECT_EQ(loanOf(stored("MH001")).paymentsLeft, loanOf(before).paymentsLeft);
}

// The months already paid come through the menu too: the organisation's
// pay period (March 2025) tells which they are.
TEST_F(ImportBalancesCommandTest, ListsAMonthAlreadyPaidAndABankLoan) {
    database::UNITSDB units(code, folder);
    database::JOBSDB jobs(code, folder);
    database::STATIONSDB stations(code, folder);
    ASSERT_TRUE(units.createFile(ui) && jobs.createFile(ui) && stations.createFile(ui));
    ui.clear();
    ui.choices.push_back(writeCsv(
        "Employee Number,Item,Payments Left,Bank,Branch,Loan Number,Balance,Month,Amount\r\n"
        "MH001,CRDB Loan,12,CRDB Bank,Mbeya,LN-4471,,,\r\n"
        "MH001,Uniform,,,,,\"45,000\",,\r\n"
        "MH001,Basic Pay,,,,,,February 2025,\"1,000,000\"\r\n"));
    previews.answers.push_back(true);
    EXPECT_TRUE(importBalancesFromFile(ui, previews, code, folder, org)) << ui.lastMessage();
    ASSERT_EQ(previews.listings.size(), 1u);
    EXPECT_EQ(previews.listings[0].rows,
              (std::vector<std::vector<std::string>>{
                  {"MH001", "CRDB Loan", "CRDB Bank, Mbeya, loan LN-4471, 12 payments left"},
                  {"MH001", "Uniform", "45,000.00"},
                  {"MH001", "Basic Pay, February 2025", "1,000,000.00"}}));
    EXPECT_EQ(ui.lastMessage(), "3 opening balances were imported.");
}

} // namespace
} // namespace kelo::dataexchange
