#pragma once

#include "app/main/DocumentWindow.h"
#include "app/ports/WidgetDialogView.h"
#include "common/PayRecords.h"
#include "staffrecords/FieldsFrm.h"

#include <QPointer>

#include <memory>

class QWidget;

namespace kelo::app {

class MainWindow;
class ScreenshotHost;

// The pay field definitions window over FIELDSFRM: the items of one kind
// (earnings, deductions, benefits, lump sums or refunds) of the open
// organisation's payroll, one at a time, with their type, function and
// parameters. An item is saved when the clerk moves to another, saves or
// closes; adding or deleting one changes every employee's transactions.
class PayFieldsWindow : public DocumentWindow {
public:
    PayFieldsWindow(const DialogContext& context, common::FIELDSTABLE table);
    ~PayFieldsWindow() override;

    // The co-operatives and pension funds the items may name are there.
    bool checkFiles(const common::ORGREC& org);
    // Also after the window opened: reads the definitions again and drops
    // an item not yet saved.
    bool open(const common::ORGREC& org) override;
    bool runCommand(int id) override;
    // Saves the item shown; false, with the reason given, when it cannot.
    bool closeForm() override;
    int helpContext() const override;
    // The item's name, or the first control that takes the keyboard.
    void focusFirstField() override;
    void restoreFocus() override;

    staffrecords::FIELDSFRM& form() { return *form_; }
    common::FIELDSTABLE table() const { return table_; }
    // The parameter dialog of the type or function chosen.
    void typeParameters();
    void functionParameters();

private:
    WidgetDialogView view_;
    std::unique_ptr<staffrecords::FIELDSFRM> form_;
    common::FIELDSTABLE table_;
    common::ORGREC org_;
    QWidget* page_ = nullptr;
    QPointer<QWidget> lastField_;
};

// The screenshot run: the earnings and deductions windows and every
// parameter dialog.
void picturePayFieldsWindows(MainWindow& window, ScreenshotHost& pictures);

} // namespace kelo::app
