// Organisation > Options > Reports on the demo folder: the report list and
// its five option dialogs, scripted by object name and read back through
// OPTIONSDLG.
#include "app/demo/DemoFolder.h"
#include "app/main/MainWindow.h"
#include "app/main/ReportOptionsDialogs.h"
#include "app/shell/Commands.h"
#include "app/tests/DemoWindowFixture.h"
#include "app/tests/ScriptedHosts.h"
#include "common/ReportRecords.h"
#include "database/OptionsDb.h"
#include "setup/OptionsDlg.h"
#include "setup/Users.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::app {
namespace {

namespace fs = std::filesystem;
using testing::check;
using testing::click;
using testing::ScriptedHost;
using testing::ScriptedUi;
using testing::type;

constexpr int kCashList = 61;
constexpr int kChequeList = 63;

QListWidget* reportList(QDialog& dialog) {
    return dialog.findChild<QListWidget*>(QStringLiteral("ReportList"));
}

QStringList reportsOf(QDialog& dialog) {
    QStringList names;
    if (QListWidget* list = reportList(dialog))
        for (int row = 0; row < list->count(); ++row)
            names << list->item(row)->text();
    return names;
}

void choose(QDialog& dialog, const QString& report) {
    QListWidget* list = reportList(dialog);
    ASSERT_NE(list, nullptr);
    const QList<QListWidgetItem*> found = list->findItems(report, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << report.toStdString();
    list->setCurrentItem(found.front());
}

bool ticked(QDialog& dialog, const char* button) {
    auto* target = dialog.findChild<QAbstractButton*>(QString::fromLatin1(button));
    return target && target->isChecked();
}

QString titleOf(QDialog& dialog, const char* group) {
    auto* box = dialog.findChild<QGroupBox*>(QString::fromLatin1(group));
    return box ? box->title() : QStringLiteral("<missing>");
}

class ReportOptionsWindowTest : public testing::DemoWindowFixture {
protected:
    setup::OPTIONSDLG& options() { return session().options(); }

    // Organisation > Options > Reports, as the user picks it.
    void openFromMenu() {
        QAction* item = window->menuAction(cmd::ReportOptions);
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->isEnabled());
        item->trigger();
    }

    // The list with `report` chosen and Options clicked, then `act` in the
    // option dialog `dialog`, then Close.
    void editOptions(const QString& report, const char* dialog, std::function<void(QDialog&)> act) {
        host.then("ReportOptionsDialog", [report](QDialog& d) {
            choose(d, report);
            click(d, "Options");
            click(d, "Close");
        });
        host.then(QString::fromLatin1(dialog), std::move(act));
        openFromMenu();
        EXPECT_TRUE(host.steps.empty());
    }

    int sortKey(std::int32_t report) {
        int key = -1;
        EXPECT_TRUE(options().readSortKey(*ui, report, key));
        return key;
    }
};

TEST_F(ReportOptionsWindowTest, TheMenuOpensTheFullListWithTheFirstReportChosen) {
    host.then("ReportOptionsDialog", [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Report Options"));
        const QStringList reports = reportsOf(d);
        ASSERT_EQ(reports.size(), 29);
        EXPECT_EQ(reports.front(), QStringLiteral("Employees Roll"));
        EXPECT_EQ(reports.back(), QStringLiteral("Employee Pay Summary"));
        EXPECT_EQ(reportList(d)->currentRow(), 0);
        EXPECT_TRUE(d.findChild<QPushButton*>(QStringLiteral("Options"))->isDefault());
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "730.html");
        click(d, "Close");
    });
    openFromMenu();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(ReportOptionsWindowTest, TheSortOfOneReportIsStoredAndNoOtherChanges) {
    const int chequeSort = sortKey(kChequeList);
    editOptions(QStringLiteral("Cash List"), "CashListOptionsDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Cash List Options"));
        EXPECT_EQ(titleOf(d, "SortGroup"), QStringLiteral("Sort By"));
        EXPECT_TRUE(ticked(d, "SortByNumber"));
        EXPECT_FALSE(ticked(d, "SortByName"));
        click(d, "SortByName");
        click(d, "OkButton");
    });
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_EQ(sortKey(kCashList), setup::kSortByName);
    EXPECT_EQ(sortKey(kChequeList), chequeSort);

    // Shown again as stored; Cancel keeps it.
    editOptions(QStringLiteral("Cash List"), "CashListOptionsDialog", [](QDialog& d) {
        EXPECT_TRUE(ticked(d, "SortByName"));
        click(d, "SortByNumber");
        click(d, "CancelButton");
    });
    EXPECT_EQ(sortKey(kCashList), setup::kSortByName);
}

