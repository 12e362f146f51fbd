// The tree dialogs on the demo folder: administrative units, posts, and banks
// with their branches, opened from their menu commands and scripted by
// object name.
#include "app/demo/DemoFolder.h"
#include "app/main/MainWindow.h"
#include "app/shell/CommandRules.h"
#include "app/shell/Commands.h"
#include "app/tests/DemoWindowFixture.h"
#include "app/tests/ScriptedHosts.h"
#include "database/BanksDb.h"
#include "database/UnitsDb.h"
#include "setup/TreeDialogs.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
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

QTreeWidget* treeOf(QDialog& dialog, const char* name) {
    return dialog.findChild<QTreeWidget*>(QString::fromLatin1(name));
}

// The labels of the items under `parent` (null: the top level).
QStringList childrenOf(QDialog& dialog, const char* tree, QTreeWidgetItem* parent = nullptr) {
    QStringList labels;
    QTreeWidget* view = treeOf(dialog, tree);
    if (!view)
        return labels;
    QTreeWidgetItem* root = parent ? parent : view->invisibleRootItem();
    for (int i = 0; i < root->childCount(); ++i)
        labels << root->child(i)->text(0);
    return labels;
}

QTreeWidgetItem* itemOf(QDialog& dialog, const char* tree, const QString& label) {
    QTreeWidget* view = treeOf(dialog, tree);
    if (!view)
        return nullptr;
    const QList<QTreeWidgetItem*> found =
        view->findItems(label, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

void select(QDialog& dialog, const char* tree, const QString& label) {
    QTreeWidgetItem* item = itemOf(dialog, tree, label);
    ASSERT_NE(item, nullptr) << label.toStdString();
    treeOf(dialog, tree)->setCurrentItem(item);
}

QString selectedLabel(QDialog& dialog, const char* tree) {
    QTreeWidget* view = treeOf(dialog, tree);
    const QList<QTreeWidgetItem*> selected =
        view ? view->selectedItems() : QList<QTreeWidgetItem*>();
    return selected.isEmpty() ? QString() : selected.front()->text(0);
}

QString textOf(QDialog& dialog, const char* control) {
    auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(control));
    return edit ? edit->text() : QStringLiteral("<missing>");
}

bool enabled(QDialog& dialog, const char* control) {
    auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(control));
    return widget && widget->isEnabled();
}

QStringList postsOf(QDialog& dialog) {
    QStringList rows;
    auto* list = dialog.findChild<QListWidget*>(QString::fromLatin1(setup::postsdlg::Posts));
    for (int i = 0; list && i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

void selectPost(QDialog& dialog, const QString& prefix) {
    auto* list = dialog.findChild<QListWidget*>(QString::fromLatin1(setup::postsdlg::Posts));
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text().startsWith(prefix)) {
            list->setCurrentRow(i);
            return;
        }
    }
    ADD_FAILURE() << "no post " << prefix.toStdString();
}

void chooseJob(QDialog& dialog, const QString& title) {
    auto* combo = dialog.findChild<QComboBox*>(QString::fromLatin1(setup::editpostsdlg::JobTitle));
    ASSERT_NE(combo, nullptr);
    const int row = combo->findText(title);
    ASSERT_GE(row, 0) << title.toStdString();
    combo->setCurrentIndex(row);
}

void fireTimer(QDialog& dialog) {
    auto* timer = dialog.findChild<QTimer*>(QStringLiteral("RefreshTimer"));
    ASSERT_NE(timer, nullptr);
    QMetaObject::invokeMethod(timer, "timeout");
}

class TreeWindowTest : public testing::DemoWindowFixture {
protected:
    long storedUnit(const std::string& name) {
        database::UNITSDB units(session().code(), session().folder());
        return units.openFile() ? units.getUnitCode(name) : -1;
    }

