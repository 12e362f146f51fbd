#pragma once

#include "app/main/DialogContext.h"
#include "app/shell/Commands.h"

#include <QWidget>

#include <functional>

class QAction;
class QTimer;

namespace kelo::common {
struct ORGREC;
} // namespace kelo::common

namespace kelo::app {

// A record window in the main window's document area. The main window
// hands it the commands of the open document and closes it only when its
// form agrees; a timer lets the form read other users' changes.
class DocumentWindow : public QWidget {
public:
    // Reads other users' changes this often, in milliseconds.
    static constexpr int kRefreshInterval = 5000;

    explicit DocumentWindow(const DialogContext& context);
    ~DocumentWindow() override;

    // Opens the form on the organisation and shows the first record; false
    // when the files do not open (the form said why).
    virtual bool open(const common::ORGREC& org) = 0;
    // Runs a record command; false when the window does not take it.
    virtual bool runCommand(int id) = 0;
    // Saves; false when the form keeps the window open.
    virtual bool closeForm() = 0;
    virtual int helpContext() const = 0;
    // A menu item of the document's popup that follows the record shown.
    virtual void updateItem(int id, QAction& item) {
        (void)id;
        (void)item;
    }
    // Puts the cursor in the first field.
    virtual void focusFirstField() = 0;
    // Back to the field the clerk was in, when the window's frame took the
    // focus as it was activated again.
    virtual void restoreFocus() = 0;

    void startRefresh(const std::function<void()>& refresh);
    void stopRefresh();
    void resumeRefresh();
    bool isRefreshing() const;

protected:
    // The commands every record window browses by: the record moves, Go to
    // and the two finds, PgUp/PgDn and help; false for any other command.
    bool runBrowseCommand(int id);
    // What a window that browses by runBrowseCommand does: Next, Previous,
    // Last or First and Go to or a find, by the command's number; PgUp (-1)
    // or PgDn (+1).
    virtual void moveRecord(int id) { (void)id; }
    virtual void find(int id) { (void)id; }
    virtual void turnPage(int step) { (void)step; }

    // Runs a dialog with the refresh held still, so that the record stays
    // the one the dialog works on.
    template <class Run> bool paused(Run run) {
        const bool running = isRefreshing();
        stopRefresh();
        const bool done = run();
        if (running)
            resumeRefresh();
        return done;
    }

    DialogContext context_;

private:
    QTimer* timer_ = nullptr;
    bool refreshes_ = false;
};

// The form's operation behind a record move command; all the record
// forms name them alike.
template <class Form> bool (Form::*recordStep(int id))() {
    switch (id) {
    case cmd::Previous:
        return &Form::previousRecord;
    case cmd::Last:
        return &Form::lastRecord;
    case cmd::First:
        return &Form::firstRecord;
    default:
        return &Form::nextRecord;
    }
}

} // namespace kelo::app
