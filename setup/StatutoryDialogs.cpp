#include "setup/StatutoryDialogs.h"

#include "common/Money.h"
#include "database/TableUse.h"

#include <cmath>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

namespace kelo::setup {

namespace {

using common::DialogView;
using database::INCOMEREC;
using database::PAYEREC;

constexpr const char* kNoRight = "You do not have the right to modify tax tables.";
constexpr const char* kNone = "(None)";
// The widest whole number a limit column (12 digits) holds.
constexpr double kMaxShillings = 999999999999.0;

// What tells the PAYE bands from the income brackets.
struct Kind {
    bool hasRate;
    bool firstLowerFixed;
    bool lowerMayEqual;
    const char* list;
    const char* lowerControl;
    const char* upperControl;
    const char* rateControl;
    const char* newCaption;
    const char* editCaption;
    const char* insertLocked;
    const char* deleteLocked;
};

const Kind kPaye{true,
                 true,
                 false,
                 payedlg::List,
                 payeratedlg::LowerLimit,
                 payeratedlg::UpperLimit,
                 payeratedlg::TaxRate,
                 "New PAYE Rate",
                 "Edit PAYE Rate",
                 "Cannot insert a new row because another user has locked\nsome of the records in "
                 "the PAYE file. Try again later.",
                 "Cannot delete this row because another user has locked\nsome of the records in "
                 "the PAYE file. Try again later."};

const Kind kIncomes{false,
                    false,
                    true,
                    incomesdlg::List,
                    incomebracketdlg::LowerLimit,
                    incomebracketdlg::UpperLimit,
                    nullptr,
                    "New Income Bracket",
                    "Edit Income Bracket",
                    "Cannot insert a new row because another user has locked some\nof the records "
                    "in the income brackets file. Try again later.",
                    "Cannot delete this row because another user has locked some\nof the records "
                    "in the income brackets file. Try again later."};

// Both row tables seen alike.
struct Row {
    unsigned long lower = 0;
    unsigned long upper = 0;
    float rate = 0;
};

Row toRow(const PAYEREC& band) {
    return {band.lowerLimit, band.upperLimit, band.rate};
}
Row toRow(const INCOMEREC& bracket) {
    return {bracket.lowerLimit, bracket.upperLimit, 0};
}
PAYEREC toRec(const Row& row, const PAYEREC*) {
    return {row.lower, row.upper, row.rate};
}
INCOMEREC toRec(const Row& row, const INCOMEREC*) {
    return {row.lower, row.upper};
}

bool refused(common::Ui& ui, bool mayModify) {
    if (mayModify)
        return false;
    ui.information(kNoRight);
    return true;
}

bool validRate(double rate) {
    return rate >= 0 && rate <= 100;
}

std::string rateText(float rate) {
    return common::fixedText(common::decimalOf(rate), 2);
}

// A whole number of shillings keyed in a field; tells the user otherwise.
bool readShillings(common::Ui& ui, DialogView& dialog, const char* control,
                   const std::string& message, unsigned long& value) {
    double amount = 0;
    if (!common::parseAmount(dialog.text(control), amount) || amount < 0 ||
        amount > kMaxShillings || amount != std::floor(amount)) {
        ui.information(message);
        dialog.setFocus(control);
        return false;
    }
    value = static_cast<unsigned long>(amount);
    return true;
}

// A keyed rate; text that is no number reads as NaN, which the operations'
// range check refuses.
float readRate(DialogView& dialog, const char* control) {
    double rate = 0;
    if (!common::parseAmount(dialog.text(control), rate))
        return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>(rate);
}

// Takes a lock on the open table, telling the user when it is refused.
bool lockOrTell(common::Ui& ui, database::DbTable& table, long recNo, const std::string& locked) {
    engine::Data4& data = *table.data();
    const int rc = recNo == 0 ? data.lockAll() : data.lock(recNo);
    if (rc == engine::r4success)
        return true;
    table.code().setErrorCode(0);
    if (rc == engine::r4locked)
        ui.warning(locked);
    else
        ui.error(database::TableUse::cantUpdateMessage(table));
    return false;
}

std::filesystem::file_time_type modifiedTime(const database::DbTable& table) {
    std::error_code ignored;
    return std::filesystem::last_write_time(table.path(), ignored);
}

// Opens a table, telling the user why it did not open: a missing year is
// named as such, another user's exclusive hold as a warning.
bool tellOpenFailure(common::Ui& ui, database::DbTable& table) {
    std::error_code ignored;
    const int code = table.code().errorCode();
    std::string text = std::filesystem::exists(table.path(), ignored)
                           ? database::openFailureText(table.code(), table.relativePath())
                           : "Can't open " + table.relativePath();
    table.code().setErrorCode(0);
    if (code == engine::e4access || code == engine::e4lock)
        ui.warning(text);
    else
        ui.error(text);
    return false;
}

// The operations and form logic shared by the PAYE bands and the income
// brackets.
template <class Db, class Rec> struct Rows {
    Db& db;
    common::Ui& ui;
    const Kind& kind;
    bool mayModify;

    long count() const { return db.isOpen() ? db.rowCount() : 0; }
    bool inRange(long recNo) const { return recNo >= 1 && recNo <= count(); }

    bool canInsertAfter(long recNo) {
        if (!inRange(recNo)) {
            ui.information("Select row after which to insert.");
            return false;
        }
        if (recNo == count()) {
            ui.information("Cannot insert after the last row.");
            return false;
        }
        return true;
    }

    bool validate(const Row& row, bool compareUpper) {
        if (compareUpper && row.upper < row.lower) {
            ui.information("Upper limit cannot be less than lower limit.");
            return false;
        }
        if (kind.hasRate && !validRate(row.rate)) {
            ui.information("Tax rate must be between 0 and 100.");
            return false;
        }
        return true;
    }

    bool insert(long afterRecNo, const Row& row) {
        if (refused(ui, mayModify) || !canInsertAfter(afterRecNo) || !validate(row, true))
            return false;
        if (!lockOrTell(ui, db, 0, kind.insertLocked))
            return false;
        const bool ok = db.insertRow(afterRecNo, toRec(row, static_cast<const Rec*>(nullptr)));
        db.unlockRows();
        if (!ok)
            ui.error(database::TableUse::cantUpdateMessage(db));
        return ok;
    }

    bool beginEdit(long recNo) {
        if (refused(ui, mayModify))
            return false;
        if (!inRange(recNo)) {
            ui.information("Select row to edit.");
            return false;
        }
        return lockOrTell(ui, db, recNo, "This row is currently locked by another user.");
    }

    bool edit(long recNo, Row row) {
        if (refused(ui, mayModify))
            return false;
        Rec stored;
        if (!inRange(recNo) || !db.readRow(recNo, stored)) {
            // The row went while it was being edited.
            ui.beep();
            return false;
        }
        if (recNo == 1 && kind.firstLowerFixed)
            row.lower = toRow(stored).lower;
        const bool last = recNo == count();
        if (last)
            row.upper = row.lower;
        if (!validate(row, !last))
            return false;
        if (!db.data()->lockTest(recNo) &&
            !lockOrTell(ui, db, recNo, "This row is currently locked by another user."))
            return false;
        if (!db.updateRow(recNo, toRec(row, static_cast<const Rec*>(nullptr)))) {
            ui.error(database::TableUse::cantUpdateMessage(db));
            return false;
        }
        return true;
    }

    bool remove(long recNo) {
        if (refused(ui, mayModify))
            return false;
        if (!inRange(recNo)) {
            ui.information("Select row to delete.");
            return false;
        }
        if (recNo == 1) {
            ui.information("Cannot delete the first row.");
            return false;
        }
        if (recNo == count()) {
            ui.information("Cannot delete the last row.");
            return false;
        }
        if (!lockOrTell(ui, db, 0, kind.deleteLocked))
            return false;
        const bool ok = db.deleteRow(recNo);
        db.unlockRows();
        if (!ok)
            ui.error(database::TableUse::cantUpdateMessage(db));
        return ok;
    }

    bool checkLimits() {
        const long broken = db.isOpen() ? db.firstBrokenLink() : 0;
        if (broken == 0)
            return true;
        const std::string row = std::to_string(broken);
        const std::string previous = std::to_string(broken - 1);
        if (kind.lowerMayEqual)
            ui.information("Lower limit for row " + row +
                           " must be equal to or one more than upper limit for row " + previous);
        else
            ui.information("Lower limit for row " + row +
                           " must be one more than upper limit for row " + previous + ".");
        return false;
    }

    // Form face.

    void fillList(DialogView& window, int selected) {
        window.clearItems(kind.list);
        std::vector<Rec> rows = db.isOpen() ? db.readRows() : std::vector<Rec>{};
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Row row = toRow(rows[i]);
            std::string text =
                common::withThousands(static_cast<double>(row.lower)) + "\t" +
                (i + 1 == rows.size() ? std::string(kNone)
                                      : common::withThousands(static_cast<double>(row.upper)));
            if (kind.hasRate)
                text += "\t" + rateText(row.rate);
            window.addItem(kind.list, text, static_cast<long>(i + 1));
        }
        const int last = static_cast<int>(rows.size()) - 1;
        window.selectRow(kind.list, selected > last ? last : selected);
    }

