#include "app/main/OrganisationDialogs.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/Session.h"
#include "app/shell/Commands.h"
#include "setup/OptionsDlg.h"
#include "setup/Orgs.h"
#include "setup/Users.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace kelo::app {

namespace {

std::string userName(Session& session) {
    return session.users().getUser()->userName;
}

bool accepted(const DialogContext& context, QDialog& dialog) {
    return context.host.exec(dialog) == QDialog::Accepted;
}

void addMonthAndYear(FormDialog& dialog) {
    dialog.addList(setup::orgdlg::Month, QStringLiteral("Month:"));
    dialog.addEdit(setup::orgdlg::Year, QStringLiteral("Year:"), 4);
}

} // namespace

bool runOrgList(const DialogContext& context, OrgListPurpose purpose) {
    Session& session = context.session;
    setup::ORGS& orgs = session.orgs();
    const bool deleting = purpose == OrgListPurpose::Delete;
    FormDialog dialog(context.parent, "OrgListDialog", QString());
    QListWidget* list = dialog.addListBox(setup::orglistdlg::List);
    list->setMinimumSize(360, 200);
    dialog.addButtons(
        QStringLiteral("OK"),
        [&] {
            if (!deleting)
                return orgs.openSelOrg(dialog.view(), userName(session)) == 1;
            // The delete hides the list while it asks; whatever the answers,
            // the dialog is over then, so it never lingers unseen.
            if (dialog.view().selectedRow(setup::orglistdlg::List) < 0)
                return false;
            const bool deleted = orgs.deleteOrg(dialog.view(), userName(session)) == 1;
            if (!deleted)
                dialog.reject();
            return deleted;
        },
        &context.help, helpctx::Organisations);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog,
                     [&dialog] { dialog.button("OkButton")->click(); });
    const std::string caption = deleting ? "Delete Organisation" : "Open Organisation";
    if (orgs.initOrgList(dialog.view(), caption) == 0)
        return !deleting; // nothing to choose: the dialog ends at once
    dialog.view().selectRow(setup::orglistdlg::List, 0);
    return accepted(context, dialog);
}

bool runNewOrg(const DialogContext& context) {
    Session& session = context.session;
    FormDialog dialog(context.parent, "NewOrgDialog", QStringLiteral("New Organisation"));
    dialog.addEdit(setup::orgdlg::Name, QStringLiteral("Name:"), 59);
    addMonthAndYear(dialog);
    dialog.addButtons(
        QStringLiteral("OK"),
        [&] { return session.orgs().createNewOrg(dialog.view(), userName(session)) == 1; },
        &context.help, helpContextOf(cmd::NewOrg, DocumentKind::None));
    session.orgs().initNewOrgDlg(dialog.view());
    return accepted(context, dialog);
}

bool runBasicInfo(const DialogContext& context) {
    setup::ORGS& orgs = context.session.orgs();
    FormDialog dialog(context.parent, "BasicInfoDialog", QStringLiteral("Basic Organisation Info"));
    dialog.addEdit(setup::orgdlg::Name, QStringLiteral("Name:"), 59);
    dialog.beginGroup("AddressGroup", QStringLiteral("Address"));
    dialog.addEdit(setup::orgdlg::PoBox, QStringLiteral("P.O. Box:"), 9);
    dialog.addEdit(setup::orgdlg::Town, QStringLiteral("Town:"), 19);
    dialog.addEdit(setup::orgdlg::PostCode, QStringLiteral("Post Code:"), 9);
    dialog.addEdit(setup::orgdlg::Telephone, QStringLiteral("Telephone:"), 19);
    dialog.endGroup();
    addMonthAndYear(dialog);
    QLabel* periodNote = dialog.addText(QString());
    dialog.addStatic(setup::orgdlg::Folder, QStringLiteral("Folder:"));
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return orgs.saveBasicInfo(dialog.view()) == 1; }, &context.help,
        helpContextOf(cmd::BasicInfo, DocumentKind::None));
    orgs.displayBasicInfo(dialog.view());
    // The clerk is told what the month and year fields do before using them.
    periodNote->setText(
        orgs.getOpenOrg()->monthEditable != 0
            ? QStringLiteral("Month and year are the organisation's first pay period. They can "
                             "be changed until a period or month is first closed; a new year "
                             "renames the year's report folder.")
            : QStringLiteral("Month and year move on with the month end procedure."));
    return accepted(context, dialog);
}

bool runPayrollInfo(const DialogContext& context) {
    setup::ORGS& orgs = context.session.orgs();
    FormDialog dialog(context.parent, "PayrollInfoDialog", QStringLiteral("Payroll Info"));
    dialog.beginGroup("StatutoryGroup", QStringLiteral("Statutory Deductions"));
    dialog.addEdit(setup::payinfodlg::ItNum, QStringLiteral("IT No."), 19);
    dialog.addEdit(setup::payinfodlg::NssfNum, QStringLiteral("NSSF No."), 19);
    dialog.addEdit(setup::payinfodlg::RegionalCode, QStringLiteral("Regional Code No."), 9);
    dialog.endGroup();
    dialog.beginGroup("BankingGroup", QStringLiteral("Banking"));
    QComboBox* bank = dialog.addList(setup::payinfodlg::Bank, QStringLiteral("Bank"));
    dialog.addList(setup::payinfodlg::Branch, QStringLiteral("Branch"));
    dialog.addEdit(setup::payinfodlg::AccountNum, QStringLiteral("Account No."), 24);
    dialog.addEdit(setup::payinfodlg::SfiSenderId, QStringLiteral("SFI Sender ID"), 5);
    dialog.endGroup();
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return orgs.savePayInfo(dialog.view()) == 1; }, &context.help,
        helpContextOf(cmd::PayrollInfo, DocumentKind::None));
    dialog.setOnCancel([&] { orgs.closeBankFiles(); });
    orgs.displayPayInfo(dialog.view());
    QObject::connect(bank, &QComboBox::activated, &dialog,
                     [&] { orgs.resetBranches(dialog.view()); });
    return accepted(context, dialog);
}

