#pragma once

// The control names of the absence and leave window and its three event
// dialogs. A Qt window is laid out from these; each object name is the
// constant's value.

namespace kelo::staffrecords::leavefrm {
// The "View:" drop-down list: kViewNames in order, each row's code its
// LEAVEVIEW.
inline constexpr const char* kView = "View";
inline constexpr const char* kViewNames[] = {"Absence", "Annual Leave", "Leave Booked"};
// The events of the current view: a list view with whole-row selection. Row
// text holds the columns separated by tabs; a row's code is the event's
// identifier.
inline constexpr const char* kList = "Events";
// The headings of kList's columns, separated by tabs; switchView sets it
// whenever the columns change.
inline constexpr const char* kColumns = "EventColumns";
// Column headings and widths (dialog units) of each view, in LEAVEVIEW order.
struct Column {
    const char* title;
    int width;
};
inline constexpr Column kAbsenceColumns[] = {
    {"From", 60}, {"To", 60}, {"Days", 40}, {"Reason", 110}};
inline constexpr Column kLeaveColumns[] = {{"Date", 60}, {"Event", 110}, {"Days", 40}};
inline constexpr Column kBookedColumns[] = {{"From", 60}, {"To", 60}, {"Days", 40}, {"Type", 110}};

// The status line: "Record %d of %d", the employee ("%s  %s, %s": number,
// last name, other names; "Null record" with none), and "Read-Only" for a
// former employee (blank otherwise).
inline constexpr const char* kPosition = "Position";
inline constexpr const char* kEmployee = "Employee";
inline constexpr const char* kReadOnly = "ReadOnly";

// The leave account above the list, read-only texts in days ("%-4.2f").
inline constexpr const char* kEntitlement = "Entitlement"; // days a year
inline constexpr const char* kBalanceBF = "BalanceBF";
inline constexpr const char* kEarned = "Earned";
inline constexpr const char* kSold = "Sold";
inline constexpr const char* kForfeited = "Forfeited";
inline constexpr const char* kTaken = "Taken";
inline constexpr const char* kBalance = "Balance";     // due now
inline constexpr const char* kBooked = "Booked";       // booked, not yet taken
inline constexpr const char* kAvailable = "Available"; // once the booked leave is taken

// The window calls refreshRecord this often while no dialog is open.
inline constexpr int kRefreshSeconds = 5;
} // namespace kelo::staffrecords::leavefrm

// "New Absence Event", "Edit Absence Event", "New Leave Booking" and "Edit
// Leave Booking": one layout.
namespace kelo::staffrecords::absencedlg {
inline constexpr const char* kFromDate = "FromDate"; // "From:", dd/mm/yyyy
inline constexpr const char* kToDate = "ToDate";     // "To:", dd/mm/yyyy
inline constexpr const char* kDuration = "Duration"; // "Duration (days):"
inline constexpr const char* kReason = "Reason";     // drop-down list of the reasons
// "Leave has been taken": bookings only; the window calls resetLeaveTaken
// whenever kFromDate changes.
inline constexpr const char* kLeaveTaken = "LeaveTaken";
} // namespace kelo::staffrecords::absencedlg

// "New Leave Event" and "Edit Leave Event".
namespace kelo::staffrecords::leavedlg {
inline constexpr const char* kDate = "EventDate"; // "Date:", dd/mm/yyyy
inline constexpr const char* kEvent = "Event";    // drop-down list; row code is the kind
inline constexpr const char* kDays = "Days";      // "Days:"
} // namespace kelo::staffrecords::leavedlg
