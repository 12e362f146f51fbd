#include "app/main/ReportWizardDialog.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/ports/QtText.h"
#include "setup/ReportWizard.h"
#include "setup/ReportWizardControls.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kelo::app {

namespace {

using setup::WizardMove;
using setup::WizardPage;

// What ended one page's dialog besides OK and Cancel.
constexpr int kMoved = 2;
// The Report menu's help page.
constexpr int kReportsHelp = 163;

bool isBuilt(WizardPage page) {
    return page == WizardPage::Selection || page == WizardPage::PayPeriod;
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
    dialog.addEdit(c::Year, QStringLiteral("Year"), 4);
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

// Shows the wizard's current page; Rejected, Accepted (finished) or kMoved.
int runPage(const DialogContext& context, setup::ReportWizard& wizard, WizardPage page) {
    namespace w = setup::reportwizarddlg;
    FormDialog dialog(context.parent, "ReportWizardDialog", toQString(wizard.plan().title));
    if (page == WizardPage::Selection)
        buildSelection(dialog, wizard);
    else
        buildPayPeriod(dialog, wizard);
    const auto leave = [&dialog, &wizard](WizardMove move) {
        if (!wizard.leavePage(dialog.view(), move))
            return false;
        if (!wizard.finished())
            dialog.done(kMoved);
        return wizard.finished();
    };
    dialog.addButtons(
        QStringLiteral("OK"), [leave] { return leave(WizardMove::Ok); }, &context.help,
        kReportsHelp);
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    if (buttons && wizard.showsNextBack()) {
        QPushButton* back =
            buttons->addButton(QStringLiteral("< &Back"), QDialogButtonBox::ActionRole);
        back->setObjectName(QString::fromLatin1(w::Back));
        back->setEnabled(wizard.canGoBack());
        QObject::connect(back, &QPushButton::clicked, &dialog,
                         [leave] { leave(WizardMove::Back); });
        QPushButton* next =
            buttons->addButton(QStringLiteral("&Next >"), QDialogButtonBox::ActionRole);
        next->setObjectName(QString::fromLatin1(w::Next));
        next->setEnabled(wizard.canGoNext());
        QObject::connect(next, &QPushButton::clicked, &dialog,
                         [leave] { leave(WizardMove::Next); });
    }
    return context.host.exec(dialog);
}

} // namespace

bool runReportWizard(const DialogContext& context, setup::ReportWizard& wizard) {
    for (WizardPage page : wizard.plan().pages)
        if (!isBuilt(page))
            return false;
    while (!wizard.finished()) {
        const std::optional<WizardPage> page = wizard.currentPage();
        if (!page)
            return false;
        const int result = runPage(context, wizard, *page);
        if (result == QDialog::Rejected)
            return false;
    }
    return true;
}

} // namespace kelo::app
