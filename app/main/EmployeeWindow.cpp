#include "app/main/EmployeeWindow.h"

#include "app/main/EmployeeDialogs.h"
#include "app/main/HelpViewer.h"
#include "app/main/PageBuilder.h"
#include "app/main/Session.h"
#include "app/ports/QtText.h"
#include "app/shell/Commands.h"
#include "staffrecords/VarDbEx.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kelo::app {

using staffrecords::STATFRM;

namespace {

const std::vector<PageTab>& tabsOf(staffrecords::DB db) {
    return db == staffrecords::PERSONNEL_FILE ? personnelTabs() : payrollMasterTabs();
}

// Room for the largest page, so that the window keeps its size from tab to
// tab.
QSize largestPage(const std::vector<PageTab>& tabs, QWidget& holder) {
    QSize size;
    const PageActions none;
    for (const PageTab& tab : tabs) {
        std::unique_ptr<QWidget> page(buildPage(tab.page, none, &holder));
        size = size.expandedTo(page->sizeHint());
    }
    return size;
}

} // namespace

EmployeeWindow::EmployeeWindow(const DialogContext& context, std::unique_ptr<STATFRM> form,
                               staffrecords::DB db)
    : DocumentWindow(context),
      form_(std::move(form)),
      db_(db),
      pageTabs_(tabsOf(db)),
      view_(this) {
    const bool personnel = db == staffrecords::PERSONNEL_FILE;
    setObjectName(personnel ? QStringLiteral("Personnel Window") : QStringLiteral("Static Window"));
    setWindowTitle(personnel ? QStringLiteral("Personnel File")
                             : QStringLiteral("Payroll Master File"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildRecordHeader(this));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("Tabs"));
    tabs_->setUsesScrollButtons(false);
    for (const PageTab& tab : pageTabs_) {
        auto* holder = new QWidget(tabs_);
        auto* holderLayout = new QVBoxLayout(holder);
        holderLayout->setContentsMargins(0, 0, 0, 0);
        holders_.push_back(holder);
        tabs_->addTab(holder, tab.title);
    }
    const QSize room = largestPage(pageTabs_, *holders_.front());
    for (QWidget* holder : holders_)
        holder->setMinimumSize(room);
    layout->addWidget(tabs_, 1);
    tabs_->tabBar()->installEventFilter(this);
    // Other ways of changing tabs (the keyboard on the tab bar, Ctrl+Tab)
    // are taken back, then asked for as a click would.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (switching_ || index == shownTab_)
            return;
        switching_ = true;
        tabs_->setCurrentIndex(shownTab_);
        switching_ = false;
        changeTab(index);
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && page_ && page_->isAncestorOf(now))
            lastField_ = now;
    });
}

EmployeeWindow::~EmployeeWindow() {
    stopRefresh();
    if (page_)
        form_->clearPage();
}

int EmployeeWindow::helpContext() const {
    return db_ == staffrecords::PERSONNEL_FILE ? helpctx::Personnel : helpctx::PayrollMaster;
}

bool EmployeeWindow::open(const common::ORGREC& org) {
    org_ = org;
    if (!form_->open(db_, org_))
        return false;
    form_->displayRecord();
    showTab(0);
    startRefresh([this] { refresh(); });
    return true;
}

PageActions EmployeeWindow::pageActions() {
    PageActions actions;
    const int help = helpContext();
    actions.birthDate = [this, help] {
        paused([&] { return runBirthDate(context_, *form_, help); });
    };
    actions.post = [this, help] { paused([&] { return runSelectPost(context_, *form_, help); }); };
    actions.supervisor = [this, help] {
        paused([&] { return runSupervisor(context_, *form_, help); });
    };
    actions.bank = [this, help] { paused([&] { return runBankBranch(context_, *form_, help); }); };
    actions.resetSalary = [this] { form_->resetSalary(); };
    actions.resetOvertime = [this] { form_->resetOvertime(); };
    actions.resetHousing = [this] { form_->resetHousing(); };
    actions.resetPaye = [this] { form_->resetPAYE(); };
    actions.coopMember = [this] { form_->setCoopMember(); };
    actions.pensionMember = [this] { form_->setPensionMember(); };
    return actions;
}

bool EmployeeWindow::changeTab(int index) {
    if (index == shownTab_)
        return true;
    if (index < 0 || index >= tabs_->count())
        return false;
    if (page_ && !form_->validatePage())
        return false;
    showTab(index);
    return true;
}

void EmployeeWindow::showTab(int index) {
    dropPage();
    switching_ = true;
    tabs_->setCurrentIndex(index);
    switching_ = false;
    shownTab_ = index;
    QWidget* holder = holders_[static_cast<std::size_t>(index)];
    page_ = buildPage(pageTabs_[static_cast<std::size_t>(index)].page, pageActions(), holder);
    holder->layout()->addWidget(page_);
    page_->show();
    form_->setPage(view_, pageTabs_[static_cast<std::size_t>(index)].page);
    form_->displayPage();
    showPosition();
    focusFirstField();
}

