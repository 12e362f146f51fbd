#include "VarFrmFixture.h"

#include <gtest/gtest.h>

namespace kelo::staffrecords {
namespace {

namespace vf = varfrm;
namespace ad = addempdlg;
using common::Answer;
using testing::bytesOf;
using testing::kLeaveBonus;
using testing::kMotorVehicle;
namespace deduction = testing::deduction;
namespace earning = testing::earning;

using VarFrmRecordsTest = testing::VarFrmFixture;

std::string invalid(const std::string& field) {
    return "The value entered for the \"" + field + "\" field is invalid.";
}

// Checks before saving

TEST_F(VarFrmRecordsTest, TaxOnLumpSumsIsCheckedAgainstTheirTotal) {
    edit("MH001", [](common::VARIATIONSREC& rec) {
        rec.lumpSums[kLeaveBonus].active = 1;
        rec.lumpSums[kLeaveBonus].amount = 200000;
    });
    struct Case {
        const char* tax;
        const char* refusal;
    };
    const Case cases[] = {
        {"200,000", nullptr}, // equal to the total
        {"150,000", nullptr},
        {"200,001", "Tax on lump sum payments cannot exceed their total."},
        {"-1", "Tax on lump sum payments cannot be negative"},
    };
    openForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tax);
        show(LUMP_SUMS_PAGE);
        page.setText(vf::kLumpSumTax, c.tax);
        EXPECT_EQ(form->saveCurrentRec(), c.refusal == nullptr);
        if (c.refusal) {
            expectOneMessage(c.refusal);
            EXPECT_EQ(page.focus(), vf::kLumpSumTax);
            form->undoCurrentRec();
        } else {
            expectNoMessage();
        }
    }
    EXPECT_DOUBLE_EQ(stored("MH001").lumpSumTax, 150000);

    // Without PAYE there is no tax to key.
    common::STATICREC banda = person("MH002", "Banda", "Grace", 450000);
    banda.timeBasis = common::kTimeDaysAbsent;
    banda.payeApplies = 0;
    hire(banda);
    moveTo("MH002");
    show(LUMP_SUMS_PAGE);
    EXPECT_FALSE(page.isEnabled(vf::kLumpSumTax));
}

TEST_F(VarFrmRecordsTest, KeyedAmountsAreCheckedAgainstTheirLimitsAndBalances) {
    edit("MH001", [](common::VARIATIONSREC& rec) {
        rec.deductions[deduction::kUnionDues].active = 1;
        rec.deductions[deduction::kUnionDues].amount = 10000;
        rec.deductions[deduction::kSaccosLoan].active = 1;
        rec.deductions[deduction::kSaccosLoan].params = common::LoanParams{100000, 12, 1, 0, 0};
        rec.deductions[deduction::kUniform].active = 1;
        rec.deductions[deduction::kUniform].params = common::CostRecoveryParams{30000, 0, 0};
    });
    struct Case {
        std::size_t item;
        const char* amount;
        const char* refusal;
    };
    // SACCOS Loan: 100,000 with a month at 12 % a year is 101,000 payable.
    const Case cases[] = {
        {deduction::kUnionDues, "500", "Union Dues below set lower limit, 1000."},
        {deduction::kUnionDues, "60,000", "Union Dues above set upper limit, 50000."},
        {deduction::kUnionDues, "50,000", nullptr},
        {deduction::kSaccosLoan, "101,001",
         "SACCOS Loan: Payment cannot exceed amount payable, 101000.00."},
        {deduction::kSaccosLoan, "101,000", nullptr},
        {deduction::kUniform, "30,001", "Uniform: Payment cannot exceed amount payable, 30000.00."},
        {deduction::kUniform, "30,000", nullptr},
    };
    openForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.item) + " " + c.amount);
        show(DEDUCTIONS_PAGE);
        const std::string before = bytesOf(transactionsPath());
        form->scrollFields(ScrollCode::Position, static_cast<int>(c.item));
        page.setText(vf::kItemAmount[c.item - static_cast<std::size_t>(form->scrollPosition())],
                     c.amount);
        // The refused item is brought into view.
        form->scrollFields(ScrollCode::Top);
        ui.beeps = 0;
        EXPECT_EQ(form->saveCurrentRec(), c.refusal == nullptr);
        if (!c.refusal) {
            expectNoMessage();
            continue;
        }
        EXPECT_EQ(ui.beeps, 1);
        expectOneMessage(c.refusal);
        const int row = static_cast<int>(c.item) - form->scrollPosition();
        ASSERT_GE(row, 0);
        EXPECT_EQ(page.focus(), vf::kItemAmount[row]);
        EXPECT_EQ(page.text(vf::kItemAmount[row]), c.amount);
        EXPECT_FALSE(form->nextRecord());
        ui.clear();
        EXPECT_EQ(bytesOf(transactionsPath()), before);
        form->undoCurrentRec();
    }
    show(DEDUCTIONS_PAGE);
    page.setText(vf::kOverdraft, "-1");
    EXPECT_FALSE(form->validatePage());
    expectOneMessage("Overdraft recovery cannot be negative");
    EXPECT_EQ(page.focus(), vf::kOverdraft);
}

