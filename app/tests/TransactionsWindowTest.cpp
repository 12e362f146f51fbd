// The Payroll Transactions File window on the demo folder, opened from its
// command and keyed as a clerk keys a payroll.
#include "app/main/TransactionsWindow.h"

#include "app/main/MainWindow.h"
#include "app/main/RecordTabs.h"
#include "app/shell/CommandRules.h"
#include "app/shell/Commands.h"
#include "app/tests/DemoWindowFixture.h"
#include "app/tests/ScriptedHosts.h"
#include "database/OrgDb.h"
#include "engine/Data4.h"
#include "setup/Orgs.h"
#include "staffrecords/FieldsFrm.h"
#include "staffrecords/FieldsRules.h"
#include "staffrecords/StatFrmControls.h"
#include "staffrecords/VarFrmControls.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace kelo::app {
namespace {

using testing::click;
using testing::type;
namespace vf = staffrecords::varfrm;

// The tabs, left to right.
enum Tab { Earnings, Deductions, Benefits, LumpSums, Refunds, Statutory, Summary, TaxablePay };

class TransactionsWindowTest : public testing::DemoWindowFixture {
protected:
    TransactionsWindow* open() {
        window->runCommand(cmd::Transactions);
        return dynamic_cast<TransactionsWindow*>(window->documentWindow());
    }

    QStringList menuTitles() const {
        QStringList titles;
        for (QAction* action : window->menuBar()->actions())
            titles << action->text();
        return titles;
    }

    template <class Widget> Widget* field(TransactionsWindow& document, const char* name) {
        return document.findChild<Widget*>(QString::fromLatin1(name));
    }

    QString text(TransactionsWindow& document, const char* name) {
        if (auto* edit = field<QLineEdit>(document, name))
            return edit->text();
        if (auto* label = field<QLabel>(document, name))
            return label->text();
        return QStringLiteral("<missing>");
    }

    // A figure as shown, without its thousands separators.
    long figure(TransactionsWindow& document, const char* name) {
        return text(document, name).remove(QLatin1Char(',')).toLong();
    }

    QString statusCaption() const { return window->statusPart(1)->text(); }

    void findEmployee(const QString& empNum) {
        host.then(QStringLiteral("FindDialog"), [empNum](QDialog& d) {
            type(d, staffrecords::finddlg::kText, empNum);
            click(d, "OkButton");
        });
        window->runCommand(cmd::FindEmpNum);
        EXPECT_TRUE(host.steps.empty());
    }

    // The visible row of an item of the page shown.
    int rowOf(TransactionsWindow& document, const QString& name) {
        for (int row = 0; row < vf::kRows; ++row) {
            auto* label = field<QLabel>(document, vf::kItemName[row]);
            if (label && !label->isHidden() && label->text() == name)
                return row;
        }
        return -1;
    }

    // Types into the box as the clerk does, and leaves it.
    void key(QLineEdit& box, const QString& typed) {
        box.setFocus();
        box.selectAll();
        box.insert(typed);
        emit box.editingFinished();
    }

    static void press(Qt::Key code) {
        QKeyEvent key(QEvent::KeyPress, code, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &key);
    }

