#pragma once

#include "common/PayRecords.h"
#include "database/EmployeeEventTable.h"
#include "database/LeaveRecords.h"

#include <string_view>
#include <vector>

namespace kelo::database {

// The leave table of an organisation: the events of each employee's annual
// leave account.
class LEAVEDB : public EmployeeEventTable {
public:
    static constexpr const char* kPath = "database/leave.dbf";
    static constexpr const char* kDateColumn = "EVENTDATE";
    // One of kLeaveEarned, kLeaveSold, kLeaveForfeited, kBalanceBF.
    static constexpr const char* kKindColumn = "KIND";
    static constexpr const char* kDaysColumn = "DAYS";

    LEAVEDB(engine::Code4& code, const common::WorkingFolder& folder, common::Ui& ui);
    Schema schema() const override;

    // Opens the employee's account with a "Balance B/F" of 0 days on 1
    // January of `year`; rows a former employee left under the number go.
    bool addEmployee(const common::STATICREC& employee, int year);
    // Appends the event with the next identifier, given back in `row`.
    bool appendRec(std::string_view empNum, LEAVEROW& row);
    // Rewrites the event with `row.id`.
    bool updateRec(const LEAVEROW& row);

    // The employee's events in date order.
    bool readRows(std::string_view empNum, std::vector<LEAVEROW>& rows);
    // Fills the leave event totals of the account of `account.empNum`.
    bool readAccount(LEAVEREC& account);
    // The current row.
    void loadRow(LEAVEROW& row) const;

private:
    void storeRow(const LEAVEROW& row) const;
};

} // namespace kelo::database
