#include "app/main/ReportOptionsDialogs.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/HelpViewer.h"
#include "app/main/Session.h"
#include "common/ReportRecords.h"
#include "setup/OptionsDlg.h"
#include "setup/Users.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <iterator>

namespace kelo::app {

namespace {

using common::DialogView;
using setup::OPTIONSDLG;

void addSortGroup(FormDialog& dialog, const char* group, const char* byName, const char* byNumber,
                  const QString& numberText) {
    dialog.beginGroup(group, QStringLiteral("Sort By"));
    dialog.addRadio(byName, QStringLiteral("&Name"));
    dialog.addRadio(byNumber, numberText);
    dialog.endGroup();
}

// An option dialog is shown only once its options were read; OK stores
// them and keeps the dialog open when they are refused.
void runOptions(const DialogContext& context, FormDialog& dialog, int helpContext,
                const std::function<bool(common::Ui&, DialogView&)>& display,
                const std::function<bool(common::Ui&, DialogView&)>& store) {
    common::Ui& ui = context.session.ui();
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return store(ui, dialog.view()); }, &context.help, helpContext);
    if (!display(ui, dialog.view()))
        return;
    fitCaption(dialog);
    context.host.exec(dialog);
}

void runSortOptions(const DialogContext& context, const QString& report) {
    namespace ids = setup::sortoptionsdlg;
    OPTIONSDLG& logic = context.session.options();
    FormDialog dialog(context.parent, "SortOptionsDialog", QStringLiteral("Sort Options"));
    // Every report but three shares this dialog; the clerk sees which one.
    dialog.addText(QStringLiteral("Report: %1").arg(report));
    addSortGroup(dialog, ids::SortGroup, ids::SortByName, ids::SortByNumber,
                 QStringLiteral("&Employee Number"));
    runOptions(
        context, dialog, helpctx::SortOptions,
        [&](common::Ui& ui, DialogView& view) { return logic.displaySortKey(ui, view); },
        [&](common::Ui& ui, const DialogView& view) { return logic.getSortKey(ui, view); });
}

void runPayslipOptions(const DialogContext& context) {
    namespace ids = setup::psoptionsdlg;
    OPTIONSDLG& logic = context.session.options();
    FormDialog dialog(context.parent, "PayslipOptionsDialog", QStringLiteral("Payslip Options"));
    // Every "Print" box starts alike, so each gets the letter that sets it
    // apart rather than the first one free.
    addSortGroup(dialog, ids::SortGroup, ids::SortByName, ids::SortByNumber,
                 QStringLiteral("Employee n&umber"));
    dialog.addCheck(ids::Separator, QStringLiteral("Draw &separator line"));
    QCheckBox* duplicate = dialog.addCheck(ids::Duplicate, QStringLiteral("Print in &duplicate"));
    dialog.addCheck(ids::EmployerPension, QStringLiteral("Print employer &pension"));
    dialog.addCheck(ids::PensionBalance, QStringLiteral("Print pension &balance"));
    dialog.addCheck(ids::LoanBreakdown, QStringLiteral("Print &loan breakdown"));
    dialog.addCheck(ids::LeaveBalance, QStringLiteral("Print lea&ve balance"));
    dialog.beginGroup(ids::SignatureGroup, QString::fromLatin1(ids::kSignedBy));
    dialog.addRadio(ids::NotSigned, QStringLiteral("N&ot signed"));
    dialog.addRadio(ids::Employer, QStringLiteral("&Employer"));
    dialog.addRadio(ids::Employee, QStringLiteral("Emplo&yee"));
    dialog.addRadio(ids::Both, QStringLiteral("Bo&th"));
    dialog.endGroup();
    QObject::connect(duplicate, &QCheckBox::toggled, &dialog,
                     [&] { logic.resetPSOptions(dialog.view()); });
    runOptions(
        context, dialog, helpctx::PayslipOptions,
        [&](common::Ui& ui, DialogView& view) { return logic.displayPSOptions(ui, view); },
        [&](common::Ui& ui, const DialogView& view) { return logic.getPSOptions(ui, view); });
}

void runControlAccountOptions(const DialogContext& context) {
    namespace ids = setup::caoptionsdlg;
    OPTIONSDLG& logic = context.session.options();
    FormDialog dialog(context.parent, "ControlAccountOptionsDialog",
                      QStringLiteral("Control Account Options"));
    dialog.beginGroup(ids::BreakdownGroup, QStringLiteral("Breakdown"));
    // Not the "B" both choices start with.
    dialog.addRadio(ids::None, QStringLiteral("&None"));
    dialog.addRadio(ids::ByUnit, QStringLiteral("By &Adminstrative Unit"));
    dialog.addRadio(ids::ByStation, QStringLiteral("By &Station"));
    dialog.endGroup();
    runOptions(
        context, dialog, helpctx::ControlAccountOptions,
        [&](common::Ui& ui, DialogView& view) { return logic.displayCAOptions(ui, view); },
        [&](common::Ui& ui, const DialogView& view) { return logic.getCAOptions(ui, view); });
}