void EmployeeWindow::dropPage() {
    if (!page_)
        return;
    form_->clearPage();
    delete page_.data();
}

void EmployeeWindow::focusFirstField() {
    if (!page_)
        return;
    if (QWidget* first = firstField(*page_))
        first->setFocus(Qt::OtherFocusReason);
}

void EmployeeWindow::restoreFocus() {
    if (lastField_ && page_ && page_->isAncestorOf(lastField_) && lastField_->isEnabled())
        lastField_->setFocus(Qt::OtherFocusReason);
    else
        focusFirstField();
}

void EmployeeWindow::refresh() {
    form_->refreshRecord();
    showPosition();
}

void EmployeeWindow::showPosition() {
    if (auto* position = findChild<QLabel*>(QStringLiteral("RecordPosition")))
        position->setText(QString::fromStdString(form_->positionText()));
}

bool EmployeeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tabs_->tabBar() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int index = tabs_->tabBar()->tabAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && index >= 0 && index != shownTab_) {
            changeTab(index);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void EmployeeWindow::handOver() {
    if (!form_->payrollChanged())
        return;

    // Kept for the next hand-over when the store refuses (it said why).
    if (context_.session.transactions().updateRecStatic(context_.session.ui(),
                                                        form_->getCurrentRec()))
        form_->clearPayrollChanged();
}

bool EmployeeWindow::saveAndHandOver() {
    if (!form_->saveCurrentRec())
        return false;
    handOver();
    return true;
}

bool EmployeeWindow::move(bool (STATFRM::*step)()) {
    // Saved here, so that the record handed over is the one just saved.
    if (!saveAndHandOver())
        return false;
    return (form_.get()->*step)();
}

bool EmployeeWindow::runCommand(int id) {
    switch (id) {
    case cmd::Save:
        saveAndHandOver();
        break;
    case cmd::Undo:
        form_->undoCurrentRec();
        break;
    case cmd::Add:
        addEmployee();
        break;
    case cmd::Delete:
        deleteEmployee();
        break;
    case cmd::Terminate:
        if (form_->getCurrentRec().terminated)
            undoTermination();
        else
            terminate();
        break;
    case cmd::UndoTerminate:
        undoTermination();
        break;
    case cmd::Next:
        move(&STATFRM::nextRecord);
        break;
    case cmd::Previous:
        move(&STATFRM::previousRecord);
        break;
    case cmd::Last:
        move(&STATFRM::lastRecord);
        break;
    case cmd::First:
        move(&STATFRM::firstRecord);
        break;
    case cmd::GoTo:
    case cmd::FindEmpNum:
    case cmd::FindName:
        find(id);
        break;
    case cmd::PageUp:
        changeTab(shownTab_ - 1);
        break;
    case cmd::PageDown:
        changeTab(shownTab_ + 1);
        break;
    case cmd::HelpContents:
        context_.help.show(helpContext());
        break;
    default:
        return false;
    }
    showPosition();
    return true;
}

void EmployeeWindow::addEmployee() {
    if (db_ != staffrecords::PERSONNEL_FILE || !form_->isOKToAdd())
        return;
    handOver();
    if (!paused([&] { return runEmployeeNumber(context_, *form_, org_, helpContext()); }))
        return;
    // A new employee starts with his names; the record left was saved.
    showTab(0);
}

void EmployeeWindow::deleteEmployee() {
    if (db_ != staffrecords::PERSONNEL_FILE)
        return;
    std::string empNum;
    common::PAYFREQ payFreq = common::MONTHLY;
    form_->deleteRec(empNum, payFreq);
    focusFirstField();
}

void EmployeeWindow::terminate() {
    if (db_ != staffrecords::PERSONNEL_FILE || !form_->mayTerminateOrUndo())
        return;
    if (paused([&] { return runTerminate(context_, *form_, helpContext()); }))
        handOver();
}

void EmployeeWindow::undoTermination() {
    if (db_ != staffrecords::PERSONNEL_FILE || !form_->mayTerminateOrUndo() ||
        !form_->getCurrentRec().terminated)
        return;
    if (form_->undoTerminate())
        handOver();
}

void EmployeeWindow::find(int id) {
    if (!saveAndHandOver())
        return;
    paused([&] { return runFind(context_, finderOf(*form_), findByCommand(id)); });
}

void EmployeeWindow::updateItem(int id, QAction& item) {
    if (id != cmd::Terminate)
        return;
    item.setText(toQString(form_->terminateMenuText()));
    item.setEnabled(item.isEnabled() && form_->mayTerminateOrUndo());
}

bool EmployeeWindow::closeForm() {
    stopRefresh();
    if (!form_->close()) {
        resumeRefresh();
        return false;
    }
    handOver();
    dropPage();
    return true;
}

} // namespace kelo::app
