#include "setup/ReportWizard.h"

#include "app/main/HelpViewer.h"
#include "app/main/ReportWizardDialog.h"
#include "app/tests/DemoWindowFixture.h"
#include "common/ReportRecords.h"
#include "setup/Orgs.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace kelo::app::testing {
namespace {

using common::date;

// The report parameters wizard's pages on the demo folder, run as a report
// command runs them.
class ReportWizardTest : public DemoWindowFixture {
protected:
    setup::ReportWizard& wizardFor(std::int32_t code, date today = date::today()) {
        Session& s = session();
        wizard = std::make_unique<setup::ReportWizard>(s.ui(), s.code(), s.folder(),
                                                       *s.orgs().getOpenOrg(), code, today);
        return *wizard;
    }
    bool run() {
        const DialogContext context{session(), host, window->help(), window.get()};
        return runReportWizard(context, *wizard);
    }
    std::int32_t orgYear() { return session().orgs().getOpenOrg()->year; }

    std::unique_ptr<setup::ReportWizard> wizard;
};

template <class T> T* find(QDialog& d, const char* name) {
    return d.findChild<T*>(QString::fromLatin1(name));
}

QStringList rowsOf(QDialog& d, const char* name) {
    QStringList rows;
    if (auto* list = find<QListWidget>(d, name))
        for (int row = 0; row < list->count(); ++row)
            rows << list->item(row)->text();
    else if (auto* combo = find<QComboBox>(d, name))
        for (int row = 0; row < combo->count(); ++row)
            rows << combo->itemText(row);
    return rows;
}

// Clicks `button` and tells whether that ended the page.
bool leaves(QDialog& d, const char* button) {
    bool ended = false;
    const QMetaObject::Connection watch =
        QObject::connect(&d, &QDialog::finished, [&ended] { ended = true; });
    click(d, button);
    QObject::disconnect(watch);
    return ended;
}

void selectRow(QDialog& d, const char* list, const QString& text) {
    auto* box = find<QListWidget>(d, list);
    ASSERT_NE(box, nullptr) << list;
    const QList<QListWidgetItem*> found = box->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    box->setCurrentItem(found.front());
}

void onPage(ScriptedHost& host, std::function<void(QDialog&)> act) {
    host.then(QStringLiteral("ReportWizardDialog"), std::move(act));
}

const auto next = [](QDialog& d) { EXPECT_TRUE(leaves(d, "Next")); };

TEST_F(ReportWizardTest, TheDeductionsReportOffersTheDemoDeductionsAndALoanMakesItALoanReport) {
    wizardFor(common::kReportDeductions);
    onPage(host, next); // the pay period
    onPage(host, [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("View Deductions Report"));
        EXPECT_EQ(find<QLabel>(d, "FieldLabel")->text(), QStringLiteral("Deduction"));
        EXPECT_EQ(
            rowsOf(d, "FieldList"),
            QStringList({"Overdraft Recovery", "Rounding C/F", "Rent", "Staff Loan",
                         "Salary Advance", "Staff Savings Scheme", "Tea Workers SACCOS",
                         "Tea Workers SACCOS Loan", "Highland SACCOS", "Rungwe Benevolent Fund",
                         "PSSSF Contribution", "NSSF Supplementary", "Union Dues"}));
        EXPECT_EQ(find<QListWidget>(d, "FieldList")->currentRow(), 0);
        selectRow(d, "FieldList", QStringLiteral("Staff Loan"));
        EXPECT_TRUE(leaves(d, "Next"));
    });
    onPage(host, [](QDialog& d) {
        EXPECT_NE(find<QComboBox>(d, "SelectionKind"), nullptr);
        EXPECT_TRUE(leaves(d, "OkButton"));
    });
    EXPECT_TRUE(run()) << ui->lastText();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(wizard->param().reportType, common::kReportCompanyLoan);
    EXPECT_EQ(wizard->param().fieldName, "Staff Loan");
}