// The cash list's boxes, largest first, as its column headings read.
const char* const kCoinBoxes[][2] = {
    {"Denomination10000", "10000 sh"}, {"Denomination5000", "5000 sh"},
    {"Denomination2000", "2000 sh"},   {"Denomination1000", "1000 sh"},
    {"Denomination500", "500 sh"},     {"Denomination200", "200 sh"},
    {"Denomination100", "100 sh"},     {"Denomination50", "50 sh"},
    {"Denomination20", "20 sh"},       {"Denomination10", "10 sh"},
};

QString textOf(QDialog& dialog, const char* button) {
    auto* target = dialog.findChild<QAbstractButton*>(QString::fromLatin1(button));
    return target ? target->text() : QStringLiteral("<missing>");
}

TEST_F(ReportOptionsWindowTest, TheCashListPaysOutInTheNotesAndCoinsTicked) {
    editOptions(QStringLiteral("Cash List"), "CashListOptionsDialog", [](QDialog& d) {
        EXPECT_EQ(titleOf(d, "DenominationsGroup"), QStringLiteral("Notes and coins &paid out"));
        for (const auto& [box, text] : kCoinBoxes) {
            EXPECT_EQ(textOf(d, box), QString::fromLatin1(text));
            EXPECT_TRUE(ticked(d, box)) << box;
        }
        click(d, "Denomination20");
        click(d, "Denomination10");
        click(d, "OkButton");
    });
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    setup::CLOPTIONS stored;
    ASSERT_TRUE(options().readCLOptions(*ui, stored));
    EXPECT_EQ(stored.denominations, 0xFF);
    EXPECT_EQ(stored.sortKey, setup::kSortByNumber);

    editOptions(QStringLiteral("Cash List"), "CashListOptionsDialog", [](QDialog& d) {
        for (std::size_t i = 0; i < std::size(kCoinBoxes); ++i)
            EXPECT_EQ(ticked(d, kCoinBoxes[i][0]), i < 8) << kCoinBoxes[i][0];
        click(d, "CancelButton");
    });
}

TEST_F(ReportOptionsWindowTest, NoNoteOrCoinTickedIsRefusedWithTheFocusOnTheGroup) {
    editOptions(QStringLiteral("Cash List"), "CashListOptionsDialog", [this](QDialog& d) {
        for (const auto& [box, text] : kCoinBoxes)
            check(d, box, false);
        bool finished = false;
        const QMetaObject::Connection watch =
            QObject::connect(&d, &QDialog::finished, [&finished] { finished = true; });
        click(d, "OkButton");
        EXPECT_EQ(ui->texts,
                  std::vector<std::string>{"Please tick at least one note or coin to pay out."});
        EXPECT_FALSE(finished);
        auto* group = d.findChild<QGroupBox*>(QStringLiteral("DenominationsGroup"));
        ASSERT_NE(group, nullptr);
        QWidget* focused = d.focusWidget();
        EXPECT_TRUE(focused && (focused == group || group->isAncestorOf(focused)))
            << (focused ? focused->objectName().toStdString() : "none");
        click(d, "Denomination5000");
        click(d, "OkButton");
        EXPECT_TRUE(finished);
        QObject::disconnect(watch);
    });
    setup::CLOPTIONS stored;
    ASSERT_TRUE(options().readCLOptions(*ui, stored));
    EXPECT_EQ(stored.denominations, 0x2);
    EXPECT_EQ(ui->texts.size(), 1u);
}

