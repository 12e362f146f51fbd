#include "database/LeaveDb.h"

#include "common/Calendar.h"
#include "common/Money.h"
#include "common/Text.h"
#include "database/AbsenceDb.h"
#include "database/StaticDb.h"
#include "database/TableUse.h"

#include <map>
#include <set>
#include <utility>

namespace kelo::database {

namespace {

// What an event adds to the balance; kinds the account does not know add
// nothing, as in readAccount.
double signedDays(const LEAVEROW& row) {
    const double days = common::decimalOf(row.days);
    switch (row.kind) {
    case kBalanceBF:
    case kLeaveEarned:
        return days;
    case kLeaveSold:
    case kLeaveForfeited:
        return -days;
    default:
        return 0;
    }
}

// The leave the employee earned in the month: see LEAVEDB::updateFile.
double monthShare(const common::STATICREC& employee, int month, int year) {
    const double entitlement = common::decimalOf(employee.leaveEntitlement);
    if (entitlement <= 0)
        return 0;
    const int length = common::daysInMonth(month, year);
    const common::date first{year, 1, static_cast<std::uint8_t>(month)};
    const common::date last{year, static_cast<std::uint8_t>(length),
                            static_cast<std::uint8_t>(month)};
    common::date from = first;
    common::date to = last;
    if (employee.startDate.year != 0 && from < employee.startDate)
        from = employee.startDate;
    if (employee.terminated && employee.terminationDate.year != 0 && employee.terminationDate < to)
        to = employee.terminationDate;
    if (to < from)
        return 0;
    if (from == first && to == last)
        return common::roundCents(common::roundCents(entitlement * month / 12) -
                                  common::roundCents(entitlement * (month - 1) / 12));
    const int employed = to.day - from.day + 1;
    return common::roundCents(entitlement / 12 * employed / length);
}

} // namespace

LEAVEDB::LEAVEDB(engine::Code4& code, const common::WorkingFolder& folder, common::Ui& ui)
    : EmployeeEventTable(code, folder, ui, kPath, kDateColumn, kDateTag) {}

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
    if (!checkNew({&employee}, year))
        return false;
    TableUse use(*this, &ui());
    if (!use || !lockAllOrTell())
        return false;
    return finish(addEmployees({&employee}, year));
}

bool LEAVEDB::checkNew(const std::vector<const common::STATICREC*>& employees, int year) const {
    for (const common::STATICREC* employee : employees) {
        if (!checkEmpNum(employee->empNum))
            return false;
    }
    if (year < 1900 || year > 3000) {
        ui().error(cantUpdate() + ": the year " + std::to_string(year) + " is not valid.");
        return false;
    }
    return true;
}

bool LEAVEDB::addEmployees(const std::vector<const common::STATICREC*>& employees, int year) {
    if (!checkNew(employees, year))
        return false;
    // Read once: rows a former employee left under a new number, and the
    // identifiers in use, so that each opening gets the identifier it would
    // get alone (the highest left + 1) without a seek per employee.
    std::set<std::string> wanted;
    for (const common::STATICREC* employee : employees)
        wanted.insert(keyOf(employee->empNum));
    std::map<std::string, std::vector<std::pair<long, std::int32_t>>> leftRows;
    std::multiset<std::int32_t> ids;
    data()->select(nullptr);
    for (int rc = data()->top(); rc == engine::r4success && !data()->eof(); rc = data()->skip()) {
        if (data()->deleted())
            continue;
        const auto id = static_cast<std::int32_t>(field(kIdColumn).getLong());
        ids.insert(id);
        if (const std::string key = rowKey(); wanted.contains(key))
            leftRows[key].emplace_back(data()->recNo(), id);
    }
    code().setErrorCode(0);

    bool any = false;
    for (const common::STATICREC* employee : employees) {
        const auto left = leftRows.find(keyOf(employee->empNum));
        if (left != leftRows.end()) {
            for (const auto& [recNo, id] : left->second) {
                if (data()->go(recNo) != engine::r4success) {
                    code().setErrorCode(0);
                    ui().error(cantUpdate());
                    return false;
                }
                data()->deleteRec();
                if (data()->write() != engine::r4success) {
                    code().setErrorCode(0);
                    data()->setChanged(false);
                    ui().error(cantUpdate());
                    return false;
                }
                ids.erase(ids.find(id));
                any = true;
            }
            leftRows.erase(left);
        }
        const std::int32_t next = ids.empty() ? 1 : *ids.rbegin() + 1;
        LEAVEROW opening;
        opening.date = common::date{year, 1, 1};
        opening.kind = kBalanceBF;
        if (!appendRowWithId(employee->empNum, next, [&] { storeRow(opening); }))
            return false;
        ids.insert(next);
    }
    if (any && data()->pack() != engine::r4success) {
        code().setErrorCode(0);
        ui().error(cantUpdate());
        return false;
    }
    return true;
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
    return rewrite(row, nullptr);
}

bool LEAVEDB::updateRec(const LEAVEROW& row, const LEAVEROW& shown) {
    return rewrite(row, &shown);
}