    std::vector<std::string> storedBanks() {
        database::BANKSDB banks(session().code(), session().folder());
        return banks.openFiles() ? banks.bankNames() : std::vector<std::string>{"<closed>"};
    }
};

TEST_F(TreeWindowTest, TheCommandsAreOnWithTheRightToSetUpTheOrganisation) {
    for (int id : {cmd::Units, cmd::Posts, cmd::Banks}) {
        EXPECT_TRUE(CommandRules::isAvailable(id)) << id;
        ASSERT_NE(window->menuAction(id), nullptr) << id;
        EXPECT_TRUE(window->menuAction(id)->isEnabled()) << id;
        CommandContext context{window->commandContext()};
        context.user.setupOrg = 0;
        EXPECT_FALSE(CommandRules::mayRun(id, context)) << id;
    }
    EXPECT_EQ(helpContextOf(cmd::Units, DocumentKind::None), 165);
    EXPECT_EQ(helpContextOf(cmd::Banks, DocumentKind::None), 166);
}

TEST_F(TreeWindowTest, AUserWithoutTheRightFindsBanksGrayedAndNoDialogOpens) {
    ui->answers.push_back(QMessageBox::No); // no backup when the first window goes
    start("juma");                          // payroll menu, no right to set up
    ASSERT_NE(window->menuAction(cmd::Banks), nullptr);
    EXPECT_FALSE(window->menuAction(cmd::Banks)->isEnabled());
    const std::size_t shown = host.shown.size();
    for (int id : {cmd::Units, cmd::Posts, cmd::Banks})
        window->runCommand(id);
    EXPECT_EQ(host.shown.size(), shown);
}

TEST_F(TreeWindowTest, UnitsAreAddedRenamedAndDeletedWithTheirRefusals) {
    using namespace setup::unitsdlg;
    host.then("AdministrativeUnitsDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Administrative Units"));
        EXPECT_EQ(childrenOf(d, Tree), (QStringList{"Estates", "Factory", "Head Office"}));
        EXPECT_EQ(selectedLabel(d, Tree), QStringLiteral("Estates"));
        auto* timer = d.findChild<QTimer*>(QStringLiteral("RefreshTimer"));
        ASSERT_NE(timer, nullptr);
        EXPECT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), 5000);
        select(d, Tree, QStringLiteral("Head Office"));
        click(d, Add);
    });
    host.then("NewUnitDialog", [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Unit Properties"));
        EXPECT_EQ(textOf(d, setup::unitprptsdlg::Name), QString());
        auto* group = d.findChild<QGroupBox*>(QString::fromLatin1(setup::unitprptsdlg::InsertAt));
        ASSERT_NE(group, nullptr);
        EXPECT_FALSE(group->isHidden());
        auto* thisLevel =
            d.findChild<QRadioButton*>(QString::fromLatin1(setup::unitprptsdlg::ThisLevel));
        ASSERT_NE(thisLevel, nullptr);
        EXPECT_TRUE(thisLevel->isChecked());
        type(d, setup::unitprptsdlg::Name, QStringLiteral("Stores.Main"));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(), "Unit name cannot contain period character.");
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
        type(d, setup::unitprptsdlg::Name, QStringLiteral("Stores"));
        click(d, setup::unitprptsdlg::OneLevelDown);
        click(d, "OkButton");
    });
    host.then("AdministrativeUnitsDialog", [](QDialog& d) {
        QTreeWidgetItem* head = itemOf(d, Tree, QStringLiteral("Head Office"));
        ASSERT_NE(head, nullptr);
        EXPECT_EQ(childrenOf(d, Tree, head), (QStringList{"Finance", "Human Resources", "Stores"}));
        EXPECT_EQ(selectedLabel(d, Tree), QStringLiteral("Stores"));
        click(d, Properties);
    });
    host.then("UnitPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Unit Properties"));
        EXPECT_EQ(textOf(d, setup::unitprptsdlg::Name), QStringLiteral("Stores"));
        auto* group = d.findChild<QGroupBox*>(QString::fromLatin1(setup::unitprptsdlg::InsertAt));
        ASSERT_NE(group, nullptr);
        EXPECT_TRUE(group->isHidden());
        type(d, setup::unitprptsdlg::Name, QStringLiteral("Central Stores"));
        click(d, "OkButton");
    });
    host.then("AdministrativeUnitsDialog", [this](QDialog& d) {
        QTreeWidgetItem* head = itemOf(d, Tree, QStringLiteral("Head Office"));
        ASSERT_NE(head, nullptr);
        EXPECT_EQ(childrenOf(d, Tree, head),
                  (QStringList{"Central Stores", "Finance", "Human Resources"}));
        EXPECT_EQ(selectedLabel(d, Tree), QStringLiteral("Central Stores"));
        EXPECT_GT(storedUnit("Central Stores"), 0);
        select(d, Tree, QStringLiteral("Head Office"));
        click(d, Delete);
        EXPECT_EQ(ui->lastText(), "Unit has sub-units and cannot be deleted.");
        select(d, Tree, QStringLiteral("Central Stores"));
        click(d, Delete);
        EXPECT_EQ(childrenOf(d, Tree, itemOf(d, Tree, QStringLiteral("Head Office"))),
                  (QStringList{"Finance", "Human Resources"}));
        click(d, Close);
    });
    window->runCommand(cmd::Units);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts, (std::vector<std::string>{"Unit name cannot contain period character.",
                                                   "Unit has sub-units and cannot be deleted."}));
    EXPECT_EQ(storedUnit("Central Stores"), 0);
    EXPECT_GT(storedUnit("Head Office"), 0);
}

