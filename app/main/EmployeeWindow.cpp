#include "app/main/EmployeeWindow.h"

#include "app/main/EmployeeDialogs.h"
#include "app/main/HelpViewer.h"
#include "app/main/RecordTabs.h"
#include "app/main/Session.h"
#include "app/ports/QtText.h"
#include "app/shell/Commands.h"
#include "staffrecords/VarDbEx.h"

#include <QAction>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kelo::app {

using staffrecords::STATFRM;

namespace {

const std::vector<PageTab>& tabsOf(staffrecords::DB db) {
    return db == staffrecords::PERSONNEL_FILE ? personnelTabs() : payrollMasterTabs();
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
    QStringList titles;
    for (const PageTab& tab : pageTabs_)
        titles << tab.title;
    RecordTabs::Hooks hooks;
    hooks.build = [this](int tab, QWidget* parent) {
        return buildPage(pageTabs_[static_cast<std::size_t>(tab)].page, pageActions(), parent);
    };
    hooks.shown = [this](int tab, QWidget*) {
        form_->setPage(view_, pageTabs_[static_cast<std::size_t>(tab)].page);
        form_->displayPage();
        showPosition();
    };
    hooks.mayLeave = [this] { return form_->validatePage(); };
    hooks.dropping = [this] { form_->clearPage(); };
    tabs_ = new RecordTabs(titles, std::move(hooks), this);
    layout->addWidget(tabs_, 1);
}

EmployeeWindow::~EmployeeWindow() {
    stopRefresh();
    tabs_->dropPage();
}

QTabWidget* EmployeeWindow::tabs() const {
    return tabs_;
}

QWidget* EmployeeWindow::page() const {
    return tabs_->page();
}

int EmployeeWindow::helpContext() const {
    return db_ == staffrecords::PERSONNEL_FILE ? helpctx::Personnel : helpctx::PayrollMaster;
}

bool EmployeeWindow::open(const common::ORGREC& org) {
    org_ = org;
    if (!form_->open(db_, org_))
        return false;
    form_->displayRecord();
    tabs_->showTab(0);
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
    return tabs_->changeTab(index);
}

void EmployeeWindow::focusFirstField() {
    tabs_->focusFirstField();
}

void EmployeeWindow::restoreFocus() {
    tabs_->restoreFocus();
}

void EmployeeWindow::refresh() {
    form_->refreshRecord();
    showPosition();
}

void EmployeeWindow::showPosition() {
    if (auto* position = findChild<QLabel*>(QStringLiteral("RecordPosition")))
        position->setText(QString::fromStdString(form_->positionText()));
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
    default:
        if (!runBrowseCommand(id))
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
    tabs_->showTab(0);
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

void EmployeeWindow::moveRecord(int id) {
    move(recordStep<staffrecords::STATFRM>(id));
}

void EmployeeWindow::turnPage(int step) {
    changeTab(tabs_->shownTab() + step);
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
    tabs_->dropPage();
    return true;
}

} // namespace kelo::app
