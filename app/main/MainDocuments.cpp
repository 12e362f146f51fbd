// The main window's document window: opening, the document popup and
// closing.
#include "app/main/EmployeeWindow.h"
#include "app/main/LeaveWindow.h"
#include "app/main/MainWindow.h"
#include "app/main/OverviewPanel.h"
#include "app/main/PayFieldsWindow.h"
#include "app/main/ReportPreview.h"
#include "app/main/TransactionsWindow.h"
#include "app/ports/QtText.h"
#include "app/ports/QtUi.h"
#include "app/shell/Overview.h"
#include "common/ReportBase.h"
#include "setup/Orgs.h"
#include "staffrecords/LeaveFrm.h"
#include "staffrecords/StatFrm.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace kelo::app {

namespace {

// The commands of a popup, its submenus' too.
void commandsOf(const std::vector<MenuEntry>& entries, std::vector<int>& ids) {
    for (const MenuEntry& entry : entries) {
        if (entry.kind == MenuEntry::Kind::Command)
            ids.push_back(entry.id);
        commandsOf(entry.entries, ids);
    }
}

} // namespace

EmployeeWindow* MainWindow::employeeWindow() const {
    return dynamic_cast<EmployeeWindow*>(document_);
}

void MainWindow::openEmployeeWindow(bool personnel) {
    if (document_)
        return;
    Session& session = *session_;
    const staffrecords::DB db =
        personnel ? staffrecords::PERSONNEL_FILE : staffrecords::PAYROLL_MASTER_FILE;
    auto form = std::make_unique<staffrecords::STATFRM>(*ui_, session.code(), session.folder());
    if (!form->checkFiles(db))
        return;
    openDocument(personnel ? DocumentKind::Personnel : DocumentKind::PayrollMaster,
                 std::make_unique<EmployeeWindow>(DialogContext{session, host_, help_, nullptr},
                                                  std::move(form), db));
}

void MainWindow::openLeaveWindow() {
    if (document_)
        return;
    Session& session = *session_;
    auto form = std::make_unique<staffrecords::LEAVEFRM>(*ui_, session.code(), session.folder());
    if (!form->checkFiles())
        return;
    openDocument(DocumentKind::Leave,
                 std::make_unique<LeaveWindow>(DialogContext{session, host_, help_, nullptr},
                                               std::move(form)));
}

void MainWindow::openTransactionsWindow() {
    if (document_)
        return;
    Session& session = *session_;
    auto form = std::make_unique<staffrecords::VARFRM>(*ui_, session.code(), session.folder());
    if (!form->checkFiles(*session.orgs().getOpenOrg()))
        return;
    openDocument(DocumentKind::Transactions,
                 std::make_unique<TransactionsWindow>(DialogContext{session, host_, help_, nullptr},
                                                      std::move(form)));
}

void MainWindow::openPayFieldsWindow(common::FIELDSTABLE table) {
    if (document_)
        return;
    auto window =
        std::make_unique<PayFieldsWindow>(DialogContext{*session_, host_, help_, nullptr}, table);
    if (!window->checkFiles(*session_->orgs().getOpenOrg()))
        return;
    openDocument(DocumentKind::PayFields, std::move(window));
}

bool MainWindow::openReport(std::unique_ptr<common::REPORTBASE> report, int reportCode,
                            const std::string& caption) {
    if (document_ || !report)
        return false;
    context_.reportCode = reportCode;
    openDocument(DocumentKind::Report,
                 std::make_unique<ReportPreview>(dialogContext(), std::move(report), reportCode,
                                                 caption, [this](const std::string& text) {
                                                     documentCaption_ = toQString(text);
                                                     restoreStatusCaption();
                                                 }));
    if (!document_)
        return false;
    subWindow_->showMaximized();
    return true;
}

void MainWindow::openDocument(DocumentKind kind, std::unique_ptr<DocumentWindow> window) {
    const common::ORGREC org = *session_->orgs().getOpenOrg();
    context_.document = kind;
    documentCaption_ = toQString(documentCaption(kind, org));
    afterDocumentChange();

    document_ = window.release();
    subWindow_ = mdi_->addSubWindow(document_, Qt::SubWindow | Qt::CustomizeWindowHint |
                                                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    subWindow_->setObjectName(document_->objectName() + QStringLiteral(" Frame"));
    subWindow_->setWindowIcon(windowIcon());
    subWindow_->installEventFilter(this);
    overview_->hide();
    subWindow_->adjustSize();
    const QSize area = mdi_->viewport()->size();
    subWindow_->move(std::max(0, (area.width() - subWindow_->width()) / 2),
                     std::max(0, (area.height() - subWindow_->height()) / 2));
    subWindow_->show();
    if (!document_->open(org)) {
        dropDocument();
        afterDocumentChange();
        return;
    }
    // The frame takes the focus as it shows; the clerk starts typing where
    // the window puts the cursor.
    mdi_->setActiveSubWindow(subWindow_);
    document_->focusFirstField();
    updateDocumentItems();
}

bool MainWindow::closeDocument() {
    if (!document_)
        return true;
    if (!document_->closeForm())
        return false;
    dropDocument();
    afterDocumentChange();
    return true;
}

void MainWindow::dropDocument() {
    QMdiSubWindow* sub = subWindow_;
    subWindow_ = nullptr;
    document_ = nullptr;
    delete sub;
    context_.document = DocumentKind::None;
    context_.reportCode = 0;
    documentCaption_.clear();
}

void MainWindow::afterDocumentChange() {
    loadMenus();
    applyToolbarState();
    restoreStatusCaption();
    if (!document_ && context_.document == DocumentKind::None)
        refreshCaptions();
}

void MainWindow::updateDocumentItems() {
    if (!document_)
        return;
    std::vector<int> ids;
    commandsOf(documentPopup(context_.document, context_.reportCode).entries, ids);
    for (int id : ids) {
        if (QAction* item = menuAction(id)) {
            item->setEnabled(CommandRules::mayRun(id, context_));
            document_->updateItem(id, *item);
        }
    }
    if (context_.document != DocumentKind::Report)
        return;
    // A report's page buttons follow the page shown.
    for (int id : {cmd::Next, cmd::Previous, cmd::Last, cmd::First}) {
        for (QAction* item : {menuAction(id), toolbarAction(id)}) {
            if (!item)
                continue;
            item->setEnabled(item == toolbarAction(id)
                                 ? CommandRules::toolbarButton(id, context_).enabled
                                 : CommandRules::mayRun(id, context_));
            document_->updateItem(id, *item);
        }
    }
}

} // namespace kelo::app
