#include "staffrecords/StatFrm.h"

#include "common/OrgRecords.h"
#include "common/Text.h"
#include "database/AbsenceDb.h"
#include "database/CoopsDb.h"
#include "database/DbTable.h"
#include "database/LeaveDb.h"
#include "database/PayGroupDb.h"
#include "database/PensionsDb.h"
#include "database/StationsDb.h"
#include "database/TableSupport.h"
#include "staffrecords/EmployeeFiles.h"
#include "staffrecords/StatFrmLookups.h"

#include <filesystem>
#include <map>
#include <set>
#include <utility>

namespace kelo::staffrecords {

using common::STATICREC;
using database::PERSONNELREC;

namespace {

// A new employee's starting values: the organisation's current payroll, a
// 45-hour week, the statutory 28 days of leave, PAYE and NSSF deducted.
STATICREC newEmployee(const common::ORGREC& org, const std::string& number) {
    STATICREC rec;
    rec.empNum = number;
    rec.nationality = "Tanzanian";
    rec.startDate = common::date::today();
    rec.leaveEntitlement = 28;
    rec.payFreq = org.payFreq;
    rec.hoursPerDay = 8;
    rec.hoursPerMonth = 195;
    rec.payeApplies = 1;
    rec.nssfMember = 1;
    return rec;
}

// What the transactions record copies from the master record.
bool samePayrollFields(const STATICREC& a, const STATICREC& b) {
    return a.lastName == b.lastName && a.otherNames == b.otherNames && a.payFreq == b.payFreq &&
           a.payMethod == b.payMethod && a.payBasis == b.payBasis && a.salary == b.salary &&
           a.dailyRate == b.dailyRate && a.hourlyRate == b.hourlyRate &&
           a.hoursPerDay == b.hoursPerDay && a.hoursPerMonth == b.hoursPerMonth &&
           a.timeBasis == b.timeBasis && a.overtimeEligible == b.overtimeEligible &&
           a.normalOvertimeRate == b.normalOvertimeRate &&
           a.doubleOvertimeRate == b.doubleOvertimeRate && a.housed == b.housed &&
           a.housingValue == b.housingValue && a.housingExpense == b.housingExpense &&
           a.rent == b.rent && a.payeApplies == b.payeApplies &&
           a.useTopTaxRate == b.useTopTaxRate && a.nssfMember == b.nssfMember &&
           a.coop1 == b.coop1 && a.coop2 == b.coop2 && a.pensionFund1 == b.pensionFund1 &&
           a.pensionFund2 == b.pensionFund2 && a.terminated == b.terminated &&
           a.separated == b.separated;
}

template <typename Table>
bool readList(engine::Code4& code, const common::WorkingFolder& folder,
              std::vector<database::LookupEntry>& out) {
    auto rows = Table(code, folder).entriesByName();
    if (rows)
        out = std::move(*rows);
    return rows.has_value();
}

} // namespace

STATFRM::STATFRM(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder)
    : STATDB(code, folder),
      ui_(ui),
      lookups_(std::make_unique<Lookups>()) {}

STATFRM::~STATFRM() = default;

bool STATFRM::checkFiles(DB db) {
    if (!database::allValid(ui_, code(), folder(),
                            {kPath, database::GRADESDB::kPath, database::JOBSDB::kPath,
                             database::POSTSDB::kPath, database::UNITSDB::kPath,
                             database::STATIONSDB::kPath, database::PAYGROUPDB::kPath,
                             database::COOPSDB::kPath, database::PENSIONSDB::kPath,
                             database::ABSENCEDB::kPath, database::LEAVEDB::kPath}))
        return false;
    for (common::PAYFREQ payFreq : common::kPayFreqs) {
        const std::string path(common::transactionsTablePath(payFreq));
        if (!database::isValid(code(), folder(), path)) {
            ui_.error("Can't open " + path);
            return false;
        }
    }
    for (common::PAYFREQ payFreq : common::kPayFreqs) {
        const std::string path(common::payFieldDefinitionsPath(payFreq));
        std::error_code error;
        if (!std::filesystem::is_regular_file(folder().resolve(path), error)) {
            ui_.error("Can't open " + path);
            return false;
        }
    }
    if (!database::hasData(ui_, code(), folder(), database::GRADESDB::kPath, "Job Grades") ||
        !database::hasData(ui_, code(), folder(), database::STATIONSDB::kPath, "Stations"))
        return false;
    return db != PAYROLL_MASTER_FILE ||
           database::hasData(ui_, code(), folder(), kPath, "Employee Master");
}

bool STATFRM::loadLookups() {
    Lookups fresh;
    database::UNITSDB units(code(), folder());
    database::JOBSDB jobs(code(), folder());
    database::GRADESDB grades(code(), folder());
    if (!readList<database::STATIONSDB>(code(), folder(), fresh.stations) ||
        !readList<database::PAYGROUPDB>(code(), folder(), fresh.payGroups) ||
        !readList<database::COOPSDB>(code(), folder(), fresh.coops) ||
        !readList<database::PENSIONSDB>(code(), folder(), fresh.funds) || !units.openFile() ||
        !jobs.openFile() || !grades.openFile())
        return false;
    fresh.units = units.units();
    for (const database::LookupEntry& entry : jobs.entries()) {
        database::JOBREC job;
        if (jobs.getJobRec(entry.code, job))
            fresh.jobs[entry.code] = job;
    }
    for (const database::LookupEntry& entry : grades.entries()) {
        database::GRADEREC grade;
        if (grades.getGradeRec(entry.code, grade))
            fresh.grades[entry.code] = grade;
    }
    *lookups_ = std::move(fresh);
    return true;
}

bool STATFRM::open(DB db, const common::ORGREC& org) {
    db_ = db;
    org_ = org;
    // A page left from an earlier open would be read into the new record.
    clearPage();
    if (!loadLookups() || !openFile(false)) {
        const std::string text = database::openFailureText(code(), kPath);
        code().setErrorCode(0);
        ui_.error(text);
        closeFile();
        return false;
    }
    if (!orderFile(org.formSortKey))
        orderByEmpNum();
    hasRecord_ = false;
    isNew_ = false;
    if (data()->top() == engine::r4success && !data()->eof())
        readCurrent();
    return true;
}

bool STATFRM::close() {
    if (!saveCurrentRec())
        return false;
    closeFile();
    hasRecord_ = false;
    return true;
}

bool STATFRM::readCurrent() {
    STATICREC rec;
    PERSONNELREC personnel;
    if (!initRec(rec) || !initRec(personnel))
        return false;
    rec_ = stored_ = std::move(rec);
    personnel_ = storedPersonnel_ = std::move(personnel);
    recNo_ = data()->recNo();
    hasRecord_ = true;
    isNew_ = false;
    return true;
}

std::string STATFRM::positionText() {
    if (!hasRecord_)
        return "No records";
    if (isNew_)
        return "New record";
    return "Record " + std::to_string(recNo_) + " of " + std::to_string(data()->recCount());
}

bool STATFRM::validateRec() {
    if (!hasRecord_ || isReadOnly())
        return true;
    const StaffFault fault = [&]() -> StaffFault {
        if (common::trim(rec_.empNum).empty())
            return checkRecord(rec_, postFacts());
        if (auto personal = checkPersonalDetails(rec_))
            return personal;
        if (personnel_.unit == 0 || personnel_.job == 0)
            return StaffRefusal{"This employee is not attached to any post.",
                                std::string(kPostField)};
        if (rec_.station == 0)
            return checkEmploymentDetails(rec_, postFacts());
        return std::nullopt;
    }();
    return !fault || refuse(*fault);
}

bool STATFRM::saveCurrentRec() {
    if (!hasRecord_)
        return true;
    if (isReadOnly()) {
        readPage();
        if (rec_ == stored_ && personnel_ == storedPersonnel_)
            return true;
        ui_.information("This record is read-only and cannot be saved.");
        return false;
    }
    if (!validatePage() || !validateRec())
        return false;
    if (!isNew_ && rec_ == stored_ && personnel_ == storedPersonnel_)
        return true;
    const STATICREC before = stored_;
    computeFields(rec_, personnel_);
    if (!(isNew_ ? storeNewRecord() : storeRecord()))
        return false;
    noteSaved(before);
    displayPage();
    return true;
}

void STATFRM::noteSaved(const STATICREC& before) {
    if (!samePayrollFields(before, rec_))
        payrollChanged_ = true;
}

bool STATFRM::storeRecord() {
    engine::Data4& table = *data();
    if (table.go(recNo_) != engine::r4success || table.lock(recNo_) != engine::r4success) {
        code().setErrorCode(0);
        ui_.warning("This employee's record is locked by another user. Try again later.");
        return false;
    }
    STATICREC now;
    PERSONNELREC nowPersonnel;
    initRec(now);
    initRec(nowPersonnel);
    if (table.deleted() || now != stored_ || nowPersonnel != storedPersonnel_) {
        table.unlock();
        ui_.warning("Another user has changed this employee's record since it was shown. Your "
                    "changes have not been saved: choose Undo to see the other user's changes, "
                    "then key yours again.");
        return false;
    }
    const bool written =
        updateFields(rec_, personnel_, false) && table.flush() == engine::r4success;
    table.unlock();
    if (!written) {
        code().setErrorCode(0);
        ui_.error("Can't update " + std::string(kPath));
        return false;
    }
    return readCurrent();
}

bool STATFRM::storeNewRecord() {
    if (recNum(rec_.empNum) != 0) {
        ui_.information(kNumberTakenText);
        return false;
    }
    if (!updateFields(rec_, personnel_, true) || data()->flush() != engine::r4success) {
        code().setErrorCode(0);
        data()->unlock();
        ui_.error("Can't update " + std::string(kPath));
        return false;
    }
    data()->unlock();
    const STATICREC added = rec_;
    readCurrent();
    // The master row stands even when these fail; the month end adds a
    // missing transactions record, and the user has been told.
    staffrecords::joinOtherFiles(ui_, code(), folder(), added, org_.year);
    payrollChanged_ = true;
    return true;
}

void STATFRM::undoCurrentRec() {
    if (!hasRecord_)
        return;
    if (isNew_) {
        isNew_ = false;
        hasRecord_ = false;
        if (returnRecNo_ != 0 && data()->go(returnRecNo_) == engine::r4success)
            readCurrent();
    } else if (data()->go(recNo_) == engine::r4success) {
        readCurrent();
    }
    displayRecord();
}

bool STATFRM::refreshRecord() {
    if (!isOpen() || !hasRecord_ || isNew_)
        return false;
    data()->refresh();
    STATICREC now;
    PERSONNELREC nowPersonnel;
    const bool there =
        data()->go(recNo_) == engine::r4success && !data()->deleted() && initRec(now) &&
        initRec(nowPersonnel) &&
        common::equalsIgnoreCase(common::trim(now.empNum), common::trim(stored_.empNum));
    if (there && now == stored_ && nowPersonnel == storedPersonnel_)
        return false;
    readPage();
    // Unsaved changes stay on the page; saving them is refused.
    if (there && (rec_ != stored_ || personnel_ != storedPersonnel_))
        return false;
    if (!there) {
        const long moved = recNum(stored_.empNum);
        const bool found = moved != 0 && data()->go(moved) == engine::r4success;
        if (!found && !(data()->top() == engine::r4success && !data()->eof())) {
            hasRecord_ = false;
            displayRecord();
            return true;
        }
        if (!found)
            ui_.information("This employee has been deleted by another user.");
    } else {
        data()->go(recNo_);
    }
    readCurrent();
    displayRecord();
    return true;
}

bool STATFRM::moveAndShow(int rc) {
    if (rc != engine::r4success || data()->eof() || data()->bof()) {
        data()->go(recNo_);
        ui_.beep();
        return false;
    }
    readCurrent();
    displayRecord();
    return true;
}

bool STATFRM::nextRecord() {
    if (!saveCurrentRec() || !hasRecord_)
        return false;
    data()->go(recNo_);
    return moveAndShow(data()->skip(1));
}

bool STATFRM::previousRecord() {
    if (!saveCurrentRec() || !hasRecord_)
        return false;
    data()->go(recNo_);
    return moveAndShow(data()->skip(-1));
}

bool STATFRM::moveToEnd(bool last) {
    if (!saveCurrentRec())
        return false;
    const int rc = last ? data()->bottom() : data()->top();
    if (rc != engine::r4success || data()->eof())
        return false;
    readCurrent();
    displayRecord();
    return true;
}

bool STATFRM::firstRecord() {
    return moveToEnd(false);
}

bool STATFRM::lastRecord() {
    return moveToEnd(true);
}

bool STATFRM::showFound(long recNo) {
    if (recNo < 1 || recNo > data()->recCount() || data()->go(recNo) != engine::r4success ||
        data()->deleted()) {
        if (hasRecord_)
            data()->go(recNo_);
        ui_.information("Record not found.");
        return false;
    }
    readCurrent();
    displayRecord();
    return true;
}

bool STATFRM::findEmpNum(const std::string& empNum) {
    if (!saveCurrentRec())
        return false;
    return showFound(common::trim(empNum).empty() ? 0 : recNum(empNum));
}

bool STATFRM::findName(const std::string& lastName) {
    if (!saveCurrentRec())
        return false;
    const std::string wanted = common::toUpper(common::trim(lastName));
    long found = 0;
    if (!wanted.empty()) {
        database::TablePlace place(data());
        orderByName();
        // The name tag holds last name then other names: the first key
        // that starts with the last name is the first such employee.
        if (data()->seek(wanted) >= 0 && !data()->eof()) {
            STATICREC rec;
            initRec(rec);
            if (common::toUpper(common::trim(rec.lastName)).starts_with(wanted))
                found = data()->recNo();
        }
    }
    return showFound(found);
}

bool STATFRM::gotoRec(long recNo) {
    return saveCurrentRec() && showFound(recNo);
}

bool STATFRM::isOKToAdd() {
    if (!saveCurrentRec())
        return false;
    if (!postVacancies().anyVacant()) {
        ui_.information(kNoVacantPostsText);
        return false;
    }
    return true;
}

bool STATFRM::appendNewRec(const common::ORGREC& org, const std::string& number) {
    if (!saveCurrentRec())
        return false;
    org_ = org;
    returnRecNo_ = hasRecord_ ? recNo_ : 0;
    rec_ = newEmployee(org, common::trim(number));
    personnel_ = PERSONNELREC{};
    stored_ = rec_;
    storedPersonnel_ = personnel_;
    recNo_ = 0;
    hasRecord_ = true;
    isNew_ = true;
    displayRecord();
    return true;
}

bool STATFRM::openForAdding() {
    if (!isOpen() && !openFile(false)) {
        const std::string text = database::openFailureText(code(), kPath);
        code().setErrorCode(0);
        ui_.error(text);
        return false;
    }
    if (lookups_->grades.empty() && !loadLookups()) {
        ui_.error("Can't open the organisation's lists");
        return false;
    }
    return true;
}

StaffFault STATFRM::prepareNewEmployee(STATICREC& rec, PERSONNELREC& personnel) {
    rec.empNum = common::trim(rec.empNum);
    // The checks read the grade of the wanted post and frequency.
    if (StaffFault fault = checkRecord(rec, postFactsOf(rec, personnel)))
        return fault;
    const database::JOBREC* job = lookups_->job(personnel.job);
    if (job)
        personnel.grade = static_cast<std::int32_t>(job->gradeCode);
    computeFields(rec, personnel);
    return std::nullopt;
}

bool STATFRM::addEmployee(const common::ORGREC& org, const STATICREC& rec,
                          const PERSONNELREC& personnel) {
    if (!openForAdding())
        return false;
    STATICREC wanted = rec;
    PERSONNELREC wantedPersonnel = personnel;
    if (const StaffFault fault = prepareNewEmployee(wanted, wantedPersonnel))
        return refuse(*fault);
    if (recNum(wanted.empNum) != 0) {
        ui_.information(kNumberTakenText);
        return false;
    }
    if (const StaffFault fault =
            checkVacancy(postVacancies(), wantedPersonnel.unit, wantedPersonnel.job))
        return refuse(*fault);
    org_ = org;
    rec_ = wanted;
    personnel_ = wantedPersonnel;
    isNew_ = true;
    hasRecord_ = true;
    return storeNewRecord();
}

bool STATFRM::addEmployees(const common::ORGREC& org, std::vector<NewEmployee> employees,
                           const char* lockedText, std::size_t& refused) {
    refused = employees.size();
    if (!openForAdding())
        return false;
    for (std::size_t i = 0; i < employees.size(); ++i) {
        if (const StaffFault fault = prepareNewEmployee(employees[i].rec, employees[i].personnel)) {
            refused = i;
            return refuse(*fault);
        }
    }
    // Read under the locks, so that no other user's employee slips in
    // between the checks and the writes.
    const auto check = [&] {
        std::set<std::string> numbers;
        {
            database::TablePlace place(data());
            numbers = database::liveKeys(*data(), field(kEmpNum), [](std::string_view empNum) {
                return common::employeeKey(common::trim(empNum));
            });
        }
        PostVacancies posts = postVacancies();
        for (std::size_t i = 0; i < employees.size(); ++i) {
            const NewEmployee& employee = employees[i];
            refused = i;
            if (!numbers.insert(common::employeeKey(employee.rec.empNum)).second) {
                ui_.information(kNumberTakenText);
                return false;
            }
            const PERSONNELREC& p = employee.personnel;
            if (const StaffFault fault = checkVacancy(posts, p.unit, p.job))
                return refuse(*fault);
            if (!employee.rec.separated)
                posts.addHolder(p.unit, p.job, p.terms);
        }
        refused = employees.size();
        return true;
    };
    if (!addEmployeeFiles(ui_, *this, employees, org.year, check, lockedText))
        return false;
    org_ = org;
    payrollChanged_ = true;
    return true;
}

bool STATFRM::deleteRec(std::string& empNum, common::PAYFREQ& payFreq) {
    if (!hasRecord_)
        return false;
    if (isReadOnly()) {
        ui_.information("This record is read-only and cannot be deleted.");
        return false;
    }
    if (!ui_.ask("Are you sure you want to delete this record?", common::Answer::No))
        return false;
    if (isNew_) {
        undoCurrentRec();
        return false;
    }
    // The employee that takes this one's place in the form's order.
    std::string neighbour;
    data()->go(recNo_);
    if (data()->skip(1) == engine::r4success && !data()->eof()) {
        STATICREC next;
        initRec(next);
        neighbour = next.empNum;
    } else if (data()->go(recNo_) == engine::r4success && data()->skip(-1) == engine::r4success &&
               !data()->bof()) {
        STATICREC previous;
        initRec(previous);
        neighbour = previous.empNum;
    }
    data()->go(recNo_);
    const STATICREC doomed = stored_;
    if (!removeEmployee(ui_, *this, doomed.empNum, doomed.payFreq))
        return false;
    empNum = doomed.empNum;
    payFreq = doomed.payFreq;
    payrollChanged_ = false;
    hasRecord_ = false;
    const long next = neighbour.empty() ? 0 : recNum(neighbour);
    if (next != 0 && data()->go(next) == engine::r4success)
        readCurrent();
    displayRecord();
    return true;
}

PostVacancies STATFRM::postVacancies() {
    // Posts that cannot be read have no free place.
    return readPostVacancies(*this).value_or(PostVacancies{});
}

std::map<std::pair<long, long>, long> STATFRM::vacantPosts() {
    return postVacancies().all();
}

long STATFRM::vacancies(long unit, long job) {
    return postVacancies().vacancies(unit, job);
}

PostFacts STATFRM::postFacts() {
    return postFactsOf(rec_, personnel_);
}

PostFacts STATFRM::postFactsOf(const STATICREC& rec, const PERSONNELREC& personnel) {
    PostFacts facts;
    facts.attached = personnel.unit != 0 && personnel.job != 0;
    if (const auto grade = gradeOf(personnel.job))
        facts.grade = salaryRangeOf(*grade, rec.payFreq);
    return facts;
}

std::optional<database::GRADEREC> STATFRM::gradeOf(long job) {
    const database::JOBREC* rec = lookups_->job(job);
    const database::GRADEREC* grade = rec ? lookups_->grade(rec->gradeCode) : nullptr;
    if (!grade)
        return std::nullopt;
    return *grade;
}

} // namespace kelo::staffrecords
