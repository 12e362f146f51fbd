#include "VarFrmFixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::staffrecords {
namespace {

namespace vf = varfrm;
namespace ld = loandlg;
namespace od = overtimedlg;
using common::Answer;
using testing::kLeaveBonus;
using testing::kMotorVehicle;
using testing::kTaxRefund;
namespace deduction = testing::deduction;
namespace earning = testing::earning;

using VarFrmTest = testing::VarFrmFixture;

// Files

TEST_F(VarFrmTest, CheckFilesNamesWhatIsMissing) {
    EXPECT_TRUE(form->checkFiles(org));
    expectNoMessage();
    // Each spoils a file checked before the one spoilt last.
    struct Case {
        const char* name;
        std::function<void()> spoil;
        std::string message;
    };
    const Case cases[] = {
        {"no tax tables for the year", [&] { org.fiscalYear = 2031; },
         "Can't find the PAYE and NSSF tables of 2031"},
        {"no banks",
         [&] {
             org.fiscalYear = 2025;
             std::filesystem::remove(folder.resolve(database::BANKSDB::kBanksPath));
         },
         "Can't open ../system/settings/banks.dbf"},
        {"no transactions table", [&] { std::filesystem::remove(transactionsPath()); },
         "Can't open database/monpay.dbf"},
        {"no definitions", [&] { std::filesystem::remove(folder.resolve("database/monpay.dat")); },
         "Unable to open database/monpay.dat"},
        {"no employees",
         [&] {
             for (const char* number : {"MH001", "MH002", "MH003", "MH004", "MH005"})
                 fire(number);
         },
         "The Employee Master file is empty."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.spoil();
        EXPECT_FALSE(form->checkFiles(org));
        expectOneMessage(c.message);
    }
}

// Browsing

TEST_F(VarFrmTest, BrowsesThePersonnelFileInTheOrganisationsOrder) {
    openForm();
    show(EARNINGS_PAGE);
    EXPECT_EQ(page.text(vf::kPosition), "Record 1 of 5");
    EXPECT_EQ(page.text(vf::kEmployee), "MH001  Mwakyusa, Emmanuel");
    EXPECT_TRUE(page.isVisible(vf::kPageBody));
    for (const char* number : {"MH002", "MH003", "MH004", "MH005"}) {
        ASSERT_TRUE(form->nextRecord()) << ui.lastMessage();
        EXPECT_EQ(form->getEmployee().empNum, number);
    }
    EXPECT_EQ(page.text(vf::kPosition), "Record 5 of 5");
    EXPECT_FALSE(form->nextRecord());
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(form->getEmployee().empNum, "MH005");
    ASSERT_TRUE(form->previousRecord());
    EXPECT_EQ(form->getEmployee().empNum, "MH004");
    ASSERT_TRUE(form->firstRecord());
    EXPECT_EQ(form->getEmployee().empNum, "MH001");
    EXPECT_FALSE(form->previousRecord());
    ASSERT_TRUE(form->lastRecord());
    EXPECT_EQ(form->getEmployee().empNum, "MH005");
    ASSERT_TRUE(form->close());
}

TEST_F(VarFrmTest, AnOrganisationSortedByNameBrowsesByLastName) {
    org.formSortKey = common::kSortByLastName;
    openForm();
    show(SUMMARY_PAGE);
    // Banda is the personnel file's second record.
    EXPECT_EQ(page.text(vf::kPosition), "Record 2 of 5");
    std::vector<std::string> seen{form->getEmployee().lastName};
    while (form->nextRecord())
        seen.push_back(form->getEmployee().lastName);
    EXPECT_EQ(seen, (std::vector<std::string>{"Banda", "Kileo", "Mwakyusa", "Okello", "Salim"}));
}

TEST_F(VarFrmTest, FindsByNumberNameAndPosition) {
    openForm();
    show(EARNINGS_PAGE);
    ASSERT_TRUE(form->findEmpNum("mh00"));
    EXPECT_EQ(form->getEmployee().empNum, "MH001");
    ASSERT_TRUE(form->findEmpNum("mh00", true));
    EXPECT_EQ(form->getEmployee().empNum, "MH002");
    ASSERT_TRUE(form->findFirstName("ok"));
    EXPECT_EQ(form->getEmployee().empNum, "MH005");
    ASSERT_TRUE(form->findFirstName("k"));
    EXPECT_EQ(form->getEmployee().empNum, "MH003");
    ASSERT_TRUE(form->gotoRec(" 4 "));
    EXPECT_EQ(form->getEmployee().empNum, "MH004");
    expectNoMessage();

    struct Miss {
        const char* name;
        std::function<bool()> find;
    };
    const Miss misses[] = {
        {"no other name starting with S", [&] { return form->findNextName("s"); }},
        {"no such number", [&] { return form->findEmpNum("ZZ9"); }},
        {"no record 9", [&] { return form->gotoRec("9"); }},
        {"no record 0", [&] { return form->gotoRec("0"); }},
        {"no number", [&] { return form->gotoRec("four"); }},
    };
    for (const Miss& m : misses) {
        SCOPED_TRACE(m.name);
        EXPECT_FALSE(m.find());
        expectOneMessage("Record Not Found");
        EXPECT_EQ(form->getEmployee().empNum, "MH004");
    }
}

// Pages

// Mwakyusa's month, worked by hand from the fixture's tables:
//   basic pay 1,000,000 (salary, full period); overtime 10 h x 7,500 = 75,000;
//   Transport Allowance 100,000 (taxable): gross = taxable earnings = 1,175,000.
//   NSSF 10 % of 1,175,000 = 117,500 from the employee and 117,500 from the
//   employer, whose share is a taxable benefit (no pension fund item).
//   Staff Loan 1,200,000 at 0 %, 12 payments: 100,000 a month; its benefit is
//   (12 % statutory - 0 %) x 1,200,000 / 1,200 = 12,000.
//   Benefits: Motor Vehicle 50,000 + 117,500 + 12,000 = 179,500.
//   Taxable pay 1,175,000 + 179,500 = 1,354,500 (not housed).
//   Pension relief 117,500 + 117,500 = 235,000 (under the 300,000 cap).
//   Chargeable pay 1,354,500 - 235,000 = 1,119,500.
//   PAYE: 250,000 x 8 % = 20,000; 240,000 x 20 % = 48,000; 240,000 x 25 %
//   = 60,000; 119,500 x 30 % = 35,850; total 163,850.
//   Statutory: PAYE 163,850 + NSSF 117,500 + tax on lump sums 20,000 = 301,350.
//   Other deductions: Union Dues 10,000 + loan 100,000 = 110,000.
//   Total pay 1,175,000 + lump sum 200,000 + refund 5,000 = 1,380,000;
//   deductions 301,350 + 110,000 = 411,350; net pay 968,650.
struct Shown {
    VARPAGE page;
    const char* control;
    const char* text;
};

const Shown kWorkedExample[] = {
    {EARNINGS_PAGE, vf::kBasicPay, "1,000,000"},
    {EARNINGS_PAGE, vf::kOvertime, "75,000"},
    {EARNINGS_PAGE, vf::kItemName[0], "Transport Allowance"},
    {EARNINGS_PAGE, vf::kItemAmount[0], "100,000"},
    {EARNINGS_PAGE, vf::kItemName[1], "Casual Hours"},
    {EARNINGS_PAGE, vf::kItemAmount[1], "0"},
    {EARNINGS_PAGE, vf::kItemName[2], "Acting Allowance"},
    {EARNINGS_PAGE, vf::kItemAmount[2], "0"},
    {EARNINGS_PAGE, vf::kTotal, "1,175,000"},
    {DEDUCTIONS_PAGE, vf::kRent, "0"},
    {DEDUCTIONS_PAGE, vf::kOverdraft, "0"},
    {DEDUCTIONS_PAGE, vf::kRoundingCF, "0"},
    {DEDUCTIONS_PAGE, vf::kItemAmount[0], "10,000"},
    {DEDUCTIONS_PAGE, vf::kItemAmount[1], "100,000"},
    {DEDUCTIONS_PAGE, vf::kTotal, "110,000"},
    {BENEFITS_PAGE, vf::kEmployerPension, "117,500"},
    {BENEFITS_PAGE, vf::kLoanBenefit, "12,000"},
    {BENEFITS_PAGE, vf::kItemAmount[0], "50,000"},
    {BENEFITS_PAGE, vf::kTotal, "179,500"},
    {LUMP_SUMS_PAGE, vf::kLumpSumTax, "20,000"},
    {LUMP_SUMS_PAGE, vf::kItemAmount[0], "200,000"},
    {LUMP_SUMS_PAGE, vf::kTotal, "200,000"},
    {REFUNDS_PAGE, vf::kRoundingBF, "0"},
    {REFUNDS_PAGE, vf::kItemAmount[0], "5,000"},
    {REFUNDS_PAGE, vf::kTotal, "5,000"},
    {TAXABLE_PAY_PAGE, vf::kTaxableEarnings, "1,175,000"},
    {TAXABLE_PAY_PAGE, vf::kNonCashBenefits, "179,500"},
    {TAXABLE_PAY_PAGE, vf::kHousingBenefit, "0"},
    {TAXABLE_PAY_PAGE, vf::kTaxableTotal, "1,354,500"},
    {TAXABLE_PAY_PAGE, vf::kAllowableDeductions, "235,000"},
    {TAXABLE_PAY_PAGE, vf::kChargeablePay, "1,119,500"},
    {STATUTORY_PAGE, vf::kPaye, "163,850"},
    {STATUTORY_PAGE, vf::kNssf, "117,500"},
    {STATUTORY_PAGE, vf::kStatLumpSumTax, "20,000"},
    {STATUTORY_PAGE, vf::kStatutoryTotal, "301,350"},
    {SUMMARY_PAGE, vf::kSumEarnings, "1,175,000"},
    {SUMMARY_PAGE, vf::kSumLumpSums, "200,000"},
    {SUMMARY_PAGE, vf::kSumRefunds, "5,000"},
    {SUMMARY_PAGE, vf::kSumOverdraft, "0"},
    {SUMMARY_PAGE, vf::kTotalPay, "1,380,000"},
    {SUMMARY_PAGE, vf::kSumStatutory, "301,350"},
    {SUMMARY_PAGE, vf::kSumOther, "110,000"},
    {SUMMARY_PAGE, vf::kTotalDeductions, "411,350"},
    {SUMMARY_PAGE, vf::kNetPay, "968,650"},
};

TEST_F(VarFrmTest, EveryPageShowsTheWorkedEmployeesFigures) {
    edit("MH001", workedExample);
    openForm();
    for (const Shown& s : kWorkedExample) {
        SCOPED_TRACE(std::to_string(s.page) + " " + s.control);
        show(s.page);
        EXPECT_EQ(page.text(vf::kEmployee), "MH001  Mwakyusa, Emmanuel");
        EXPECT_EQ(page.text(s.control), s.text);
    }
    show(EARNINGS_PAGE);
    EXPECT_TRUE(page.isChecked(vf::kBasicPayActive));
    EXPECT_TRUE(page.isChecked(vf::kOvertimeActive));
    EXPECT_TRUE(page.isEnabled(vf::kOvertimeButton));
    EXPECT_FALSE(page.isEnabled(vf::kBasicPayButton)); // paid for the full period
    EXPECT_FALSE(page.isVisible(vf::kItemName[3]));
    EXPECT_FALSE(page.isVisible(vf::kScroll));
    // Only the hourly item has parameters among the earnings.
    EXPECT_FALSE(page.isVisible(vf::kItemButton[0]));
    EXPECT_TRUE(page.isVisible(vf::kItemButton[1]));
    EXPECT_FALSE(page.isEnabled(vf::kItemButton[1])); // inactive
    expectNoMessage();
}

TEST_F(VarFrmTest, KeyingTheWorkedExampleThroughThePagesAndDialogs) {
    openForm();
    show(EARNINGS_PAGE);
    ASSERT_TRUE(form->displayOTHrs(dlg));
    EXPECT_EQ(dlg.caption(), "Overtime");
    dlg.setText(od::kNormalHours, "10");
    ASSERT_TRUE(form->getOTHrs(dlg));
    EXPECT_EQ(page.text(vf::kOvertime), "75,000");
    ASSERT_TRUE(form->resetField(0));
    page.setText(vf::kItemAmount[0], "100000");
    form->amountChanged();
    EXPECT_EQ(page.text(vf::kItemAmount[0]), "100,000");
    EXPECT_EQ(page.text(vf::kTotal), "1,175,000");
    ASSERT_TRUE(form->validatePage());

    show(DEDUCTIONS_PAGE);
    ASSERT_TRUE(form->resetField(0));
    page.setText(vf::kItemAmount[0], "10,000");
    ASSERT_TRUE(form->resetField(1));
    ASSERT_TRUE(form->setCurrentField(1));
    EXPECT_EQ(form->getFieldType(), "Company Loan Payment");
    EXPECT_EQ(form->currentDialog(), ParamDialog::Loan);
    ASSERT_TRUE(form->displayLoanParams(dlg));
    dlg.setText(ld::kBalance, "1,200,000");
    dlg.setText(ld::kInterestRate, "0");
    dlg.setText(ld::kPayments, "12");
    dlg.setChecked(ld::kTaxableBenefit, true);
    ASSERT_TRUE(form->getLoanParams(dlg));
    EXPECT_EQ(page.text(vf::kItemAmount[1]), "100,000");
    EXPECT_EQ(page.text(vf::kTotal), "110,000");

    const std::pair<VARPAGE, const char*> keyed[] = {
        {BENEFITS_PAGE, "50,000"}, {LUMP_SUMS_PAGE, "200,000"}, {REFUNDS_PAGE, "5,000"}};
    for (const auto& [number, amount] : keyed) {
        show(number);
        ASSERT_TRUE(form->resetField(0));
        page.setText(vf::kItemAmount[0], amount);
        form->amountChanged();
    }
    show(LUMP_SUMS_PAGE);
    page.setText(vf::kLumpSumTax, "20,000");
    ASSERT_TRUE(form->validatePage());
    show(SUMMARY_PAGE);
    EXPECT_EQ(page.text(vf::kNetPay), "968,650");
    EXPECT_TRUE(form->isChanged());
    ASSERT_TRUE(form->saveCurrentRec());
    expectNoMessage();
    EXPECT_FALSE(form->isChanged());

    const common::VARIATIONSREC rec = stored("MH001");
    EXPECT_FLOAT_EQ(rec.normalOvertimeHours, 10);
    EXPECT_EQ(rec.earnings[earning::kTransport].active, 1);
    EXPECT_DOUBLE_EQ(rec.earnings[earning::kTransport].amount, 100000);
    EXPECT_DOUBLE_EQ(rec.deductions[deduction::kUnionDues].amount, 10000);
    const auto& loan = std::get<common::LoanParams>(rec.deductions[deduction::kStaffLoan].params);
    EXPECT_DOUBLE_EQ(loan.balance, 1200000);
    EXPECT_EQ(loan.paymentsLeft, 12);
    EXPECT_EQ(loan.newLoan, 1);
    EXPECT_EQ(loan.taxableBenefit, 1);
    EXPECT_DOUBLE_EQ(rec.deductions[deduction::kStaffLoan].amount, 100000);
    EXPECT_DOUBLE_EQ(rec.benefits[kMotorVehicle].amount, 50000);
    EXPECT_DOUBLE_EQ(rec.lumpSums[kLeaveBonus].amount, 200000);
    EXPECT_DOUBLE_EQ(rec.refunds[kTaxRefund].amount, 5000);
    EXPECT_DOUBLE_EQ(rec.lumpSumTax, 20000);
    // The figures are stored as shown.
    EXPECT_DOUBLE_EQ(rec.paye, 163850);
    EXPECT_DOUBLE_EQ(rec.netPay, 968650);
}

TEST_F(VarFrmTest, AnInactiveAmountIsNotEditableAndTickingSetsItFromItsFunction) {
    // Welfare Loan: 12 % a year on 120,000 over 12 payments is 1,200 interest
    // plus 10,000 of the balance.
    edit("MH001", [](common::VARIATIONSREC& rec) {
        rec.deductions[deduction::kWelfareLoan].params = common::LoanParams{120000, 12, 12, 0, 0};
    });
    struct Case {
        VARPAGE page;
        const char* item;
        const char* amount; // once ticked
        bool editable;
    };
    const Case cases[] = {
        {EARNINGS_PAGE, "Transport Allowance", "20,000", true}, // the lower limit
        {EARNINGS_PAGE, "Acting Allowance", "100,000", false},  // 10 % of 1,000,000
        {EARNINGS_PAGE, "Casual Hours", "0", false},            // no hours yet
        {DEDUCTIONS_PAGE, "Union Dues", "1,000", true},
        {DEDUCTIONS_PAGE, "Staff Loan", "0", false}, // no loan keyed yet
        {DEDUCTIONS_PAGE, "Welfare Loan", "11,200", false},
        {BENEFITS_PAGE, "Motor Vehicle Benefit", "0", true},
    };
    openForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        show(c.page);
        if (rowNamed(c.item) < 0)
            form->scrollFields(ScrollCode::Bottom);
        const int row = rowNamed(c.item);
        ASSERT_GE(row, 0);
        EXPECT_FALSE(page.isChecked(vf::kItemActive[row]));
        EXPECT_TRUE(page.isEnabled(vf::kItemActive[row]));
        EXPECT_FALSE(page.isEnabled(vf::kItemAmount[row]));
        EXPECT_EQ(page.text(vf::kItemAmount[row]), "0");
        ASSERT_TRUE(form->resetField(row));
        EXPECT_TRUE(page.isChecked(vf::kItemActive[row]));
        EXPECT_EQ(page.text(vf::kItemAmount[row]), c.amount);
        EXPECT_EQ(page.isEnabled(vf::kItemAmount[row]), c.editable);
        EXPECT_TRUE(form->isChanged());
    }
    expectNoMessage();
}

TEST_F(VarFrmTest, SwitchingOffALoanAsksWhetherToRetainItsBalance) {
    const common::LoanParams running{900000, 12, 9, 0, 1};
    struct Case {
        Answer answer;
        bool switchedOff;
        common::LoanParams after;
    };
    const Case cases[] = {
        {Answer::Cancel, false, running},
        {Answer::Yes, true, running},
        {Answer::No, true, common::LoanParams{0, 0, 1, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        edit("MH001", [&](common::VARIATIONSREC& rec) {
            rec.deductions[deduction::kStaffLoan].active = 1;
            rec.deductions[deduction::kStaffLoan].amount = 100000;
            rec.deductions[deduction::kStaffLoan].params = running;
        });
        openForm();
        show(DEDUCTIONS_PAGE);
        ui.answers = {c.answer};
        EXPECT_EQ(form->resetField(1), c.switchedOff);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Retain current Staff Loan balance of Tsh 900,000?");
        EXPECT_EQ(ui.messages[0].caption, "Staff Loan");
        EXPECT_EQ(ui.messages[0].buttons, common::MessageButtons::YesNoCancel);
        ui.clear();
        EXPECT_EQ(page.isChecked(vf::kItemActive[1]), !c.switchedOff);
        EXPECT_EQ(page.text(vf::kItemAmount[1]), c.switchedOff ? "0" : "100,000");
        ASSERT_TRUE(form->saveCurrentRec());
        const common::VARIATIONSREC after = stored("MH001");
        const auto& loan =
            std::get<common::LoanParams>(after.deductions[deduction::kStaffLoan].params);
        EXPECT_DOUBLE_EQ(loan.balance, c.after.balance);
        EXPECT_FLOAT_EQ(loan.interestRate, c.after.interestRate);
        EXPECT_EQ(loan.paymentsLeft, c.after.paymentsLeft);
        EXPECT_EQ(loan.newLoan, c.after.newLoan);
        EXPECT_EQ(loan.taxableBenefit, c.after.taxableBenefit);
        if (c.answer == Answer::No) {
            // The next loan is keyed as a principal and a number of payments.
            ASSERT_TRUE(form->setCurrentField(1));
            ASSERT_TRUE(form->displayLoanParams(dlg));
            EXPECT_EQ(dlg.text(ld::kBalanceLabel), "Principal");
            EXPECT_TRUE(dlg.isEnabled(ld::kBalance));
            EXPECT_EQ(dlg.text(ld::kPaymentsLabel), "Number of Payments");
        }
        ASSERT_TRUE(form->close());
    }
}

TEST_F(VarFrmTest, OverdraftAndRoundingBroughtForwardAreKeyedOnlyInTheOpeningPeriod) {
    openForm();
    show(DEDUCTIONS_PAGE);
    EXPECT_TRUE(page.isEnabled(vf::kOverdraft));
    EXPECT_FALSE(page.isEnabled(vf::kRoundingCF));
    page.setText(vf::kOverdraft, "5,000");
    form->amountChanged();
    EXPECT_EQ(page.text(vf::kTotal), "5,000");
    show(REFUNDS_PAGE);
    EXPECT_TRUE(page.isEnabled(vf::kRoundingBF));
    page.setText(vf::kRoundingBF, "300");
    form->amountChanged();
    EXPECT_EQ(page.text(vf::kTotal), "300");
    ASSERT_TRUE(form->saveCurrentRec());
    EXPECT_DOUBLE_EQ(stored("MH001").deficitBF, 5000);
    EXPECT_DOUBLE_EQ(stored("MH001").roundingBF, 300);

    // After the first period update they are what the update brought forward.
    edit("MH002", [](common::VARIATIONSREC& rec) {
        rec.openingPeriod = 0;
        rec.deficitBF = 1500;
    });
    moveTo("MH002");
    show(DEDUCTIONS_PAGE);
    EXPECT_FALSE(page.isEnabled(vf::kOverdraft));
    EXPECT_EQ(page.text(vf::kOverdraft), "1,500");
    page.setText(vf::kOverdraft, "7,000");
    ASSERT_TRUE(form->saveCurrentRec());
    show(REFUNDS_PAGE);
    EXPECT_FALSE(page.isEnabled(vf::kRoundingBF));
    page.setText(vf::kRoundingBF, "900");
    ASSERT_TRUE(form->saveCurrentRec());
    EXPECT_FALSE(form->isChanged());
    EXPECT_DOUBLE_EQ(stored("MH002").deficitBF, 1500);
    EXPECT_DOUBLE_EQ(stored("MH002").roundingBF, 0);
}

TEST_F(VarFrmTest, LoansBankLoansAndSavingsCannotBeTickedOnAWeeklyPayroll) {
    org.payFreq = common::WEEKLY;
    openForm();
    moveTo("MH003");
    show(DEDUCTIONS_PAGE);
    struct Case {
        const char* item;
        bool allowed;
    };
    const Case cases[] = {{"Staff Loan", false},
                          {"CRDB Loan", false},
                          {"Staff Savings", false},
                          {"Salary Advance", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        const int row = rowNamed(c.item);
        ASSERT_GE(row, 0);
        EXPECT_EQ(page.isEnabled(vf::kItemActive[row]), c.allowed);
        EXPECT_EQ(form->resetField(row), c.allowed);
        EXPECT_EQ(page.isChecked(vf::kItemActive[row]), c.allowed);
        if (c.allowed)
            expectNoMessage();
        else
            expectOneMessage(std::string(c.item) + " can only be used on the monthly payroll.");
    }
    // Nor without a window.
    EXPECT_FALSE(form->setLoan("MH003", testing::weekly::kStaffLoan,
                               common::LoanParams{100000, 0, 10, 1, 0}));
    expectOneMessage("Staff Loan can only be used on the monthly payroll.");
}

TEST_F(VarFrmTest, OnlyTheEmployeesFundsAndCooperativesMayBeTicked) {
    // Mwakyusa belongs to co-operative 1 and pension fund 2.
    struct Case {
        const char* item;
        const char* refusal; // nullptr: may be ticked
    };
    const Case cases[] = {
        {"SACCOS Loan", nullptr},
        {"Walimu SACCOS", nullptr},
        {"Afya SACCOS", "Afya SACCOS cannot be ticked: the employee is not a member of its "
                        "co-operative."},
        {"PSSSF", nullptr},
        {"NSSF Supplementary", "NSSF Supplementary cannot be ticked: the employee is not a "
                               "member of its pension fund."},
    };
    openForm();
    show(DEDUCTIONS_PAGE);
    form->scrollFields(ScrollCode::Position, 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        const int row = rowNamed(c.item);
        ASSERT_GE(row, 0);
        EXPECT_EQ(page.isEnabled(vf::kItemActive[row]), c.refusal == nullptr);
        EXPECT_EQ(form->resetField(row), c.refusal == nullptr);
        if (c.refusal)
            expectOneMessage(c.refusal);
        else
            expectNoMessage();
    }
    // PSSSF's employer contribution is keyed: it starts at the fund's lower
    // limit; the employee pays 5 % of 1,000,000.
    const common::PayItem& psssf = form->getCurrentRec().deductions[deduction::kPsssf];
    EXPECT_DOUBLE_EQ(std::get<common::PensionParams>(psssf.params).employerContribution, 10000);
    EXPECT_DOUBLE_EQ(psssf.amount, 50000);
}

TEST_F(VarFrmTest, ScrollingShowsFiveItemsAtATime) {
    openForm();
    show(DEDUCTIONS_PAGE);
    EXPECT_TRUE(page.isVisible(vf::kScroll));
    struct Case {
        ScrollCode code;
        int position;
        int first;
        const char* firstName;
    };
    // Eleven deductions: the last five start at 6.
    const Case cases[] = {
        {ScrollCode::LineDown, 0, 1, "Staff Loan"},
        {ScrollCode::PageDown, 0, 6, "NSSF Supplementary"},
        {ScrollCode::LineDown, 0, 6, "NSSF Supplementary"},
        {ScrollCode::LineUp, 0, 5, "PSSSF"},
        {ScrollCode::PageUp, 0, 0, "Union Dues"},
        {ScrollCode::LineUp, 0, 0, "Union Dues"},
        {ScrollCode::Position, 3, 3, "Walimu SACCOS"},
        {ScrollCode::Position, 99, 6, "NSSF Supplementary"},
        {ScrollCode::Top, 0, 0, "Union Dues"},
        {ScrollCode::Bottom, 0, 6, "NSSF Supplementary"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        form->scrollFields(c.code, c.position);
        EXPECT_EQ(form->scrollPosition(), c.first);
        EXPECT_EQ(page.text(vf::kScroll), std::to_string(c.first));
        EXPECT_EQ(page.text(vf::kItemName[0]), c.firstName);
    }
    EXPECT_EQ(page.text(vf::kItemName[4]), "Welfare Loan");
    ASSERT_TRUE(form->setCurrentField(4));
    EXPECT_EQ(form->getFieldType(), "Default");
    EXPECT_EQ(form->currentDialog(), ParamDialog::Loan);
}

} // namespace
} // namespace kelo::staffrecords