    long selectedRecNo(const DialogView& window) const { return window.selectedRow(kind.list) + 1; }

    void enableButtons(DialogView& window, const char* insert, const char* remove,
                       const char* edit) {
        window.setEnabled(insert, mayModify);
        window.setEnabled(remove, mayModify);
        window.setEnabled(edit, mayModify);
    }

    void showRow(DialogView& dialog, const Row& row, bool last) {
        dialog.setText(kind.lowerControl, std::to_string(row.lower));
        dialog.setText(kind.upperControl, last ? std::string(kNone) : std::to_string(row.upper));
        if (kind.hasRate)
            dialog.setText(kind.rateControl, rateText(row.rate));
    }

    bool initNew(DialogView& window, DialogView& dialog) {
        const long recNo = selectedRecNo(window);
        Rec stored;
        if (refused(ui, mayModify) || !canInsertAfter(recNo) || !db.readRow(recNo, stored))
            return false;
        dialog.setCaption(kind.newCaption);
        Row row;
        row.lower = toRow(stored).upper + (kind.lowerMayEqual ? 0 : 1);
        row.upper = row.lower;
        showRow(dialog, row, false);
        dialog.setEnabled(kind.lowerControl, true);
        dialog.setEnabled(kind.upperControl, true);
        return true;
    }

