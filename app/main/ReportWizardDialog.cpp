#include "app/main/ReportWizardDialog.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/ReportWizardPages.h"
#include "app/ports/QtText.h"
#include "setup/ReportWizard.h"
#include "setup/ReportWizardControls.h"

#include <QDialogButtonBox>
#include <QPushButton>

namespace kelo::app {

namespace {

using setup::WizardMove;
using setup::WizardPage;

// What ended one page's dialog besides OK and Cancel.
constexpr int kMoved = 2;
// The Report menu's help page.
constexpr int kReportsHelp = 163;

// Shows the wizard's current page; Rejected, Accepted (finished) or kMoved.
int runPage(const DialogContext& context, setup::ReportWizard& wizard, WizardPage page) {
    namespace w = setup::reportwizarddlg;
    FormDialog dialog(context.parent, "ReportWizardDialog", toQString(wizard.plan().title));
    buildWizardPage(dialog, wizard, page);
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
        // Back, Next, OK, Cancel, Help, on the screen and for Tab alike.
        QPushButton* ok = dialog.button("OkButton");
        QPushButton* cancel = dialog.button("CancelButton");
        QPushButton* help = dialog.button("HelpButton");
        if (ok && cancel && help) {
            buttons->removeButton(ok);
            buttons->addButton(ok, QDialogButtonBox::ActionRole);
            QWidget::setTabOrder(back, next);
            QWidget::setTabOrder(next, ok);
            QWidget::setTabOrder(ok, cancel);
            QWidget::setTabOrder(cancel, help);
        }
        // Enter walks the pages up to the last, where it is OK.
        if (wizard.canGoNext())
            next->setDefault(true);
    }
    fitCaption(dialog);
    return context.host.exec(dialog);
}

} // namespace

bool runReportWizard(const DialogContext& context, setup::ReportWizard& wizard) {
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
