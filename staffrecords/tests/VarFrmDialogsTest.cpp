#include "VarFrmFixture.h"

#include <gtest/gtest.h>

namespace kelo::staffrecords {
namespace {

namespace vf = varfrm;
namespace tw = timeworkeddlg;
namespace od = overtimedlg;
namespace hd = hourlypaydlg;
namespace bd = balancedlg;
namespace pd = pensiondlg;
namespace ld = loandlg;
namespace bl = bankloandlg;
namespace sd = savingsdlg;
namespace deduction = testing::deduction;
namespace earning = testing::earning;
using View = testsupport::FakeDialogView;

std::string invalid(const std::string& field) {
    return "The value entered for the \"" + field + "\" field is invalid.";
}

// What is keyed in a dialog, and the refusal with the control given the
// focus, or nullptr when the values are taken.
struct Keyed {
    const char* name;
    std::vector<std::pair<const char*, std::string>> texts;
    std::optional<std::string> refusal;
    const char* focus;
};

struct VarFrmDialogsTest : testing::VarFrmFixture {
    using Step = std::function<bool(View&)>;

    // Each case starts from the dialog as shown.
    void expectDialog(const Step& display, const Step& get, const std::vector<Keyed>& cases) {
        for (const Keyed& c : cases) {
            SCOPED_TRACE(c.name);
            dlg = View();
            ASSERT_TRUE(display(dlg));
            for (const auto& [control, text] : c.texts)
                dlg.setText(control, text);
            EXPECT_EQ(get(dlg), !c.refusal);
            if (c.refusal) {
                expectOneMessage(*c.refusal);
                EXPECT_EQ(dlg.focus(), c.focus);
            } else {
                expectNoMessage();
            }
        }
    }

    // Ticks the deduction and makes it the current item.
    void tickDeduction(std::size_t index) {
        show(DEDUCTIONS_PAGE);
        form->scrollFields(ScrollCode::Position, static_cast<int>(index));
        const int row = static_cast<int>(index) - form->scrollPosition();
        ASSERT_TRUE(form->resetField(row)) << ui.lastMessage();
        ASSERT_TRUE(form->setCurrentField(row));
    }