    static std::string focused() {
        QWidget* now = QApplication::focusWidget();
        return now ? now->objectName().toStdString() : std::string();
    }
};

TEST_F(TransactionsWindowTest, F7OpensTheFileWithItsCaptionRecordMenuAndTabsAndCloseRestoresAll) {
    const QStringList before = menuTitles();
    QAction* f7 = window->findChild<QAction*>(QStringLiteral("keyF7"));
    ASSERT_NE(f7, nullptr);
    f7->trigger();
    auto* document = dynamic_cast<TransactionsWindow*>(window->documentWindow());
    ASSERT_NE(document, nullptr) << ui->lastText();
    EXPECT_EQ(document->windowTitle(), QStringLiteral("Payroll Transactions File"));
    EXPECT_EQ(document->objectName(), QStringLiteral("Variations Window"));
    EXPECT_EQ(statusCaption(), QStringLiteral("Payroll for November 2026"));
    EXPECT_EQ(window->commandContext().document, DocumentKind::Transactions);
    const QStringList titles = menuTitles();
    ASSERT_EQ(titles.size(), before.size() + 1);
    EXPECT_EQ(titles[1], QStringLiteral("Re&cord"));
    QStringList tabs;
    for (int i = 0; i < document->tabs()->count(); ++i)
        tabs << document->tabs()->tabText(i);
    EXPECT_EQ(tabs, (QStringList{QStringLiteral("Earnings"), QStringLiteral("Deductions"),
                                 QStringLiteral("Benefits"), QStringLiteral("Lump Sum Payments"),
                                 QStringLiteral("Refunds"), QStringLiteral("Statutory Deductions"),
                                 QStringLiteral("Summary"), QStringLiteral("Taxable Pay")}));
    // Each tab shows the form's page of its name.
    const int pages[] = {1, 2, 3, 4, 5, 7, 8, 6};
    for (int tab = 0; tab < document->tabs()->count(); ++tab) {
        ASSERT_TRUE(document->changeTab(tab)) << tab;
        EXPECT_EQ(document->page()->objectName(), QStringLiteral("Page%1").arg(pages[tab]));
        EXPECT_EQ(static_cast<int>(document->form().getPage()), pages[tab]);
    }
    ASSERT_TRUE(document->changeTab(Earnings));
    EXPECT_EQ(text(*document, vf::kEmployee), QStringLiteral("MH001  Mwakyusa, Emmanuel Joseph"));
    EXPECT_EQ(text(*document, vf::kPosition), QStringLiteral("Record 1 of 40"));
    for (int id : {cmd::Undo, cmd::Add, cmd::Delete, cmd::GoTo, cmd::FindEmpNum, cmd::FindName}) {
        ASSERT_NE(window->menuAction(id), nullptr) << id;
        EXPECT_TRUE(window->menuAction(id)->isEnabled()) << id;
    }
    ASSERT_NE(window->menuAction(cmd::Terminate), nullptr);
    EXPECT_FALSE(window->menuAction(cmd::Terminate)->isEnabled());
    for (int id : {cmd::Personnel, cmd::Transactions, cmd::OpenOrg})
        EXPECT_FALSE(CommandRules::mayRun(id, window->commandContext())) << id;

    window->runCommand(cmd::Close);
    EXPECT_EQ(window->documentWindow(), nullptr);
    EXPECT_EQ(menuTitles(), before);
    EXPECT_EQ(window->menuAction(cmd::Add), nullptr);
    EXPECT_EQ(window->commandContext().document, DocumentKind::None);
    EXPECT_EQ(statusCaption(), QString());
    EXPECT_TRUE(window->menuAction(cmd::Transactions)->isEnabled());
    EXPECT_TRUE(window->toolbarAction(cmd::Transactions)->isEnabled());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

// The organisation works on another payroll: its row says so, and the
// program is started again on it.
struct PayrollCase {
    common::PAYFREQ payFreq;
    const char* caption;
};

class TransactionsCaptionTest : public TransactionsWindowTest,
                                public ::testing::WithParamInterface<PayrollCase> {};

TEST_P(TransactionsCaptionTest, TheStatusBarNamesThePayrollAndItsPeriod) {
    {
        database::ORGDB table(session().code(), session().folder());
        ASSERT_TRUE(table.openFile(false));
        common::ORGREC org = *session().orgs().getOpenOrg();
        org.payFreq = GetParam().payFreq;
        org.weekEndDay = 6;
        org.fortnightEndDay = 13;
        org.irregEndDay = 2;
        ASSERT_EQ(table.data()->go(org.orgNum), 0);
        table.storeRec(org);
        table.closeFile();
    }
    start(QStringLiteral("supervisor"));
    TransactionsWindow* document = open();
    ASSERT_NE(document, nullptr) << ui->lastText();
    EXPECT_EQ(statusCaption(), QString::fromLatin1(GetParam().caption));
    if (GetParam().payFreq != common::MONTHLY) {
        // The first employee is paid monthly: he is not on this payroll.
        EXPECT_EQ(text(*document, vf::kEmployee), QStringLiteral("Null record"));
        EXPECT_TRUE(field<QWidget>(*document, vf::kPageBody)->isHidden());
    }
    window->runCommand(cmd::Close);
    EXPECT_EQ(window->documentWindow(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Payrolls, TransactionsCaptionTest,
    ::testing::Values(
        PayrollCase{common::MONTHLY, "Payroll for November 2026"},
        PayrollCase{common::WEEKLY, "Payroll for week ending 6 November 2026"},
        PayrollCase{common::BIWEEKLY, "Payroll for fortnight ending 13 November 2026"},
        PayrollCase{common::IRREGULAR, "Payroll for pay period ending 2 November 2026"}));

TEST_F(TransactionsWindowTest, OvertimeHoursKeyedInTheirDialogRaiseNetPayByTheWorkedAmount) {
    TransactionsWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    TransactionsWindow& document = *opened;
    // Mwangosi: 25,000 a day, overtime at a keyed 5,000 an hour, 6 hours so
    // far; chargeable pay 575,438, in the 20 % band.
    findEmployee(QStringLiteral("MH019"));
    ASSERT_EQ(text(document, vf::kEmployee), QStringLiteral("MH019  Mwangosi, Tumaini Eliud"));
    ASSERT_TRUE(document.changeTab(Summary));
    const long before = figure(document, vf::kNetPay);
    ASSERT_TRUE(document.changeTab(Earnings));
    EXPECT_EQ(text(document, vf::kOvertime), QStringLiteral("30,000"));
    host.then(QStringLiteral("OvertimeDialog"), [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Overtime"));
        auto* normal =
            d.findChild<QLineEdit*>(QString::fromLatin1(staffrecords::overtimedlg::kNormalHours));
        ASSERT_NE(normal, nullptr);
        EXPECT_EQ(normal->text(), QStringLiteral("6.00"));
        type(d, staffrecords::overtimedlg::kNormalHours, QStringLiteral("1000"));
        click(d, "OkButton"); // refused: the dialog stays
        type(d, staffrecords::overtimedlg::kNormalHours, QStringLiteral("16"));
        click(d, "OkButton");
    });
    field<QPushButton>(document, vf::kOvertimeButton)->click();
    EXPECT_TRUE(host.steps.empty());
    ASSERT_EQ(ui->texts.size(), 1u);
    EXPECT_EQ(ui->texts[0],
              "The value entered for the \"Normal Overtime Hours\" field is invalid.");
    // 10 more hours at 5,000: 50,000 more pay, 5,000 more NSSF (10 %), and
    // 45,000 more chargeable (the employer's 5,000 taxed, both 5,000s
    // relieved) taxed at 20 %: 9,000. Net pay: 50,000 - 5,000 - 9,000.
    EXPECT_EQ(text(document, vf::kOvertime), QStringLiteral("80,000"));
    ASSERT_TRUE(document.changeTab(Summary));
    EXPECT_EQ(figure(document, vf::kNetPay) - before, 36000);
    ASSERT_TRUE(document.changeTab(Statutory));
    window->runCommand(cmd::Save);
    // Stored: the figures come back after another employee.
    window->runCommand(cmd::Next);
    window->runCommand(cmd::Previous);
    ASSERT_TRUE(document.changeTab(Summary));
    EXPECT_EQ(figure(document, vf::kNetPay) - before, 36000);
    window->runCommand(cmd::Close);
    EXPECT_EQ(ui->texts.size(), 1u) << ui->lastText();
}

TEST_F(TransactionsWindowTest, AKeyedAmountIsWorkedOutAsItsBoxIsLeftAndAnInvalidOneKeepsTheTab) {
    TransactionsWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    TransactionsWindow& document = *opened;
    window->show();
    findEmployee(QStringLiteral("MH007"));
    const int row = rowOf(document, QStringLiteral("Housing Allowance"));
    ASSERT_GE(row, 0);
    auto* amount = field<QLineEdit>(document, vf::kItemAmount[row]);
    ASSERT_NE(amount, nullptr);
    EXPECT_TRUE(amount->isEnabled());
    EXPECT_EQ(amount->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(amount->text(), QStringLiteral("250,000"));
    EXPECT_EQ(text(document, vf::kTotal), QStringLiteral("1,900,000"));
    key(*amount, QStringLiteral("300000"));
    EXPECT_EQ(amount->text(), QStringLiteral("300,000"));
    EXPECT_EQ(text(document, vf::kTotal), QStringLiteral("1,950,000"));

    // Above the item's upper limit of 2,000,000: neither a click on a tab,
    // the keyboard nor PgDn leaves the page.
    key(*amount, QStringLiteral("2500000"));
    document.tabs()->setCurrentIndex(Deductions);
    EXPECT_EQ(document.tabs()->currentIndex(), Earnings);
    window->runCommand(cmd::PageDown);
    EXPECT_EQ(document.tabs()->currentIndex(), Earnings);
    EXPECT_EQ(document.page()->objectName(), QStringLiteral("Page1"));
    const std::vector<std::string> refused(2, "Housing Allowance above set upper limit, 2000000.");
    EXPECT_EQ(ui->texts, refused);
    // Nor does the next employee come.
    window->runCommand(cmd::Next);
    EXPECT_EQ(text(document, vf::kEmployee), QStringLiteral("MH007  Mwakalinga, Baraka Yohana"));
    EXPECT_EQ(ui->texts.size(), 3u);

    window->runCommand(cmd::Undo);
    EXPECT_EQ(amount->text(), QStringLiteral("250,000"));
    window->runCommand(cmd::PageDown);
    EXPECT_EQ(document.tabs()->currentIndex(), Deductions);
    window->runCommand(cmd::PageUp);
    EXPECT_EQ(document.tabs()->currentIndex(), Earnings);
    window->runCommand(cmd::Close);
    EXPECT_EQ(window->documentWindow(), nullptr);
}

TEST_F(TransactionsWindowTest, EnterMovesOnAndPastTheLastRowBringsTheNextItems) {
    window->show();
    window->activateWindow();
    TransactionsWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    QApplication::setActiveWindow(window.get());
    TransactionsWindow& document = *opened;
    findEmployee(QStringLiteral("MH007"));
    ASSERT_TRUE(document.changeTab(Deductions));
    // Ten deduction items: five rows and the bar for the rest.
    auto* bar = field<QScrollBar>(document, vf::kScroll);
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->maximum(), 5);
    EXPECT_EQ(bar->value(), 0);
    // The first field is the overdraft brought forward of an opening period.
    EXPECT_EQ(focused(), vf::kOverdraft);
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), vf::kItemActive[0]);
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), vf::kItemButton[0]); // the staff loan's amount is its instalment
    // Down passes the rows of co-operatives she is no member of, and from
    // the last row brings the next item into it.
    field<QCheckBox>(document, vf::kItemActive[0])->setFocus();
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), vf::kItemActive[1]);
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), vf::kItemActive[2]);
    press(Qt::Key_Down);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(focused(), vf::kItemActive[4]);
    EXPECT_EQ(text(document, vf::kItemName[4]), QStringLiteral("Highland SACCOS"));
    // Enter past the last field of the last row likewise.
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), vf::kItemAmount[4]);
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), vf::kItemButton[4]);
    press(Qt::Key_Return);
    EXPECT_EQ(bar->value(), 4);
    EXPECT_EQ(focused(), vf::kItemActive[4]);
    EXPECT_EQ(text(document, vf::kItemName[4]), QStringLiteral("NSSF Supplementary"));
    press(Qt::Key_Up);
    EXPECT_EQ(focused(), vf::kItemActive[1]);
    EXPECT_EQ(text(document, vf::kItemName[1]), QStringLiteral("Highland SACCOS"));
    EXPECT_EQ(bar->value(), 4);
    // The clerk's own scrolling.
    bar->setValue(0);
    EXPECT_EQ(document.form().scrollPosition(), 0);
    EXPECT_EQ(text(document, vf::kItemName[0]), QStringLiteral("Staff Loan"));
    window->runCommand(cmd::Close);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(TransactionsWindowTest, TheNextEmployeeComesToTheSameFieldReadyToBeTypedOver) {
    window->show();
    window->activateWindow();
    TransactionsWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    QApplication::setActiveWindow(window.get());
    TransactionsWindow& document = *opened;
    findEmployee(QStringLiteral("MH007"));
    const int row = rowOf(document, QStringLiteral("Housing Allowance"));
    ASSERT_GE(row, 0);
    auto* amount = field<QLineEdit>(document, vf::kItemAmount[row]);
    amount->setFocus();
    amount->end(false);
    QAction* next = window->findChild<QAction*>(QStringLiteral("keyCtrl+PgDown"));
    ASSERT_NE(next, nullptr);
    next->trigger();
    EXPECT_EQ(text(document, vf::kEmployee), QStringLiteral("MH008  Nyirenda, Esther Lugano"));
    EXPECT_EQ(QApplication::focusWidget(), amount);
    EXPECT_EQ(amount->selectedText(), amount->text());
    window->runCommand(cmd::Close);
}

