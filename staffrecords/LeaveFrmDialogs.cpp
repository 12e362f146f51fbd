#include "common/DateText.h"
#include "common/Money.h"
#include "common/Text.h"
#include "database/TableSupport.h"
#include "database/TableUse.h"
#include "staffrecords/FieldsRules.h"
#include "staffrecords/LeaveFrm.h"
#include "staffrecords/LeaveFrmControls.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>

namespace kelo::staffrecords {

namespace ad = absencedlg;
namespace ld = leavedlg;
using common::DialogView;
using database::ABSENCEROW;
using database::LEAVEROW;

namespace {

// No single event spans more than a year.
constexpr double kMostDays = 366;

struct Refusal {
    std::string message;
    const char* control;
};
using Fault = std::optional<Refusal>;

std::chrono::year_month_day civil(const common::date& d) {
    return std::chrono::year{d.year} / std::chrono::month{d.month} / std::chrono::day{d.day};
}

// A whole date the forms would take.
bool isValidDate(const common::date& d) {
    return d.year >= 1900 && d.year <= 3000 && civil(d).ok();
}

// From the first day to the last, both counted.
long calendarDays(const common::date& from, const common::date& to) {
    return (std::chrono::sys_days{civil(to)} - std::chrono::sys_days{civil(from)}).count() + 1;
}

Fault dateFault(const common::date& d, std::string_view label, const char* control) {
    if (d.year == 0)
        return Refusal{blankMessage(label), control};
    if (!isValidDate(d))
        return Refusal{invalidMessage(label), control};
    return std::nullopt;
}

// An absence event, or a booking (`taken`: to become an absence event), in
// the organisation's calendar year `year`.
Fault absenceFault(const ABSENCEROW& row, bool booking, bool taken, int year) {
    if (Fault fault = dateFault(row.fromDate, "Start Date", ad::kFromDate))
        return fault;
    if (Fault fault = dateFault(row.toDate, "End Date", ad::kToDate))
        return fault;
    if (row.toDate < row.fromDate)
        return Refusal{"Start date cannot be later than end date", ad::kFromDate};
    if (booking && row.fromDate.year != row.toDate.year)
        return Refusal{"Start date and end date must be in the same calendar year", ad::kToDate};
    // Leave is counted in calendar days or fewer (weekends, holidays).
    if (!(row.days > 0) ||
        common::decimalOf(row.days) > static_cast<double>(calendarDays(row.fromDate, row.toDate)))
        return Refusal{invalidMessage("Duration"), ad::kDuration};
    const std::string reason = common::trim(row.reason);
    if (reason.empty())
        return Refusal{blankMessage("Reason"), ad::kReason};
    if (std::find(database::kAbsenceReasons.begin(), database::kAbsenceReasons.end(), reason) ==
        database::kAbsenceReasons.end())
        return Refusal{invalidMessage("Reason"), ad::kReason};
    if (taken && row.fromDate.year > year)
        return Refusal{"Leave booked for a later year cannot be marked as taken.", ad::kLeaveTaken};
    return std::nullopt;
}

// A leave event; `shownKind` is the kind of the event being edited, none
// for a new one.
Fault leaveFault(const LEAVEROW& row, std::optional<std::int32_t> shownKind, int year) {
    const bool opening = shownKind && *shownKind == database::kBalanceBF;
    if (!opening) {
        if (Fault fault = dateFault(row.date, "Date", ld::kDate))
            return fault;
        if (row.date.year != year)
            return Refusal{"The date must fall in the current calendar year, " +
                               std::to_string(year) + ".",
                           ld::kDate};
    }
    const bool known = row.kind == database::kLeaveEarned || row.kind == database::kLeaveSold ||
                       row.kind == database::kLeaveForfeited;
    if (opening ? row.kind != database::kBalanceBF : !known)
        return Refusal{invalidMessage("Event"), ld::kEvent};
    const double days = row.days;
    if (opening ? !(std::fabs(days) <= kMostDays) : !(days > 0 && days <= kMostDays))
        return Refusal{invalidMessage("Days"), ld::kDays};
    return std::nullopt;
}

bool refuseIn(common::Ui& ui, DialogView& dlg, const Refusal& refusal) {
    ui.information(refusal.message);
    dlg.setFocus(refusal.control);
    return false;
}

// A date box: blank is the blank date; a text that is no date is refused.
Fault readDate(const DialogView& dlg, const char* control, std::string_view label,
               common::date& out) {
    if (!common::parseDate(common::trim(dlg.text(control)), out))
        return Refusal{invalidMessage(label), control};
    return std::nullopt;
}

// Days to the hundredth; what is no number reads as NaN, which every check
// refuses.
float readDays(const DialogView& dlg, const char* control) {
    double value = 0;
    if (!common::parseAmount(dlg.text(control), value) || !std::isfinite(value))
        return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>(common::roundCents(value));
}

std::string daysField(float days) {
    return days == 0 ? std::string() : common::fixedText(common::decimalOf(days), 2);
}

std::string chosenText(const DialogView& dlg, const char* control) {
    const int row = dlg.selectedRow(control);
    return row >= 0 ? dlg.itemText(control, row) : common::trim(dlg.text(control));
}

constexpr const char* kNewReadOnly =
    "Cannot add a new event because the current record is read-only.";
constexpr const char* kEditReadOnly =
    "This event cannot be edited because the current record is read-only.";

} // namespace

bool LEAVEFRM::refuseReadOnly(const char* text) const {
    ui_.information(text);
    return false;
}

bool LEAVEFRM::mayOpenEventDialog(const char* readOnlyText) {
    editing_ = Editing::None;
    if (!hasRecord_) {
        ui_.beep();
        return false;
    }
    return !isReadOnly() || refuseReadOnly(readOnlyText);
}

// Absence events and bookings

void LEAVEFRM::initAbsenceFields(DialogView& dlg, const ABSENCEROW& row) {
    dlg.setText(ad::kFromDate, common::formatDate(row.fromDate));
    dlg.setText(ad::kToDate, common::formatDate(row.toDate));
    dlg.setText(ad::kDuration, daysField(row.days));
    dlg.setTextLimit(ad::kFromDate, 10);
    dlg.setTextLimit(ad::kToDate, 10);
    dlg.setTextLimit(ad::kDuration, 6);
    dlg.clearItems(ad::kReason);
    int selected = -1;
    for (std::string_view reason : database::kAbsenceReasons) {
        const int item = dlg.addItem(ad::kReason, reason);
        if (reason == row.reason)
            selected = item;
    }
    if (selected < 0 && !row.reason.empty())
        selected = dlg.addItem(ad::kReason, row.reason);
    dlg.selectRow(ad::kReason, selected);
    dlg.setText(ad::kReason, row.reason);
    dlg.setChecked(ad::kLeaveTaken, false);
    dlg.setFocus(ad::kFromDate);
}

bool LEAVEFRM::initNewAbsenceDlg(DialogView& dlg) {
    if (!mayOpenEventDialog(kNewReadOnly))
        return false;
    dlg.setCaption("New Absence Event");
    initAbsenceFields(dlg, ABSENCEROW{});
    dlg.setEnabled(ad::kLeaveTaken, false);
    dlg.setVisible(ad::kLeaveTaken, false);
    editing_ = Editing::NewAbsence;
    return true;
}

bool LEAVEFRM::initNewBookingDlg(DialogView& dlg) {
    if (!mayOpenEventDialog(kNewReadOnly))
        return false;
    dlg.setCaption("New Leave Booking");
    ABSENCEROW row;
    row.reason = database::kAnnualLeave;
    initAbsenceFields(dlg, row);
    // A new booking is always stored as a booking.
    dlg.setEnabled(ad::kLeaveTaken, false);
    dlg.setVisible(ad::kLeaveTaken, false);
    editing_ = Editing::NewBooking;
    return true;
}

bool LEAVEFRM::initEditAbsence(DialogView& dlg, bool booking) {
    if (!mayOpenEventDialog(kEditReadOnly))
        return false;
    const std::int32_t id = selectedId();
    const auto found = std::find_if(absences_.begin(), absences_.end(),
                                    [&](const ABSENCEROW& row) { return row.id == id; });
    if (view_ != (booking ? LEAVE_BOOKED_VIEW : ABSENCE_VIEW) || id == 0 ||
        found == absences_.end()) {
        ui_.beep();
        return false;
    }
    shownAbsence_ = *found;
    dlg.setCaption(booking ? "Edit Leave Booking" : "Edit Absence Event");
    initAbsenceFields(dlg, shownAbsence_);
    dlg.setVisible(ad::kLeaveTaken, booking);
    dlg.setEnabled(ad::kLeaveTaken, booking);
    editing_ = booking ? Editing::EditBooking : Editing::EditAbsence;
    if (booking)
        resetLeaveTaken(dlg);
    return true;
}

bool LEAVEFRM::initEditAbsenceDlg(DialogView& dlg) {
    return initEditAbsence(dlg, false);
}

bool LEAVEFRM::initEditBookingDlg(DialogView& dlg) {
    return initEditAbsence(dlg, true);
}

void LEAVEFRM::resetLeaveTaken(DialogView& dlg) {
    if (editing_ != Editing::EditBooking) {
        dlg.setChecked(ad::kLeaveTaken, false);
        dlg.setEnabled(ad::kLeaveTaken, false);
        return;
    }
    // A date half typed leaves the box as it is.
    common::date from;
    if (!common::parseDate(common::trim(dlg.text(ad::kFromDate)), from) || from.year == 0)
        return;
    const bool mayBeTaken = from.year <= year_;
    if (!mayBeTaken)
        dlg.setChecked(ad::kLeaveTaken, false);
    dlg.setEnabled(ad::kLeaveTaken, mayBeTaken);
}

bool LEAVEFRM::closeAbsence(DialogView& dlg, bool booking, bool isNew) {
    if (!hasRecord_ || isReadOnly())
        return false;
    ABSENCEROW row = isNew ? ABSENCEROW{} : shownAbsence_;
    Fault fault = readDate(dlg, ad::kFromDate, "Start Date", row.fromDate);
    if (!fault)
        fault = readDate(dlg, ad::kToDate, "End Date", row.toDate);
    row.days = readDays(dlg, ad::kDuration);
    row.reason = chosenText(dlg, ad::kReason);
    const bool taken = booking && !isNew && dlg.isChecked(ad::kLeaveTaken);
    if (!fault)
        fault = absenceFault(row, booking, taken, year_);
    if (fault)
        return refuseIn(ui_, dlg, *fault);
    const bool stored = isNew ? absence_.appendRec(rec_.empNum, row, booking)
                              : absence_.updateRec(row, booking && !taken, shownAbsence_, booking);
    if (!stored) {
        // Whatever another user did is shown; the dialog stays for Cancel.
        reshow(isNew ? 0 : shownAbsence_.id);
        return false;
    }
    editing_ = Editing::None;
    afterChange(row.id);
    return true;
}

bool LEAVEFRM::closeNewAbsenceDlg(DialogView& dlg) {
    return editing_ == Editing::NewAbsence && closeAbsence(dlg, false, true);
}

bool LEAVEFRM::closeEditAbsenceDlg(DialogView& dlg) {
    return editing_ == Editing::EditAbsence && closeAbsence(dlg, false, false);
}

bool LEAVEFRM::closeNewBookingDlg(DialogView& dlg) {
    return editing_ == Editing::NewBooking && closeAbsence(dlg, true, true);
}

bool LEAVEFRM::closeEditBookingDlg(DialogView& dlg) {
    return editing_ == Editing::EditBooking && closeAbsence(dlg, true, false);
}

void LEAVEFRM::deleteNewAbsence() {
    editing_ = Editing::None;
}

void LEAVEFRM::deleteNewBooking() {
    editing_ = Editing::None;
}

// Leave events

void LEAVEFRM::initLeaveFields(DialogView& dlg, const LEAVEROW& row, bool isNew) {
    const bool opening = !isNew && row.kind == database::kBalanceBF;
    dlg.setText(ld::kDate, common::formatDate(row.date));
    dlg.setTextLimit(ld::kDate, 10);
    // The opening balance stands at the start of the account's year.
    dlg.setEnabled(ld::kDate, !opening);
    dlg.clearItems(ld::kEvent);
    int selected = -1;
    for (std::int32_t kind = 0; kind < static_cast<std::int32_t>(database::kLeaveKindLabels.size());
         ++kind) {
        if ((kind == database::kBalanceBF) != opening)
            continue;
        const int item = dlg.addItem(
            ld::kEvent, database::kLeaveKindLabels[static_cast<std::size_t>(kind)], kind);
        if (kind == row.kind)
            selected = item;
    }
    dlg.selectRow(ld::kEvent, selected);
    dlg.setText(ld::kEvent, selected < 0 ? std::string() : dlg.itemText(ld::kEvent, selected));
    dlg.setEnabled(ld::kEvent, !opening);
    dlg.setText(ld::kDays,
                isNew ? std::string() : common::fixedText(common::decimalOf(row.days), 2));
    dlg.setTextLimit(ld::kDays, 7);
    dlg.setFocus(opening ? ld::kDays : ld::kDate);
}

bool LEAVEFRM::initNewLeaveDlg(DialogView& dlg) {
    if (!mayOpenEventDialog(kNewReadOnly))
        return false;
    dlg.setCaption("New Leave Event");
    LEAVEROW row;
    row.kind = database::kLeaveEarned;
    initLeaveFields(dlg, row, true);
    editing_ = Editing::NewLeave;
    return true;
}

bool LEAVEFRM::initEditLeaveDlg(DialogView& dlg) {
    if (!mayOpenEventDialog(kEditReadOnly))
        return false;
    const std::int32_t id = selectedId();
    const auto found = std::find_if(events_.begin(), events_.end(),
                                    [&](const LEAVEROW& row) { return row.id == id; });
    if (view_ != ANNUAL_LEAVE_VIEW || id == 0 || found == events_.end()) {
        ui_.beep();
        return false;
    }
    shownEvent_ = *found;
    dlg.setCaption("Edit Leave Event");
    initLeaveFields(dlg, shownEvent_, false);
    editing_ = Editing::EditLeave;
    return true;
}

bool LEAVEFRM::closeLeave(DialogView& dlg, bool isNew) {
    if (!hasRecord_ || isReadOnly())
        return false;
    LEAVEROW row = isNew ? LEAVEROW{} : shownEvent_;
    const bool opening = !isNew && shownEvent_.kind == database::kBalanceBF;
    Fault fault;
    if (!opening)
        fault = readDate(dlg, ld::kDate, "Date", row.date);
    const int chosen = dlg.selectedRow(ld::kEvent);
    row.kind = chosen < 0 ? -1 : static_cast<std::int32_t>(dlg.itemCode(ld::kEvent, chosen));
    row.days = readDays(dlg, ld::kDays);
    if (!fault)
        fault = leaveFault(row, isNew ? std::nullopt : std::optional(shownEvent_.kind), year_);
    if (fault)
        return refuseIn(ui_, dlg, *fault);
    const bool stored =
        isNew ? leave_.appendRec(rec_.empNum, row) : leave_.updateRec(row, shownEvent_);
    if (!stored) {
        reshow(isNew ? 0 : shownEvent_.id);
        return false;
    }
    editing_ = Editing::None;
    afterChange(row.id);
    return true;
}

bool LEAVEFRM::closeNewLeaveDlg(DialogView& dlg) {
    return editing_ == Editing::NewLeave && closeLeave(dlg, true);
}

bool LEAVEFRM::closeEditLeaveDlg(DialogView& dlg) {
    return editing_ == Editing::EditLeave && closeLeave(dlg, false);
}

void LEAVEFRM::deleteNewLeave() {
    editing_ = Editing::None;
}

// Deleting

bool LEAVEFRM::deleteRow() {
    if (!hasRecord_) {
        ui_.beep();
        return false;
    }
    if (isReadOnly())
        return refuseReadOnly(
            "This event cannot be deleted because the current record is read-only.");
    const std::int32_t id = selectedId();
    if (id == 0) {
        ui_.beep();
        return false;
    }
    if (view_ == ANNUAL_LEAVE_VIEW) {
        const auto found = std::find_if(events_.begin(), events_.end(),
                                        [&](const LEAVEROW& row) { return row.id == id; });
        if (found != events_.end() && found->kind == database::kBalanceBF) {
            ui_.information("This event cannot be deleted.");
            return false;
        }
    }
    if (!ui_.ask("Are you sure you want to delete this event?", common::Answer::No))
        return false;
    const int position = window_->selectedRow(leavefrm::kList);
    const bool deleted = view_ == ANNUAL_LEAVE_VIEW ? leave_.deleteRec(id) : absence_.deleteRec(id);
    if (!deleted) {
        reshow(id);
        return false;
    }
    afterChange(0);
    // The row that took its place stays selected, as in a list the user
    // works down.
    const int count = window_->itemCount(leavefrm::kList);
    if (count > 0)
        window_->selectRow(leavefrm::kList, std::min(position, count - 1));
    return true;
}

// Without a window

bool LEAVEFRM::checkEmployee(std::string_view empNum, std::string& stored) {
    database::TableUse use(staff_, &ui_);
    if (!use)
        return false;
    database::TablePlace place(staff_.data());
    const long recNo = common::trim(empNum).empty() ? 0 : staff_.recNum(empNum);
    common::STATICREC employee;
    if (recNo == 0 || staff_.data()->go(recNo) != engine::r4success || !staff_.initRec(employee)) {
        code_.setErrorCode(0);
        ui_.information("Record not found.");
        return false;
    }
    if (employee.separated)
        return refuseReadOnly(kNewReadOnly);
    stored = common::trim(employee.empNum);
    return true;
}

bool LEAVEFRM::addAbsence(const common::ORGREC& org, std::string_view empNum, ABSENCEROW& row,
                          bool booking) {
    std::string stored;
    if (!checkEmployee(empNum, stored))
        return false;
    ABSENCEROW wanted = row;
    wanted.days = static_cast<float>(common::roundCents(common::decimalOf(row.days)));
    wanted.reason = common::trim(wanted.reason);
    if (const Fault fault = absenceFault(wanted, booking, false, org.year)) {
        ui_.information(fault->message);
        return false;
    }
    if (!absence_.appendRec(stored, wanted, booking))
        return false;
    row = wanted;
    if (hasRecord_ && common::equalsIgnoreCase(common::trim(rec_.empNum), stored))
        afterChange(row.id);
    return true;
}

bool LEAVEFRM::addLeaveEvent(const common::ORGREC& org, std::string_view empNum, LEAVEROW& row) {
    std::string stored;
    if (!checkEmployee(empNum, stored))
        return false;
    LEAVEROW wanted = row;
    wanted.days = static_cast<float>(common::roundCents(common::decimalOf(row.days)));
    if (const Fault fault = leaveFault(wanted, std::nullopt, org.year)) {
        ui_.information(fault->message);
        return false;
    }
    if (!leave_.appendRec(stored, wanted))
        return false;
    row = wanted;
    if (hasRecord_ && common::equalsIgnoreCase(common::trim(rec_.empNum), stored))
        afterChange(row.id);
    return true;
}

} // namespace kelo::staffrecords
