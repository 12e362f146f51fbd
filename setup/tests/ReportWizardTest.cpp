// The plan of the wizard per report code, the pay field lists and what a
// chosen field makes of a report, and moving through the pages.
#include "setup/ReportWizardControls.h"
#include "setup/tests/ReportWizardFixture.h"

namespace kelo::setup::wizardtest {
namespace {

using P = WizardPage;
using common::MessageIcon;
using testsupport::FakeDialogView;

struct PlanCase {
    std::int32_t code;
    const char* title;
    std::vector<P> pages;
};

TEST(ReportWizardPlan, TitleAndPagesPerReportCode) {
    const std::vector<P> sel{P::Selection};
    const std::vector<P> yearSel{P::YearRange, P::Selection};
    const std::vector<P> periodSel{P::PayPeriod, P::Selection};
    const std::vector<P> field{P::PayPeriod, P::PayField, P::Selection};
    const std::vector<PlanCase> cases{
        {11, "View Employees Roll", sel},
        {12, "View Leavers Roll", yearSel},
        {13, "View Length of Service Report", sel},
        {14, "View Employee Master Reports", sel},
        {15, "View Leaver Master Reports", yearSel},
        {16, "View Employee Hierarchy Report", sel},
        {21, "View Posts Report", sel},
        {22, "View Absence Analysis", yearSel},
        {23, "View Annual Leave Analysis", yearSel},
        {24, "View Absence and Leave Details", yearSel},
        {25, "View Leave Booked Report", yearSel},
        {31, "View Summary Report", periodSel},
        {32, "View Muster Roll", {P::ReportKind, P::PayPeriod, P::Selection}},
        {204, "View Muster Roll", periodSel},
        {206, "View Muster Roll", yearSel},
        {33, "View Payroll Control Account", {P::ReportKind, P::PayPeriod, P::Selection}},
        {201, "View Payroll Control Account", periodSel},
        {203, "View Payroll Control Account", yearSel},
        {34, "View Payslips", periodSel},
        {57, "View Lump Sums Tax Report", periodSel},
        {41, "View Deductions Report", field},
        {42, "View Earnings Report", field},
        {37, "View Earnings Report", field},
        {51, "View Earnings Report", field},
        {52, "View Deductions Report", field},
        {43, "View Benefits Report", field},
        {44, "View Lump Sums Report", field},
        {45, "View Refunds Report", field},
        {55, "View Co-operative Report", {P::PayPeriod, P::Fund}},
        {56, "View Pension Fund Report", {P::PayPeriod, P::Fund}},
        {61, "View Cash List", field},
        {62, "View Coinage Summary Report", field},
        {63, "View Cheque List", field},
        {64, "View Bank Transfer Report", field},
        {71, "View PAYE Report", {P::ReturnMonth}},
        {72, "View NSSF Report", {P::ReturnMonth}},
        {73, "View SDL Report", {P::ReturnMonth}},
        {74, "View WCF Report", {P::ReturnMonth}},
        {76, "View Low Interest Benefit Report", field},
        {80, "View P9 Report", {P::YearRange}},
        {81, "View P10 Report", {P::YearRange}},
        {82, "View ITX215 Report", {P::YearRange}},
        {85, "View Employee Pay Summary", yearSel},
        {92, "Save Bank Transfer File", {P::PayPeriod, P::PayField, P::ProcessDate}},
        {94, "Save Bank Transfer File", {P::PayPeriod, P::PayField, P::ProcessDate}},
        {202, "View Payroll Control Account", {P::ReturnMonth}},
        {205, "View Muster Roll", {P::ReturnMonth}},
        {0, "", {}},
        {207, "", {}},
        {999, "", {}},
    };
    for (const PlanCase& c : cases) {
        const WizardPlan plan = wizardPlan(c.code);
        EXPECT_EQ(plan.title, c.title) << c.code;
        EXPECT_EQ(plan.pages, c.pages) << c.code;
    }
}

struct FieldCase {
    std::int32_t code;
    const char* label;
    std::vector<std::string> names;
};

TEST(ReportWizardFields, ListsPerReportWorkedFromTheDefinitions) {
    common::PayItemDefs defs;
    ASSERT_TRUE(database::payItemDefsOf(fixtureFields(), defs));
    const std::vector<std::string> cash{"Net Pay", "Salary Advance", "Staff Advance"};
    const std::vector<std::string> bank{"Net Pay", "Salary Advance", "CRDB Loan", "Staff Advance"};
    const std::vector<std::string> deductions{
        "Overdraft Recovery", "Rounding C/F",   "Rent",      "Salary Advance", "Car Loan",
        "SACCO Loan",         "Savings Scheme", "CRDB Loan", "Union Dues",     "Staff Advance"};
    const std::vector<FieldCase> cases{
        {42,
         "Earning",
         {"Basic Pay", "Normal Overtime", "Double Overtime", "Night Allowance", "Casual Hours"}},
        {41, "Deduction", deductions},
        {43, "Benefit", {"Housing Benefit", "Car Benefit"}},
        {44, "Lump Sum Payment", {"Leave Allowance", "Gratuity"}},
        {45, "Refund", {"Rounding B/F", "Tax Refund"}},
        {61, "Payment", cash},
        {62, "Payment", cash},
        {63, "Payment", cash},
        {64, "Payment", bank},
        {91, "Payment", bank},
        {94, "Payment", bank},
        {76, "Deduction", {"Car Loan"}},
        {31, "", {}},
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(payFieldLabel(c.code), c.label) << c.code;
        std::vector<std::string> names;
        for (const PayFieldChoice& f : payFieldChoices(c.code, defs))
            names.push_back(f.name);
        EXPECT_EQ(names, c.names) << c.code;
    }
}

TEST(ReportWizardFields, AChosenFieldTurnsEarningsAndDeductionsIntoTheirOwnReports) {
    struct Case {
        std::int32_t code;
        PayFieldChoice field;
        std::int32_t becomes;
    };
    const std::vector<Case> cases{
        {42, {"Basic Pay", "Basic Pay"}, 37},
        {42, {"Normal Overtime", ""}, 51},
        {42, {"Double Overtime", ""}, 51},
        {42, {"Casual Hours", "Hourly Pay"}, 51},
        {42, {"Night Allowance", "Default"}, 42},
        {37, {"Night Allowance", "Default"}, 42},
        {41, {"Car Loan", "Company Loan Payment"}, 52},
        {41, {"SACCO Loan", "Co-op Loan Payment"}, 53},
        {41, {"Savings Scheme", "Savings Plan Deposit"}, 54},
        {41, {"Union Dues", "Default"}, 41},
        {41, {"Overdraft Recovery", ""}, 41},
        {53, {"Rent", "Rent"}, 41},
        {43, {"Basic Pay", ""}, 43},
        {61, {"Car Loan", "Company Loan Payment"}, 61},
    };
    for (const Case& c : cases)
        EXPECT_EQ(payFieldReportCode(c.code, c.field), c.becomes) << c.code << " " << c.field.name;
}

TEST(ReportWizardFiles, YearAndReturnFilesAndPeriodTitles) {
    EXPECT_EQ(yearRangeFile(12, 2023), "2023/leavers.dbf");
    EXPECT_EQ(yearRangeFile(15, 2023), "2023/leavers.dbf");
    EXPECT_EQ(yearRangeFile(24, 2022), "2022/leaverep.dbf");
    EXPECT_EQ(yearRangeFile(80, 2023), "2023/p9.dbf");
    EXPECT_EQ(yearRangeFile(82, 2023), "2023/p9.dbf");
    EXPECT_EQ(yearRangeFile(81, 2023), "2023/p10.dbf");
    EXPECT_EQ(yearRangeFile(85, 2023), "2023/ytd.dbf");
    EXPECT_EQ(yearRangeFile(203, 2023), "2023/annualreturns.dbf");
    EXPECT_EQ(yearRangeFile(206, 2023), "2023/annualreturns.dbf");
    EXPECT_EQ(yearRangeFile(31, 2023), "");
    EXPECT_EQ(returnMonthFile(2024, 1), "2024/Janret.dbf");
    EXPECT_EQ(returnMonthFile(2023, 9), "2023/Sepret.dbf");
    EXPECT_EQ(periodTitle(common::MONTHLY, {2024, 0, 3}), "March 2024");
    EXPECT_EQ(periodTitle(common::WEEKLY, {2024, 8, 3}), "Week ending 8 March 2024");
    EXPECT_EQ(periodTitle(common::BIWEEKLY, {2024, 15, 3}), "Fortnight ending 15 March 2024");
    EXPECT_EQ(periodTitle(common::IRREGULAR, {2024, 2, 3}), "Pay period ending 2 March 2024");
}

// ---------------------------------------------------------------------------
// With an organisation

using ReportWizardFlow = WizardFixture;

TEST_F(ReportWizardFlow, StartsWithTheDefaultsOfTheCodeAndTheOrganisation) {
    ReportWizard w = wizard(34);
    EXPECT_EQ(w.commandCode(), 34);
    EXPECT_EQ(w.param().reportType, 34);
    EXPECT_EQ(w.param().payFreq, common::MONTHLY);
    EXPECT_EQ(w.param().period, (common::date{2024, 0, 3}));
    EXPECT_EQ(w.param().processDate, kToday);
    EXPECT_EQ(w.param().groupTitle, "All Units");
    EXPECT_EQ(w.plan().title, "View Payslips");
    EXPECT_TRUE(w.showsNextBack());
    EXPECT_FALSE(wizard(11).showsNextBack());
}

TEST_F(ReportWizardFlow, NextBackAndOkCheckThePageFirst) {
    ReportWizard w = wizard(42);
    FakeDialogView period, field, selection;
    ASSERT_EQ(w.currentPage(), P::PayPeriod);
    EXPECT_FALSE(w.canGoBack());
    w.initPage(period);
    period.setText(payperiodpage::Year, "3001");
    EXPECT_FALSE(w.leavePage(period, WizardMove::Next));
    expectMessage("Entry for year is invalid.", common::MessageIcon::Information);
    EXPECT_EQ(w.pageIndex(), 0);

    period.setText(payperiodpage::Year, "2024");
    ASSERT_TRUE(w.leavePage(period, WizardMove::Next));
    ASSERT_EQ(w.currentPage(), P::PayField);
    w.initPage(field);
    EXPECT_EQ(field.text(payfieldpage::Label), "Earning");
    field.selectRow(payfieldpage::List, field.findItem(payfieldpage::List, "Basic Pay"));
    ASSERT_TRUE(w.leavePage(field, WizardMove::Next));
    EXPECT_EQ(w.param().reportType, 37);
    ASSERT_EQ(w.currentPage(), P::Selection);
    EXPECT_FALSE(w.canGoNext());

    // Back returns to the field, which shows the stored choice; another
    // earning makes the earnings report again.
    w.initPage(selection);
    ASSERT_TRUE(w.leavePage(selection, WizardMove::Back));
    ASSERT_EQ(w.currentPage(), P::PayField);
    FakeDialogView again;
    w.initPage(again);
    EXPECT_EQ(again.itemText(payfieldpage::List, again.selectedRow(payfieldpage::List)),
              "Basic Pay");
    again.selectRow(payfieldpage::List, again.findItem(payfieldpage::List, "Night Allowance"));
    ASSERT_TRUE(w.leavePage(again, WizardMove::Ok));
    EXPECT_TRUE(w.finished());
    EXPECT_EQ(w.param().reportType, 42);
    EXPECT_EQ(w.param().fieldName, "Night Allowance");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportWizardFlow, ReportKindChoosesThePeriodTheMonthOrTheYearReport) {
    namespace c = reportkindpage;
    struct Case {
        std::int32_t code;
        const char* kind; // the radio button ticked
        std::int32_t becomes;
        std::vector<P> pages;
    };
    const Case cases[] = {
        {32, c::PayPeriod, 204, {P::ReportKind, P::PayPeriod, P::Selection}},
        {32, c::Month, 205, {P::ReportKind, P::ReturnMonth}},
        {32, c::WholeYear, 206, {P::ReportKind, P::YearRange, P::Selection}},
        {33, c::PayPeriod, 201, {P::ReportKind, P::PayPeriod, P::Selection}},
        {33, c::Month, 202, {P::ReportKind, P::ReturnMonth}},
        {33, c::WholeYear, 203, {P::ReportKind, P::YearRange, P::Selection}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.code) + " " + k.kind);
        ReportWizard w = wizard(k.code);
        FakeDialogView kind;
        w.initPage(kind);
        EXPECT_TRUE(kind.isChecked(c::PayPeriod));
        EXPECT_FALSE(kind.isChecked(c::Month));
        EXPECT_FALSE(kind.isChecked(c::WholeYear));
        for (const char* radio : {c::PayPeriod, c::Month, c::WholeYear})
            kind.setChecked(radio, std::string(radio) == k.kind);
        ASSERT_TRUE(w.leavePage(kind, WizardMove::Next));
        EXPECT_EQ(w.param().reportType, k.becomes);
        EXPECT_EQ(w.plan().pages, k.pages);
        EXPECT_EQ(w.currentPage(), k.pages[1]);
        // Coming back shows the kind chosen.
        FakeDialogView shown;
        w.initReportKindPage(shown);
        EXPECT_TRUE(shown.isChecked(k.kind));
    }
}

TEST_F(ReportWizardFlow, ParametersBuiltWithoutAWindow) {
    ReportWizard w = wizard(41);
    ASSERT_TRUE(w.applyPayPeriod(common::MONTHLY, 2024, 2, 0));
    ASSERT_TRUE(w.applyPayField("SACCO Loan"));
    ASSERT_TRUE(w.applySelection(common::kGroupByStation, "Arusha"));
    EXPECT_EQ(w.param().reportType, 53);
    EXPECT_EQ(w.param().period, (common::date{2024, 0, 2}));
    EXPECT_EQ(w.param().isCurrentPeriod, 0);
    EXPECT_EQ(w.param().fieldName, "SACCO Loan");
    EXPECT_EQ(w.param().groupTitle, "Arusha Station");
    EXPECT_TRUE(ui.messages.empty());

    EXPECT_FALSE(w.applyPayField("Basic Pay")); // no deduction
    EXPECT_FALSE(w.applySelection(common::kGroupByBank, ""));
    EXPECT_EQ(ui.beeps, 2);
    EXPECT_EQ(w.param().fieldName, "SACCO Loan");
    EXPECT_EQ(w.param().groupBy, common::kGroupByStation);
}

// ---------------------------------------------------------------------------
// Pay field, co-operative and pension fund

TEST_F(ReportWizardFlow, PayFieldListComesFromTheDefinitionsFile) {
    namespace c = payfieldpage;
    ReportWizard w = wizard(41);
    FakeDialogView page;
    w.initPayFieldPage(page);
    EXPECT_EQ(page.text(c::Label), "Deduction");
    EXPECT_EQ(page.itemTexts(c::List),
              (std::vector<std::string>{
                  "Overdraft Recovery", "Rounding C/F", "Rent", "Salary Advance", "Car Loan",
                  "SACCO Loan", "Savings Scheme", "CRDB Loan", "Union Dues", "Staff Advance"}));
    EXPECT_EQ(page.selectedRow(c::List), 0); // nothing stored: the first

    page.selectRow(c::List, -1);
    EXPECT_FALSE(w.closePayFieldPage(page));
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(page.focus(), c::List);
    EXPECT_EQ(w.param().fieldName, "");

    page.selectRow(c::List, 4);
    ASSERT_TRUE(w.closePayFieldPage(page));
    EXPECT_EQ(w.param().fieldName, "Car Loan");
    EXPECT_EQ(w.param().reportType, 52);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportWizardFlow, PayFieldWithoutDefinitionsTellsWhyAndOffersTheFixedRows) {
    fs::remove(dir.file("org01/database/monpay.dat"));
    ReportWizard w = wizard(64);
    FakeDialogView page;
    w.initPayFieldPage(page);
    expectMessage("Unable to open database/monpay.dat", MessageIcon::Error);
    EXPECT_EQ(page.itemTexts(payfieldpage::List), (std::vector<std::string>{"Net Pay"}));
    ASSERT_TRUE(w.closePayFieldPage(page));
    EXPECT_EQ(w.param().fieldName, "Net Pay");
    EXPECT_EQ(w.param().reportType, 64);
}

TEST_F(ReportWizardFlow, FundPageNeedsAName) {
    namespace c = fundpage;
    struct Case {
        std::int32_t code;
        const char* label;
        std::vector<std::string> names;
        std::int32_t groupBy;
        const char* title;
    };
    for (const Case& k :
         {Case{55, "Co-operative:", {"Teachers SACCO"}, 5, "Teachers SACCO Co-operative"},
          Case{56,
               "Pension Fund:",
               {"NSSF Supplementary", "PPF"},
               6,
               "NSSF Supplementary Pension Fund"}}) {
        ReportWizard w = wizard(k.code);
        FakeDialogView page;
        w.initFundPage(page);
        EXPECT_EQ(page.text(c::Label), k.label);
        EXPECT_EQ(page.itemTexts(c::List), k.names);
        EXPECT_EQ(page.selectedRow(c::List), -1);
        EXPECT_FALSE(w.closeFundPage(page));
        EXPECT_EQ(page.focus(), c::List);
        EXPECT_EQ(ui.beeps, 1);
        page.selectRow(c::List, 0);
        ASSERT_TRUE(w.closeFundPage(page));
        EXPECT_EQ(w.param().groupBy, k.groupBy);
        EXPECT_EQ(w.param().groupName, k.names[0]);
        EXPECT_EQ(w.param().groupTitle, k.title);
        FakeDialogView again;
        w.initFundPage(again);
        EXPECT_EQ(again.selectedRow(c::List), 0);
        ui.clear();
    }
}

} // namespace
} // namespace kelo::setup::wizardtest