    // The row dialog's values; false after telling the user.
    bool readRow(DialogView& dialog, Row& row, bool readLower, bool readUpper) {
        if (readLower &&
            !readShillings(ui, dialog, kind.lowerControl,
                           "Lower limit must be a whole number of shillings.", row.lower))
            return false;
        if (readUpper &&
            !readShillings(ui, dialog, kind.upperControl,
                           "Upper limit must be a whole number of shillings.", row.upper))
            return false;
        if (kind.hasRate)
            row.rate = readRate(dialog, kind.rateControl);
        return true;
    }

    bool closeNew(DialogView& window, DialogView& dialog) {
        const long recNo = selectedRecNo(window);
        Row row;
        if (!readRow(dialog, row, true, true) || !insert(recNo, row))
            return false;
        fillList(window, static_cast<int>(recNo));
        return true;
    }

    bool initEdit(DialogView& window, DialogView& dialog, long& editRecNo) {
        const long recNo = selectedRecNo(window);
        Rec stored;
        if (!beginEdit(recNo))
            return false;
        if (!db.readRow(recNo, stored)) {
            db.unlockRows();
            ui.beep();
            return false;
        }
        const bool last = recNo == count();
        dialog.setCaption(kind.editCaption);
        showRow(dialog, toRow(stored), last);
        dialog.setEnabled(kind.lowerControl, !(recNo == 1 && kind.firstLowerFixed));
        dialog.setEnabled(kind.upperControl, !last);
        editRecNo = recNo;
        return true;
    }

