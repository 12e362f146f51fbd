#include "app/main/DocumentWindow.h"
#include "app/main/ReportPreview.h"
#include "app/tests/DemoWindowFixture.h"
#include "common/ReportBase.h"
#include "setup/Orgs.h"
#include "setup/ReportWizard.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelo::app::testing {
namespace {

// The Report menu's pay-run reports and the bank transfer file on the demo
// folder, each wizard answered with its defaults.
class PayRunReportsCommandTest : public DemoWindowFixture {
protected:
    // Next on every page but the last, OK there.
    void answerWizard(std::int32_t code) {
        const std::size_t pages = setup::wizardPlan(code).pages.size();
        for (std::size_t i = 0; i < pages; ++i)
            host.then(QStringLiteral("ReportWizardDialog"), [last = i + 1 == pages](QDialog& d) {
                click(d, last ? "OkButton" : "Next");
            });
    }
    QString pageCaption() const { return window->statusPart(1)->text(); }
};

TEST_F(PayRunReportsCommandTest, EachReportOpensItsPreviewThroughItsWizard) {
    window->resize(1000, 800);
    window->show();
    struct Case {
        int command;
        std::int32_t wizardCode;
        int reportCode; // after the wizard
        const char* caption;
    };
    const Case cases[] = {
        {1212, 31, 31, "Payroll Summary"},          {1213, 32, 204, "Payroll Muster Roll"},
        {1215, 33, 201, "Payroll Control Account"}, {1231, 61, 61, "Cash List"},
        {1233, 64, 64, "Bank Transfer Report"},     {1234, 62, 62, "Coinage Summary"},
    };
    for (const Case& c : cases) {
        answerWizard(c.wizardCode);
        ui->texts.clear();
        window->runCommand(c.command);
        EXPECT_TRUE(host.steps.empty()) << c.command;
        auto* preview = dynamic_cast<ReportPreview*>(window->documentWindow());
        ASSERT_NE(preview, nullptr) << c.command << " " << ui->lastText();
        EXPECT_EQ(preview->windowTitle().toStdString(), c.caption);
        EXPECT_EQ(window->commandContext().reportCode, c.reportCode);
        EXPECT_TRUE(pageCaption().startsWith(QStringLiteral("Page 1 of "))) << c.command;
        EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
        window->runCommand(cmd::Close);
        EXPECT_EQ(window->commandContext().reportCode, 0);
    }
}

// Earnings > Basic Pay makes the basic pay report of code 37.
TEST_F(PayRunReportsCommandTest, AnEarningsReportOfBasicPayIsTheBasicPayReport) {
    host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) { click(d, "Next"); });
    host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) {
        auto* fields = d.findChild<QListWidget*>(QStringLiteral("FieldList"));
        ASSERT_NE(fields, nullptr);
        const auto found = fields->findItems(QStringLiteral("Basic Pay"), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        fields->setCurrentItem(found.front());
        click(d, "Next");
    });
    host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) { click(d, "OkButton"); });
    window->runCommand(1221);
    EXPECT_TRUE(host.steps.empty());
    auto* preview = dynamic_cast<ReportPreview*>(window->documentWindow());
    ASSERT_NE(preview, nullptr) << ui->lastText();
    EXPECT_EQ(window->commandContext().reportCode, common::kReportBasicPay);
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Basic Pay Report"));
    // The demo's 24 employees, 23 to a landscape page.
    EXPECT_EQ(pageCaption(), QStringLiteral("Page 1 of 2"));
}

// The absence and leave analyses of the demo year, through their wizards.
TEST_F(PayRunReportsCommandTest, TheLeaveReportsOpenThroughTheirWizards) {
    struct Case {
        int command;
        std::int32_t code;
        const char* caption;
    };
    const Case cases[] = {
        {1261, common::kReportAbsenceAnalysis, "Absence Analysis"},
        {1262, common::kReportAnnualLeaveAnalysis, "Annual Leave Analysis"},
        {1263, common::kReportAbsenceLeaveDetails, "Absence and Leave Details"},
    };
    for (const Case& c : cases) {
        answerWizard(c.code);
        ui->texts.clear();
        window->runCommand(c.command);
        EXPECT_TRUE(host.steps.empty()) << c.command;
        auto* preview = dynamic_cast<ReportPreview*>(window->documentWindow());
        ASSERT_NE(preview, nullptr) << c.command << " " << ui->lastText();
        EXPECT_EQ(preview->windowTitle().toStdString(), c.caption);
        EXPECT_EQ(window->commandContext().reportCode, c.code);
        EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
        window->runCommand(cmd::Close);
    }
}

// The personnel reports and the employee pay summary on the demo folder.
TEST_F(PayRunReportsCommandTest, ThePersonnelReportsAndThePaySummaryOpenThroughTheirWizards) {
    struct Case {
        int command;
        std::int32_t code;
        const char* caption;
    };
    const Case cases[] = {
        {1202, common::kReportEmployees, "Employees Roll"},
        {1206, common::kReportLengthOfService, "Length of Service Report"},
        {1207, common::kReportHierarchy, "Employee Hierarchy Report"},
        {1204, common::kReportEmployeeMaster, nullptr},
        {1214, common::kReportEmployeePaySummary, "Employee Pay Summary"},
    };
    for (const Case& c : cases) {
        answerWizard(c.code);
        ui->texts.clear();
        window->runCommand(c.command);
        EXPECT_TRUE(host.steps.empty()) << c.command;
        auto* preview = dynamic_cast<ReportPreview*>(window->documentWindow());
        ASSERT_NE(preview, nullptr) << c.command << " " << ui->lastText();
        if (c.caption) {
            EXPECT_EQ(preview->windowTitle().toStdString(), c.caption);
        }
        EXPECT_EQ(window->commandContext().reportCode, c.code);
        EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
        window->runCommand(cmd::Close);
    }
}

