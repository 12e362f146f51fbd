// The controls of each report wizard page; what they hold and what a
// choice does is the wizard's.
#include "app/main/ReportWizardPages.h"

#include "app/main/FormDialog.h"
#include "setup/ReportWizardControls.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTreeWidget>

namespace kelo::app {

namespace {

using setup::WizardPage;

// A list box under its caption; Alt and the caption's letter reach it.
QListWidget* addCaptionedList(FormDialog& dialog, const char* name, const QString& caption,
                              const char* captionName = nullptr) {
    QLabel* label = dialog.addText(caption);
    label->setWordWrap(false);
    if (captionName)
        label->setObjectName(QString::fromLatin1(captionName));
    QListWidget* list = dialog.addListBox(name);
    label->setBuddy(list);
    return list;
}

// A box of a few digits keeps to their width.
QLineEdit* addNumber(FormDialog& dialog, const char* name, const QString& label, int digits) {
    QLineEdit* edit = dialog.addEdit(name, label, digits);
    edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * (digits + 6));
    return edit;
}

// A few fixed rows need no empty space below them.
void fitRows(QListWidget& list) {
    if (list.count() == 0)
        return;
    list.setFixedHeight(list.sizeHintForRow(0) * list.count() + 2 * list.frameWidth());
}

void buildSelection(FormDialog& dialog, setup::ReportWizard& wizard) {
    namespace c = setup::selectionpage;
    QComboBox* kind = dialog.addList(c::Kind, QStringLiteral("Select employees by:"));
    dialog.beginGroup(c::Frame, QString());
    dialog.addStatic(c::Prompt, QString());
    auto* names = new QTreeWidget(&dialog);
    names->setObjectName(QString::fromLatin1(c::Names));
    names->setHeaderHidden(true);
    names->setMinimumHeight(names->fontMetrics().height() * 12);
    auto* group = dialog.findChild<QGroupBox*>(QString::fromLatin1(c::Frame));
    if (auto* layout = group ? qobject_cast<QFormLayout*>(group->layout()) : nullptr)
        layout->addRow(names);
    dialog.endGroup();
    wizard.initPage(dialog.view());
    QObject::connect(kind, &QComboBox::currentIndexChanged, &dialog,
                     [&dialog, &wizard] { wizard.selectionKindChanged(dialog.view()); });
}

void buildPayPeriod(FormDialog& dialog, setup::ReportWizard& wizard) {
    namespace c = setup::payperiodpage;
    QComboBox* frequency = dialog.addList(c::Frequency, QStringLiteral("Pay Frequency"));
    addNumber(dialog, c::Year, QStringLiteral("Year"), 4);
    dialog.addList(c::Month, QStringLiteral("Month"));
    QComboBox* day = dialog.addList(c::Day, QStringLiteral("Day:"));
    // The day's caption changes with the frequency, so it is a named control.
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->buddy() == day)
            label->setObjectName(QString::fromLatin1(c::DayLabel));
    wizard.initPage(dialog.view());
    QObject::connect(frequency, &QComboBox::currentIndexChanged, &dialog,
                     [&dialog, &wizard] { wizard.payFrequencyChanged(dialog.view()); });
}

void buildYearRange(FormDialog& dialog, setup::ReportWizard& wizard) {
    namespace c = setup::yearrangepage;
    addNumber(dialog, c::Year, QStringLiteral("Year"), 4);
    dialog.addList(c::FromMonth, QStringLiteral("From:"));
    dialog.addList(c::ToMonth, QStringLiteral("To:"));
    wizard.initPage(dialog.view());
}

void buildReturnMonth(FormDialog& dialog, setup::ReportWizard& wizard) {
    namespace c = setup::returnmonthpage;
    addNumber(dialog, c::Year, QStringLiteral("Year"), 4);
    dialog.addList(c::Month, QStringLiteral("Month"));
    wizard.initPage(dialog.view());
}

void buildPayField(FormDialog& dialog, setup::ReportWizard& wizard) {
    namespace c = setup::payfieldpage;
    // The caption names the kind of item the report is about.
    addCaptionedList(dialog, c::List, QString(), c::Label);
    wizard.initPage(dialog.view());
}

void buildFund(FormDialog& dialog, setup::ReportWizard& wizard) {
    namespace c = setup::fundpage;
    addCaptionedList(dialog, c::List, QString(), c::Label);
    wizard.initPage(dialog.view());
}

void buildProcessDate(FormDialog& dialog, setup::ReportWizard& wizard) {
    namespace c = setup::processdatepage;
    // Alt+B is Back's.
    QListWidget* banks = addCaptionedList(dialog, c::Bank, QStringLiteral("Ban&k"));
    dialog.beginGroup("ProcessDateFrame", QStringLiteral("Process date"));
    addNumber(dialog, c::Day, QStringLiteral("Day"), 2);
    dialog.addList(c::Month, QStringLiteral("Month"));
    addNumber(dialog, c::Year, QStringLiteral("Year"), 4);
    dialog.endGroup();
    wizard.initPage(dialog.view());
    fitRows(*banks);
}

void buildReportKind(FormDialog& dialog, setup::ReportWizard& wizard) {
    namespace c = setup::reportkindpage;
    dialog.beginGroup("ReportKindFrame", QStringLiteral("Report kind"));
    dialog.addRadio(c::PayPeriod, QStringLiteral("&Pay period"));
    dialog.addRadio(c::Month, QStringLiteral("&Month"));
    dialog.addRadio(c::WholeYear, QStringLiteral("&Year"));
    dialog.endGroup();
    wizard.initPage(dialog.view());
}

} // namespace

void buildWizardPage(FormDialog& dialog, setup::ReportWizard& wizard, WizardPage page) {
    switch (page) {
    case WizardPage::Selection:
        return buildSelection(dialog, wizard);
    case WizardPage::PayPeriod:
        return buildPayPeriod(dialog, wizard);
    case WizardPage::YearRange:
        return buildYearRange(dialog, wizard);
    case WizardPage::ReturnMonth:
        return buildReturnMonth(dialog, wizard);
    case WizardPage::PayField:
        return buildPayField(dialog, wizard);
    case WizardPage::Fund:
        return buildFund(dialog, wizard);
    case WizardPage::ProcessDate:
        return buildProcessDate(dialog, wizard);
    case WizardPage::ReportKind:
        return buildReportKind(dialog, wizard);
    }
}

const char* wizardPageName(WizardPage page) {
    switch (page) {
    case WizardPage::Selection:
        return "Selection";
    case WizardPage::PayPeriod:
        return "PayPeriod";
    case WizardPage::YearRange:
        return "YearRange";
    case WizardPage::ReturnMonth:
        return "ReturnMonth";
    case WizardPage::PayField:
        return "PayField";
    case WizardPage::Fund:
        return "Fund";
    case WizardPage::ProcessDate:
        return "ProcessDate";
    case WizardPage::ReportKind:
        return "ReportKind";
    }
    return "";
}

} // namespace kelo::app