// Removing and adding back

TEST_F(VarFrmRecordsTest, ARemovedEmployeeLeavesThePayrollAndIsAddedBack) {
    openForm();
    show(EARNINGS_PAGE);
    ui.answers = {Answer::No};
    EXPECT_FALSE(form->deleteRecord());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Are you sure you want to delete this record?");
    EXPECT_EQ(ui.messages[0].defaultAnswer, Answer::No);
    ui.clear();
    EXPECT_TRUE(form->hasRecord());
    EXPECT_EQ(stored("MH001").removed, 0);

    ui.answers = {Answer::Yes};
    ASSERT_TRUE(form->deleteRecord());
    ui.clear();
    EXPECT_FALSE(form->hasRecord());
    EXPECT_EQ(page.text(vf::kEmployee), "Null record");
    EXPECT_FALSE(page.isVisible(vf::kPageBody));
    EXPECT_EQ(stored("MH001").removed, 1);

    // A removed record whose employee has left the personnel file stays off.
    {
        database::VARDB table(code, folder);
        common::PayItemDefs defs;
        ASSERT_TRUE(database::loadPayItemDefs(ui, folder, common::MONTHLY, defs));
        ASSERT_TRUE(table.setDefinitions(defs) && table.openFile(common::MONTHLY));
        common::VARIATIONSREC gone = common::newVariationsRec(table.definitions());
        gone.empNum = "MH009";
        gone.removed = 1;
        ASSERT_TRUE(table.appendRec(gone));
    }
    ASSERT_TRUE(form->initAddEmpDlg(dlg));
    EXPECT_EQ(dlg.caption(), "Add Employees to Payroll");
    EXPECT_EQ(dlg.itemTexts(ad::kEmployees),
              (std::vector<std::string>{"MH001\tMwakyusa, Emmanuel", "MH004\tSalim, Juma"}));
    EXPECT_TRUE(dlg.isChecked(ad::kAddAll));
    EXPECT_FALSE(dlg.isEnabled(ad::kEmployees));
    dlg.setChecked(ad::kAddAll, false);
    dlg.setChecked(ad::kAddSelected, true);
    form->resetAddEmpDlg(dlg);
    EXPECT_TRUE(dlg.isEnabled(ad::kEmployees));
    EXPECT_FALSE(form->addRecords(dlg)); // nothing chosen
    dlg.setRowSelected(ad::kEmployees, 0, true);
    ASSERT_TRUE(form->addRecords(dlg));
    expectNoMessage();
    EXPECT_EQ(stored("MH001").removed, 0);
    EXPECT_EQ(stored("MH004").removed, 1);
    // The employee shown is back.
    EXPECT_TRUE(form->hasRecord());
    EXPECT_EQ(page.text(vf::kEmployee), "MH001  Mwakyusa, Emmanuel");

    dlg = testsupport::FakeDialogView();
    ASSERT_TRUE(form->initAddEmpDlg(dlg));
    EXPECT_EQ(dlg.itemTexts(ad::kEmployees), (std::vector<std::string>{"MH004\tSalim, Juma"}));
    ASSERT_TRUE(form->addRecords(dlg));
    EXPECT_EQ(stored("MH004").removed, 0);
    EXPECT_FALSE(form->initAddEmpDlg(dlg));
    expectOneMessage("No eligible employees were found.");
}