TEST_F(ReportOptionsWindowTest, PayslipOptionsAreStoredAndTheSignatureTitleFollowsDuplicate) {
    setup::PSOPTIONS before;
    ASSERT_TRUE(options().readPSOptions(*ui, before));
    ASSERT_FALSE(before.duplicate);
    editOptions(QStringLiteral("Payslips"), "PayslipOptionsDialog", [&before](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Payslip Options"));
        EXPECT_EQ(titleOf(d, "SignatureGroup"), QStringLiteral("Signed by"));
        EXPECT_EQ(ticked(d, "Separator"), before.separator);
        EXPECT_EQ(ticked(d, "LeaveBalance"), before.leaveBalance);
        check(d, "Duplicate", true);
        EXPECT_EQ(titleOf(d, "SignatureGroup"), QStringLiteral("Duplicate signed by"));
        check(d, "Duplicate", false);
        EXPECT_EQ(titleOf(d, "SignatureGroup"), QStringLiteral("Signed by"));
        click(d, "Duplicate"); // as the user does
        EXPECT_EQ(titleOf(d, "SignatureGroup"), QStringLiteral("Duplicate signed by"));
        click(d, "SortByName");
        check(d, "Separator", !before.separator);
        check(d, "EmployerPension", !before.employerPension);
        check(d, "PensionBalance", !before.pensionBalance);
        check(d, "LoanBreakdown", !before.loanBreakdown);
        check(d, "LeaveBalance", !before.leaveBalance);
        click(d, "Both");
        click(d, "OkButton");
    });
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    setup::PSOPTIONS after;
    ASSERT_TRUE(options().readPSOptions(*ui, after));
    EXPECT_EQ(after.sortKey, setup::kSortByName);
    EXPECT_TRUE(after.duplicate);
    EXPECT_EQ(after.separator, !before.separator);
    EXPECT_EQ(after.employerPension, !before.employerPension);
    EXPECT_EQ(after.pensionBalance, !before.pensionBalance);
    EXPECT_EQ(after.loanBreakdown, !before.loanBreakdown);
    EXPECT_EQ(after.leaveBalance, !before.leaveBalance);
    EXPECT_EQ(after.footer, setup::kSignedByBoth);

    // The stored duplicate shows its title from the start.
    editOptions(QStringLiteral("Payslips"), "PayslipOptionsDialog", [](QDialog& d) {
        EXPECT_EQ(titleOf(d, "SignatureGroup"), QStringLiteral("Duplicate signed by"));
        EXPECT_TRUE(ticked(d, "Both"));
        click(d, "CancelButton");
    });
}

TEST_F(ReportOptionsWindowTest, ControlAccountAndMusterRollOptionsAreStored) {
    editOptions(QStringLiteral("Control Account"), "ControlAccountOptionsDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Control Account Options"));
        EXPECT_EQ(titleOf(d, "BreakdownGroup"), QStringLiteral("Breakdown"));
        EXPECT_TRUE(ticked(d, "BreakdownNone"));
        click(d, "BreakdownByStation");
        click(d, "OkButton");
    });
    editOptions(QStringLiteral("Muster Roll"), "MusterRollOptionsDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Muster Roll Options"));
        EXPECT_EQ(titleOf(d, "GroupingGroup"), QStringLiteral("Grouping"));
        EXPECT_TRUE(ticked(d, "SortByNumber"));
        EXPECT_TRUE(ticked(d, "GroupingNone"));
        click(d, "SortByName");
        click(d, "GroupingByUnit");
        click(d, "OkButton");
    });
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    setup::CAOPTIONS account;
    ASSERT_TRUE(options().readCAOptions(*ui, account));
    EXPECT_EQ(account.breakdown, setup::kGroupByStation);
    setup::MROPTIONS roll;
    ASSERT_TRUE(options().readMROptions(*ui, roll));
    EXPECT_EQ(roll.sortKey, setup::kSortByName);
    EXPECT_EQ(roll.grouping, setup::kGroupByUnit);
}

