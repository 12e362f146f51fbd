#include "app/main/TreeDialogs.h"

#include "app/main/AutomationHosts.h"
#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/HelpViewer.h"
#include "app/main/Session.h"
#include "setup/TreeDialogs.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace kelo::app {

namespace {

QTreeWidget* addTree(QDialog& dialog, const char* name) {
    auto* tree = new QTreeWidget(&dialog);
    tree->setObjectName(QString::fromLatin1(name));
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setUniformRowHeights(true);
    // A double-click opens the entry; the arrows fold and unfold.
    tree->setExpandsOnDoubleClick(false);
    // Room for a 24-character name three levels down.
    const int scrollBar = tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    tree->setMinimumSize(tree->fontMetrics().averageCharWidth() * 28 + tree->indentation() * 4 +
                             scrollBar,
                         tree->fontMetrics().height() * 16);
    return tree;
}

// The Close and Help buttons at the foot of a window's button column.
QPushButton* addFoot(const DialogContext& context, QDialog& dialog, QVBoxLayout& column,
                     const char* closeName, int helpContext) {
    column.addStretch();
    QPushButton* close = addColumnButton(dialog, column, closeName, QStringLiteral("&Close"));
    QPushButton* help = addColumnButton(dialog, column, "HelpButton", QStringLiteral("&Help"));
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    HelpViewer& viewer = context.help;
    QObject::connect(help, &QPushButton::clicked, &dialog,
                     [&viewer, helpContext] { viewer.show(helpContext); });
    return close;
}

// Enter on an entry presses the button itself, whichever button is the
// default at the time.
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

// A double-click or Enter on an entry does what the button does.
void openWith(QAbstractItemView* view, QPushButton* button) {
    QObject::connect(view, &QAbstractItemView::doubleClicked, button, [button] {
        if (button->isEnabled())
            button->click();
    });
    view->installEventFilter(new EnterClicks(button, view));
}

// Other users' changes show while the window is open.
QTimer* startRefresh(QDialog& dialog, int interval, std::function<void()> refresh) {
    auto* timer = new QTimer(&dialog);
    timer->setObjectName(QStringLiteral("RefreshTimer"));
    timer->setInterval(interval);
    QObject::connect(timer, &QTimer::timeout, &dialog, std::move(refresh));
    timer->start();
    return timer;
}

// A dialog opened from a tree window. The tree holds still meanwhile, so
// that the entry being worked on is the one the clerk chose.
void runChild(const DialogContext& context, FormDialog& child, QTimer* timer) {
    // A form of one or two lines would otherwise sit on its buttons.
    QVBoxLayout* layout = child.mainLayout();
    layout->insertSpacing(layout->count() - 1, child.fontMetrics().height() / 2);
    fitCaption(child);
    const bool running = timer && timer->isActive();
    if (running)
        timer->stop();
    context.host.exec(child);
    if (running)
        timer->start();
}

// Counts line up on their last digit and keep the width of five digits.
void addCount(FormDialog& dialog, const char* name, const QString& label) {
    QLineEdit* edit = dialog.addEdit(name, label, 5);
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 9);
}

void addCode(FormDialog& dialog, int width) {
    QLineEdit* edit = dialog.addEdit(setup::bankprptsdlg::Code, QStringLiteral("Code"), width);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (width + 6));
}

// ------------------------------------------------------------------ units

void runUnitDialog(const DialogContext& context, FormDialog& units, setup::UNITSDLG& logic,
                   QTimer* timer, bool adding) {
    using namespace setup::unitprptsdlg;
    common::Ui& ui = context.session.ui();
    FormDialog dialog(&units, adding ? "NewUnitDialog" : "UnitPropertiesDialog",
                      QStringLiteral("Unit Properties"));
    dialog.addEdit(Name, adding ? QStringLiteral("Name:") : QStringLiteral("Name"), 24);
    // A rename shows only the name; the setup class hides the rest.
    dialog.beginGroup(InsertAt, QStringLiteral("Insert at:"));
    dialog.addRadio(ThisLevel, QStringLiteral("This level"));
    dialog.addRadio(OneLevelDown, QStringLiteral("One level down"));
    dialog.endGroup();
    dialog.addButtons(
        QStringLiteral("OK"),
        [&] {
            return adding ? logic.closeNewUnitDlg(ui, dialog.view(), units.view())
                          : logic.closePrptsDlg(ui, dialog.view(), units.view());
        },
        &context.help, helpctx::Units);
    if (!adding)
        dialog.setOnCancel([&logic] { logic.cancelPrptsDlg(); });
    const bool ready = adding ? logic.initNewUnitDlg(ui, units.view(), dialog.view())
                              : logic.initPrptsDlg(ui, units.view(), dialog.view());
    if (ready)
        runChild(context, dialog, timer);
    units.view().setFocus(setup::unitsdlg::Tree);
}

} // namespace

