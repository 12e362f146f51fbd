#pragma once

#include "app/main/DocumentWindow.h"
#include "app/main/TransactionsDialogs.h"
#include "app/ports/WidgetDialogView.h"
#include "common/OrgRecords.h"
#include "staffrecords/VarFrm.h"

#include <memory>

namespace kelo::app {

class MainWindow;
class RecordTabs;
class ScreenshotHost;
struct ItemActions;

// The form's view of the window. The form gives the item scroll bar's
// place as text; the bar takes it, with its range from the record, and
// only the clerk's own moves come back as scrolling. A long item name is
// cut short, whole in its tooltip.
class TransactionsView : public WidgetDialogView {
public:
    TransactionsView(QWidget* root, const staffrecords::VARFRM& form)
        : WidgetDialogView(root),
          form_(form) {}
    void setText(std::string_view control, std::string_view text) override;
    // An item row the form hides takes its line with it.
    void setVisible(std::string_view control, bool visible) override;

private:
    const staffrecords::VARFRM& form_;
};

// The Payroll Transactions File window over VARFRM: the employee above a
// tab for each page of the form. One page widget exists at a time; a page
// is left only when the form finds it valid. Every figure keyed is worked
// out as the clerk leaves its box; the cursor stays where the clerk was as
// the figures change and as he moves from employee to employee.
class TransactionsWindow : public DocumentWindow {
public:
    TransactionsWindow(const DialogContext& context, std::unique_ptr<staffrecords::VARFRM> form);
    ~TransactionsWindow() override;

    bool open(const common::ORGREC& org) override;
    bool runCommand(int id) override;
    bool closeForm() override;
    int helpContext() const override { return helpctx::Transactions; }
    void focusFirstField() override;
    void restoreFocus() override;

    staffrecords::VARFRM& form() { return *form_; }
    RecordTabs* tabs() const { return tabs_; }
    // The page now shown; null while none is.
    QWidget* page() const;
    // Moves to the tab when the page shown is valid; false when it stays.
    bool changeTab(int index);
    // Re-reads the record another user may have changed (the timer's work).
    void refresh();
    // The "..." of a visible item row (0 to 4): its parameters dialog.
    void itemParameters(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ItemActions itemActions();
    void pageShown(int tab, QWidget* page);
    // Runs a form operation that shows the figures again, keeping the
    // cursor and what it had chosen in the box the clerk is in.
    template <class Op> void keepingPlace(Op op);
    void keyed();
    void toggle(int row);
    void scrolled(int first);
    // Up and Down between item rows, and Enter past the last row shown,
    // scroll the items when the cursor would leave them.
    bool rowKey(QWidget* field, int key);
    bool moveRow(int row, int column, int step);
    bool focusInRow(int row, int column);
    bool move(bool (staffrecords::VARFRM::*step)());
    void moveRecord(int id) override;
    void turnPage(int step) override;
    void find(int id) override;
    void addEmployees();

    std::unique_ptr<staffrecords::VARFRM> form_;
    TransactionsView view_;
    RecordTabs* tabs_ = nullptr;
};

// The screenshot run: every tab of the window on employees with items,
// every parameters dialog the demo's items open, and Add Employees to
// Payroll.
void pictureTransactionsWindow(MainWindow& window, ScreenshotHost& pictures);

} // namespace kelo::app