    bool closeEdit(DialogView& window, DialogView& dialog, long& editRecNo) {
        if (editRecNo == 0 || selectedRecNo(window) != editRecNo || !inRange(editRecNo)) {
            ui.beep();
            return false;
        }
        Row row;
        Rec stored;
        if (db.readRow(editRecNo, stored))
            row = toRow(stored);
        const bool lowerFixed = editRecNo == 1 && kind.firstLowerFixed;
        if (!readRow(dialog, row, !lowerFixed, editRecNo != count()) || !edit(editRecNo, row))
            return false;
        const int selected = static_cast<int>(editRecNo - 1);
        editRecNo = 0;
        fillList(window, selected);
        return true;
    }

    bool removeSelected(DialogView& window) {
        const long recNo = selectedRecNo(window);
        if (!remove(recNo))
            return false;
        fillList(window, static_cast<int>(recNo) - 2);
        return true;
    }
};

Rows<database::PAYEDB, PAYEREC> payeRows(database::PAYEDB& db, common::Ui& ui, bool mayModify) {
    return {db, ui, kPaye, mayModify};
}

Rows<database::INCOMESDB, INCOMEREC> incomeRows(database::INCOMESDB& db, common::Ui& ui,
                                                bool mayModify) {
    return {db, ui, kIncomes, mayModify};
}

// The one-record tables (PAYE parameters, NSSF, SDL): a missing year or a
// table that will not open is told.
bool openYear(common::Ui& ui, database::StatutoryTable& table, int year) {
    if (table.openFile(year, false))
        return true;
    return tellOpenFailure(ui, table);
}

// Stores the one record under its lock; another user's lock is told, not
// taken for success.
template <class Db, class Rec> bool storeOne(common::Ui& ui, Db& db, const Rec& rec) {
    if (!db.isOpen()) {
        ui.error("Can't open " + db.relativePath());
        return false;
    }
    const std::string inUse = database::TableUse::inUseMessage(db);
    if (!lockOrTell(ui, db, db.data()->recCount() == 0 ? 0 : 1, inUse))
        return false;
    const bool ok = db.updateRec(rec);
    db.data()->unlock();
    if (!ok)
        ui.error(database::TableUse::cantUpdateMessage(db));
    return ok;
}

std::string yearCaption(const char* title, int year) {
    return std::string(title) + " for " + std::to_string(year) + "/" + std::to_string(year + 1);
}

// A rate field, refused by the operation when it is no number.
void showRate(DialogView& dialog, const char* control, float rate, bool editable) {
    dialog.setText(control, rateText(rate));
    dialog.setEnabled(control, editable);
}

} // namespace

// PAYEDLG

PAYEDLG::PAYEDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder)
    : PAYEDB(code, folder),
      ui_(ui) {}

PAYEDLG::~PAYEDLG() {
    endEdit();
}

bool PAYEDLG::openRates(int year) {
    if (openFile(year, false))
        return true;
    return tellOpenFailure(ui_, *this);
}

bool PAYEDLG::canInsertAfter(long recNo) {
    return payeRows(*this, ui_, mayModify_).canInsertAfter(recNo);
}

bool PAYEDLG::insertBand(long afterRecNo, const PAYEREC& band) {
    return payeRows(*this, ui_, mayModify_).insert(afterRecNo, toRow(band));
}

bool PAYEDLG::beginEdit(long recNo) {
    return payeRows(*this, ui_, mayModify_).beginEdit(recNo);
}

bool PAYEDLG::editBand(long recNo, PAYEREC band) {
    return payeRows(*this, ui_, mayModify_).edit(recNo, toRow(band));
}

void PAYEDLG::endEdit() {
    unlockRows();
    editRecNo_ = 0;
}

bool PAYEDLG::deleteBand(long recNo) {
    return payeRows(*this, ui_, mayModify_).remove(recNo);
}

bool PAYEDLG::checkLimits() {
    return payeRows(*this, ui_, mayModify_).checkLimits();
}

bool PAYEDLG::closeRates() {
    endEdit();
    // A reader changed nothing and must not be held by a chain he cannot mend.
    if (mayModify_ && !checkLimits())
        return false;
    closeFile();
    return true;
}

