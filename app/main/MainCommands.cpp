// The main window's start-up and its command dispatch.
#include "app/main/DialogHost.h"
#include "app/main/DocumentWindow.h"
#include "app/main/ImportPreviewDialog.h"
#include "app/main/LookupListDialogs.h"
#include "app/main/MainWindow.h"
#include "app/main/MonthEndDialogs.h"
#include "app/main/OrganisationDialogs.h"
#include "app/main/ProcedureDialogs.h"
#include "app/main/ReportCommands.h"
#include "app/main/ReportOptionsDialogs.h"
#include "app/main/StartDialogs.h"
#include "app/main/StatutoryTableDialogs.h"
#include "app/main/TreeDialogs.h"
#include "app/main/UserDialogs.h"
#include "app/ports/QtUi.h"
#include "dataexchange/ImportCommands.h"
#include "setup/Orgs.h"
#include "setup/Users.h"

namespace kelo::app {

bool MainWindow::startUp() {
    Session& session = *session_;
    const DialogContext dialogs = dialogContext();
    if (!session.appConfig().readFile(*ui_) || !runStartDialog(dialogs) ||
        !session.openDataFolder())
        return false;
    session.createModules();
    if (!runLogin(dialogs)) {
        session.destroyModules();
        return false;
    }
    setup::ORGS& orgs = session.orgs();
    // A table that cannot be read must never pass for the empty table of a
    // first start, whose new organisation would take the first folder.
    const bool readable = orgs.checkTable();
    // An interrupted month end is put back before any organisation opens.
    if (readable)
        recoverMonthEnds(dialogs);
    const bool isFirst = readable && orgs.orgCount() == 0;
    const bool opened = readable && (isFirst ? orgs.isFirstStart() && runNewOrg(dialogs)
                                             : runOrgList(dialogs, OrgListPurpose::Open));
    if (!opened || orgs.getOpenOrg()->name.empty()) {
        session.users().logout();
        session.destroyModules();
        return false;
    }
    if (isFirst)
        orgs.newStatutoryFiles(session.paths().sourceFolder);
    loggedIn_ = true;
    afterOrganisationChange();
    return true;
}

void MainWindow::runCommand(int id) {
    if (!loggedIn_ || !CommandRules::mayRun(id, context_))
        return;
    // The open document takes its own commands; Close is the frame's.
    if (document_ && id != cmd::Close) {
        if (document_->runCommand(id)) {
            updateDocumentItems();
            return;
        }
    }
    const DialogContext dialogs = dialogContext();
    switch (id) {
    case cmd::Personnel:
        openEmployeeWindow(true);
        break;
    case cmd::PayrollMaster:
        openEmployeeWindow(false);
        break;
    case cmd::Transactions:
        openTransactionsWindow();
        break;
    case cmd::AbsenceLeave:
        openLeaveWindow();
        break;
    case cmd::Earnings:
    case cmd::Deductions:
    case cmd::Benefits:
    case cmd::LumpSums:
    case cmd::Refunds:
        openPayFieldsWindow(static_cast<common::FIELDSTABLE>(id - cmd::Earnings));
        break;
    case cmd::ImportEmployees: {
        ImportPreviewDialogs previews(dialogs.host, dialogs.help, dialogs.parent);
        dataexchange::importEmployeesFromFile(*ui_, previews, session_->code(), session_->folder(),
                                              *session_->orgs().getOpenOrg());
        break;
    }
    case cmd::ImportBalances: {
        ImportPreviewDialogs previews(dialogs.host, dialogs.help, dialogs.parent);
        dataexchange::importBalancesFromFile(*ui_, previews, session_->code(), session_->folder(),
                                             *session_->orgs().getOpenOrg());
        break;
    }
    case cmd::ExportEmployees:
        dataexchange::exportEmployeesToFile(*ui_, session_->code(), session_->folder());
        break;
    case cmd::BankTransferFile:
        saveBankTransferFile();
        break;
    case cmd::Close:
        closeDocument();
        break;
    case cmd::Exit:
        close();
        break;
    case cmd::OpenOrg:
        openOrganisation();
        break;
    case cmd::NewOrg:
        newOrganisation();
        break;
    case cmd::DeleteOrg:
        deleteOrganisation();
        break;
    case cmd::BasicInfo:
        basicInfo();
        break;
    case cmd::PayrollInfo:
        runPayrollInfo(dialogs);
        break;
    case cmd::Grades:
        runGrades(dialogs);
        break;
    case cmd::Jobs:
        runJobs(dialogs);
        break;
    case cmd::Stations:
        runStations(dialogs);
        break;
    case cmd::Coops:
        runCoops(dialogs);
        break;
    case cmd::PensionFunds:
        runPensionFunds(dialogs);
        break;
    case cmd::PayrollOptions:
        runPayrollOptions(dialogs);
        break;
    case cmd::GeneralOptions:
        runGeneralOptions(dialogs);
        break;
    case cmd::ReportOptions:
        runReportOptions(dialogs);
        break;
    case cmd::PayeRates:
        runPayeRates(dialogs);
        break;
    case cmd::NssfRates:
        runNssfRates(dialogs);
        break;
    case cmd::PayeParameters:
        runPayeParameters(dialogs);
        break;
    case cmd::SdlRates:
        runSdlRate(dialogs);
        break;
    case cmd::WcfRate:
        runWcfRate(dialogs);
        break;
    case cmd::IncomeBrackets:
        runIncomeBrackets(dialogs);
        break;
    case cmd::Units:
        runUnits(dialogs);
        break;
    case cmd::Posts:
        runPosts(dialogs);
        break;
    case cmd::Banks:
        runBanks(dialogs);
        break;
    case cmd::ChangePassword:
        runChangePassword(dialogs);
        break;
    case cmd::Users:
        runUsers(dialogs);
        break;
    case cmd::Backup:
        backup();
        break;
    case cmd::Restore:
        restore();
        break;
    case cmd::ChangeEmpNum:
        runChangeEmpNum(dialogs);
        break;
    case cmd::PeriodEnd:
        runPeriodEnd(dialogs);
        afterOrganisationChange();
        break;
    case cmd::MonthEnd:
        runMonthEnd(dialogs);
        afterOrganisationChange();
        break;
    case cmd::PayFrequency:
        if (runPayFrequency(dialogs))
            afterOrganisationChange();
        break;
    case cmd::HelpContents:
        help_.show(0);
        break;
    case cmd::About:
        runAbout(dialogs);
        break;
    default:
        if (reportCodeOf(id))
            viewReport(id);
        break;
    }
}

void MainWindow::openOrganisation() {
    recoverMonthEnds(dialogContext());
    if (runOrgList(dialogContext(), OrgListPurpose::Open))
        afterOrganisationChange();
}

void MainWindow::newOrganisation() {
    if (session_->orgs().hasMaxOrg())
        return;
    if (!runNewOrg(dialogContext()))
        return;
    session_->orgs().newStatutoryFiles(session_->paths().sourceFolder);
    afterOrganisationChange();
}

void MainWindow::deleteOrganisation() {
    const DialogContext dialogs = dialogContext();
    setup::ORGS& orgs = session_->orgs();
    if (!runCaution(
            dialogs, [&orgs](common::DialogView& caution) { orgs.initDelOrgDlg(caution); },
            helpctx::DeleteOrgCaution))
        return;
    if (runOrgList(dialogs, OrgListPurpose::Delete))
        afterOrganisationChange();
}

void MainWindow::basicInfo() {
    if (!runBasicInfo(dialogContext()))
        return;
    afterOrganisationChange();
    session_->orgs().newStatutoryFiles(session_->paths().sourceFolder);
}

void MainWindow::backup() {
    session_->orgs().backup(setup::systemDrive(), setup::systemClock());
}

void MainWindow::restore() {
    common::Ui& ui = *ui_;
    if (!runCaution(
            dialogContext(),
            [&ui](common::DialogView& caution) { setup::initRestoreDlg(caution, ui); },
            helpctx::RestoreCaution))
        return;
    session_->orgs().restore(setup::systemDrive(), setup::systemClock());
    afterOrganisationChange();
}

} // namespace kelo::app