TEST_F(TransactionsWindowTest, AnEmployeeTakenOffThePayrollIsAddedBackThroughTheDialog) {
    TransactionsWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    TransactionsWindow& document = *opened;
    // Nobody is off the payroll yet: no dialog.
    const std::size_t dialogs = host.shown.size();
    window->runCommand(cmd::Add);
    EXPECT_EQ(ui->lastText(), "No eligible employees were found.");
    EXPECT_EQ(host.shown.size(), dialogs);

    findEmployee(QStringLiteral("MH024"));
    ui->answers.push_back(QMessageBox::Yes);
    window->runCommand(cmd::Delete);
    EXPECT_EQ(ui->lastText(), "Are you sure you want to delete this record?");
    EXPECT_EQ(text(document, vf::kEmployee), QStringLiteral("Null record"));
    EXPECT_TRUE(field<QWidget>(document, vf::kPageBody)->isHidden());
    EXPECT_EQ(text(document, vf::kPosition), QStringLiteral("Record 24 of 40"));

    host.then(QStringLiteral("AddEmployeesDialog"), [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Add Employees to Payroll"));
        auto* list =
            d.findChild<QTreeWidget*>(QString::fromLatin1(staffrecords::addempdlg::kEmployees));
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->topLevelItemCount(), 1);
        EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("MH024"));
        EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("Mwakyembe, Janeth Sophia"));
        EXPECT_FALSE(list->isEnabled());
        click(d, staffrecords::addempdlg::kAddSelected);
        EXPECT_TRUE(list->isEnabled());
        click(d, "OkButton"); // none chosen: the dialog stays
        list->topLevelItem(0)->setSelected(true);
        click(d, "OkButton");
    });
    window->runCommand(cmd::Add);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(text(document, vf::kEmployee), QStringLiteral("MH024  Mwakyembe, Janeth Sophia"));
    EXPECT_FALSE(field<QWidget>(document, vf::kPageBody)->isHidden());
    window->runCommand(cmd::Close);
    EXPECT_EQ(window->documentWindow(), nullptr);
}

