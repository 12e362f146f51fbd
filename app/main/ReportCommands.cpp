// The report commands: the parameters wizard, the report's preparation and
// reading, and the preview.
#include "app/main/ReportCommands.h"

#include "app/main/MainWindow.h"
#include "app/main/ReportWizardDialog.h"
#include "app/ports/QtUi.h"
#include "monthlyreturns/MonthRep.h"
#include "payrunreports/BankTransfer.h"
#include "reporting/OpenReport.h"
#include "setup/Orgs.h"
#include "setup/ReportWizard.h"

#include <algorithm>
#include <iterator>

namespace kelo::app {

namespace {

struct ReportCommand {
    int id;
    std::int32_t code;
};

// The Report menu's commands and the codes their wizards start from.
constexpr ReportCommand kReportCommands[] = {
    {1201, common::kReportPosts},
    {1202, common::kReportEmployees},
    {1203, common::kReportLeavers},
    {1204, common::kReportEmployeeMaster},
    {1205, common::kReportLeaverMaster},
    {1206, common::kReportLengthOfService},
    {1207, common::kReportHierarchy},
    {1211, common::kReportPayslips},
    {1212, common::kReportPayrollSummary},
    {1214, common::kReportEmployeePaySummary},
    {1213, common::kReportMusterRoll},
    {1215, common::kReportControlAccount},
    {1221, common::kReportEarnings},
    {1222, common::kReportDeductions},
    {1223, common::kReportBenefits},
    {1224, common::kReportLumpSums},
    {1225, common::kReportRefunds},
    {1231, common::kReportCashList},
    {1232, common::kReportChequeList},
    {1233, common::kReportBankTransfer},
    {1234, common::kReportCoinage},
    {1245, common::kReportLumpSumTax},
    {1247, common::kReportCoop},
    {1248, common::kReportPensionFund},
    {1249, common::kReportLowInterestBenefit},
    {1241, common::kReportPayeReturn},
    {1242, common::kReportNssfReturn},
    {1243, common::kReportSdlReturn},
    {1244, monthlyreturns::kReportWcfReturn},
    {1251, common::kReportP9},
    {1252, common::kReportP10},
    {1253, common::kReportItx215},
    {1261, common::kReportAbsenceAnalysis},
    {1262, common::kReportAnnualLeaveAnalysis},
    {1263, common::kReportAbsenceLeaveDetails},
    {1264, common::kReportLeaveBooked},
};

// The wizard of the bank transfer file starts from Barclays.
constexpr std::int32_t kBankFileWizard = common::kReportBarclaysFile;

} // namespace

std::optional<std::int32_t> reportCodeOf(int commandId) {
    const auto found =
        std::find_if(std::begin(kReportCommands), std::end(kReportCommands),
                     [commandId](const ReportCommand& c) { return c.id == commandId; });
    if (found == std::end(kReportCommands))
        return std::nullopt;
    return found->code;
}

std::unique_ptr<common::REPORTBASE> openFamilyReport(Session& session, common::Ui& ui,
                                                     const common::REPORTPARAM& param,
                                                     const common::ORGREC& org) {
    return reporting::openReport(ui, session.code(), session.folder(), param, org);
}

void MainWindow::viewReport(int commandId) {
    const std::optional<std::int32_t> code = reportCodeOf(commandId);
    if (document_ || !code)
        return;
    Session& session = *session_;
    common::Ui& ui = *ui_;
    const common::ORGREC org = *session.orgs().getOpenOrg();
    context_.reportCode = *code;
    setup::ReportWizard wizard(ui, session.code(), session.folder(), org, *code);
    if (runReportWizard(dialogContext(), wizard)) {
        // The wizard's pages may have made another report of it.
        const common::REPORTPARAM& param = wizard.param();
        std::unique_ptr<common::REPORTBASE> report = openFamilyReport(session, ui, param, org);
        if (report) {
            const std::string caption = report->caption();
            openReport(std::move(report), param.reportType, caption);
        }
    }
    if (!document_)
        context_.reportCode = 0;
}

void MainWindow::saveBankTransferFile() {
    if (document_)
        return;
    Session& session = *session_;
    common::Ui& ui = *ui_;
    setup::ORGS& orgs = session.orgs();
    context_.reportCode = kBankFileWizard;
    setup::ReportWizard wizard(ui, session.code(), session.folder(), *orgs.getOpenOrg(),
                               kBankFileWizard);
    if (runReportWizard(dialogContext(), wizard))
        payrunreports::saveBankTransferFile(ui, session.code(), session.folder(), wizard.param(),
                                            *orgs.getOpenOrg(), [&orgs] { orgs.incrBTrFileID(); });
    context_.reportCode = 0;
}

} // namespace kelo::app
