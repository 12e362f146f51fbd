// The pay field definitions windows on the demo folder, opened from their
// commands and worked as a clerk works them.
#include "app/main/PayFieldsWindow.h"

#include "app/main/MainWindow.h"
#include "app/shell/CommandRules.h"
#include "app/shell/Commands.h"
#include "app/tests/DemoWindowFixture.h"
#include "app/tests/ScriptedHosts.h"
#include "database/PayFieldsFile.h"
#include "staffrecords/FieldsFrmControls.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>
#include <optional>

namespace kelo::app {
namespace {

using testing::click;
using testing::type;
namespace ff = staffrecords::fieldsfrm;

class PayFieldsWindowTest : public testing::DemoWindowFixture {
protected:
    PayFieldsWindow* open(int id) {
        window->runCommand(id);
        return dynamic_cast<PayFieldsWindow*>(window->documentWindow());
    }

    QStringList menuTitles() const {
        QStringList titles;
        for (QAction* action : window->menuBar()->actions())
            titles << action->text();
        return titles;
    }

    template <class Widget> static Widget* control(PayFieldsWindow& document, const char* name) {
        return document.findChild<Widget*>(QString::fromLatin1(name));
    }

    static QString position(PayFieldsWindow& document) {
        return control<QLabel>(document, ff::kPosition)->text();
    }

    static void choose(PayFieldsWindow& document, const char* name, const QString& item) {
        auto* combo = control<QComboBox>(document, name);
        ASSERT_NE(combo, nullptr) << name;
        const int row = combo->findText(item);
        ASSERT_GE(row, 0) << item.toStdString();
        combo->setCurrentIndex(row);
        emit combo->activated(row);
    }

