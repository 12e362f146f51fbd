// The Report Options dialog and its payslip, control account, muster roll
// and sort options.
#include "setup/ReportOptions.h"

#include "setup/OptionsDlg.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace kelo::setup {
namespace {

using common::MessageIcon;
using testsupport::FakeDialogView;
namespace fs = std::filesystem;

const std::string kInUse = "settings/options.dbf is currently in use by another user.";
const std::string kCantStore =
    "Can't update settings/options.dbf because another user is using it.";
const std::string kMissing = "Can't open settings/options.dbf";
const std::string kSelectReport = "Please select a report.";
const std::string kChooseSort = "Please choose how to sort the report.";
const std::string kChooseFooter = "Please choose who signs the payslips.";
const std::string kChooseBreakdown = "Please choose the breakdown of the control account.";
const std::string kChooseGrouping = "Please choose the grouping of the muster roll.";
const std::string kChooseDenomination = "Please tick at least one note or coin to pay out.";

class ReportOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("org01/settings"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        ASSERT_TRUE(database::OPTIONSDB(code, folder).createFile(ui));
        ui.clear();
    }

    // The value as another user's report reads it.
    int stored(std::int32_t id, std::string_view key) {
        database::OPTIONSDB table(otherCode, folder);
        EXPECT_TRUE(table.openFile());
        return table.getValue(id, key);
    }
    void store(std::int32_t id, std::string_view key, int value) {
        database::OPTIONSDB table(otherCode, folder);
        ASSERT_TRUE(table.openFile());
        ASSERT_TRUE(table.setValue(id, key, value));
    }
    void expectMessage(const std::string& text, MessageIcon icon) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].icon, icon);
        EXPECT_EQ(ui.messages[0].caption, "Kelo Roster");
        ui.clear();
    }
    static common::USERREC user(std::int32_t menuType) {
        common::USERREC u;
        u.menuType = menuType;
        return u;
    }
    // Opens the Report Options list and chooses `name`, as the user does.
    std::int32_t choose(const std::string& name, std::int32_t menuType = common::kFullMenu) {
        FakeDialogView list;
        options.initDlg(list, user(menuType));
        list.selectRow(reportoptionsdlg::List, list.findItem(reportoptionsdlg::List, name));
        return options.getSelRepID(ui, list, user(menuType));
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    engine::Code4 otherCode; // another user's program
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    OPTIONSDLG options{code, folder};
};

struct Listed {
    std::string name;
    long id;
};
const std::vector<Listed> kFull = {
    {"Employees Roll", 11},
    {"Leavers Roll", 12},
    {"Length of Service", 13},
    {"Employee Master", 14},
    {"Leavers Master", 15},
    {"Absence Analysis", 22},
    {"Leave Analysis", 23},
    {"Leave Details", 24},
    {"Leave Booked", 25},
    {"Payroll Summary", 31},
    {"Control Account", 33},
    {"Muster Roll", 32},
    {"Payslips", 34},
    {"Deductions", 41},
    {"Earnings", 42},
    {"Benefits", 43},
    {"Lump Sums", 44},
    {"Refunds", 45},
    {"Basic Pay", 37},
    {"Hourly Pay", 51},
    {"Company Loan", 52},
    {"Co-operative Loan", 53},
    {"Savings Plan", 54},
    {"Tax on Lump Sums", 57},
    {"Cash List", 61},
    {"Cheque List", 63},
    {"Low Interest Benefit", 76},
    {"ITX215", 82},
    {"Employee Pay Summary", 85},
};
const std::vector<Listed> kPersonnel = {
    {"Employees Roll", 11},   {"Leavers Roll", 12},   {"Length of Service", 13},
    {"Absence Analysis", 22}, {"Leave Analysis", 23}, {"Leave Details", 24},
    {"Leave Booked", 25},
};
const std::vector<Listed> kPayroll = {
    {"Employees Roll", 11},
    {"Leavers Roll", 12},
    {"Payroll Summary", 31},
    {"Control Account", 33},
    {"Muster Roll", 32},
    {"Payslips", 34},
    {"Deductions", 41},
    {"Earnings", 42},
    {"Benefits", 43},
    {"Lump Sums", 44},
    {"Refunds", 45},
    {"Basic Pay", 37},
    {"Hourly Pay", 51},
    {"Company Loan", 52},
    {"Co-operative Loan", 53},
    {"Savings Plan", 54},
    {"Tax on Lump Sums", 57},
    {"Cash List", 61},
    {"Cheque List", 63},
    {"Low Interest Benefit", 76},
    {"ITX215", 82},
    {"Employee Pay Summary", 85},
};

