#pragma once

#include "common/PayRecords.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "database/DbTable.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::database {

// What the absence and leave tables share: rows of employees, each with an
// identifier unique in its table. Operations use the table as the caller
// keeps it open, or open it shared for themselves; they tell the user about
// their failures and leave the table as it was.
class EmployeeEventTable : public DbTable {
public:
    // Columns both tables have, for readers that walk them through the engine.
    static constexpr const char* kEmpNumColumn = "EMPNO";
    static constexpr const char* kIdColumn = "ID";
    // UPPER(EMPNO) and the row's date: an employee's rows in date order,
    // sought with common::employeeKey.
    static constexpr const char* kEmpNumTag = "EmpNoTag";
    static constexpr const char* kIdTag = "IdTag";

    bool orderByEmpNum() const { return order(kEmpNumTag); }
    bool orderById() const { return order(kIdTag); }

    // A table made before its index had every tag of the schema fails a
    // shared open; held alone for a moment, its index is written again.
    // Quiet; false when the table still does not open shared (another user
    // holds it, or it is damaged or missing).
    bool ensureIndex();

    // Removes every row of the employee.
    bool delEmployee(std::string_view empNum);
    // The highest identifier, 0 in an empty table; nullopt when the table
    // cannot be read.
    std::optional<std::int32_t> maxID();
    bool deleteRec(std::int32_t id);
    // Removes the rows of employees the personnel table no longer holds.
    bool purgeOrphans();
    // Moves the rows of the old employee number to the new one.
    bool updateEmpNum(const common::EMPNUMREC& change);

protected:
    // `dateColumn` orders an employee's rows; `dateTag` names the tag that
    // orders the whole table by it.
    EmployeeEventTable(engine::Code4& code, const common::WorkingFolder& folder, common::Ui& ui,
                       std::string relativePath, std::string dateColumn, std::string dateTag);

    common::Ui& ui() const { return ui_; }
    // The employee number and identifier columns, and the three tags.
    static std::vector<engine::Field4Info> keyFields();
    std::vector<engine::Tag4Info> tags() const;

    // The rest work on the open table.
    bool lockAllOrTell();
    bool lockRowOrTell(long recNo);
    // Positions on the row with the identifier; tells when there is none.
    bool findId(std::int32_t id);
    // The record numbers of the employee's rows, in date order.
    std::vector<long> rowsOf(std::string_view empNum);
    std::int32_t highestId();
    // Deletes the rows `doomed` picks (on the current row) and packs; the
    // table is locked.
    bool removeRows(const std::function<bool()>& doomed);
    bool removeEmployeeRows(std::string_view empNum);
    // Appends a row of the employee with the next identifier, given back in
    // `id`; `assign` fills the other columns. The table is locked.
    bool appendRow(std::string_view empNum, std::int32_t& id, const std::function<void()>& assign);
    // The same with the identifier given.
    bool appendRowWithId(std::string_view empNum, std::int32_t id,
                         const std::function<void()>& assign);
    // Writes what is pending and releases the locks. After a failed step
    // (`ok` false) the pending change of the current row is dropped.
    bool finish(bool ok);
    // A blank employee number is refused with a message.
    bool checkEmpNum(std::string_view empNum) const;

    // Employee numbers compare upper case, without blanks at either end.
    static std::string keyOf(std::string_view empNum);
    std::string rowKey() const; // of the current row

    std::string cantUpdate() const;
    std::string inUse() const;

    static std::string dateText(common::date day);
    static common::date dateOf(const engine::Field4& field);

private:
    common::Ui& ui_;
    std::string dateColumn_;
    std::string dateTag_;
};

} // namespace kelo::database