void runUnits(const DialogContext& context) {
    DialogHost& host = context.host;
    using namespace setup::unitsdlg;
    Session& session = context.session;
    setup::UNITSDLG logic(session.code(), session.folder());
    if (!logic.checkFile(session.ui()))
        return;
    FormDialog dialog(context.parent, "AdministrativeUnitsDialog", QString());
    auto* row = new QHBoxLayout;
    QTreeWidget* tree = addTree(dialog, Tree);
    row->addWidget(tree, 1);
    auto* column = new QVBoxLayout;
    QPushButton* add = addColumnButton(dialog, *column, Add, QStringLiteral("&Add"));
    QPushButton* remove = addColumnButton(dialog, *column, Delete, QStringLiteral("&Delete"));
    QPushButton* properties =
        addColumnButton(dialog, *column, Properties, QStringLiteral("&Properties..."));
    // Enter opens the selected unit, as a double-click does.
    properties->setDefault(true);
    addFoot(context, dialog, *column, Close, helpctx::Units);
    row->addLayout(column);
    dialog.mainLayout()->addLayout(row);

    if (!logic.initDlg(session.ui(), dialog.view()))
        return;
    QTimer* timer = startRefresh(dialog, RefreshInterval, [&] { logic.refreshDlg(dialog.view()); });
    const DialogContext inner{session, host, context.help, &dialog};
    QObject::connect(add, &QPushButton::clicked, &dialog,
                     [&] { runUnitDialog(inner, dialog, logic, timer, true); });
    QObject::connect(properties, &QPushButton::clicked, &dialog,
                     [&] { runUnitDialog(inner, dialog, logic, timer, false); });
    QObject::connect(remove, &QPushButton::clicked, &dialog, [&] {
        logic.deleteUnit(session.ui(), dialog.view());
        tree->setFocus();
    });
    openWith(tree, properties);
    fitCaption(dialog);
    tree->setFocus();
    host.exec(dialog);
    logic.closeDlg();
}

// ------------------------------------------------------------------ posts

namespace {

void runEditPosts(const DialogContext& context, FormDialog& posts, setup::POSTSDLG& logic,
                  QTimer* timer) {
    using namespace setup::editpostsdlg;
    common::Ui& ui = context.session.ui();
    FormDialog dialog(&posts, "EditPostsDialog", QStringLiteral("Edit Posts"));
    dialog.addEdit(Unit, QStringLiteral("Administrative Unit"), 24)->setReadOnly(true);
    QComboBox* job = dialog.addList(JobTitle, QStringLiteral("Job Title"));
    dialog.beginGroup(NumberOfPosts, QStringLiteral("Number of Posts"));
    addCount(dialog, Permanent, QStringLiteral("Permanent"));
    addCount(dialog, Contract, QStringLiteral("Contract"));
    addCount(dialog, Temporary, QStringLiteral("Temporary"));
    addCount(dialog, Casual, QStringLiteral("Casual"));
    dialog.endGroup();
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return logic.closeEditDlg(ui, dialog.view(), posts.view()); },
        &context.help, helpctx::Posts);
    dialog.setOnCancel([&logic] { logic.cancelEditDlg(); });
    if (logic.initEditDlg(ui, posts.view(), dialog.view())) {
        QObject::connect(job, &QComboBox::currentIndexChanged, &dialog,
                         [&] { logic.displayNumPosts(dialog.view()); });
        // The unit is given; the job is the first thing to choose.
        job->setFocus();
        runChild(context, dialog, timer);
    }
    posts.view().setFocus(setup::postsdlg::Posts);
}

} // namespace

