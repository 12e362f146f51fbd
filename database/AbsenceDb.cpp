#include "database/AbsenceDb.h"

#include "common/Calendar.h"
#include "common/Money.h"
#include "common/Text.h"
#include "database/TableUse.h"

namespace kelo::database {

ABSENCEDB::ABSENCEDB(engine::Code4& code, const common::WorkingFolder& folder, common::Ui& ui)
    : EmployeeEventTable(code, folder, ui, kPath, kFromDateColumn, kSDateTag) {}

Schema ABSENCEDB::schema() const {
    Schema s{keyFields(), tags()};
    s.fields.push_back({kFromDateColumn, 'D', 8, 0});
    s.fields.push_back({kToDateColumn, 'D', 8, 0});
    s.fields.push_back({kDaysColumn, 'N', 8, 2});
    s.fields.push_back({kReasonColumn, 'C', static_cast<unsigned>(kReasonWidth), 0});
    s.fields.push_back({kBookingColumn, 'L', 1, 0});
    return s;
}

void ABSENCEDB::loadRow(ABSENCEROW& row) const {
    row.id = static_cast<std::int32_t>(field(kIdColumn).getLong());
    row.fromDate = dateOf(field(kFromDateColumn));
    row.toDate = dateOf(field(kToDateColumn));
    row.days = static_cast<float>(field(kDaysColumn).getDouble());
    row.reason = field(kReasonColumn).trimmed();
}

bool ABSENCEDB::isBooking() const {
    return field(kBookingColumn).getLogical();
}

void ABSENCEDB::storeRow(const ABSENCEROW& row, bool booking) const {
    field(kFromDateColumn).assign(dateText(row.fromDate));
    field(kToDateColumn).assign(dateText(row.toDate));
    field(kDaysColumn).assignDouble(row.days);
    field(kReasonColumn).assign(row.reason);
    field(kBookingColumn).assignLogical(booking);
}

bool ABSENCEDB::addEmployee(const common::STATICREC& employee) {
    if (!checkEmpNum(employee.empNum))
        return false;
    return delEmployee(employee.empNum);
}

bool ABSENCEDB::appendRec(std::string_view empNum, ABSENCEROW& row, bool booking) {
    if (!checkEmpNum(empNum))
        return false;
    TableUse use(*this, &ui());
    if (!use || !lockAllOrTell())
        return false;
    return finish(appendRow(empNum, row.id, [&] { storeRow(row, booking); }));
}

bool ABSENCEDB::updateRec(const ABSENCEROW& row, bool booking) {
    return rewrite(row, booking, nullptr, false);
}

bool ABSENCEDB::updateRec(const ABSENCEROW& row, bool booking, const ABSENCEROW& shown,
                          bool shownBooking) {
    return rewrite(row, booking, &shown, shownBooking);
}

bool ABSENCEDB::rewrite(const ABSENCEROW& row, bool booking, const ABSENCEROW* shown,
                        bool shownBooking) {
    TableUse use(*this, &ui());
    if (!use || !findId(row.id) || !lockRowOrTell(data()->recNo()))
        return false;
    if (shown) {
        // The lock has read the row again.
        ABSENCEROW now;
        loadRow(now);
        const bool same = !data()->deleted() && now.id == row.id && isBooking() == shownBooking &&
                          now.fromDate == shown->fromDate && now.toDate == shown->toDate &&
                          now.days == shown->days && now.reason == shown->reason;
        if (!same) {
            ui().error(cantUpdate() + ": another user has changed event " + std::to_string(row.id) +
                       " since it was shown.");
            return finish(false);
        }
    }
    storeRow(row, booking);
    return finish(true);
}

bool ABSENCEDB::cntExpiredBookings(const common::ORGREC& org, std::int32_t& count) {
    count = 0;
    const int month = common::monthNumber(org.month);
    if (month == 0)
        return false;
    const common::date monthEnd{org.year,
                                static_cast<std::uint8_t>(common::daysInMonth(month, org.year)),
                                static_cast<std::uint8_t>(month)};
    // The December month end comes here first.
    ensureIndex();
    TableUse use(*this, nullptr);
    if (!use)
        return false;
    data()->select(nullptr);
    int rc = data()->top();
    for (; rc == engine::r4success; rc = data()->skip()) {
        if (!data()->deleted() && isBooking() && dateOf(field(kToDateColumn)) <= monthEnd)
            ++count;
    }
    code().setErrorCode(0);
    return rc == engine::r4eof;
}

bool ABSENCEDB::purgeAbsence() {
    TableUse use(*this, &ui());
    if (!use || !lockAllOrTell())
        return false;
    return finish(removeRows([&] { return !isBooking(); }));
}

bool ABSENCEDB::readRows(std::string_view empNum, bool bookings, std::vector<ABSENCEROW>& rows) {
    rows.clear();
    TableUse use(*this, &ui());
    if (!use)
        return false;
    for (long recNo : rowsOf(empNum)) {
        if (data()->go(recNo) != engine::r4success) {
            code().setErrorCode(0);
            return false;
        }
        if (isBooking() != bookings)
            continue;
        ABSENCEROW& row = rows.emplace_back();
        loadRow(row);
    }
    return true;
}

bool ABSENCEDB::readTaken(std::map<std::string, double>& taken,
                          std::map<std::string, std::string>& empNums) {
    taken.clear();
    empNums.clear();
    TableUse use(*this, &ui());
    if (!use)
        return false;
    data()->select(nullptr);
    int rc = data()->top();
    for (; rc == engine::r4success; rc = data()->skip()) {
        if (data()->deleted() || isBooking() || field(kReasonColumn).trimmed() != kAnnualLeave)
            continue;
        const std::string key = rowKey();
        taken[key] = common::roundCents(taken[key] + field(kDaysColumn).getDouble());
        empNums.emplace(key, common::trim(field(kEmpNumColumn).str()));
    }
    code().setErrorCode(0);
    if (rc != engine::r4eof) {
        ui().error("Can't read " + relativePath());
        return false;
    }
    return true;
}

bool ABSENCEDB::readAccount(LEAVEREC& account) {
    std::vector<ABSENCEROW> events;
    std::vector<ABSENCEROW> bookings;
    if (!readRows(account.empNum, false, events) || !readRows(account.empNum, true, bookings))
        return false;
    account.taken = 0;
    account.booked = 0;
    for (const ABSENCEROW& row : events) {
        if (row.reason == kAnnualLeave)
            account.taken += row.days;
    }
    for (const ABSENCEROW& row : bookings) {
        if (row.reason == kAnnualLeave)
            account.booked += row.days;
    }
    return true;
}

} // namespace kelo::database