TEST_F(ReportOptionsTest, TheListHoldsTheReportsOfTheUsersMenuFirstSelected) {
    const struct {
        std::int32_t menuType;
        const std::vector<Listed>& reports;
    } cases[] = {{common::kFullMenu, kFull},
                 {common::kPersonnelMenu, kPersonnel},
                 {common::kPayrollMenu, kPayroll}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.menuType);
        FakeDialogView list;
        list.addItem(reportoptionsdlg::List, "left over", 0);
        options.initDlg(list, user(c.menuType));
        ASSERT_EQ(list.itemCount(reportoptionsdlg::List), static_cast<int>(c.reports.size()));
        for (int row = 0; row < static_cast<int>(c.reports.size()); ++row) {
            const Listed& expected = c.reports[static_cast<std::size_t>(row)];
            EXPECT_EQ(list.itemText(reportoptionsdlg::List, row), expected.name);
            EXPECT_EQ(list.itemCode(reportoptionsdlg::List, row), expected.id);
        }
        EXPECT_EQ(list.selectedRow(reportoptionsdlg::List), 0);
        EXPECT_EQ(options.currentReport(), 0);
    }
    EXPECT_EQ(kFull.size(), 29u);
    EXPECT_EQ(kPersonnel.size(), 7u);
    EXPECT_EQ(kPayroll.size(), 22u);

    // A menu type the program does not know offers nothing.
    FakeDialogView none;
    options.initDlg(none, user(7));
    EXPECT_EQ(none.itemCount(reportoptionsdlg::List), 0);
    EXPECT_EQ(none.selectedRow(reportoptionsdlg::List), -1);
    EXPECT_EQ(options.getSelRepID(ui, none, user(7)), 0);
    expectMessage(kSelectReport, MessageIcon::Information);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportOptionsTest, TheSelectedReportIsFoundByNameWithoutRegardToCase) {
    for (const Listed& report : kFull) {
        SCOPED_TRACE(report.name);
        EXPECT_EQ(choose(report.name), report.id);
        EXPECT_EQ(options.currentReport(), report.id);
    }
    EXPECT_TRUE(ui.messages.empty());

    FakeDialogView list;
    list.addItem(reportoptionsdlg::List, "cASH lIST", 0);
    list.selectRow(reportoptionsdlg::List, 0);
    EXPECT_EQ(options.getSelRepID(ui, list, user(common::kFullMenu)), 61);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportOptionsTest, APersonnelOnlyUserCannotReachThePayslipOptions) {
    FakeDialogView list;
    options.initDlg(list, user(common::kPersonnelMenu));
    EXPECT_EQ(list.findItem(reportoptionsdlg::List, "Payslips"), -1);
    // Even a list that offers it does not lead there.
    list.addItem(reportoptionsdlg::List, "Payslips", 34);
    list.selectRow(reportoptionsdlg::List, list.itemCount(reportoptionsdlg::List) - 1);
    EXPECT_EQ(options.getSelRepID(ui, list, user(common::kPersonnelMenu)), 0);
    EXPECT_EQ(options.currentReport(), 0);
    expectMessage(kSelectReport, MessageIcon::Information);
    // Nor does a payroll-only user reach the personnel master reports.
    EXPECT_EQ(choose("Leave Booked", common::kPayrollMenu), 0);
    expectMessage(kSelectReport, MessageIcon::Information);

    FakeDialogView sort;
    EXPECT_FALSE(options.displaySortKey(ui, sort));
    expectMessage(kSelectReport, MessageIcon::Information);
}

TEST_F(ReportOptionsTest, NoSelectionGivesNoReport) {
    ASSERT_EQ(choose("Payslips"), 34);
    FakeDialogView list;
    options.initDlg(list, user(common::kFullMenu));
    list.selectRow(reportoptionsdlg::List, -1);
    EXPECT_EQ(options.getSelRepID(ui, list, user(common::kFullMenu)), 0);
    EXPECT_EQ(options.currentReport(), 0);
    expectMessage(kSelectReport, MessageIcon::Information);
}

