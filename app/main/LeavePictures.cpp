// The screenshot run's pictures of the absence and leave window.
#include "app/main/AutomationHosts.h"
#include "app/main/LeaveWindow.h"
#include "app/main/MainWindow.h"
#include "app/shell/Commands.h"

#include <QApplication>
#include <QTreeWidget>

namespace kelo::app {

void pictureLeaveWindow(MainWindow& window, ScreenshotHost& pictures) {
    window.runCommand(cmd::AbsenceLeave);
    auto* document = dynamic_cast<LeaveWindow*>(window.documentWindow());
    if (!document)
        return;
    // The second employee was away in April and sold leave in June; the
    // first has leave booked for December.
    window.runCommand(cmd::Next);
    const char* views[] = {"Absence", "AnnualLeave", "LeaveBooked"};
    for (int view = 0; view < 3; ++view) {
        if (view == 2)
            window.runCommand(cmd::First);
        if (view > 0)
            window.runCommand(cmd::PageDown);
        QTreeWidget* list = document->list();
        if (list->topLevelItemCount() > 0)
            list->setCurrentItem(list->topLevelItem(0));
        QApplication::processEvents();
        pictures.save(window, QStringLiteral("LeaveWindow-") + QString::fromLatin1(views[view]));
        window.runCommand(cmd::Add);
        window.runCommand(cmd::EditEvent);
    }
    window.runCommand(cmd::Close);
}

} // namespace kelo::app
