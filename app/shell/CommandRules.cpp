#include "app/shell/CommandRules.h"

#include <algorithm>
#include <initializer_list>

namespace kelo::app {

namespace {

bool isOneOf(int id, std::initializer_list<int> ids) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}
bool inRange(int id, int first, int last) {
    return id >= first && id <= last;
}

bool isRecordWindow(DocumentKind kind) {
    return kind != DocumentKind::None && kind != DocumentKind::Report;
}

bool reportSavesText(int code) {
    return isOneOf(code, {11, 12, 13, 16, 31, 34, 37, 55, 56, 64, 71, 72, 73, 74, 80, 81, 82}) ||
           inRange(code, 22, 25) || inRange(code, 201, 206);
}
// Reports laid out as a table of columns, one line per employee.
bool reportSavesCsv(int code) {
    return isOneOf(code, {11, 12, 13, 16, 21, 31, 37, 61, 62, 63, 64, 76, 202, 204, 205}) ||
           inRange(code, 71, 74) || inRange(code, 22, 25) || inRange(code, 41, 45) ||
           inRange(code, 51, 57);
}
bool reportPrints(int code) {
    return !inRange(code, 204, 206);
}

// What a clear right of the user grays.
bool grayedByRights(int id, const common::USERREC& user) {
    const bool fieldDefinitions = inRange(id, cmd::Earnings, cmd::Refunds);
    if (!user.editEmpFiles &&
        (inRange(id, cmd::Personnel, cmd::AbsenceLeave) || id == cmd::ChangeEmpNum ||
         id == cmd::ImportEmployees || id == cmd::ExportEmployees || id == cmd::ImportBalances ||
         id == cmd::PayFrequency))
        return true;
    if (!user.modifyFields && fieldDefinitions)
        return true;
    if (!user.setupOrg && (isOneOf(id, {cmd::BasicInfo, cmd::PayrollInfo, cmd::GeneralOptions,
                                        cmd::PayrollOptions, cmd::ReportOptions, cmd::Banks}) ||
                           inRange(id, cmd::Grades, cmd::PensionFunds)))
        return true;
    if (!user.closePeriod && (id == cmd::PeriodEnd || id == cmd::MonthEnd))
        return true;
    if (!user.restoreFiles && id == cmd::Restore)
        return true;
    if (!user.addDeleteOrgs && (id == cmd::NewOrg || id == cmd::DeleteOrg))
        return true;
    if (!user.modifyTaxTables &&
        isOneOf(id, {cmd::PayeRates, cmd::NssfRates, cmd::PayeParameters, cmd::IncomeBrackets}))
        return true;
    return !user.exclusiveAccess &&
           (fieldDefinitions || isOneOf(id, {cmd::DeleteOrg, cmd::Backup, cmd::Restore,
                                             cmd::ChangeEmpNum, cmd::PeriodEnd, cmd::MonthEnd}));
}

// While a document is open only the file commands it supports, the help
// and the document's own commands stay enabled.
bool enabledWithDocument(int id, const CommandContext& context) {
    const DocumentKind kind = context.document;
    if (inRange(id, cmd::Personnel, cmd::Refunds) || inRange(id, 1201, 1599) ||
        id == cmd::ImportEmployees || id == cmd::ExportEmployees || id == cmd::ImportBalances)
        return false;
    if (id == cmd::Save)
        return isRecordWindow(kind);
    if (id == cmd::SaveAsText)
        return kind == DocumentKind::Report && reportSavesText(context.reportCode);
    if (id == cmd::SaveAsPdf)
        return kind == DocumentKind::Report;
    if (id == cmd::SavePayslipPdfs)
        return kind == DocumentKind::Report && context.reportCode == 34;
    if (id == cmd::SaveAsCsv)
        return kind == DocumentKind::Report && reportSavesCsv(context.reportCode);
    if (id == cmd::Print)
        return kind == DocumentKind::Report && reportPrints(context.reportCode);
    if (id == cmd::Add)
        return kind != DocumentKind::PayrollMaster;
    // Deleting and terminating employees belong to the personnel file.
    if (id == cmd::Delete)
        return kind != DocumentKind::PayrollMaster;
    if (id == cmd::Terminate || id == cmd::UndoTerminate)
        return kind != DocumentKind::Transactions && kind != DocumentKind::PayrollMaster;
    return true;
}

} // namespace

bool CommandRules::rightsAllow(int id, const common::USERREC& user) {
    return !grayedByRights(id, user);
}