bool LEAVEDB::rewrite(const LEAVEROW& row, const LEAVEROW* shown) {
    TableUse use(*this, &ui());
    if (!use || !findId(row.id) || !lockRowOrTell(data()->recNo()))
        return false;
    if (shown) {
        // The lock has read the row again.
        LEAVEROW now;
        loadRow(now);
        if (data()->deleted() || now.id != row.id || now.date != shown->date ||
            now.kind != shown->kind || now.days != shown->days) {
            ui().error(cantUpdate() + ": another user has changed event " + std::to_string(row.id) +
                       " since it was shown.");
            return finish(false);
        }
    }
    storeRow(row);
    return finish(true);
}

bool LEAVEDB::updateFile(const common::ORGREC& org, common::UPDATEMODE mode) {
    if (mode != common::UPDATE_YEAR_END && mode != common::UPDATE_MONTH_END)
        return true;
    const int month = common::monthNumber(org.month);
    if (mode == common::UPDATE_MONTH_END && month == 0) {
        ui().error(cantUpdate() + ": the month \"" + org.month + "\" is not valid.");
        return false;
    }
    if (org.year <= 1900 || org.year > 3000) {
        ui().error(cantUpdate() + ": the year " + std::to_string(org.year) + " is not valid.");
        return false;
    }
    common::StatusText status(ui(), "Updating " + relativePath() + "...");
    ensureIndex();
    return mode == common::UPDATE_YEAR_END ? carryBalances(org.year) : creditMonth(month, org.year);
}

bool LEAVEDB::carryBalances(int year) {
    const common::date newYear{year, 1, 1};
    std::map<std::string, double> taken;
    std::map<std::string, std::string> takenBy;
    {
        ABSENCEDB absence(code(), folder(), ui());
        absence.ensureIndex();
        if (!absence.readTaken(taken, takenBy))
            return false;
    }
    TableUse use(*this, &ui());
    if (!use || !lockAllOrTell())
        return false;

    struct Account {
        std::string empNum;
        double balance = 0;
        bool due = false;     // has something of the old year to carry
        bool carried = false; // already has the new year's "Balance B/F"
    };
    std::map<std::string, Account> accounts;
    data()->select(nullptr);
    int rc = data()->top();
    for (; rc == engine::r4success; rc = data()->skip()) {
        if (data()->deleted())
            continue;
        LEAVEROW row;
        loadRow(row);
        Account& account = accounts[rowKey()];
        if (account.empNum.empty())
            account.empNum = common::trim(field(kEmpNumColumn).str());
        if (row.kind == kBalanceBF && row.date == newYear)
            account.carried = true;
        if (row.date < newYear) {
            account.due = true;
            account.balance += signedDays(row);
        }
    }
    code().setErrorCode(0);
    if (rc != engine::r4eof) {
        ui().error(cantUpdate());
        return finish(false);
    }
    for (const auto& [key, days] : taken) {
        Account& account = accounts[key];
        if (account.empNum.empty())
            account.empNum = takenBy[key];
        account.due = true;
        account.balance -= days;
    }

    // The new balances go in before the old events go out: should the
    // update stop half way, running it again finishes it.
    bool ok = true;
    for (const auto& [key, account] : accounts) {
        if (!account.due || account.carried || account.empNum.empty())
            continue;
        LEAVEROW opening;
        opening.date = newYear;
        opening.kind = kBalanceBF;
        opening.days = static_cast<float>(common::roundCents(account.balance));
        if (!appendRow(account.empNum, opening.id, [&] { storeRow(opening); })) {
            ok = false;
            break;
        }
    }
    ok = ok && removeRows([&] { return dateOf(field(kDateColumn)) < newYear; });
    return finish(ok);
}

bool LEAVEDB::creditMonth(int month, int year) {
    const int closedMonth = month == 1 ? 12 : month - 1;
    const int closedYear = month == 1 ? year - 1 : year;
    std::vector<std::pair<std::string, double>> credits;
    {
        STATDB staff(code(), folder());
        TableUse use(staff, &ui());
        if (!use)
            return false;
        engine::Data4& table = *staff.data();
        table.select(nullptr);
        int rc = table.top();
        for (; rc == engine::r4success; rc = table.skip()) {
            common::STATICREC employee;
            if (table.deleted() || !staff.initRec(employee) ||
                common::trim(employee.empNum).empty())
                continue;
            const double days = monthShare(employee, closedMonth, closedYear);
            if (days > 0)
                credits.emplace_back(common::trim(employee.empNum), days);
        }
        code().setErrorCode(0);
        if (rc != engine::r4eof) {
            ui().error("Can't read " + staff.relativePath());
            return false;
        }
    }
    TableUse use(*this, &ui());
    if (!use || !lockAllOrTell())
        return false;
    bool ok = true;
    for (const auto& [empNum, days] : credits) {
        LEAVEROW earned;
        earned.date = common::date{year, 1, static_cast<std::uint8_t>(month)};
        earned.kind = kLeaveEarned;
        earned.days = static_cast<float>(days);
        if (!appendRow(empNum, earned.id, [&] { storeRow(earned); })) {
            ok = false;
            break;
        }
    }
    return finish(ok);
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
