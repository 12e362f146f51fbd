#pragma once

#include "staffrecords/VarFrm.h"

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace kelo::app {

// What the controls of a transactions page ask of their window.
struct ItemActions {
    // A row's check box was clicked; the row's "..." button was pressed.
    std::function<void(int row)> toggle, parameters;
    // The "..." buttons of Basic Pay and Overtime.
    std::function<void()> timeWorked, overtime;
    // The clerk keyed a figure and left its box.
    std::function<void()> keyed;
    // The scroll bar moved to show the items from `first` on.
    std::function<void(int first)> scrolled;
};

// One tab of the transactions window and the form page it shows. The tabs
// do not follow the order of the pages: the taxable pay comes last.
struct TransactionsTab {
    staffrecords::VARPAGE page;
    QString title;
};
const std::vector<TransactionsTab>& transactionsTabs();

// Above the tabs: the employee's number and names ("Null record" for an
// employee off the payroll), "Read-Only" for a leaver, and the record's
// place in the personnel file.
QWidget* buildTransactionsHeader(QWidget* parent);

// A page of the transactions form, its controls named as the form
// addresses them. Everything but the page itself lies in the page body,
// which the form hides for an employee off the payroll. Figures are
// right-aligned; a figure the clerk cannot key shows on the window's
// colour.
QWidget* buildTransactionsPage(staffrecords::VARPAGE page, const ItemActions& actions,
                               QWidget* parent);

} // namespace kelo::app