void runPosts(const DialogContext& context) {
    DialogHost& host = context.host;
    using namespace setup::postsdlg;
    Session& session = context.session;
    setup::POSTSDLG logic(session.code(), session.folder());
    if (!logic.checkFiles(session.ui()))
        return;
    FormDialog dialog(context.parent, "PostsDialog", QString());
    auto* row = new QHBoxLayout;
    // The units get a caption of their own, so that they line up with the
    // posts list beside them and Alt+A reaches them.
    auto* left = new QVBoxLayout;
    QTreeWidget* tree = addTree(dialog, Tree);
    auto* unitsLabel = new QLabel(QStringLiteral("&Administrative Units:"), &dialog);
    unitsLabel->setBuddy(tree);
    left->addWidget(unitsLabel);
    left->addWidget(tree, 1);
    row->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    auto* label = new QLabel(QStringLiteral("Posts:"), &dialog);
    label->setObjectName(QString::fromLatin1(PostsLabel));
    right->addWidget(label);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QString::fromLatin1(Posts));
    // "Posts in " and a 24-character unit name above a job title and its count.
    list->setMinimumWidth(list->fontMetrics().averageCharWidth() * 40);
    right->addWidget(list, 1);
    row->addLayout(right, 1);
    auto* column = new QVBoxLayout;
    QPushButton* edit = addColumnButton(dialog, *column, Edit, QStringLiteral("&Edit..."));
    edit->setDefault(true);
    addFoot(context, dialog, *column, Close, helpctx::Posts);
    row->addLayout(column);
    dialog.mainLayout()->addLayout(row);

    // Filling the tree moves its selection many times; the list follows once.
    bool filling = true;
    const bool ready = logic.initDlg(session.ui(), dialog.view());
    filling = false;
    if (!ready)
        return;
    QTimer* timer = startRefresh(dialog, RefreshInterval, [&] {
        filling = true;
        logic.refreshDlg(dialog.view());
        filling = false;
    });
    QObject::connect(tree, &QTreeWidget::itemSelectionChanged, &dialog, [&] {
        if (!filling)
            logic.displayPosts(dialog.view());
    });
    const DialogContext inner{session, host, context.help, &dialog};
    QObject::connect(edit, &QPushButton::clicked, &dialog,
                     [&] { runEditPosts(inner, dialog, logic, timer); });
    openWith(tree, edit);
    openWith(list, edit);
    fitCaption(dialog);
    tree->setFocus();
    host.exec(dialog);
    logic.closeDlg();
}

// ------------------------------------------------------------------ banks

namespace {

enum class BankDialog { NewBank, NewBranch, Bank, Branch };

void runBankDialog(const DialogContext& context, FormDialog& banks, setup::BANKSDLG& logic,
                   QTimer* timer, BankDialog which) {
    common::Ui& ui = context.session.ui();
    const bool branch = which == BankDialog::NewBranch || which == BankDialog::Branch;
    const char* names[] = {"NewBankDialog", "NewBranchDialog", "BankPropertiesDialog",
                           "BranchPropertiesDialog"};
    FormDialog dialog(&banks, names[static_cast<int>(which)],
                      branch ? QStringLiteral("Branch Properties")
                             : QStringLiteral("Bank Properties"));
    dialog.addEdit(setup::bankprptsdlg::Name, QStringLiteral("Name"), 24);
    addCode(dialog, branch ? 3 : 2);
    common::DialogView& tree = banks.view();
    common::DialogView& prpts = dialog.view();
    dialog.addButtons(
        QStringLiteral("OK"),
        [&] {
            switch (which) {
            case BankDialog::NewBank:
                return logic.closeNewBankDlg(ui, prpts, tree);
            case BankDialog::NewBranch:
                return logic.closeNewBranchDlg(ui, prpts, tree);
            case BankDialog::Bank:
                return logic.closeBankPrptsDlg(ui, prpts, tree);
            case BankDialog::Branch:
                return logic.closeBranchPrptsDlg(ui, prpts, tree);
            }
            return false;
        },
        &context.help, helpctx::Banks);
    dialog.setOnCancel([&logic] { logic.cancelPrptsDlg(); });
    bool ready = true;
    switch (which) {
    case BankDialog::NewBank:
        logic.initNewBankDlg(prpts);
        break;
    case BankDialog::NewBranch:
        ready = logic.initNewBranchDlg(ui, tree, prpts);
        break;
    case BankDialog::Bank:
        ready = logic.initBankPrptsDlg(ui, tree, prpts);
        break;
    case BankDialog::Branch:
        ready = logic.initBranchPrptsDlg(ui, tree, prpts);
        break;
    }
    if (ready)
        runChild(context, dialog, timer);
    tree.setFocus(setup::banksdlg::Tree);
}

} // namespace

