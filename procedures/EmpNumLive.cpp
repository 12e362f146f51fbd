#include "procedures/EmpNumLive.h"

#include "absencereports/LeaveRepDb.h"
#include "annualreturns/AnnualDb.h"
#include "common/Text.h"
#include "database/AbsenceDb.h"
#include "database/DbTable.h"
#include "database/LeaveDb.h"
#include "database/StaticDb.h"
#include "database/TableUse.h"
#include "database/VarDb.h"
#include "engine/Data4.h"
#include "engine/EngineCodes.h"
#include "engine/Field4.h"
#include "monthlyreturns/MonthDb.h"
#include "staffreports/StaticRepDb.h"
#include "taxreports/TaxRepDb.h"
#include "yeartodate/YtdDb.h"

#include <array>
#include <string>
#include <vector>

namespace kelo::procedures {

namespace {

constexpr const char* kSupervisorColumn = "SUPERVISOR";

// Puts the engine's automatic unlocking back as it was, however the change
// ends.
class AutoUnlockOff {
public:
    explicit AutoUnlockOff(engine::Code4& code) : code_(code), saved_(code.autoUnlock) {
        code_.autoUnlock = false;
    }
    ~AutoUnlockOff() { code_.autoUnlock = saved_; }
    AutoUnlockOff(const AutoUnlockOff&) = delete;
    AutoUnlockOff& operator=(const AutoUnlockOff&) = delete;

private:
    engine::Code4& code_;
    bool saved_;
};

std::string keyOf(std::string_view empNum) {
    return common::employeeKey(common::trim(empNum));
}

// One employee number to be written into one row.
struct Edit {
    database::DbTable* table = nullptr;
    engine::Field4* column = nullptr;
    long recNo = 0;
    std::string before; // the column's bytes, for putting them back
};

// Every live row whose `column` names the employee with key `key`, in
// record order whatever tag is selected.
std::vector<long> rowsNaming(database::DbTable& table, const engine::Field4& column,
                             const std::string& key) {
    engine::Data4& data = *table.data();
    engine::Tag4* order = data.selected();
    data.select(static_cast<engine::Tag4*>(nullptr));
    std::vector<long> rows;
    for (int rc = data.top(); rc == engine::r4success && !data.eof(); rc = data.skip()) {
        if (!data.deleted() && keyOf(column.str()) == key)
            rows.push_back(data.recNo());
    }
    data.select(order);
    return rows;
}

bool write(Edit& edit, std::string_view value, bool keepBefore) {
    engine::Data4& data = *edit.table->data();
    if (data.go(edit.recNo) != engine::r4success)
        return false;
    if (keepBefore)
        edit.before = edit.column->str();
    edit.column->assign(value);
    return data.write() == engine::r4success;
}

// Another user's hold, or why else the first table of `tables` that cannot
// be had alone is out of reach.
std::string lockFailureText(engine::Code4& code, const std::array<database::DbTable*, 4>& tables) {
    for (database::DbTable* table : tables) {
        engine::Data4& data = *table->data();
        const int rc = data.lockAll();
        const bool byOther = rc == engine::r4locked || database::isLockedByOther(code);
        data.unlock();
        if (rc == engine::r4success)
            continue;
        return byOther ? database::TableUse::inUseMessage(*table)
                       : database::TableUse::cantUpdateMessage(*table);
    }
    return database::TableUse::inUseMessage(*tables.front());
}

} // namespace

bool renumberEmployeeFiles(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                           const common::EMPNUMREC& change) {
    AutoUnlockOff noAutoUnlock(code);
    const std::string oldKey = keyOf(change.oldEmpNum);
    const std::string newKey = keyOf(change.newEmpNum);
    const std::string newEmpNum(
        common::fitText(common::trim(change.newEmpNum), common::employeeNumberWidth));

    database::STATDB staff(code, folder);
    database::VARDB transactions(code, folder);
    database::ABSENCEDB absence(code, folder, ui);
    database::LEAVEDB leave(code, folder, ui);
    const std::array<database::DbTable*, 4> tables{&staff, &transactions, &absence, &leave};
    const auto opened = [&](database::DbTable& table, bool ok) {
        if (!ok) {
            ui.error(database::openFailureText(code, table.relativePath()));
            code.setErrorCode(0);
        }
        return ok;
    };
    if (!opened(staff, staff.openFile()) ||
        !opened(transactions, transactions.openFile(change.payFreq)) ||
        !opened(absence, absence.openFile()) || !opened(leave, leave.openFile()))
        return false;

    for (database::DbTable* table : tables)
        code.lockAddAll(*table->data());
    if (code.lockGroup() != engine::r4success) {
        ui.warning(lockFailureText(code, tables));
        code.setErrorCode(0);
        return false;
    }

    const auto unlockAll = [&] {
        for (database::DbTable* table : tables) {
            table->data()->setChanged(false);
            table->data()->unlock();
        }
        code.setErrorCode(0);
    };
    engine::Field4& staffNum = *staff.data()->field(database::STATDB::kEmpNum);
    engine::Field4& supervisor = *staff.data()->field(kSupervisorColumn);
    // Looked at again under the locks: another user may have changed the file
    // since the dialog checked it.
    const std::vector<long> own = rowsNaming(staff, staffNum, oldKey);
    std::string refused;
    if (own.empty())
        refused = "No record with this employee number exists.";
    else if (oldKey == newKey)
        refused = "Old and new employee numbers must be different.";
    else if (!rowsNaming(staff, staffNum, newKey).empty())
        refused = "Record with this employee number already exists. Please enter a different new "
                  "employee number.";
    if (!refused.empty()) {
        unlockAll();
        ui.information(refused);
        return false;
    }

    std::vector<Edit> edits;
    const auto plan = [&](database::DbTable& table, engine::Field4& column,
                          const std::vector<long>& rows) {
        for (long recNo : rows)
            edits.push_back(Edit{&table, &column, recNo, {}});
    };
    plan(staff, staffNum, own);
    plan(staff, supervisor, rowsNaming(staff, supervisor, oldKey));
    for (database::DbTable* table : {tables[1], tables[2], tables[3]}) {
        engine::Field4& column = *table->data()->field(database::VARDB::kEmpNum);
        plan(*table, column, rowsNaming(*table, column, oldKey));
    }

    // The personnel row goes first; should a later write fail, every row
    // written is given its old number back, so that no table is left
    // pointing at a number the others do not know.
    const database::DbTable* failed = nullptr;
    std::size_t done = 0;
    for (; done < edits.size(); ++done) {
        if (!write(edits[done], newEmpNum, true)) {
            failed = edits[done].table;
            break;
        }
    }
    for (std::size_t i = 0; i < tables.size() && !failed; ++i) {
        if (tables[i]->data()->flush() != engine::r4success)
            failed = tables[i];
    }
    if (failed) {
        failed->data()->setChanged(false);
        code.setErrorCode(0);
        for (std::size_t i = done; i-- > 0;)
            write(edits[i], edits[i].before, false);
        for (database::DbTable* table : tables)
            table->data()->flush();
        ui.error(database::TableUse::cantUpdateMessage(*failed));
    }
    unlockAll();
    return failed == nullptr;
}

LiveEmpNumStores::LiveEmpNumStores(common::Ui& ui, engine::Code4& code,
                                   const common::WorkingFolder& folder)
    : ui_(ui),
      code_(code),
      folder_(folder) {}

bool LiveEmpNumStores::checkFiles() {
    return database::allValid(ui_, code_, folder_, {database::STATDB::kPath});
}

bool LiveEmpNumStores::findEmployee(const std::string& empNum,
                                    std::optional<EmpNumEmployee>& found) {
    found.reset();
    database::STATDB staff(code_, folder_);
    database::TableUse use(staff, &ui_);
    if (!use)
        return false;
    common::STATICREC rec;
    if (staff.seekEmpNum(empNum) && staff.initRec(rec))
        found = EmpNumEmployee{rec.empNum, rec.lastName, rec.otherNames, rec.payFreq};
    code_.setErrorCode(0);
    return true;
}

bool LiveEmpNumStores::renumberEmployeeFiles(const common::EMPNUMREC& change) {
    return procedures::renumberEmployeeFiles(ui_, code_, folder_, change);
}

bool LiveEmpNumStores::renumberMonthReturns(const common::EMPNUMREC& change,
                                            const common::ORGREC& org) {
    return monthlyreturns::MONTHDB(ui_, code_, folder_).updateEmpNum(ui_, change, org);
}

bool LiveEmpNumStores::renumberAnnualReturns(const common::EMPNUMREC& change,
                                             const common::ORGREC& org) {
    return annualreturns::ANNUALDB(ui_, code_, folder_).updateEmpNum(ui_, change, org);
}

bool LiveEmpNumStores::renumberTaxReports(const common::EMPNUMREC& change,
                                          const common::ORGREC& org) {
    return taxreports::TAXREPDB(ui_, code_, folder_).updateEmpNum(ui_, change, org);
}

bool LiveEmpNumStores::renumberYearToDate(const common::EMPNUMREC& change,
                                          const common::ORGREC& org) {
    return yeartodate::YTDDB(ui_, code_, folder_).updateEmpNum(ui_, change, org);
}

bool LiveEmpNumStores::renumberLeaveReports(const common::EMPNUMREC& change,
                                            const common::ORGREC& org) {
    return absencereports::LEAVEREPDB(ui_, code_, folder_).updateEmpNum(ui_, change, org);
}

bool LiveEmpNumStores::renumberFormerEmployees(const common::EMPNUMREC& change,
                                               const common::ORGREC& org) {
    return staffreports::STATICREPDB(ui_, code_, folder_).updateEmpNum(ui_, change, org);
}

} // namespace kelo::procedures
