#pragma once

#include "app/main/DocumentWindow.h"
#include "app/main/EmployeePages.h"
#include "app/ports/WidgetDialogView.h"
#include "common/OrgRecords.h"
#include "staffrecords/StatFrm.h"

#include <QWidget>

#include <memory>
#include <vector>

class QTabWidget;

namespace kelo::app {

class MainWindow;
class RecordTabs;
class ScreenshotHost;

// Help contexts of the two windows; each page also covers the window's
// dialogs.
namespace helpctx {
inline constexpr int Personnel = 171;
inline constexpr int PayrollMaster = 172;
} // namespace helpctx

// The Personnel File and Payroll Master File windows over STATFRM: the
// employee's number and names above a tab for each page of the form. One
// page widget exists at a time; a page is left only when the form finds it
// valid. The window moves values and runs the form's operations; the form
// decides.
class EmployeeWindow : public DocumentWindow {
public:
    EmployeeWindow(const DialogContext& context, std::unique_ptr<staffrecords::STATFRM> form,
                   staffrecords::DB db);
    ~EmployeeWindow() override;

    // Opens the form on the organisation and shows the first record on the
    // first page; false when the file does not open.
    bool open(const common::ORGREC& org) override;
    bool runCommand(int id) override;
    // Saves and hands the record over; false when the form keeps the window
    // open.
    bool closeForm() override;
    // Terminate reads "Undo Termination" for an employee who is leaving.
    void updateItem(int id, QAction& item) override;

    staffrecords::STATFRM& form() { return *form_; }
    staffrecords::DB db() const { return db_; }
    int helpContext() const override;
    QTabWidget* tabs() const;
    // The page now shown; null while none is.
    QWidget* page() const;
    // Moves to the tab when the page shown is valid; false when it stays.
    bool changeTab(int index);
    // Re-reads the record another user may have changed (the timer's work).
    void refresh();
    // Puts the cursor in the page's first field.
    void focusFirstField() override;
    // Back to the field the clerk was in.
    void restoreFocus() override;

private:
    PageActions pageActions();
    // "Record 3 of 40" in the header.
    void showPosition();
    // The transactions store follows what the form saved.
    void handOver();
    bool saveAndHandOver();
    bool move(bool (staffrecords::STATFRM::*step)());
    void moveRecord(int id) override;
    void turnPage(int step) override;
    void addEmployee();
    void deleteEmployee();
    void terminate();
    void undoTermination();
    void find(int id) override;

    std::unique_ptr<staffrecords::STATFRM> form_;
    staffrecords::DB db_;
    common::ORGREC org_;
    const std::vector<PageTab>& pageTabs_;
    WidgetDialogView view_;
    RecordTabs* tabs_ = nullptr;
};

// The screenshot run: every tab of both windows on the second employee,
// and every dialog they open.
void pictureEmployeeWindows(MainWindow& window, ScreenshotHost& pictures);

} // namespace kelo::app