bool CommandRules::isAvailable(int id) {
    if (isOneOf(id, {cmd::Units, cmd::Posts, cmd::Banks}))
        return true;
    if (isOneOf(id, {cmd::Grades, cmd::Jobs, cmd::Stations, cmd::Coops, cmd::PensionFunds}))
        return true;
    if (id == cmd::Transactions)
        return true;
    // Beyond the old menu, beside the SDL rate.
    if (id == cmd::WcfRate)
        return true;
    // The employee list to and from CSV files, and the opening balances.
    if (id == cmd::ImportEmployees || id == cmd::ExportEmployees || id == cmd::ImportBalances)
        return true;
    // The pay-run reports and the bank transfer file.
    if (isOneOf(id,
                {1211, 1212, 1213, 1214, 1215, 1245, 1247, 1248, 1249, cmd::BankTransferFile}) ||
        inRange(id, 1221, 1225) || inRange(id, 1231, 1234))
        return true;
    // The personnel reports and the absence and leave analyses.
    if (inRange(id, 1201, 1207) || inRange(id, 1261, 1264))
        return true;
    // The monthly and annual returns.
    if (inRange(id, 1241, 1244) || inRange(id, 1251, 1253))
        return true;
    // The procedures.
    if (isOneOf(id, {cmd::ChangeEmpNum, cmd::PeriodEnd, cmd::MonthEnd, cmd::PayFrequency}))
        return true;
    // The Report Preview window's commands.
    if (isOneOf(id, {cmd::SaveAsText, cmd::SaveAsPdf, cmd::SavePayslipPdfs, cmd::SaveAsCsv,
                     cmd::Print, cmd::GoToPage, cmd::Payslips}) ||
        inRange(id, cmd::ScrollFirst, cmd::ScrollLast))
        return true;
    // The personnel, payroll master, absence and leave and pay field
    // definitions windows and their record commands.
    if (isOneOf(id, {cmd::Personnel, cmd::PayrollMaster, cmd::AbsenceLeave, cmd::Save, cmd::Add,
                     cmd::Delete, cmd::EditEvent, cmd::Terminate, cmd::UndoTerminate, cmd::Undo,
                     cmd::PageUp, cmd::PageDown}) ||
        inRange(id, cmd::Earnings, cmd::Refunds) || inRange(id, cmd::Next, cmd::FindName))
        return true;
    return isOneOf(id, {cmd::Exit,           cmd::Close,          cmd::OpenOrg,
                        cmd::NewOrg,         cmd::DeleteOrg,      cmd::BasicInfo,
                        cmd::PayrollInfo,    cmd::GeneralOptions, cmd::PayrollOptions,
                        cmd::ReportOptions,  cmd::PayeRates,      cmd::NssfRates,
                        cmd::PayeParameters, cmd::SdlRates,       cmd::IncomeBrackets,
                        cmd::ChangePassword, cmd::Users,          cmd::Backup,
                        cmd::Restore,        cmd::HelpContents,   cmd::About});
}

CommandState CommandRules::menuItem(int id, const CommandContext& context) {
    CommandState state;
    if (!menuHas(context.user.menuType, id) && !documentHandles(context.document, id))
        return {false, false};
    if (id == cmd::Users && !context.user.manageUsers)
        return {false, false};
    if (context.document == DocumentKind::None) {
        state.enabled = !isOneOf(id, {cmd::Close, cmd::Save, cmd::Print, cmd::SaveAsText,
                                      cmd::SaveAsPdf, cmd::SavePayslipPdfs, cmd::SaveAsCsv});
    } else {
        state.enabled = enabledWithDocument(id, context);
    }
    if (!rightsAllow(id, context.user) || !isAvailable(id))
        state.enabled = false;
    return state;
}

CommandState CommandRules::toolbarButton(int id, const CommandContext& context) {
    const int menuType = context.user.menuType;
    const DocumentKind kind = context.document;
    const bool open = kind != DocumentKind::None;
    CommandState state;
    if (menuType == common::kPersonnelMenu && (id == cmd::PayrollMaster || id == cmd::Transactions))
        state.present = false;
    if (menuType == common::kPayrollMenu && (id == cmd::Personnel || id == cmd::AbsenceLeave))
        state.present = false;

    if (inRange(id, cmd::Personnel, cmd::AbsenceLeave))
        state.enabled = !open && context.user.editEmpFiles;
    else if (id == cmd::Undo)
        state.enabled = kind == DocumentKind::Personnel || kind == DocumentKind::PayrollMaster ||
                        kind == DocumentKind::Transactions;
    else if (id == cmd::Save)
        state.enabled = isRecordWindow(kind);
    else if (id == cmd::Print)
        state.enabled = kind == DocumentKind::Report && reportPrints(context.reportCode);
    else if (id == cmd::HelpContents)
        state.enabled = true;
    else
        state.enabled = open; // navigation and Close
    if (!isAvailable(id) && inRange(id, cmd::Personnel, cmd::AbsenceLeave))
        state.enabled = false;
    return state;
}

bool CommandRules::mayRun(int id, const CommandContext& context) {
    const CommandState state = menuItem(id, context);
    return state.present && state.enabled;
}

} // namespace kelo::app
