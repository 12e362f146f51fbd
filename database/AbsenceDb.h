#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "database/EmployeeEventTable.h"
#include "database/LeaveRecords.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::database {

// The absence table of an organisation: absence events and leave bookings.
class ABSENCEDB : public EmployeeEventTable {
public:
    static constexpr const char* kPath = "database/absence.dbf";
    static constexpr const char* kFromDateColumn = "FROMDATE";
    static constexpr const char* kToDateColumn = "TODATE";
    static constexpr const char* kDaysColumn = "DAYS";
    static constexpr const char* kReasonColumn = "REASON";
    // True for a booking, false for an absence event.
    static constexpr const char* kBookingColumn = "BOOKING";
    // Every row by its first day, DTOS(FROMDATE).
    static constexpr const char* kSDateTag = "SDateTag";

    ABSENCEDB(engine::Code4& code, const common::WorkingFolder& folder, common::Ui& ui);
    Schema schema() const override;

    bool orderBySDate() const { return order(kSDateTag); }

    // A new employee starts without rows: any left under the number by a
    // former employee are removed.
    bool addEmployee(const common::STATICREC& employee);
    // Appends the row (booking or absence event) with the next identifier,
    // which is given back in `row`.
    bool appendRec(std::string_view empNum, ABSENCEROW& row, bool booking);
    // Rewrites the row with `row.id`; an edited booking may become an event.
    bool updateRec(const ABSENCEROW& row, bool booking);
    // The same, only while the stored row still is `shown` (a booking when
    // `shownBooking`): another user's change since it was shown is not
    // overwritten but told.
    bool updateRec(const ABSENCEROW& row, bool booking, const ABSENCEROW& shown, bool shownBooking);
    // The bookings whose last day is not after the organisation's current
    // month: they should have been taken or removed by now. Quiet on failure.
    bool cntExpiredBookings(const common::ORGREC& org, std::int32_t& count);
    // At the turn of the year: removes every absence event, whose days the
    // year-end update has carried into the leave accounts; bookings stay.
    bool purgeAbsence();

    // The employee's absence events, or bookings, in date order.
    bool readRows(std::string_view empNum, bool bookings, std::vector<ABSENCEROW>& rows);
    // Fills `taken` and `booked` of the account of `account.empNum`.
    bool readAccount(LEAVEREC& account);
    // The "Annual Leave" days of every employee's absence events (bookings
    // do not count), by employee key (common::employeeKey); `empNums` gets
    // each key's employee number as stored.
    bool readTaken(std::map<std::string, double>& taken,
                   std::map<std::string, std::string>& empNums);
    // The current row.
    void loadRow(ABSENCEROW& row) const;
    bool isBooking() const;

private:
    void storeRow(const ABSENCEROW& row, bool booking) const;
    bool rewrite(const ABSENCEROW& row, bool booking, const ABSENCEROW* shown, bool shownBooking);
};

} // namespace kelo::database