bool PAYEDLG::initDlg(DialogView& window, int year) {
    window.setCaption("PAYE Rates for " + std::to_string(year) + "/" + std::to_string(year + 1));
    if (!openRates(year))
        return false;
    modified_ = modifiedTime(*this);
    payeRows(*this, ui_, mayModify_).fillList(window, 0);
    payeRows(*this, ui_, mayModify_)
        .enableButtons(window, payedlg::Insert, payedlg::Delete, payedlg::Edit);
    return true;
}

void PAYEDLG::fillList(DialogView& window, int selected) {
    payeRows(*this, ui_, mayModify_).fillList(window, selected);
    modified_ = modifiedTime(*this);
}

void PAYEDLG::refreshDlg(DialogView& window) {
    if (isOpen() && modifiedTime(*this) != modified_)
        fillList(window, window.selectedRow(payedlg::List));
}

bool PAYEDLG::initNewRateDlg(DialogView& window, DialogView& row) {
    return payeRows(*this, ui_, mayModify_).initNew(window, row);
}

bool PAYEDLG::closeNewRateDlg(DialogView& window, DialogView& row) {
    if (!payeRows(*this, ui_, mayModify_).closeNew(window, row))
        return false;
    modified_ = modifiedTime(*this);
    return true;
}

bool PAYEDLG::initEditRateDlg(DialogView& window, DialogView& row) {
    return payeRows(*this, ui_, mayModify_).initEdit(window, row, editRecNo_);
}

bool PAYEDLG::closeEditRateDlg(DialogView& window, DialogView& row) {
    if (!payeRows(*this, ui_, mayModify_).closeEdit(window, row, editRecNo_))
        return false;
    modified_ = modifiedTime(*this);
    return true;
}

void PAYEDLG::cancelEditRateDlg() {
    endEdit();
}

bool PAYEDLG::deleteRate(DialogView& window) {
    if (!payeRows(*this, ui_, mayModify_).removeSelected(window))
        return false;
    modified_ = modifiedTime(*this);
    return true;
}

bool PAYEDLG::closeFile(DialogView&) {
    return closeRates();
}

// INCOMESDLG

INCOMESDLG::INCOMESDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder)
    : INCOMESDB(code, folder),
      ui_(ui) {}

INCOMESDLG::~INCOMESDLG() {
    endEdit();
}

bool INCOMESDLG::openBrackets() {
    if (openFile(false))
        return true;
    return tellOpenFailure(ui_, *this);
}

bool INCOMESDLG::canInsertAfter(long recNo) {
    return incomeRows(*this, ui_, mayModify_).canInsertAfter(recNo);
}

bool INCOMESDLG::insertBracket(long afterRecNo, const INCOMEREC& bracket) {
    return incomeRows(*this, ui_, mayModify_).insert(afterRecNo, toRow(bracket));
}

bool INCOMESDLG::beginEdit(long recNo) {
    return incomeRows(*this, ui_, mayModify_).beginEdit(recNo);
}

bool INCOMESDLG::editBracket(long recNo, INCOMEREC bracket) {
    return incomeRows(*this, ui_, mayModify_).edit(recNo, toRow(bracket));
}

void INCOMESDLG::endEdit() {
    unlockRows();
    editRecNo_ = 0;
}

bool INCOMESDLG::deleteBracket(long recNo) {
    return incomeRows(*this, ui_, mayModify_).remove(recNo);
}

bool INCOMESDLG::checkLimits() {
    return incomeRows(*this, ui_, mayModify_).checkLimits();
}

bool INCOMESDLG::closeBrackets() {
    endEdit();
    if (mayModify_ && !checkLimits())
        return false;
    closeFile();
    return true;
}

bool INCOMESDLG::initDlg(DialogView& window) {
    window.setCaption("Income Brackets for P10 Report");
    if (!openBrackets())
        return false;
    incomeRows(*this, ui_, mayModify_).fillList(window, 0);
    incomeRows(*this, ui_, mayModify_)
        .enableButtons(window, incomesdlg::Insert, incomesdlg::Delete, incomesdlg::Edit);
    modified_ = modifiedTime(*this);
    return true;
}

