#include "app/main/ProcedureDialogs.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/Session.h"
#include "common/Text.h"
#include "procedures/EmpNumChange.h"
#include "procedures/EmpNumLive.h"
#include "setup/Orgs.h"

#include <QLabel>
#include <QLineEdit>

namespace kelo::app {

namespace {

void numberEdit(FormDialog& dialog, const char* name, const QString& label) {
    const int length = static_cast<int>(common::employeeNumberWidth);
    QLineEdit* edit = dialog.addEdit(name, label, length);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (length + 4));
}

} // namespace

void runChangeEmpNum(const DialogContext& context) {
    namespace dlg = procedures::empnumchangedlg;
    Session& session = context.session;
    procedures::LiveEmpNumStores stores(session.ui(), session.code(), session.folder());
    procedures::EmpNumChange change(session.ui(), stores, *session.orgs().getOpenOrg());

    FormDialog dialog(context.parent, "ChangeEmpNumDialog", QString::fromLatin1(dlg::kCaption));
    numberEdit(dialog, dlg::kOldEmpNum, QStringLiteral("Old Employee Number"));
    numberEdit(dialog, dlg::kNewEmpNum, QStringLiteral("New Employee Number"));
    dialog.addText({})->setObjectName(QString::fromLatin1(dlg::kCaution));
    common::EMPNUMREC request;
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return change.closeEmpNumDlg(dialog.view(), request); },
        &context.help, helpctx::ChangeEmpNum);
    dialog.setOnCancel([&change] { change.cancelEmpNumDlg(); });
    if (!change.initEmpNumDlg(dialog.view()))
        return;
    fitCaption(dialog);
    // Accepted, the dialog is hidden while the files are renumbered.
    if (context.host.exec(dialog) == QDialog::Accepted)
        change.run(request);
}

} // namespace kelo::app
