#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/StaticDb.h"
#include "engine/Code4.h"

#include <string_view>

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

} // namespace kelo::staffrecords
