#pragma once

#include "common/ReportRecords.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelo::database {

// Reasons offered for absence events and leave bookings.
inline constexpr std::string_view kAnnualLeave = "Annual Leave";
inline constexpr std::array<std::string_view, 6> kAbsenceReasons{
    kAnnualLeave,  "Sick Leave",         "Maternity Leave",
    "Study Leave", "Authorised Absence", "Unauthorised Absence"};
inline constexpr std::size_t kReasonWidth = 25;

// Kinds of leave event (LEAVEROW::kind).
inline constexpr std::int32_t kLeaveEarned = 0;
inline constexpr std::int32_t kLeaveSold = 1;
inline constexpr std::int32_t kLeaveForfeited = 2;
inline constexpr std::int32_t kBalanceBF = 3;
inline constexpr std::array<std::string_view, 4> kLeaveKindLabels{"Leave Earned", "Leave Sold",
                                                                  "Leave Forfeited", "Balance B/F"};

// An absence event or a leave booking; whether it is a booking is kept by the
// absence table beside the row.
struct ABSENCEROW {
    std::int32_t id = 0; // unique in the absence table
    common::date fromDate;
    common::date toDate;
    float days = 0;
    std::string reason; // one of kAbsenceReasons; at most kReasonWidth characters
};

// A leave event of an employee's annual leave account.
struct LEAVEROW {
    std::int32_t id = 0; // unique in the leave table
    common::date date;
    std::int32_t kind = kLeaveEarned;
    float days = 0;
};

// An employee's annual leave account, shown above the absence and leave list
// and reported by the leave analyses. The employee part comes from the
// personnel table; LEAVEDB::readAccount fills the leave events, and
// ABSENCEDB::readAccount the annual leave taken and booked.
struct LEAVEREC {
    std::string empNum;
    std::string lastName;
    std::string otherNames;
    float leaveEntitlement = 0; // days per year
    float balanceBF = 0;        // "Balance B/F" events
    float earned = 0;           // "Leave Earned"
    float sold = 0;             // "Leave Sold"
    float forfeited = 0;        // "Leave Forfeited"
    float taken = 0;            // "Annual Leave" absence events
    float booked = 0;           // "Annual Leave" bookings not yet taken

    // Days still due: what the period reports print as the leave balance.
    float balance() const { return balanceBF + earned - sold - forfeited - taken; }
    // Days left once the booked leave is taken.
    float available() const { return balance() - booked; }
};

} // namespace kelo::database