    const common::PayItem& deductionItem(std::size_t index) {
        return form->getCurrentRec().deductions[index];
    }
};

// Time Worked

TEST_F(VarFrmDialogsTest, TimeWorkedIsWithinTheMonthByItsLabel) {
    // 200 hours a month at 8 hours a day: 25 days.
    struct Basis {
        int timeBasis;
        const char* label;
        const char* most;
        const char* tooMuch;
    };
    const Basis bases[] = {
        {common::kTimeDaysAbsent, "Days Absent", "25", "25.01"},
        {common::kTimeHoursAbsent, "Hours Absent", "200", "200.5"},
        {common::kTimeDaysPresent, "Days Present", "25", "26"},
        {common::kTimeHoursPresent, "Hours Present", "200", "201"},
    };
    openForm();
    for (const Basis& b : bases) {
        SCOPED_TRACE(b.label);
        common::STATICREC banda = person("MH002", "Banda", "Grace", 450000);
        banda.timeBasis = b.timeBasis;
        hire(banda);
        moveTo("MH002");
        show(EARNINGS_PAGE);
        EXPECT_TRUE(page.isEnabled(vf::kBasicPayButton));
        const auto display = [&](View& view) {
            const bool shown = form->displayBPParams(view);
            EXPECT_EQ(view.caption(), "Basic Pay");
            EXPECT_EQ(view.text(tw::kLabel), b.label);
            return shown;
        };
        const auto get = [&](View& view) { return form->getBPParams(view); };
        expectDialog(
            display, get,
            {{"too much", {{tw::kTimeWorked, b.tooMuch}}, invalid(b.label), tw::kTimeWorked},
             {"negative", {{tw::kTimeWorked, "-1"}}, invalid(b.label), tw::kTimeWorked},
             {"no number", {{tw::kTimeWorked, "ten"}}, invalid(b.label), tw::kTimeWorked},
             {"the most", {{tw::kTimeWorked, b.most}}, std::nullopt, nullptr}});
        ui.clear();
        form->undoCurrentRec();
    }
}

TEST_F(VarFrmDialogsTest, TimeWorkedChangesTheBasicPay) {
    openForm();
    show(EARNINGS_PAGE);
    EXPECT_FALSE(page.isEnabled(vf::kBasicPayButton)); // Mwakyusa: the full period
    EXPECT_FALSE(form->displayBPParams(dlg));
    moveTo("MH002");
    show(EARNINGS_PAGE);
    ASSERT_TRUE(form->displayBPParams(dlg));
    EXPECT_EQ(dlg.text(tw::kTimeWorked), "0.00");
    dlg.setText(tw::kTimeWorked, "26");
    EXPECT_FALSE(form->getBPParams(dlg));
    expectOneMessage(invalid("Days Absent"));
    // 12.5 days of 8 hours absent of 200: 450,000 x (1 - 100 / 200) = 225,000.
    dlg.setText(tw::kTimeWorked, "12.5");
    ASSERT_TRUE(form->getBPParams(dlg));
    EXPECT_EQ(page.text(vf::kBasicPay), "225,000");
    ASSERT_TRUE(form->saveCurrentRec());
    EXPECT_FLOAT_EQ(stored("MH002").timeWorked, 12.5f);
    EXPECT_DOUBLE_EQ(stored("MH002").basicPay, 225000);
}

// Overtime

TEST_F(VarFrmDialogsTest, OvertimeHoursAreFrom0To999) {
    openForm();
    show(EARNINGS_PAGE);
    const auto display = [&](View& view) {
        const bool shown = form->displayOTHrs(view);
        EXPECT_EQ(view.caption(), "Overtime");
        return shown;
    };
    const auto get = [&](View& view) { return form->getOTHrs(view); };
    expectDialog(display, get,
                 {
                     {"normal too many",
                      {{od::kNormalHours, "1000"}},
                      "The value entered for the \"Normal Overtime Hours\" field is invalid.",
                      od::kNormalHours},
                     {"double negative",
                      {{od::kDoubleHours, "-2"}},
                      "The value entered for the \"Double Overtime Hours\" field is invalid.",
                      od::kDoubleHours},
                     {"the most",
                      {{od::kNormalHours, "999"}, {od::kDoubleHours, "999"}},
                      std::nullopt,
                      nullptr},
                     {"a month's",
                      {{od::kNormalHours, "12.5"}, {od::kDoubleHours, "4"}},
                      std::nullopt,
                      nullptr},
                 });
    // 12.5 h x 7,500 + 4 h x 10,000 = 93,750 + 40,000.
    EXPECT_EQ(page.text(vf::kOvertime), "133,750");
    moveTo("MH002"); // saves; Banda is not paid overtime
    EXPECT_DOUBLE_EQ(stored("MH001").overtimePay, 133750);
    show(EARNINGS_PAGE);
    EXPECT_FALSE(page.isEnabled(vf::kOvertimeButton));
    EXPECT_FALSE(form->displayOTHrs(dlg));
}

TEST_F(VarFrmDialogsTest, ADialogLeftAsShownChangesNothing) {
    openForm();
    show(EARNINGS_PAGE);
    ASSERT_TRUE(form->displayOTHrs(dlg));
    ASSERT_TRUE(form->getOTHrs(dlg));
    EXPECT_FALSE(form->isChanged());
    dlg.setText(od::kDoubleHours, "1");
    ASSERT_TRUE(form->getOTHrs(dlg));
    EXPECT_TRUE(form->isChanged());
}

// Item parameters

TEST_F(VarFrmDialogsTest, HourlyPayNeedsHoursTo999AndARate) {
    openForm();
    show(EARNINGS_PAGE);
    ASSERT_TRUE(form->resetField(earning::kCasualHours));
    EXPECT_TRUE(page.isEnabled(vf::kItemButton[earning::kCasualHours]));
    ASSERT_TRUE(form->setCurrentField(earning::kCasualHours));
    EXPECT_EQ(form->currentDialog(), ParamDialog::HourlyPay);
    const auto display = [&](View& view) {
        const bool shown = form->displayHPParams(view);
        EXPECT_EQ(view.caption(), "Casual Hours");
        EXPECT_TRUE(view.isEnabled(hd::kRate)); // keyed for each employee
        return shown;
    };
    const auto get = [&](View& view) { return form->getHPParams(view); };
    expectDialog(display, get,
                 {
                     {"too many hours",
                      {{hd::kHours, "1000"}},
                      "The value entered for the "
                      "\"Hours Worked\" field is invalid.",
                      hd::kHours},
                     {"negative rate",
                      {{hd::kHours, "10"}, {hd::kRate, "-5"}},
                      "The value entered for the \"Hourly Rate\" field is invalid.",
                      hd::kRate},
                     {"taken", {{hd::kHours, "10"}, {hd::kRate, "2,500"}}, std::nullopt, nullptr},
                 });
    // 10 hours at 2,500.
    EXPECT_EQ(page.text(vf::kItemAmount[earning::kCasualHours]), "25,000");
}

TEST_F(VarFrmDialogsTest, ACooperativeBalanceIsNotNegative) {
    openForm();
    tickDeduction(deduction::kWalimu);
    const auto display = [&](View& view) {
        const bool shown = form->displayBalance(view);
        EXPECT_EQ(view.caption(), "Balance");
        EXPECT_EQ(view.text(bd::kLabel), "Balance B/F");
        return shown;
    };
    const auto get = [&](View& view) { return form->getBalance(view); };
    expectDialog(display, get,
                 {{"negative",
                   {{bd::kBalance, "-1"}},
                   "Walimu SACCOS balance cannot be negative.",
                   bd::kBalance},
                  {"taken", {{bd::kBalance, "150,000"}}, std::nullopt, nullptr}});
    EXPECT_DOUBLE_EQ(std::get<common::CoopParams>(deductionItem(deduction::kWalimu).params).balance,
                     150000);
}

TEST_F(VarFrmDialogsTest, APensionContributionIsWithinTheFundsLimits) {
    openForm();
    tickDeduction(deduction::kPsssf);
    const auto display = [&](View& view) {
        const bool shown = form->displayPFParams(view);
        EXPECT_EQ(view.caption(), "Pension Fund Parameters");
        EXPECT_TRUE(view.isEnabled(pd::kEmployerContribution)); // the fund's rule is "Key in"
        EXPECT_EQ(view.text(pd::kEmployerContribution), "10,000");
        return shown;
    };
    const auto get = [&](View& view) { return form->getPFParams(view); };
    expectDialog(display, get,
                 {
                     {"below",
                      {{pd::kEmployerContribution, "5,000"}},
                      "Employer contribution below set lower limit, 10000.",
                      pd::kEmployerContribution},
                     {"above",
                      {{pd::kEmployerContribution, "100,001"}},
                      "Employer contribution above set upper limit, 100000.",
                      pd::kEmployerContribution},
                     {"employee balance",
                      {{pd::kEmployeeBalance, "-1"}},
                      "PSSSF employee balance cannot be negative.",
                      pd::kEmployeeBalance},
                     {"employer balance",
                      {{pd::kEmployerBalance, "-1"}},
                      "PSSSF employer balance cannot be negative.",
                      pd::kEmployerBalance},
                     {"taken",
                      {{pd::kEmployerContribution, "100,000"},
                       {pd::kEmployeeBalance, "2,000,000"},
                       {pd::kEmployerBalance, "6,000,000"}},
                      std::nullopt,
                      nullptr},
                 });
    const auto& pension = std::get<common::PensionParams>(deductionItem(deduction::kPsssf).params);
    EXPECT_DOUBLE_EQ(pension.employerContribution, 100000);
    EXPECT_DOUBLE_EQ(pension.employeeBalance, 2000000);
    EXPECT_DOUBLE_EQ(pension.employerBalance, 6000000);
}

TEST_F(VarFrmDialogsTest, ANewLoanNeedsAPrincipalARateAndPayments) {
    openForm();
    tickDeduction(deduction::kStaffLoan);
    const auto display = [&](View& view) {
        const bool shown = form->displayLoanParams(view);
        EXPECT_EQ(view.caption(), "Loan Parameters");
        EXPECT_EQ(view.text(ld::kBalanceLabel), "Principal");
        EXPECT_EQ(view.text(ld::kPaymentsLabel), "Number of Payments");
        EXPECT_TRUE(view.isEnabled(ld::kPayments));       // amortised
        EXPECT_TRUE(view.isEnabled(ld::kTaxableBenefit)); // a company loan
        return shown;
    };
    const auto get = [&](View& view) { return form->getLoanParams(view); };
    expectDialog(
        display, get,
        {
            {"no principal",
             {{ld::kBalance, "0"}},
             "Principal must be greater than zero.",
             ld::kBalance},
            {"negative rate",
             {{ld::kBalance, "1,200,000"}, {ld::kInterestRate, "-1"}},
             "Interest rate cannot be negative.",
             ld::kInterestRate},
            {"no payments",
             {{ld::kBalance, "1,200,000"}, {ld::kPayments, "0"}},
             "Number of payments cannot be less than one.",
             ld::kPayments},
            {"taken",
             {{ld::kBalance, "1,200,000"}, {ld::kInterestRate, "12"}, {ld::kPayments, "12"}},
             std::nullopt,
             nullptr},
        });
    // r = 12 / 1,200 = 0.01; 1.01^12 = 1.1268250; 1 - 1 / 1.1268250 = 0.1125508;
    // 1,200,000 x 0.01 / 0.1125508 = 106,618.55, to the shilling 106,619.
    EXPECT_DOUBLE_EQ(deductionItem(deduction::kStaffLoan).amount, 106619);
    EXPECT_EQ(page.text(vf::kItemAmount[deduction::kStaffLoan -
                                        static_cast<std::size_t>(form->scrollPosition())]),
              "106,619");
}

TEST_F(VarFrmDialogsTest, ALoanUnderWayShowsItsBalanceBroughtForward) {
    edit("MH001", [](common::VARIATIONSREC& rec) {
        rec.deductions[deduction::kSaccosLoan].active = 1;
        rec.deductions[deduction::kSaccosLoan].amount = 20000;
        rec.deductions[deduction::kSaccosLoan].params = common::LoanParams{400000, 10, 20, 0, 0};
    });
    openForm();
    show(DEDUCTIONS_PAGE);
    ASSERT_TRUE(form->setCurrentField(static_cast<int>(deduction::kSaccosLoan)));
    ASSERT_TRUE(form->displayLoanParams(dlg));
    EXPECT_EQ(dlg.text(ld::kBalanceLabel), "Balance B/F");
    EXPECT_EQ(dlg.text(ld::kBalance), "400,000");
    EXPECT_FALSE(dlg.isEnabled(ld::kBalance));
    EXPECT_EQ(dlg.text(ld::kPaymentsLabel), "Outstanding Payments");
    EXPECT_FALSE(dlg.isEnabled(ld::kPayments));       // keyed, not amortised
    EXPECT_FALSE(dlg.isEnabled(ld::kTaxableBenefit)); // a co-operative's loan
    EXPECT_EQ(dlg.text(ld::kInterestRate), "10.00");
    dlg.setText(ld::kBalance, "1");
    dlg.setText(ld::kInterestRate, "11");
    ASSERT_TRUE(form->getLoanParams(dlg));
    const auto& loan = std::get<common::LoanParams>(deductionItem(deduction::kSaccosLoan).params);
    EXPECT_DOUBLE_EQ(loan.balance, 400000);
    EXPECT_FLOAT_EQ(loan.interestRate, 11);
    EXPECT_DOUBLE_EQ(deductionItem(deduction::kSaccosLoan).amount, 20000);
}

TEST_F(VarFrmDialogsTest, ABankLoanNeedsItsBankBranchAndNumber) {
    openForm();
    tickDeduction(deduction::kCrdbLoan);
    ASSERT_TRUE(form->displayBLParams(dlg));
    EXPECT_EQ(dlg.caption(), "Bank Loan Parameters");
    EXPECT_EQ(dlg.itemTexts(bl::kBank), (std::vector<std::string>{"CRDB Bank", "NMB Bank"}));
    EXPECT_EQ(dlg.text(bl::kPaymentsLabel), "Number of Payments");
    EXPECT_TRUE(dlg.isEnabled(bl::kBank));

    dlg.setText(bl::kPayments, "0");
    EXPECT_FALSE(form->getBLParams(dlg));
    expectOneMessage("Number of payments cannot be less than one.");
    EXPECT_EQ(dlg.focus(), bl::kPayments);
    dlg.setText(bl::kPayments, "24");
    EXPECT_FALSE(form->getBLParams(dlg));
    expectOneMessage("Bank name must not be blank.");
    EXPECT_EQ(dlg.focus(), bl::kBank);

    // Choosing a bank brings its branches and clears the number.
    dlg.selectRow(bl::kBank, 1);
    dlg.setText(bl::kLoanNumber, "X");
    form->resetBranches(dlg);
    EXPECT_EQ(dlg.itemTexts(bl::kBranch), (std::vector<std::string>{"Mbeya"}));
    EXPECT_EQ(dlg.text(bl::kLoanNumber), "");
    dlg.selectRow(bl::kBank, 0);
    form->resetBranches(dlg);
    EXPECT_EQ(dlg.itemTexts(bl::kBranch), (std::vector<std::string>{"Mbeya", "Tukuyu"}));
    EXPECT_FALSE(form->getBLParams(dlg));
    expectOneMessage("Branch name must not be blank.");
    dlg.selectRow(bl::kBranch, 1);
    dlg.setText(bl::kLoanNumber, "   ");
    EXPECT_FALSE(form->getBLParams(dlg));
    expectOneMessage("Account number must not be blank.");
    EXPECT_EQ(dlg.focus(), bl::kLoanNumber);
    dlg.setText(bl::kLoanNumber, "  LN-778  ");
    ASSERT_TRUE(form->getBLParams(dlg));
    expectNoMessage();
    ASSERT_TRUE(form->saveCurrentRec());
    const auto bank =
        std::get<common::BankLoanParams>(stored("MH001").deductions[deduction::kCrdbLoan].params);
    EXPECT_EQ(bank.paymentsLeft, 24);
    EXPECT_EQ(bank.bankName, "CRDB Bank");
    EXPECT_EQ(bank.branchName, "Tukuyu");
    EXPECT_EQ(bank.loanNumber, "LN-778");

    // A loan under way is only shown.
    edit("MH001", [](common::VARIATIONSREC& rec) {
        std::get<common::BankLoanParams>(rec.deductions[deduction::kCrdbLoan].params).newLoan = 0;
    });
    form->undoCurrentRec();
    form->scrollFields(ScrollCode::Position, static_cast<int>(deduction::kCrdbLoan));
    ASSERT_TRUE(
        form->setCurrentField(static_cast<int>(deduction::kCrdbLoan) - form->scrollPosition()));
    dlg = View();
    ASSERT_TRUE(form->displayBLParams(dlg));
    EXPECT_EQ(dlg.text(bl::kPaymentsLabel), "Outstanding Payments");
    EXPECT_EQ(dlg.itemText(bl::kBranch, dlg.selectedRow(bl::kBranch)), "Tukuyu");
    for (const char* control : {bl::kBank, bl::kBranch, bl::kLoanNumber, bl::kPayments})
        EXPECT_FALSE(dlg.isEnabled(control)) << control;
    dlg.setText(bl::kPayments, "0");
    EXPECT_TRUE(form->getBLParams(dlg));
    EXPECT_FALSE(form->isChanged());
}

TEST_F(VarFrmDialogsTest, SavingsHaveNoNegativeBalanceOrRate) {
    openForm();
    tickDeduction(deduction::kSavings);
    const auto display = [&](View& view) {
        const bool shown = form->displaySPParams(view);
        EXPECT_EQ(view.caption(), "Savings Parameters");
        return shown;
    };
    const auto get = [&](View& view) { return form->getSPParams(view); };
    expectDialog(
        display, get,
        {
            {"negative balance",
             {{sd::kBalance, "-1"}},
             "Balance B/F cannot be negative.",
             sd::kBalance},
            {"negative rate",
             {{sd::kInterestRate, "-0.5"}},
             "Interest rate cannot be negative.",
             sd::kInterestRate},
            {"taken", {{sd::kBalance, "300,000"}, {sd::kInterestRate, "6"}}, std::nullopt, nullptr},
        });
    const auto& savings =
        std::get<common::SavingsParams>(deductionItem(deduction::kSavings).params);
    EXPECT_DOUBLE_EQ(savings.balance, 300000);
    EXPECT_FLOAT_EQ(savings.interestRate, 6);
}

TEST_F(VarFrmDialogsTest, ACostRecoveryStartsFromAnInitialBalance) {
    openForm();
    tickDeduction(deduction::kUniform);
    const auto display = [&](View& view) {
        const bool shown = form->displayRecoveryParam(view);
        EXPECT_EQ(view.caption(), "Balance");
        EXPECT_EQ(view.text(bd::kLabel), "Initial Balance");
        EXPECT_TRUE(view.isEnabled(bd::kBalance));
        return shown;
    };
    const auto get = [&](View& view) { return form->getRecoveryParam(view); };
    expectDialog(display, get,
                 {{"nothing",
                   {{bd::kBalance, "0"}},
                   "Initial balance must be greater than zero.",
                   bd::kBalance},
                  {"taken", {{bd::kBalance, "45,000"}}, std::nullopt, nullptr}});
    EXPECT_DOUBLE_EQ(
        std::get<common::CostRecoveryParams>(deductionItem(deduction::kUniform).params).balance,
        45000);

    // Under way, the balance is brought forward and only shown.
    ASSERT_TRUE(form->saveCurrentRec());
    edit("MH001", [](common::VARIATIONSREC& rec) {
        rec.deductions[deduction::kUniform].params = common::CostRecoveryParams{20000, 0, 0};
    });
    form->undoCurrentRec();
    form->scrollFields(ScrollCode::Position, static_cast<int>(deduction::kUniform));
    ASSERT_TRUE(
        form->setCurrentField(static_cast<int>(deduction::kUniform) - form->scrollPosition()));
    dlg = View();
    ASSERT_TRUE(form->displayRecoveryParam(dlg));
    EXPECT_EQ(dlg.text(bd::kLabel), "Balance B/F");
    EXPECT_FALSE(dlg.isEnabled(bd::kBalance));
    dlg.setText(bd::kBalance, "0");
    EXPECT_TRUE(form->getRecoveryParam(dlg));
    EXPECT_DOUBLE_EQ(
        std::get<common::CostRecoveryParams>(deductionItem(deduction::kUniform).params).balance,
        20000);
}

} // namespace
} // namespace kelo::staffrecords
