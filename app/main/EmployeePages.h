#pragma once

#include "staffrecords/StaffRules.h"

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace kelo::app {

// What the controls of a page ask of their window: the "..." buttons open
// the dialogs, the switches call the form's operations that clear the
// fields they govern.
struct PageActions {
    std::function<void()> birthDate, post, supervisor, bank;
    std::function<void()> resetSalary, resetOvertime, resetHousing, resetPaye;
    std::function<void()> coopMember, pensionMember;
};

// One tab of a record window and the form page it shows.
struct PageTab {
    staffrecords::STATPAGE page;
    QString title;
};
const std::vector<PageTab>& personnelTabs();
const std::vector<PageTab>& payrollMasterTabs();

// The header above the tabs: the employee's number and names, and the
// record's place in the file.
QWidget* buildRecordHeader(QWidget* parent);

// A page of the employee master form: labelled controls named as the form
// addresses them, laid out by PageBuilder.
QWidget* buildPage(staffrecords::STATPAGE page, const PageActions& actions, QWidget* parent);

} // namespace kelo::app