TEST_F(TreeWindowTest, ADoubleClickOrEnterOpensAUnitAndCancelLetsItsLockGo) {
    using namespace setup::unitsdlg;
    host.then("AdministrativeUnitsDialog", [](QDialog& d) {
        select(d, Tree, QStringLiteral("Factory"));
        QTreeWidget* tree = treeOf(d, Tree);
        emit tree->doubleClicked(tree->currentIndex());
    });
    host.then("UnitPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, setup::unitprptsdlg::Name), QStringLiteral("Factory"));
        click(d, "CancelButton");
    });
    host.then("AdministrativeUnitsDialog", [](QDialog& d) {
        select(d, Tree, QStringLiteral("Estates"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(treeOf(d, Tree), &enter);
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
    });
    host.then("UnitPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, setup::unitprptsdlg::Name), QStringLiteral("Estates"));
        click(d, "CancelButton");
    });
    host.then("AdministrativeUnitsDialog", [this](QDialog& d) {
        select(d, Tree, QStringLiteral("Factory"));
        {
            // Another user may now rename it.
            testsupport::RecordingUi other;
            setup::UNITSDLG units(session().code(), session().folder());
            ASSERT_TRUE(units.openFile());
            const long factory = units.getUnitCode("Factory");
            EXPECT_TRUE(units.renameUnit(other, factory, "Tea Factory")) << other.lastMessage();
        }
        const fs::path path = session().folder().resolve(database::UNITSDB::kPath);
        fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2));
        fireTimer(d);
        EXPECT_EQ(childrenOf(d, Tree), (QStringList{"Estates", "Head Office", "Tea Factory"}));
        EXPECT_EQ(selectedLabel(d, Tree), QStringLiteral("Tea Factory")); // by its code
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "765.html");
        d.reject(); // Escape
    });
    window->runCommand(cmd::Units);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(TreeWindowTest, PostsAreAddedChangedAndRemovedButNeverBelowTheirOccupants) {
    using namespace setup::postsdlg;
    host.then("PostsDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Posts"));
        select(d, Tree, QStringLiteral("Finance"));
        auto* label = d.findChild<QLabel*>(QString::fromLatin1(PostsLabel));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QStringLiteral("Posts in Finance:"));
        EXPECT_TRUE(postsOf(d).contains(QStringLiteral("Payroll Officer (1)")))
            << postsOf(d).join(", ").toStdString();
        EXPECT_FALSE(postsOf(d).join(",").contains(QStringLiteral("Driver")));
        selectPost(d, QStringLiteral("Payroll Officer"));
        click(d, Edit);
    });
    host.then("EditPostsDialog", [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Edit Posts"));
        EXPECT_EQ(textOf(d, setup::editpostsdlg::Unit), QStringLiteral("Finance"));
        auto* combo = d.findChild<QComboBox*>(QString::fromLatin1(setup::editpostsdlg::JobTitle));
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->currentText(), QStringLiteral("Payroll Officer"));
        EXPECT_EQ(textOf(d, setup::editpostsdlg::Permanent), QStringLiteral("1"));
        type(d, setup::editpostsdlg::Permanent, QStringLiteral("0"));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(), "Permanent posts cannot be fewer than current occupants (1)");
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
        chooseJob(d, QStringLiteral("Driver"));
        EXPECT_EQ(textOf(d, setup::editpostsdlg::Permanent), QStringLiteral("0"));
        type(d, setup::editpostsdlg::Contract, QStringLiteral("2"));
        click(d, "OkButton");
    });
    host.then("PostsDialog", [](QDialog& d) {
        EXPECT_TRUE(postsOf(d).contains(QStringLiteral("Driver (2)")))
            << postsOf(d).join(", ").toStdString();
        selectPost(d, QStringLiteral("Driver"));
        auto* list = d.findChild<QListWidget*>(QString::fromLatin1(Posts));
        emit list->doubleClicked(list->currentIndex());
    });
    host.then("EditPostsDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, setup::editpostsdlg::Contract), QStringLiteral("2"));
        type(d, setup::editpostsdlg::Contract, QStringLiteral("0"));
        click(d, "OkButton");
    });
    host.then("PostsDialog", [this](QDialog& d) {
        EXPECT_FALSE(postsOf(d).join(",").contains(QStringLiteral("Driver")));
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "763.html");
        click(d, Close);
    });
    window->runCommand(cmd::Posts);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts, (std::vector<std::string>{
                             "Permanent posts cannot be fewer than current occupants (1)"}));
}

