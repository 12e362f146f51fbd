#include "app/main/StatutoryTableDialogs.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/HelpViewer.h"
#include "app/main/Session.h"
#include "app/shell/Commands.h"
#include "setup/Orgs.h"
#include "setup/StatutoryDialogs.h"
#include "setup/Users.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace kelo::app {

namespace {

using common::DialogView;

bool mayModify(Session& session) {
    return session.users().getUser()->modifyTaxTables != 0;
}

int fiscalYear(Session& session) {
    return session.orgs().fiscalYear();
}

// Amounts and rates line up on their last digit, as in the lists.
QLineEdit* addNumber(FormDialog& dialog, const char* name, const QString& label) {
    QLineEdit* edit = dialog.addEdit(name, label, 15);
    edit->setAlignment(Qt::AlignRight);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 16);
    return edit;
}

// The list dialogs ("Rates Table", "Income Brackets for P10 Report") differ
// only in their names, columns, row fields and the setup calls behind them.
struct ListFace {
    const char* dialogName;
    const char* rowDialogName;
    QString rowCaption;
    const char* list;
    const char* insertButton;
    const char* deleteButton;
    const char* editButton;
    const char* closeButton;
    std::vector<std::pair<QString, int>> columns; // title, width in dialog units
    int refreshSeconds;
    int helpContext;
    std::function<void(FormDialog&)> buildRow;
    std::function<bool(DialogView&, DialogView&)> initNew, closeNew, initEdit, closeEdit;
    std::function<void()> cancelEdit;
    std::function<bool(DialogView&)> deleteRow, closeFile;
    std::function<void(DialogView&)> refresh;
};

// A list dialog ends only when its table agrees to close (the chain of
// limits is whole), whether by Close, Escape or the window's close box.
class TableListDialog : public FormDialog {
public:
    TableListDialog(QWidget* parent, const char* name, std::function<bool()> mayClose)
        : FormDialog(parent, name, QString()),
          mayClose_(std::move(mayClose)) {}

    void closeWith(int result) {
        if (mayClose_())
            done(result);
    }
    void reject() override { closeWith(QDialog::Rejected); }

private:
    std::function<bool()> mayClose_;
};

QTreeWidget* addListView(TableListDialog& dialog, const ListFace& face) {
    auto* view = new QTreeWidget(&dialog);
    view->setObjectName(QString::fromLatin1(face.list));
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Grid lines between the cells, which a tree view does not draw itself;
    // styling the items means the selection must be styled too.
    view->setStyleSheet(QStringLiteral("QTreeView::item { border-right: 1px solid palette(mid); "
                                       "border-bottom: 1px solid palette(mid); padding: 1px 4px; }"
                                       "QTreeView::item:selected { background: palette(highlight); "
                                       "color: palette(highlighted-text); }"));
    view->setColumnCount(static_cast<int>(face.columns.size()));
    QStringList titles;
    for (const auto& column : face.columns)
        titles << column.first;
    view->setHeaderLabels(titles);
    // Dialog units are a quarter of the average character width.
    const int charWidth = view->fontMetrics().averageCharWidth();
    int width = 0;
    for (int c = 0; c < static_cast<int>(face.columns.size()); ++c) {
        const int pixels = face.columns[static_cast<std::size_t>(c)].second * charWidth / 4;
        view->setColumnWidth(c, pixels);
        view->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        width += pixels;
    }
    view->setMinimumWidth(width + view->frameWidth() * 2 +
                          view->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2);
    view->setMinimumHeight(view->fontMetrics().height() * 14);
    QObject::connect(view->model(), &QAbstractItemModel::rowsInserted, view,
                     [view](const QModelIndex&, int first, int last) {
                         for (int row = first; row <= last; ++row)
                             if (QTreeWidgetItem* item = view->topLevelItem(row))
                                 for (int c = 0; c < view->columnCount(); ++c)
                                     item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
                     });
    return view;
}

// Enter on a row edits it. The list would otherwise pass the key on to the
// dialog, whose default button closes it.
class EnterClicks : public QObject {
public:
    EnterClicks(QPushButton* button, QObject* parent) : QObject(parent), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (button_->isEnabled())
                    button_->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPushButton* button_;
};

// The row dialog for a new row (after the selected one) or the selected row.
void runRow(const DialogContext& context, TableListDialog& list, const ListFace& face,
            bool adding) {
    FormDialog row(&list, face.rowDialogName, face.rowCaption);
    face.buildRow(row);
    row.addButtons(
        QStringLiteral("OK"),
        [&] {
            return adding ? face.closeNew(list.view(), row.view())
                          : face.closeEdit(list.view(), row.view());
        },
        &context.help, face.helpContext);
    if (!adding)
        row.setOnCancel(face.cancelEdit);
    const bool ready =
        adding ? face.initNew(list.view(), row.view()) : face.initEdit(list.view(), row.view());
    if (ready) {
        fitCaption(row);
        context.host.exec(row);
    }
    list.view().setFocus(face.list);
}

