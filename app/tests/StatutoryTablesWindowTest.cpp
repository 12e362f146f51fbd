// The System menu's tax table dialogs on the demo folder: PAYE rates and
// income brackets with their row dialogs, PAYE parameters, NSSF, SDL and WCF
// rates, scripted by object name.
#include "app/demo/DemoFolder.h"
#include "app/main/MainWindow.h"
#include "app/shell/CommandRules.h"
#include "app/shell/Commands.h"
#include "app/tests/DemoWindowFixture.h"
#include "app/tests/ScriptedHosts.h"
#include "database/IncomesDb.h"
#include "database/NssfDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "database/WcfDb.h"
#include "setup/Users.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::app {
namespace {

namespace fs = std::filesystem;
using testing::click;
using testing::ScriptedHost;
using testing::ScriptedUi;
using testing::type;

constexpr int kFiscalYear = 2026; // the demo organisation's November 2026

const QStringList kDemoBands{"0\t270,000\t0.00", "270,001\t520,000\t8.00",
                             "520,001\t760,000\t20.00", "760,001\t1,000,000\t25.00",
                             "1,000,001\t(None)\t30.00"};

QTreeWidget* listOf(QDialog& dialog, const char* name) {
    return dialog.findChild<QTreeWidget*>(QString::fromLatin1(name));
}

QStringList rowsOf(QDialog& dialog, const char* list) {
    QStringList rows;
    QTreeWidget* view = listOf(dialog, list);
    if (!view)
        return rows;
    for (int row = 0; row < view->topLevelItemCount(); ++row) {
        QStringList columns;
        for (int column = 0; column < view->columnCount(); ++column)
            columns << view->topLevelItem(row)->text(column);
        rows << columns.join('\t');
    }
    return rows;
}

int selectedRowOf(QDialog& dialog, const char* list) {
    QTreeWidget* view = listOf(dialog, list);
    const QList<QTreeWidgetItem*> selected = view->selectedItems();
    return selected.isEmpty() ? -1 : view->indexOfTopLevelItem(selected.front());
}

void selectRow(QDialog& dialog, const char* list, int row) {
    QTreeWidget* view = listOf(dialog, list);
    ASSERT_NE(view, nullptr) << list;
    view->setCurrentItem(view->topLevelItem(row));
}

QString textOf(QDialog& dialog, const char* control) {
    auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(control));
    return edit ? edit->text() : QStringLiteral("<missing>");
}

bool enabled(QDialog& dialog, const char* control) {
    auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(control));
    return widget && widget->isEnabled();
}

class StatutoryTablesWindowTest : public testing::DemoWindowFixture {
protected:
    QStringList storedBands() {
        database::PAYEDB table(session().code(), session().folder());
        QStringList bands;
        if (!table.openFile(kFiscalYear, false))
            return bands;
        for (const database::PAYEREC& band : table.readRows())
            bands << QStringLiteral("%1-%2@%3")
                         .arg(band.lowerLimit)
                         .arg(band.upperLimit)
                         .arg(static_cast<double>(band.rate));
        return bands;
    }
};

TEST_F(StatutoryTablesWindowTest, TheTaxTableCommandsAreOn) {
    for (int id : {cmd::PayeRates, cmd::NssfRates, cmd::PayeParameters, cmd::SdlRates, cmd::WcfRate,
                   cmd::IncomeBrackets}) {
        ASSERT_NE(window->menuAction(id), nullptr) << id;
        EXPECT_TRUE(window->menuAction(id)->isEnabled()) << id;
    }
}

