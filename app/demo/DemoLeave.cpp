#include "app/demo/DemoSteps.h"
#include "common/OrgRecords.h"
#include "common/WorkingFolder.h"
#include "database/LeaveRecords.h"
#include "engine/Code4.h"
#include "staffrecords/LeaveFrm.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelo::demo::detail {

namespace {

constexpr common::date dmy(int day, int month, int year) {
    return common::date{year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
}

// Absences already taken this year, and leave booked for December.
struct Absence {
    const char* empNum;
    common::date from, to;
    float days;
    const char* reason;
    bool booking = false;
};

const std::vector<Absence> kAbsences{
    {"MH002", dmy(6, 4, 2026), dmy(17, 4, 2026), 10, "Annual Leave"},
    {"MH003", dmy(3, 8, 2026), dmy(21, 8, 2026), 15, "Annual Leave"},
    {"MH007", dmy(14, 9, 2026), dmy(16, 9, 2026), 3, "Sick Leave"},
    {"MH009", dmy(2, 3, 2026), dmy(27, 3, 2026), 20, "Study Leave"},
    {"MH012", dmy(5, 10, 2026), dmy(5, 10, 2026), 1, "Authorised Absence"},
    {"MH016", dmy(19, 10, 2026), dmy(20, 10, 2026), 2, "Unauthorised Absence"},
    {"MH018", dmy(9, 11, 2026), dmy(13, 11, 2026), 5, "Sick Leave"},
    {"MH001", dmy(14, 12, 2026), dmy(31, 12, 2026), 14, "Annual Leave", true},
    {"MH005", dmy(21, 12, 2026), dmy(24, 12, 2026), 4, "Annual Leave", true},
    {"MH013", dmy(7, 12, 2026), dmy(18, 12, 2026), 10, "Annual Leave", true},
};

// What the months to October earned, and leave sold back.
struct LeaveEvent {
    const char* empNum;
    common::date date;
    std::int32_t kind;
    float days;
};

const std::vector<LeaveEvent> kLeaveEvents{
    {"MH001", dmy(31, 10, 2026), database::kLeaveEarned, 23.33f},
    {"MH002", dmy(31, 10, 2026), database::kLeaveEarned, 23.33f},
    {"MH003", dmy(31, 10, 2026), database::kLeaveEarned, 23.33f},
    {"MH005", dmy(31, 10, 2026), database::kLeaveEarned, 23.33f},
    {"MH013", dmy(31, 10, 2026), database::kLeaveEarned, 23.33f},
    {"MH002", dmy(30, 6, 2026), database::kLeaveSold, 3},
};

} // namespace

bool keyAbsenceAndLeave(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                        const common::ORGREC& org) {
    staffrecords::LEAVEFRM form(ui, code, folder);
    for (const Absence& entry : kAbsences) {
        database::ABSENCEROW row;
        row.fromDate = entry.from;
        row.toDate = entry.to;
        row.days = entry.days;
        row.reason = entry.reason;
        if (!attempt(ui, std::string("Can't add the absence of ") + entry.empNum,
                     [&] { return form.addAbsence(org, entry.empNum, row, entry.booking); }))
            return false;
    }
    for (const LeaveEvent& entry : kLeaveEvents) {
        database::LEAVEROW row;
        row.date = entry.date;
        row.kind = entry.kind;
        row.days = entry.days;
        if (!attempt(ui, std::string("Can't add the leave event of ") + entry.empNum,
                     [&] { return form.addLeaveEvent(org, entry.empNum, row); }))
            return false;
    }
    return true;
}

} // namespace kelo::demo::detail
