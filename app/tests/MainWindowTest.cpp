#include "app/main/MainWindow.h"

#include "app/main/AutomationHosts.h"
#include "app/shell/Commands.h"
#include "app/tests/ScriptedHosts.h"
#include "common/Calendar.h"
#include "common/ReportRecords.h"
#include "database/OrgDb.h"
#include "setup/Orgs.h"
#include "setup/Users.h"
#include "testsupport/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::app {
namespace {

using testing::check;
using testing::click;
using testing::ScriptedHost;
using testing::ScriptedUi;
using testing::type;

constexpr const char* kPassword = "abcd";

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directory(dir.file("data")); }

    ProgramPaths paths() const {
        ProgramPaths paths;
        paths.programFolder = dir.path();
        paths.configFile = dir.file("appcfg.dat");
        paths.sourceFolder = KELO_SOURCE_FOLDER;
        paths.helpFolder = KELO_HELP_FOLDER;
        return paths;
    }

    MainWindow& newWindow() {
        window.reset();
        window = std::make_unique<MainWindow>(paths(), host, [this](QWidget* parent) {
            auto scripted = std::make_unique<ScriptedUi>(parent);
            ui = scripted.get();
            return scripted;
        });
        return *window;
    }

    // The whole first start: create and key the folder, set the
    // supervisor's password, create the first organisation.
    void scriptFirstStart(const QString& orgName = QStringLiteral("Acme Traders")) {
        host.then("StartDialog", [](QDialog& d) { click(d, "SetupButton"); });
        host.then("ProgramSetupDialog", [this](QDialog& d) {
            ui->files.push_back(QString::fromStdString(dir.file("data")));
            click(d, "CreateButton");
            click(d, "CloseButton");
        });
        host.then("StartDialog", [](QDialog& d) { click(d, "LoginButton"); });
        scriptLogin("supervisor", "");
        host.then("SetPasswordDialog", [](QDialog& d) {
            type(d, "Password", kPassword);
            type(d, "ConfirmPassword", kPassword);
            click(d, "OkButton");
        });
        host.then("NewOrgDialog", [orgName](QDialog& d) {
            type(d, "Name", orgName);
            click(d, "OkButton");
        });
    }

    void scriptLogin(const QString& user, const QString& password) {
        host.then("LoginDialog", [user, password](QDialog& d) {
            type(d, "UserName", user);
            type(d, "Password", password);
            click(d, "OkButton");
        });
    }

    // A later start on the folder the first start made.
    void scriptStart(const QString& user, const QString& password) {
        host.then("StartDialog", [](QDialog& d) { click(d, "LoginButton"); });
        scriptLogin(user, password);
        host.then("OrgListDialog", [](QDialog& d) { click(d, "OkButton"); });
    }

    void firstStart() {
        scriptFirstStart();
        MainWindow& main = newWindow();
        ASSERT_TRUE(main.startUp()) << ui->lastText();
        closeAnswering(QMessageBox::No);
    }

    bool closeAnswering(QMessageBox::StandardButton answer) {
        ui->answers.push_back(answer);
        return window->close();
    }

    bool menuEnabled(int id) const {
        QAction* action = window->menuAction(id);
        return action && action->isEnabled();
    }

    testsupport::TempDir dir;
    ScriptedHost host;
    ScriptedUi* ui = nullptr;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, FirstStartOnANewFolderEndsInTheNewOrganisation) {
    scriptFirstStart();
    MainWindow& main = newWindow();
    ASSERT_TRUE(main.startUp()) << ui->lastText();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(main.isLoggedIn());
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Kelo Roster - Acme Traders"));
    const common::date today = common::date::today();
    EXPECT_EQ(main.statusPart(4)->text().toStdString(),
              common::monthName(today.month) + " " + std::to_string(today.year));
    EXPECT_TRUE(std::filesystem::exists(dir.file("data/org01/database/static.dbf")));
    // The fiscal year's statutory tables were made and the user told to
    // review them.
    EXPECT_FALSE(ui->texts.empty());

    // The supervisor now logs in with the new password.
    closeAnswering(QMessageBox::No);
    scriptStart("supervisor", kPassword);
    ASSERT_TRUE(newWindow().startUp()) << ui->lastText();
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(MainWindowTest, CancellingTheNewOrganisationEndsTheStart) {
    scriptFirstStart();
    host.steps.pop_back();
    host.then("NewOrgDialog", [](QDialog& d) { click(d, "CancelButton"); });
    MainWindow& main = newWindow();
    EXPECT_FALSE(main.startUp());
    EXPECT_FALSE(main.isLoggedIn());
    EXPECT_FALSE(main.session().hasModules());
    EXPECT_FALSE(std::filesystem::exists(dir.file("data/org01")));
}

TEST_F(MainWindowTest, LoginRefusalsKeepTheDialogOpenWithTheirMessage) {
    firstStart();
    struct Attempt {
        QString user, password;
        std::string message;
    };
    const std::vector<Attempt> attempts{{"", "", "Please enter username."},
                                        {"nobody", "x", "User does not exist."},
                                        {"supervisor", "ABCD", "Access denied."},
                                        {"supervisor", "abcd ", "Access denied."}};
    host.then("StartDialog", [](QDialog& d) { click(d, "LoginButton"); });
    for (const Attempt& attempt : attempts)
        scriptLogin(attempt.user, attempt.password);
    host.then("LoginDialog", [](QDialog& d) { click(d, "CancelButton"); });
    MainWindow& main = newWindow();
    EXPECT_FALSE(main.startUp());
    ASSERT_EQ(ui->texts.size(), attempts.size());
    for (std::size_t i = 0; i < attempts.size(); ++i) {
        EXPECT_EQ(ui->texts[i], attempts[i].message);
        EXPECT_EQ(ui->captions[i], "Login");
    }
    EXPECT_FALSE(main.session().hasModules());
}

TEST_F(MainWindowTest, CancelAtTheStartDialogStopsBeforeTheDataFolder) {
    host.then("StartDialog", [](QDialog& d) { click(d, "CancelButton"); });
    EXPECT_FALSE(newWindow().startUp());
    EXPECT_FALSE(window->session().hasModules());
}

TEST_F(MainWindowTest, LoginWithoutADataFolderAsksForOne) {
    host.then("StartDialog", [](QDialog& d) { click(d, "LoginButton"); });
    host.then("StartDialog", [](QDialog& d) { click(d, "CancelButton"); });
    EXPECT_FALSE(newWindow().startUp());
    EXPECT_EQ(ui->texts, std::vector<std::string>{"Please specify the data folder"});
}

TEST_F(MainWindowTest, ADataFolderWithoutItsConfigurationEndsTheStartWithItsMessage) {
    firstStart();
    const std::string config = dir.file("data/system/settings/datacfg.dat");
    std::filesystem::remove(config);
    host.then("StartDialog", [](QDialog& d) { click(d, "LoginButton"); });
    MainWindow& main = newWindow();
    EXPECT_FALSE(main.startUp());
    EXPECT_EQ(ui->texts, std::vector<std::string>{"Can't find \"" + config + "\""});
    EXPECT_FALSE(main.session().hasModules());
    EXPECT_TRUE(std::filesystem::exists(dir.file("data/org01/database/static.dbf")));
}

// Makes a user through the Users dialog: identity, then rights.
void scriptNewUser(ScriptedHost& host, const QString& name, const char* menu,
                   const std::vector<std::pair<const char*, bool>>& rights) {
    host.then("UsersDialog", [](QDialog& d) {
        click(d, "AddButton");
        click(d, "RightsButton");
        click(d, "CloseButton");
    });
    host.then("UserIdentityDialog", [name](QDialog& d) {
        type(d, "UserName", name);
        type(d, "Password", kPassword);
        type(d, "ConfirmPassword", kPassword);
        type(d, "LastName", QStringLiteral("Mwinyi"));
        click(d, "OkButton");
    });
    host.then("UserRightsDialog", [menu, rights](QDialog& d) {
        click(d, menu);
        for (const auto& [box, on] : rights)
            check(d, box, on);
        click(d, "OkButton");
    });
}

TEST_F(MainWindowTest, APersonnelOnlyUserHasNoPayrollCommandsKeysOrButtons) {
    firstStart();
    scriptStart("supervisor", kPassword);
    ASSERT_TRUE(newWindow().startUp());
    scriptNewUser(host, "asha", "PersonnelOnly", {{"EditEmpFiles", true}, {"SetupOrg", true}});
    window->runCommand(cmd::Users);
    ASSERT_TRUE(host.steps.empty());
    closeAnswering(QMessageBox::No);

    scriptStart("asha", kPassword);
    MainWindow& main = newWindow();
    ASSERT_TRUE(main.startUp()) << ui->lastText();
    for (int id : {cmd::PayrollMaster, cmd::Transactions, cmd::Earnings, cmd::PayrollInfo,
                   cmd::PayrollOptions, cmd::PayeRates, cmd::Users, cmd::BankTransferFile, 1211})
        EXPECT_EQ(main.menuAction(id), nullptr) << id;
    for (int id :
         {cmd::Personnel, cmd::AbsenceLeave, cmd::OpenOrg, cmd::BasicInfo, cmd::ChangePassword})
        EXPECT_NE(main.menuAction(id), nullptr) << id;
    for (const char* key : {"keyF6", "keyF7"})
        EXPECT_EQ(main.findChild<QAction*>(key), nullptr) << key;
    for (const char* key : {"keyF5", "keyF8"})
        EXPECT_NE(main.findChild<QAction*>(key), nullptr) << key;
    EXPECT_FALSE(main.toolbarAction(cmd::PayrollMaster)->isVisible());
    EXPECT_FALSE(main.toolbarAction(cmd::Transactions)->isVisible());
    EXPECT_TRUE(main.toolbarAction(cmd::Personnel)->isVisible());
    EXPECT_TRUE(menuEnabled(cmd::BasicInfo));
    EXPECT_FALSE(menuEnabled(cmd::NewOrg)); // no right to add organisations
}

TEST_F(MainWindowTest, AUserWithoutTaxTableRightsSeesThemGrayed) {
    firstStart();
    scriptStart("supervisor", kPassword);
    ASSERT_TRUE(newWindow().startUp());
    scriptNewUser(host, "juma", "PayrollOnly",
                  {{"EditEmpFiles", true}, {"ModifyTaxTables", false}});
    window->runCommand(cmd::Users);
    closeAnswering(QMessageBox::No);

    scriptStart("juma", kPassword);
    MainWindow& main = newWindow();
    ASSERT_TRUE(main.startUp()) << ui->lastText();
    for (int id : {cmd::PayeRates, cmd::NssfRates, cmd::PayeParameters, cmd::IncomeBrackets}) {
        ASSERT_NE(main.menuAction(id), nullptr) << id;
        EXPECT_FALSE(menuEnabled(id)) << id;
    }
    EXPECT_TRUE(CommandRules::rightsAllow(cmd::SdlRates, main.commandContext().user));
    EXPECT_TRUE(CommandRules::rightsAllow(cmd::WcfRate, main.commandContext().user));
    EXPECT_FALSE(CommandRules::rightsAllow(cmd::PayeRates, main.commandContext().user));
    EXPECT_EQ(main.menuAction(cmd::Personnel), nullptr);
    EXPECT_EQ(main.findChild<QAction*>("keyF5"), nullptr);
    EXPECT_FALSE(main.toolbarAction(cmd::Personnel)->isVisible());
    EXPECT_TRUE(main.toolbarAction(cmd::PayrollMaster)->isVisible());
}

TEST_F(MainWindowTest, TheHundredthOrganisationIsRefused) {
    firstStart();
    scriptStart("supervisor", kPassword);
    MainWindow& main = newWindow();
    ASSERT_TRUE(main.startUp());
    {
        database::ORGDB table(main.session().code(), main.session().folder());
        ASSERT_TRUE(table.openFile());
        for (int i = 2; i <= common::kMaxOrganisations; ++i) {
            common::ORGREC row = common::newOrgRec(i);
            row.name = "Org " + std::to_string(i);
            ASSERT_EQ(table.data()->appendStart(), engine::r4success);
            table.data()->blank();
            table.storeRec(row);
            ASSERT_EQ(table.data()->append(), engine::r4success);
        }
    }
    main.runCommand(cmd::NewOrg); // no dialog may open
    EXPECT_EQ(ui->lastText(), "You already have 99 organisations which is the maximum supported.");
    EXPECT_EQ(main.session().orgs().orgCount(), common::kMaxOrganisations);
}

TEST_F(MainWindowTest, TheCloseQuestionDecidesWhetherTheProgramEnds) {
    firstStart();
    struct Case {
        QMessageBox::StandardButton answer;
        bool closes;
    };
    for (const Case& c : {Case{QMessageBox::Cancel, false}, Case{QMessageBox::No, true},
                          Case{QMessageBox::Yes, true}}) {
        scriptStart("supervisor", kPassword);
        MainWindow& main = newWindow();
        ASSERT_TRUE(main.startUp());
        ui->texts.clear();
        const std::string backup = dir.file("closing.bkf");
        ui->files.push_back(QString::fromStdString(backup));
        EXPECT_EQ(closeAnswering(c.answer), c.closes);
        // Only Yes backs up before the program ends.
        EXPECT_EQ(std::filesystem::exists(backup), c.answer == QMessageBox::Yes);
        ui->files.clear();
        ASSERT_FALSE(ui->texts.empty());
        EXPECT_EQ(ui->texts.front(), "Do you wish to back up your data?");
        EXPECT_EQ(main.isLoggedIn(), !c.closes);
        EXPECT_EQ(main.session().hasModules(), !c.closes);
        if (!c.closes) {
            EXPECT_TRUE(closeAnswering(QMessageBox::No));
        }
    }
}

TEST_F(MainWindowTest, BackupAndRestoreRunFromTheMenus) {
    firstStart();
    scriptStart("supervisor", kPassword);
    MainWindow& main = newWindow();
    ASSERT_TRUE(main.startUp());
    const std::string backup = dir.file("acme.bkf");
    ui->files.push_back(QString::fromStdString(backup));
    main.runCommand(cmd::Backup);
    EXPECT_EQ(ui->lastText(), "Backup successful.");
    ASSERT_TRUE(std::filesystem::exists(backup));

    host.then("BasicInfoDialog", [](QDialog& d) {
        type(d, "Town", QStringLiteral("Dodoma"));
        click(d, "OkButton");
    });
    main.runCommand(cmd::BasicInfo);
    ASSERT_EQ(main.session().orgs().getOpenOrg()->town, "Dodoma");

    host.then("CautionDialog", [this, backup](QDialog& d) {
        type(d, "Password", kPassword);
        ui->files.push_back(QString::fromStdString(backup));
        click(d, "OkButton");
    });
    main.runCommand(cmd::Restore);
    EXPECT_EQ(ui->lastText(), "Restore successful.");
    EXPECT_EQ(main.session().orgs().getOpenOrg()->town, "");
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Kelo Roster - Acme Traders"));
}

TEST_F(MainWindowTest, F1OnAHighlightedMenuItemOpensItsHelpAndDoesNotRunIt) {
    firstStart();
    scriptStart("supervisor", kPassword);
    MainWindow& main = newWindow();
    ASSERT_TRUE(main.startUp());
    const std::size_t dialogsShown = host.shown.size();
    main.show();
    QAction* open = main.menuAction(cmd::OpenOrg);
    ASSERT_NE(open, nullptr);
    auto* menu = qobject_cast<QMenu*>(open->parent());
    ASSERT_NE(menu, nullptr);
    menu->popup(main.geometry().center());
    menu->setActiveAction(open);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(menu, &f1);
    EXPECT_EQ(main.help().currentPage(), QStringLiteral("165.html"));
    EXPECT_EQ(host.shown.size(), dialogsShown);
    EXPECT_FALSE(menu->isVisible());
}

TEST(HelpViewer, HelpAskedFromAModalDialogCanBeUsedWhileTheDialogWaits) {
    QWidget frame;
    HelpViewer help(QStringLiteral(KELO_HELP_FOLDER), &frame);
    {
        QDialog login(&frame);
        login.setModal(true);
        login.show();
        help.show(helpctx::Login);
        ASSERT_NE(help.window(), nullptr);
        EXPECT_EQ(help.window()->parentWidget(), &login);
        EXPECT_EQ(help.currentPage(), QStringLiteral("121.html"));
    }
    // The dialog took its help window with it; the next request makes another.
    help.show(0);
    ASSERT_NE(help.window(), nullptr);
    EXPECT_EQ(help.window()->parentWidget(), &frame);
    EXPECT_EQ(help.currentPage(), QStringLiteral("index.html"));
}

TEST(HelpViewer, AMissingHelpFolderSwitchesHelpOff) {
    HelpViewer help(QStringLiteral("/nonexistent/help"), nullptr);
    help.show(165);
    EXPECT_FALSE(help.isOn());
    EXPECT_EQ(help.window(), nullptr);
}

TEST(StartUpHost, AnswersTheStartUpDialogsOnlyUntilTheStartIsOver) {
    StartUpHost host(QStringLiteral("supervisor"), QStringLiteral("abcd"));
    host.startUpDone();
    QDialog login;
    login.setObjectName(QStringLiteral("LoginDialog"));
    auto* name = new QLineEdit(&login);
    name->setObjectName(QStringLiteral("UserName"));
    QTimer::singleShot(0, &login, &QDialog::reject); // the user cancels
    EXPECT_EQ(host.exec(login), QDialog::Rejected);
    EXPECT_EQ(name->text(), QString());
}

TEST_F(MainWindowTest, HighlightedMenuItemsShowTheirHelpInTheStatusBar) {
    firstStart();
    scriptStart("supervisor", kPassword);
    MainWindow& main = newWindow();
    ASSERT_TRUE(main.startUp());
    QAction* backup = main.menuAction(cmd::Backup);
    auto* menu = qobject_cast<QMenu*>(backup->parent());
    emit menu->hovered(backup);
    EXPECT_EQ(main.statusPart(1)->text(), QStringLiteral("Back up files for this organisation"));
    emit menu->aboutToHide();
    EXPECT_EQ(main.statusPart(1)->text(), QString());
}

TEST_F(MainWindowTest, OrganisationDialogsSaveThroughTheirOkButtons) {
    firstStart();
    scriptStart("supervisor", kPassword);
    MainWindow& main = newWindow();
    ASSERT_TRUE(main.startUp());

    host.then("BasicInfoDialog", [](QDialog& d) {
        type(d, "Name", QStringLiteral("Acme Holdings"));
        type(d, "Town", QStringLiteral("Arusha"));
        click(d, "OkButton");
    });
    main.runCommand(cmd::BasicInfo);
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Kelo Roster - Acme Holdings"));
    EXPECT_EQ(main.session().orgs().getOpenOrg()->town, "Arusha");

    // A refused entry keeps the dialog open with its message.
    host.then("PayrollOptionsDialog", [](QDialog& d) {
        click(d, "RoundDown");
        type(d, "RoundingUnit", QStringLiteral("0"));
        click(d, "OkButton");
    });
    host.then("PayrollOptionsDialog", [](QDialog& d) {
        type(d, "RoundingUnit", QStringLiteral("50"));
        check(d, "TaxAverage", true);
        click(d, "OkButton");
    });
    main.runCommand(cmd::PayrollOptions);
    EXPECT_EQ(ui->lastText(), "Entry for rounding amount is invalid.");
    EXPECT_EQ(main.session().orgs().getOpenOrg()->roundingUnit, 50);
    EXPECT_EQ(main.session().orgs().getOpenOrg()->roundNetPay, 1);
    host.then("PayrollOptionsDialog", [](QDialog& d) {
        EXPECT_TRUE(d.findChild<QCheckBox*>(QStringLiteral("TaxAverage"))->isChecked());
        click(d, "CancelButton");
    });
    main.runCommand(cmd::PayrollOptions);

    // Each reload of the menus replaces the old ones instead of adding to them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main.menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly).size(),
              6);

    host.then("ChangePasswordDialog", [](QDialog& d) {
        type(d, "OldPassword", kPassword);
        type(d, "NewPassword", QStringLiteral("wxyz"));
        type(d, "ConfirmNewPassword", QStringLiteral("wxyz"));
        click(d, "OkButton");
    });
    main.runCommand(cmd::ChangePassword);
    EXPECT_TRUE(host.steps.empty());
    closeAnswering(QMessageBox::No);
    scriptStart("supervisor", QStringLiteral("wxyz"));
    EXPECT_TRUE(newWindow().startUp());
}