bool runPayrollOptions(const DialogContext& context) {
    setup::ORGS& orgs = context.session.orgs();
    setup::OPTIONSDLG& options = context.session.options();
    FormDialog dialog(context.parent, "PayrollOptionsDialog", QStringLiteral("Payroll Options"));
    dialog.addCheck(setup::payoptionsdlg::TaxAverage, QStringLiteral("Tax average monthly pay"));
    dialog.addCheck(setup::payoptionsdlg::TaxEmployerPension,
                    QStringLiteral("Tax employer pension on employee"));
    dialog.addCheck(setup::payoptionsdlg::PaySdl, QStringLiteral("Pay Skills && Development Levy"));
    dialog.beginGroup("NetPayGroup", QStringLiteral("Net Pay"));
    dialog.addText(QStringLiteral("For employee paid in cash:"));
    QRadioButton* exact =
        dialog.addRadio(setup::payoptionsdlg::PayExact, QStringLiteral("Pay exact amount"));
    QRadioButton* round = dialog.addRadioWithEdit(setup::payoptionsdlg::RoundDown,
                                                  QStringLiteral("Round down to nearest Tsh"),
                                                  setup::payoptionsdlg::RoundingUnit, 9);
    dialog.endGroup();
    dialog.addButtons(
        QStringLiteral("OK"),
        [&] {
            return orgs.savePayOptions(dialog.view()) == 1 &&
                   options.getPayOptions(context.session.ui(), dialog.view());
        },
        &context.help, helpContextOf(cmd::PayrollOptions, DocumentKind::None));
    orgs.displayPayOptions(dialog.view());
    options.displayPayOptions(dialog.view());
    for (QRadioButton* radio : {exact, round})
        QObject::connect(radio, &QRadioButton::clicked, &dialog,
                         [&] { orgs.resetRounding(dialog.view()); });
    return accepted(context, dialog);
}

bool runGeneralOptions(const DialogContext& context) {
    setup::ORGS& orgs = context.session.orgs();
    FormDialog dialog(context.parent, "GeneralOptionsDialog", QStringLiteral("General Options"));
    dialog.beginGroup("SortGroup", QStringLiteral("Sort Forms By"));
    dialog.addRadio(setup::genoptionsdlg::SortByNumber, QStringLiteral("Employee Number"));
    dialog.addRadio(setup::genoptionsdlg::SortByLastName, QStringLiteral("Last Name"));
    dialog.endGroup();
    dialog.beginGroup("ReportsGroup", QStringLiteral("Past Reports"));
    QRadioButton* retain =
        dialog.addRadio(setup::genoptionsdlg::RetainReports, QStringLiteral("Retain indefinitely"));
    QRadioButton* purge =
        dialog.addRadioWithEdit(setup::genoptionsdlg::PurgeReports, QStringLiteral("Purge after"),
                                setup::genoptionsdlg::PurgeAge, 4, QStringLiteral("years"));
    dialog.endGroup();
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return orgs.closeGenOptnDlg(dialog.view()) == 1; },
        &context.help, helpContextOf(cmd::GeneralOptions, DocumentKind::None));
    orgs.initGenOptnDlg(dialog.view());
    for (QRadioButton* radio : {retain, purge})
        QObject::connect(radio, &QRadioButton::clicked, &dialog,
                         [&] { orgs.resetGenOptnDlg(dialog.view()); });
    return accepted(context, dialog);
}

bool runPayFrequency(const DialogContext& context) {
    setup::ORGS& orgs = context.session.orgs();
    FormDialog dialog(context.parent, "PayFrequencyDialog", QStringLiteral("Pay Frequency"));
    dialog.beginGroup("PayrollGroup", QStringLiteral("Payroll to Work On"));
    dialog.addRadio(setup::payfreqdlg::Monthly, QStringLiteral("Monthly"));
    dialog.addRadio(setup::payfreqdlg::Weekly, QStringLiteral("Weekly"));
    dialog.addRadio(setup::payfreqdlg::Biweekly, QStringLiteral("Biweekly"));
    dialog.addRadio(setup::payfreqdlg::Irregular, QStringLiteral("Irregular"));
    dialog.endGroup();
    QLabel* note = dialog.addText(
        QStringLiteral("Payroll Transactions, the pay field windows, the payroll reports and "
                       "Period End work on the payroll chosen here."));
    note->setWordWrap(true);
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return orgs.closePayFreqDlg(dialog.view()) == 1; },
        &context.help, helpctx::PayFrequency);
    orgs.initPayFreqDlg(dialog.view());
    return accepted(context, dialog);
}

bool runCaution(const DialogContext& context, const std::function<void(common::DialogView&)>& init,
                int helpContext) {
    Session& session = context.session;
    FormDialog dialog(context.parent, "CautionDialog", QStringLiteral("Caution"));
    QLabel* text = dialog.addStatic(setup::cautiondlg::Text, QString());
    text->setWordWrap(true);
    text->setMinimumWidth(380);
    dialog.addText(
        QStringLiteral("If you are sure you want to continue, please enter your password below."));
    dialog.addPassword(setup::cautiondlg::Password, QStringLiteral("Password:"));
    dialog.addButtons(
        QStringLiteral("OK"),
        [&] { return session.users().checkPasswd(session.ui(), dialog.view()); }, &context.help,
        helpContext);
    init(dialog.view());
    return accepted(context, dialog);
}

} // namespace kelo::app
