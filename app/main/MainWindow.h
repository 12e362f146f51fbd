#pragma once

#include "app/main/DialogContext.h"
#include "app/main/HelpViewer.h"
#include "app/main/Session.h"
#include "app/shell/CommandRules.h"
#include "common/PayRecords.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace kelo::common {
class REPORTBASE;
} // namespace kelo::common

namespace kelo::app {

class DialogHost;
class DocumentWindow;
class EmployeeWindow;
class OverviewPanel;
class QtUi;

// The main window: menus by the user's menu type and rights, the toolbar,
// the five-part status bar and the area for the one document window. It
// runs the start-up and dispatches every command.
class MainWindow : public QMainWindow {
public:
    using UiFactory = std::function<std::unique_ptr<QtUi>(QWidget* parent)>;

    MainWindow(ProgramPaths paths, DialogHost& host, const UiFactory& makeUi = {});
    ~MainWindow() override;

    // Configuration, data folder, login and organisation; false when the
    // user stopped or a step failed (its own message was shown).
    bool startUp();
    void runCommand(int id);

    Session& session() { return *session_; }
    QtUi& ui() { return *ui_; }
    HelpViewer& help() { return help_; }
    const CommandContext& commandContext() const { return context_; }
    QLabel* statusPart(int part) const;
    QToolBar* toolBar() const { return toolBar_; }
    // The menu item or toolbar button of a command; null when absent.
    QAction* menuAction(int id) const;
    QAction* toolbarAction(int id) const;
    bool isLoggedIn() const { return loggedIn_; }
    // The open record window; null when none is.
    DocumentWindow* documentWindow() const { return document_; }
    // The open personnel or payroll master window; null when none is.
    EmployeeWindow* employeeWindow() const;
    // Shows a report that has read its data and been laid out in the Report
    // Preview window, which owns it from then on; false, the report
    // destroyed, when a document window is already open.
    bool openReport(std::unique_ptr<common::REPORTBASE> report, int reportCode,
                    const std::string& caption);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildStatusBar();
    void buildToolBar();
    void loadMenus();
    void addPopup(const Popup& popup);
    void addEntries(QMenu& menu, const std::vector<MenuEntry>& entries);
    void applyToolbarState();
    void loadAccelerators();
    void refreshCaptions();
    void restoreStatusCaption();
    void afterOrganisationChange();
    void shutDown();

    // Commands that open dialogs.
    void openOrganisation();
    void newOrganisation();
    void deleteOrganisation();
    void basicInfo();
    void backup();
    void restore();
    void showHelpFor(int id);

    // The document window (MainDocuments.cpp).
    void openEmployeeWindow(bool personnel);
    void openLeaveWindow();
    void openTransactionsWindow();
    void openPayFieldsWindow(common::FIELDSTABLE table);
    // Report commands (ReportCommands.cpp): the wizard of the command's
    // report, then its preview.
    void viewReport(int commandId);
    void saveBankTransferFile();
    // Shows `window` as the open document of `kind` and opens its form.
    void openDocument(DocumentKind kind, std::unique_ptr<DocumentWindow> window);
    // False when the document keeps its window open.
    bool closeDocument();
    void dropDocument();
    void afterDocumentChange();
    // The document popup's items that follow the record shown.
    void updateDocumentItems();
    DialogContext dialogContext() { return {*session_, host_, help_, this}; }

    DialogHost& host_;
    std::unique_ptr<QtUi> ui_;
    std::unique_ptr<Session> session_;
    HelpViewer help_;
    CommandContext context_;
    bool loggedIn_ = false;
    bool closing_ = false;

    QMdiArea* mdi_ = nullptr;
    QMdiSubWindow* subWindow_ = nullptr;
    DocumentWindow* document_ = nullptr;
    QString documentCaption_; // the status bar's caption while a document is open
    OverviewPanel* overview_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    std::vector<QLabel*> statusParts_;
    std::map<int, QAction*> menuActions_;
    std::map<int, QAction*> toolbarActions_;
    std::vector<QAction*> accelerators_;
};

} // namespace kelo::app