// The returns of the open month, from its working period files.
TEST_F(PayRunReportsCommandTest, TheMonthlyReturnsOfTheOpenMonthOpen) {
    struct Case {
        int command;
        std::int32_t code;
        const char* caption;
    };
    const Case cases[] = {
        {1241, common::kReportPayeReturn, "PAYE Monthly Return"},
        {1242, common::kReportNssfReturn, "NSSF Monthly Contribution Schedule"},
        {1243, common::kReportSdlReturn, "SDL Monthly Return"},
        {1244, 74, "WCF Monthly Return"},
    };
    for (const Case& c : cases) {
        answerWizard(c.code);
        ui->texts.clear();
        window->runCommand(c.command);
        EXPECT_TRUE(host.steps.empty()) << c.command;
        auto* preview = dynamic_cast<ReportPreview*>(window->documentWindow());
        ASSERT_NE(preview, nullptr) << c.command << " " << ui->lastText();
        EXPECT_EQ(preview->windowTitle().toStdString(), c.caption);
        EXPECT_EQ(window->commandContext().reportCode, c.code);
        EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
        window->runCommand(cmd::Close);
    }
}

// The annual tax returns of the year so far: the open month only.
TEST_F(PayRunReportsCommandTest, TheTaxReturnsOpenThroughTheirWizards) {
    for (const std::int32_t code : {common::kReportP9, common::kReportP10, common::kReportItx215}) {
        answerWizard(code);
        ui->texts.clear();
        window->runCommand(1251 + code - common::kReportP9);
        EXPECT_TRUE(host.steps.empty()) << code;
        ASSERT_NE(window->documentWindow(), nullptr) << code << " " << ui->lastText();
        EXPECT_EQ(window->commandContext().reportCode, code);
        EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
        window->runCommand(cmd::Close);
    }
}

// The muster roll and control account of the whole year so far: the demo's
// open month is all the year holds.
TEST_F(PayRunReportsCommandTest, TheYearsMusterRollAndControlAccountOpen) {
    for (const int command : {1213, 1215}) {
        host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) {
            click(d, "KindYear");
            click(d, "Next");
        });
        answerWizard(command == 1213 ? common::kReportYearMusterRoll
                                     : common::kReportYearControlAccount);
        ui->texts.clear();
        window->runCommand(command);
        EXPECT_TRUE(host.steps.empty()) << command;
        ASSERT_NE(window->documentWindow(), nullptr) << command << " " << ui->lastText();
        EXPECT_EQ(window->commandContext().reportCode, command == 1213
                                                           ? common::kReportYearMusterRoll
                                                           : common::kReportYearControlAccount);
        window->runCommand(cmd::Close);
    }
}

// The month's muster roll and control account, from the monthly returns'
// store: the open month's working period files.
TEST_F(PayRunReportsCommandTest, TheMonthsMusterRollAndControlAccountOpen) {
    for (const int command : {1213, 1215}) {
        host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) {
            click(d, "KindMonth");
            click(d, "Next");
        });
        host.then(QStringLiteral("ReportWizardDialog"), [](QDialog& d) { click(d, "OkButton"); });
        ui->texts.clear();
        window->runCommand(command);
        EXPECT_TRUE(host.steps.empty()) << command;
        ASSERT_NE(window->documentWindow(), nullptr) << command << " " << ui->lastText();
        EXPECT_EQ(window->commandContext().reportCode, command == 1213
                                                           ? common::kReportMonthMusterRoll
                                                           : common::kReportMonthControlAccount);
        window->runCommand(cmd::Close);
    }
}

TEST_F(PayRunReportsCommandTest, TheSummaryExportsItsTableAsCsv) {
    answerWizard(31);
    window->runCommand(1212);
    ASSERT_NE(window->documentWindow(), nullptr) << ui->lastText();
    const std::string path = dir.file("summary.csv");
    ui->files.push_back(QString::fromStdString(path));
    window->runCommand(cmd::SaveAsCsv);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(bytes.empty()) << ui->lastText();
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(bytes.find("Employee Number,Name,"), std::string::npos);
    EXPECT_NE(bytes.find(",Net Pay\r\n"), std::string::npos);
    // No thousands separators in the figures: every line has as many fields
    // as the heading.
    const auto fieldsOf = [](const std::string& line) {
        return std::count(line.begin(), line.end(), ',') + 1;
    };
    const std::size_t firstEnd = bytes.find("\r\n");
    const long headingFields = fieldsOf(bytes.substr(0, firstEnd));
    for (std::size_t at = firstEnd + 2; at < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", at);
        const std::string line = bytes.substr(at, end - at);
        if (line.find('"') == std::string::npos) {
            EXPECT_EQ(fieldsOf(line), headingFields) << line;
        }
        at = end + 2;
    }
}

TEST_F(PayRunReportsCommandTest, TheBankTransferFileIsSavedAndTheFileNumberMoves) {
    setup::ORGS& orgs = session().orgs();
    const auto before = orgs.getOpenOrg()->bTrFileID;
    answerWizard(common::kReportBarclaysFile);
    const std::string path = dir.file("barclays.csv");
    ui->files.push_back(QString::fromStdString(path));
    window->runCommand(cmd::BankTransferFile);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(window->documentWindow(), nullptr);
    EXPECT_EQ(window->commandContext().reportCode, 0);
    EXPECT_EQ(ui->lastText(), "Bank transfer file saved") << ui->lastText();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(orgs.getOpenOrg()->bTrFileID, before + 1);
}

} // namespace
} // namespace kelo::app::testing
