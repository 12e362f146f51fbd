#include "common/Calendar.h"
#include "common/DateText.h"
#include "common/Text.h"
#include "database/BanksDb.h"
#include "database/TableSupport.h"
#include "database/UnitsDb.h"
#include "staffrecords/FieldsRules.h"
#include "staffrecords/StatFrm.h"
#include "staffrecords/StatFrmControls.h"
#include "staffrecords/StatFrmLookups.h"

#include <charconv>
#include <cstdio>

namespace kelo::staffrecords {

using common::DialogView;
using common::STATICREC;
using database::PERSONNELREC;

namespace {

// A part of the birth date: empty is "not given" (0); anything else must be
// a number.
bool readPart(const DialogView& dlg, const char* control, int& value) {
    const std::string text = common::trim(dlg.text(control));
    value = 0;
    if (text.empty())
        return true;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value > 0;
}

bool refuseIn(common::Ui& ui, DialogView& dlg, const char* control, const std::string& text) {
    ui.information(text);
    dlg.setFocus(control);
    return false;
}

std::string namesOf(const STATICREC& rec) {
    return rec.lastName + ", " + rec.otherNames;
}

} // namespace

// The new employee's number.
bool STATFRM::getNewEmpNum(DialogView& dlg, std::string& number) {
    const std::string wanted(
        common::fitText(common::trim(dlg.text(empnumdlg::kEmpNum)), common::employeeNumberWidth));
    if (wanted.empty())
        return refuseIn(ui_, dlg, empnumdlg::kEmpNum, blankMessage("Employee Number"));
    if (recNum(wanted) != 0)
        return refuseIn(ui_, dlg, empnumdlg::kEmpNum, kNumberTakenText);
    number = wanted;
    return true;
}

// Birth date.
void STATFRM::initBDateDlg(DialogView& dlg) const {
    const common::date& born = personnel_.birthDate;
    const auto part = [](int value) { return value == 0 ? std::string() : std::to_string(value); };
    dlg.setText(bdatedlg::kDay, part(born.day));
    dlg.setText(bdatedlg::kMonth, part(born.month));
    dlg.setText(bdatedlg::kYear, part(born.year));
    dlg.setTextLimit(bdatedlg::kDay, 2);
    dlg.setTextLimit(bdatedlg::kMonth, 2);
    dlg.setTextLimit(bdatedlg::kYear, 4);
    dlg.setFocus(bdatedlg::kDay);
}

bool STATFRM::closeBDateDlg(DialogView& dlg) {
    int day = 0, month = 0, year = 0;
    if (!readPart(dlg, bdatedlg::kYear, year) || (year != 0 && (year < 1900 || year > 3000)))
        return refuseIn(ui_, dlg, bdatedlg::kYear, "Entry for year field is invalid.");
    if (!readPart(dlg, bdatedlg::kMonth, month) || month > 12)
        return refuseIn(ui_, dlg, bdatedlg::kMonth, "Entry for month field is invalid.");
    const int longest = month == 0 ? 31 : common::daysInMonth(month, year == 0 ? 2000 : year);
    if (!readPart(dlg, bdatedlg::kDay, day) || day > longest)
        return refuseIn(ui_, dlg, bdatedlg::kDay, "Entry for day field is invalid.");
    if (month != 0 && year == 0)
        return refuseIn(ui_, dlg, bdatedlg::kYear, "Can't have a month without a year.");
    if (day != 0 && month == 0)
        return refuseIn(ui_, dlg, bdatedlg::kMonth, "Can't have a day without a month.");
    readPage();
    personnel_.birthDate =
        common::date{year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
    displayPage();
    return true;
}

// The units tree of the post and supervisor dialogs.
void STATFRM::fillUnitTree(DialogView& dlg, const char* control, long select) {
    database::UNITSDB units(code(), folder());
    if (units.openFile(false))
        units.displayUnits(dlg, control);
    code().setErrorCode(0);
    if (select == 0 || !database::UNITSDB::selectUnit(dlg, control, select)) {
        const auto top = dlg.treeChildren(control, DialogView::kRoot);
        if (!top.empty())
            dlg.selectTreeItem(control, top.front());
    }
}

// Post.
bool STATFRM::initSelPostDlg(DialogView& dlg) {
    if (!hasRecord_ || isReadOnly())
        return false;
    readPage();
    dlg.setCaption("Assign new post to " + namesOf(rec_));
    // Read once for the dialog's life; OK checks the chosen post afresh.
    postVacancies_ = vacantPosts();
    fillUnitTree(dlg, postdlg::kUnits, personnel_.unit);
    updateSelPostDlg(dlg);
    return true;
}

void STATFRM::updateSelPostDlg(DialogView& dlg) {
    const long unit = database::UNITSDB::getSelUnitCode(dlg, postdlg::kUnits);
    const int keep = dlg.selectedRow(postdlg::kPosts);
    const long keepJob = keep < 0 ? personnel_.job : dlg.itemCode(postdlg::kPosts, keep);
    dlg.clearItems(postdlg::kPosts);
    int selected = -1;
    for (const auto& [post, free] : postVacancies_) {
        if (post.first != unit)
            continue;
        const database::JOBREC* job = lookups_->job(post.second);
        const std::string title = job ? job->title : std::to_string(post.second);
        const int row = dlg.addItem(postdlg::kPosts,
                                    title + " (" + std::to_string(free) + " vacant)", post.second);
        if (post.second == keepJob)
            selected = row;
    }
    dlg.selectRow(postdlg::kPosts, selected);
}

bool STATFRM::closeSelPostDlg(DialogView& dlg) {
    const long unit = database::UNITSDB::getSelUnitCode(dlg, postdlg::kUnits);
    const int row = dlg.selectedRow(postdlg::kPosts);
    if (unit == 0 || row < 0)
        return refuseIn(ui_, dlg, postdlg::kPosts, "Please select a post.");
    const long job = dlg.itemCode(postdlg::kPosts, row);
    const bool same = unit == personnel_.unit && job == personnel_.job && !isNew_;
    if (!same && vacancies(unit, job) <= 0)
        return refuseIn(ui_, dlg, postdlg::kPosts, kNoVacancyInPostText);
    personnel_.unit = static_cast<std::int32_t>(unit);
    personnel_.job = static_cast<std::int32_t>(job);
    const database::JOBREC* rec = lookups_->job(job);
    personnel_.grade = rec ? static_cast<std::int32_t>(rec->gradeCode) : 0;
    displayPage();
    return true;
}

// Supervisor.
std::string STATFRM::supervisorText() {
    if (personnel_.supervisor.empty())
        return "(None)";
    database::TablePlace place(data());
    const long row = recNum(personnel_.supervisor);
    STATICREC boss;
    if (row == 0 || data()->go(row) != engine::r4success || !initRec(boss))
        return personnel_.supervisor;
    return namesOf(boss);
}

bool STATFRM::initSupervisorDlg(DialogView& dlg) {
    if (!hasRecord_ || isReadOnly())
        return false;
    readPage();
    long unit = personnel_.unit;
    if (!personnel_.supervisor.empty()) {
        database::TablePlace place(data());
        const long row = recNum(personnel_.supervisor);
        PERSONNELREC boss;
        if (row != 0 && data()->go(row) == engine::r4success && initRec(boss))
            unit = boss.unit;
    }
    fillUnitTree(dlg, supervisordlg::kUnits, unit);
    updateSupervisorDlg(dlg);
    return true;
}

void STATFRM::updateSupervisorDlg(DialogView& dlg) {
    const long unit = database::UNITSDB::getSelUnitCode(dlg, supervisordlg::kUnits);
    dlg.clearItems(supervisordlg::kEmployees);
    supervisorRows_.assign(1, std::string());
    dlg.addItem(supervisordlg::kEmployees, "(None)");
    int selected = personnel_.supervisor.empty() ? 0 : -1;
    database::TablePlace place(data());
    orderByName();
    for (int rc = data()->top(); rc == engine::r4success && !data()->eof(); rc = data()->skip()) {
        STATICREC rec;
        PERSONNELREC personnel;
        if (data()->deleted() || !initRec(rec) || !initRec(personnel) || rec.separated ||
            personnel.unit != unit || common::equalsIgnoreCase(rec.empNum, rec_.empNum))
            continue;
        const int row = dlg.addItem(supervisordlg::kEmployees, rec.empNum + "\t" + namesOf(rec),
                                    static_cast<long>(supervisorRows_.size()));
        supervisorRows_.push_back(rec.empNum);
        if (common::equalsIgnoreCase(rec.empNum, personnel_.supervisor))
            selected = row;
    }
    dlg.selectRow(supervisordlg::kEmployees, selected);
}

bool STATFRM::closeSupervisorDlg(DialogView& dlg) {
    const int row = dlg.selectedRow(supervisordlg::kEmployees);
    const long index = row < 0 ? -1 : dlg.itemCode(supervisordlg::kEmployees, row);
    if (index < 0 || index >= static_cast<long>(supervisorRows_.size()))
        return refuseIn(ui_, dlg, supervisordlg::kEmployees, "Please select a supervisor.");
    const std::string chosen = supervisorRows_[static_cast<std::size_t>(index)];
    if (!chosen.empty()) {
        PERSONNELREC boss;
        {
            database::TablePlace place(data());
            const long at = recNum(chosen);
            if (at == 0 || data()->go(at) != engine::r4success || !initRec(boss))
                return refuseIn(ui_, dlg, supervisordlg::kEmployees, "Record not found.");
        }
        const auto rankOf = [&](long job) {
            const auto grade = gradeOf(job);
            return grade ? grade->rank : 0;
        };
        const int bossRank = rankOf(boss.job), ownRank = rankOf(personnel_.job);
        if (bossRank > ownRank && ownRank != 0) {
            char text[200];
            std::snprintf(text, sizeof text,
                          "The selected supervisor (rank %d) is not as senior as the current "
                          "employee (rank %d). Are you sure you want to continue?",
                          bossRank, ownRank);
            if (!ui_.ask(text, common::Answer::No))
                return false;
        }
    }
    personnel_.supervisor = chosen;
    displayPage();
    return true;
}

// Bank and branch.
bool STATFRM::initSelBankDlg(DialogView& dlg) {
    if (!hasRecord_ || isReadOnly())
        return false;
    readPage();
    database::BANKSDB banks(code(), folder());
    if (!banks.openFiles()) {
        code().setErrorCode(0);
        ui_.error("Can't open the banks file");
        return false;
    }
    dlg.clearItems(bankdlg::kBanks);
    for (const std::string& name : banks.bankNames())
        dlg.addItem(bankdlg::kBanks, name);
    dlg.selectRow(bankdlg::kBanks, dlg.findItem(bankdlg::kBanks, rec_.bankName));
    updateSelBankDlg(dlg);
    dlg.selectRow(bankdlg::kBranches, dlg.findItem(bankdlg::kBranches, rec_.branchName));
    return true;
}

void STATFRM::updateSelBankDlg(DialogView& dlg) {
    dlg.clearItems(bankdlg::kBranches);
    const int row = dlg.selectedRow(bankdlg::kBanks);
    if (row < 0)
        return;
    database::BANKSDB banks(code(), folder());
    if (!banks.openFiles()) {
        code().setErrorCode(0);
        return;
    }
    for (const std::string& name : banks.branchNames(dlg.itemText(bankdlg::kBanks, row)))
        dlg.addItem(bankdlg::kBranches, name);
}

bool STATFRM::closeSelBankDlg(DialogView& dlg) {
    const int bank = dlg.selectedRow(bankdlg::kBanks);
    if (bank < 0)
        return refuseIn(ui_, dlg, bankdlg::kBanks, "Please select a bank.");
    const int branch = dlg.selectedRow(bankdlg::kBranches);
    if (branch < 0)
        return refuseIn(ui_, dlg, bankdlg::kBranches, "Please select a branch.");
    rec_.bankName = std::string(common::fitText(dlg.itemText(bankdlg::kBanks, bank), 24));
    rec_.branchName = std::string(common::fitText(dlg.itemText(bankdlg::kBranches, branch), 24));
    displayPage();
    return true;
}

// Termination.
std::string STATFRM::terminateMenuText() const {
    return hasRecord_ && rec_.terminated ? "&Undo Termination" : "&Terminate...";
}

bool STATFRM::mayTerminateOrUndo() const {
    return hasRecord_ && !isNew_ && !rec_.separated;
}

bool STATFRM::initTerminateDlg(DialogView& dlg) {
    if (!mayTerminateOrUndo() || rec_.terminated || !saveCurrentRec())
        return false;
    beforeTermination_ = rec_;
    dlg.setCaption("Terminate " + namesOf(rec_));
    dlg.setText(terminatedlg::kDate, common::formatDate(common::date::today()));
    dlg.clearItems(terminatedlg::kReason);
    for (const std::string& reason : statfrmlists::kTerminationReasons)
        dlg.addItem(terminatedlg::kReason, reason);
    dlg.selectRow(terminatedlg::kReason, -1);
    dlg.setText(terminatedlg::kComment, {});
    dlg.setTextLimit(terminatedlg::kComment, 199);
    dlg.setFocus(terminatedlg::kDate);
    return true;
}

bool STATFRM::closeTerminateDlg(DialogView& dlg) {
    common::date when;
    if (!common::parseDate(dlg.text(terminatedlg::kDate), when) || when == common::date{})
        return refuseIn(ui_, dlg, terminatedlg::kDate, invalidMessage("Termination Date"));
    const int row = dlg.selectedRow(terminatedlg::kReason);
    const std::string reason = row < 0 ? std::string() : dlg.itemText(terminatedlg::kReason, row);
    if (const StaffFault fault = checkTermination(rec_, when, reason))
        return refuseIn(ui_, dlg,
                        fault->field == "terminationDate" ? terminatedlg::kDate
                                                          : terminatedlg::kReason,
                        fault->message);
    rec_.terminated = 1;
    rec_.separated = 0;
    rec_.terminationDate = when;
    rec_.terminationReason = std::string(common::fitText(reason, 24));
    rec_.terminationComment =
        std::string(common::fitText(common::trim(dlg.text(terminatedlg::kComment)), 199));
    if (!saveCurrentRec()) {
        rec_ = beforeTermination_;
        return false;
    }
    return true;
}

void STATFRM::cancelTerminateDlg() {
    rec_ = beforeTermination_;
    displayPage();
}

bool STATFRM::undoTerminate() {
    if (!mayTerminateOrUndo() || !rec_.terminated)
        return false;
    if (!ui_.ask("Are you sure you want to reverse the termination of this employee?"))
        return false;
    if (!saveCurrentRec())
        return false;
    const STATICREC before = rec_;
    rec_.terminated = 0;
    rec_.separated = 0;
    rec_.terminationDate = common::date{};
    rec_.terminationReason.clear();
    rec_.terminationComment.clear();
    if (!saveCurrentRec()) {
        rec_ = before;
        displayPage();
        return false;
    }
    return true;
}

} // namespace kelo::staffrecords