TEST_F(StatutoryTablesWindowTest, PayeBandsAreInsertedEditedAndDeleted) {
    host.then("RatesTableDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("PAYE Rates for 2026/2027"));
        EXPECT_EQ(rowsOf(d, "RatesList"), kDemoBands);
        EXPECT_EQ(selectedRowOf(d, "RatesList"), 0);
        auto* timer = d.findChild<QTimer*>(QStringLiteral("RefreshTimer"));
        ASSERT_NE(timer, nullptr);
        EXPECT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), 5000);
        click(d, "Insert");
    });
    host.then("RatePropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("New PAYE Rate"));
        EXPECT_EQ(textOf(d, "LowerLimit"), QStringLiteral("270001"));
        EXPECT_EQ(textOf(d, "UpperLimit"), QStringLiteral("270001"));
        EXPECT_EQ(textOf(d, "TaxRate"), QStringLiteral("0.00"));
        type(d, "UpperLimit", QStringLiteral("300000"));
        type(d, "TaxRate", QStringLiteral("5"));
        click(d, "OkButton");
    });
    host.then("RatesTableDialog", [](QDialog& d) {
        EXPECT_EQ(rowsOf(d, "RatesList").at(1), QStringLiteral("270,001\t300,000\t5.00"));
        EXPECT_EQ(selectedRowOf(d, "RatesList"), 1);
        selectRow(d, "RatesList", 2);
        click(d, "Edit");
    });
    host.then("RatePropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Edit PAYE Rate"));
        EXPECT_EQ(textOf(d, "LowerLimit"), QStringLiteral("270001"));
        type(d, "LowerLimit", QStringLiteral("300001"));
        click(d, "OkButton");
    });
    host.then("RatesTableDialog", [](QDialog& d) {
        EXPECT_EQ(rowsOf(d, "RatesList").at(2), QStringLiteral("300,001\t520,000\t8.00"));
        selectRow(d, "RatesList", 1);
        click(d, "Delete");
        EXPECT_EQ(rowsOf(d, "RatesList").size(), 5);
        EXPECT_EQ(selectedRowOf(d, "RatesList"), 0);
        // The first band now ends at 270,000 and the next starts at 300,001.
        click(d, "Close");
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
        selectRow(d, "RatesList", 1);
        click(d, "Edit");
    });
    host.then("RatePropertiesDialog", [](QDialog& d) {
        type(d, "LowerLimit", QStringLiteral("270001"));
        click(d, "OkButton");
    });
    host.then("RatesTableDialog", [](QDialog& d) { click(d, "Close"); });
    const QStringList before = storedBands();
    window->runCommand(cmd::PayeRates);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts,
              (std::vector<std::string>{"Lower limit for row 2 must be one more than upper "
                                        "limit for row 1."}));
    EXPECT_EQ(storedBands(), before);
}

TEST_F(StatutoryTablesWindowTest, PayeRefusalsKeepTheDialogsOpenWithTheirMessages) {
    host.then("RatesTableDialog", [this](QDialog& d) {
        click(d, "Delete");
        EXPECT_EQ(ui->lastText(), "Cannot delete the first row.");
        selectRow(d, "RatesList", 4);
        click(d, "Insert");
        EXPECT_EQ(ui->lastText(), "Cannot insert after the last row.");
        click(d, "Edit");
    });
    host.then("RatePropertiesDialog", [this](QDialog& d) {
        // The last band has no upper limit to edit.
        EXPECT_EQ(textOf(d, "UpperLimit"), QStringLiteral("(None)"));
        EXPECT_FALSE(enabled(d, "UpperLimit"));
        type(d, "TaxRate", QStringLiteral("100.01"));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(), "Tax rate must be between 0 and 100.");
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
        type(d, "TaxRate", QStringLiteral("100"));
        click(d, "OkButton");
    });
    host.then("RatesTableDialog", [](QDialog& d) {
        EXPECT_EQ(rowsOf(d, "RatesList").at(4), QStringLiteral("1,000,001\t(None)\t100.00"));
        selectRow(d, "RatesList", 0);
        click(d, "Edit");
    });
    host.then("RatePropertiesDialog", [](QDialog& d) {
        // The first band's lower limit is fixed; a cancelled edit frees it.
        EXPECT_FALSE(enabled(d, "LowerLimit"));
        click(d, "CancelButton");
    });
    host.then("RatesTableDialog", [this](QDialog& d) {
        database::PAYEDB other(session().code(), session().folder());
        ASSERT_TRUE(other.openFile(kFiscalYear, false));
        EXPECT_TRUE(other.lockRow(1));
        other.unlockRows();
        click(d, "Close");
    });
    window->runCommand(cmd::PayeRates);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(storedBands().at(4).endsWith(QStringLiteral("@100")))
        << storedBands().at(4).toStdString();
}

