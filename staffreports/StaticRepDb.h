#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/StaticDb.h"
#include "engine/Code4.h"
#include "staffreports/PersRepRec.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::staffreports {

// Writes the personnel report files of the organisation's year: every
// employee with his codes turned into names, so that the personnel reports
// never read the live tables and the former employees outlive their rows.
// A file is written beside the old one and put in its place only when
// complete: a failure leaves the old file whole.
class STATICREPDB {
public:
    // `owner` shows the progress texts.
    STATICREPDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder);

    // The tables the file is made from can be read and the required ones hold
    // data; for DB_LEAVERS an existing former employees file of the year must
    // also pass its identity check. False after telling `ui` the first fault.
    bool checkFiles(common::Ui& ui, DB db, const common::ORGREC& org);
    // Writes the active employees file, or merges the new leavers into the
    // former employees file. Any other DB returns false.
    bool writeFile(common::Ui& ui, DB db, const common::ORGREC& org);
    // The month end's step after the periods have been closed, which made
    // leavers of the employees whose termination fell due (STATDB::updateFile
    // with UPDATE_PERIOD_END), and before they stop being new leavers
    // (UPDATE_AFTER_MONTH_END): checkFiles and writeFile for DB_LEAVERS, so
    // that each enters the former employees file of the organisation's year
    // once, in employee number order among those already there.
    bool addLeavers(common::Ui& ui, const common::ORGREC& org);
    // Gives the employee, and the leavers he supervised, the new number in
    // the former employees file of the organisation's year, moved to his
    // place in employee number order; the file is written whole or not at
    // all. True also when the file or the employee is not there (nothing to
    // change, the file untouched); false after a message.
    bool updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change, const common::ORGREC& org);
    // Deletes the active employees file of the organisation's year.
    void delActiveFile(const common::ORGREC& org);

    // The active employees file of `year` is missing or older than one of
    // its sources.
    static bool needActiveFile(const common::WorkingFolder& folder, int year);
    // The tables the active employees file is made from, relative to the
    // organisation folder.
    static std::vector<std::string> sourceFiles();

private:
    bool writeActive(common::Ui& ui, const common::ORGREC& org);
    bool writeLeavers(common::Ui& ui, const common::ORGREC& org);
    // Every item of the year's former employees file, which must exist;
    // false after a message when it is damaged or another's.
    bool readLeavers(common::Ui& ui, const common::ORGREC& org, std::vector<PERSREPREC>& out);
    struct Employee {
        common::STATICREC master;
        database::PERSONNELREC personnel;
    };
    // Every row of the personnel table in employee number order; false after
    // a message when it cannot be read.
    bool readEmployees(common::Ui& ui, std::vector<Employee>& out);
    // The employees as records of the file, supervisors' names looked up
    // among all of `all`.
    bool recordsOf(common::Ui& ui, const std::vector<Employee>& all,
                   const std::vector<const Employee*>& chosen, std::vector<PERSREPREC>& out);

    common::Ui& owner_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
};

} // namespace kelo::staffreports