TEST_F(ReportWizardTest, TheFundPageRefusesToGoOnWithoutACooperative) {
    wizardFor(common::kReportCoop);
    onPage(host, next);
    onPage(host, [this](QDialog& d) {
        EXPECT_EQ(find<QLabel>(d, "FundLabel")->text(), QStringLiteral("Co-operative:"));
        EXPECT_EQ(rowsOf(d, "FundList"),
                  QStringList({"Highland Staff SACCOS", "Mbeya Tea Workers SACCOS",
                               "Rungwe Tea Growers Coop"}));
        EXPECT_EQ(find<QListWidget>(d, "FundList")->currentRow(), -1);
        EXPECT_FALSE(find<QPushButton>(d, "Next")->isEnabled());
        EXPECT_TRUE(find<QPushButton>(d, "OkButton")->isDefault());
        EXPECT_FALSE(leaves(d, "OkButton"));
        EXPECT_EQ(wizard->lastFault(), setup::WizardField::Fund);
        EXPECT_FALSE(wizard->finished());
        selectRow(d, "FundList", QStringLiteral("Mbeya Tea Workers SACCOS"));
        EXPECT_TRUE(leaves(d, "OkButton"));
    });
    EXPECT_TRUE(run()) << ui->lastText();
    EXPECT_EQ(wizard->param().groupBy, common::kGroupByCoop);
    EXPECT_EQ(wizard->param().groupName, "Mbeya Tea Workers SACCOS");
}

TEST_F(ReportWizardTest, ThePensionFundPageOffersTheFunds) {
    wizardFor(common::kReportPensionFund);
    onPage(host, next);
    onPage(host, [](QDialog& d) {
        EXPECT_EQ(find<QLabel>(d, "FundLabel")->text(), QStringLiteral("Pension Fund:"));
        EXPECT_EQ(rowsOf(d, "FundList"), QStringList({"NSSF Supplementary", "PSSSF"}));
        click(d, "CancelButton");
    });
    EXPECT_FALSE(run());
    EXPECT_TRUE(host.steps.empty());
}

TEST_F(ReportWizardTest, TheProcessDatePageRefusesADateBeforeToday) {
    const date today{2030, 15, 6};
    wizardFor(common::kReportStandardCharteredFile, today);
    onPage(host, next);
    onPage(host, [](QDialog& d) {
        EXPECT_EQ(find<QLabel>(d, "FieldLabel")->text(), QStringLiteral("Payment"));
        EXPECT_EQ(rowsOf(d, "FieldList"), QStringList({"Net Pay", "Salary Advance"}));
        EXPECT_TRUE(leaves(d, "Next"));
    });
    onPage(host, [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Save Bank Transfer File"));
        EXPECT_EQ(
            rowsOf(d, "TransferBank"),
            QStringList({"Standard Chartered Bank", "Barclays Bank", "Citibank", "Stanbic Bank"}));
        EXPECT_EQ(find<QListWidget>(d, "TransferBank")->currentRow(), 0);
        EXPECT_EQ(find<QLineEdit>(d, "ProcessDay")->text(), QStringLiteral("15"));
        EXPECT_EQ(find<QComboBox>(d, "ProcessMonth")->currentText(), QStringLiteral("June"));
        EXPECT_EQ(find<QLineEdit>(d, "ProcessYear")->text(), QStringLiteral("2030"));
        struct Refused {
            const char* day;
            const char* month;
            const char* year;
            const char* message;
        };
        for (const Refused& row : {
                 Refused{"14", "June", "2030", "Process date can be no earlier than today."},
                 Refused{"31", "January", "2029", "Process date can be no earlier than today."},
                 Refused{"31", "June", "2030", "Entry for process day field is invalid."},
                 Refused{"0", "July", "2030", "Entry for process day field is invalid."},
                 Refused{"1", "July", "3001", "Entry for process year field is invalid."},
             }) {
            type(d, "ProcessDay", QString::fromLatin1(row.day));
            find<QComboBox>(d, "ProcessMonth")->setCurrentText(QString::fromLatin1(row.month));
            type(d, "ProcessYear", QString::fromLatin1(row.year));
            ui->texts.clear();
            EXPECT_FALSE(leaves(d, "OkButton")) << row.day << " " << row.month;
            EXPECT_EQ(ui->lastText(), row.message) << row.day << " " << row.month;
        }
        type(d, "ProcessDay", QStringLiteral("15"));
        find<QComboBox>(d, "ProcessMonth")->setCurrentText(QStringLiteral("June"));
        type(d, "ProcessYear", QStringLiteral("2030"));
        selectRow(d, "TransferBank", QStringLiteral("Citibank"));
        EXPECT_TRUE(leaves(d, "OkButton")) << ui->lastText();
    });
    EXPECT_TRUE(run());
    EXPECT_EQ(wizard->param().processDate, today);
    EXPECT_EQ(wizard->param().reportType, common::kReportCitibankFile);
    EXPECT_EQ(wizard->param().fieldName, "Net Pay");
}