TEST_F(ReportOptionsWindowTest, AFooterNoneOfTheButtonsStandsForIsRefusedUntilOneIsChosen) {
    {
        database::OPTIONSDB table(session().code(), session().folder());
        ASSERT_TRUE(table.openFile(true));
        ASSERT_TRUE(table.setValue(common::kReportPayslips, database::kOptionFooter, 7));
    }
    editOptions(QStringLiteral("Payslips"), "PayslipOptionsDialog", [this](QDialog& d) {
        for (const char* button : {"NotSigned", "Employer", "Employee", "Both"})
            EXPECT_FALSE(ticked(d, button)) << button;
        bool finished = false;
        const QMetaObject::Connection watch =
            QObject::connect(&d, &QDialog::finished, [&finished] { finished = true; });
        click(d, "OkButton");
        EXPECT_EQ(ui->texts, std::vector<std::string>{"Please choose who signs the payslips."});
        EXPECT_EQ(ui->captions.back(), "Kelo Roster");
        EXPECT_FALSE(finished);
        click(d, "Employer");
        click(d, "OkButton");
        EXPECT_TRUE(finished);
        QObject::disconnect(watch);
    });
    setup::PSOPTIONS stored;
    ASSERT_TRUE(options().readPSOptions(*ui, stored));
    EXPECT_EQ(stored.footer, setup::kSignedByEmployer);
    EXPECT_EQ(ui->texts.size(), 1u);
}

TEST_F(ReportOptionsWindowTest, NoReportChosenIsToldAndNoOptionDialogOpens) {
    host.then("ReportOptionsDialog", [this](QDialog& d) {
        reportList(d)->setCurrentRow(-1);
        click(d, "Options");
        EXPECT_EQ(ui->texts, std::vector<std::string>{"Please select a report."});
        click(d, "Close");
    });
    openFromMenu();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(host.shown.back(), "ReportOptionsDialog");
}

TEST_F(ReportOptionsWindowTest, ATableAnotherUserHoldsIsToldAndNothingOpens) {
    engine::Code4 otherCode; // another user's program, with the folder's key
    const auto& key = session().code().key();
    ASSERT_TRUE(key.has_value());
    ASSERT_TRUE(otherCode.encryptInit(key->data(), key->size()));
    database::OPTIONSDB other(otherCode, session().folder());
    ASSERT_TRUE(other.openFile(true));
    const std::size_t shown = host.shown.size();
    openFromMenu();
    EXPECT_EQ(host.shown.size(), shown);
    EXPECT_EQ(ui->texts, std::vector<std::string>{
                             "settings/options.dbf is currently in use by another user."});
    other.closeFile();

    // Held once the list is open, the chosen report's dialog does not show.
    host.then("ReportOptionsDialog", [&](QDialog& d) {
        ASSERT_TRUE(other.openFile(true));
        choose(d, QStringLiteral("Muster Roll"));
        click(d, "Options");
        other.closeFile();
        click(d, "Close");
    });
    ui->texts.clear();
    openFromMenu();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(host.shown.back(), "ReportOptionsDialog");
    EXPECT_EQ(ui->texts, std::vector<std::string>{
                             "settings/options.dbf is currently in use by another user."});
}

TEST_F(ReportOptionsWindowTest, APersonnelOnlyUserSeesSevenReportsAndNoPayslips) {
    ui->answers.push_back(QMessageBox::No); // no backup when the supervisor's run ends
    window->close();
    start(QStringLiteral("asha")); // the demo's personnel clerk
    ASSERT_EQ(session().users().getUser()->menuType, common::kPersonnelMenu);
    host.then("ReportOptionsDialog", [](QDialog& d) {
        EXPECT_EQ(reportsOf(d), (QStringList{"Employees Roll", "Leavers Roll", "Length of Service",
                                             "Absence Analysis", "Leave Analysis", "Leave Details",
                                             "Leave Booked"}));
        choose(d, QStringLiteral("Leave Booked"));
        click(d, "Options");
        click(d, "Close");
    });
    host.then("SortOptionsDialog", [](QDialog& d) {
        click(d, "SortByName");
        click(d, "OkButton");
    });
    openFromMenu();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_EQ(sortKey(25), setup::kSortByName);
}

