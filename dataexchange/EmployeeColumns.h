#pragma once

#include "common/PayRecords.h"
#include "common/WorkingFolder.h"
#include "database/GradesDb.h"
#include "database/LookupTable.h"
#include "database/StaticDb.h"
#include "engine/Code4.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::dataexchange {

// An employee master row as the CSV layout carries it.
struct EmployeeRow {
    common::STATICREC rec;
    database::PERSONNELREC personnel;

    friend bool operator==(const EmployeeRow&, const EmployeeRow&) = default;
};

// The organisation's lists the columns name, read once per import or export.
struct EmployeeLists {
    std::vector<database::LookupEntry> stations, units, jobs, grades, payGroups, coops, funds;
    std::map<long, long> gradeOfJob;
    std::map<long, database::GRADEREC> gradeRecs;
    // Bank names, each with its branches' names.
    std::map<std::string, std::vector<std::string>> banks;

    static std::optional<EmployeeLists>
    read(engine::Code4& code, const common::WorkingFolder& folder, std::string& failure);
};

// One column of the layout: its header, the STATICREC member (or "post")
// the employee rules name when they refuse it, and whether a file must have
// it.
struct EmployeeColumn {
    const char* header;
    const char* field;
    bool required;
};

// Every column in the order the export writes them.
const std::vector<EmployeeColumn>& employeeColumns();

// The header of the column that holds the field a rule refused; "" when no
// column does.
std::string columnOfField(std::string_view field);

// The text of column `index` for the row; names for codes.
std::string columnText(std::size_t index, const EmployeeRow& row, const EmployeeLists& lists);

// Reads the text of column `index` into the row; the message when the text
// is not a value of the column (a name not in its list, a bad date or
// number).
std::optional<std::string> readColumn(std::size_t index, std::string_view text,
                                      const EmployeeLists& lists, EmployeeRow& row);

// The column's index by its header, compared without regard to case or
// surrounding blanks.
std::optional<std::size_t> columnIndex(std::string_view header);

} // namespace kelo::dataexchange
