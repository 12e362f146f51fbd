#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/StaticDb.h"
#include "engine/Code4.h"
#include "staffrecords/StaffRules.h"

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace kelo::staffrecords {

// The message shown when another user holds a row or the whole of one of the
// files an employee is removed from.
inline constexpr const char* kEmployeeLockedText =
    "Cannot delete this employee because another user has locked\nsome of the records in this "
    "file. Try again later.";

// After a new employee's master row was appended: his record in his
// frequency's transactions table and his leave account opened in `year`.
// Automatic unlocking is off while both run and as it was afterwards. False
// when either fails; the user has been told what failed.
bool joinOtherFiles(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    const common::STATICREC& employee, int year);

// Removes the employee from the personnel file `staff` (open shared by the
// caller), from the transactions table of `payFreq`, and from the absence
// and leave tables, under whole-table locks on all four taken at once: when
// any of them cannot be had, nothing changes. A missing transactions record
// or no absence or leave rows is no failure. The three other tables are
// closed afterwards; `staff` stays open without locks. Every failure is told
// to the user; the engine's automatic unlocking is left as it was.
bool removeEmployee(common::Ui& ui, database::STATDB& staff, std::string_view empNum,
                    common::PAYFREQ payFreq);

// The posts' places and their holders: the posts table, and the employees of
// the personnel file `staff` (open) not yet separated. nullopt when the
// posts cannot be read.
std::optional<PostVacancies> readPostVacancies(database::STATDB& staff);

// A new employee's master row as it is to be stored.
struct NewEmployee {
    common::STATICREC rec;
    database::PERSONNELREC personnel;
};

// Adds many new employees at once: whole-table locks on the personnel file
// `staff` (open shared by the caller), the transactions tables of their
// frequencies, absence and leave, taken together and held throughout. Once
// the locks are held, `check` runs (the caller's rules, read under the
// locks; false stops before anything is written, having told why). Then
// each employee gets his master row, his transactions record
// (VARDBEX::appendNewRecs) and his leave account opened in `year`
// (LEAVEDB::addEmployees), as one by one. All or none: when anything fails,
// every table written is put back byte for byte as it was. `lockedText` is
// told when another user holds one of the tables. The other tables are
// closed afterwards; `staff` stays open without locks.
bool addEmployeeFiles(common::Ui& ui, database::STATDB& staff,
                      const std::vector<NewEmployee>& employees, int year,
                      const std::function<bool()>& check, const char* lockedText);

} // namespace kelo::staffrecords
