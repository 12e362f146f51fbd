#include "app/main/TransactionsDialogs.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/HelpViewer.h"
#include "common/PayRecords.h"
#include "staffrecords/VarFrmControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace kelo::app {

namespace {

using staffrecords::VARFRM;
using View = common::DialogView;

// Hours, days and interest rates ("999.00"), payments, and money.
constexpr int kHoursLength = 6;
constexpr int kPaymentsLength = 4;
constexpr int kAmountLength = 15;

QLineEdit* figure(FormDialog& dialog, const char* name, const QString& label, int length) {
    QLineEdit* edit = dialog.addEdit(name, label, length);
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (length + 4));
    return edit;
}

// The caption of a field whose text the form chooses ("Days Absent",
// "Principal") carries the name the form addresses it by.
void nameCaption(QDialog& dialog, QWidget* field, const char* name) {
    for (auto* label : dialog.findChildren<QLabel*>())
        if (label->buddy() == field)
            label->setObjectName(QString::fromLatin1(name));
}

// The dialog of one of the form's display/get pairs: nothing shows when
// display declines, and OK closes only when get accepts.
bool runPair(const DialogContext& context, FormDialog& dialog,
             const std::function<bool(View&)>& display, const std::function<bool(View&)>& get) {
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return get(dialog.view()); }, &context.help,
        helpctx::Transactions);
    if (!display(dialog.view()))
        return false;
    // The cursor starts in the first box the clerk may change, its figure
    // chosen so that typing replaces it.
    for (auto* edit : dialog.findChildren<QLineEdit*>()) {
        if (edit->isEnabled()) {
            edit->setFocus();
            edit->selectAll();
            break;
        }
    }
    fitCaption(dialog);
    return context.host.exec(dialog) == QDialog::Accepted;
}

template <class Display, class Get>
bool runPair(const DialogContext& context, FormDialog& dialog, VARFRM& form, Display display,
             Get get) {
    return runPair(
        context, dialog, [&](View& view) { return (form.*display)(view); },
        [&](View& view) { return (form.*get)(view); });
}

void buildHourlyPay(FormDialog& dialog) {
    namespace c = staffrecords::hourlypaydlg;
    figure(dialog, c::kHours, QStringLiteral("Hours Worked"), kHoursLength);
    figure(dialog, c::kRate, QStringLiteral("Hourly Rate"), kAmountLength);
}

// The balance of a co-operative contribution, or of a cost recovery.
void buildBalance(FormDialog& dialog) {
    namespace c = staffrecords::balancedlg;
    nameCaption(dialog, figure(dialog, c::kBalance, QStringLiteral("Balance B/F"), kAmountLength),
                c::kLabel);
}

void buildPension(FormDialog& dialog) {
    namespace c = staffrecords::pensiondlg;
    figure(dialog, c::kEmployerContribution, QStringLiteral("Employer Contribution:"),
           kAmountLength);
    dialog.beginGroup("BalanceGroup", QStringLiteral("Balance B/F"));
    figure(dialog, c::kEmployeeBalance, QStringLiteral("Employee:"), kAmountLength);
    figure(dialog, c::kEmployerBalance, QStringLiteral("Employer:"), kAmountLength);
    dialog.endGroup();
}

void buildLoan(FormDialog& dialog) {
    namespace c = staffrecords::loandlg;
    nameCaption(dialog, figure(dialog, c::kBalance, QStringLiteral("Balance B/F"), kAmountLength),
                c::kBalanceLabel);
    figure(dialog, c::kInterestRate, QStringLiteral("Interest Rate (%)"), kHoursLength);
    nameCaption(
        dialog,
        figure(dialog, c::kPayments, QStringLiteral("Outstanding Payments"), kPaymentsLength),
        c::kPaymentsLabel);
    dialog.addCheck(c::kTaxableBenefit, QStringLiteral("Taxable Benefit"));
}

void buildBankLoan(FormDialog& dialog) {
    namespace c = staffrecords::bankloandlg;
    using W = common::PayItemWidths;
    dialog.addList(c::kBank, QStringLiteral("Bank"));
    dialog.addList(c::kBranch, QStringLiteral("Branch"));
    dialog.addEdit(c::kLoanNumber, QStringLiteral("Loan Number"),
                   static_cast<int>(W::kLoanNumberWidth));
    nameCaption(
        dialog,
        figure(dialog, c::kPayments, QStringLiteral("Outstanding Payments"), kPaymentsLength),
        c::kPaymentsLabel);
}

void buildSavings(FormDialog& dialog) {
    namespace c = staffrecords::savingsdlg;
    figure(dialog, c::kBalance, QStringLiteral("Balance B/F"), kAmountLength);
    figure(dialog, c::kInterestRate, QStringLiteral("Interest Rate (%)"), kHoursLength);
}

// Each kind of parameters: its dialog's name and caption (the form may
// give another), its controls, and the form's pair of operations.
struct ParamFace {
    const char* objectName;
    const char* caption;
    void (*build)(FormDialog&);
    bool (VARFRM::*display)(View&);
    bool (VARFRM::*get)(View&);
};