TEST_F(VarFrmRecordsTest, AddingBackMeetsAnotherUsersLock) {
    openForm();
    testing::LockHolder other;
    ASSERT_TRUE(other.hold(transactionsPath(), rowOf("MH004")));
    ASSERT_TRUE(form->initAddEmpDlg(dlg));
    EXPECT_FALSE(form->addRecords(dlg));
    expectOneMessage("The payroll record of MH004 is locked by another user. Try again later.");
    other.release();
    EXPECT_EQ(stored("MH004").removed, 1);
    ASSERT_TRUE(form->addRecords(dlg));
    EXPECT_EQ(stored("MH004").removed, 0);
}

// Records that cannot be edited

TEST_F(VarFrmRecordsTest, AnEmployeeOffThisPayrollShowsANullRecord) {
    openForm();
    show(EARNINGS_PAGE);
    for (const char* number : {"MH003", "MH004"}) { // weekly; removed
        SCOPED_TRACE(number);
        moveTo(number);
        EXPECT_FALSE(form->hasRecord());
        EXPECT_EQ(page.text(vf::kEmployee), "Null record");
        EXPECT_FALSE(page.isVisible(vf::kPageBody));
        EXPECT_TRUE(form->saveCurrentRec());
        EXPECT_FALSE(form->resetField(0));
        EXPECT_FALSE(form->setCurrentField(0));
        EXPECT_FALSE(form->displayOTHrs(dlg));
        EXPECT_FALSE(form->deleteRecord());
        expectNoMessage();
    }
    EXPECT_EQ(page.text(vf::kPosition), "Record 4 of 5");
    EXPECT_FALSE(form->keyAmount("MH004", common::EARNINGS, earning::kTransport, 30000));
    expectOneMessage("MH004 is not on this payroll.");
}

TEST_F(VarFrmRecordsTest, ASeparatedEmployeeIsReadOnly) {
    openForm();
    moveTo("MH005");
    show(DEDUCTIONS_PAGE);
    EXPECT_EQ(page.text(vf::kReadOnly), "Read-Only");
    EXPECT_FALSE(page.isEnabled(vf::kItemActive[0]));
    EXPECT_FALSE(page.isEnabled(vf::kOverdraft));
    EXPECT_FALSE(form->resetField(0));
    EXPECT_FALSE(form->deleteRecord());
    expectOneMessage("This record is read-only and cannot be deleted.");
    EXPECT_FALSE(form->keyAmount("MH005", common::DEDUCTIONS, deduction::kUnionDues, 5000));
    expectOneMessage("This record is read-only and cannot be saved.");
    EXPECT_TRUE(form->saveCurrentRec());
}

// Other users

TEST_F(VarFrmRecordsTest, AnotherUsersRowLockStopsTheSave) {
    openForm();
    show(BENEFITS_PAGE);
    ASSERT_TRUE(form->resetField(0));
    page.setText(vf::kItemAmount[0], "50,000");
    testing::LockHolder other;
    ASSERT_TRUE(other.hold(transactionsPath(), rowOf("MH001")));
    const std::string before = bytesOf(transactionsPath());
    EXPECT_FALSE(form->saveCurrentRec());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, common::MessageIcon::Warning);
    expectOneMessage("This employee's payroll record is locked by another user. Try again later.");
    EXPECT_FALSE(form->nextRecord());
    ui.clear();
    EXPECT_EQ(form->getEmployee().empNum, "MH001");
    EXPECT_EQ(page.text(vf::kItemAmount[0]), "50,000");
    EXPECT_EQ(bytesOf(transactionsPath()), before);
    other.release();
    ASSERT_TRUE(form->saveCurrentRec());
    EXPECT_DOUBLE_EQ(stored("MH001").benefits[kMotorVehicle].amount, 50000);
}

TEST_F(VarFrmRecordsTest, AnotherUsersChangeIsShownWhenNothingIsPending) {
    openForm();
    show(BENEFITS_PAGE);
    EXPECT_FALSE(form->refreshRecord());
    editAsOtherUser("MH001", [](common::VARIATIONSREC& rec) {
        rec.benefits[kMotorVehicle].active = 1;
        rec.benefits[kMotorVehicle].amount = 75000;
    });
    EXPECT_TRUE(form->refreshRecord());
    EXPECT_TRUE(page.isChecked(vf::kItemActive[0]));
    EXPECT_EQ(page.text(vf::kItemAmount[0]), "75,000");
    EXPECT_FALSE(form->refreshRecord());
    expectNoMessage();
}