// `init` fills the dialog (and opens the table); false shows nothing.
void runList(const DialogContext& context, const ListFace& face,
             const std::function<bool(DialogView&)>& init) {
    TableListDialog dialog(context.parent, face.dialogName,
                           [&] { return face.closeFile(dialog.view()); });
    auto* row = new QHBoxLayout;
    QTreeWidget* view = addListView(dialog, face);
    row->addWidget(view, 1);
    auto* column = new QVBoxLayout;
    QPushButton* insert =
        addColumnButton(dialog, *column, face.insertButton, QStringLiteral("&Insert..."));
    QPushButton* remove =
        addColumnButton(dialog, *column, face.deleteButton, QStringLiteral("&Delete"));
    QPushButton* edit =
        addColumnButton(dialog, *column, face.editButton, QStringLiteral("&Edit..."));
    column->addStretch();
    QPushButton* close =
        addColumnButton(dialog, *column, face.closeButton, QStringLiteral("&Close"));
    close->setDefault(true);
    QPushButton* help = addColumnButton(dialog, *column, "HelpButton", QStringLiteral("&Help"));
    row->addLayout(column);
    dialog.mainLayout()->addLayout(row);

    const DialogContext inner{context.session, context.host, context.help, &dialog};
    QObject::connect(insert, &QPushButton::clicked, &dialog,
                     [&] { runRow(inner, dialog, face, true); });
    QObject::connect(edit, &QPushButton::clicked, &dialog,
                     [&] { runRow(inner, dialog, face, false); });
    QObject::connect(view, &QTreeWidget::itemDoubleClicked, &dialog, [edit] {
        if (edit->isEnabled())
            edit->click();
    });
    view->installEventFilter(new EnterClicks(edit, view));
    QObject::connect(remove, &QPushButton::clicked, &dialog,
                     [&] { face.deleteRow(dialog.view()); });
    QObject::connect(close, &QPushButton::clicked, &dialog,
                     [&] { dialog.closeWith(QDialog::Accepted); });
    QObject::connect(help, &QPushButton::clicked, &dialog,
                     [&] { context.help.show(face.helpContext); });

    if (!init(dialog.view()))
        return;
    fitCaption(dialog);
    // Other users' changes show while the dialog is open.
    auto* timer = new QTimer(&dialog);
    timer->setObjectName(QStringLiteral("RefreshTimer"));
    timer->setInterval(face.refreshSeconds * 1000);
    QObject::connect(timer, &QTimer::timeout, &dialog, [&] { face.refresh(dialog.view()); });
    timer->start();
    view->setFocus();
    context.host.exec(dialog);
}

// The one-record tables: OK stores through closeDlg, Cancel lets go.
void runRecord(const DialogContext& context, FormDialog& dialog, int helpContext,
               const std::function<bool()>& init, const std::function<bool()>& store,
               const std::function<void()>& cancel) {
    dialog.addButtons(QStringLiteral("OK"), store, &context.help, helpContext);
    dialog.setOnCancel(cancel);
    if (!init())
        return;
    fitCaption(dialog);
    context.host.exec(dialog);
}

} // namespace

void runPayeRates(const DialogContext& context) {
    Session& session = context.session;
    setup::PAYEDLG logic(session.ui(), session.code(), session.folder());
    logic.setMayModify(mayModify(session));
    ListFace face{
        "RatesTableDialog",
        "RatePropertiesDialog",
        QStringLiteral("Rate Properties"),
        setup::payedlg::List,
        setup::payedlg::Insert,
        setup::payedlg::Delete,
        setup::payedlg::Edit,
        setup::payedlg::Close,
        {},
        setup::payedlg::kRefreshSeconds,
        helpctx::PayeRates,
        [](FormDialog& row) {
            addNumber(row, setup::payeratedlg::LowerLimit, QStringLiteral("&Lower Limit"));
            addNumber(row, setup::payeratedlg::UpperLimit, QStringLiteral("&Upper Limit"));
            addNumber(row, setup::payeratedlg::TaxRate, QStringLiteral("&Tax Rate (%)"));
        },
        [&](DialogView& w, DialogView& r) { return logic.initNewRateDlg(w, r); },
        [&](DialogView& w, DialogView& r) { return logic.closeNewRateDlg(w, r); },
        [&](DialogView& w, DialogView& r) { return logic.initEditRateDlg(w, r); },
        [&](DialogView& w, DialogView& r) { return logic.closeEditRateDlg(w, r); },
        [&] { logic.cancelEditRateDlg(); },
        [&](DialogView& w) { return logic.deleteRate(w); },
        [&](DialogView& w) { return logic.closeFile(w); },
        [&](DialogView& w) { logic.refreshDlg(w); }};
    for (const auto& column : setup::payedlg::kColumns)
        face.columns.emplace_back(QString::fromLatin1(column.title), column.width);
    const int year = fiscalYear(session);
    runList(context, face, [&](DialogView& w) { return logic.initDlg(w, year); });
}

