#include "staffrecords/LeaveFrm.h"

#include "common/DateText.h"
#include "common/Money.h"
#include "common/Text.h"
#include "database/DbTable.h"
#include "database/TableSupport.h"
#include "staffrecords/LeaveFrmControls.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <span>

namespace kelo::staffrecords {

namespace lf = leavefrm;
using common::STATICREC;
using database::ABSENCEROW;
using database::LEAVEREC;
using database::LEAVEROW;

namespace {

std::string daysText(double days) {
    // A sum of floats may land a hair below zero; it must not read "-0.00".
    return common::fixedText(std::fabs(days) < 0.005 ? 0.0 : days, 2);
}

std::string daysText(float days) {
    return daysText(common::decimalOf(days));
}

std::span<const lf::Column> columnsOf(LEAVEVIEW view) {
    switch (view) {
    case ANNUAL_LEAVE_VIEW:
        return lf::kLeaveColumns;
    case LEAVE_BOOKED_VIEW:
        return lf::kBookedColumns;
    default:
        return lf::kAbsenceColumns;
    }
}

std::string kindText(std::int32_t kind) {
    if (kind < 0 || kind >= static_cast<std::int32_t>(database::kLeaveKindLabels.size()))
        return {};
    return std::string(database::kLeaveKindLabels[static_cast<std::size_t>(kind)]);
}

bool sameRows(const std::vector<ABSENCEROW>& a, const std::vector<ABSENCEROW>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.id == y.id && x.fromDate == y.fromDate && x.toDate == y.toDate &&
               x.days == y.days && x.reason == y.reason;
    });
}

bool sameRows(const std::vector<LEAVEROW>& a, const std::vector<LEAVEROW>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.id == y.id && x.date == y.date && x.kind == y.kind && x.days == y.days;
    });
}

bool sameAccount(const LEAVEREC& a, const LEAVEREC& b) {
    return a.empNum == b.empNum && a.lastName == b.lastName && a.otherNames == b.otherNames &&
           a.leaveEntitlement == b.leaveEntitlement && a.balanceBF == b.balanceBF &&
           a.earned == b.earned && a.sold == b.sold && a.forfeited == b.forfeited &&
           a.taken == b.taken && a.booked == b.booked;
}

} // namespace

LEAVEFRM::LEAVEFRM(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder)
    : ui_(ui),
      code_(code),
      folder_(folder),
      staff_(code, folder),
      absence_(code, folder, ui),
      leave_(code, folder, ui) {}

LEAVEFRM::~LEAVEFRM() = default;

void LEAVEFRM::attach(common::DialogView& window) {
    window_ = &window;
}

void LEAVEFRM::detach() {
    window_ = &noWindow_;
}

bool LEAVEFRM::checkFiles() {
    if (!database::allValid(
            ui_, code_, folder_,
            {database::STATDB::kPath, database::ABSENCEDB::kPath, database::LEAVEDB::kPath}) ||
        !database::hasData(ui_, code_, folder_, database::STATDB::kPath, "Employee Master"))
        return false;
    for (database::EmployeeEventTable* table :
         {static_cast<database::EmployeeEventTable*>(&absence_),
          static_cast<database::EmployeeEventTable*>(&leave_)}) {
        if (!table->ensureIndex()) {
            ui_.error("Can't open " + table->relativePath());
            return false;
        }
    }
    return true;
}

bool LEAVEFRM::open(const common::ORGREC& org) {
    close();
    month_ = org.month;
    year_ = org.year;
    sortKey_ = org.formSortKey;
    for (database::DbTable* table :
         {static_cast<database::DbTable*>(&staff_), static_cast<database::DbTable*>(&absence_),
          static_cast<database::DbTable*>(&leave_)}) {
        if (!table->openFile(false)) {
            const std::string text = database::openFailureText(code_, table->relativePath());
            code_.setErrorCode(0);
            ui_.error(text);
            close();
            return false;
        }
    }
    if (!staff_.orderFile(sortKey_))
        staff_.orderByEmpNum();
    view_ = ABSENCE_VIEW;
    editing_ = Editing::None;
    engine::Data4& table = *staff_.data();
    if (table.top() == engine::r4success && !table.eof())
        readCurrent();
    displayRecord();
    return true;
}

