// The screenshot run's pictures of the personnel and payroll master windows.
#include "app/main/AutomationHosts.h"
#include "app/main/EmployeeWindow.h"
#include "app/main/MainWindow.h"
#include "app/shell/Commands.h"
#include "staffrecords/StatFrmControls.h"

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>

namespace kelo::app {

void pictureEmployeeWindows(MainWindow& window, ScreenshotHost& pictures) {
    namespace c = staffrecords::statfrm;
    for (const bool personnel : {true, false}) {
        window.runCommand(personnel ? cmd::Personnel : cmd::PayrollMaster);
        EmployeeWindow* document = window.employeeWindow();
        if (!document)
            continue;
        // The second employee has a supervisor, a bank and a pension fund.
        window.runCommand(cmd::Next);
        const QString prefix =
            personnel ? QStringLiteral("PersonnelWindow") : QStringLiteral("PayrollMasterWindow");
        for (int tab = 0; tab < document->tabs()->count(); ++tab) {
            document->changeTab(tab);
            QApplication::processEvents();
            QString title = document->tabs()->tabText(tab);
            pictures.save(window, prefix + QLatin1Char('-') + title.remove(QLatin1Char(' ')));
            for (const char* button :
                 {c::kBirthDateButton, c::kPostButton, c::kSupervisorButton, c::kBankButton})
                if (auto* dots = document->page()->findChild<QPushButton*>(button))
                    dots->click();
        }
        if (personnel)
            for (int id : {cmd::Add, cmd::Terminate})
                window.runCommand(id);
        for (int id : {cmd::GoTo, cmd::FindEmpNum, cmd::FindName})
            window.runCommand(id);
        window.runCommand(cmd::Close);
    }
}

} // namespace kelo::app
