#include "staffrecords/VarFrm.h"

#include "common/Text.h"
#include "database/DbTable.h"
#include "database/PayFieldsFile.h"
#include "database/TableSupport.h"
#include "engine/Data4.h"
#include "engine/EngineCodes.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace kelo::staffrecords {

using common::STATICREC;

namespace {

bool sameEmployee(std::string_view a, std::string_view b) {
    return common::equalsIgnoreCase(common::trim(a), common::trim(b));
}

} // namespace

VARFRM::VARFRM(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder)
    : VARDB(code, folder),
      ui_(ui),
      calc_(code, folder),
      staff_(code, folder),
      banks_(code, folder) {}

VARFRM::~VARFRM() = default;

bool VARFRM::checkFiles(const common::ORGREC& org) {
    if (!database::allValid(ui_, code(), folder(), {database::STATDB::kPath}) ||
        !database::hasData(ui_, code(), folder(), database::STATDB::kPath, "Employee Master"))
        return false;
    common::PayItemDefs defs;
    if (!database::loadPayItemDefs(ui_, folder(), org.payFreq, defs))
        return false;
    const std::string table(common::transactionsTablePath(org.payFreq));
    if (table.empty() || !database::isValid(code(), folder(), table)) {
        ui_.error("Can't open " + table);
        return false;
    }
    if (!database::allValid(ui_, code(), folder(),
                            {database::BANKSDB::kBanksPath, database::BANKSDB::kBranchesPath}))
        return false;
    if (calc_.checkCalcFiles(org) != 1) {
        ui_.error("Can't find the PAYE and NSSF tables of " + std::to_string(org.fiscalYear));
        return false;
    }
    return true;
}

bool VARFRM::open(const common::ORGREC& org) {
    close();
    org_ = org;
    payFreq_ = org.payFreq;
    // A page left from an earlier open would be read into the new record.
    clearPage();
    common::PayItemDefs defs;
    if (!calc_.initCalcFields(ui_, org) ||
        !database::loadPayItemDefs(ui_, folder(), payFreq_, defs))
        return false;
    if (!setDefinitions(std::move(defs))) {
        code().setErrorCode(0);
        ui_.error("Unable to open " + std::string(common::payFieldDefinitionsPath(payFreq_)));
        return false;
    }
    const auto failed = [&](std::string_view path) {
        const std::string text = database::openFailureText(code(), path);
        code().setErrorCode(0);
        ui_.error(text);
        closeFile();
        staff_.closeFile();
        banks_.closeFiles();
        return false;
    };
    // Shared: each clerk locks only the employee he saves.
    if (!openFile(payFreq_, false))
        return failed(common::transactionsTablePath(payFreq_));
    if (!staff_.openFile(false))
        return failed(database::STATDB::kPath);
    if (!banks_.openFiles(false))
        return failed(database::BANKSDB::kBanksPath);
    if (!staff_.orderFile(org.formSortKey))
        staff_.orderByEmpNum();
    orderByEmpNum2();
    staff_.data()->top();
    loadCurrent();
    return true;
}

bool VARFRM::close() {
    if (isOpen() && !saveCurrentRec())
        return false;
    closeFile();
    staff_.closeFile();
    banks_.closeFiles();
    hasRecord_ = false;
    staffRecNo_ = 0;
    return true;
}

bool VARFRM::seekOnPayroll(std::string_view empNum) {
    // The second order holds only the records on the payroll.
    orderByEmpNum2();
    if (database::seekExact(*data(),
                            database::upperKey(empNum, common::VariationsWidths::kEmpNumWidth)))
        return true;
    data()->goEof();
    return false;
}

std::string VARFRM::rowBytes() const {
    const engine::Data4& table = *data();
    // Up to the end of the last column: the bytes every field is read from.
    std::size_t length = 1;
    for (int i = 1; i <= table.fieldCount(); ++i) {
        const engine::FieldDesc& column = table.field(i)->desc();
        length = std::max<std::size_t>(length, column.offset + column.length);
    }
    return std::string(table.recordBuffer(), length);
}