bool LEAVEFRM::close() {
    staff_.closeFile();
    absence_.closeFile();
    leave_.closeFile();
    hasRecord_ = false;
    changed_ = false;
    editing_ = Editing::None;
    absences_.clear();
    events_.clear();
    account_ = LEAVEREC{};
    return true;
}

bool LEAVEFRM::isOpened() const {
    return staff_.isOpen();
}

// Reading

bool LEAVEFRM::readCurrent() {
    STATICREC rec;
    if (!staff_.initRec(rec))
        return false;
    rec_ = std::move(rec);
    recNo_ = staff_.data()->recNo();
    hasRecord_ = true;
    changed_ = false;
    loadRows(absences_, events_, account_);
    return true;
}

bool LEAVEFRM::loadRows(std::vector<ABSENCEROW>& absences, std::vector<LEAVEROW>& events,
                        LEAVEREC& account) {
    absences.clear();
    events.clear();
    account = LEAVEREC{};
    if (!hasRecord_)
        return true;
    account.empNum = rec_.empNum;
    account.lastName = rec_.lastName;
    account.otherNames = rec_.otherNames;
    account.leaveEntitlement = rec_.leaveEntitlement;
    bool ok = leave_.readAccount(account) && absence_.readAccount(account);
    switch (view_) {
    case ABSENCE_VIEW:
        ok = absence_.readRows(rec_.empNum, false, absences) && ok;
        break;
    case LEAVE_BOOKED_VIEW:
        ok = absence_.readRows(rec_.empNum, true, absences) && ok;
        break;
    case ANNUAL_LEAVE_VIEW:
        ok = leave_.readRows(rec_.empNum, events) && ok;
        break;
    }
    return ok;
}

// Showing

std::string LEAVEFRM::positionText() const {
    if (!hasRecord_ || !staff_.isOpen())
        return "Record 0 of 0";
    return "Record " + std::to_string(recNo_) + " of " + std::to_string(staff_.data()->recCount());
}

std::string LEAVEFRM::employeeText() const {
    if (!hasRecord_)
        return "Null record";
    return rec_.empNum + "  " + rec_.lastName + ", " + rec_.otherNames;
}

void LEAVEFRM::showStatus() {
    window_->setText(lf::kPosition, positionText());
    window_->setText(lf::kEmployee, employeeText());
    window_->setText(lf::kReadOnly, isReadOnly() ? "Read-Only" : "");
}

void LEAVEFRM::showAccount() {
    const std::pair<const char*, float> figures[] = {
        {lf::kEntitlement, account_.leaveEntitlement},
        {lf::kBalanceBF, account_.balanceBF},
        {lf::kEarned, account_.earned},
        {lf::kSold, account_.sold},
        {lf::kForfeited, account_.forfeited},
        {lf::kTaken, account_.taken},
        {lf::kBooked, account_.booked},
    };
    for (const auto& [control, days] : figures)
        window_->setText(control, hasRecord_ ? daysText(days) : std::string());
    // The balances are worked out from the decimals shown, not the floats.
    const auto decimal = [](float days) { return common::decimalOf(days); };
    const double balance = decimal(account_.balanceBF) + decimal(account_.earned) -
                           decimal(account_.sold) - decimal(account_.forfeited) -
                           decimal(account_.taken);
    window_->setText(lf::kBalance, hasRecord_ ? daysText(balance) : std::string());
    window_->setText(lf::kAvailable,
                     hasRecord_ ? daysText(balance - decimal(account_.booked)) : std::string());
}

