#include "database/LeaveDb.h"

#include "database/TableUse.h"

namespace kelo::database {

LEAVEDB::LEAVEDB(engine::Code4& code, const common::WorkingFolder& folder, common::Ui& ui)
    : EmployeeEventTable(code, folder, ui, kPath, kDateColumn) {}

Schema LEAVEDB::schema() const {
    Schema s{keyFields(), tags()};
    s.fields.push_back({kDateColumn, 'D', 8, 0});
    s.fields.push_back({kKindColumn, 'N', 2, 0});
    s.fields.push_back({kDaysColumn, 'N', 8, 2});
    return s;
}

void LEAVEDB::loadRow(LEAVEROW& row) const {
    row.id = static_cast<std::int32_t>(field(kIdColumn).getLong());
    row.date = dateOf(field(kDateColumn));
    row.kind = static_cast<std::int32_t>(field(kKindColumn).getLong());
    row.days = static_cast<float>(field(kDaysColumn).getDouble());
}

void LEAVEDB::storeRow(const LEAVEROW& row) const {
    field(kDateColumn).assign(dateText(row.date));
    field(kKindColumn).assignLong(row.kind);
    field(kDaysColumn).assignDouble(row.days);
}

bool LEAVEDB::addEmployee(const common::STATICREC& employee, int year) {
    if (!checkEmpNum(employee.empNum))
        return false;
    if (year < 1900 || year > 3000) {
        ui().error(cantUpdate() + ": the year " + std::to_string(year) + " is not valid.");
        return false;
    }
    TableUse use(*this, &ui());
    if (!use || !lockAllOrTell())
        return false;
    bool ok = removeEmployeeRows(employee.empNum);
    LEAVEROW opening;
    opening.date = common::date{year, 1, 1};
    opening.kind = kBalanceBF;
    ok = ok && appendRow(employee.empNum, opening.id, [&] { storeRow(opening); });
    return finish(ok);
}

bool LEAVEDB::appendRec(std::string_view empNum, LEAVEROW& row) {
    if (!checkEmpNum(empNum))
        return false;
    TableUse use(*this, &ui());
    if (!use || !lockAllOrTell())
        return false;
    return finish(appendRow(empNum, row.id, [&] { storeRow(row); }));
}

bool LEAVEDB::updateRec(const LEAVEROW& row) {
    TableUse use(*this, &ui());
    if (!use || !findId(row.id) || !lockRowOrTell(data()->recNo()))
        return false;
    storeRow(row);
    return finish(true);
}

bool LEAVEDB::readRows(std::string_view empNum, std::vector<LEAVEROW>& rows) {
    rows.clear();
    TableUse use(*this, &ui());
    if (!use)
        return false;
    for (long recNo : rowsOf(empNum)) {
        if (data()->go(recNo) != engine::r4success) {
            code().setErrorCode(0);
            return false;
        }
        loadRow(rows.emplace_back());
    }
    return true;
}

bool LEAVEDB::readAccount(LEAVEREC& account) {
    std::vector<LEAVEROW> rows;
    if (!readRows(account.empNum, rows))
        return false;
    account.balanceBF = account.earned = account.sold = account.forfeited = 0;
    for (const LEAVEROW& row : rows) {
        switch (row.kind) {
        case kBalanceBF:
            account.balanceBF += row.days;
            break;
        case kLeaveEarned:
            account.earned += row.days;
            break;
        case kLeaveSold:
            account.sold += row.days;
            break;
        case kLeaveForfeited:
            account.forfeited += row.days;
            break;
        default: // other kinds do not count, as in the period reports
            break;
        }
    }
    return true;
}

} // namespace kelo::database
