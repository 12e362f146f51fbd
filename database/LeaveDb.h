#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "database/EmployeeEventTable.h"
#include "database/LeaveRecords.h"

#include <string_view>
#include <vector>

namespace kelo::database {

// The leave table of an organisation: the events of each employee's annual
// leave account for the current calendar year. The account opens with one
// "Balance B/F" on 1 January; the year end replaces the year's events with
// the balance they leave. Earlier years are for the leave reports' own store
// to keep, which the month end fills before this table moves on.
//
// The leave year is the calendar year because the organisation's leave
// figures (bookings, the expired bookings check, the absence purge) turn
// with it. Leave is earned month by month at the month end, in arrears: a
// month's share is credited on the first day of the next month, so every
// event of a year is dated within it and December's share opens the new
// year's account after its "Balance B/F". The whole balance is carried:
// the program never lets leave lapse by itself; where it lapses, the clerk
// keys a "Leave Forfeited" event.
class LEAVEDB : public EmployeeEventTable {
public:
    static constexpr const char* kPath = "database/leave.dbf";
    static constexpr const char* kDateColumn = "EVENTDATE";
    // One of kLeaveEarned, kLeaveSold, kLeaveForfeited, kBalanceBF.
    static constexpr const char* kKindColumn = "KIND";
    static constexpr const char* kDaysColumn = "DAYS";
    // Every event by its date, DTOS(EVENTDATE).
    static constexpr const char* kDateTag = "DateTag";

    LEAVEDB(engine::Code4& code, const common::WorkingFolder& folder, common::Ui& ui);
    Schema schema() const override;

    bool orderByDate() const { return order(kDateTag); }

    // Opens the employee's account with a "Balance B/F" of 0 days on 1
    // January of `year`; rows a former employee left under the number go.
    bool addEmployee(const common::STATICREC& employee, int year);
    // The same for many employees, one after the other, in the table as the
    // caller keeps it open and locked whole; the locks stay.
    bool addEmployees(const std::vector<const common::STATICREC*>& employees, int year);
    // Appends the event with the next identifier, given back in `row`.
    bool appendRec(std::string_view empNum, LEAVEROW& row);
    // Rewrites the event with `row.id`.
    bool updateRec(const LEAVEROW& row);
    // The same, only while the stored event still is `shown`: another
    // user's change since it was shown is not overwritten but told.
    bool updateRec(const LEAVEROW& row, const LEAVEROW& shown);

    // The month end's update, made once the organisation stands in its new
    // month (`org.month` and `org.year` are the new month's):
    // - UPDATE_YEAR_END (the new month is January): each employee's events
    //   dated before 1 January of `org.year` ("Balance B/F", earned, sold,
    //   forfeited), less his "Annual Leave" absence events, which the
    //   absence purge removes next, give way to one "Balance B/F" of what
    //   they leave, on 1 January; it may be 0 or below. An employee who
    //   already has a "Balance B/F" on that day was carried before: his
    //   older events only go, so that running it again changes nothing.
    // - UPDATE_MONTH_END: each employee employed in the month before
    //   `org.month` earns its share of his yearly entitlement, a "Leave
    //   Earned" dated the first day of `org.month`. A whole month m gives
    //   E x m / 12 - E x (m - 1) / 12 days, each product rounded to the
    //   hundredth, so that the twelve months add up to E exactly; a month
    //   he joined or left in gives E / 12 for the calendar days he was
    //   employed (start date to termination date) out of the month's days.
    // Other modes change nothing. Shows "Updating database/leave.dbf..."
    // while it works, tells the user of every failure, and changes nothing
    // when the table or a table it reads is in use or cannot be read.
    bool updateFile(const common::ORGREC& org, common::UPDATEMODE mode);

    // The employee's events in date order.
    bool readRows(std::string_view empNum, std::vector<LEAVEROW>& rows);
    // Fills the leave event totals of the account of `account.empNum`.
    bool readAccount(LEAVEREC& account);
    // The current row.
    void loadRow(LEAVEROW& row) const;

private:
    // The numbers not blank and the year valid; tells the user otherwise.
    bool checkNew(const std::vector<const common::STATICREC*>& employees, int year) const;
    void storeRow(const LEAVEROW& row) const;
    bool rewrite(const LEAVEROW& row, const LEAVEROW* shown);
    bool carryBalances(int year);
    bool creditMonth(int month, int year);
};

} // namespace kelo::database