void VARFRM::loadCurrent() {
    hasRecord_ = false;
    changed_ = false;
    currentIndex_.reset();
    rowNo_ = 0;
    storedRow_.clear();
    engine::Data4& staff = *staff_.data();
    STATICREC employee;
    if (staff.eof() || staff.bof() || !staff_.initRec(employee)) {
        staffRecNo_ = 0;
        employee_ = STATICREC{};
        return;
    }
    employee_ = std::move(employee);
    staffRecNo_ = staff.recNo();
    if (!seekOnPayroll(employee_.empNum) || !initRec(rec_)) {
        code().setErrorCode(0);
        return;
    }
    rowNo_ = data()->recNo();
    storedRow_ = rowBytes();
    hasRecord_ = true;
    recompute();
}

void VARFRM::recompute() {
    paycalc::CALCFIELDS::copyStatFields(rec_, employee_);
    calc_.computeFields(rec_);
}

std::string VARFRM::positionText() const {
    if (staffRecNo_ == 0 || !staff_.isOpen())
        return "Record 0 of 0";
    return "Record " + std::to_string(staffRecNo_) + " of " +
           std::to_string(staff_.data()->recCount());
}

std::string VARFRM::employeeText() const {
    if (!hasRecord_)
        return "Null record";
    return employee_.empNum + "  " + employee_.lastName + ", " + employee_.otherNames;
}

std::optional<std::size_t> VARFRM::findItem(common::FIELDSTABLE table,
                                            std::string_view name) const {
    const common::PayItemDefs::List* list = definitions().list(table);
    for (std::size_t i = 0; list && i < list->size(); ++i) {
        if ((*list)[i]->itemName == name)
            return i;
    }
    return std::nullopt;
}

bool VARFRM::saveCurrentRec() {
    if (!hasRecord_)
        return true;
    if (!validatePage())
        return false;
    if (!changed_)
        return true;
    if (isReadOnly()) {
        ui_.information("This record is read-only and cannot be saved.");
        return false;
    }
    if (!storeRecord())
        return false;
    displayPage(false);
    return true;
}

bool VARFRM::storeRecord() {
    engine::Data4& table = *data();
    int rc = table.go(rowNo_);
    if (rc == engine::r4success)
        rc = table.lock(rowNo_);
    if (rc != engine::r4success) {
        const bool other = rc == engine::r4locked || database::isLockedByOther(code());
        code().setErrorCode(0);
        if (other)
            ui_.warning("This employee's payroll record is locked by another user. Try again "
                        "later.");
        else
            ui_.error("Can't update " + relativePath());
        return false;
    }
    table.go(rowNo_);
    if (table.deleted() || rowBytes() != storedRow_) {
        table.unlock();
        ui_.warning("Another user has changed this employee's record since it was shown. Your "
                    "changes have not been saved: choose Undo to see the other user's changes, "
                    "then key yours again.");
        return false;
    }
    // The figures stored follow the master record as it is now.
    STATICREC employee;
    if (staff_.data()->go(staffRecNo_) == engine::r4success && staff_.initRec(employee) &&
        sameEmployee(employee.empNum, employee_.empNum))
        employee_ = std::move(employee);
    recompute();
    const bool written = updateFields(rec_) && table.flush() == engine::r4success;
    table.unlock();
    if (!written) {
        code().setErrorCode(0);
        ui_.error("Can't update " + relativePath());
        return false;
    }
    storedRow_ = rowBytes();
    changed_ = false;
    return true;
}

void VARFRM::undoCurrentRec() {
    if (staffRecNo_ == 0)
        return;
    staff_.data()->go(staffRecNo_);
    loadCurrent();
    displayRecord();
}

bool VARFRM::refreshRecord() {
    if (!isOpen())
        return false;
    readPage();
    // Unsaved changes stay on the page; saving them is refused.
    if (changed_)
        return false;
    engine::Data4& staff = *staff_.data();
    staff.refresh();
    data()->refresh();
    long at = 0;
    if (staffRecNo_ != 0) {
        STATICREC now;
        if (staff.go(staffRecNo_) == engine::r4success && !staff.deleted() && staff_.initRec(now) &&
            sameEmployee(now.empNum, employee_.empNum)) {
            at = staffRecNo_;
            const bool onPayroll = seekOnPayroll(now.empNum);
            if (now == employee_ && onPayroll == hasRecord_ &&
                (!onPayroll || (data()->recNo() == rowNo_ && rowBytes() == storedRow_)))
                return false;
        } else {
            at = staff_.recNum(employee_.empNum);
        }
    }
    if (at != 0) {
        staff.go(at);
    } else {
        // The employee shown has left the file, or the file was empty.
        const bool any = staff.top() == engine::r4success && !staff.eof();
        if (!any && staffRecNo_ == 0)
            return false;
    }
    loadCurrent();
    displayRecord();
    return true;
}

