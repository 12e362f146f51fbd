// The screenshot run's pictures of the Report Preview window.
#include "app/main/AutomationHosts.h"
#include "app/main/MainWindow.h"
#include "app/main/ReportPreview.h"
#include "payrunreports/Payslips.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodDbEx.h"
#include "setup/Orgs.h"
#include "setup/ReportWizard.h"

#include <QApplication>

namespace kelo::app {

// The payslips of the current period for everyone, as the wizard's
// defaults give them, on the first and second page.
void pictureReportPreview(MainWindow& window, ScreenshotHost& pictures) {
    constexpr int kPayslips = 34;
    // The wizard's first page, pictured and cancelled.
    window.runCommand(cmd::Payslips);
    Session& session = window.session();
    common::Ui& ui = session.ui();
    const common::ORGREC org = *session.orgs().getOpenOrg();
    const setup::ReportWizard defaults(ui, session.code(), session.folder(), org, kPayslips);
    const common::REPORTPARAM param = defaults.param();
    payrunreports::PERIODDB writer(ui, session.code(), session.folder());
    payrunreports::PERIODDBEX reader(ui, session.code(), session.folder());
    if (!payrunreports::preparePeriodFile(ui, writer, reader, param, org))
        return;
    auto report =
        std::make_unique<payrunreports::PAYSLIPSREP>(ui, session.code(), session.folder(), param);
    if (!report->readFile(org))
        return;
    report->sort();
    report->layOut();
    if (!window.openReport(std::move(report), kPayslips, "Payslips"))
        return;
    QApplication::processEvents();
    pictures.save(window, QStringLiteral("ReportPreview"));
    window.runCommand(cmd::Next);
    window.runCommand(1706);
    QApplication::processEvents();
    pictures.save(window, QStringLiteral("ReportPreview-Page2"));
    window.runCommand(cmd::Close);
}

} // namespace kelo::app