TEST_F(ReportOptionsWindowTest, WithoutTheRightToSetUpTheOrganisationTheCommandIsGrayed) {
    setup::USERS& users = session().users();
    ASSERT_TRUE(users.addUser(*ui, {"neema", demo::kDemoPassword, "Mushi", "Neema"}));
    common::USERREC rights;
    rights.menuType = common::kPayrollMenu;
    rights.editEmpFiles = 1;
    ASSERT_TRUE(users.setRights(*ui, "neema", rights));
    ui->answers.push_back(QMessageBox::No);
    window->close();
    start(QStringLiteral("neema"));
    QAction* item = window->menuAction(cmd::ReportOptions);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isEnabled());
    const std::size_t shown = host.shown.size();
    window->runCommand(cmd::ReportOptions);
    EXPECT_EQ(host.shown.size(), shown);
}

// The letter after a single "&", lower-cased, or none.
QChar altKeyOf(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        ++i;
    }
    return {};
}

// Each control's Alt key is its own; "" when all are.
std::string sharedAltKeys(QDialog& dialog) {
    QStringList texts;
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        texts << button->text();
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    std::string shared;
    QString seen;
    for (const QString& text : texts) {
        const QChar key = altKeyOf(text);
        if (key.isNull())
            continue;
        if (seen.contains(key))
            shared += text.toStdString() + " ";
        seen.append(key);
    }
    return shared;
}

TEST_F(ReportOptionsWindowTest, EveryControlHasItsOwnAltKey) {
    host.then("ReportOptionsDialog", [](QDialog& d) {
        EXPECT_EQ(sharedAltKeys(d), "");
        for (const char* report :
             {"Earnings", "Payslips", "Control Account", "Muster Roll", "Cash List"}) {
            choose(d, QString::fromLatin1(report));
            click(d, "Options");
        }
        click(d, "Close");
    });
    for (const char* dialog :
         {"SortOptionsDialog", "PayslipOptionsDialog", "ControlAccountOptionsDialog",
          "MusterRollOptionsDialog", "CashListOptionsDialog"})
        host.then(QString::fromLatin1(dialog), [](QDialog& d) {
            EXPECT_EQ(sharedAltKeys(d), "") << d.objectName().toStdString();
            d.reject();
        });
    openFromMenu();
    EXPECT_TRUE(host.steps.empty());
}

TEST(ReportOptionsHelp, EveryDialogsHelpContextHasItsPage) {
    for (int context :
         {helpctx::ReportOptions, helpctx::SortOptions, helpctx::PayslipOptions,
          helpctx::ControlAccountOptions, helpctx::MusterRollOptions, helpctx::CashListOptions}) {
        const fs::path page = fs::path(KELO_HELP_FOLDER) / (std::to_string(context) + ".html");
        EXPECT_TRUE(fs::exists(page)) << page;
    }
}

TEST_F(ReportOptionsWindowTest, EachOptionDialogHasItsHelpPage) {
    const struct {
        const char* report;
        const char* dialog;
        const char* page;
    } cases[] = {
        {"Earnings", "SortOptionsDialog", "731.html"},
        {"Payslips", "PayslipOptionsDialog", "732.html"},
        {"Control Account", "ControlAccountOptionsDialog", "733.html"},
        {"Muster Roll", "MusterRollOptionsDialog", "734.html"},
        {"Cash List", "CashListOptionsDialog", "735.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialog);
        editOptions(QString::fromLatin1(c.report), c.dialog, [this, &c](QDialog& d) {
            click(d, "HelpButton");
            EXPECT_EQ(window->help().currentPage().toStdString(), c.page);
            d.reject(); // Escape
        });
    }
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

} // namespace
} // namespace kelo::app