void INCOMESDLG::fillList(DialogView& window, int selected) {
    incomeRows(*this, ui_, mayModify_).fillList(window, selected);
    modified_ = modifiedTime(*this);
}

void INCOMESDLG::refreshDlg(DialogView& window) {
    if (isOpen() && modifiedTime(*this) != modified_)
        fillList(window, window.selectedRow(incomesdlg::List));
}

bool INCOMESDLG::initNewRecDlg(DialogView& window, DialogView& row) {
    return incomeRows(*this, ui_, mayModify_).initNew(window, row);
}

bool INCOMESDLG::closeNewRecDlg(DialogView& window, DialogView& row) {
    if (!incomeRows(*this, ui_, mayModify_).closeNew(window, row))
        return false;
    modified_ = modifiedTime(*this);
    return true;
}

bool INCOMESDLG::initEditRecDlg(DialogView& window, DialogView& row) {
    return incomeRows(*this, ui_, mayModify_).initEdit(window, row, editRecNo_);
}

bool INCOMESDLG::closeEditRecDlg(DialogView& window, DialogView& row) {
    if (!incomeRows(*this, ui_, mayModify_).closeEdit(window, row, editRecNo_))
        return false;
    modified_ = modifiedTime(*this);
    return true;
}

void INCOMESDLG::cancelEditRecDlg() {
    endEdit();
}

bool INCOMESDLG::deleteRec(DialogView& window) {
    if (!incomeRows(*this, ui_, mayModify_).removeSelected(window))
        return false;
    modified_ = modifiedTime(*this);
    return true;
}

bool INCOMESDLG::closeFile(DialogView&) {
    return closeBrackets();
}

// PAYEPARAMDLG

PAYEPARAMDLG::PAYEPARAMDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder)
    : PAYEPARAMDB(code, folder),
      ui_(ui) {}

PAYEPARAMDLG::~PAYEPARAMDLG() = default;

bool PAYEPARAMDLG::openParams(int year) {
    return openYear(ui_, *this, year);
}

bool PAYEPARAMDLG::storeParams(const database::PAYEPARAMREC& params) {
    if (refused(ui_, mayModify_))
        return false;
    if (static_cast<double>(params.maxPension) > kMaxShillings) {
        ui_.information("Maximum Allowable Pension Fund must be a whole number of shillings.");
        return false;
    }
    if (!validRate(params.statRateJulDec) || !validRate(params.statRateJanJun)) {
        ui_.information("Statutory Interest Rate (%) must be between 0 and 100.");
        return false;
    }
    return storeOne(ui_, *this, params);
}

bool PAYEPARAMDLG::initDlg(DialogView& window, int year) {
    window.setCaption(yearCaption("PAYE Parameters", year));
    if (!openParams(year))
        return false;
    database::PAYEPARAMREC params;
    initRec(params);
    window.setText(payeparamdlg::MaxPension, std::to_string(params.maxPension));
    window.setEnabled(payeparamdlg::MaxPension, mayModify_);
    showRate(window, payeparamdlg::StatRateJulDec, params.statRateJulDec, mayModify_);
    showRate(window, payeparamdlg::StatRateJanJun, params.statRateJanJun, mayModify_);
    return true;
}

bool PAYEPARAMDLG::closeDlg(DialogView& window) {
    if (mayModify_) {
        database::PAYEPARAMREC params;
        if (!readShillings(ui_, window, payeparamdlg::MaxPension,
                           "Maximum Allowable Pension Fund must be a whole number of shillings.",
                           params.maxPension))
            return false;
        params.statRateJulDec = readRate(window, payeparamdlg::StatRateJulDec);
        params.statRateJanJun = readRate(window, payeparamdlg::StatRateJanJun);
        if (!storeParams(params))
            return false;
    }
    closeFile();
    return true;
}

void PAYEPARAMDLG::cancelDlg() {
    closeFile();
}

// NSSFDLG