void LEAVEFRM::showColumns() {
    std::string headings;
    for (const lf::Column& column : columnsOf(view_)) {
        if (!headings.empty())
            headings += '\t';
        headings += column.title;
    }
    window_->setText(lf::kColumns, headings);
}

void LEAVEFRM::showRows(std::int32_t selectId) {
    window_->clearItems(lf::kList);
    int selected = -1;
    const auto add = [&](const std::string& text, std::int32_t id) {
        const int row = window_->addItem(lf::kList, text, id);
        if (id == selectId)
            selected = row;
    };
    if (view_ == ANNUAL_LEAVE_VIEW) {
        for (const LEAVEROW& row : events_)
            add(common::formatDate(row.date) + '\t' + kindText(row.kind) + '\t' +
                    daysText(row.days),
                row.id);
    } else {
        for (const ABSENCEROW& row : absences_)
            add(common::formatDate(row.fromDate) + '\t' + common::formatDate(row.toDate) + '\t' +
                    daysText(row.days) + '\t' + row.reason,
                row.id);
    }
    window_->selectRow(lf::kList, selected);
}

void LEAVEFRM::displayRecord() {
    if (window_->itemCount(lf::kView) != static_cast<int>(std::size(lf::kViewNames))) {
        window_->clearItems(lf::kView);
        for (std::size_t v = 0; v < std::size(lf::kViewNames); ++v)
            window_->addItem(lf::kView, lf::kViewNames[v], static_cast<long>(v));
    }
    window_->selectRow(lf::kView, static_cast<int>(view_));
    showColumns();
    showStatus();
    showAccount();
    showRows(0);
}

std::int32_t LEAVEFRM::selectedId() const {
    const int row = window_->selectedRow(lf::kList);
    return row < 0 ? 0 : static_cast<std::int32_t>(window_->itemCode(lf::kList, row));
}

// Views

void LEAVEFRM::setView(LEAVEVIEW view) {
    view_ = view;
    loadRows(absences_, events_, account_);
    displayRecord();
}

void LEAVEFRM::switchView() {
    const int row = window_->selectedRow(lf::kView);
    if (row < 0)
        return;
    const long view = window_->itemCode(lf::kView, row);
    if (view < ABSENCE_VIEW || view > LEAVE_BOOKED_VIEW)
        return;
    setView(static_cast<LEAVEVIEW>(view));
}

bool LEAVEFRM::pageUp() {
    if (view_ == ABSENCE_VIEW) {
        ui_.beep();
        return false;
    }
    setView(static_cast<LEAVEVIEW>(view_ - 1));
    return true;
}

bool LEAVEFRM::pageDown() {
    if (view_ == LEAVE_BOOKED_VIEW) {
        ui_.beep();
        return false;
    }
    setView(static_cast<LEAVEVIEW>(view_ + 1));
    return true;
}

// Other users

bool LEAVEFRM::refreshRecord() {
    if (!staff_.isOpen())
        return false;
    engine::Data4& table = *staff_.data();
    table.refresh();
    if (!hasRecord_) {
        // An empty file may have gained its first employee.
        if (table.top() != engine::r4success || table.eof() || !readCurrent())
            return false;
        displayRecord();
        return true;
    }
    STATICREC now;
    const bool there =
        table.go(recNo_) == engine::r4success && !table.deleted() && staff_.initRec(now) &&
        common::equalsIgnoreCase(common::trim(now.empNum), common::trim(rec_.empNum));
    if (!there) {
        const long moved = staff_.recNum(rec_.empNum);
        if (moved == 0 || table.go(moved) != engine::r4success) {
            ui_.information("This employee has been deleted by another user.");
            hasRecord_ = false;
            if (table.top() == engine::r4success && !table.eof())
                readCurrent();
            else
                loadRows(absences_, events_, account_);
            displayRecord();
            return true;
        }
        readCurrent();
        displayRecord();
        return true;
    }
    const STATICREC before = rec_;
    rec_ = now;
    std::vector<ABSENCEROW> absences;
    std::vector<LEAVEROW> events;
    LEAVEREC account;
    loadRows(absences, events, account);
    recNo_ = table.recNo();
    if (before == rec_ && sameRows(absences, absences_) && sameRows(events, events_) &&
        sameAccount(account, account_))
        return false;
    const std::int32_t keep = selectedId();
    absences_ = std::move(absences);
    events_ = std::move(events);
    account_ = std::move(account);
    showStatus();
    showAccount();
    showRows(keep);
    return true;
}