TEST_F(MainWindowTest, DeletingAnOrganisationNeedsThePasswordAndBothAnswers) {
    firstStart();
    scriptStart("supervisor", kPassword);
    MainWindow& main = newWindow();
    ASSERT_TRUE(main.startUp());
    host.then("NewOrgDialog", [](QDialog& d) {
        type(d, "Name", QStringLiteral("Second Ltd"));
        click(d, "OkButton");
    });
    main.runCommand(cmd::NewOrg);
    ASSERT_EQ(main.windowTitle(), QStringLiteral("Kelo Roster - Second Ltd"));

    host.then("CautionDialog", [](QDialog& d) {
        type(d, "Password", QStringLiteral("wrong"));
        click(d, "OkButton");
    });
    host.then("CautionDialog", [](QDialog& d) {
        type(d, "Password", kPassword);
        click(d, "OkButton");
    });
    host.then("OrgListDialog", [this](QDialog& d) {
        ui->answers = {QMessageBox::Yes, QMessageBox::Ok};
        click(d, "OkButton");
    });
    main.runCommand(cmd::DeleteOrg);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(main.session().orgs().orgCount(), 1);
    EXPECT_EQ(ui->lastText(), "Acme Traders has been deleted.");
    EXPECT_FALSE(std::filesystem::exists(dir.file("data/org02")));
    EXPECT_EQ(main.session().orgs().getOpenOrg()->folder, "../org01");
}

} // namespace
} // namespace kelo::app
