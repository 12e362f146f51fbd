#include "app/main/UserDialogs.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/HelpViewer.h"
#include "app/main/Session.h"
#include "app/shell/Commands.h"
#include "setup/Users.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kelo::app {

namespace {

using namespace setup;

void buildIdentity(FormDialog& dialog) {
    dialog.addEdit(useriddlg::UserName, QStringLiteral("Username"), 19);
    dialog.addPassword(useriddlg::Password, QStringLiteral("Password"));
    dialog.addPassword(useriddlg::ConfirmPassword, QStringLiteral("Confirm Password"));
    dialog.addEdit(useriddlg::LastName, QStringLiteral("Last Name"), 19);
    dialog.addEdit(useriddlg::OtherNames, QStringLiteral("Other Names"), 29);
}

// User Identity, for a new user or for the one selected in the Users list.
void runIdentity(const DialogContext& context, FormDialog& users, bool adding) {
    Session& session = context.session;
    USERS& logic = session.users();
    FormDialog dialog(&users, "UserIdentityDialog", QStringLiteral("User Identity"));
    buildIdentity(dialog);
    dialog.addButtons(
        QStringLiteral("OK"),
        [&] {
            return adding ? logic.closeNewUserDlg(session.ui(), dialog.view(), users.view())
                          : logic.closeIdDlg(session.ui(), dialog.view(), users.view());
        },
        &context.help, helpContextOf(cmd::Users, DocumentKind::None));
    if (adding)
        logic.initNewUserDlg(dialog.view());
    else if (!logic.initIdDlg(users.view(), dialog.view()))
        return;
    context.host.exec(dialog);
}

void runRights(const DialogContext& context, FormDialog& users) {
    USERS& logic = context.session.users();
    FormDialog dialog(&users, "UserRightsDialog", QStringLiteral("User Rights"));
    dialog.beginGroup("MenuGroup", QStringLiteral("Menu"));
    const std::vector<QRadioButton*> menus{
        dialog.addRadio(rightsdlg::FullMenu, QStringLiteral("Full menu")),
        dialog.addRadio(rightsdlg::PersonnelOnly, QStringLiteral("Personnel only")),
        dialog.addRadio(rightsdlg::PayrollOnly, QStringLiteral("Payroll only"))};
    dialog.endGroup();
    dialog.beginGroup("FunctionsGroup", QStringLiteral("Functions"));
    dialog.addCheck(rightsdlg::EditEmpFiles, QStringLiteral("Edit employee data files"));
    dialog.addCheck(rightsdlg::ModifyFields, QStringLiteral("Modify payroll fields"));
    dialog.addCheck(rightsdlg::SetupOrg, QStringLiteral("Set up open organisation"));
    dialog.addCheck(rightsdlg::ClosePeriod, QStringLiteral("Close pay period or month"));
    dialog.addCheck(rightsdlg::RestoreFiles, QStringLiteral("Restore files"));
    dialog.addCheck(rightsdlg::AddDeleteOrgs, QStringLiteral("Add and delete organisations"));
    dialog.addCheck(rightsdlg::ModifyTaxTables, QStringLiteral("Modify tax tables"));
    dialog.endGroup();
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return logic.closeRightsDlg(dialog.view()); }, &context.help,
        helpContextOf(cmd::Users, DocumentKind::None));
    if (!logic.initRightsDlg(users.view(), dialog.view()))
        return;
    for (QRadioButton* radio : menus)
        QObject::connect(radio, &QRadioButton::clicked, &dialog,
                         [&] { logic.updateRightsDlg(dialog.view()); });
    context.host.exec(dialog);
}

} // namespace

void runUsers(const DialogContext& context) {
    Session& session = context.session;
    USERS& logic = session.users();
    FormDialog dialog(context.parent, "UsersDialog", QStringLiteral("Users"));
    auto* row = new QHBoxLayout;
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QString::fromLatin1(usersdlg::List));
    list->setMinimumSize(240, 220);
    row->addWidget(list);
    auto* column = new QVBoxLayout;
    QPushButton* add = addColumnButton(dialog, *column, usersdlg::Add, QStringLiteral("&Add..."));
    QPushButton* remove =
        addColumnButton(dialog, *column, usersdlg::Delete, QStringLiteral("&Delete"));
    QPushButton* identity =
        addColumnButton(dialog, *column, usersdlg::Identity, QStringLiteral("&Identity..."));
    QPushButton* rights =
        addColumnButton(dialog, *column, usersdlg::Rights, QStringLiteral("&Rights..."));
    column->addStretch();
    QPushButton* close =
        addColumnButton(dialog, *column, usersdlg::Close, QStringLiteral("&Close"));
    QPushButton* help = addColumnButton(dialog, *column, "HelpButton", QStringLiteral("&Help"));
    row->addLayout(column);
    dialog.mainLayout()->addLayout(row);

    const DialogContext inner{session, context.host, context.help, &dialog};
    QObject::connect(add, &QPushButton::clicked, &dialog,
                     [&] { runIdentity(inner, dialog, true); });
    QObject::connect(identity, &QPushButton::clicked, &dialog,
                     [&] { runIdentity(inner, dialog, false); });
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog,
                     [&] { runIdentity(inner, dialog, false); });
    QObject::connect(rights, &QPushButton::clicked, &dialog, [&] { runRights(inner, dialog); });
    QObject::connect(remove, &QPushButton::clicked, &dialog,
                     [&] { logic.deleteUser(session.ui(), dialog.view()); });
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(help, &QPushButton::clicked, &dialog, [&context] {
        context.help.show(helpContextOf(cmd::Users, DocumentKind::None));
    });
    logic.displayUsers(dialog.view());
    context.host.exec(dialog);
}

bool runChangePassword(const DialogContext& context) {
    Session& session = context.session;
    FormDialog dialog(context.parent, "ChangePasswordDialog", QStringLiteral("Change Password"));
    dialog.addPassword(changepassworddlg::OldPassword, QStringLiteral("Old Password"));
    dialog.addPassword(changepassworddlg::NewPassword, QStringLiteral("New Password"));
    dialog.addPassword(changepassworddlg::ConfirmNewPassword,
                       QStringLiteral("Confirm New Password"));
    dialog.addButtons(
        QStringLiteral("OK"),
        [&] { return session.users().changePasswd(session.ui(), dialog.view()); }, &context.help,
        helpContextOf(cmd::ChangePassword, DocumentKind::None));
    session.users().initChangePasswdDlg(dialog.view());
    return context.host.exec(dialog) == QDialog::Accepted;
}

void runAbout(const DialogContext& context) {
    QDialog dialog(context.parent);
    dialog.setObjectName(QStringLiteral("AboutDialog"));
    dialog.setWindowTitle(QStringLiteral("About Kelo Roster"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(&dialog);
    text->setTextFormat(Qt::RichText);
    text->setText(QStringLiteral("<h2>Kelo Roster</h2><p>Version %1</p>"
                                 "<p>Payroll and personnel records for employers in Tanzania:<br>"
                                 "PAYE, NSSF and the Skills and Development Levy.</p>"
                                 "<p>Built with Qt %2.</p>")
                      .arg(QApplication::applicationVersion(), QString::fromLatin1(qVersion())));
    layout->addWidget(text);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    context.host.exec(dialog);
}

} // namespace kelo::app
