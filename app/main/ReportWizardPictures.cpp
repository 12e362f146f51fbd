// The screenshot run's pictures of the report parameters wizard's pages.
#include "app/main/AutomationHosts.h"
#include "app/main/MainWindow.h"
#include "app/main/ReportWizardDialog.h"
#include "app/main/ReportWizardPages.h"
#include "setup/Orgs.h"
#include "setup/ReportWizard.h"

#include <QAbstractButton>
#include <QDialog>

#include <set>

namespace kelo::app {

namespace {

// Pictures each page the first time it is shown and walks on with Next;
// the last page is cancelled. Other dialogs go to the screenshot host.
class WizardPictureHost : public DialogHost {
public:
    WizardPictureHost(ScreenshotHost& pictures, std::set<setup::WizardPage>& pictured)
        : pictures_(pictures),
          pictured_(pictured) {}
    void follow(const setup::ReportWizard* wizard) { wizard_ = wizard; }

    int exec(QDialog& dialog) override {
        if (dialog.objectName() != QLatin1String("ReportWizardDialog") || !wizard_)
            return pictures_.exec(dialog);
        const std::optional<setup::WizardPage> page = wizard_->currentPage();
        if (page && pictured_.insert(*page).second)
            pictures_.save(
                dialog,
                QStringLiteral("ReportWizardDialog-%1").arg(QLatin1String(wizardPageName(*page))));
        bool finished = false;
        const QMetaObject::Connection watch =
            QObject::connect(&dialog, &QDialog::finished, [&finished] { finished = true; });
        auto* next = dialog.findChild<QAbstractButton*>(QStringLiteral("Next"));
        if (next && next->isEnabled())
            next->click();
        QObject::disconnect(watch);
        if (finished)
            return dialog.result();
        dialog.reject();
        return QDialog::Rejected;
    }

private:
    ScreenshotHost& pictures_;
    std::set<setup::WizardPage>& pictured_;
    const setup::ReportWizard* wizard_ = nullptr;
};

} // namespace

void pictureReportWizard(MainWindow& window, ScreenshotHost& pictures) {
    Session& session = window.session();
    const common::ORGREC org = *session.orgs().getOpenOrg();
    std::set<setup::WizardPage> pictured;
    WizardPictureHost host(pictures, pictured);
    const DialogContext context{session, host, window.help(), &window};
    // The muster roll's kind, the deductions' field, the pay run's period
    // and selection, a co-operative, a bank transfer file's date, the P9's
    // months and the PAYE return's month.
    for (const std::int32_t code : {32, 41, 55, 91, 80, 71}) {
        setup::ReportWizard wizard(session.ui(), session.code(), session.folder(), org, code);
        host.follow(&wizard);
        runReportWizard(context, wizard);
        host.follow(nullptr);
    }
}

} // namespace kelo::app
