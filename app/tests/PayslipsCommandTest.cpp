#include "app/main/DocumentWindow.h"
#include "app/main/ReportPreview.h"
#include "app/tests/DemoWindowFixture.h"
#include "common/OrgRecords.h"
#include "common/WorkingFolder.h"
#include "database/PayLogDb.h"
#include "setup/Orgs.h"

#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelo::app::testing {
namespace {

// View Payslips on the demo folder: the wizard's pages, then the preview.
class PayslipsCommandTest : public DemoWindowFixture {
protected:
    QString pageCaption() const { return window->statusPart(1)->text(); }
    // Both wizard pages answered with their defaults.
    void answerWizard() {
        host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) { click(d, "Next"); });
        host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) { click(d, "OkButton"); });
    }
    // The working period file of the monthly payroll, as the payslips left it.
    std::string workingFile() {
        const common::ORGREC org = *session().orgs().getOpenOrg();
        return session().folder().resolve(
            database::PAYLOGDB::getTmpPeriodFile(common::MONTHLY, static_cast<int>(org.year)));
    }
    static std::string bytesOf(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void writeBytes(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
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

// A working file that is damaged but newer than the payroll is read as it
// stands: its message, no preview, and the file is left for the clerk.
TEST_F(PayslipsCommandTest, ADamagedPeriodFileIsToldAndNoPreviewOpens) {
    answerWizard();
    window->runCommand(cmd::Payslips);
    ASSERT_NE(window->documentWindow(), nullptr) << ui->lastText();
    window->runCommand(cmd::Close);
    const std::string path = workingFile();
    const std::string good = bytesOf(path);
    ASSERT_FALSE(good.empty());
    const std::string relative = database::PAYLOGDB::getTmpPeriodFile(
        common::MONTHLY, static_cast<int>(session().orgs().getOpenOrg()->year));
    const std::string folderTag = "# [" + session().orgs().getOpenOrg()->folder + "/";
    struct Case {
        std::string bytes;
        std::string message;
    };
    std::string foreign = good;
    const std::size_t tag = foreign.find(folderTag);
    ASSERT_NE(tag, std::string::npos);
    foreign.replace(tag, folderTag.size(), "# [../org98/");
    const Case cases[] = {
        {good.substr(0, good.size() - 40), "File \"" + path + "\" has invalid terminator."},
        {foreign, "File \"" + relative + "\" was written for another organisation (../org98)."},
    };
    for (const Case& c : cases) {
        writeBytes(path, c.bytes);
        ui->texts.clear();
        answerWizard();
        window->runCommand(cmd::Payslips);
        EXPECT_EQ(window->documentWindow(), nullptr);
        EXPECT_EQ(window->commandContext().reportCode, 0);
        EXPECT_EQ(ui->lastText(), c.message);
        EXPECT_EQ(bytesOf(path), c.bytes);
    }
}

} // namespace
} // namespace kelo::app::testing