TEST_F(ReportOptionsTest, SortingTheCashListByNameLeavesTheChequeListAlone) {
    ASSERT_EQ(choose("Cash List"), 61);
    FakeDialogView sort;
    ASSERT_TRUE(options.displaySortKey(ui, sort));
    EXPECT_FALSE(sort.isChecked(sortoptionsdlg::SortByName));
    EXPECT_TRUE(sort.isChecked(sortoptionsdlg::SortByNumber));
    sort.setChecked(sortoptionsdlg::SortByNumber, false);
    sort.setChecked(sortoptionsdlg::SortByName, true);
    ASSERT_TRUE(options.getSortKey(ui, sort));
    EXPECT_EQ(stored(61, "Sort Key"), 1);
    EXPECT_EQ(stored(63, "Sort Key"), 0);

    ASSERT_EQ(choose("Cheque List"), 63);
    FakeDialogView cheque;
    ASSERT_TRUE(options.displaySortKey(ui, cheque));
    EXPECT_TRUE(cheque.isChecked(sortoptionsdlg::SortByNumber));
    ASSERT_EQ(choose("Cash List"), 61);
    FakeDialogView again;
    ASSERT_TRUE(options.displaySortKey(ui, again));
    EXPECT_TRUE(again.isChecked(sortoptionsdlg::SortByName));
    EXPECT_FALSE(again.isChecked(sortoptionsdlg::SortByNumber));
    // Back to the number.
    again.setChecked(sortoptionsdlg::SortByName, false);
    again.setChecked(sortoptionsdlg::SortByNumber, true);
    ASSERT_TRUE(options.getSortKey(ui, again));
    EXPECT_EQ(stored(61, "Sort Key"), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(options.isOpen());
}

TEST_F(ReportOptionsTest, ASortKeyOfNeitherChoiceTicksNoButtonAndMustBeChosen) {
    store(85, "Sort Key", 7);
    ASSERT_EQ(choose("Employee Pay Summary"), 85);
    FakeDialogView sort;
    ASSERT_TRUE(options.displaySortKey(ui, sort));
    EXPECT_FALSE(sort.isChecked(sortoptionsdlg::SortByName));
    EXPECT_FALSE(sort.isChecked(sortoptionsdlg::SortByNumber));
    EXPECT_FALSE(options.getSortKey(ui, sort));
    expectMessage(kChooseSort, MessageIcon::Information);
    EXPECT_EQ(stored(85, "Sort Key"), 7);
}

TEST_F(ReportOptionsTest, PlainOperationsCheckEveryValue) {
    const struct {
        const char* what;
        std::function<bool(OPTIONSDLG&, common::Ui&)> store;
        std::string message;
    } cases[] = {
        {"report without options",
         [](OPTIONSDLG& o, common::Ui& u) { return o.storeSortKey(u, 16, 1); }, kSelectReport},
        {"no report", [](OPTIONSDLG& o, common::Ui& u) { return o.storeSortKey(u, 0, 0); },
         kSelectReport},
        {"sort key 2", [](OPTIONSDLG& o, common::Ui& u) { return o.storeSortKey(u, 61, 2); },
         kChooseSort},
        {"sort key -1", [](OPTIONSDLG& o, common::Ui& u) { return o.storeSortKey(u, 61, -1); },
         kChooseSort},
        {"payslip sort key",
         [](OPTIONSDLG& o, common::Ui& u) {
             return o.storePSOptions(u, {.sortKey = 3, .separator = false});
         },
         kChooseSort},
        {"footer 4",
         [](OPTIONSDLG& o, common::Ui& u) {
             return o.storePSOptions(u, {.separator = false, .footer = 4});
         },
         kChooseFooter},
        {"footer -1",
         [](OPTIONSDLG& o, common::Ui& u) {
             return o.storePSOptions(u, {.separator = false, .footer = kNoChoice});
         },
         kChooseFooter},
        {"breakdown 3", [](OPTIONSDLG& o, common::Ui& u) { return o.storeCAOptions(u, {3}); },
         kChooseBreakdown},
        {"breakdown -1", [](OPTIONSDLG& o, common::Ui& u) { return o.storeCAOptions(u, {-1}); },
         kChooseBreakdown},
        {"muster roll sort key",
         [](OPTIONSDLG& o, common::Ui& u) {
             return o.storeMROptions(u, {5, 1});
         },
         kChooseSort},
        {"grouping 3",
         [](OPTIONSDLG& o, common::Ui& u) {
             return o.storeMROptions(u, {1, 3});
         },
         kChooseGrouping},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(c.store(options, ui));
        expectMessage(c.message, MessageIcon::Information);
    }
    // Nothing was stored: the table holds what a new one holds.
    database::OPTIONSDB table(otherCode, folder);
    ASSERT_TRUE(table.openFile());
    EXPECT_EQ(table.data()->recCount(), static_cast<long>(database::OPTIONSDB::defaults().size()));
    for (const database::OptionValue& o : database::OPTIONSDB::defaults())
        EXPECT_EQ(table.getValue(o.id, o.key), o.value) << o.id << " " << o.key;
    EXPECT_EQ(table.getValue(16, "Sort Key"), 0);
}

TEST_F(ReportOptionsTest, PlainOperationsRoundTripEachSet) {
    const PSOPTIONS payslip{.sortKey = kSortByName,
                            .separator = false,
                            .duplicate = true,
                            .employerPension = true,
                            .pensionBalance = false,
                            .loanBreakdown = false,
                            .leaveBalance = false,
                            .footer = kSignedByBoth};
    ASSERT_TRUE(options.storePSOptions(ui, payslip));
    ASSERT_TRUE(options.storeCAOptions(ui, {kGroupByStation}));
    ASSERT_TRUE(options.storeMROptions(ui, {kSortByName, kGroupByUnit}));
    ASSERT_TRUE(options.storeSortKey(ui, 85, kSortByName));
    EXPECT_TRUE(ui.messages.empty());

    PSOPTIONS readPayslip;
    ASSERT_TRUE(options.readPSOptions(ui, readPayslip));
    EXPECT_EQ(readPayslip.sortKey, 1);
    EXPECT_FALSE(readPayslip.separator);
    EXPECT_TRUE(readPayslip.duplicate);
    EXPECT_TRUE(readPayslip.employerPension);
    EXPECT_FALSE(readPayslip.pensionBalance);
    EXPECT_FALSE(readPayslip.loanBreakdown);
    EXPECT_FALSE(readPayslip.leaveBalance);
    EXPECT_EQ(readPayslip.footer, 3);
    CAOPTIONS control;
    ASSERT_TRUE(options.readCAOptions(ui, control));
    EXPECT_EQ(control.breakdown, 2);
    MROPTIONS muster;
    ASSERT_TRUE(options.readMROptions(ui, muster));
    EXPECT_EQ(muster.sortKey, 1);
    EXPECT_EQ(muster.grouping, 1);
    int sortKey = 0;
    ASSERT_TRUE(options.readSortKey(ui, 85, sortKey));
    EXPECT_EQ(sortKey, 1);
    EXPECT_TRUE(ui.messages.empty());

    // Under the ids and names the reports read them by.
    const struct {
        std::int32_t id;
        const char* key;
        int value;
    } rows[] = {{34, "Sort Key", 1},         {34, "Separator", 0},       {34, "Duplicate", 1},
                {34, "Employer Pension", 1}, {34, "Pension Balance", 0}, {34, "Loan Breakdown", 0},
                {34, "Leave Balance", 0},    {34, "Footer", 3},          {33, "Breakdown", 2},
                {32, "Sort Key", 1},         {32, "Grouping", 1},        {85, "Sort Key", 1},
                {33, "Sort Key", 0},         {61, "Sort Key", 0},        {501, "Average", 0}};
    for (const auto& row : rows)
        EXPECT_EQ(stored(row.id, row.key), row.value) << row.id << " " << row.key;
}

TEST_F(ReportOptionsTest, PayslipOptionsShowTheDefaultsAndTheSignatureCaption) {
    ASSERT_EQ(choose("Payslips"), 34);
    FakeDialogView dialog;
    ASSERT_TRUE(options.displayPSOptions(ui, dialog));
    EXPECT_FALSE(dialog.isChecked(psoptionsdlg::SortByName));
    EXPECT_TRUE(dialog.isChecked(psoptionsdlg::SortByNumber));
    EXPECT_TRUE(dialog.isChecked(psoptionsdlg::Separator));
    EXPECT_FALSE(dialog.isChecked(psoptionsdlg::Duplicate));
    EXPECT_FALSE(dialog.isChecked(psoptionsdlg::EmployerPension));
    EXPECT_TRUE(dialog.isChecked(psoptionsdlg::PensionBalance));
    EXPECT_TRUE(dialog.isChecked(psoptionsdlg::LoanBreakdown));
    EXPECT_TRUE(dialog.isChecked(psoptionsdlg::LeaveBalance));
    EXPECT_FALSE(dialog.isChecked(psoptionsdlg::NotSigned));
    EXPECT_FALSE(dialog.isChecked(psoptionsdlg::Employer));
    EXPECT_TRUE(dialog.isChecked(psoptionsdlg::Employee));
    EXPECT_FALSE(dialog.isChecked(psoptionsdlg::Both));
    EXPECT_EQ(dialog.text(psoptionsdlg::SignatureGroup), "Signed by");
    EXPECT_FALSE(options.isOpen());

    dialog.setChecked(psoptionsdlg::Duplicate, true);
    options.resetPSOptions(dialog);
    EXPECT_EQ(dialog.text(psoptionsdlg::SignatureGroup), "Duplicate signed by");
    dialog.setChecked(psoptionsdlg::Duplicate, false);
    options.resetPSOptions(dialog);
    EXPECT_EQ(dialog.text(psoptionsdlg::SignatureGroup), "Signed by");

    // Shown again with "Duplicate" stored.
    store(34, "Duplicate", 1);
    FakeDialogView duplicate;
    ASSERT_TRUE(options.displayPSOptions(ui, duplicate));
    EXPECT_TRUE(duplicate.isChecked(psoptionsdlg::Duplicate));
    EXPECT_EQ(duplicate.text(psoptionsdlg::SignatureGroup), "Duplicate signed by");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportOptionsTest, PayslipOptionsStoreEveryBoxAndEachSignature) {
    const struct {
        const char* button;
        int footer;
    } signatures[] = {{psoptionsdlg::NotSigned, 0},
                      {psoptionsdlg::Employer, 1},
                      {psoptionsdlg::Employee, 2},
                      {psoptionsdlg::Both, 3}};
    const char* boxes[] = {psoptionsdlg::Separator,       psoptionsdlg::Duplicate,
                           psoptionsdlg::EmployerPension, psoptionsdlg::PensionBalance,
                           psoptionsdlg::LoanBreakdown,   psoptionsdlg::LeaveBalance};
    const char* keys[] = {"Separator",       "Duplicate",      "Employer Pension",
                          "Pension Balance", "Loan Breakdown", "Leave Balance"};
    for (const auto& s : signatures) {
        SCOPED_TRACE(s.button);
        FakeDialogView dialog;
        ASSERT_TRUE(options.displayPSOptions(ui, dialog));
        // Each pass flips every box and the sort order.
        const bool on = s.footer % 2 == 0;
        for (const char* box : boxes)
            dialog.setChecked(box, on);
        dialog.setChecked(psoptionsdlg::SortByName, on);
        dialog.setChecked(psoptionsdlg::SortByNumber, !on);
        for (const auto& other : signatures)
            dialog.setChecked(other.button, other.button == s.button);
        ASSERT_TRUE(options.getPSOptions(ui, dialog));
        for (const char* key : keys)
            EXPECT_EQ(stored(34, key), on ? 1 : 0) << key;
        EXPECT_EQ(stored(34, "Sort Key"), on ? 1 : 0);
        EXPECT_EQ(stored(34, "Footer"), s.footer);

        FakeDialogView again;
        ASSERT_TRUE(options.displayPSOptions(ui, again));
        for (const auto& other : signatures)
            EXPECT_EQ(again.isChecked(other.button), other.button == s.button) << other.button;
        for (const char* box : boxes)
            EXPECT_EQ(again.isChecked(box), on) << box;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportOptionsTest, AFooterOfNoSignatureTicksNoButtonAndMustBeChosen) {
    store(34, "Footer", 5);
    FakeDialogView dialog;
    ASSERT_TRUE(options.displayPSOptions(ui, dialog));
    for (const char* button : {psoptionsdlg::NotSigned, psoptionsdlg::Employer,
                               psoptionsdlg::Employee, psoptionsdlg::Both})
        EXPECT_FALSE(dialog.isChecked(button)) << button;
    dialog.setChecked(psoptionsdlg::Separator, false);
    EXPECT_FALSE(options.getPSOptions(ui, dialog));
    expectMessage(kChooseFooter, MessageIcon::Information);
    EXPECT_EQ(stored(34, "Footer"), 5);
    EXPECT_EQ(stored(34, "Separator"), 1);

    dialog.setChecked(psoptionsdlg::Both, true);
    ASSERT_TRUE(options.getPSOptions(ui, dialog));
    EXPECT_EQ(stored(34, "Footer"), 3);
    EXPECT_EQ(stored(34, "Separator"), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportOptionsTest, ControlAccountOptionsKeepTheBreakdown) {
    const struct {
        const char* button;
        int value;
    } buttons[] = {
        {caoptionsdlg::ByUnit, 1}, {caoptionsdlg::ByStation, 2}, {caoptionsdlg::None, 0}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.button);
        FakeDialogView dialog;
        ASSERT_TRUE(options.displayCAOptions(ui, dialog));
        for (const auto& other : buttons)
            dialog.setChecked(other.button, other.button == b.button);
        ASSERT_TRUE(options.getCAOptions(ui, dialog));
        EXPECT_EQ(stored(33, "Breakdown"), b.value);
        FakeDialogView again;
        ASSERT_TRUE(options.displayCAOptions(ui, again));
        for (const auto& other : buttons)
            EXPECT_EQ(again.isChecked(other.button), other.button == b.button) << other.button;
    }
    EXPECT_TRUE(ui.messages.empty());

    store(33, "Breakdown", 9);
    FakeDialogView odd;
    ASSERT_TRUE(options.displayCAOptions(ui, odd));
    for (const auto& b : buttons)
        EXPECT_FALSE(odd.isChecked(b.button)) << b.button;
    EXPECT_FALSE(options.getCAOptions(ui, odd));
    expectMessage(kChooseBreakdown, MessageIcon::Information);
    EXPECT_EQ(stored(33, "Breakdown"), 9);
}

TEST_F(ReportOptionsTest, MusterRollOptionsKeepTheGroupingAndTheOrder) {
    const struct {
        const char* button;
        int value;
    } groupings[] = {
        {mroptionsdlg::ByUnit, 1}, {mroptionsdlg::ByStation, 2}, {mroptionsdlg::None, 0}};
    FakeDialogView first;
    ASSERT_TRUE(options.displayMROptions(ui, first));
    EXPECT_TRUE(first.isChecked(mroptionsdlg::None));
    EXPECT_TRUE(first.isChecked(mroptionsdlg::SortByNumber));
    EXPECT_FALSE(first.isChecked(mroptionsdlg::SortByName));
    for (const auto& g : groupings) {
        SCOPED_TRACE(g.button);
        const bool byName = g.value != 2;
        FakeDialogView dialog;
        ASSERT_TRUE(options.displayMROptions(ui, dialog));
        for (const auto& other : groupings)
            dialog.setChecked(other.button, other.button == g.button);
        dialog.setChecked(mroptionsdlg::SortByName, byName);
        dialog.setChecked(mroptionsdlg::SortByNumber, !byName);
        ASSERT_TRUE(options.getMROptions(ui, dialog));
        EXPECT_EQ(stored(32, "Grouping"), g.value);
        EXPECT_EQ(stored(32, "Sort Key"), byName ? 1 : 0);
        FakeDialogView again;
        ASSERT_TRUE(options.displayMROptions(ui, again));
        for (const auto& other : groupings)
            EXPECT_EQ(again.isChecked(other.button), other.button == g.button) << other.button;
        EXPECT_EQ(again.isChecked(mroptionsdlg::SortByName), byName);
    }
    EXPECT_TRUE(ui.messages.empty());

    FakeDialogView none;
    ASSERT_TRUE(options.displayMROptions(ui, none));
    none.setChecked(mroptionsdlg::None, false);
    EXPECT_FALSE(options.getMROptions(ui, none));
    expectMessage(kChooseGrouping, MessageIcon::Information);
    none.setChecked(mroptionsdlg::None, true);
    none.setChecked(mroptionsdlg::SortByNumber, false);
    none.setChecked(mroptionsdlg::SortByName, false);
    EXPECT_FALSE(options.getMROptions(ui, none));
    expectMessage(kChooseSort, MessageIcon::Information);
    EXPECT_EQ(stored(32, "Grouping"), 0);
    EXPECT_EQ(stored(32, "Sort Key"), 1);
}

// Every dialog of the set, shown and saved unchanged.
struct Face {
    const char* name;
    std::function<bool(OPTIONSDLG&, common::Ui&, FakeDialogView&)> display;
    std::function<bool(OPTIONSDLG&, common::Ui&, FakeDialogView&)> get;
};
const Face kFaces[] = {
    {"payslips",
     [](OPTIONSDLG& o, common::Ui& u, FakeDialogView& d) { return o.displayPSOptions(u, d); },
     [](OPTIONSDLG& o, common::Ui& u, FakeDialogView& d) { return o.getPSOptions(u, d); }},
    {"control account",
     [](OPTIONSDLG& o, common::Ui& u, FakeDialogView& d) { return o.displayCAOptions(u, d); },
     [](OPTIONSDLG& o, common::Ui& u, FakeDialogView& d) { return o.getCAOptions(u, d); }},
    {"muster roll",
     [](OPTIONSDLG& o, common::Ui& u, FakeDialogView& d) { return o.displayMROptions(u, d); },
     [](OPTIONSDLG& o, common::Ui& u, FakeDialogView& d) { return o.getMROptions(u, d); }},
    {"sort", [](OPTIONSDLG& o, common::Ui& u, FakeDialogView& d) { return o.displaySortKey(u, d); },
     [](OPTIONSDLG& o, common::Ui& u, FakeDialogView& d) { return o.getSortKey(u, d); }},
};

// A form as the user left it: every option the other way round.
void flipAll(FakeDialogView& dialog) {
    for (const char* name :
         {psoptionsdlg::SortByName, psoptionsdlg::SortByNumber, psoptionsdlg::Separator,
          psoptionsdlg::Duplicate, psoptionsdlg::EmployerPension, psoptionsdlg::PensionBalance,
          psoptionsdlg::LoanBreakdown, psoptionsdlg::LeaveBalance})
        dialog.setChecked(name, !dialog.isChecked(name));
    dialog.setChecked(psoptionsdlg::Employee, false);
    dialog.setChecked(psoptionsdlg::Both, true);
    dialog.setChecked(caoptionsdlg::None, false);
    dialog.setChecked(caoptionsdlg::ByStation, true);
    dialog.setChecked(mroptionsdlg::None, false);
    dialog.setChecked(mroptionsdlg::ByUnit, true);
}

TEST_F(ReportOptionsTest, ATableAnotherUserHoldsAloneIsNeitherShownNorChanged) {
    ASSERT_EQ(choose("Basic Pay"), 37);
    database::OPTIONSDB other(otherCode, folder);
    ASSERT_TRUE(other.openFile(true));
    EXPECT_FALSE(options.checkFile(ui));
    expectMessage(kInUse, MessageIcon::Warning);
    for (const Face& face : kFaces) {
        SCOPED_TRACE(face.name);
        FakeDialogView dialog;
        EXPECT_FALSE(face.display(options, ui, dialog));
        expectMessage(kInUse, MessageIcon::Warning);
        EXPECT_FALSE(dialog.hasControl(psoptionsdlg::SortByNumber));
        dialog.setChecked(psoptionsdlg::SortByName, true);
        dialog.setChecked(psoptionsdlg::NotSigned, true);
        dialog.setChecked(caoptionsdlg::ByUnit, true);
        dialog.setChecked(mroptionsdlg::ByUnit, true);
        EXPECT_FALSE(face.get(options, ui, dialog));
        expectMessage(kCantStore, MessageIcon::Warning);
    }
    EXPECT_EQ(other.data()->recCount(), static_cast<long>(database::OPTIONSDB::defaults().size()));
    for (const database::OptionValue& o : database::OPTIONSDB::defaults())
        EXPECT_EQ(other.getValue(o.id, o.key), o.value) << o.id << " " << o.key;
    EXPECT_FALSE(options.isOpen());
}

TEST_F(ReportOptionsTest, WhileAnotherUserReadsTheOptionsTheyShowButAreNotStored) {
    ASSERT_EQ(choose("Earnings"), 42);
    database::OPTIONSDB other(otherCode, folder);
    ASSERT_TRUE(other.openFile());
    EXPECT_TRUE(options.checkFile(ui));
    for (const Face& face : kFaces) {
        SCOPED_TRACE(face.name);
        FakeDialogView dialog;
        ASSERT_TRUE(face.display(options, ui, dialog));
        flipAll(dialog);
        EXPECT_FALSE(face.get(options, ui, dialog));
        expectMessage(kCantStore, MessageIcon::Warning);
    }
    for (const database::OptionValue& o : database::OPTIONSDB::defaults())
        EXPECT_EQ(other.getValue(o.id, o.key), o.value) << o.id << " " << o.key;
    other.closeFile();

    // Once the other user is done, the same forms are stored.
    for (const Face& face : kFaces) {
        SCOPED_TRACE(face.name);
        FakeDialogView dialog;
        ASSERT_TRUE(face.display(options, ui, dialog));
        flipAll(dialog);
        EXPECT_TRUE(face.get(options, ui, dialog));
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(stored(34, "Footer"), 3);
    EXPECT_EQ(stored(33, "Breakdown"), 2);
    EXPECT_EQ(stored(32, "Grouping"), 1);
    EXPECT_EQ(stored(42, "Sort Key"), 1);
    EXPECT_EQ(stored(34, "Separator"), 0);
}

TEST_F(ReportOptionsTest, AMissingTableIsToldAndNotMade) {
    ASSERT_EQ(choose("Refunds"), 45);
    for (const char* file : {"options.dbf", "options.cdx", "options.fpt"})
        fs::remove(dir.file(std::string("org01/settings/") + file));
    EXPECT_FALSE(options.checkFile(ui));
    expectMessage(kMissing, MessageIcon::Error);
    for (const Face& face : kFaces) {
        SCOPED_TRACE(face.name);
        FakeDialogView dialog;
        EXPECT_FALSE(face.display(options, ui, dialog));
        expectMessage(kMissing, MessageIcon::Error);
        flipAll(dialog);
        EXPECT_FALSE(face.get(options, ui, dialog));
        expectMessage(kMissing, MessageIcon::Error);
    }
    EXPECT_FALSE(fs::exists(dir.file("org01/settings/options.dbf")));
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(ReportOptionsTest, TheTableIsOpenOnlyWhileAnOperationRuns) {
    ASSERT_TRUE(options.checkFile(ui));
    EXPECT_FALSE(options.isOpen());
    ASSERT_EQ(choose("Leavers Roll"), 12);
    FakeDialogView dialog;
    ASSERT_TRUE(options.displaySortKey(ui, dialog));
    // Another user's report reads and its owner stores while the form is up.
    EXPECT_EQ(stored(12, "Sort Key"), 0);
    database::OPTIONSDB other(otherCode, folder);
    ASSERT_TRUE(other.openFile(true));
    other.closeFile();
    dialog.setChecked(sortoptionsdlg::SortByNumber, false);
    dialog.setChecked(sortoptionsdlg::SortByName, true);
    ASSERT_TRUE(options.getSortKey(ui, dialog));
    EXPECT_FALSE(options.isOpen());
    EXPECT_EQ(stored(12, "Sort Key"), 1);
    EXPECT_TRUE(ui.messages.empty());
}

// The check boxes of Cash List Options, largest first.
const std::vector<std::pair<std::string, std::string>> kCoinBoxes = {
    {"Denomination10000", "10000 sh"}, {"Denomination5000", "5000 sh"},
    {"Denomination2000", "2000 sh"},   {"Denomination1000", "1000 sh"},
    {"Denomination500", "500 sh"},     {"Denomination200", "200 sh"},
    {"Denomination100", "100 sh"},     {"Denomination50", "50 sh"},
    {"Denomination20", "20 sh"},       {"Denomination10", "10 sh"},
};

TEST_F(ReportOptionsTest, TheCashListsBoxesAreItsColumnsLargestFirst) {
    ASSERT_EQ(std::size(cloptionsdlg::Denominations), kCoinBoxes.size());
    for (std::size_t i = 0; i < kCoinBoxes.size(); ++i) {
        EXPECT_EQ(cloptionsdlg::Denominations[i].name, kCoinBoxes[i].first);
        EXPECT_EQ(cloptionsdlg::Denominations[i].text, kCoinBoxes[i].second);
    }
}

// A new table holds no choice of notes and coins: every box is ticked.
TEST_F(ReportOptionsTest, CashListOptionsStartWithEveryNoteAndCoin) {
    CLOPTIONS read{.sortKey = 9, .denominations = 0};
    ASSERT_TRUE(options.readCLOptions(ui, read));
    EXPECT_EQ(read.sortKey, kSortByNumber);
    EXPECT_EQ(read.denominations, 0x3FF);
    FakeDialogView dialog;
    ASSERT_TRUE(options.displayCLOptions(ui, dialog));
    EXPECT_TRUE(dialog.isChecked(cloptionsdlg::SortByNumber));
    EXPECT_FALSE(dialog.isChecked(cloptionsdlg::SortByName));
    for (const auto& [box, text] : kCoinBoxes)
        EXPECT_TRUE(dialog.isChecked(box)) << text;
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportOptionsTest, CashListOptionsKeepTheNotesAndCoinsAndTheOrder) {
    const struct {
        int stored; // as the table holds it
        int shown;  // as the boxes tick it
        const char* why;
    } cases[] = {
        {0xFF, 0xFF, "no 20 or 10 sh"},    {0x200, 0x200, "10 sh alone"},
        {0x3FF, 0x3FF, "all ten"},         {0, 0x3FF, "no choice"},
        {0x400, 0x3FF, "none of the ten"}, {0x4F0, 0xF0, "the ten's bits only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        store(61, "Denominations", c.stored);
        FakeDialogView dialog;
        ASSERT_TRUE(options.displayCLOptions(ui, dialog));
        for (std::size_t bit = 0; bit < kCoinBoxes.size(); ++bit)
            EXPECT_EQ(dialog.isChecked(kCoinBoxes[bit].first), ((c.shown >> bit) & 1) != 0)
                << kCoinBoxes[bit].second;
        dialog.setChecked(cloptionsdlg::SortByNumber, false);
        dialog.setChecked(cloptionsdlg::SortByName, true);
        ASSERT_TRUE(options.getCLOptions(ui, dialog));
        EXPECT_EQ(stored(61, "Denominations"), c.shown);
        EXPECT_EQ(stored(61, "Sort Key"), 1);
        store(61, "Sort Key", 0);
    }
    // Unticking the 20 and 10 shilling coins of a new table in the form.
    store(61, "Denominations", 0);
    FakeDialogView dialog;
    ASSERT_TRUE(options.displayCLOptions(ui, dialog));
    dialog.setChecked("Denomination20", false);
    dialog.setChecked("Denomination10", false);
    ASSERT_TRUE(options.getCLOptions(ui, dialog));
    EXPECT_EQ(stored(61, "Denominations"), 0xFF);
    EXPECT_EQ(stored(61, "Sort Key"), 0);
    // The cheque list has no such option.
    EXPECT_EQ(stored(63, "Denominations"), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(options.isOpen());
}

TEST_F(ReportOptionsTest, CashListOptionsRoundTripAsPlainOperations) {
    for (const CLOPTIONS& written :
         {CLOPTIONS{kSortByName, 0x1}, CLOPTIONS{kSortByNumber, 0x155}, CLOPTIONS{}}) {
        ASSERT_TRUE(options.storeCLOptions(ui, written));
        CLOPTIONS read{.sortKey = 9, .denominations = 0};
        ASSERT_TRUE(options.readCLOptions(ui, read));
        EXPECT_EQ(read.sortKey, written.sortKey);
        EXPECT_EQ(read.denominations, written.denominations);
    }
    // Bits beyond the ten are not kept.
    ASSERT_TRUE(options.storeCLOptions(ui, {kSortByNumber, 0xC03}));
    EXPECT_EQ(stored(61, "Denominations"), 0x3);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportOptionsTest, CashListOptionsRefuseToPayOutInNothing) {
    store(61, "Denominations", 0x30);
    for (const int none : {0, 0x400, 0x7C00}) {
        EXPECT_FALSE(options.storeCLOptions(ui, {kSortByNumber, none})) << none;
        expectMessage(kChooseDenomination, MessageIcon::Information);
    }
    EXPECT_FALSE(options.storeCLOptions(ui, {kNoChoice, 0x3FF}));
    expectMessage(kChooseSort, MessageIcon::Information);

    FakeDialogView dialog;
    ASSERT_TRUE(options.displayCLOptions(ui, dialog));
    dialog.setFocus(cloptionsdlg::SortByNumber);
    dialog.setChecked("Denomination500", false);
    dialog.setChecked("Denomination200", false);
    EXPECT_FALSE(options.getCLOptions(ui, dialog));
    expectMessage(kChooseDenomination, MessageIcon::Information);
    EXPECT_EQ(dialog.focus(), cloptionsdlg::DenominationsGroup);
    EXPECT_EQ(stored(61, "Denominations"), 0x30);

    // A missing sort is told first and keeps the focus where it was.
    FakeDialogView both;
    ASSERT_TRUE(options.displayCLOptions(ui, both));
    both.setFocus(cloptionsdlg::SortByNumber);
    both.setChecked(cloptionsdlg::SortByNumber, false);
    both.setChecked("Denomination500", false);
    both.setChecked("Denomination200", false);
    EXPECT_FALSE(options.getCLOptions(ui, both));
    expectMessage(kChooseSort, MessageIcon::Information);
    EXPECT_EQ(both.focus(), cloptionsdlg::SortByNumber);

    dialog.setChecked("Denomination10", true);
    ASSERT_TRUE(options.getCLOptions(ui, dialog));
    EXPECT_EQ(stored(61, "Denominations"), 0x200);
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace kelo::setup