void LEAVEFRM::afterChange(std::int32_t selectId) {
    changed_ = true;
    reshow(selectId);
}

void LEAVEFRM::reshow(std::int32_t selectId) {
    loadRows(absences_, events_, account_);
    showStatus();
    showAccount();
    showRows(selectId);
}

// Moving

bool LEAVEFRM::moveAndShow(int rc) {
    engine::Data4& table = *staff_.data();
    if (rc != engine::r4success || table.eof() || table.bof()) {
        table.go(recNo_);
        ui_.beep();
        return false;
    }
    readCurrent();
    displayRecord();
    return true;
}

bool LEAVEFRM::nextRecord() {
    if (!hasRecord_) {
        ui_.beep();
        return false;
    }
    staff_.data()->go(recNo_);
    return moveAndShow(staff_.data()->skip(1));
}

bool LEAVEFRM::previousRecord() {
    if (!hasRecord_) {
        ui_.beep();
        return false;
    }
    staff_.data()->go(recNo_);
    return moveAndShow(staff_.data()->skip(-1));
}

bool LEAVEFRM::moveToEnd(bool last) {
    if (!staff_.isOpen())
        return false;
    engine::Data4& table = *staff_.data();
    const int rc = last ? table.bottom() : table.top();
    if (rc != engine::r4success || table.eof())
        return false;
    readCurrent();
    displayRecord();
    return true;
}

bool LEAVEFRM::firstRecord() {
    return moveToEnd(false);
}

bool LEAVEFRM::lastRecord() {
    return moveToEnd(true);
}

bool LEAVEFRM::showFound(long recNo) {
    engine::Data4& table = *staff_.data();
    if (recNo < 1 || recNo > table.recCount() || table.go(recNo) != engine::r4success ||
        table.deleted()) {
        if (hasRecord_)
            table.go(recNo_);
        ui_.information("Record not found.");
        return false;
    }
    readCurrent();
    displayRecord();
    return true;
}

bool LEAVEFRM::findEmpNum(const std::string& empNum) {
    if (!staff_.isOpen())
        return false;
    return showFound(common::trim(empNum).empty() ? 0 : staff_.recNum(empNum));
}

bool LEAVEFRM::findName(const std::string& lastName) {
    if (!staff_.isOpen())
        return false;
    const std::string wanted = common::toUpper(common::trim(lastName));
    long found = 0;
    if (!wanted.empty()) {
        database::TablePlace place(staff_.data());
        staff_.orderByName();
        // The name tag holds last name then other names: the first key that
        // starts with the last name is the first such employee.
        if (staff_.data()->seek(wanted) >= 0 && !staff_.data()->eof()) {
            STATICREC rec;
            staff_.initRec(rec);
            if (common::toUpper(common::trim(rec.lastName)).starts_with(wanted))
                found = staff_.data()->recNo();
        }
        code_.setErrorCode(0);
    }
    return showFound(found);
}

bool LEAVEFRM::gotoRec(long recNo) {
    return staff_.isOpen() && showFound(recNo);
}

bool LEAVEFRM::saveCurrentRec() {
    if (!hasRecord_)
        return true;
    if (isReadOnly()) {
        ui_.information("The current record is read-only and cannot be saved.");
        return false;
    }
    changed_ = false;
    return true;
}

} // namespace kelo::staffrecords
