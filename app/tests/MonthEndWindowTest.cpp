// The month end's and the period end's Qt face on the demo folder: the
// Caution dialog with its help page and password, the backup question, and
// the next month or period.
#include "app/main/MonthEndDialogs.h"
#include "app/main/OrganisationDialogs.h"
#include "app/main/OverviewPanel.h"
#include "app/shell/CommandRules.h"
#include "app/shell/Commands.h"
#include "app/tests/DemoWindowFixture.h"
#include "app/tests/ScriptedHosts.h"
#include "database/OrgDb.h"
#include "setup/Backup.h"
#include "setup/Orgs.h"
#include "setup/Users.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace kelo::app {
namespace {

using testing::click;
using testing::type;

class MonthEndWindowTest : public testing::DemoWindowFixture {
protected:
    DialogContext context() { return {session(), host, window->help(), window.get()}; }
    const common::ORGREC& org() { return *session().orgs().getOpenOrg(); }
    // The weekly and biweekly payrolls' period ends run up to the last
    // periods of November's 30 days, as the clerk's period ends would.
    void SetUp() override {
        DemoWindowFixture::SetUp();
        setup::ORGS& orgs = session().orgs();
        while (org().weekEndDay + 7 <= 30)
            orgs.incrPeriodEndDay(common::WEEKLY, 0);
        while (org().fortnightEndDay + 14 <= 30)
            orgs.incrPeriodEndDay(common::BIWEEKLY, 0);
    }
};

TEST_F(MonthEndWindowTest, TheCautionAndTheBackupQuestionLeadToTheNextMonth) {
    ASSERT_EQ(org().month, "November");
    host.then(QStringLiteral("CautionDialog"), [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Month End Procedure"));
        auto* text = d.findChild<QLabel*>(QString::fromLatin1(setup::cautiondlg::Text));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text(), QStringLiteral("Running the month end procedure will close data "
                                               "entry for November 2026.  Subsequent payroll and "
                                               "personnel entries will appear in December 2026."));
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "151.html");
        type(d, setup::cautiondlg::Password, QStringLiteral("guess"));
        click(d, "OkButton");
        EXPECT_NE(d.result(), QDialog::Accepted); // still open
        EXPECT_EQ(ui->lastText(), "Access denied.");
        type(d, setup::cautiondlg::Password, QString::fromLatin1(demo::kDemoPassword));
        ui->answers.push_back(QMessageBox::No); // the backup question that follows
        click(d, "OkButton");
    });
    ui->texts.clear();
    EXPECT_EQ(runMonthEnd(context()), 0) << ui->lastText();
    EXPECT_TRUE(host.steps.empty());
    ASSERT_EQ(ui->texts.size(), 3u) << ui->lastText();
    EXPECT_EQ(ui->texts[1], "Do you wish to back up your data?");
    EXPECT_EQ(ui->lastText(), "Month end procedure completed successfully.");
    EXPECT_EQ(org().month, "December");
}

TEST_F(MonthEndWindowTest, TheProcedureMenuRunsItAndTheStatusBarShowsTheNewMonth) {
    EXPECT_TRUE(CommandRules::isAvailable(cmd::MonthEnd));
    QAction* item = window->menuAction(cmd::MonthEnd);
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    host.then(QStringLiteral("CautionDialog"), [this](QDialog& d) {
        type(d, setup::cautiondlg::Password, QString::fromLatin1(demo::kDemoPassword));
        ui->answers.push_back(QMessageBox::No);
        click(d, "OkButton");
    });
    ui->texts.clear();
    item->trigger();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->lastText(), "Month end procedure completed successfully.");
    EXPECT_EQ(org().month, "December");
    EXPECT_TRUE(window->statusPart(4)->text().contains(QStringLiteral("December")))
        << window->statusPart(4)->text().toStdString();
}