TEST_F(VarFrmRecordsTest, PendingChangesAreNotSavedOverAnotherUsersChange) {
    openForm();
    show(BENEFITS_PAGE);
    ASSERT_TRUE(form->resetField(0));
    page.setText(vf::kItemAmount[0], "50,000");
    editAsOtherUser("MH001", [](common::VARIATIONSREC& rec) {
        rec.deductions[deduction::kUnionDues].active = 1;
        rec.deductions[deduction::kUnionDues].amount = 20000;
    });
    EXPECT_FALSE(form->refreshRecord());
    EXPECT_EQ(page.text(vf::kItemAmount[0]), "50,000");
    EXPECT_FALSE(form->saveCurrentRec());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, common::MessageIcon::Warning);
    expectOneMessage("Another user has changed this employee's record since it was shown. Your "
                     "changes have not been saved: choose Undo to see the other user's changes, "
                     "then key yours again.");
    common::VARIATIONSREC rec = stored("MH001");
    EXPECT_DOUBLE_EQ(rec.deductions[deduction::kUnionDues].amount, 20000);
    EXPECT_EQ(rec.benefits[kMotorVehicle].active, 0);

    // Undo shows what the other user stored.
    form->undoCurrentRec();
    EXPECT_FALSE(form->isChanged());
    EXPECT_FALSE(page.isChecked(vf::kItemActive[0]));
    show(DEDUCTIONS_PAGE);
    EXPECT_EQ(page.text(vf::kItemAmount[0]), "20,000");
}

TEST_F(VarFrmRecordsTest, UndoShowsTheRecordAsStored) {
    openForm();
    show(EARNINGS_PAGE);
    ASSERT_TRUE(form->resetField(0));
    page.setText(vf::kItemAmount[0], "45,000");
    form->amountChanged();
    EXPECT_EQ(page.text(vf::kTotal), "1,045,000");
    form->undoCurrentRec();
    EXPECT_FALSE(form->isChanged());
    EXPECT_FALSE(page.isChecked(vf::kItemActive[0]));
    EXPECT_EQ(page.text(vf::kItemAmount[0]), "0");
    EXPECT_EQ(page.text(vf::kTotal), "1,000,000");
    ASSERT_TRUE(form->close());
    EXPECT_EQ(stored("MH001").earnings[earning::kTransport].active, 0);
}

// Without a window

TEST_F(VarFrmRecordsTest, KeyingWithoutAWindowChecksAndSaves) {
    openForm();
    // Banda: 450,000 and a Transport Allowance of 35,000.
    ASSERT_TRUE(form->keyAmount("MH002", common::EARNINGS, earning::kTransport, 35000));
    common::VARIATIONSREC rec = stored("MH002");
    EXPECT_EQ(rec.earnings[earning::kTransport].active, 1);
    EXPECT_DOUBLE_EQ(rec.earnings[earning::kTransport].amount, 35000);
    EXPECT_DOUBLE_EQ(rec.grossPay, 485000);

    EXPECT_FALSE(form->keyAmount("MH002", common::EARNINGS, earning::kTransport, 600000));
    expectOneMessage("Transport Allowance above set upper limit, 500000.");
    EXPECT_DOUBLE_EQ(stored("MH002").earnings[earning::kTransport].amount, 35000);
    EXPECT_FALSE(form->keyAmount("MH002", common::EARNINGS, earning::kActing, 1000));
    expectOneMessage(
        "The amount of Acting Allowance is worked out by its function and cannot be keyed.");
    // Ticked, it is 10 % of 450,000: worked out, not stored.
    ASSERT_TRUE(form->switchItem("MH002", common::EARNINGS, earning::kActing, true));
    EXPECT_EQ(stored("MH002").earnings[earning::kActing].active, 1);
    EXPECT_DOUBLE_EQ(form->getCurrentRec().earnings[earning::kActing].amount, 45000);
    EXPECT_DOUBLE_EQ(stored("MH002").grossPay, 530000);

    // 5 days of 25 absent: 450,000 x 0.8.
    EXPECT_FALSE(form->setTimeWorked("MH002", 30));
    expectOneMessage(invalid("Days Absent"));
    ASSERT_TRUE(form->setTimeWorked("MH002", 5));
    EXPECT_DOUBLE_EQ(stored("MH002").basicPay, 360000);
    EXPECT_FALSE(form->setTimeWorked("MH001", 1));
    expectOneMessage("This employee is paid for the full period: no time is keyed.");
    EXPECT_FALSE(form->setOvertimeHours("MH002", 1, 0));
    expectOneMessage("This employee is not paid overtime.");
    // 10 h x 7,500 + 2 h x 10,000.
    ASSERT_TRUE(form->setOvertimeHours("MH001", 10, 2));
    EXPECT_DOUBLE_EQ(stored("MH001").overtimePay, 95000);
    EXPECT_FALSE(form->keyAmount("MH404", common::EARNINGS, earning::kTransport, 1));
    expectOneMessage("Record Not Found");
    expectNoMessage();
}