void runIncomeBrackets(const DialogContext& context) {
    Session& session = context.session;
    setup::INCOMESDLG logic(session.ui(), session.code(), session.folder());
    logic.setMayModify(mayModify(session));
    ListFace face{
        "IncomeBracketsDialog",
        "IncomeBracketDialog",
        QStringLiteral("Income Bracket"),
        setup::incomesdlg::List,
        setup::incomesdlg::Insert,
        setup::incomesdlg::Delete,
        setup::incomesdlg::Edit,
        setup::incomesdlg::Close,
        {},
        setup::incomesdlg::kRefreshSeconds,
        helpctx::IncomeBrackets,
        [](FormDialog& row) {
            addNumber(row, setup::incomebracketdlg::LowerLimit, QStringLiteral("&Lower Limit"));
            addNumber(row, setup::incomebracketdlg::UpperLimit, QStringLiteral("&Upper Limit"));
        },
        [&](DialogView& w, DialogView& r) { return logic.initNewRecDlg(w, r); },
        [&](DialogView& w, DialogView& r) { return logic.closeNewRecDlg(w, r); },
        [&](DialogView& w, DialogView& r) { return logic.initEditRecDlg(w, r); },
        [&](DialogView& w, DialogView& r) { return logic.closeEditRecDlg(w, r); },
        [&] { logic.cancelEditRecDlg(); },
        [&](DialogView& w) { return logic.deleteRec(w); },
        [&](DialogView& w) { return logic.closeFile(w); },
        [&](DialogView& w) { logic.refreshDlg(w); }};
    for (const auto& column : setup::incomesdlg::kColumns)
        face.columns.emplace_back(QString::fromLatin1(column.title), column.width);
    runList(context, face, [&](DialogView& w) { return logic.initDlg(w); });
}

void runPayeParameters(const DialogContext& context) {
    Session& session = context.session;
    setup::PAYEPARAMDLG logic(session.ui(), session.code(), session.folder());
    logic.setMayModify(mayModify(session));
    FormDialog dialog(context.parent, "PayeParametersDialog", QString());
    addNumber(dialog, setup::payeparamdlg::MaxPension,
              QStringLiteral("&Maximum Allowable Pension Fund"));
    dialog.beginGroup("StatRateGroup", QStringLiteral("Statutory Interest Rate (%):"));
    addNumber(dialog, setup::payeparamdlg::StatRateJulDec, QStringLiteral("&July to December"));
    addNumber(dialog, setup::payeparamdlg::StatRateJanJun, QStringLiteral("J&anuary to June"));
    dialog.endGroup();
    const int year = fiscalYear(session);
    runRecord(
        context, dialog, helpctx::PayeParameters,
        [&] { return logic.initDlg(dialog.view(), year); },
        [&] { return logic.closeDlg(dialog.view()); }, [&] { logic.cancelDlg(); });
}

void runNssfRates(const DialogContext& context) {
    Session& session = context.session;
    setup::NSSFDLG logic(session.ui(), session.code(), session.folder());
    logic.setMayModify(mayModify(session));
    FormDialog dialog(context.parent, "NssfRatesDialog", QString());
    addNumber(dialog, setup::nssfdlg::EmployeeRate, QStringLiteral("&Employee (%)"));
    addNumber(dialog, setup::nssfdlg::EmployerRate, QStringLiteral("Employe&r (%)"));
    const int year = fiscalYear(session);
    runRecord(
        context, dialog, helpctx::NssfRates, [&] { return logic.initDlg(dialog.view(), year); },
        [&] { return logic.closeDlg(dialog.view()); }, [&] { logic.cancelDlg(); });
}

void runSdlRate(const DialogContext& context) {
    Session& session = context.session;
    setup::SDLDLG logic(session.ui(), session.code(), session.folder());
    // Every user may open the SDL rate; only those who may modify tax
    // tables change it.
    logic.setMayModify(mayModify(session));
    FormDialog dialog(context.parent, "SdlRateDialog", QString());
    addNumber(dialog, setup::sdldlg::Rate, QStringLiteral("&Employer (%)"));
    const int year = fiscalYear(session);
    runRecord(
        context, dialog, helpctx::SdlRate, [&] { return logic.initDlg(dialog.view(), year); },
        [&] { return logic.closeDlg(dialog.view()); }, [&] { logic.cancelDlg(); });
}

void runWcfRate(const DialogContext& context) {
    Session& session = context.session;
    setup::WCFDLG logic(session.ui(), session.code(), session.folder());
    // As the SDL rate: every user may open it, only those who may modify
    // tax tables change it.
    logic.setMayModify(mayModify(session));
    FormDialog dialog(context.parent, "WcfRateDialog", QString());
    addNumber(dialog, setup::wcfdlg::Rate, QStringLiteral("&Employer (%)"));
    const int year = fiscalYear(session);
    runRecord(
        context, dialog, helpctx::WcfRate, [&] { return logic.initDlg(dialog.view(), year); },
        [&] { return logic.closeDlg(dialog.view()); }, [&] { logic.cancelDlg(); });
}

} // namespace kelo::app
