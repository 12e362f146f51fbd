#pragma once

#include "app/main/DocumentWindow.h"
#include "app/ports/WidgetDialogView.h"
#include "staffrecords/LeaveFrm.h"

#include <memory>

class QComboBox;
class QPushButton;
class QTreeWidget;

namespace kelo::app {

class MainWindow;
class ScreenshotHost;

// The Absence and Leave File window over LEAVEFRM: one employee at a time,
// his leave account above a list of his absence events, annual leave events
// or leave bookings, as the "View:" list chooses. Events are added, edited
// and deleted through their dialogs, each stored as its dialog closes.
class LeaveWindow : public DocumentWindow {
public:
    LeaveWindow(const DialogContext& context, std::unique_ptr<staffrecords::LEAVEFRM> form);
    ~LeaveWindow() override;

    bool open(const common::ORGREC& org) override;
    bool runCommand(int id) override;
    bool closeForm() override;
    int helpContext() const override;
    // The list of events, where the clerk works.
    void focusFirstField() override;
    void restoreFocus() override { focusFirstField(); }
    // Add Event needs an employee; Edit and Delete Event a chosen event.
    void updateItem(int id, QAction& item) override;

    staffrecords::LEAVEFRM& form() { return *form_; }
    QTreeWidget* list() const { return list_; }
    QComboBox* viewList() const { return views_; }
    // Shows what other users changed (the timer's work).
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool dispatch(int id);
    void editEvent(bool edit);
    void moveRecord(int id) override;
    void turnPage(int step) override;
    void find(int id) override;
    // The column widths and alignment of the view's columns.
    void fitColumns();
    void alignDays();
    void showButtons();

    std::unique_ptr<staffrecords::LEAVEFRM> form_;
    WidgetDialogView view_;
    QComboBox* views_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
};

// The screenshot run: each view of the window and each event dialog, new
// and edited.
void pictureLeaveWindow(MainWindow& window, ScreenshotHost& pictures);

} // namespace kelo::app
