#pragma once

#include "common/OrgRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "dataexchange/EmployeeColumns.h"
#include "dataexchange/ImportPreview.h"
#include "engine/Code4.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::dataexchange {

// The message when another user holds a table the import writes.
inline constexpr const char* kImportLockedText =
    "Cannot import the employees because another user has locked some of the records in the "
    "files they go to. Try again later.";

// Import of new employees from the CSV layout of EmployeeColumns.h, for the
// program's File > Import Employees... and the command line alike: read()
// checks the whole file without writing and gives the preview; commit()
// adds them all, or none, as the employee form adds one.
class EmployeeImport {
public:
    EmployeeImport(engine::Code4& code, const common::WorkingFolder& folder);

    // Reads the file's bytes (UTF-8 or Windows-1252, comma or semicolon) and
    // runs on every row the checks of the employee form, the look-ups of the
    // names, and the employee numbers against each other and the personnel
    // file.
    const ImportPreview& read(std::string_view bytes);
    const ImportPreview& preview() const { return preview_; }
    // The employees read, in the file's order.
    const std::vector<EmployeeRow>& employees() const { return rows_; }

    // Only after a preview without refusals: adds the employees in one
    // batch (STATFRM::addEmployees) under locks on the personnel,
    // transactions, absence and leave files held throughout, each with his
    // transactions and leave records. When one is refused after all (a post
    // filled meanwhile), nothing is added and the preview names the row; a
    // locked or failing file is told to `ui` and leaves every file as it
    // was. True when every employee was added.
    bool commit(common::Ui& ui, const common::ORGREC& org);

private:
    void refuse(long row, std::string column, std::string message);
    bool readHeader(const std::vector<std::string>& header, std::vector<int>& columnOfField);

    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    ImportPreview preview_;
    std::vector<EmployeeRow> rows_;
    std::vector<long> rowNumbers_;
};

// The employees of the personnel file whose termination has not gone
// through the payroll, by employee number, in the import's layout: the
// bytes of a CSV file (UTF-8 with its byte order mark, comma separated, CR
// LF). nullopt with `failure` set when a table cannot be read.
std::optional<std::string> exportEmployees(engine::Code4& code, const common::WorkingFolder& folder,
                                           std::string& failure);

} // namespace kelo::dataexchange