TEST_F(ReportWizardTest, TheMusterRollsKindChoosesTheYearOrThePayPeriodPages) {
    wizardFor(common::kReportMusterRoll);
    onPage(host, [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("View Muster Roll"));
        EXPECT_TRUE(find<QRadioButton>(d, "KindPayPeriod")->isChecked());
        EXPECT_FALSE(find<QRadioButton>(d, "KindYear")->isChecked());
        EXPECT_FALSE(find<QPushButton>(d, "Back")->isEnabled());
        EXPECT_TRUE(find<QPushButton>(d, "Next")->isDefault());
        EXPECT_FALSE(find<QPushButton>(d, "OkButton")->isDefault());
        // Tab runs through the buttons as they stand.
        QStringList order;
        QWidget* first = find<QRadioButton>(d, "KindPayPeriod");
        for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain())
            if (qobject_cast<QPushButton*>(w))
                order << w->objectName();
        EXPECT_EQ(order, QStringList({"Back", "Next", "OkButton", "CancelButton", "HelpButton"}));
        find<QRadioButton>(d, "KindYear")->setChecked(true);
        EXPECT_TRUE(leaves(d, "Next"));
    });
    onPage(host, [this](QDialog& d) {
        // Half years are for the tax returns only.
        EXPECT_EQ(find<QLineEdit>(d, "RangeYear")->text(), QString::number(orgYear()));
        EXPECT_FALSE(find<QComboBox>(d, "FromMonth")->isEnabled());
        EXPECT_FALSE(find<QComboBox>(d, "ToMonth")->isEnabled());
        EXPECT_TRUE(leaves(d, "Back"));
    });
    onPage(host, [](QDialog& d) {
        EXPECT_TRUE(find<QRadioButton>(d, "KindYear")->isChecked());
        find<QRadioButton>(d, "KindPayPeriod")->setChecked(true);
        EXPECT_TRUE(leaves(d, "Next"));
    });
    onPage(host, [](QDialog& d) {
        EXPECT_NE(find<QComboBox>(d, "PayFrequency"), nullptr);
        EXPECT_EQ(find<QComboBox>(d, "FromMonth"), nullptr);
        EXPECT_TRUE(leaves(d, "Next"));
    });
    onPage(host, [](QDialog& d) {
        EXPECT_FALSE(find<QPushButton>(d, "Next")->isEnabled());
        EXPECT_TRUE(find<QPushButton>(d, "OkButton")->isDefault());
        EXPECT_TRUE(leaves(d, "OkButton"));
    });
    EXPECT_TRUE(run()) << ui->lastText();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(wizard->param().reportType, common::kReportPeriodMusterRoll);
}

