// The screenshot run's pictures of the pay field definitions windows.
#include "app/main/AutomationHosts.h"
#include "app/main/MainWindow.h"
#include "app/main/PayFieldsWindow.h"
#include "app/shell/Commands.h"
#include "setup/Orgs.h"
#include "staffrecords/FieldsFrmControls.h"

#include <QApplication>
#include <QComboBox>

#include <string_view>

namespace kelo::app {

namespace {

// Moves to the item named `name`; false when the list has none.
bool moveTo(MainWindow& window, PayFieldsWindow& document, std::string_view name) {
    window.runCommand(cmd::First);
    for (;;) {
        if (document.form().item().itemName == name)
            return true;
        const std::size_t before = document.form().current();
        window.runCommand(cmd::Next);
        if (document.form().current() == before)
            return false;
    }
}

void save(MainWindow& window, ScreenshotHost& pictures, const QString& name) {
    QApplication::processEvents();
    pictures.save(window, QStringLiteral("PayFieldsWindow-") + name);
}

} // namespace

void picturePayFieldsWindows(MainWindow& window, ScreenshotHost& pictures) {
    window.runCommand(cmd::Earnings);
    if (auto* earnings = dynamic_cast<PayFieldsWindow*>(window.documentWindow())) {
        if (moveTo(window, *earnings, "Housing Allowance")) {
            save(window, pictures, QStringLiteral("Earnings"));
            earnings->functionParameters(); // Limits
        }
        // A new hourly paid item, dropped again by opening the list afresh.
        window.runCommand(cmd::Add);
        auto* type =
            earnings->findChild<QComboBox*>(QString::fromLatin1(staffrecords::fieldsfrm::kType));
        if (type && type->findText(QStringLiteral("Hourly Pay")) >= 0) {
            type->setCurrentIndex(type->findText(QStringLiteral("Hourly Pay")));
            earnings->form().resetType();
            save(window, pictures, QStringLiteral("NewHourlyPay"));
            earnings->functionParameters(); // Hourly Rate
        }
        earnings->open(*window.session().orgs().getOpenOrg());
        window.runCommand(cmd::Close);
    }
    window.runCommand(cmd::Deductions);
    if (auto* deductions = dynamic_cast<PayFieldsWindow*>(window.documentWindow())) {
        if (moveTo(window, *deductions, "Tea Workers SACCOS"))
            deductions->typeParameters(); // Select Name
        if (moveTo(window, *deductions, "PSSSF Contribution")) {
            save(window, pictures, QStringLiteral("Deductions"));
            deductions->typeParameters();     // Pension Fund Parameters
            deductions->functionParameters(); // Percentage
        }
        window.runCommand(cmd::Close);
    }
    // A kind without items yet.
    window.runCommand(cmd::LumpSums);
    if (window.documentWindow()) {
        save(window, pictures, QStringLiteral("LumpSums"));
        window.runCommand(cmd::Close);
    }
}

} // namespace kelo::app