NSSFDLG::NSSFDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder)
    : NSSFDB(code, folder),
      ui_(ui) {}

NSSFDLG::~NSSFDLG() = default;

bool NSSFDLG::openRates(int year) {
    return openYear(ui_, *this, year);
}

bool NSSFDLG::storeRates(const database::NSSFREC& rates) {
    if (refused(ui_, mayModify_))
        return false;
    if (!validRate(rates.employeeRate) || !validRate(rates.employerRate)) {
        ui_.information("NSSF rates must be between 0 and 100.");
        return false;
    }
    return storeOne(ui_, *this, rates);
}

bool NSSFDLG::initDlg(DialogView& window, int year) {
    window.setCaption(yearCaption("NSSF Rates", year));
    if (!openRates(year))
        return false;
    database::NSSFREC rates;
    initRec(rates);
    showRate(window, nssfdlg::EmployeeRate, rates.employeeRate, mayModify_);
    showRate(window, nssfdlg::EmployerRate, rates.employerRate, mayModify_);
    return true;
}

bool NSSFDLG::closeDlg(DialogView& window) {
    if (mayModify_) {
        const database::NSSFREC rates{readRate(window, nssfdlg::EmployeeRate),
                                      readRate(window, nssfdlg::EmployerRate)};
        if (!storeRates(rates))
            return false;
    }
    closeFile();
    return true;
}

void NSSFDLG::cancelDlg() {
    closeFile();
}

// SDLDLG

SDLDLG::SDLDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder)
    : SDLDB(code, folder),
      ui_(ui) {}

SDLDLG::~SDLDLG() = default;

bool SDLDLG::openRate(int year) {
    return openYear(ui_, *this, year);
}

bool SDLDLG::storeRate(const database::SDLREC& rate) {
    if (refused(ui_, mayModify_))
        return false;
    if (!validRate(rate.rate)) {
        ui_.information("SDL rate must be between 0 and 100.");
        return false;
    }
    return storeOne(ui_, *this, rate);
}

bool SDLDLG::initDlg(DialogView& window, int year) {
    window.setCaption(yearCaption("SDL Rate", year));
    if (!openRate(year))
        return false;
    database::SDLREC rate;
    initRec(rate);
    showRate(window, sdldlg::Rate, rate.rate, mayModify_);
    return true;
}

bool SDLDLG::closeDlg(DialogView& window) {
    if (mayModify_) {
        if (!storeRate({readRate(window, sdldlg::Rate)}))
            return false;
    }
    closeFile();
    return true;
}

void SDLDLG::cancelDlg() {
    closeFile();
}

// WCFDLG

WCFDLG::WCFDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder)
    : WCFDB(code, folder),
      ui_(ui) {}

WCFDLG::~WCFDLG() = default;

bool WCFDLG::openRate(int year) {
    // Only a missing table is made: a damaged one is told, not replaced.
    std::error_code ignored;
    const std::filesystem::path table = folder().resolve(yearPath(year));
    if (!std::filesystem::exists(table, ignored) &&
        std::filesystem::is_directory(table.parent_path(), ignored))
        newFile(ui_, "../system/" + std::to_string(year - 1), year);
    return openYear(ui_, *this, year);
}

bool WCFDLG::storeRate(const database::WCFREC& rate) {
    if (refused(ui_, mayModify_))
        return false;
    if (!validRate(rate.rate)) {
        ui_.information("WCF rate must be between 0 and 100.");
        return false;
    }
    return storeOne(ui_, *this, rate);
}

bool WCFDLG::initDlg(DialogView& window, int year) {
    window.setCaption(yearCaption("WCF Rate", year));
    if (!openRate(year))
        return false;
    database::WCFREC rate;
    initRec(rate);
    showRate(window, wcfdlg::Rate, rate.rate, mayModify_);
    return true;
}

bool WCFDLG::closeDlg(DialogView& window) {
    if (mayModify_) {
        if (!storeRate({readRate(window, wcfdlg::Rate)}))
            return false;
    }
    closeFile();
    return true;
}

void WCFDLG::cancelDlg() {
    closeFile();
}

} // namespace kelo::setup
