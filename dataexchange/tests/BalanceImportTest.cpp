#include "dataexchange/BalanceImport.h"

#include "staffrecords/tests/VarFrmFixture.h"

#include <gtest/gtest.h>

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

struct BalanceImportTest : staffrecords::testing::VarFrmFixture {};

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