TEST_F(ReportWizardTest, TheP9sYearRangeIsAHalfYearOrTheWholeYear) {
    wizardFor(common::kReportP9);
    onPage(host, [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("View P9 Report"));
        EXPECT_EQ(find<QPushButton>(d, "Next"), nullptr);
        EXPECT_EQ(find<QPushButton>(d, "Back"), nullptr);
        EXPECT_EQ(rowsOf(d, "FromMonth"), QStringList({"January", "July"}));
        EXPECT_EQ(rowsOf(d, "ToMonth"), QStringList({"June", "December"}));
        EXPECT_EQ(find<QComboBox>(d, "FromMonth")->currentText(), QStringLiteral("January"));
        EXPECT_EQ(find<QComboBox>(d, "ToMonth")->currentText(), QStringLiteral("December"));
        EXPECT_TRUE(find<QComboBox>(d, "FromMonth")->isEnabled());
        EXPECT_TRUE(find<QComboBox>(d, "ToMonth")->isEnabled());
        const QString year = QString::number(orgYear());
        struct Refused {
            QString year;
            const char* from;
            const char* to;
            const char* message;
        };
        for (const Refused& row : {
                 Refused{QStringLiteral("1899"), "January", "June", "Entry for year is invalid."},
                 Refused{QStringLiteral("3001"), "January", "June", "Entry for year is invalid."},
                 Refused{year, "July", "June", "Month range is not valid."},
             }) {
            type(d, "RangeYear", row.year);
            find<QComboBox>(d, "FromMonth")->setCurrentText(QString::fromLatin1(row.from));
            find<QComboBox>(d, "ToMonth")->setCurrentText(QString::fromLatin1(row.to));
            ui->texts.clear();
            EXPECT_FALSE(leaves(d, "OkButton")) << row.from;
            EXPECT_EQ(ui->lastText(), row.message) << row.from;
        }
        type(d, "RangeYear", year);
        find<QComboBox>(d, "FromMonth")->setCurrentText(QStringLiteral("July"));
        find<QComboBox>(d, "ToMonth")->setCurrentText(QStringLiteral("December"));
        EXPECT_TRUE(leaves(d, "OkButton")) << ui->lastText();
    });
    EXPECT_TRUE(run());
    EXPECT_EQ(wizard->param().period.year, orgYear());
    EXPECT_EQ(wizard->param().fromMonth, 7);
    EXPECT_EQ(wizard->param().toMonth, 12);
}

TEST_F(ReportWizardTest, TheLeaversRollAsksTheYearWithoutMonthsAndThenTheEmployees) {
    wizardFor(common::kReportLeavers);
    onPage(host, [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("View Leavers Roll"));
        EXPECT_FALSE(find<QComboBox>(d, "FromMonth")->isEnabled());
        EXPECT_FALSE(find<QComboBox>(d, "ToMonth")->isEnabled());
        type(d, "RangeYear", QStringLiteral("1899"));
        EXPECT_FALSE(leaves(d, "Next"));
        EXPECT_EQ(ui->lastText(), "Entry for year is invalid.");
        type(d, "RangeYear", QString::number(orgYear()));
        EXPECT_TRUE(leaves(d, "Next"));
    });
    onPage(host, [](QDialog& d) { EXPECT_TRUE(leaves(d, "OkButton")); });
    EXPECT_TRUE(run());
    EXPECT_EQ(wizard->param().fromMonth, 1);
    EXPECT_EQ(wizard->param().toMonth, 12);
}

TEST_F(ReportWizardTest, TheReturnMonthPageShowsTheCurrentMonthOfTheReturn) {
    wizardFor(common::kReportPayeReturn);
    const common::ORGREC org = *session().orgs().getOpenOrg();
    onPage(host, [this, &org](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("View PAYE Report"));
        EXPECT_EQ(find<QPushButton>(d, "Next"), nullptr);
        EXPECT_EQ(find<QLineEdit>(d, "ReturnYear")->text(), QString::number(org.year));
        EXPECT_EQ(rowsOf(d, "ReturnMonth").size(), 12);
        EXPECT_EQ(find<QComboBox>(d, "ReturnMonth")->currentText(),
                  QString::fromStdString(org.month));
        type(d, "ReturnYear", QStringLiteral("3001"));
        EXPECT_FALSE(leaves(d, "OkButton"));
        EXPECT_EQ(ui->lastText(), "Entry for year is invalid.");
        type(d, "ReturnYear", QString::number(org.year));
        EXPECT_TRUE(leaves(d, "OkButton")) << ui->lastText();
    });
    EXPECT_TRUE(run());
    EXPECT_EQ(wizard->param().period.year, org.year);
}

TEST_F(ReportWizardTest, TheWizardsHelpIsTheReportMenusPage) {
    wizardFor(common::kReportCoop);
    onPage(host, [this](QDialog& d) {
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "163.html");
        click(d, "CancelButton");
    });
    EXPECT_FALSE(run());
}

} // namespace
} // namespace kelo::app::testing