TEST_F(TransactionsWindowTest, GoToAndFindSaveFirstThenMove) {
    TransactionsWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    TransactionsWindow& document = *opened;
    host.then(QStringLiteral("GoToDialog"), [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Go to Record Number"));
        type(d, staffrecords::finddlg::kText, QStringLiteral("3"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::GoTo);
    EXPECT_EQ(text(document, vf::kPosition), QStringLiteral("Record 3 of 40"));
    host.then(QStringLiteral("FindDialog"), [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Find Last Name"));
        type(d, staffrecords::finddlg::kText, QStringLiteral("Zzz"));
        click(d, "OkButton"); // a miss keeps the dialog
        EXPECT_EQ(ui->lastText(), "Record Not Found");
        type(d, staffrecords::finddlg::kText, QStringLiteral("mwangosi"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::FindName);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(text(document, vf::kEmployee), QStringLiteral("MH019  Mwangosi, Tumaini Eliud"));

    // A refused amount is not saved: the dialog does not open.
    const int row = rowOf(document, QStringLiteral("Transport Allowance"));
    ASSERT_GE(row, 0);
    field<QCheckBox>(document, vf::kItemActive[row])->click();
    key(*field<QLineEdit>(document, vf::kItemAmount[row]), QStringLiteral("600000"));
    const std::size_t before = host.shown.size();
    window->runCommand(cmd::FindEmpNum);
    EXPECT_EQ(host.shown.size(), before);
    EXPECT_EQ(ui->lastText(), "Transport Allowance above set upper limit, 500000.");
    window->runCommand(cmd::Undo);
    window->runCommand(cmd::Close);
    EXPECT_EQ(window->documentWindow(), nullptr);
}

TEST_F(TransactionsWindowTest, EachKindOfParametersOpensItsDialog) {
    TransactionsWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    TransactionsWindow& document = *opened;
    findEmployee(QStringLiteral("MH007"));
    ASSERT_TRUE(document.changeTab(Deductions));
    const std::vector<std::string> before = host.shown;
    const std::pair<const char*, const char*> items[] = {
        {"Staff Loan", "LoanDialog"},
        {"Highland SACCOS", "CoopBalanceDialog"},
        {"NSSF Supplementary", "PensionContributionDialog"}};
    for (const auto& [item, dialog] : items) {
        const auto index = document.form().findItem(common::DEDUCTIONS, item);
        ASSERT_TRUE(index) << item;
        field<QScrollBar>(document, vf::kScroll)->setValue(static_cast<int>(*index));
        const int row = rowOf(document, QString::fromLatin1(item));
        ASSERT_GE(row, 0) << item;
        host.then(QString::fromLatin1(dialog), [](QDialog& d) { d.reject(); });
        field<QPushButton>(document, vf::kItemButton[row])->click();
        EXPECT_TRUE(host.steps.empty()) << item;
    }
    const std::vector<std::string> shown(host.shown.begin() + static_cast<long>(before.size()),
                                         host.shown.end());
    EXPECT_EQ(shown, (std::vector<std::string>{"LoanDialog", "CoopBalanceDialog",
                                               "PensionContributionDialog"}));
    window->runCommand(cmd::Close);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(TransactionsWindowTest, ABankLoanTakesItsBankBranchNumberAndPayments) {
    {
        // The payroll gets a bank loan deduction, as the pay fields window
        // adds one.
        staffrecords::FIELDSFRM fields(*ui, session().code(), session().folder());
        const common::ORGREC& org = *session().orgs().getOpenOrg();
        ASSERT_TRUE(fields.checkFiles(*ui, org));
        ASSERT_TRUE(fields.open(*ui, common::DEDUCTIONS, org));
        common::PayItemDef def = staffrecords::newItemDef(0, 0);
        def.itemName = "Bank Loan";
        staffrecords::changeType(def, "Bank Loan Payment");
        def.upperLimit = 500000;
        ASSERT_TRUE(fields.addItem(*ui, def)) << ui->lastText();
    }
    TransactionsWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    TransactionsWindow& document = *opened;
    findEmployee(QStringLiteral("MH007"));
    ASSERT_TRUE(document.changeTab(Deductions));
    field<QScrollBar>(document, vf::kScroll)->setValue(100); // the last items
    const int row = rowOf(document, QStringLiteral("Bank Loan"));
    ASSERT_GE(row, 0);
    auto* button = field<QPushButton>(document, vf::kItemButton[row]);
    EXPECT_FALSE(button->isHidden());
    EXPECT_FALSE(button->isEnabled()); // not ticked yet
    field<QCheckBox>(document, vf::kItemActive[row])->click();
    EXPECT_TRUE(button->isEnabled());
    host.then(QStringLiteral("BankLoanDialog"), [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Bank Loan Parameters"));
        namespace bl = staffrecords::bankloandlg;
        auto* bank = d.findChild<QComboBox*>(QString::fromLatin1(bl::kBank));
        auto* branch = d.findChild<QComboBox*>(QString::fromLatin1(bl::kBranch));
        ASSERT_TRUE(bank && branch);
        EXPECT_EQ(d.findChild<QLabel*>(QString::fromLatin1(bl::kPaymentsLabel))->text(),
                  QStringLiteral("Number of Payments"));
        const auto choose = [](QComboBox& list, const QString& name) {
            const int at = list.findText(name);
            ASSERT_GE(at, 0) << name.toStdString();
            list.setCurrentIndex(at);
            emit list.activated(at);
        };
        const auto branches = [branch] {
            QStringList names;
            for (int i = 0; i < branch->count(); ++i)
                names << branch->itemText(i);
            return names;
        };
        choose(*bank, QStringLiteral("CRDB Bank"));
        EXPECT_EQ(branches(), (QStringList{QStringLiteral("Azikiwe"), QStringLiteral("Mbeya"),
                                           QStringLiteral("Tukuyu")}));
        choose(*branch, QStringLiteral("Mbeya"));
        type(d, bl::kLoanNumber, QStringLiteral("LN-2231"));
        // Another bank: its own branches, and the number goes.
        choose(*bank, QStringLiteral("NBC"));
        EXPECT_EQ(branches(), (QStringList{QStringLiteral("Mbeya"), QStringLiteral("Tunduma")}));
        EXPECT_EQ(d.findChild<QLineEdit*>(QString::fromLatin1(bl::kLoanNumber))->text(), QString());
        choose(*branch, QStringLiteral("Tunduma"));
        type(d, bl::kPayments, QStringLiteral("12"));
        click(d, "OkButton"); // no number: the dialog stays
        EXPECT_EQ(ui->lastText(), "Account number must not be blank.");
        type(d, bl::kLoanNumber, QStringLiteral("  LN-4410 "));
        click(d, "OkButton");
    });
    button->click();
    EXPECT_TRUE(host.steps.empty());
    const auto index = document.form().findItem(common::DEDUCTIONS, "Bank Loan");
    ASSERT_TRUE(index);
    const auto* loan = std::get_if<common::BankLoanParams>(
        &document.form().getCurrentRec().deductions[*index].params);
    ASSERT_NE(loan, nullptr);
    EXPECT_EQ(loan->bankName, "NBC");
    EXPECT_EQ(loan->branchName, "Tunduma");
    EXPECT_EQ(loan->loanNumber, "LN-4410");
    EXPECT_EQ(loan->paymentsLeft, 12);
    window->runCommand(cmd::Save);
    window->runCommand(cmd::Close);
    EXPECT_EQ(window->documentWindow(), nullptr) << ui->lastText();
}

TEST_F(TransactionsWindowTest, HelpShowsTheTransactionsPage) {
    ASSERT_NE(open(), nullptr) << ui->lastText();
    window->runCommand(cmd::HelpContents);
    EXPECT_EQ(window->help().currentPage().toStdString(), "173.html");
    window->runCommand(cmd::Close);
}

} // namespace
} // namespace kelo::app