bool VARFRM::step(long count) {
    if (!saveCurrentRec())
        return false;
    engine::Data4& staff = *staff_.data();
    if (staffRecNo_ == 0) {
        ui_.beep();
        return false;
    }
    staff.go(staffRecNo_);
    const int rc = staff.skip(count);
    if (rc != engine::r4success || staff.eof() || staff.bof()) {
        staff.go(staffRecNo_);
        ui_.beep();
        return false;
    }
    loadCurrent();
    displayRecord();
    return true;
}

bool VARFRM::nextRecord() {
    return step(1);
}

bool VARFRM::previousRecord() {
    return step(-1);
}

bool VARFRM::moveToEnd(bool last) {
    if (!saveCurrentRec())
        return false;
    engine::Data4& staff = *staff_.data();
    const int rc = last ? staff.bottom() : staff.top();
    if (rc != engine::r4success || staff.eof())
        return false;
    loadCurrent();
    displayRecord();
    return true;
}

bool VARFRM::firstRecord() {
    return moveToEnd(false);
}

bool VARFRM::lastRecord() {
    return moveToEnd(true);
}

bool VARFRM::showFound(long staffRecNo) {
    engine::Data4& staff = *staff_.data();
    if (staffRecNo < 1 || staffRecNo > staff.recCount() ||
        staff.go(staffRecNo) != engine::r4success || staff.deleted()) {
        if (staffRecNo_ != 0)
            staff.go(staffRecNo_);
        ui_.information("Record Not Found");
        return false;
    }
    loadCurrent();
    displayRecord();
    return true;
}

bool VARFRM::findPrefix(bool byName, const std::string& text, bool next) {
    if (!saveCurrentRec())
        return false;
    const std::string wanted = common::toUpper(common::trim(text));
    long found = 0;
    if (!wanted.empty()) {
        engine::Data4& staff = *staff_.data();
        database::TablePlace place(&staff);
        if (byName)
            staff_.orderByName();
        else
            staff_.orderByEmpNum();
        int rc = next && staffRecNo_ != 0 && staff.go(staffRecNo_) == engine::r4success
                     ? staff.seekNext(wanted)
                     : staff.seek(wanted);
        while (rc == engine::r4success && !staff.eof() && staff.deleted())
            rc = staff.seekNext(wanted);
        if (rc == engine::r4success && !staff.eof())
            found = staff.recNo();
    }
    return showFound(found);
}

bool VARFRM::findEmpNum(const std::string& text, bool next) {
    return findPrefix(false, text, next);
}

bool VARFRM::findFirstName(const std::string& text) {
    return findPrefix(true, text, false);
}

bool VARFRM::findNextName(const std::string& text) {
    return findPrefix(true, text, true);
}

bool VARFRM::gotoRec(const std::string& text) {
    if (!saveCurrentRec())
        return false;
    const std::string number = common::trim(text);
    long recNo = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), recNo);
    if (error != std::errc() || end != number.data() + number.size())
        recNo = 0;
    return showFound(recNo);
}

bool VARFRM::deleteRecord() {
    if (!hasRecord_) {
        ui_.beep();
        return false;
    }
    if (isReadOnly()) {
        ui_.information("This record is read-only and cannot be deleted.");
        return false;
    }
    if (!saveCurrentRec())
        return false;
    if (!ui_.ask("Are you sure you want to delete this record?", common::Answer::No))
        return false;
    rec_.removed = 1;
    changed_ = true;
    if (!storeRecord()) {
        rec_.removed = 0;
        changed_ = false;
        return false;
    }
    staff_.data()->go(staffRecNo_);
    loadCurrent();
    displayRecord();
    return true;
}

} // namespace kelo::staffrecords
