#pragma once

#include "app/main/DialogContext.h"

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

} // namespace kelo::app
