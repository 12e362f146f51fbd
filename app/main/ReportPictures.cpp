// The screenshot run's pictures of the Report Preview window.
#include "app/main/AutomationHosts.h"
#include "app/main/MainWindow.h"
#include "app/main/ReportCommands.h"
#include "app/main/ReportPreview.h"
#include "setup/Orgs.h"
#include "setup/ReportWizard.h"

#include <QApplication>

#include <optional>
#include <string>

namespace kelo::app {

namespace {

// Opens the report of `code` on the wizard's defaults, with the pay field
// (the fund of a pension fund report) or report kind a clerk would choose;
// false when it does not open.
bool openDefaultReport(MainWindow& window, std::int32_t code,
                       const std::optional<std::string>& field = std::nullopt) {
    Session& session = window.session();
    common::Ui& ui = session.ui();
    const common::ORGREC org = *session.orgs().getOpenOrg();
    setup::ReportWizard wizard(ui, session.code(), session.folder(), org, code);
    if (code == common::kReportMusterRoll || code == common::kReportControlAccount)
        wizard.applyReportKind(setup::ReportWizard::ReportKind::PayPeriod);
    if (code == common::kReportPensionFund && !wizard.applyFund(*field))
        return false;
    if (code != common::kReportPensionFund && field &&
        !(wizard.loadFieldChoices() && wizard.applyPayField(*field)))
        return false;
    const common::REPORTPARAM param = wizard.param();
    auto report = openFamilyReport(session, ui, param, org);
    if (!report)
        return false;
    const std::string caption = report->caption();
    const bool opened = window.openReport(std::move(report), param.reportType, caption);
    QApplication::processEvents();
    return opened;
}

} // namespace

// The payslips of the current period for everyone, as the wizard's
// defaults give them, on the first and second page; then the first page of
// each other pay-run report.
void pictureReportPreview(MainWindow& window, ScreenshotHost& pictures) {
    // The wizard's first page, pictured and cancelled.
    window.runCommand(cmd::Payslips);
    if (openDefaultReport(window, common::kReportPayslips)) {
        pictures.save(window, QStringLiteral("ReportPreview"));
        window.runCommand(cmd::Next);
        window.runCommand(1706);
        QApplication::processEvents();
        pictures.save(window, QStringLiteral("ReportPreview-Page2"));
        window.runCommand(cmd::Close);
    }
    struct Picture {
        std::int32_t code;
        std::optional<std::string> field;
        const char* name;
    };
    const Picture others[] = {
        {common::kReportPayrollSummary, std::nullopt, "Summary"},
        {common::kReportMusterRoll, std::nullopt, "MusterRoll"},
        {common::kReportControlAccount, std::nullopt, "ControlAccount"},
        {common::kReportEarnings, "Basic Pay", "BasicPay"},
        {common::kReportDeductions, "Rent", "Deductions"},
        {common::kReportCashList, "Net Pay", "CashList"},
        {common::kReportCoinage, "Net Pay", "Coinage"},
        {common::kReportChequeList, "Net Pay", "ChequeList"},
        {common::kReportBankTransfer, "Net Pay", "BankTransferReport"},
        {common::kReportPensionFund, "PSSSF", "PensionFund"},
        {common::kReportAbsenceAnalysis, std::nullopt, "AbsenceAnalysis"},
        {common::kReportPosts, std::nullopt, "Posts"},
        {common::kReportPayeReturn, std::nullopt, "PayeReturn"},
        {common::kReportNssfReturn, std::nullopt, "NssfReturn"},
        {common::kReportSdlReturn, std::nullopt, "SdlReturn"},
        {common::kReportP9, std::nullopt, "P9"},
        {common::kReportP10, std::nullopt, "P10"},
        {common::kReportItx215, std::nullopt, "Itx215"},
        {common::kReportEmployeePaySummary, std::nullopt, "EmployeePaySummary"},
        {common::kReportEmployees, std::nullopt, "Employees"},
        {common::kReportLengthOfService, std::nullopt, "LengthOfService"},
        {common::kReportHierarchy, std::nullopt, "Hierarchy"},
        {common::kReportEmployeeMaster, std::nullopt, "EmployeeMaster"},
        {common::kReportAnnualLeaveAnalysis, std::nullopt, "AnnualLeaveAnalysis"},
        {common::kReportAbsenceLeaveDetails, std::nullopt, "AbsenceLeaveDetails"},
    };
    for (const Picture& picture : others) {
        if (!openDefaultReport(window, picture.code, picture.field))
            continue;
        pictures.save(window, QStringLiteral("ReportPreview-") + QString::fromLatin1(picture.name));
        window.runCommand(cmd::Close);
    }
}

} // namespace kelo::app