TEST_F(StatutoryTablesWindowTest, EnterOrADoubleClickOnABandEditsIt) {
    host.then("RatesTableDialog", [](QDialog& d) {
        selectRow(d, "RatesList", 2);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(listOf(d, "RatesList"), &enter);
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
    });
    host.then("RatePropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "LowerLimit"), QStringLiteral("520001"));
        click(d, "CancelButton");
    });
    host.then("RatesTableDialog", [](QDialog& d) {
        QTreeWidget* list = listOf(d, "RatesList");
        selectRow(d, "RatesList", 3); // the first click of the two
        emit list->itemDoubleClicked(list->topLevelItem(3), 0);
    });
    host.then("RatePropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "LowerLimit"), QStringLiteral("760001"));
        click(d, "CancelButton");
    });
    host.then("RatesTableDialog", [](QDialog& d) { click(d, "Close"); });
    window->runCommand(cmd::PayeRates);
    EXPECT_TRUE(host.steps.empty());
}

TEST_F(StatutoryTablesWindowTest, TheTimerShowsAnotherUsersChangeAndHelpOpensItsPage) {
    host.then("RatesTableDialog", [this](QDialog& d) {
        selectRow(d, "RatesList", 3);
        {
            database::PAYEDB other(session().code(), session().folder());
            ASSERT_TRUE(other.openFile(kFiscalYear, false));
            ASSERT_TRUE(other.updateRow(2, {270001, 520000, 9}));
        }
        // Let the modification time move on even on coarse file systems.
        const fs::path path = session().folder().statutoryFile(kFiscalYear, "paye.dbf");
        fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2));
        auto* timer = d.findChild<QTimer*>(QStringLiteral("RefreshTimer"));
        ASSERT_NE(timer, nullptr);
        QMetaObject::invokeMethod(timer, "timeout");
        EXPECT_EQ(rowsOf(d, "RatesList").at(1), QStringLiteral("270,001\t520,000\t9.00"));
        EXPECT_EQ(selectedRowOf(d, "RatesList"), 3);
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "780.html");
        click(d, "Close");
    });
    window->runCommand(cmd::PayeRates);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(StatutoryTablesWindowTest, IncomeBracketsAreInsertedEditedAndDeleted) {
    host.then("IncomeBracketsDialog", [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Income Brackets for P10 Report"));
        const QStringList rows = rowsOf(d, "BracketsList");
        ASSERT_EQ(rows.size(), 7);
        EXPECT_EQ(rows.front(), QStringLiteral("0\t270,000"));
        EXPECT_EQ(rows.back(), QStringLiteral("5,000,001\t(None)"));
        selectRow(d, "BracketsList", 6);
        click(d, "Delete");
        EXPECT_EQ(ui->lastText(), "Cannot delete the last row.");
        selectRow(d, "BracketsList", 0);
        click(d, "Insert");
    });
    host.then("IncomeBracketDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("New Income Bracket"));
        // A bracket may start where the one before it ends.
        EXPECT_EQ(textOf(d, "LowerLimit"), QStringLiteral("270000"));
        type(d, "UpperLimit", QStringLiteral("269999"));
        click(d, "OkButton");
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
        type(d, "UpperLimit", QStringLiteral("270000"));
        click(d, "OkButton");
    });
    host.then("IncomeBracketsDialog", [](QDialog& d) {
        EXPECT_EQ(rowsOf(d, "BracketsList").at(1), QStringLiteral("270,000\t270,000"));
        EXPECT_EQ(rowsOf(d, "BracketsList").size(), 8);
        click(d, "Edit");
    });
    host.then("IncomeBracketDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Edit Income Bracket"));
        type(d, "LowerLimit", QStringLiteral("269000"));
        click(d, "OkButton");
    });
    host.then("IncomeBracketsDialog", [this](QDialog& d) {
        EXPECT_EQ(rowsOf(d, "BracketsList").at(1), QStringLiteral("269,000\t270,000"));
        click(d, "Close");
        EXPECT_EQ(ui->lastText(),
                  "Lower limit for row 2 must be equal to or one more than upper limit for row 1");
        click(d, "Delete");
        EXPECT_EQ(rowsOf(d, "BracketsList").size(), 7);
        click(d, "Close");
    });
    window->runCommand(cmd::IncomeBrackets);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts,
              (std::vector<std::string>{
                  "Cannot delete the last row.", "Upper limit cannot be less than lower limit.",
                  "Lower limit for row 2 must be equal to or one more than upper "
                  "limit for row 1"}));
    EXPECT_EQ(database::INCOMESDB(session().code(), session().folder()).readBrackets().size(), 7u);
}