TEST_F(TreeWindowTest, BanksAndBranchesAreAddedRenamedAndDeleted) {
    using namespace setup::banksdlg;
    const std::vector<std::string> before = storedBanks();
    host.then("BanksDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Banks and Branches"));
        EXPECT_EQ(childrenOf(d, Tree),
                  (QStringList{"CRDB Bank", "NBC", "NMB Bank", "Stanbic Bank"}));
        click(d, AddBank);
    });
    host.then("NewBankDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Bank Properties"));
        EXPECT_EQ(textOf(d, setup::bankprptsdlg::Name), QStringLiteral("New Bank"));
        EXPECT_EQ(textOf(d, setup::bankprptsdlg::Code), QStringLiteral("00"));
        type(d, setup::bankprptsdlg::Name, QStringLiteral("Azania Bank"));
        type(d, setup::bankprptsdlg::Code, QStringLiteral("45"));
        click(d, "OkButton");
    });
    host.then("BanksDialog", [](QDialog& d) {
        EXPECT_EQ(selectedLabel(d, Tree), QStringLiteral("Azania Bank"));
        click(d, AddBranch);
    });
    host.then("NewBranchDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Branch Properties"));
        EXPECT_EQ(textOf(d, setup::bankprptsdlg::Name), QStringLiteral("New Branch"));
        EXPECT_EQ(textOf(d, setup::bankprptsdlg::Code), QStringLiteral("000"));
        // The same name and code as another bank's branch are allowed.
        type(d, setup::bankprptsdlg::Name, QStringLiteral("Mbeya"));
        type(d, setup::bankprptsdlg::Code, QStringLiteral("601"));
        click(d, "OkButton");
    });
    host.then("BanksDialog", [](QDialog& d) {
        EXPECT_EQ(childrenOf(d, Tree, itemOf(d, Tree, QStringLiteral("Azania Bank"))),
                  QStringList{"Mbeya"});
        EXPECT_TRUE(itemOf(d, Tree, QStringLiteral("Azania Bank"))->isExpanded());
        click(d, Properties);
    });
    host.then("BranchPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, setup::bankprptsdlg::Name), QStringLiteral("Mbeya"));
        type(d, setup::bankprptsdlg::Name, QStringLiteral("Mbeya City"));
        click(d, "OkButton");
    });
    host.then("BanksDialog", [this](QDialog& d) {
        QTreeWidgetItem* azania = itemOf(d, Tree, QStringLiteral("Azania Bank"));
        ASSERT_NE(azania, nullptr);
        EXPECT_EQ(childrenOf(d, Tree, azania), QStringList{"Mbeya City"});
        treeOf(d, Tree)->setCurrentItem(azania);
        click(d, Delete);
        EXPECT_EQ(ui->lastText(), "Bank has branches and cannot be deleted.");
        click(d, Properties);
    });
    host.then("BankPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, setup::bankprptsdlg::Name), QStringLiteral("Azania Bank"));
        EXPECT_EQ(textOf(d, setup::bankprptsdlg::Code), QStringLiteral("45"));
        type(d, setup::bankprptsdlg::Name, QStringLiteral("Azania Bank Ltd"));
        click(d, "OkButton");
    });
    host.then("BanksDialog", [](QDialog& d) {
        QTreeWidgetItem* azania = itemOf(d, Tree, QStringLiteral("Azania Bank Ltd"));
        ASSERT_NE(azania, nullptr);
        ASSERT_EQ(azania->childCount(), 1);
        treeOf(d, Tree)->setCurrentItem(azania->child(0));
        click(d, Delete);
        EXPECT_EQ(selectedLabel(d, Tree), QStringLiteral("Azania Bank Ltd"));
        click(d, Delete);
        EXPECT_EQ(childrenOf(d, Tree),
                  (QStringList{"CRDB Bank", "NBC", "NMB Bank", "Stanbic Bank"}));
        click(d, Close);
    });
    window->runCommand(cmd::Banks);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts, (std::vector<std::string>{"Bank has branches and cannot be deleted."}));
    EXPECT_EQ(storedBanks(), before);
}