const ParamFace* faceOf(staffrecords::ParamDialog which) {
    using staffrecords::ParamDialog;
    static const ParamFace hourly{"HourlyPayDialog", "Hourly Pay", buildHourlyPay,
                                  &VARFRM::displayHPParams, &VARFRM::getHPParams};
    static const ParamFace coop{"CoopBalanceDialog", "Balance", buildBalance,
                                &VARFRM::displayBalance, &VARFRM::getBalance};
    static const ParamFace pension{"PensionContributionDialog", "Pension Fund Parameters",
                                   buildPension, &VARFRM::displayPFParams, &VARFRM::getPFParams};
    static const ParamFace loan{"LoanDialog", "Loan Parameters", buildLoan,
                                &VARFRM::displayLoanParams, &VARFRM::getLoanParams};
    static const ParamFace bankLoan{"BankLoanDialog", "Bank Loan Parameters", buildBankLoan,
                                    &VARFRM::displayBLParams, &VARFRM::getBLParams};
    static const ParamFace savings{"SavingsDialog", "Savings Parameters", buildSavings,
                                   &VARFRM::displaySPParams, &VARFRM::getSPParams};
    static const ParamFace recovery{"RecoveryBalanceDialog", "Balance", buildBalance,
                                    &VARFRM::displayRecoveryParam, &VARFRM::getRecoveryParam};
    switch (which) {
    case ParamDialog::HourlyPay:
        return &hourly;
    case ParamDialog::CoopBalance:
        return &coop;
    case ParamDialog::PensionFund:
        return &pension;
    case ParamDialog::Loan:
        return &loan;
    case ParamDialog::BankLoan:
        return &bankLoan;
    case ParamDialog::Savings:
        return &savings;
    case ParamDialog::CostRecovery:
        return &recovery;
    case ParamDialog::None:
        break;
    }
    return nullptr;
}

} // namespace

bool runTimeWorked(const DialogContext& context, VARFRM& form) {
    namespace c = staffrecords::timeworkeddlg;
    FormDialog dialog(context.parent, "TimeWorkedDialog", QStringLiteral("Basic Pay"));
    nameCaption(dialog, figure(dialog, c::kTimeWorked, QStringLiteral("Days Absent"), kHoursLength),
                c::kLabel);
    return runPair(context, dialog, form, &VARFRM::displayBPParams, &VARFRM::getBPParams);
}

bool runOvertime(const DialogContext& context, VARFRM& form) {
    namespace c = staffrecords::overtimedlg;
    FormDialog dialog(context.parent, "OvertimeDialog", QStringLiteral("Overtime"));
    figure(dialog, c::kNormalHours, QStringLiteral("Normal Overtime Hours"), kHoursLength);
    figure(dialog, c::kDoubleHours, QStringLiteral("Double Overtime Hours"), kHoursLength);
    return runPair(context, dialog, form, &VARFRM::displayOTHrs, &VARFRM::getOTHrs);
}

bool runItemParameters(const DialogContext& context, VARFRM& form,
                       staffrecords::ParamDialog which) {
    const ParamFace* face = faceOf(which);
    if (!face)
        return false;
    FormDialog dialog(context.parent, face->objectName, QString::fromLatin1(face->caption));
    face->build(dialog);
    // Another bank has other branches, and the number was the old bank's.
    if (auto* bank =
            dialog.findChild<QComboBox*>(QString::fromLatin1(staffrecords::bankloandlg::kBank)))
        QObject::connect(bank, &QComboBox::activated, &dialog,
                         [&form, &dialog] { form.resetBranches(dialog.view()); });
    return runPair(context, dialog, form, face->display, face->get);
}

std::unique_ptr<FormDialog> parametersLayout(const DialogContext& context,
                                             staffrecords::ParamDialog which) {
    const ParamFace* face = faceOf(which);
    if (!face)
        return nullptr;
    auto dialog = std::make_unique<FormDialog>(context.parent, face->objectName,
                                               QString::fromLatin1(face->caption));
    face->build(*dialog);
    dialog->addButtons(QStringLiteral("OK"), {}, &context.help, helpctx::Transactions);
    fitCaption(*dialog);
    return dialog;
}

bool runAddEmployees(const DialogContext& context, VARFRM& form) {
    namespace c = staffrecords::addempdlg;
    FormDialog dialog(context.parent, "AddEmployeesDialog",
                      QStringLiteral("Add Employees to Payroll"));
    QRadioButton* all = dialog.addRadio(c::kAddAll, QStringLiteral("Add All"));
    QRadioButton* selected = dialog.addRadio(c::kAddSelected, QStringLiteral("Add Selected"));
    auto* list = new QTreeWidget(&dialog);
    list->setObjectName(QString::fromLatin1(c::kEmployees));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setHeaderLabels({QStringLiteral("Employee No."), QStringLiteral("Name")});
    const int letter = list->fontMetrics().averageCharWidth();
    list->setColumnWidth(0, letter * 16);
    list->setMinimumSize(letter * 56, list->fontMetrics().height() * 12);
    dialog.mainLayout()->addWidget(list, 1);
    for (QRadioButton* choice : {all, selected})
        QObject::connect(choice, &QRadioButton::toggled, &dialog, [&form, &dialog](bool on) {
            if (on)
                form.resetAddEmpDlg(dialog.view());
        });
    // A double click adds the employees chosen.
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, &dialog, [&dialog] {
        if (QPushButton* ok = dialog.button("OkButton"))
            ok->click();
    });
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return form.addRecords(dialog.view()); }, &context.help,
        helpctx::Transactions);
    if (!form.initAddEmpDlg(dialog.view()))
        return false;
    (all->isChecked() ? all : selected)->setFocus();
    fitCaption(dialog);
    return context.host.exec(dialog) == QDialog::Accepted;
}

} // namespace kelo::app
