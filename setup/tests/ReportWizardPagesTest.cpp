// Each wizard page: what it shows, every check with its message, the page
// staying with the focus on the refused field, and what it stores.
#include "setup/ReportWizardControls.h"
#include "setup/tests/ReportWizardFixture.h"

namespace kelo::setup::wizardtest {
namespace {

using common::MessageIcon;
using testsupport::FakeDialogView;
using TreeItem = common::DialogView::TreeItem;

using ReportWizardPages = WizardFixture;

constexpr MessageIcon kInfo = MessageIcon::Information;

// ---------------------------------------------------------------------------
// Selection of employees

TEST_F(ReportWizardPages, SelectionKindsRelabelAndRefillTheNames) {
    namespace c = selectionpage;
    struct Case {
        std::int32_t kind;
        const char* prompt;
        std::vector<std::string> names; // top level
    };
    const std::vector<Case> cases{
        {1, "Which unit?", {"Head Office", "Stores"}},
        {2, "Which station?", {"Arusha", "Mwanza"}},
        {3, "Which pay group?", {"Weekly Casuals"}},
        {4, "Which bank?", {"CRDB", "NBC"}},
        {5, "Which co-operative?", {"Teachers SACCO"}},
        {6, "Which pension fund?", {"NSSF Supplementary", "PPF"}},
        {0, "Which instance?", {}},
    };
    ReportWizard w = wizard(11);
    FakeDialogView page;
    w.initSelectionPage(page);
    EXPECT_EQ(page.itemTexts(c::Kind),
              (std::vector<std::string>{"(None)", "Administrative Unit", "Station", "Pay Group",
                                        "Bank", "Co-operative", "Pension Fund"}));
    EXPECT_EQ(page.selectedRow(c::Kind), 0);
    EXPECT_FALSE(page.isEnabled(c::Names));
    for (const Case& k : cases) {
        page.selectRow(c::Kind, k.kind);
        w.selectionKindChanged(page);
        EXPECT_EQ(page.text(c::Prompt), k.prompt) << k.kind;
        EXPECT_EQ(treeTexts(page, c::Names, common::DialogView::kRoot), k.names) << k.kind;
        const bool named = k.kind != 0;
        EXPECT_EQ(page.isEnabled(c::Prompt), named) << k.kind;
        EXPECT_EQ(page.isEnabled(c::Frame), named) << k.kind;
        EXPECT_EQ(page.isEnabled(c::Names), named) << k.kind;
    }
    // Units keep their tree.
    page.selectRow(c::Kind, 1);
    w.selectionKindChanged(page);
    const TreeItem head = page.treeChildren(c::Names, common::DialogView::kRoot).front();
    EXPECT_EQ(treeTexts(page, c::Names, head), (std::vector<std::string>{"Finance"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportWizardPages, SelectionNeedsANameAndStoresItsTitle) {
    namespace c = selectionpage;
    struct Case {
        std::int32_t kind;
        const char* name;
        const char* title;
    };
    const std::vector<Case> cases{
        {1, "Finance", "Finance Unit"},
        {2, "Arusha", "Arusha Station"},
        {3, "Weekly Casuals", "Weekly Casuals Pay Group"},
        {4, "CRDB", "CRDB"},
        {5, "Teachers SACCO", "Teachers SACCO Co-operative"},
        {6, "PPF", "PPF Pension Fund"},
    };
    for (const Case& k : cases) {
        ReportWizard w = wizard(31);
        FakeDialogView page;
        w.initSelectionPage(page);
        page.selectRow(c::Kind, k.kind);
        w.selectionKindChanged(page);
        ui.clear();
        // No name chosen: a beep, the page stays and nothing is stored.
        EXPECT_FALSE(w.closeSelectionPage(page)) << k.kind;
        EXPECT_EQ(ui.beeps, 1);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(page.focus(), c::Names);
        EXPECT_EQ(w.param().groupBy, 0);
        EXPECT_EQ(w.param().groupTitle, "All Units");

        std::vector<TreeItem> pending = page.treeChildren(c::Names, common::DialogView::kRoot);
        TreeItem found = common::DialogView::kRoot;
        while (!pending.empty() && found == common::DialogView::kRoot) {
            const TreeItem item = pending.back();
            pending.pop_back();
            if (page.treeItemText(c::Names, item) == k.name)
                found = item;
            for (TreeItem child : page.treeChildren(c::Names, item))
                pending.push_back(child);
        }
        ASSERT_NE(found, common::DialogView::kRoot) << k.name;
        page.selectTreeItem(c::Names, found);
        ASSERT_TRUE(w.closeSelectionPage(page)) << k.kind;
        EXPECT_EQ(w.param().groupBy, k.kind);
        EXPECT_EQ(w.param().groupName, k.name);
        EXPECT_EQ(w.param().groupTitle, k.title);

        // Opened again, the page shows the stored choice.
        FakeDialogView again;
        w.initSelectionPage(again);
        EXPECT_EQ(again.selectedRow(c::Kind), k.kind);
        EXPECT_EQ(again.treeItemText(c::Names, again.selectedTreeItem(c::Names)), k.name);
    }
    // Back to none: no name, "All Units".
    ReportWizard w = wizard(31);
    ASSERT_TRUE(w.applySelection(2, "Arusha"));
    FakeDialogView page;
    w.initSelectionPage(page);
    page.selectRow(c::Kind, 0);
    w.selectionKindChanged(page);
    ASSERT_TRUE(w.closeSelectionPage(page));
    EXPECT_EQ(w.param().groupBy, 0);
    EXPECT_EQ(w.param().groupName, "");
    EXPECT_EQ(w.param().groupTitle, "All Units");
}

// ---------------------------------------------------------------------------
// Pay period

TEST_F(ReportWizardPages, PayPeriodShowsTheCurrentPeriod) {
    namespace c = payperiodpage;
    ReportWizard w = wizard(34);
    FakeDialogView page;
    w.initPayPeriodPage(page);
    EXPECT_EQ(page.itemTexts(c::Frequency),
              (std::vector<std::string>{"Monthly", "Weekly", "Biweekly", "Irregular"}));
    EXPECT_EQ(page.selectedRow(c::Frequency), 0);
    EXPECT_EQ(page.text(c::Year), "2024");
    EXPECT_EQ(page.itemText(c::Month, page.selectedRow(c::Month)), "March");
    EXPECT_EQ(page.itemCount(c::Day), 31);
    EXPECT_FALSE(page.isEnabled(c::Day));

    struct Case {
        int row;
        const char* label;
        const char* day;
    };
    for (const Case& k : {Case{1, "Week ending:", "8"}, Case{2, "Fortnight ending:", "15"},
                          Case{3, "Pay period:", "2"}}) {
        page.selectRow(c::Frequency, k.row);
        w.payFrequencyChanged(page);
        EXPECT_EQ(page.text(c::DayLabel), k.label);
        EXPECT_TRUE(page.isEnabled(c::Day));
        EXPECT_EQ(page.itemText(c::Day, page.selectedRow(c::Day)), k.day);
        ASSERT_TRUE(w.closePayPeriodPage(page)) << k.label; // the current period: no file needed
        EXPECT_EQ(w.param().isCurrentPeriod, 1);
    }
    EXPECT_EQ(w.param().payFreq, common::IRREGULAR);
    EXPECT_EQ(w.param().period, (common::date{2024, 2, 3}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportWizardPages, PayPeriodRefusesABadYearAndPastPeriodsWithoutAGoodFile) {
    namespace c = payperiodpage;
    const std::string moved = dir.file("org01/2023/mon11.dbf");
    struct Case {
        const char* year;
        int month;
        const char* message; // empty: accepted
        MessageIcon icon;
        const char* focus;
    };
    const std::vector<Case> cases{
        {"1899", 3, "Entry for year is invalid.", kInfo, c::Year},
        {"3001", 3, "Entry for year is invalid.", kInfo, c::Year},
        {"20x4", 3, "Entry for year is invalid.", kInfo, c::Year},
        {"", 3, "Entry for year is invalid.", kInfo, c::Year},
        {"2024", 1, "", MessageIcon::Error, c::Month},
        {"2023", 11, "", MessageIcon::Error, c::Month},
        {"2023", 10, "The pay log keeps no report file for October 2023.", MessageIcon::Error,
         c::Month},
        {"2024", 4, "The pay log keeps no report file for April 2024.", MessageIcon::Error,
         c::Month},
    };
    const std::vector<std::string> fileMessages{
        "Can't find \"" + dir.file("org01/2024/mon01.dbf") + "\"",
        "File  \"" + moved +
            "\" has been renamed or moved. Its original name and location were \"2023/mon10.dbf\""};
    std::size_t nextFileMessage = 0;
    for (const Case& k : cases) {
        ReportWizard w = wizard(31);
        FakeDialogView page;
        w.initPayPeriodPage(page);
        page.setText(c::Year, k.year);
        page.selectRow(c::Month, k.month - 1);
        EXPECT_FALSE(w.closePayPeriodPage(page)) << k.year << " " << k.month;
        expectMessage(*k.message ? k.message : fileMessages[nextFileMessage++], k.icon);
        EXPECT_EQ(page.focus(), k.focus);
        EXPECT_EQ(w.param().period, (common::date{2024, 0, 3}));
        EXPECT_EQ(w.param().isCurrentPeriod, 1);
    }
}

TEST_F(ReportWizardPages, PayPeriodTakesAClosedPeriodWhoseFilePassesTheCheck) {
    namespace c = payperiodpage;
    ReportWizard w = wizard(31);
    FakeDialogView page;
    w.initPayPeriodPage(page);
    page.selectRow(c::Month, 1);
    ASSERT_TRUE(w.closePayPeriodPage(page)) << ui.lastMessage();
    EXPECT_EQ(w.param().period, (common::date{2024, 0, 2}));
    EXPECT_EQ(w.param().isCurrentPeriod, 0);

    // The week ending 1 March is logged; the one ending 22 February is not.
    page.selectRow(c::Frequency, 1);
    w.payFrequencyChanged(page);
    page.selectRow(c::Month, 2);
    page.selectRow(c::Day, 0);
    ASSERT_TRUE(w.closePayPeriodPage(page)) << ui.lastMessage();
    EXPECT_EQ(w.param().payFreq, common::WEEKLY);
    EXPECT_EQ(w.param().period, (common::date{2024, 1, 3}));
    EXPECT_EQ(w.param().isCurrentPeriod, 0);
    page.selectRow(c::Month, 1);
    page.selectRow(c::Day, 21);
    EXPECT_FALSE(w.closePayPeriodPage(page));
    expectMessage("The pay log keeps no report file for Week ending 22 February 2024.",
                  MessageIcon::Error);
    EXPECT_EQ(w.param().period, (common::date{2024, 1, 3}));
}

// ---------------------------------------------------------------------------
// Year and month range, month of return

TEST_F(ReportWizardPages, YearRangeOffersHalfYearsToTheTaxReturnsOnly) {
    namespace c = yearrangepage;
    for (std::int32_t report : {12, 15, 22, 25, 80, 81, 82, 85}) {
        ReportWizard w = wizard(report);
        FakeDialogView page;
        w.initYearRangePage(page);
        EXPECT_EQ(page.text(c::Year), "2024");
        EXPECT_EQ(page.itemTexts(c::FromMonth), (std::vector<std::string>{"January", "July"}));
        EXPECT_EQ(page.itemTexts(c::ToMonth), (std::vector<std::string>{"June", "December"}));
        EXPECT_EQ(page.selectedRow(c::FromMonth), 0);
        EXPECT_EQ(page.selectedRow(c::ToMonth), 1);
        const bool taxReturn = report >= 80 && report <= 82;
        EXPECT_EQ(page.isEnabled(c::FromMonth), taxReturn) << report;
        EXPECT_EQ(page.isEnabled(c::ToMonth), taxReturn) << report;
    }
}

TEST_F(ReportWizardPages, YearRangeChecksTheYearTheRangeAndAnotherYearsFile) {
    namespace c = yearrangepage;
    struct Case {
        std::int32_t code;
        const char* year;
        int fromRow, toRow;
        std::string message; // empty: accepted
        MessageIcon icon;
        const char* focus;
    };
    const std::vector<Case> cases{
        {80, "1899", 0, 1, "Entry for year is invalid.", kInfo, c::Year},
        {12, "3001", 0, 1, "Entry for year is invalid.", kInfo, c::Year},
        {80, "2024", 1, 0, "Month range is not valid.", kInfo, c::ToMonth},
        {12, "2023", 0, 1, "Can't find \"" + dir.file("org01/2023/leavers.dbf") + "\"",
         MessageIcon::Error, c::Year},
        {81, "2023", 0, 1, "Can't find \"" + dir.file("org01/2023/p10.dbf") + "\"",
         MessageIcon::Error, c::Year},
        {80, "2024", 0, 0, "", kInfo, nullptr},
        {80, "2024", 1, 1, "", kInfo, nullptr},
        {24, "2024", 0, 1, "", kInfo, nullptr},
    };
    for (const Case& k : cases) {
        ReportWizard w = wizard(k.code);
        FakeDialogView page;
        w.initYearRangePage(page);
        page.setText(c::Year, k.year);
        page.selectRow(c::FromMonth, k.fromRow);
        page.selectRow(c::ToMonth, k.toRow);
        const bool accepted = w.closeYearRangePage(page);
        EXPECT_EQ(accepted, k.message.empty()) << k.code << " " << k.year;
        if (accepted) {
            EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
            EXPECT_EQ(w.param().fromMonth, k.fromRow == 0 ? 1 : 7);
            EXPECT_EQ(w.param().toMonth, k.toRow == 0 ? 6 : 12);
            continue;
        }
        expectMessage(k.message, k.icon);
        EXPECT_EQ(page.focus(), k.focus);
        EXPECT_EQ(w.param().fromMonth, 1);
        EXPECT_EQ(w.param().toMonth, 12);
    }
}

TEST_F(ReportWizardPages, AnotherYearsFileMustPassTheIdentityCheck) {
    writeTagged("2023/leavers.dbf", common::fileKind::FormerEmployees);
    writeTagged("2023/annualreturns.dbf", common::fileKind::AnnualReports,
                "2022/annualreturns.dbf");
    ReportWizard leavers = wizard(12);
    ASSERT_TRUE(leavers.applyYearRange(2023, 1, 12)) << ui.lastMessage();
    EXPECT_EQ(leavers.param().period.year, 2023);

    ReportWizard annual = wizard(32);
    annual.applyReportKind(ReportWizard::ReportKind::Year);
    EXPECT_FALSE(annual.applyYearRange(2023, 1, 12));
    expectMessage("File  \"" + dir.file("org01/2023/annualreturns.dbf") +
                      "\" has been renamed or moved. Its original name and location were "
                      "\"2022/annualreturns.dbf\"",
                  MessageIcon::Error);
    EXPECT_EQ(annual.lastFault(), WizardField::RangeYear);
}

TEST_F(ReportWizardPages, ReturnMonthNeedsThePastMonthsFile) {
    namespace c = returnmonthpage;
    ReportWizard w = wizard(71);
    FakeDialogView page;
    w.initReturnMonthPage(page);
    EXPECT_EQ(page.text(c::Year), "2024");
    EXPECT_EQ(page.itemText(c::Month, page.selectedRow(c::Month)), "March");
    ASSERT_TRUE(w.closeReturnMonthPage(page)); // the current month
    EXPECT_EQ(w.param().period, (common::date{2024, 0, 3}));

    page.setText(c::Year, "1899");
    EXPECT_FALSE(w.closeReturnMonthPage(page));
    expectMessage("Entry for year is invalid.", kInfo);
    EXPECT_EQ(page.focus(), c::Year);

    page.setText(c::Year, "2024");
    page.selectRow(c::Month, 0);
    EXPECT_FALSE(w.closeReturnMonthPage(page));
    expectMessage("Can't find \"" + dir.file("org01/2024/Janret.dbf") + "\"", MessageIcon::Error);
    EXPECT_EQ(page.focus(), c::Month);

    writeTagged("2024/Janret.dbf", common::fileKind::MonthlyReports);
    ASSERT_TRUE(w.closeReturnMonthPage(page)) << ui.lastMessage();
    EXPECT_EQ(w.param().period, (common::date{2024, 0, 1}));
}

// ---------------------------------------------------------------------------
// Process date and bank

TEST_F(ReportWizardPages, ProcessDateIsARealDateNotBeforeToday) {
    namespace c = processdatepage;
    struct Case {
        const char* day;
        int month;
        const char* year;
        const char* message; // empty: accepted
        const char* focus;
    };
    const std::vector<Case> cases{
        {"10", 3, "1899", "Entry for process year field is invalid.", c::Year},
        {"10", 3, "3001", "Entry for process year field is invalid.", c::Year},
        {"0", 3, "2024", "Entry for process day field is invalid.", c::Day},
        {"32", 3, "2024", "Entry for process day field is invalid.", c::Day},
        {"30", 4, "2024", "", nullptr},
        {"31", 4, "2024", "Entry for process day field is invalid.", c::Day},
        {"29", 2, "2025", "Entry for process day field is invalid.", c::Day},
        {"x", 3, "2024", "Entry for process day field is invalid.", c::Day},
        {"9", 3, "2024", "Process date can be no earlier than today.", c::Day},
        {"31", 12, "2023", "Process date can be no earlier than today.", c::Day},
        {"10", 3, "2024", "", nullptr},
        {"29", 2, "2028", "", nullptr},
    };
    for (const Case& k : cases) {
        ReportWizard w = wizard(92);
        FakeDialogView page;
        w.initProcessDatePage(page);
        EXPECT_EQ(page.text(c::Day), "10");
        EXPECT_EQ(page.itemText(c::Month, page.selectedRow(c::Month)), "March");
        EXPECT_EQ(page.text(c::Year), "2024");
        page.setText(c::Day, k.day);
        page.selectRow(c::Month, k.month - 1);
        page.setText(c::Year, k.year);
        const bool accepted = w.closeProcessDatePage(page);
        EXPECT_EQ(accepted, !*k.message) << k.day << "/" << k.month << "/" << k.year;
        if (accepted) {
            EXPECT_EQ(w.param().processDate.month, k.month);
            continue;
        }
        expectMessage(k.message, kInfo);
        EXPECT_EQ(page.focus(), k.focus);
        EXPECT_EQ(w.param().processDate, kToday);
    }
}

TEST_F(ReportWizardPages, TheBankChoosesTheTransferFile) {
    namespace c = processdatepage;
    ReportWizard w = wizard(92);
    FakeDialogView page;
    w.initProcessDatePage(page);
    EXPECT_EQ(page.itemTexts(c::Bank),
              (std::vector<std::string>{"Standard Chartered Bank", "Barclays Bank", "Citibank",
                                        "Stanbic Bank"}));
    EXPECT_EQ(page.selectedRow(c::Bank), 1);
    for (int row : {0, 2, 3, 1}) {
        page.selectRow(c::Bank, row);
        ASSERT_TRUE(w.closeProcessDatePage(page));
        EXPECT_EQ(w.param().reportType, 91 + row);
    }
}

} // namespace
} // namespace kelo::setup::wizardtest
