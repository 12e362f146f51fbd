// The Personnel File and Payroll Master File windows on the demo folder,
// opened from their commands and keyed as a clerk keys them.
#include "app/main/EmployeeWindow.h"

#include "app/main/MainWindow.h"
#include "app/shell/CommandRules.h"
#include "app/shell/Commands.h"
#include "app/tests/DemoWindowFixture.h"
#include "app/tests/ScriptedHosts.h"
#include "database/PayFieldsFile.h"
#include "database/VarDb.h"
#include "staffrecords/StatFrmControls.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace kelo::app {
namespace {

using testing::click;
using testing::type;
namespace sf = staffrecords::statfrm;
namespace fs = std::filesystem;

class EmployeeWindowTest : public testing::DemoWindowFixture {
protected:
    EmployeeWindow* open(int id) {
        window->runCommand(id);
        return window->employeeWindow();
    }

    QStringList menuTitles() const {
        QStringList titles;
        for (QAction* action : window->menuBar()->actions())
            titles << action->text();
        return titles;
    }

    QStringList tabTexts(EmployeeWindow& document) const {
        QStringList texts;
        for (int i = 0; i < document.tabs()->count(); ++i)
            texts << document.tabs()->tabText(i);
        return texts;
    }

    template <class Widget> Widget* field(EmployeeWindow& document, const char* name) {
        return document.findChild<Widget*>(QString::fromLatin1(name));
    }

    void setText(EmployeeWindow& document, const char* name, const QString& text) {
        auto* edit = field<QLineEdit>(document, name);
        ASSERT_NE(edit, nullptr) << name;
        edit->setText(text);
    }

    QString text(EmployeeWindow& document, const char* name) {
        auto* edit = field<QLineEdit>(document, name);
        return edit ? edit->text() : QStringLiteral("<missing>");
    }

    void choose(EmployeeWindow& document, const char* name, const QString& item) {
        auto* combo = field<QComboBox>(document, name);
        ASSERT_NE(combo, nullptr) << name;
        const int row = combo->findText(item);
        ASSERT_GE(row, 0) << item.toStdString();
        combo->setCurrentIndex(row);
    }

    QString statusCaption() const { return window->statusPart(1)->text(); }

    // Whether the employee's monthly transactions record pays the
    // deduction; empty when the record cannot be read.
    std::optional<bool> deducts(const std::string& empNum, const std::string& item) {
        common::PayItemDefs defs;
        if (!database::loadPayItemDefs(session().ui(), session().folder(), common::MONTHLY, defs))
            return std::nullopt;
        database::VARDB table(session().code(), session().folder());
        if (!table.setDefinitions(defs) || !table.openFile(common::MONTHLY))
            return std::nullopt;
        table.orderByEmpNum1();
        common::VARIATIONSREC rec;
        if (!table.seekEmpNum(empNum) || !table.initRec(rec))
            return std::nullopt;
        for (const common::PayItem& deduction : rec.deductions)
            if (deduction.definition && deduction.definition->itemName == item)
                return deduction.active != 0;
        return std::nullopt;
    }
};

TEST_F(EmployeeWindowTest, F5OpensThePersonnelFileWithItsCaptionRecordMenuAndTabs) {
    const QStringList before = menuTitles();
    ASSERT_NE(window->findChild<QAction*>(QStringLiteral("keyF5")), nullptr);
    window->findChild<QAction*>(QStringLiteral("keyF5"))->trigger();
    EmployeeWindow* document = window->employeeWindow();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->windowTitle(), QStringLiteral("Personnel File"));
    EXPECT_EQ(document->objectName(), QStringLiteral("Personnel Window"));
    EXPECT_EQ(statusCaption(), QStringLiteral("Personnel file as at November 2026"));
    EXPECT_EQ(window->commandContext().document, DocumentKind::Personnel);
    const QStringList titles = menuTitles();
    ASSERT_EQ(titles.size(), before.size() + 1);
    EXPECT_EQ(titles[1], QStringLiteral("Re&cord"));
    EXPECT_EQ(tabTexts(*document),
              (QStringList{QStringLiteral("Personal"), QStringLiteral("Employment"),
                           QStringLiteral("Contact")}));
    EXPECT_EQ(document->tabs()->currentIndex(), 0);
    // The first employee in number order, on his personal details.
    EXPECT_EQ(text(*document, sf::kEmpNum), QStringLiteral("MH001"));
    EXPECT_EQ(text(*document, sf::kLastName), QStringLiteral("Mwakyusa"));
    EXPECT_EQ(field<QLabel>(*document, "RecordPosition")->text(), QStringLiteral("Record 1 of 40"));
    for (int id : {cmd::Undo, cmd::Add, cmd::Delete, cmd::GoTo, cmd::FindEmpNum, cmd::FindName}) {
        ASSERT_NE(window->menuAction(id), nullptr) << id;
        EXPECT_TRUE(window->menuAction(id)->isEnabled()) << id;
    }
    EXPECT_EQ(window->menuAction(cmd::Terminate)->text(), QStringLiteral("&Terminate..."));
    EXPECT_TRUE(window->menuAction(cmd::Terminate)->isEnabled());
    // Only one document at a time, and nothing else while it is open.
    for (int id : {cmd::Personnel, cmd::PayrollMaster, cmd::OpenOrg, cmd::Grades})
        EXPECT_FALSE(CommandRules::mayRun(id, window->commandContext())) << id;
    EXPECT_TRUE(window->toolbarAction(cmd::Save)->isEnabled());
    EXPECT_FALSE(window->toolbarAction(cmd::Personnel)->isEnabled());