TEST_F(StatutoryTablesWindowTest, ParametersAndRatesAreChangedAndStored) {
    host.then("PayeParametersDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("PAYE Parameters for 2026/2027"));
        EXPECT_EQ(textOf(d, "StatRateJulDec"), QStringLiteral("6.00"));
        type(d, "MaxPension", QStringLiteral("500000"));
        type(d, "StatRateJanJun", QStringLiteral("7.25"));
        click(d, "OkButton");
    });
    host.then("NssfRatesDialog", [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("NSSF Rates for 2026/2027"));
        EXPECT_EQ(textOf(d, "EmployeeRate"), QStringLiteral("10.00"));
        type(d, "EmployerRate", QStringLiteral("120"));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(), "NSSF rates must be between 0 and 100.");
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
        type(d, "EmployerRate", QStringLiteral("11"));
        click(d, "OkButton");
    });
    host.then("SdlRateDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("SDL Rate for 2026/2027"));
        EXPECT_EQ(textOf(d, "Rate"), QStringLiteral("3.50"));
        type(d, "Rate", QStringLiteral("4.5"));
        click(d, "OkButton");
    });
    host.then("SdlRateDialog", [](QDialog& d) {
        type(d, "Rate", QStringLiteral("9"));
        click(d, "CancelButton");
    });
    window->runCommand(cmd::PayeParameters);
    window->runCommand(cmd::NssfRates);
    window->runCommand(cmd::SdlRates);
    window->runCommand(cmd::SdlRates);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts, (std::vector<std::string>{"NSSF rates must be between 0 and 100."}));

    database::PAYEPARAMREC params;
    ASSERT_TRUE(database::PAYEPARAMDB(session().code(), session().folder())
                    .readParams(kFiscalYear, params));
    EXPECT_EQ(params.maxPension, 500000u);
    EXPECT_FLOAT_EQ(params.statRateJulDec, 6.0f);
    EXPECT_FLOAT_EQ(params.statRateJanJun, 7.25f);
    database::NSSFREC nssf;
    ASSERT_TRUE(database::NSSFDB(session().code(), session().folder()).readFile(kFiscalYear, nssf));
    EXPECT_FLOAT_EQ(nssf.employeeRate, 10.0f);
    EXPECT_FLOAT_EQ(nssf.employerRate, 11.0f);
    database::SDLREC sdl;
    ASSERT_TRUE(database::SDLDB(session().code(), session().folder()).readFile(kFiscalYear, sdl));
    EXPECT_FLOAT_EQ(sdl.rate, 4.5f);
}

TEST_F(StatutoryTablesWindowTest, TheWcfRateIsInTheSystemMenuAfterTheSdlRate) {
    QAction* action = window->menuAction(cmd::WcfRate);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QStringLiteral("&WCF Rate..."));
    EXPECT_EQ(commandTexts(cmd::WcfRate).helpText, "Edit the Workers Compensation Fund rate");
    QMenu* system = nullptr;
    for (QAction* top : window->menuBar()->actions())
        if (top->text() == QStringLiteral("&System"))
            system = top->menu();
    ASSERT_NE(system, nullptr);
    const QList<QAction*> items = system->actions();
    const qsizetype sdl = items.indexOf(window->menuAction(cmd::SdlRates));
    ASSERT_GE(sdl, 0);
    EXPECT_EQ(items.indexOf(action), sdl + 1);
}

