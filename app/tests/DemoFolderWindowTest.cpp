#include "app/demo/DemoFolder.h"
#include "app/main/MainWindow.h"
#include "app/shell/Commands.h"
#include "app/tests/DemoWindowFixture.h"
#include "app/tests/ScriptedHosts.h"
#include "setup/Orgs.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

namespace kelo::app {
namespace {

using testing::click;
using testing::ScriptedHost;
using testing::ScriptedUi;
using testing::type;

QStringList itemsOf(const QComboBox& list) {
    QStringList items;
    for (int row = 0; row < list.count(); ++row)
        items << list.itemText(row);
    return items;
}

// The program on the demo folder, as `make run` opens it.
class DemoFolderWindowTest : public testing::DemoWindowFixture {
protected:
};

TEST_F(DemoFolderWindowTest, OpensOnTheDemoOrganisationAndMonth) {
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("Kelo Roster - %1").arg(QString::fromLatin1(demo::kDemoOrganisation)));
    EXPECT_EQ(window->statusPart(4)->text(), QStringLiteral("November 2026"));
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    // Where the payroll stands, in the empty document area.
    auto* heading = window->findChild<QLabel*>(QStringLiteral("OverviewHeading"));
    auto* body = window->findChild<QLabel*>(QStringLiteral("OverviewBody"));
    ASSERT_TRUE(heading && body);
    EXPECT_EQ(heading->text(), QString::fromLatin1(demo::kDemoOrganisation));
    EXPECT_TRUE(body->text().startsWith(
        QStringLiteral("Current month: November 2026 (fiscal year 2026/27)\n"
                       "Monthly payroll: November 2026 (working on)\n")))
        << body->text().toStdString();
}

// Pointing at a grayed command says why it is grayed.
TEST_F(DemoFolderWindowTest, AGrayedCommandSaysWhyInTheStatusBar) {
    QAction* close = window->menuAction(cmd::Close);
    ASSERT_NE(close, nullptr);
    ASSERT_FALSE(close->isEnabled());
    QMenu* menu = qobject_cast<QMenu*>(close->parent());
    ASSERT_NE(menu, nullptr);
    emit menu->hovered(close);
    EXPECT_TRUE(window->statusPart(1)->text().endsWith(QStringLiteral("(Needs an open window.)")))
        << window->statusPart(1)->text().toStdString();
}

// Every dialog a command opens has a Help button at its command's page.
TEST_F(DemoFolderWindowTest, TheCommandsDialogsHaveHelpButtons) {
    const struct {
        int command;
        const char* dialog;
    } dialogs[] = {
        {cmd::BasicInfo, "BasicInfoDialog"},
        {cmd::PayrollInfo, "PayrollInfoDialog"},
        {cmd::PayrollOptions, "PayrollOptionsDialog"},
        {cmd::GeneralOptions, "GeneralOptionsDialog"},
        {cmd::ChangePassword, "ChangePasswordDialog"},
        {cmd::Users, "UsersDialog"},
    };
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.dialog);
        bool hasHelp = false;
        host.then(QString::fromLatin1(d.dialog), [&hasHelp](QDialog& shown) {
            hasHelp = shown.findChild<QPushButton*>(QStringLiteral("HelpButton")) != nullptr;
            shown.reject();
        });
        window->runCommand(d.command);
        EXPECT_TRUE(host.steps.empty());
        EXPECT_TRUE(hasHelp);
    }
}

TEST_F(DemoFolderWindowTest, PayrollInfoRefillsTheBranchesOfAChosenBank) {
    host.then("PayrollInfoDialog", [](QDialog& d) {
        auto* bank = d.findChild<QComboBox*>(QStringLiteral("Bank"));
        auto* branch = d.findChild<QComboBox*>(QStringLiteral("Branch"));
        ASSERT_TRUE(bank && branch);
        EXPECT_EQ(bank->currentText(), QStringLiteral("CRDB Bank"));
        EXPECT_EQ(branch->currentText(), QStringLiteral("Mbeya"));
        const int nmb = bank->findText(QStringLiteral("NMB Bank"));
        ASSERT_GT(nmb, 0);
        bank->setCurrentIndex(nmb);
        emit bank->activated(nmb);
        EXPECT_EQ(itemsOf(*branch), (QStringList{"", "Mbeya", "Tukuyu"}));
        EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("AccountNum"))->text(), QString());
        click(d, "CancelButton");
    });
    window->runCommand(cmd::PayrollInfo);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(window->session().orgs().getOpenOrg()->bankName, "CRDB Bank");
}

TEST_F(DemoFolderWindowTest, TheUsersListLeavesTheSupervisorOut) {
    host.then("UsersDialog", [](QDialog& d) {
        auto* list = d.findChild<QListWidget*>(QStringLiteral("UserList"));
        ASSERT_NE(list, nullptr);
        QStringList names;
        for (int row = 0; row < list->count(); ++row)
            names << list->item(row)->text();
        EXPECT_EQ(names, (QStringList{"asha", "juma"}));
        click(d, "CloseButton");
    });
    window->runCommand(cmd::Users);
    EXPECT_TRUE(host.steps.empty());
}

} // namespace
} // namespace kelo::app