    window->runCommand(cmd::Close);
    EXPECT_EQ(window->employeeWindow(), nullptr);
    EXPECT_EQ(menuTitles(), before);
    EXPECT_EQ(window->menuAction(cmd::Add), nullptr);
    EXPECT_EQ(window->commandContext().document, DocumentKind::None);
    EXPECT_EQ(statusCaption(), QString());
    EXPECT_TRUE(window->menuAction(cmd::Personnel)->isEnabled());
    EXPECT_TRUE(window->toolbarAction(cmd::Personnel)->isEnabled());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(EmployeeWindowTest, F6OpensThePayrollMasterFileWithoutAddDeleteOrTerminate) {
    window->findChild<QAction*>(QStringLiteral("keyF6"))->trigger();
    EmployeeWindow* document = window->employeeWindow();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->windowTitle(), QStringLiteral("Payroll Master File"));
    EXPECT_EQ(document->objectName(), QStringLiteral("Static Window"));
    EXPECT_EQ(statusCaption(), QStringLiteral("Payroll master file as at November 2026"));
    EXPECT_EQ(tabTexts(*document),
              (QStringList{QStringLiteral("Payment"), QStringLiteral("Basic Pay"),
                           QStringLiteral("Overtime"), QStringLiteral("Housing"),
                           QStringLiteral("Statutory Deductions"), QStringLiteral("Co-operatives"),
                           QStringLiteral("Pension Funds")}));
    EXPECT_EQ(menuTitles()[1], QStringLiteral("Re&cord"));
    for (int id : {cmd::Add, cmd::Delete, cmd::Terminate}) {
        ASSERT_NE(window->menuAction(id), nullptr) << id;
        EXPECT_FALSE(window->menuAction(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(window->menuAction(cmd::FindName)->isEnabled());
    window->runCommand(cmd::Close);
    EXPECT_EQ(window->employeeWindow(), nullptr);
}

TEST_F(EmployeeWindowTest, ATabIsNotLeftWhileAFieldOnItIsInvalid) {
    EmployeeWindow* opened = open(cmd::Personnel);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    EmployeeWindow& document = *opened;
    setText(document, sf::kLastName, QString());
    // Clicking, the keyboard on the tab bar and PgDn all ask the same way.
    document.tabs()->setCurrentIndex(1);
    EXPECT_EQ(document.tabs()->currentIndex(), 0);
    window->runCommand(cmd::PageDown);
    EXPECT_EQ(document.tabs()->currentIndex(), 0);
    const std::vector<std::string> blank(2,
                                         "The Last Name must not be blank. Please enter a value.");
    EXPECT_EQ(ui->texts, blank);
    ASSERT_NE(document.page(), nullptr);
    EXPECT_EQ(document.page()->objectName(), QStringLiteral("Page1"));

    // A click on a tab asks before the tab bar moves.
    window->show();
    QTabBar* bar = document.tabs()->tabBar();
    const QPoint onContact = bar->tabRect(2).center();
    QMouseEvent press(QEvent::MouseButtonPress, onContact, bar->mapToGlobal(onContact),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    EXPECT_EQ(document.tabs()->currentIndex(), 0);
    EXPECT_EQ(ui->texts.size(), 3u);

    setText(document, sf::kLastName, QStringLiteral("Mwakyusa"));
    document.tabs()->setCurrentIndex(1);
    EXPECT_EQ(document.tabs()->currentIndex(), 1);
    EXPECT_EQ(document.page()->objectName(), QStringLiteral("Page2"));
    // One page at a time.
    EXPECT_EQ(document.findChild<QWidget*>(QStringLiteral("Page1")), nullptr);
    window->runCommand(cmd::Close);
}

TEST_F(EmployeeWindowTest, PgDnAndPgUpMoveBetweenTabsAndStopAtTheEnds) {
    EmployeeWindow* opened = open(cmd::PayrollMaster);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    EmployeeWindow& document = *opened;
    QAction* pageDown = window->findChild<QAction*>(QStringLiteral("keyPgDown"));
    ASSERT_NE(pageDown, nullptr);
    EXPECT_TRUE(pageDown->isEnabled());
    pageDown->trigger();
    EXPECT_EQ(document.tabs()->currentIndex(), 1);
    EXPECT_EQ(document.page()->objectName(), QStringLiteral("Page5"));
    for (int i = 0; i < 8; ++i)
        window->runCommand(cmd::PageDown);
    EXPECT_EQ(document.tabs()->currentIndex(), 6);
    window->runCommand(cmd::PageUp);
    EXPECT_EQ(document.tabs()->currentIndex(), 5);
    for (int i = 0; i < 8; ++i)
        window->runCommand(cmd::PageUp);
    EXPECT_EQ(document.tabs()->currentIndex(), 0);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    window->runCommand(cmd::Close);
    // Without a record window the page keys are the widgets' again.
    EXPECT_FALSE(window->findChild<QAction*>(QStringLiteral("keyPgDown"))->isEnabled());
}

TEST_F(EmployeeWindowTest, RecordsMoveWithTheToolbarAndFindByNumberAndName) {
    EmployeeWindow* opened = open(cmd::Personnel);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    EmployeeWindow& document = *opened;
    window->runCommand(cmd::Next);
    EXPECT_EQ(text(document, sf::kEmpNum), QStringLiteral("MH002"));
    window->runCommand(cmd::Last);
    EXPECT_EQ(field<QLabel>(document, "RecordPosition")->text(), QStringLiteral("Record 40 of 40"));
    window->runCommand(cmd::First);
    EXPECT_EQ(text(document, sf::kEmpNum), QStringLiteral("MH001"));

    host.then(QStringLiteral("FindDialog"), [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Find Last Name"));
        EXPECT_EQ(d.findChild<QLabel*>(QString::fromLatin1(staffrecords::finddlg::kPrompt))->text(),
                  QStringLiteral("Enter Last Name"));
        type(d, staffrecords::finddlg::kText, QStringLiteral("Mwaipopo"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::FindName);
    EXPECT_EQ(text(document, sf::kEmpNum), QStringLiteral("MH002"));

    host.then(QStringLiteral("GoToDialog"), [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Go to Record Number"));
        type(d, staffrecords::finddlg::kText, QStringLiteral("3"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::GoTo);
    EXPECT_EQ(field<QLabel>(document, "RecordPosition")->text(), QStringLiteral("Record 3 of 40"));

    // A miss keeps the dialog open for another try.
    host.then(QStringLiteral("FindDialog"), [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Find Employee Number"));
        type(d, staffrecords::finddlg::kText, QStringLiteral("ZZ999"));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(), "Record not found.");
        type(d, staffrecords::finddlg::kText, QStringLiteral("mh001"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::FindEmpNum);
    EXPECT_EQ(text(document, sf::kEmpNum), QStringLiteral("MH001"));
    EXPECT_TRUE(host.steps.empty());
    window->runCommand(cmd::Close);
}

TEST_F(EmployeeWindowTest, FindHandsAChangedRecordToTheTransactionsStoreFirst) {
    EmployeeWindow* opened = open(cmd::PayrollMaster);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    window->runCommand(cmd::Next);
    ASSERT_EQ(text(*opened, sf::kEmpNum), QStringLiteral("MH002"));
    ASSERT_EQ(deducts("MH002", "PSSSF Contribution"), std::optional<bool>(true));
    ASSERT_TRUE(opened->changeTab(6));
    // She leaves the pension fund: the first slot goes back to none.
    auto* fund = field<QComboBox>(*opened, sf::kFund[0]);
    ASSERT_NE(fund, nullptr);
    ASSERT_EQ(fund->currentText(), QStringLiteral("PSSSF"));
    fund->setCurrentIndex(fund->findText(QStringLiteral("(None)")));
    emit fund->activated(fund->currentIndex());
    EXPECT_EQ(text(*opened, sf::kMemberNum[0]), QString());
    host.then(QStringLiteral("FindDialog"), [this, opened](QDialog& d) {
        EXPECT_FALSE(opened->form().payrollChanged());
        EXPECT_EQ(deducts("MH002", "PSSSF Contribution"), std::optional<bool>(false));
        d.reject();
    });
    window->runCommand(cmd::FindEmpNum);
    EXPECT_TRUE(host.steps.empty());
    window->runCommand(cmd::Close);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(EmployeeWindowTest, AClerkAddsAnEmployeeAndFindsHimAgain) {
    EmployeeWindow* opened = open(cmd::Personnel);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    EmployeeWindow& document = *opened;
    host.then(QStringLiteral("EmployeeNumberDialog"), [](QDialog& d) {
        type(d, staffrecords::empnumdlg::kEmpNum, QStringLiteral("MH001"));
        click(d, "OkButton"); // taken: the dialog stays
        type(d, staffrecords::empnumdlg::kEmpNum, QStringLiteral("MH900"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::Add);
    EXPECT_TRUE(host.steps.empty());
    ASSERT_EQ(ui->texts.size(), 1u);
    EXPECT_EQ(ui->texts[0], "Record with this employee number already exists. Please enter a "
                            "different employee number.");
    EXPECT_EQ(text(document, sf::kEmpNum), QStringLiteral("MH900"));
    EXPECT_EQ(field<QLabel>(document, "RecordPosition")->text(), QStringLiteral("New record"));
    EXPECT_EQ(document.tabs()->currentIndex(), 0);

    setText(document, sf::kLastName, QStringLiteral("Temba"));
    setText(document, sf::kOtherNames, QStringLiteral("Neema Joseph"));
    ASSERT_TRUE(document.changeTab(1)) << ui->lastText();
    host.then(QStringLiteral("SelectPostDialog"), [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Assign new post to Temba, Neema Joseph"));
        auto* units = d.findChild<QTreeWidget*>(QString::fromLatin1(staffrecords::postdlg::kUnits));
        ASSERT_NE(units, nullptr);
        const auto found =
            units->findItems(QStringLiteral("Finance"), Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(found.isEmpty());
        units->setCurrentItem(found.front());
        auto* posts = d.findChild<QListWidget*>(QString::fromLatin1(staffrecords::postdlg::kPosts));
        ASSERT_NE(posts, nullptr);
        const auto clerk = posts->findItems(QStringLiteral("Accounts Clerk"), Qt::MatchStartsWith);
        ASSERT_FALSE(clerk.isEmpty()) << posts->count();
        posts->setCurrentItem(clerk.front());
        click(d, "OkButton");
    });
    field<QPushButton>(document, sf::kPostButton)->click();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(text(document, sf::kJobTitle), QStringLiteral("Accounts Clerk"));
    EXPECT_EQ(text(document, sf::kUnit), QStringLiteral("Finance"));
    choose(document, sf::kStation, QStringLiteral("Mbeya Head Office"));
    ui->texts.clear();
    window->runCommand(cmd::Save);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_EQ(field<QLabel>(document, "RecordPosition")->text(), QStringLiteral("Record 41 of 41"));

    window->runCommand(cmd::First);
    host.then(QStringLiteral("FindDialog"), [](QDialog& d) {
        type(d, staffrecords::finddlg::kText, QStringLiteral("MH900"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::FindEmpNum);
    EXPECT_EQ(text(document, sf::kEmpNum), QStringLiteral("MH900"));
    EXPECT_EQ(text(document, sf::kEmployee), QStringLiteral("Temba, Neema Joseph"));
    EXPECT_EQ(text(document, sf::kJobTitle), QStringLiteral("Accounts Clerk"));
    window->runCommand(cmd::Close);
    EXPECT_EQ(window->employeeWindow(), nullptr);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(EmployeeWindowTest, AnUnsavedNewEmployeeWithoutNamesKeepsTheWindowOpen) {
    ASSERT_NE(open(cmd::Personnel), nullptr);
    host.then(QStringLiteral("EmployeeNumberDialog"), [](QDialog& d) {
        type(d, staffrecords::empnumdlg::kEmpNum, QStringLiteral("MH901"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::Add);
    window->runCommand(cmd::Close);
    ASSERT_NE(window->employeeWindow(), nullptr);
    EXPECT_EQ(ui->lastText(), "The Last Name must not be blank. Please enter a value.");
    EXPECT_EQ(window->commandContext().document, DocumentKind::Personnel);
    // Undo drops the new employee; the window then closes.
    window->runCommand(cmd::Undo);
    window->runCommand(cmd::Close);
    EXPECT_EQ(window->employeeWindow(), nullptr);
}

TEST_F(EmployeeWindowTest, AnEmployeeIsTerminatedAndTheTerminationUndone) {
    EmployeeWindow* opened = open(cmd::Personnel);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    ASSERT_TRUE(opened->changeTab(1));
    host.then(QStringLiteral("TerminateDialog"), [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Terminate Mwakyusa, Emmanuel Joseph"));
        type(d, staffrecords::terminatedlg::kDate, QStringLiteral("30/11/2026"));
        click(d, "OkButton"); // no reason yet: the dialog stays
        auto* reason =
            d.findChild<QComboBox*>(QString::fromLatin1(staffrecords::terminatedlg::kReason));
        ASSERT_NE(reason, nullptr);
        reason->setCurrentIndex(reason->findText(QStringLiteral("Retirement")));
        click(d, "OkButton");
    });
    window->runCommand(cmd::Terminate);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts.size(), 1u);
    EXPECT_EQ(text(*opened, sf::kStatus), QStringLiteral("Active until 30/11/2026"));
    EXPECT_EQ(window->menuAction(cmd::Terminate)->text(), QStringLiteral("&Undo Termination"));
    EXPECT_TRUE(window->menuAction(cmd::Terminate)->isEnabled());

    ui->answers.push_back(QMessageBox::Yes);
    window->runCommand(cmd::Terminate);
    EXPECT_EQ(ui->lastText(), "Are you sure you want to reverse the termination of this employee?");
    EXPECT_EQ(text(*opened, sf::kStatus), QStringLiteral("Active"));
    EXPECT_EQ(window->menuAction(cmd::Terminate)->text(), QStringLiteral("&Terminate..."));
    window->runCommand(cmd::Close);
    EXPECT_EQ(window->employeeWindow(), nullptr);
}

TEST_F(EmployeeWindowTest, EnterMovesToTheNextFieldAndFromTheLastBackToTheFirst) {
    window->show();
    window->activateWindow();
    EmployeeWindow* opened = open(cmd::Personnel);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    QApplication::setActiveWindow(window.get());
    auto* lastName = field<QLineEdit>(*opened, sf::kLastName);
    ASSERT_NE(lastName, nullptr);
    const std::size_t dialogsBefore = host.shown.size();
    EXPECT_EQ(QApplication::focusWidget(), lastName);
    const auto enter = [] {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &key);
        QWidget* now = QApplication::focusWidget();
        return now ? now->objectName().toStdString() : std::string();
    };
    // The read-only birth date is passed by; its button is not.
    const std::vector<std::string> order{sf::kOtherNames,    sf::kTitle,           sf::kGender,
                                         sf::kMaritalStatus, sf::kBirthDateButton, sf::kNationality,
                                         sf::kIdNum,         sf::kLastName};
    for (const std::string& next : order)
        EXPECT_EQ(enter(), next);
    // Enter on "..." moved on; it did not open the dialog.
    EXPECT_EQ(host.shown.size(), dialogsBefore);
    window->runCommand(cmd::Close);
}

TEST_F(EmployeeWindowTest, DeleteRemovesTheEmployeeAfterTheQuestion) {
    EmployeeWindow* opened = open(cmd::Personnel);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    window->runCommand(cmd::Last);
    const QString last = text(*opened, sf::kEmpNum);
    ui->answers.push_back(QMessageBox::No);
    window->runCommand(cmd::Delete);
    EXPECT_EQ(ui->lastText(), "Are you sure you want to delete this record?");
    EXPECT_EQ(text(*opened, sf::kEmpNum), last);
    ui->answers.push_back(QMessageBox::Yes);
    window->runCommand(cmd::Delete);
    EXPECT_NE(text(*opened, sf::kEmpNum), last);
    EXPECT_EQ(field<QLabel>(*opened, "RecordPosition")->text(), QStringLiteral("Record 39 of 39"));
    host.then(QStringLiteral("FindDialog"), [last](QDialog& d) {
        type(d, staffrecords::finddlg::kText, last);
        click(d, "OkButton");
        d.reject();
    });
    window->runCommand(cmd::FindEmpNum);
    EXPECT_EQ(ui->lastText(), "Record not found.");
    window->runCommand(cmd::Close);
}

TEST_F(EmployeeWindowTest, TheRefreshRunsWhileTheWindowIsOpenAndHoldsStillUnderADialog) {
    EmployeeWindow* opened = open(cmd::Personnel);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    auto* timer = opened->findChild<QTimer*>(QStringLiteral("RefreshTimer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 5000);
    host.then(QStringLiteral("GoToDialog"), [timer](QDialog& d) {
        EXPECT_FALSE(timer->isActive());
        d.reject();
    });
    window->runCommand(cmd::GoTo);
    EXPECT_TRUE(timer->isActive());
    // Nobody else changed the employee: the record and the page stay.
    setText(*opened, sf::kOtherNames, QStringLiteral("Emmanuel J."));
    QMetaObject::invokeMethod(timer, "timeout");
    EXPECT_EQ(text(*opened, sf::kOtherNames), QStringLiteral("Emmanuel J."));
    window->runCommand(cmd::Undo);
    EXPECT_EQ(text(*opened, sf::kOtherNames), QStringLiteral("Emmanuel Joseph"));
    window->runCommand(cmd::Close);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(EmployeeWindowTest, TheWindowsCloseButtonClosesAsFileCloseDoes) {
    ASSERT_NE(open(cmd::PayrollMaster), nullptr) << ui->lastText();
    auto* frame = window->findChild<QMdiSubWindow*>();
    ASSERT_NE(frame, nullptr);
    frame->close();
    QApplication::processEvents();
    EXPECT_EQ(window->employeeWindow(), nullptr);
    EXPECT_EQ(window->findChild<QMdiSubWindow*>(), nullptr);
    EXPECT_EQ(window->commandContext().document, DocumentKind::None);
}

TEST_F(EmployeeWindowTest, HelpShowsThePageOfTheOpenWindow) {
    const std::pair<int, const char*> pages[] = {{cmd::Personnel, "171.html"},
                                                 {cmd::PayrollMaster, "172.html"}};
    for (const auto& [id, page] : pages) {
        ASSERT_NE(open(id), nullptr) << ui->lastText();
        window->runCommand(cmd::HelpContents);
        EXPECT_EQ(window->help().currentPage().toStdString(), page);
        window->runCommand(cmd::Close);
    }
    EXPECT_TRUE(fs::exists(fs::path(KELO_HELP_FOLDER) / "171.html"));
}

} // namespace
} // namespace kelo::app
