#include "database/EmployeeEventTable.h"

#include "common/Text.h"
#include "database/TableUse.h"

#include <charconv>
#include <cstdio>
#include <set>

namespace kelo::database {

namespace {

constexpr const char* kPersonnelPath = "database/static.dbf";
constexpr unsigned kIdLength = 10;

} // namespace

EmployeeEventTable::EmployeeEventTable(engine::Code4& code, const common::WorkingFolder& folder,
                                       common::Ui& ui, std::string relativePath,
                                       std::string dateColumn, std::string dateTag)
    : DbTable(code, folder, std::move(relativePath)),
      ui_(ui),
      dateColumn_(std::move(dateColumn)),
      dateTag_(std::move(dateTag)) {}

std::vector<engine::Field4Info> EmployeeEventTable::keyFields() {
    return {{kEmpNumColumn, 'C', static_cast<unsigned>(common::employeeNumberWidth), 0},
            {kIdColumn, 'N', kIdLength, 0}};
}

std::vector<engine::Tag4Info> EmployeeEventTable::tags() const {
    return {{kEmpNumTag, std::string("UPPER(") + kEmpNumColumn + ")+DTOS(" + dateColumn_ + ")", "",
             false, false},
            {kIdTag, kIdColumn, "", false, false},
            {dateTag_, "DTOS(" + dateColumn_ + ")", "", false, false}};
}

bool EmployeeEventTable::ensureIndex() {
    if (isOpen())
        return true;
    if (openFile(false)) {
        closeFile();
        return true;
    }
    const bool stale = code().errorCode() == engine::e4index;
    code().setErrorCode(0);
    if (!stale)
        return false;
    // An exclusive open writes the index again from the schema.
    const bool rebuilt = openFile(true);
    closeFile();
    code().setErrorCode(0);
    return rebuilt;
}

std::string EmployeeEventTable::keyOf(std::string_view empNum) {
    return common::employeeKey(common::trim(empNum));
}

std::string EmployeeEventTable::rowKey() const {
    return keyOf(field(kEmpNumColumn).str());
}

std::string EmployeeEventTable::cantUpdate() const {
    return TableUse::cantUpdateMessage(*this);
}

std::string EmployeeEventTable::inUse() const {
    return TableUse::inUseMessage(*this);
}

bool EmployeeEventTable::checkEmpNum(std::string_view empNum) const {
    if (!common::trim(empNum).empty())
        return true;
    ui_.error(cantUpdate() + ": the employee number is blank.");
    return false;
}

bool EmployeeEventTable::lockAllOrTell() {
    const int rc = data()->lockAll();
    if (rc == engine::r4success)
        return true;
    code().setErrorCode(0);
    ui_.error(rc == engine::r4locked ? inUse() : cantUpdate());
    return false;
}

bool EmployeeEventTable::lockRowOrTell(long recNo) {
    const int rc = data()->lock(recNo);
    if (rc == engine::r4success)
        return true;
    code().setErrorCode(0);
    ui_.error(rc == engine::r4locked ? inUse() : cantUpdate());
    return false;
}

bool EmployeeEventTable::findId(std::int32_t id) {
    order(kIdTag);
    if (data()->seekDouble(id) == engine::r4success && !data()->deleted())
        return true;
    code().setErrorCode(0);
    ui_.error(cantUpdate() + ": event " + std::to_string(id) + " no longer exists.");
    return false;
}

std::vector<long> EmployeeEventTable::rowsOf(std::string_view empNum) {
    std::vector<long> rows;
    const std::string key = keyOf(empNum);
    order(kEmpNumTag);
    for (int rc = data()->seek(key); rc == engine::r4success || rc == engine::r4after;
         rc = data()->skip()) {
        if (data()->eof() || rowKey() != key)
            break;
        if (!data()->deleted())
            rows.push_back(data()->recNo());
    }
    code().setErrorCode(0);
    return rows;
}

std::int32_t EmployeeEventTable::highestId() {
    order(kIdTag);
    int rc = data()->bottom();
    while (rc == engine::r4success && data()->deleted())
        rc = data()->skip(-1);
    code().setErrorCode(0);
    return rc == engine::r4success ? static_cast<std::int32_t>(field(kIdColumn).getLong()) : 0;
}

bool EmployeeEventTable::removeRows(const std::function<bool()>& doomed) {
    data()->select(nullptr);
    bool any = false;
    int rc = data()->top();
    for (; rc == engine::r4success; rc = data()->skip()) {
        if (!data()->deleted() && doomed()) {
            data()->deleteRec();
            any = true;
        }
    }
    if (rc == engine::r4eof && any)
        rc = data()->pack();
    if (rc < 0) {
        code().setErrorCode(0);
        data()->setChanged(false);
        ui_.error(cantUpdate());
        return false;
    }
    return true;
}

bool EmployeeEventTable::removeEmployeeRows(std::string_view empNum) {
    const std::string key = keyOf(empNum);
    return removeRows([&] { return rowKey() == key; });
}

bool EmployeeEventTable::appendRow(std::string_view empNum, std::int32_t& id,
                                   const std::function<void()>& assign) {
    const std::int32_t next = highestId() + 1;
    if (!appendRowWithId(empNum, next, assign))
        return false;
    id = next;
    return true;
}

bool EmployeeEventTable::appendRowWithId(std::string_view empNum, std::int32_t next,
                                         const std::function<void()>& assign) {
    if (data()->appendStart() != engine::r4success) {
        code().setErrorCode(0);
        ui_.error(cantUpdate());
        return false;
    }
    data()->blank();
    field(kEmpNumColumn).assign(common::trim(empNum));
    field(kIdColumn).assignLong(next);
    assign();
    const int rc = data()->append();
    if (rc != engine::r4success) {
        code().setErrorCode(0);
        data()->goEof();
        ui_.error(rc == engine::r4locked ? inUse() : cantUpdate());
        return false;
    }
    return true;
}

bool EmployeeEventTable::finish(bool ok) {
    if (!ok)
        data()->setChanged(false);
    if (data()->unlock() != engine::r4success) {
        code().setErrorCode(0);
        data()->setChanged(false);
        data()->refresh();
        if (ok)
            ui_.error(cantUpdate());
        return false;
    }
    return ok;
}

bool EmployeeEventTable::delEmployee(std::string_view empNum) {
    TableUse use(*this, &ui_);
    if (!use || !lockAllOrTell())
        return false;
    return finish(removeEmployeeRows(empNum));
}

std::optional<std::int32_t> EmployeeEventTable::maxID() {
    TableUse use(*this, &ui_);
    if (!use)
        return std::nullopt;
    return highestId();
}

bool EmployeeEventTable::deleteRec(std::int32_t id) {
    TableUse use(*this, &ui_);
    if (!use || !lockAllOrTell())
        return false;
    bool ok = findId(id);
    if (ok) {
        data()->deleteRec();
        if (data()->pack() != engine::r4success) {
            code().setErrorCode(0);
            ui_.error(cantUpdate());
            ok = false;
        }
    }
    return finish(ok);
}

bool EmployeeEventTable::purgeOrphans() {
    std::set<std::string> employees;
    {
        auto personnel = engine::Data4::open(code(), folder().resolve(kPersonnelPath));
        engine::Field4* empNum = personnel ? personnel->field(kEmpNumColumn) : nullptr;
        if (!empNum) {
            // Without the personnel table every row would look orphaned.
            code().setErrorCode(0);
            ui_.error(std::string("Can't open ") + kPersonnelPath);
            return false;
        }
        for (int rc = personnel->top(); rc == engine::r4success; rc = personnel->skip()) {
            if (!personnel->deleted())
                employees.insert(keyOf(empNum->str()));
        }
        code().setErrorCode(0);
    }
    // The month end comes here first: a table from before a tag was added
    // gets it now.
    ensureIndex();
    TableUse use(*this, &ui_);
    if (!use || !lockAllOrTell())
        return false;
    return finish(removeRows([&] { return !employees.contains(rowKey()); }));
}

bool EmployeeEventTable::updateEmpNum(const common::EMPNUMREC& change) {
    if (!checkEmpNum(change.newEmpNum))
        return false;
    TableUse use(*this, &ui_);
    if (!use || !lockAllOrTell())
        return false;
    const std::string newEmpNum = common::trim(change.newEmpNum);
    bool ok = true;
    for (long recNo : rowsOf(change.oldEmpNum)) {
        if (data()->go(recNo) != engine::r4success) {
            ok = false;
            break;
        }
        field(kEmpNumColumn).assign(newEmpNum);
        if (data()->flush() != engine::r4success) {
            ok = false;
            break;
        }
    }
    if (!ok) {
        code().setErrorCode(0);
        data()->setChanged(false);
        ui_.error(cantUpdate());
    }
    return finish(ok);
}

std::string EmployeeEventTable::dateText(common::date day) {
    if (day.year <= 0)
        return {};
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02d", static_cast<int>(day.year),
                  static_cast<int>(day.month), static_cast<int>(day.day));
    return text;
}

common::date EmployeeEventTable::dateOf(const engine::Field4& field) {
    const std::string text = field.str();
    int year = 0, month = 0, day = 0;
    if (text.size() < 8 || std::from_chars(text.data(), text.data() + 4, year).ec != std::errc() ||
        std::from_chars(text.data() + 4, text.data() + 6, month).ec != std::errc() ||
        std::from_chars(text.data() + 6, text.data() + 8, day).ec != std::errc())
        return {};
    return common::date{year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
}

} // namespace kelo::database