// The demo year was made with the default rate; the edited rate is what the
// WCF return of a period closed afterwards reads.
TEST_F(StatutoryTablesWindowTest, TheWcfRateIsShownStoredAndRefusedOutsideZeroToHundred) {
    host.then("WcfRateDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("WCF Rate for 2026/2027"));
        EXPECT_EQ(textOf(d, "Rate"), QStringLiteral("0.50"));
        EXPECT_TRUE(enabled(d, "Rate"));
        type(d, "Rate", QStringLiteral("100.5"));
        click(d, "OkButton"); // refused: the dialog stays
        type(d, "Rate", QStringLiteral("0.75"));
        click(d, "OkButton");
    });
    host.then("WcfRateDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "Rate"), QStringLiteral("0.75"));
        type(d, "Rate", QStringLiteral("2"));
        click(d, "CancelButton");
    });
    window->runCommand(cmd::WcfRate);
    window->runCommand(cmd::WcfRate);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts, (std::vector<std::string>{"WCF rate must be between 0 and 100."}));
    database::WCFREC wcf;
    ASSERT_TRUE(database::WCFDB(session().code(), session().folder()).readFile(kFiscalYear, wcf));
    EXPECT_FLOAT_EQ(wcf.rate, 0.75f);
}

TEST_F(StatutoryTablesWindowTest, AYearFolderWithoutTheWcfTableOpensWithTheDefaultRate) {
    fs::remove(session().folder().statutoryFile(kFiscalYear, "wcf.dbf"));
    host.then("WcfRateDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "Rate"), QStringLiteral("0.50"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::WcfRate);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_TRUE(fs::exists(session().folder().statutoryFile(kFiscalYear, "wcf.dbf")));
}

TEST_F(StatutoryTablesWindowTest, AMissingYearTableIsToldAndNoDialogOpens) {
    fs::remove(session().folder().statutoryFile(kFiscalYear, "sdl.dbf"));
    const std::size_t shown = host.shown.size();
    window->runCommand(cmd::SdlRates);
    EXPECT_EQ(host.shown.size(), shown);
    EXPECT_EQ(ui->texts, (std::vector<std::string>{"Can't open ../system/2026/sdl.dbf"}));
}

TEST_F(StatutoryTablesWindowTest, WithoutTheRightOnlyTheSdlRateOpensAndOnlyToBeRead) {
    setup::USERS& users = session().users();
    ASSERT_TRUE(users.addUser(*ui, {"neema", demo::kDemoPassword, "Mushi", "Neema"}));
    common::USERREC rights;
    rights.menuType = common::kPayrollMenu;
    rights.editEmpFiles = 1;
    ASSERT_TRUE(users.setRights(*ui, "neema", rights));
    closeWindow();
    start(QStringLiteral("neema"));

    for (int id : {cmd::PayeRates, cmd::NssfRates, cmd::PayeParameters, cmd::IncomeBrackets}) {
        ASSERT_NE(window->menuAction(id), nullptr) << id;
        EXPECT_FALSE(window->menuAction(id)->isEnabled()) << id;
    }
    const std::size_t shown = host.shown.size();
    window->runCommand(cmd::PayeRates); // no dialog may open
    window->runCommand(cmd::IncomeBrackets);
    EXPECT_EQ(host.shown.size(), shown);

    ASSERT_TRUE(window->menuAction(cmd::SdlRates)->isEnabled());
    host.then("SdlRateDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "Rate"), QStringLiteral("3.50"));
        EXPECT_FALSE(enabled(d, "Rate"));
        type(d, "Rate", QStringLiteral("9"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::SdlRates);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    database::SDLREC sdl;
    ASSERT_TRUE(database::SDLDB(session().code(), session().folder()).readFile(kFiscalYear, sdl));
    EXPECT_FLOAT_EQ(sdl.rate, 3.5f);

    ASSERT_TRUE(window->menuAction(cmd::WcfRate)->isEnabled());
    host.then("WcfRateDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "Rate"), QStringLiteral("0.50"));
        EXPECT_FALSE(enabled(d, "Rate"));
        type(d, "Rate", QStringLiteral("9"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::WcfRate);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_DOUBLE_EQ(database::WCFDB(session().code(), session().folder()).rateOf(kFiscalYear),
                     0.5);
}

TEST(StatutoryTableHelp, EveryDialogsHelpContextHasItsPage) {
    for (int context : {helpctx::PayeRates, helpctx::NssfRates, helpctx::PayeParameters,
                        helpctx::IncomeBrackets, helpctx::SdlRate, helpctx::WcfRate})
        EXPECT_TRUE(fs::exists(fs::path(KELO_HELP_FOLDER) / (std::to_string(context) + ".html")))
            << context;
}

} // namespace
} // namespace kelo::app