TEST_F(VarFrmRecordsTest, ItemParametersWithoutAWindow) {
    openForm();
    // 1,200,000 over 12 payments at no interest.
    ASSERT_TRUE(
        form->setLoan("MH001", deduction::kStaffLoan, common::LoanParams{1200000, 0, 12, 1, 1}));
    common::VARIATIONSREC rec = stored("MH001");
    EXPECT_EQ(rec.deductions[deduction::kStaffLoan].active, 1);
    EXPECT_DOUBLE_EQ(rec.deductions[deduction::kStaffLoan].amount, 100000);
    EXPECT_FALSE(form->setLoan("MH001", deduction::kStaffLoan, common::LoanParams{0, 0, 12, 1, 0}));
    expectOneMessage("Principal must be greater than zero.");

    ASSERT_TRUE(form->setSavings("MH001", deduction::kSavings, common::SavingsParams{90000, 6}));
    ASSERT_TRUE(form->keyAmount("MH001", common::DEDUCTIONS, deduction::kSavings, 20000));
    ASSERT_TRUE(form->setCoopBalance("MH001", deduction::kWalimu, 540000));
    EXPECT_FALSE(form->setCoopBalance("MH001", deduction::kAfya, 1000));
    expectOneMessage("Afya SACCOS cannot be ticked: the employee is not a member of its "
                     "co-operative.");
    ASSERT_TRUE(form->setPensionParams("MH001", deduction::kPsssf,
                                       common::PensionParams{30000, 1950000, 5850000}));
    ASSERT_TRUE(form->setRecoveryBalance("MH001", deduction::kUniform, 60000));
    ASSERT_TRUE(form->setBankLoan("MH001", deduction::kCrdbLoan,
                                  common::BankLoanParams{10, 1, "NMB Bank", "Mbeya", "B-1"}));
    ASSERT_TRUE(form->setHourlyPay("MH001", earning::kCasualHours, 8, 3000));
    EXPECT_FALSE(form->setSavings("MH001", deduction::kUnionDues, common::SavingsParams{}));
    expectOneMessage("Union Dues does not take these values.");
    expectNoMessage();

    rec = stored("MH001");
    const auto& savings =
        std::get<common::SavingsParams>(rec.deductions[deduction::kSavings].params);
    EXPECT_DOUBLE_EQ(savings.balance, 90000);
    EXPECT_DOUBLE_EQ(rec.deductions[deduction::kSavings].amount, 20000);
    EXPECT_DOUBLE_EQ(
        std::get<common::CoopParams>(rec.deductions[deduction::kWalimu].params).balance, 540000);
    const auto& pension = std::get<common::PensionParams>(rec.deductions[deduction::kPsssf].params);
    EXPECT_DOUBLE_EQ(pension.employerContribution, 30000);
    EXPECT_DOUBLE_EQ(pension.employeeBalance, 1950000);
    EXPECT_DOUBLE_EQ(
        std::get<common::CostRecoveryParams>(rec.deductions[deduction::kUniform].params).balance,
        60000);
    EXPECT_EQ(
        std::get<common::BankLoanParams>(rec.deductions[deduction::kCrdbLoan].params).loanNumber,
        "B-1");
    const auto& hours = std::get<common::HourlyParams>(rec.earnings[earning::kCasualHours].params);
    EXPECT_FLOAT_EQ(hours.hoursWorked, 8);
    EXPECT_DOUBLE_EQ(hours.hourlyRate, 3000);
    // 8 hours at 3,000, worked out.
    EXPECT_DOUBLE_EQ(form->getCurrentRec().earnings[earning::kCasualHours].amount, 24000);
    EXPECT_EQ(rec.deductions[deduction::kUnionDues].active, 0);
}

} // namespace
} // namespace kelo::staffrecords