void runBanks(const DialogContext& context) {
    DialogHost& host = context.host;
    using namespace setup::banksdlg;
    Session& session = context.session;
    setup::BANKSDLG logic(session.code(), session.folder());
    FormDialog dialog(context.parent, "BanksDialog", QString());
    auto* row = new QHBoxLayout;
    QTreeWidget* tree = addTree(dialog, Tree);
    row->addWidget(tree, 1);
    auto* column = new QVBoxLayout;
    QPushButton* addBank =
        addColumnButton(dialog, *column, AddBank, QStringLiteral("&Add Bank..."));
    QPushButton* addBranch =
        addColumnButton(dialog, *column, AddBranch, QStringLiteral("Add &Branch..."));
    QPushButton* remove = addColumnButton(dialog, *column, Delete, QStringLiteral("&Delete"));
    QPushButton* properties =
        addColumnButton(dialog, *column, Properties, QStringLiteral("&Properties..."));
    // Enter opens the selected bank or branch, as a double-click does.
    properties->setDefault(true);
    addFoot(context, dialog, *column, Close, helpctx::Banks);
    row->addLayout(column);
    dialog.mainLayout()->addLayout(row);

    // Opening the two tables is their check; a failure is told there.
    if (!logic.initDlg(session.ui(), dialog.view()))
        return;
    QTimer* timer = startRefresh(dialog, RefreshInterval, [&] { logic.refreshDlg(dialog.view()); });
    const DialogContext inner{session, host, context.help, &dialog};
    QObject::connect(addBank, &QPushButton::clicked, &dialog,
                     [&] { runBankDialog(inner, dialog, logic, timer, BankDialog::NewBank); });
    QObject::connect(addBranch, &QPushButton::clicked, &dialog,
                     [&] { runBankDialog(inner, dialog, logic, timer, BankDialog::NewBranch); });
    QObject::connect(properties, &QPushButton::clicked, &dialog, [&] {
        runBankDialog(inner, dialog, logic, timer,
                      setup::BANKSDLG::isBranch(dialog.view()) ? BankDialog::Branch
                                                               : BankDialog::Bank);
    });
    QObject::connect(remove, &QPushButton::clicked, &dialog, [&] {
        logic.deleteItem(session.ui(), dialog.view());
        tree->setFocus();
    });
    openWith(tree, properties);
    fitCaption(dialog);
    tree->setFocus();
    host.exec(dialog);
    logic.closeDlg();
}

// -------------------------------------------------------------- pictures

namespace {

void clickButton(QDialog& dialog, const char* name) {
    if (auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(name)))
        button->click();
}

// Selects the first entry for which `fits` holds; false when none does.
bool selectFirst(QDialog& dialog, const char* treeName,
                 const std::function<bool(QTreeWidgetItem&)>& fits) {
    auto* tree = dialog.findChild<QTreeWidget*>(QString::fromLatin1(treeName));
    if (!tree)
        return false;
    tree->expandAll();
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        tree->setCurrentItem(*it);
        if (fits(**it))
            return true;
    }
    return false;
}

// Pictures each tree window on a telling entry, then the dialogs its
// buttons open there; every other dialog as the screenshot host does.
class TreePictureHost : public DialogHost {
public:
    explicit TreePictureHost(ScreenshotHost& pictures) : pictures_(pictures) {}

    int exec(QDialog& dialog) override {
        const QString name = dialog.objectName();
        if (name == QLatin1String("AdministrativeUnitsDialog")) {
            selectFirst(dialog, setup::unitsdlg::Tree,
                        [](QTreeWidgetItem& item) { return item.parent() != nullptr; });
            pictures_.save(dialog, name);
            clickButton(dialog, setup::unitsdlg::Add);
            clickButton(dialog, setup::unitsdlg::Properties);
        } else if (name == QLatin1String("PostsDialog")) {
            auto* list =
                dialog.findChild<QListWidget*>(QString::fromLatin1(setup::postsdlg::Posts));
            if (list && selectFirst(dialog, setup::postsdlg::Tree,
                                    [list](QTreeWidgetItem&) { return list->count() > 1; }))
                list->setCurrentRow(0);
            pictures_.save(dialog, name);
            clickButton(dialog, setup::postsdlg::Edit);
        } else if (name == QLatin1String("BanksDialog")) {
            selectFirst(dialog, setup::banksdlg::Tree,
                        [](QTreeWidgetItem& item) { return item.parent() != nullptr; });
            pictures_.save(dialog, name);
            clickButton(dialog, setup::banksdlg::AddBank);
            clickButton(dialog, setup::banksdlg::AddBranch);
            clickButton(dialog, setup::banksdlg::Properties);
            selectFirst(dialog, setup::banksdlg::Tree,
                        [](QTreeWidgetItem& item) { return item.parent() == nullptr; });
            clickButton(dialog, setup::banksdlg::Properties);
        } else {
            return pictures_.exec(dialog);
        }
        dialog.reject();
        return QDialog::Rejected;
    }

private:
    ScreenshotHost& pictures_;
};

} // namespace

void pictureTreeDialogs(const DialogContext& context, ScreenshotHost& pictures) {
    TreePictureHost host(pictures);
    const DialogContext withTrees{context.session, host, context.help, context.parent};
    runUnits(withTrees);
    runPosts(withTrees);
    runBanks(withTrees);
}

} // namespace kelo::app
