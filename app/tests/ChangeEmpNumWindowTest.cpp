// Procedure > Change Employee Number on the demo folder: the dialog's checks
// keep it open, OK renumbers the employee everywhere, Cancel changes nothing.
#include "app/main/MainWindow.h"
#include "app/shell/CommandRules.h"
#include "app/shell/Commands.h"
#include "app/tests/DemoWindowFixture.h"
#include "app/tests/ScriptedHosts.h"
#include "database/StaticDb.h"
#include "database/VarDb.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace kelo::app {
namespace {

using testing::click;
using testing::type;

class ChangeEmpNumWindowTest : public testing::DemoWindowFixture {
protected:
    void openFromMenu() {
        QAction* item = window->menuAction(cmd::ChangeEmpNum);
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->isEnabled());
        item->trigger();
    }

    // The personnel file's row of the employee, or nothing.
    std::optional<std::pair<common::STATICREC, database::PERSONNELREC>>
    stored(const std::string& empNum) {
        database::STATDB staff(session().code(), session().folder());
        EXPECT_TRUE(staff.openFile());
        std::pair<common::STATICREC, database::PERSONNELREC> row;
        if (!staff.seekEmpNum(empNum) || !staff.initRec(row.first) || !staff.initRec(row.second))
            return std::nullopt;
        return row;
    }
};

TEST_F(ChangeEmpNumWindowTest, TheCommandIsAvailable) {
    EXPECT_TRUE(CommandRules::isAvailable(cmd::ChangeEmpNum));
}

TEST_F(ChangeEmpNumWindowTest, ARefusedNumberKeepsTheDialogThenOkRenumbers) {
    host.then(QStringLiteral("ChangeEmpNumDialog"), [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Change Employee Number"));
        auto* caution = d.findChild<QLabel*>(QStringLiteral("Caution"));
        ASSERT_NE(caution, nullptr);
        EXPECT_EQ(caution->text(), QStringLiteral("Caution: It is not advisable to reuse an "
                                                  "employee number that belonged to a former "
                                                  "employee."));
        EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("OldEmpNum"))->maxLength(), 19);
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "790.html");
        type(d, "OldEmpNum", QStringLiteral("MH001"));
        type(d, "NewEmpNum", QStringLiteral("mh002"));
        click(d, "OkButton");
        EXPECT_NE(d.result(), QDialog::Accepted); // still open
        EXPECT_EQ(ui->lastText(), "Record with this employee number already exists. Please enter "
                                  "a different new employee number.");
        type(d, "NewEmpNum", QStringLiteral("MH101"));
        ui->answers.push_back(QMessageBox::Yes);
        click(d, "OkButton");
    });
    ui->texts.clear();
    openFromMenu();
    EXPECT_TRUE(host.steps.empty());
    ASSERT_EQ(ui->texts.size(), 3u) << ui->lastText();
    EXPECT_EQ(ui->texts[1], "Are you sure you want to change the employee number for\nMwakyusa, "
                            "Emmanuel Joseph from MH001 to MH101?");
    EXPECT_EQ(ui->texts[2], "The employee number has been changed.");
    EXPECT_EQ(ui->captions[2], "Kelo Roster");

    EXPECT_FALSE(stored("MH001"));
    const auto renumbered = stored("MH101");
    ASSERT_TRUE(renumbered);
    EXPECT_EQ(renumbered->first.lastName, "Mwakyusa");
    const auto reportsToHim = stored("MH002");
    ASSERT_TRUE(reportsToHim);
    EXPECT_EQ(reportsToHim->second.supervisor, "MH101");
    database::VARDB pay(session().code(), session().folder());
    ASSERT_TRUE(pay.openFile(renumbered->first.payFreq));
    pay.orderByEmpNum1();
    EXPECT_TRUE(pay.seekEmpNum("MH101"));
    EXPECT_FALSE(pay.seekEmpNum("MH001"));
}

TEST_F(ChangeEmpNumWindowTest, CancelChangesNothing) {
    host.then(QStringLiteral("ChangeEmpNumDialog"), [](QDialog& d) {
        type(d, "OldEmpNum", QStringLiteral("MH001"));
        type(d, "NewEmpNum", QStringLiteral("MH101"));
        click(d, "CancelButton");
    });
    openFromMenu();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_TRUE(stored("MH001"));
    EXPECT_FALSE(stored("MH101"));
}

} // namespace
} // namespace kelo::app