TEST_F(MonthEndWindowTest, CancelledCautionChangesNothing) {
    host.then(QStringLiteral("CautionDialog"), [](QDialog& d) { click(d, "CancelButton"); });
    ui->texts.clear();
    EXPECT_EQ(runMonthEnd(context()), -1);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_EQ(org().month, "November");
}

TEST_F(MonthEndWindowTest, CancelledBackupQuestionCancels) {
    host.then(QStringLiteral("CautionDialog"), [](QDialog& d) {
        type(d, setup::cautiondlg::Password, QString::fromLatin1(demo::kDemoPassword));
        click(d, "OkButton");
    });
    ui->texts.clear();
    ui->answers.push_back(QMessageBox::Cancel);
    EXPECT_EQ(runMonthEnd(context()), -1);
    EXPECT_EQ(ui->lastText(), "Month end procedure cancelled.");
    EXPECT_EQ(org().month, "November");
}

// The demo organisation with the clerk on its weekly payroll, whose first
// week of November 2026 ends on the 1st.
class PeriodEndWindowTest : public MonthEndWindowTest {
protected:
    void SetUp() override {
        DemoWindowFixture::SetUp();
        common::ORGREC row = org();
        row.payFreq = common::WEEKLY;
        ASSERT_TRUE(setup::saveOrgRec(session().code(), session().folder(), row));
        closeWindow();
        start(QStringLiteral("supervisor"));
        ASSERT_EQ(org().payFreq, common::WEEKLY);
        ASSERT_EQ(org().weekEndDay, 1);
    }
};

TEST_F(PeriodEndWindowTest, TheProcedureMenuClosesTheWeekBehindTheCaution) {
    EXPECT_TRUE(CommandRules::isAvailable(cmd::PeriodEnd));
    QAction* item = window->menuAction(cmd::PeriodEnd);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("&Period End..."));
    ASSERT_TRUE(item->isEnabled());
    host.then(QStringLiteral("CautionDialog"), [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Period End Procedure"));
        auto* text = d.findChild<QLabel*>(QString::fromLatin1(setup::cautiondlg::Text));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text(), QStringLiteral("Running the period end procedure will close the "
                                               "payroll  for the week ending 1 November 2026."));
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "152.html");
        type(d, setup::cautiondlg::Password, QString::fromLatin1(demo::kDemoPassword));
        click(d, "OkButton");
    });
    ui->texts.clear();
    item->trigger();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts, std::vector<std::string>{"Period end procedure completed successfully."});
    EXPECT_EQ(org().weekEndDay, 8);
    EXPECT_EQ(org().month, "November");
}

TEST_F(PeriodEndWindowTest, CancelledCautionChangesNothing) {
    host.then(QStringLiteral("CautionDialog"), [](QDialog& d) { click(d, "CancelButton"); });
    ui->texts.clear();
    EXPECT_EQ(runPeriodEnd(context()), -1);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_EQ(org().weekEndDay, 1);
}

TEST_F(MonthEndWindowTest, ThePeriodEndOfTheMonthlyPayrollIsRefused) {
    ASSERT_EQ(org().payFreq, common::MONTHLY);
    ui->texts.clear();
    EXPECT_EQ(runPeriodEnd(context()), -1);
    EXPECT_EQ(ui->texts, (std::vector<std::string>{
                             "The period end is for weekly, biweekly and irregular payrolls; the "
                             "monthly payroll is closed by the month end.",
                             "Period end procedure cancelled."}));
    EXPECT_EQ(org().month, "November");
}