    // The saved definition of the monthly payroll's item, if there is one.
    std::optional<common::PayItemDef> saved(common::FIELDSTABLE table, const std::string& name) {
        database::PayFieldTables tables;
        if (!database::readPayFields(session().ui(), session().folder(), common::MONTHLY, tables))
            return std::nullopt;
        for (const common::PayItemDef& def : tables[static_cast<std::size_t>(table)])
            if (def.itemName == name)
                return def;
        return std::nullopt;
    }
};

TEST_F(PayFieldsWindowTest, EachKindOpensWithItsTitleFieldMenuAndThePayrollsPeriod) {
    const QStringList before = menuTitles();
    const struct {
        int id;
        const char* title;
        const char* first;
    } kinds[] = {{cmd::Earnings, "Earnings", "Basic Pay"},
                 {cmd::Deductions, "Deductions", "Rent"},
                 {cmd::Benefits, "Benefits", "Motor Vehicle Benefit"},
                 {cmd::LumpSums, "Lump Sum Payments", ""},
                 {cmd::Refunds, "Refunds", ""}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.title);
        PayFieldsWindow* document = open(kind.id);
        ASSERT_NE(document, nullptr) << ui->lastText();
        EXPECT_EQ(document->windowTitle(), QString::fromLatin1(kind.title));
        EXPECT_EQ(document->objectName(), QStringLiteral("Fields Window"));
        EXPECT_EQ(window->commandContext().document, DocumentKind::PayFields);
        EXPECT_EQ(window->statusPart(1)->text(), QStringLiteral("Payroll for November 2026"));
        const QStringList titles = menuTitles();
        ASSERT_EQ(titles.size(), before.size() + 1);
        EXPECT_EQ(titles[1], QStringLiteral("Fi&eld"));
        EXPECT_TRUE(window->menuAction(cmd::Add)->isEnabled());
        EXPECT_EQ(window->menuAction(cmd::GoTo), nullptr);
        EXPECT_EQ(control<QLineEdit>(*document, ff::kName)->text(),
                  QString::fromLatin1(kind.first));
        window->runCommand(cmd::Close);
        EXPECT_EQ(window->documentWindow(), nullptr);
        EXPECT_EQ(menuTitles(), before);
        EXPECT_EQ(window->statusPart(1)->text(), QString());
    }
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(PayFieldsWindowTest, BuiltInItemsKeepTheirTypeAndFunction) {
    PayFieldsWindow* opened = open(cmd::Earnings);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    PayFieldsWindow& document = *opened;
    EXPECT_EQ(position(document), QStringLiteral("Field 1 of 4"));
    EXPECT_FALSE(control<QComboBox>(document, ff::kType)->isEnabled());
    EXPECT_FALSE(control<QComboBox>(document, ff::kFunction)->isEnabled());
    EXPECT_FALSE(control<QPushButton>(document, ff::kDelete)->isEnabled());
    EXPECT_FALSE(control<QPushButton>(document, ff::kFirst)->isEnabled());
    // The toolbar and the form's own buttons move alike.
    window->runCommand(cmd::Next);
    control<QPushButton>(document, ff::kNext)->click();
    EXPECT_EQ(position(document), QStringLiteral("Field 3 of 4"));
    EXPECT_EQ(control<QLineEdit>(document, ff::kName)->text(), QStringLiteral("Housing Allowance"));
    EXPECT_TRUE(control<QComboBox>(document, ff::kType)->isEnabled());
    EXPECT_EQ(control<QPushButton>(document, ff::kFunctionButton)->text(),
              QStringLiteral("Limits..."));
    window->runCommand(cmd::Last);
    EXPECT_EQ(position(document), QStringLiteral("Field 4 of 4"));
    EXPECT_FALSE(control<QPushButton>(document, ff::kLast)->isEnabled());
    window->runCommand(cmd::First);
    EXPECT_EQ(position(document), QStringLiteral("Field 1 of 4"));
    window->runCommand(cmd::Delete); // a built-in item: a beep only
    EXPECT_EQ(position(document), QStringLiteral("Field 1 of 4"));
    window->runCommand(cmd::Close);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(PayFieldsWindowTest, AClerkAddsAnEarningWithItsPercentageAndItIsSaved) {
    PayFieldsWindow* opened = open(cmd::Earnings);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    PayFieldsWindow& document = *opened;
    window->runCommand(cmd::Add);
    EXPECT_EQ(position(document), QStringLiteral("Field 5 of 5"));
    EXPECT_EQ(control<QComboBox>(document, ff::kType)->currentText(), QStringLiteral("Default"));
    EXPECT_EQ(control<QComboBox>(document, ff::kFunction)->currentText(), QStringLiteral("Key in"));
    EXPECT_TRUE(control<QCheckBox>(document, ff::kTaxable)->isChecked());
    control<QLineEdit>(document, ff::kName)->setText(QStringLiteral("Responsibility Allowance"));
    choose(document, ff::kFunction, QStringLiteral("Percentage of Basic Pay"));
    auto* parameters = control<QPushButton>(document, ff::kFunctionButton);
    ASSERT_TRUE(parameters->isVisibleTo(&document));
    EXPECT_EQ(parameters->text(), QStringLiteral("Percentage..."));
    host.then(QStringLiteral("PercentageDialog"), [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Percentage"));
        auto* lower =
            d.findChild<QLineEdit*>(QString::fromLatin1(staffrecords::limitsdlg::kLowerLimit));
        ASSERT_NE(lower, nullptr);
        EXPECT_FALSE(lower->isEnabled());
        testing::check(d, staffrecords::limitsdlg::kApplyLimits, true);
        EXPECT_TRUE(lower->isEnabled());
        type(d, staffrecords::limitsdlg::kPercentage, QStringLiteral("7.5"));
        type(d, staffrecords::limitsdlg::kLowerLimit, QStringLiteral("300000"));
        type(d, staffrecords::limitsdlg::kUpperLimit, QStringLiteral("100000"));
        click(d, "OkButton"); // the limits the wrong way round: the dialog stays
        EXPECT_EQ(ui->lastText(), "The lower limit must not exceed the upper limit.");
        type(d, staffrecords::limitsdlg::kLowerLimit, QStringLiteral("0"));
        click(d, "OkButton");
    });
    parameters->click();
    EXPECT_TRUE(host.steps.empty());
    EXPECT_FALSE(saved(common::EARNINGS, "Responsibility Allowance"));

    window->runCommand(cmd::Save);
    const std::optional<common::PayItemDef> def =
        saved(common::EARNINGS, "Responsibility Allowance");
    ASSERT_TRUE(def);
    EXPECT_EQ(def->position, 5);
    EXPECT_EQ(def->itemType, "Default");
    EXPECT_EQ(def->itemFunction, "Percentage of Basic Pay");
    EXPECT_FLOAT_EQ(def->funcParams.percentage, 7.5f);
    EXPECT_EQ(def->applyLimits, 1);
    EXPECT_EQ(def->upperLimit, 100000);
    EXPECT_EQ(def->taxable, 1);
    EXPECT_EQ(ui->texts.size(), 1u);
    window->runCommand(cmd::Close);
    EXPECT_EQ(window->documentWindow(), nullptr);
}

TEST_F(PayFieldsWindowTest, ANewItemWithoutANameKeepsTheWindowOpenUntilDeleted) {
    PayFieldsWindow* opened = open(cmd::Benefits);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    window->runCommand(cmd::Add);
    window->runCommand(cmd::Close);
    ASSERT_NE(window->documentWindow(), nullptr);
    EXPECT_EQ(ui->lastText(), "The field name must not be blank. Please enter a value.");
    EXPECT_EQ(window->commandContext().document, DocumentKind::PayFields);
    ui->answers.push_back(QMessageBox::Yes);
    window->runCommand(cmd::Delete);
    EXPECT_EQ(ui->lastText(), "Are you sure you want to delete this field?");
    EXPECT_EQ(position(*opened), QStringLiteral("Field 1 of 1"));
    window->runCommand(cmd::Close);
    EXPECT_EQ(window->documentWindow(), nullptr);
}

TEST_F(PayFieldsWindowTest, ACooperativeDeductionNamesItsCooperative) {
    PayFieldsWindow* opened = open(cmd::Deductions);
    ASSERT_NE(opened, nullptr) << ui->lastText();
    PayFieldsWindow& document = *opened;
    window->runCommand(cmd::Add);
    control<QLineEdit>(document, ff::kName)->setText(QStringLiteral("Highland Welfare"));
    choose(document, ff::kType, QStringLiteral("Co-op Benevolent Fund"));
    auto* coop = control<QPushButton>(document, ff::kTypeButton);
    ASSERT_TRUE(coop->isVisibleTo(&document));
    EXPECT_EQ(coop->text(), QStringLiteral("Co-operative..."));
    host.then(QStringLiteral("SelectNameDialog"), [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Select Name"));
        auto* names = d.findChild<QListWidget*>(QString::fromLatin1(staffrecords::fundsdlg::kName));
        ASSERT_NE(names, nullptr);
        const auto found =
            names->findItems(QStringLiteral("Highland Staff SACCOS"), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        names->setCurrentItem(found.front());
        click(d, "OkButton");
    });
    coop->click();
    EXPECT_TRUE(host.steps.empty());
    window->runCommand(cmd::Save);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    const std::optional<common::PayItemDef> def = saved(common::DEDUCTIONS, "Highland Welfare");
    ASSERT_TRUE(def);
    EXPECT_EQ(def->itemType, "Co-op Benevolent Fund");
    EXPECT_TRUE(def->link.has_value());
    window->runCommand(cmd::Close);
}

TEST_F(PayFieldsWindowTest, AUserWithoutTheRightToModifyPayrollFieldsCannotOpenThem) {
    start(QStringLiteral("asha")); // the personnel clerk
    for (int id = cmd::Earnings; id <= cmd::Refunds; ++id) {
        EXPECT_EQ(window->menuAction(id), nullptr) << id;
        window->runCommand(id);
        EXPECT_EQ(window->documentWindow(), nullptr) << id;
    }
}

TEST_F(PayFieldsWindowTest, HelpShowsTheWindowsPage) {
    ASSERT_NE(open(cmd::Refunds), nullptr) << ui->lastText();
    window->runCommand(cmd::HelpContents);
    EXPECT_EQ(window->help().currentPage().toStdString(), "175.html");
    window->runCommand(cmd::Close);
}

} // namespace
} // namespace kelo::app
