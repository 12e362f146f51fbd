#pragma once

#include "common/ReportRecords.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::absencereports {

// Which table a stored entry was taken from.
enum class EntrySource : std::int32_t { Absence = 0, Booking = 1, LeaveEvent = 2 };

// An absence event, a leave booking or an event of the annual leave account
// as the leave report store keeps it.
struct LeaveEntry {
    EntrySource source = EntrySource::Absence;
    std::int32_t id = 0;
    std::string empNum;
    common::date fromDate; // a leave event's date
    common::date toDate;   // blank for a leave event
    std::int32_t kind = 0; // leave events: database::kLeaveEarned ...
    double days = 0;
    std::string reason; // absence events and bookings

    friend bool operator==(const LeaveEntry&, const LeaveEntry&) = default;
};

// An employee as the store last saw him.
struct LeaveEmployee {
    std::string empNum;
    std::string lastName;
    std::string otherNames;
    std::string unitPath; // own unit first: "Finance.Head Office"
    std::string stationName;
    std::string payGroupName;
    std::string bankName;
    double leaveEntitlement = 0;
    // Terminated, or gone from the personnel file since an earlier month.
    bool left = false;

    std::string name() const; // "Mushi, Anna"
    friend bool operator==(const LeaveEmployee&, const LeaveEmployee&) = default;
};

// One calendar year of the store: the months closed into it (the interim
// file adds the open month), the employees and every entry dated in the year
// up to its last month, bookings by their first day.
struct LeaveYear {
    std::string orgName;
    int year = 0;
    std::vector<int> months;
    std::vector<LeaveEmployee> employees; // in employee number order
    std::vector<LeaveEntry> entries;

    bool hasMonth(int month) const;
    const LeaveEmployee* employee(std::string_view empNum) const;
    friend bool operator==(const LeaveYear&, const LeaveYear&) = default;
};

} // namespace kelo::absencereports
