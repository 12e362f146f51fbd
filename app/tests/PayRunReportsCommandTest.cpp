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

// Every report command whose wizard's defaults make a report on the demo
// folder: the preview opens with the report's caption on its first page,
// and Close leaves no report open. The monthly and tax returns read the
// open month's working period files.
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
        {1212, 31, 31, "Payroll Summary"},
        {1213, 32, 204, "Payroll Muster Roll"},
        {1215, 33, 201, "Payroll Control Account"},
        {1231, 61, 61, "Cash List"},
        {1233, 64, 64, "Bank Transfer Report"},
        {1234, 62, 62, "Coinage Summary"},
        {1261, 22, 22, "Absence Analysis"},
        {1262, 23, 23, "Annual Leave Analysis"},
        {1263, 24, 24, "Absence and Leave Details"},
        {1202, 11, 11, "Employees Roll"},
        {1206, 13, 13, "Length of Service Report"},
        {1207, 16, 16, "Employee Hierarchy Report"},
        {1204, 14, 14, nullptr}, // captioned by the employee shown
        {1214, 85, 85, "Employee Pay Summary"},
        {1241, 71, 71, "PAYE Monthly Return"},
        {1242, 72, 72, "NSSF Monthly Contribution Schedule"},
        {1243, 73, 73, "SDL Monthly Return"},
        {1244, 74, 74, "WCF Monthly Return"},
        {1251, 80, 80, nullptr},
        {1252, 81, 81, nullptr},
        {1253, 82, 82, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        answerWizard(c.wizardCode);
        ui->texts.clear();
        window->runCommand(c.command);
        EXPECT_TRUE(host.steps.empty());
        auto* preview = dynamic_cast<ReportPreview*>(window->documentWindow());
        ASSERT_NE(preview, nullptr) << ui->lastText();
        if (c.caption) {
            EXPECT_EQ(preview->windowTitle().toStdString(), c.caption);
        }
        EXPECT_EQ(window->commandContext().reportCode, c.reportCode);
        EXPECT_TRUE(pageCaption().startsWith(QStringLiteral("Page 1 of ")));
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

// The muster roll and control account of the month (the monthly returns'
// store) and of the year so far (the annual store): the demo's open month
// is all either holds.
TEST_F(PayRunReportsCommandTest, TheMonthsAndTheYearsMusterRollAndControlAccountOpen) {
    struct Case {
        int command;
        const char* kind;
        std::int32_t reportCode;
    };
    const Case cases[] = {
        {1213, "KindMonth", common::kReportMonthMusterRoll},
        {1215, "KindMonth", common::kReportMonthControlAccount},
        {1213, "KindYear", common::kReportYearMusterRoll},
        {1215, "KindYear", common::kReportYearControlAccount},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.command) + " " + c.kind);
        host.then(QStringLiteral("ReportWizardDialog"), [&c](QDialog& d) {
            click(d, c.kind);
            click(d, "Next");
        });
        answerWizard(c.reportCode); // the kind's own pages
        ui->texts.clear();
        window->runCommand(c.command);
        EXPECT_TRUE(host.steps.empty());
        ASSERT_NE(window->documentWindow(), nullptr) << ui->lastText();
        EXPECT_EQ(window->commandContext().reportCode, c.reportCode);
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
