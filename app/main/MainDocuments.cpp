// The main window's document window: opening, the Record menu and closing.
#include "app/main/EmployeeWindow.h"
#include "app/main/MainWindow.h"
#include "app/main/OverviewPanel.h"
#include "app/ports/QtText.h"
#include "app/ports/QtUi.h"
#include "setup/Orgs.h"
#include "staffrecords/StatFrm.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace kelo::app {

void MainWindow::openEmployeeWindow(bool personnel) {
    if (document_)
        return;
    Session& session = *session_;
    const staffrecords::DB db =
        personnel ? staffrecords::PERSONNEL_FILE : staffrecords::PAYROLL_MASTER_FILE;
    auto form = std::make_unique<staffrecords::STATFRM>(*ui_, session.code(), session.folder());
    if (!form->checkFiles(db))
        return;
    const common::ORGREC org = *session.orgs().getOpenOrg();
    context_.document = personnel ? DocumentKind::Personnel : DocumentKind::PayrollMaster;
    documentCaption_ = QString::asprintf(personnel ? "Personnel file as at %s %d"
                                                   : "Payroll master file as at %s %d",
                                         org.month.c_str(), static_cast<int>(org.year));
    afterDocumentChange();

    auto* window = new EmployeeWindow({session, host_, help_, nullptr}, std::move(form), db);
    document_ = window;
    subWindow_ = mdi_->addSubWindow(window, Qt::SubWindow | Qt::CustomizeWindowHint |
                                                Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    subWindow_->setObjectName(window->objectName() + QStringLiteral(" Frame"));
    subWindow_->setWindowIcon(windowIcon());
    subWindow_->installEventFilter(this);
    overview_->hide();
    subWindow_->adjustSize();
    const QSize area = mdi_->viewport()->size();
    subWindow_->move(std::max(0, (area.width() - subWindow_->width()) / 2),
                     std::max(0, (area.height() - subWindow_->height()) / 2));
    subWindow_->show();
    if (!window->open(org)) {
        dropDocument();
        afterDocumentChange();
        return;
    }
    // The frame takes the focus as it shows; the clerk starts typing in the
    // first field.
    mdi_->setActiveSubWindow(subWindow_);
    window->focusFirstField();
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
    staffrecords::STATFRM& form = document_->form();
    if (QAction* terminate = menuAction(cmd::Terminate)) {
        terminate->setText(toQString(form.terminateMenuText()));
        terminate->setEnabled(CommandRules::mayRun(cmd::Terminate, context_) &&
                              form.mayTerminateOrUndo());
    }
}

} // namespace kelo::app