void runMusterRollOptions(const DialogContext& context) {
    namespace ids = setup::mroptionsdlg;
    OPTIONSDLG& logic = context.session.options();
    FormDialog dialog(context.parent, "MusterRollOptionsDialog",
                      QStringLiteral("Muster Roll Options"));
    addSortGroup(dialog, ids::SortGroup, ids::SortByName, ids::SortByNumber,
                 QStringLiteral("&Employee Number"));
    dialog.beginGroup(ids::GroupingGroup, QStringLiteral("Grouping"));
    dialog.addRadio(ids::None, QStringLiteral("N&one"));
    dialog.addRadio(ids::ByUnit, QStringLiteral("&Adminstrative Unit"));
    dialog.addRadio(ids::ByStation, QStringLiteral("&Station"));
    dialog.endGroup();
    runOptions(
        context, dialog, helpctx::MusterRollOptions,
        [&](common::Ui& ui, DialogView& view) { return logic.displayMROptions(ui, view); },
        [&](common::Ui& ui, const DialogView& view) { return logic.getMROptions(ui, view); });
}

void runCashListOptions(const DialogContext& context) {
    namespace ids = setup::cloptionsdlg;
    OPTIONSDLG& logic = context.session.options();
    FormDialog dialog(context.parent, "CashListOptionsDialog", QStringLiteral("Cash List Options"));
    addSortGroup(dialog, ids::SortGroup, ids::SortByName, ids::SortByNumber,
                 QStringLiteral("&Employee Number"));
    // Two columns of five keep the form short, read down like the cash
    // list's headings across. Ten boxes of figures have no letters for Alt
    // keys; the group's reaches the first.
    auto* group = new QGroupBox(QStringLiteral("Notes and coins &paid out"), &dialog);
    group->setObjectName(QString::fromLatin1(ids::DenominationsGroup));
    auto* grid = new QGridLayout(group);
    constexpr int kRows = static_cast<int>(std::size(ids::Denominations) + 1) / 2;
    int index = 0;
    for (const ids::DenominationBox& box : ids::Denominations) {
        auto* check = new QCheckBox(QString::fromLatin1(box.text), group);
        check->setObjectName(QString::fromLatin1(box.name));
        grid->addWidget(check, index % kRows, index / kRows);
        ++index;
    }
    dialog.mainLayout()->addWidget(group);
    runOptions(
        context, dialog, helpctx::CashListOptions,
        [&](common::Ui& ui, DialogView& view) { return logic.displayCLOptions(ui, view); },
        [&](common::Ui& ui, DialogView& view) { return logic.getCLOptions(ui, view); });
}

// The chosen report's options; the setup class tells the user when there
// is none.
void runChosenOptions(const DialogContext& context, FormDialog& list) {
    Session& session = context.session;
    const std::int32_t report =
        session.options().getSelRepID(session.ui(), list.view(), *session.users().getUser());
    const DialogContext inner{session, context.host, context.help, &list};
    switch (report) {
    case 0:
        break;
    case common::kReportPayslips:
        runPayslipOptions(inner);
        break;
    case common::kReportControlAccount:
        runControlAccountOptions(inner);
        break;
    case common::kReportMusterRoll:
        runMusterRollOptions(inner);
        break;
    case common::kReportCashList:
        runCashListOptions(inner);
        break;
    default: {
        const int row = list.view().selectedRow(setup::reportoptionsdlg::List);
        runSortOptions(inner, QString::fromStdString(
                                  list.view().itemText(setup::reportoptionsdlg::List, row)));
        break;
    }
    }
    list.view().setFocus(setup::reportoptionsdlg::List);
}

} // namespace

void runReportOptions(const DialogContext& context) {
    namespace ids = setup::reportoptionsdlg;
    Session& session = context.session;
    if (!session.options().checkFile(session.ui()))
        return;
    FormDialog dialog(context.parent, "ReportOptionsDialog", QStringLiteral("Report Options"));
    auto* row = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QString::fromLatin1(ids::List));
    auto* label = new QLabel(QStringLiteral("&Reports:"), &dialog);
    label->setBuddy(list);
    left->addWidget(label);
    left->addWidget(list);
    row->addLayout(left, 1);
    auto* column = new QVBoxLayout;
    QPushButton* options =
        addColumnButton(dialog, *column, ids::Options, QStringLiteral("&Options..."));
    // Enter in the list opens the chosen report's options.
    options->setDefault(true);
    column->addStretch();
    QPushButton* close = addColumnButton(dialog, *column, ids::Close, QStringLiteral("&Close"));
    QPushButton* help = addColumnButton(dialog, *column, "HelpButton", QStringLiteral("&Help"));
    row->addLayout(column);
    dialog.mainLayout()->addLayout(row);

    QObject::connect(options, &QPushButton::clicked, &dialog,
                     [&] { runChosenOptions(context, dialog); });
    // A double click, not activation: Enter already reaches Options as the
    // default button.
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog,
                     [&] { runChosenOptions(context, dialog); });
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(help, &QPushButton::clicked, &dialog,
                     [&context] { context.help.show(helpctx::ReportOptions); });

    session.options().initDlg(dialog.view(), *session.users().getUser());
    // The longest report name shows whole, and a good part of the list
    // without scrolling.
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                          list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8);
    list->setMinimumHeight(list->fontMetrics().height() * 14);
    fitCaption(dialog);
    list->setFocus();
    context.host.exec(dialog);
}

} // namespace kelo::app
