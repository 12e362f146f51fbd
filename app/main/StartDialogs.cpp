#include "app/main/StartDialogs.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/Session.h"
#include "app/shell/Commands.h"
#include "setup/Users.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelo::app {

namespace {

QPushButton* addButton(QDialog& dialog, QHBoxLayout& row, const char* name, const QString& text) {
    auto* button = new QPushButton(text, &dialog);
    button->setObjectName(QString::fromLatin1(name));
    row.addWidget(button);
    return button;
}

QLabel* addDataFolderLabel(FormDialog& dialog) {
    QLabel* label =
        dialog.addStatic(setup::programsetup::DataFolderLabel, QStringLiteral("Data folder:"));
    label->setMinimumWidth(320);
    return label;
}

} // namespace

bool runStartDialog(const DialogContext& context) {
    Session& session = context.session;
    FormDialog dialog(context.parent, "StartDialog", QStringLiteral("Kelo Roster"));
    auto* title =
        dialog.addText(QStringLiteral("<h2>Kelo Roster</h2>Payroll and personnel records"));
    title->setTextFormat(Qt::RichText);
    addDataFolderLabel(dialog);
    auto* row = new QHBoxLayout;
    row->addStretch();
    QPushButton* login = addButton(dialog, *row, "LoginButton", QStringLiteral("&Login"));
    QPushButton* cancel = addButton(dialog, *row, "CancelButton", QStringLiteral("Cancel"));
    QPushButton* setupButton = addButton(dialog, *row, "SetupButton", QStringLiteral("&Setup..."));
    login->setDefault(true);
    dialog.mainLayout()->addLayout(row);
    session.appConfig().showDataDir(session.ui(), dialog.view());

    QObject::connect(login, &QPushButton::clicked, &dialog, [&] {
        if (session.appConfig().openDataDir(session.ui(), session.folder()))
            dialog.accept();
    });
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(setupButton, &QPushButton::clicked, &dialog, [&] {
        runProgramSetup({session, context.host, context.help, &dialog});
        session.appConfig().showDataDir(session.ui(), dialog.view());
    });
    return context.host.exec(dialog) == QDialog::Accepted;
}

void runProgramSetup(const DialogContext& context) {
    Session& session = context.session;
    FormDialog dialog(context.parent, "ProgramSetupDialog", QStringLiteral("Program Setup"));
    addDataFolderLabel(dialog);
    auto* row = new QHBoxLayout;
    QPushButton* select =
        addButton(dialog, *row, setup::programsetup::SelectButton, QStringLiteral("Select..."));
    QPushButton* create =
        addButton(dialog, *row, setup::programsetup::CreateButton, QStringLiteral("Create..."));
    row->addStretch();
    QPushButton* close = addButton(dialog, *row, "CloseButton", QStringLiteral("&Close"));
    dialog.mainLayout()->addLayout(row);
    session.appConfig().showDataDir(session.ui(), dialog.view());

    QObject::connect(select, &QPushButton::clicked, &dialog,
                     [&] { session.appConfig().selectDataDir(session.ui(), dialog.view()); });
    QObject::connect(create, &QPushButton::clicked, &dialog,
                     [&] { session.appConfig().createDataDir(session.ui(), dialog.view()); });
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    context.host.exec(dialog);
}

bool runSetPassword(const DialogContext& context) {
    setup::USERS& users = context.session.users();
    FormDialog dialog(context.parent, "SetPasswordDialog", QStringLiteral("Set Password"));
    dialog.addText(QStringLiteral("Please choose a password before you continue."));
    dialog.addPassword(setup::passworddlg::Password, QStringLiteral("Password:"));
    dialog.addPassword(setup::passworddlg::ConfirmPassword, QStringLiteral("Confirm Password:"));
    dialog.addButtons(QStringLiteral("OK"),
                      [&] { return users.setPasswd(context.session.ui(), dialog.view()); });
    users.initPasswdDlg(dialog.view());
    return context.host.exec(dialog) == QDialog::Accepted;
}

bool runLogin(const DialogContext& context) {
    setup::USERS& users = context.session.users();
    FormDialog dialog(context.parent, "LoginDialog", QStringLiteral("Login"));
    QLineEdit* name = dialog.addEdit(setup::logindlg::UserName, QStringLiteral("Username:"));
    dialog.addPassword(setup::logindlg::Password, QStringLiteral("Password:"));
    dialog.addButtons(
        QStringLiteral("OK"),
        [&] {
            bool passwordSet = true;
            if (!users.checkLogin(context.session.ui(), dialog.view(), passwordSet))
                return false;
            users.login();
            if (passwordSet ||
                runSetPassword({context.session, context.host, context.help, &dialog}))
                return true;
            users.logout();
            return false;
        },
        &context.help, helpctx::Login);
    users.initLoginDlg(dialog.view());
    QObject::connect(name, &QLineEdit::textChanged, &dialog,
                     [&] { users.updateLoginDlg(dialog.view()); });
    return context.host.exec(dialog) == QDialog::Accepted;
}

} // namespace kelo::app