TEST_F(TreeWindowTest, TheBankTreeShowsAnotherUsersBankAndRefusesABlankName) {
    using namespace setup::banksdlg;
    host.then("BanksDialog", [this](QDialog& d) {
        select(d, Tree, QStringLiteral("NMB Bank"));
        {
            testsupport::RecordingUi other;
            setup::BANKSDLG banks(session().code(), session().folder());
            ASSERT_TRUE(banks.addBank(other, "Access Bank", "60")) << other.lastMessage();
        }
        const fs::path path = session().folder().resolve(database::BANKSDB::kBanksPath);
        fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2));
        fireTimer(d);
        EXPECT_EQ(childrenOf(d, Tree).front(), QStringLiteral("Access Bank"));
        EXPECT_EQ(selectedLabel(d, Tree), QStringLiteral("NMB Bank"));
        click(d, AddBank);
    });
    host.then("NewBankDialog", [this](QDialog& d) {
        type(d, setup::bankprptsdlg::Name, QStringLiteral("  "));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(),
                  "Bank name must not be blank. Please enter a value for this field.");
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
        click(d, "CancelButton");
    });
    host.then("BanksDialog", [this](QDialog& d) {
        EXPECT_TRUE(enabled(d, Delete));
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "783.html");
        click(d, Close);
    });
    window->runCommand(cmd::Banks);
    EXPECT_TRUE(host.steps.empty());
}

} // namespace
} // namespace kelo::app
