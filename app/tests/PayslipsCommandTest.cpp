#include "app/main/DocumentWindow.h"
#include "app/main/ReportPreview.h"
#include "app/tests/DemoWindowFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>

namespace kelo::app::testing {
namespace {

// View Payslips on the demo folder: the wizard's pages, then the preview.
class PayslipsCommandTest : public DemoWindowFixture {
protected:
    QString pageCaption() const { return window->statusPart(1)->text(); }
    QStringList menuTitles() const {
        QStringList titles;
        for (QAction* action : window->menuBar()->actions())
            titles << action->text();
        return titles;
    }
};

TEST_F(PayslipsCommandTest, ViewPayslipsAsksThePeriodAndEmployeesThenPreviewsThem) {
    window->resize(1000, 800);
    window->show();
    // The pay period page, then the selection of employees.
    QStringList titles;
    host.then(QStringLiteral("ReportWizardDialog"), [&titles](QDialog& d) {
        titles << d.windowTitle();
        EXPECT_NE(d.findChild<QWidget*>(QStringLiteral("PayFrequency")), nullptr);
        click(d, "Next");
    });
    host.then(QStringLiteral("ReportWizardDialog"), [&titles](QDialog& d) {
        titles << d.windowTitle();
        EXPECT_NE(d.findChild<QWidget*>(QStringLiteral("SelectionKind")), nullptr);
        click(d, "OkButton");
    });
    window->runCommand(cmd::Payslips);
    EXPECT_EQ(titles,
              QStringList({QStringLiteral("View Payslips"), QStringLiteral("View Payslips")}));
    auto* preview = dynamic_cast<ReportPreview*>(window->documentWindow());
    ASSERT_NE(preview, nullptr) << ui->lastText();
    EXPECT_EQ(window->commandContext().reportCode, 34);
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Payslips"));
    // The demo payroll's 24 employees, two payslips to a page.
    EXPECT_EQ(pageCaption(), QStringLiteral("Page 1 of 12"));
    EXPECT_TRUE(menuTitles().contains(QStringLiteral("P&age")));
}

TEST_F(PayslipsCommandTest, CancellingThePayslipsWizardOpensNothing) {
    host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) { click(d, "CancelButton"); });
    window->runCommand(cmd::Payslips);
    EXPECT_EQ(window->documentWindow(), nullptr);
    EXPECT_EQ(window->commandContext().reportCode, 0);
    EXPECT_TRUE(host.steps.empty());
}

TEST_F(PayslipsCommandTest, ThePayslipsWizardPagesFollowTheChoicesAndGoBack) {
    host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) {
        auto* back = d.findChild<QPushButton*>(QStringLiteral("Back"));
        ASSERT_NE(back, nullptr);
        EXPECT_FALSE(back->isEnabled());
        auto* day = d.findChild<QComboBox*>(QStringLiteral("PeriodDay"));
        auto* dayLabel = d.findChild<QLabel*>(QStringLiteral("PeriodDayLabel"));
        ASSERT_NE(day, nullptr);
        ASSERT_NE(dayLabel, nullptr);
        EXPECT_FALSE(day->isEnabled());
        d.findChild<QComboBox*>(QStringLiteral("PayFrequency"))->setCurrentIndex(1); // Weekly
        EXPECT_EQ(dayLabel->text(), QStringLiteral("Week ending:"));
        EXPECT_TRUE(day->isEnabled());
        d.findChild<QComboBox*>(QStringLiteral("PayFrequency"))->setCurrentIndex(0); // Monthly
        EXPECT_FALSE(day->isEnabled());
        click(d, "Next");
    });
    host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) {
        auto* prompt = d.findChild<QLabel*>(QStringLiteral("SelectionPrompt"));
        auto* names = d.findChild<QTreeWidget*>(QStringLiteral("SelectionNames"));
        ASSERT_NE(prompt, nullptr);
        ASSERT_NE(names, nullptr);
        EXPECT_EQ(prompt->text(), QStringLiteral("Which instance?"));
        EXPECT_FALSE(names->isEnabled());
        EXPECT_FALSE(d.findChild<QPushButton*>(QStringLiteral("Next"))->isEnabled());
        d.findChild<QComboBox*>(QStringLiteral("SelectionKind"))->setCurrentIndex(2); // Station
        EXPECT_EQ(prompt->text(), QStringLiteral("Which station?"));
        EXPECT_TRUE(names->isEnabled());
        ASSERT_GT(names->topLevelItemCount(), 0);
        // Leaving, even backwards, needs a station chosen.
        bool ended = false;
        const QMetaObject::Connection watch =
            QObject::connect(&d, &QDialog::finished, [&ended] { ended = true; });
        click(d, "Back");
        EXPECT_FALSE(ended);
        names->setCurrentItem(names->topLevelItem(0));
        click(d, "Back");
        EXPECT_TRUE(ended);
        QObject::disconnect(watch);
    });
    host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) {
        EXPECT_NE(d.findChild<QWidget*>(QStringLiteral("PayFrequency")), nullptr);
        click(d, "CancelButton");
    });
    window->runCommand(cmd::Payslips);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(window->documentWindow(), nullptr);
}

} // namespace
} // namespace kelo::app::testing
