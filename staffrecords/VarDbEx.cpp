#include "staffrecords/VarDbEx.h"

#include "database/PayFieldsFile.h"
#include "database/TableSupport.h"
#include "database/TableUse.h"
#include "engine/Data4.h"
#include "engine/EngineCodes.h"
#include "engine/Field4.h"
#include "staffrecords/PeriodUpdate.h"

#include <set>
#include <string>
#include <utility>

namespace kelo::staffrecords {

using common::STATICREC;
using common::VARIATIONSREC;

VARDBEX::VARDBEX(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder)
    : VARDB(code, folder),
      calc_(code, folder),
      owner_(owner),
      staff_(code, folder) {}

bool VARDBEX::loadDefinitions(common::Ui& ui, common::PAYFREQ payFreq) {
    common::PayItemDefs defs;
    if (!database::loadPayItemDefs(ui, folder(), payFreq, defs))
        return false;
    if (!setDefinitions(std::move(defs))) {
        // The table was not rebuilt after its definitions changed.
        code().setErrorCode(0);
        ui.error("Unable to open " + relativePath());
        return false;
    }
    return true;
}

bool VARDBEX::openExclusive(common::PAYFREQ payFreq) {
    if (!openFile(payFreq, true))
        return false;
    orderByEmpNum1();
    return true;
}

VARDBEX::Held::~Held() {
    table_.closeFile();
    table_.setDefinitions({});
}

bool VARDBEX::appendNewRec(common::Ui& ui, const STATICREC& employee) {
    if (!openExclusive(employee.payFreq))
        return false;
    Held held(*this);
    return appendNewRecs(ui, {&employee});
}

bool VARDBEX::appendNewRecs(common::Ui& ui, const std::vector<const STATICREC*>& employees) {
    if (employees.empty())
        return true;
    if (!loadDefinitions(ui, employees.front()->payFreq))
        return false;
    // A second record for one employee would pay him twice. The numbers
    // are read once rather than sought: a seek after an append sorts the
    // index again.
    const auto keyOf = [](std::string_view empNum) {
        return database::upperKey(empNum, common::VariationsWidths::kEmpNumWidth);
    };
    std::set<std::string> have;
    {
        database::TablePlace place(data());
        have = database::liveKeys(*data(), field(kEmpNum), keyOf);
        code().setErrorCode(0);
    }
    const VARIATIONSREC fresh = common::newVariationsRec(definitions());
    for (const STATICREC* employee : employees) {
        if (!have.insert(keyOf(employee->empNum)).second)
            continue;
        VARIATIONSREC rec = fresh;
        rec.empNum = employee->empNum;
        if (!appendRec(rec))
            return false;
    }
    return true;
}

bool VARDBEX::deleteRec(std::string_view empNum, common::PAYFREQ payFreq) {
    if (!openExclusive(payFreq))
        return false;
    Held held(*this);
    if (!seekEmpNum(empNum) || data()->lockAll() != engine::r4success)
        return false;
    data()->deleteRec();
    return data()->write() == engine::r4success && data()->pack() == engine::r4success;
}

bool VARDBEX::getNotProcdCnt(common::PAYFREQ payFreq, long& count) {
    if (!openFile(payFreq, false))
        return false;
    Held held(*this);
    orderByEmpNum2();
    long n = 0;
    for (int rc = data()->top(); rc == engine::r4success && !data()->eof(); rc = data()->skip())
        ++n;
    count = n;
    return true;
}

bool VARDBEX::updateEmpNum(common::EMPNUMREC request) {
    if (!openExclusive(request.payFreq))
        return false;
    Held held(*this);
    if (!seekEmpNum(request.oldEmpNum))
        return true;
    engine::Data4& table = *data();
    if (table.lock(table.recNo()) != engine::r4success)
        return false;
    field(kEmpNum).assign(
        common::fitText(request.newEmpNum, common::VariationsWidths::kEmpNumWidth));
    return table.write() == engine::r4success;
}

bool VARDBEX::updateRecStatic(common::Ui& ui, const STATICREC& employee) {
    if (!openExclusive(employee.payFreq))
        return false;
    Held held(*this);
    VARIATIONSREC rec;
    if (!loadDefinitions(ui, employee.payFreq) || !seekEmpNum(employee.empNum) || !initRec(rec))
        return false;
    return !followMasterRecord(rec, employee) || updateFields(rec);
}

bool VARDBEX::updateFile(common::Ui& ui, const common::ORGREC& org, common::UPDATEMODE mode,
                         common::PAYFREQ payFreq) {
    if (!calc_.initCalcFields(ui, org))
        return false;
    const std::string table(common::transactionsTablePath(payFreq));
    common::StatusText status(owner_, "Updating " + table + "...");
    if (!openExclusive(payFreq))
        return false;
    Held held(*this);
    database::TableUse staff(staff_, nullptr);
    if (!staff || !loadDefinitions(ui, payFreq))
        return false;
    staff_.orderByEmpNum();
    bool ok = updateRecords(mode, payFreq, org.month);
    if (mode == common::UPDATE_MONTH_END)
        ok = dropLeavers(payFreq) && ok;
    return ok;
}

bool VARDBEX::updateRecords(common::UPDATEMODE mode, common::PAYFREQ payFreq,
                            std::string_view newMonth) {
    bool ok = true;
    engine::Data4& staff = *staff_.data();
    STATICREC employee;
    for (int rc = staff.top(); rc == engine::r4success && !staff.eof(); rc = staff.skip()) {
        if (!staff_.isOnPayroll(payFreq) || !staff_.initRec(employee))
            continue;
        VARIATIONSREC next = common::newVariationsRec(definitions());
        next.empNum = employee.empNum;
        VARIATIONSREC stored;
        if (!seekEmpNum(employee.empNum)) {
            ok = appendRec(next) && ok;
            continue;
        }
        if (!initRec(stored)) {
            ok = false;
            continue;
        }
        switch (mode) {
        case common::UPDATE_PERIOD_END:
            if (!stored.removed) {
                paycalc::CALCFIELDS::copyStatFields(stored, employee);
                calc_.computeFields(stored);
                rollPeriod(stored, calc_.afterJune());
            }
            break;
        case common::UPDATE_MONTH_END:
            paycalc::CALCFIELDS::copyStatFields(stored, employee);
            calc_.computeFields(stored);
            closeMonth(stored, newMonth, calc_.afterJune());
            break;
        case common::UPDATE_YEAR_END:
            resetYear(stored);
            break;
        default:
            break;
        }
        carryFields(stored, next);
        ok = updateFields(next) && ok;
    }
    return ok && code().errorCode() >= 0;
}

bool VARDBEX::dropLeavers(common::PAYFREQ payFreq) {
    engine::Data4& table = *data();
    if (table.lockAll() != engine::r4success)
        return false;
    STATICREC employee;
    bool dropped = false;
    table.select(static_cast<engine::Tag4*>(nullptr));
    for (int rc = table.top(); rc == engine::r4success && !table.eof(); rc = table.skip()) {
        const bool stays = staff_.seekEmpNum(field(kEmpNum).trimmed()) &&
                           staff_.initRec(employee) && employee.payFreq == payFreq;
        if (stays || table.deleted())
            continue;
        table.deleteRec();
        if (table.write() != engine::r4success)
            return false;
        dropped = true;
    }
    return !dropped || table.pack() == engine::r4success;
}

} // namespace kelo::staffrecords
