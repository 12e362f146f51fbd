// The report commands: the parameters wizard, the report's preparation and
// reading, and the preview.
#include "app/main/MainWindow.h"
#include "app/main/ReportWizardDialog.h"
#include "app/ports/QtUi.h"
#include "payrunreports/Payslips.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodDbEx.h"
#include "setup/Orgs.h"
#include "setup/ReportWizard.h"

namespace kelo::app {

void MainWindow::viewPayslips() {
    constexpr int kPayslips = 34;
    if (document_)
        return;
    Session& session = *session_;
    common::Ui& ui = *ui_;
    const common::ORGREC org = *session.orgs().getOpenOrg();
    context_.reportCode = kPayslips;
    setup::ReportWizard wizard(ui, session.code(), session.folder(), org, kPayslips);
    if (runReportWizard(dialogContext(), wizard)) {
        const common::REPORTPARAM& param = wizard.param();
        auto report = std::make_unique<payrunreports::PAYSLIPSREP>(ui, session.code(),
                                                                   session.folder(), param);
        bool read = false;
        {
            const common::WaitCursor wait(ui);
            payrunreports::PERIODDB writer(ui, session.code(), session.folder());
            payrunreports::PERIODDBEX reader(ui, session.code(), session.folder());
            read = payrunreports::preparePeriodFile(ui, writer, reader, param, org) &&
                   report->readFile(org);
            if (read) {
                report->sort();
                report->layOut();
            }
        }
        if (read) {
            const std::string caption = report->caption();
            openReport(std::move(report), kPayslips, caption);
        }
    }
    if (!document_)
        context_.reportCode = 0;
}

} // namespace kelo::app