// The demo organisation as it starts, on its monthly payroll; the clerk
// turns to the weekly one, whose first week of November 2026 ends on the 1st.
class PayFrequencyWindowTest : public testing::DemoWindowFixture {
protected:
    DialogContext context() { return {session(), host, window->help(), window.get()}; }
    const common::ORGREC& org() { return *session().orgs().getOpenOrg(); }
    common::ORGREC storedRow() {
        database::ORGDB table(session().code(), session().folder());
        common::ORGREC row;
        if (table.openFile() && table.findByName(org().name))
            table.loadRec(row);
        return row;
    }
    QString statusCaption() const { return window->statusPart(1)->text(); }
    // The lines of the panel shown while no window is open.
    QStringList overviewLines() const {
        QStringList lines;
        if (auto* panel = window->findChild<OverviewPanel*>())
            for (QLabel* label : panel->findChildren<QLabel*>())
                lines << label->text().split(QLatin1Char('\n'));
        return lines;
    }
};

TEST_F(PayFrequencyWindowTest, ChoosingTheWeeklyPayrollTakesTheTransactionsAndThePeriodEndToIt) {
    ASSERT_EQ(org().payFreq, common::MONTHLY);
    QAction* item = window->menuAction(cmd::PayFrequency);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("Pay &Frequency..."));
    ASSERT_TRUE(item->isEnabled());
    host.then(QStringLiteral("PayFrequencyDialog"), [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Pay Frequency"));
        const char* radios[] = {setup::payfreqdlg::Monthly, setup::payfreqdlg::Weekly,
                                setup::payfreqdlg::Biweekly, setup::payfreqdlg::Irregular};
        const char* labels[] = {"Monthly", "Weekly", "Biweekly", "Irregular"};
        for (std::size_t i = 0; i < std::size(radios); ++i) {
            auto* radio = d.findChild<QRadioButton*>(QString::fromLatin1(radios[i]));
            ASSERT_NE(radio, nullptr) << radios[i];
            EXPECT_EQ(radio->text().remove(QLatin1Char('&')), QString::fromLatin1(labels[i]));
            EXPECT_EQ(radio->isChecked(), i == 0) << radios[i];
        }
        auto* ok = d.findChild<QPushButton*>(QStringLiteral("OkButton"));
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isDefault());
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "153.html");
        click(d, setup::payfreqdlg::Weekly);
        click(d, "OkButton");
    });
    item->trigger();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_EQ(org().payFreq, common::WEEKLY);
    EXPECT_EQ(storedRow().payFreq, common::WEEKLY);
    const QStringList lines = overviewLines();
    EXPECT_TRUE(lines.contains(QStringLiteral("Weekly payroll: week ending 1 November 2026 "
                                              "(working on)")))
        << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Monthly payroll: November 2026")));

    window->runCommand(cmd::Transactions);
    ASSERT_NE(window->documentWindow(), nullptr) << ui->lastText();
    EXPECT_EQ(statusCaption(), QStringLiteral("Payroll for week ending 1 November 2026"));
    // Only with no window open; the menus are made afresh as windows open.
    EXPECT_FALSE(window->menuAction(cmd::PayFrequency)->isEnabled());
    window->runCommand(cmd::Close);
    ASSERT_EQ(window->documentWindow(), nullptr);
    EXPECT_TRUE(window->menuAction(cmd::PayFrequency)->isEnabled());

    host.then(QStringLiteral("CautionDialog"), [](QDialog& d) {
        auto* text = d.findChild<QLabel*>(QString::fromLatin1(setup::cautiondlg::Text));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text(), QStringLiteral("Running the period end procedure will close the "
                                               "payroll  for the week ending 1 November 2026."));
        click(d, "CancelButton");
    });
    window->menuAction(cmd::PeriodEnd)->trigger();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(org().weekEndDay, 1);
}

TEST_F(PayFrequencyWindowTest, CancelKeepsThePayrollAsItWas) {
    host.then(QStringLiteral("PayFrequencyDialog"), [](QDialog& d) {
        click(d, setup::payfreqdlg::Irregular);
        click(d, "CancelButton");
    });
    EXPECT_FALSE(runPayFrequency(context()));
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(org().payFreq, common::MONTHLY);
    EXPECT_EQ(storedRow().payFreq, common::MONTHLY);
}

} // namespace
} // namespace kelo::app
