#include "database/StaticDb.h"

#include "common/Calendar.h"
#include "common/Money.h"
#include "common/Text.h"
#include "database/JobsDb.h"
#include "database/RecordColumns.h"
#include "database/TableSupport.h"
#include "database/TableUse.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kelo::database {

namespace {

using common::STATICREC;
using namespace columns;
using S = STATICREC;
using SW = common::StaticWidths;
using P = PERSONNELREC;
using PW = PersonnelWidths;

const std::vector<Column<S>>& staticColumns() {
    static const std::vector<Column<S>> list{
        text<S, &S::empNum>(STATDB::kEmpNum, SW::kEmpNumWidth),
        text<S, &S::idNum>("IDNO", SW::kIdNumWidth),
        text<S, &S::lastName>("LASTNAME", SW::kLastNameWidth),
        text<S, &S::otherNames>("OTHERNAMES", SW::kOtherNamesWidth),
        text<S, &S::title>("TITLE", SW::kTitleWidth),
        text<S, &S::gender>("GENDER", SW::kGenderWidth),
        text<S, &S::maritalStatus>("MARITAL", SW::kMaritalStatusWidth),
        text<S, &S::nationality>("NATIONAL", SW::kNationalityWidth),
        integer<S, &S::station>("STATION"),
        dateColumn<S, &S::startDate>("STARTDATE"),
        decimal<S, &S::leaveEntitlement>("LEAVEDAYS"),
        text<S, &S::office>("OFFICE", SW::kOfficeWidth),
        text<S, &S::officePhone>("OFFICEPHON", SW::kOfficePhoneWidth),
        text<S, &S::email>("EMAIL", SW::kEmailWidth),
        text<S, &S::homePhone>("HOMEPHONE", SW::kHomePhoneWidth),
        text<S, &S::mobile>("MOBILE", SW::kMobileWidth),
        text<S, &S::poBox>("POBOX", SW::kPoBoxWidth),
        text<S, &S::town>("TOWN", SW::kTownWidth),
        text<S, &S::postCode>("POSTCODE", SW::kPostCodeWidth),
        element<S, &S::residentialAddress, 0>("RESADDR1", 'C', SW::kResidentialAddressWidth),
        element<S, &S::residentialAddress, 1>("RESADDR2", 'C', SW::kResidentialAddressWidth),
        element<S, &S::residentialAddress, 2>("RESADDR3", 'C', SW::kResidentialAddressWidth),
        element<S, &S::residentialAddress, 3>("RESADDR4", 'C', SW::kResidentialAddressWidth),
        flag<S, &S::terminated>("TERMINATED"),
        dateColumn<S, &S::terminationDate>("TERMDATE"),
        text<S, &S::terminationReason>("TERMREASON", SW::kTerminationReasonWidth),
        text<S, &S::terminationComment>("TERMCOMMNT", SW::kTerminationCommentWidth),
        flag<S, &S::separated>("SEPARATED"),
        integer<S, &S::payFreq>("PAYFREQ"),
        integer<S, &S::payMethod>("PAYMETHOD"),
        text<S, &S::bankName>("BANKNAME", SW::kBankNameWidth),
        text<S, &S::branchName>("BRANCHNAME", SW::kBranchNameWidth),
        text<S, &S::accountNum>("ACCOUNTNO", SW::kAccountNumWidth),
        integer<S, &S::payBasis>("PAYBASIS"),
        money<S, &S::salary>("SALARY"),
        money<S, &S::hourlyRate>("HOURLYRATE"),
        money<S, &S::dailyRate>("DAILYRATE"),
        decimal<S, &S::hoursPerDay>("HRSPERDAY"),
        decimal<S, &S::hoursPerMonth>("HRSPERMON"),
        integer<S, &S::timeBasis>("TIMEBASIS"),
        flag<S, &S::overtimeEligible>("OTELIGIBLE"),
        money<S, &S::normalOvertimeRate>("NORMOTRATE"),
        money<S, &S::doubleOvertimeRate>("DBLOTRATE"),
        flag<S, &S::housed>("HOUSED"),
        money<S, &S::housingValue>("HOUSEVALUE"),
        money<S, &S::housingExpense>("HOUSEEXP"),
        money<S, &S::rent>("RENT"),
        flag<S, &S::payeApplies>("PAYEAPPLY"),
        flag<S, &S::useTopTaxRate>("TOPTAXRATE"),
        flag<S, &S::nssfMember>("NSSFMEMBER"),
        integer<S, &S::coop1>("COOP1"),
        integer<S, &S::coop2>("COOP2"),
        integer<S, &S::pensionFund1>("PENSION1"),
        integer<S, &S::pensionFund2>("PENSION2"),
    };
    return list;
}

// Follow the STATICREC columns in the table.
const std::vector<Column<P>>& personnelColumns() {
    static const std::vector<Column<P>> list{
        // Text, not a date column: a birth date may lack its day or month.
        column<P, &P::birthDate>("BIRTHDATE", 'C', 8),
        integer<P, &P::unit>("UNIT"),
        integer<P, &P::job>("JOB"),
        integer<P, &P::grade>("GRADE"),
        integer<P, &P::terms>("TERMS"),
        integer<P, &P::payGroup>("PAYGROUP"),
        text<P, &P::supervisor>("SUPERVISOR", PW::kSupervisorWidth),
        text<P, &P::tin>("TIN", PW::kTinWidth),
        text<P, &P::nssfNum>("NSSFNO", PW::kNssfNumWidth),
        element<P, &P::coopMemberNum, 0>("COOP1MEMNO", 'C', PW::kMemberNumWidth),
        element<P, &P::coopMemberNum, 1>("COOP2MEMNO", 'C', PW::kMemberNumWidth),
        element<P, &P::pensionMemberNum, 0>("PENS1MEMNO", 'C', PW::kMemberNumWidth),
        element<P, &P::pensionMemberNum, 1>("PENS2MEMNO", 'C', PW::kMemberNumWidth),
        integer<P, &P::normalOvertimeChoice>("NORMOTOPT"),
        integer<P, &P::doubleOvertimeChoice>("DBLOTOPT"),
        flag<P, &P::newLeaver>("NEWLEAVER"),
    };
    return list;
}

int personnelPosition() {
    return static_cast<int>(staticColumns().size()) + 1;
}

// The column of the personnel table that names a code of each member kind.
std::vector<const char*> memberColumns(int kind) {
    switch (kind) {
    case STATDB::ByUnit:
        return {"UNIT"};
    case STATDB::ByJob:
        return {"JOB"};
    case STATDB::ByStation:
        return {"STATION"};
    case STATDB::ByPayGroup:
        return {"PAYGROUP"};
    case STATDB::ByCoop:
        return {"COOP1", "COOP2"};
    case STATDB::ByPensionFund:
        return {"PENSION1", "PENSION2"};
    default:
        return {};
    }
}

// The basic pay rate per hour; nullopt for a pay basis out of range.
std::optional<double> hourlyBasicRate(const STATICREC& rec) {
    const auto per = [](double amount, float hours) {
        return hours > 0 ? amount / static_cast<double>(hours) : 0.0;
    };
    switch (rec.payBasis) {
    case common::kPayBasisSalary:
        return per(rec.salary, rec.hoursPerMonth);
    case common::kPayBasisDaily:
        return per(rec.dailyRate, rec.hoursPerDay);
    case common::kPayBasisHourly:
        return rec.hourlyRate;
    default:
        return std::nullopt;
    }
}

bool ofPayFreq(const STATICREC& rec, int payFreq) {
    return payFreq == STATDB::kAllPayFreqs || static_cast<int>(rec.payFreq) == payFreq;
}

// Within [low, high]; true when it moved.
bool clampRate(double& rate, double low, double high) {
    const double kept = std::clamp(rate, low, high);
    if (kept == rate)
        return false;
    rate = kept;
    return true;
}

// The last day of the frequency's current period in the organisation's
// month; an end day outside the month means the month's end.
common::date periodEnd(const common::ORGREC& org, common::PAYFREQ payFreq) {
    const int month = common::monthNumber(org.month);
    const int length = common::daysInMonth(month, org.year);
    int day = length;
    if (payFreq == common::WEEKLY)
        day = org.weekEndDay;
    else if (payFreq == common::BIWEEKLY)
        day = org.fortnightEndDay;
    if (day < 1 || day > length)
        day = length;
    return {org.year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
}

} // namespace

STATDB::STATDB(engine::Code4& code, const common::WorkingFolder& folder)
    : DbTable(code, folder, kPath) {}

Schema STATDB::schema() const {
    Schema s;
    for (const auto& c : staticColumns())
        s.fields.push_back(c.info);
    for (const auto& c : personnelColumns())
        s.fields.push_back(c.info);
    s.tags = {tagInfo(kEmpNumTag, "UPPER(EMPNO)"), tagInfo(kNameTag, "UPPER(LASTNAME+OTHERNAMES)")};
    return s;
}

bool STATDB::orderFile(std::int32_t sortKey) const {
    switch (sortKey) {
    case common::kSortByEmpNum:
        return orderByEmpNum();
    case common::kSortByLastName:
        return orderByName();
    default:
        return false;
    }
}

bool STATDB::seekEmpNum(std::string_view empNum) {
    if (!data())
        return false;
    TablePlace place(data());
    order(kEmpNumTag);
    const bool found = seekExact(*data(), upperKey(empNum, SW::kEmpNumWidth));
    if (!found)
        data()->goEof();
    place.keepPosition();
    return found;
}

long STATDB::recNum(std::string_view empNum) {
    if (!data())
        return 0;
    TablePlace place(data());
    order(kEmpNumTag);
    return seekExact(*data(), upperKey(empNum, SW::kEmpNumWidth)) ? data()->recNo() : 0;
}

bool STATDB::initRec(STATICREC& rec) const {
    if (!data() || data()->eof())
        return false;
    return loadAll(*data(), staticColumns(), rec);
}

bool STATDB::isOnPayroll(common::PAYFREQ payFreq) const {
    if (!data() || data()->eof())
        return false;
    return field("SEPARATED").getLong() == 0 && field("PAYFREQ").getLong() == payFreq;
}

bool STATDB::initRec(PERSONNELREC& rec) const {
    if (!data() || data()->eof())
        return false;
    return loadAll(*data(), personnelColumns(), rec, personnelPosition());
}

bool STATDB::initRec(LEAVEREC& rec) const {
    STATICREC employee;
    if (!initRec(employee))
        return false;
    rec.empNum = employee.empNum;
    rec.lastName = employee.lastName;
    rec.otherNames = employee.otherNames;
    rec.leaveEntitlement = employee.leaveEntitlement;
    return true;
}

void STATDB::computeFields(STATICREC& rec, const PERSONNELREC& personnel) {
    const std::optional<double> rate = hourlyBasicRate(rec);
    if (!rate)
        return;
    if (personnel.normalOvertimeChoice == kNormalOvertimeFromBasic)
        rec.normalOvertimeRate = common::roundCents(*rate * 1.5);
    if (personnel.doubleOvertimeChoice == kDoubleOvertimeFromBasic)
        rec.doubleOvertimeRate = common::roundCents(*rate * 2);
}

bool STATDB::updateFields(const STATICREC& rec, bool newRecord) {
    return write(rec, nullptr, newRecord);
}

bool STATDB::updateFields(const STATICREC& rec, const PERSONNELREC& personnel, bool newRecord) {
    return write(rec, &personnel, newRecord);
}

bool STATDB::write(const STATICREC& rec, const PERSONNELREC* personnel, bool newRecord) {
    engine::Data4* table = data();
    if (!table) {
        code().error(engine::e4parm, relativePath() + " is not open");
        return false;
    }
    if (newRecord) {
        if (table->appendStart() != engine::r4success)
            return false;
        table->blank();
        storeAll(*table, staticColumns(), rec);
        storeAll(*table, personnelColumns(), personnel ? *personnel : PERSONNELREC{},
                 personnelPosition());
        return appendNow(*table);
    }
    if (table->eof()) {
        code().error(engine::e4parm, relativePath() + " has no current record");
        return false;
    }
    storeAll(*table, staticColumns(), rec);
    if (personnel)
        storeAll(*table, personnelColumns(), *personnel, personnelPosition());
    return writeOrRevert(*table);
}

std::optional<long> STATDB::getMemberCnt(int kind, long code) {
    const std::vector<const char*> names = memberColumns(kind);
    if (names.empty())
        return std::nullopt;
    TableUse use(*this, nullptr);
    if (!use)
        return std::nullopt;
    TablePlace place(data());
    data()->select(nullptr);
    std::vector<const engine::Field4*> slots;
    for (const char* name : names)
        slots.push_back(&field(name));
    long count = 0;
    for (int rc = data()->top(); rc == engine::r4success && !data()->eof(); rc = data()->skip()) {
        if (data()->deleted())
            continue;
        for (const engine::Field4* slot : slots) {
            if (slot->getLong() == code) {
                ++count;
                break;
            }
        }
    }
    return count;
}

std::optional<STATDB::PostCounts> STATDB::getPostsCnt(long unit, long job) {
    TableUse use(*this, nullptr);
    if (!use)
        return std::nullopt;
    TablePlace place(data());
    data()->select(nullptr);
    const engine::Field4& unitField = field("UNIT");
    const engine::Field4& jobField = field("JOB");
    const engine::Field4& termsField = field("TERMS");
    const engine::Field4& separatedField = field("SEPARATED");
    PostCounts counts{};
    for (int rc = data()->top(); rc == engine::r4success && !data()->eof(); rc = data()->skip()) {
        if (data()->deleted() || separatedField.getLogical() || unitField.getLong() != unit ||
            jobField.getLong() != job)
            continue;
        const long terms = termsField.getLong();
        if (terms >= 0 && terms < static_cast<long>(kTermsCount))
            ++counts[static_cast<std::size_t>(terms)];
    }
    return counts;
}

bool STATDB::updateSalary(STATICREC& rec, const GRADEREC& grade) {
    const auto f = static_cast<std::size_t>(rec.payFreq);
    if (f >= common::kPayFreqCount || grade.upperLimit[f] <= 0)
        return false;
    const double low = grade.lowerLimit[f];
    const double high = grade.upperLimit[f];
    if (rec.payBasis == common::kPayBasisSalary)
        return clampRate(rec.salary, low, high);
    // Without working hours no daily or hourly range can be worked out.
    if (rec.hoursPerMonth <= 0)
        return false;
    const auto perHour = [&](double limit) {
        return limit / static_cast<double>(rec.hoursPerMonth);
    };
    switch (rec.payBasis) {
    case common::kPayBasisDaily: {
        const auto hours = static_cast<double>(rec.hoursPerDay);
        return clampRate(rec.dailyRate, common::roundCents(perHour(low) * hours),
                         common::roundCents(perHour(high) * hours));
    }
    case common::kPayBasisHourly:
        return clampRate(rec.hourlyRate, common::roundCents(perHour(low)),
                         common::roundCents(perHour(high)));
    default:
        return false;
    }
}

bool STATDB::updateFile(common::Ui& ui, const common::ORGREC& org, common::UPDATEMODE mode,
                        int payFreq) {
    if (payFreq != kAllPayFreqs &&
        (payFreq < 0 || payFreq >= static_cast<int>(common::kPayFreqCount))) {
        ui.error(TableUse::cantUpdateMessage(*this) + ": the pay frequency " +
                 std::to_string(payFreq) + " is not valid.");
        return false;
    }
    if (mode == common::UPDATE_PERIOD_END && common::monthNumber(org.month) == 0) {
        ui.error(TableUse::cantUpdateMessage(*this) + ": the month \"" + org.month +
                 "\" is not valid.");
        return false;
    }
    if (mode != common::UPDATE_ON_CLOSE && mode != common::UPDATE_PERIOD_END &&
        mode != common::UPDATE_MONTH_END && mode != common::UPDATE_AFTER_MONTH_END)
        return true;
    common::StatusText status(ui, "Updating " + relativePath() + "...");
    if (!openExclusive(ui))
        return false;
    struct Closer {
        STATDB& table;
        ~Closer() { table.closeFile(); }
    } closer{*this};
    data()->select(nullptr);
    bool ok = false;
    switch (mode) {
    case common::UPDATE_ON_CLOSE:
        ok = followGrades(ui, payFreq);
        break;
    case common::UPDATE_PERIOD_END:
        ok = separateLeavers(ui, org, payFreq);
        break;
    case common::UPDATE_MONTH_END:
        ok = removeLeavers(ui, payFreq);
        break;
    default:
        ok = clearNewLeavers(ui, payFreq);
        break;
    }
    if (!ok)
        code().setErrorCode(0);
    return ok;
}

bool STATDB::openExclusive(common::Ui& ui) {
    // The update needs every row to itself.
    if (isOpen())
        closeFile();
    if (openFile(true))
        return true;
    const int rc = code().errorCode();
    code().setErrorCode(0);
    if (rc == engine::e4access || rc == engine::e4lock)
        ui.warning(TableUse::inUseMessage(*this));
    else
        ui.error(openFailureText(code(), relativePath()));
    return false;
}

bool STATDB::followGrades(common::Ui& ui, int payFreq) {
    JOBSDB jobs(code(), folder());
    GRADESDB grades(code(), folder());
    TableUse jobsUse(jobs, &ui);
    if (!jobsUse)
        return false;
    TableUse gradesUse(grades, &ui);
    if (!gradesUse)
        return false;
    engine::Data4& table = *data();
    long moved = 0;
    bool ok = true;
    for (int rc = table.top(); rc == engine::r4success && !table.eof(); rc = table.skip()) {
        STATICREC rec;
        PERSONNELREC personnel;
        if (table.deleted() || !initRec(rec) || !initRec(personnel) || rec.separated ||
            !ofPayFreq(rec, payFreq))
            continue;
        const STATICREC before = rec;
        const PERSONNELREC personnelBefore = personnel;
        JOBREC job;
        if (personnel.job != 0 && jobs.getJobRec(personnel.job, job))
            personnel.grade = static_cast<std::int32_t>(job.gradeCode);
        GRADEREC grade;
        if (grades.getGradeRec(personnel.grade, grade) && updateSalary(rec, grade))
            ++moved;
        computeFields(rec, personnel);
        const bool same = rec.salary == before.salary && rec.dailyRate == before.dailyRate &&
                          rec.hourlyRate == before.hourlyRate &&
                          rec.normalOvertimeRate == before.normalOvertimeRate &&
                          rec.doubleOvertimeRate == before.doubleOvertimeRate &&
                          personnel == personnelBefore;
        if (!same && !updateFields(rec, personnel, false))
            ok = false;
    }
    if (!ok) {
        ui.error(TableUse::cantUpdateMessage(*this));
        return false;
    }
    if (moved > 0)
        ui.information("The pay rates of " + std::to_string(moved) +
                       " employee(s) were brought within the salary ranges of their grades.");
    return true;
}

bool STATDB::separateLeavers(common::Ui& ui, const common::ORGREC& org, int payFreq) {
    engine::Data4& table = *data();
    bool ok = true;
    for (int rc = table.top(); rc == engine::r4success && !table.eof(); rc = table.skip()) {
        STATICREC rec;
        PERSONNELREC personnel;
        if (table.deleted() || !initRec(rec) || !initRec(personnel) || !rec.terminated ||
            rec.separated || !ofPayFreq(rec, payFreq))
            continue;
        // A termination without a date has nothing left to wait for.
        if (rec.terminationDate.year != 0 && rec.terminationDate > periodEnd(org, rec.payFreq))
            continue;
        rec.separated = 1;
        personnel.newLeaver = 1;
        ok = updateFields(rec, personnel, false) && ok;
    }
    if (!ok)
        ui.error(TableUse::cantUpdateMessage(*this));
    return ok;
}

bool STATDB::removeLeavers(common::Ui& ui, int payFreq) {
    engine::Data4& table = *data();
    if (table.lockAll() != engine::r4success) {
        ui.warning(TableUse::inUseMessage(*this));
        return false;
    }
    bool dropped = false;
    for (int rc = table.top(); rc == engine::r4success && !table.eof(); rc = table.skip()) {
        STATICREC rec;
        PERSONNELREC personnel;
        // A leaver not yet in the former employees file stays until he is.
        if (table.deleted() || !initRec(rec) || !initRec(personnel) || !rec.separated ||
            personnel.newLeaver || !ofPayFreq(rec, payFreq))
            continue;
        table.deleteRec();
        if (table.write() != engine::r4success) {
            ui.error(TableUse::cantUpdateMessage(*this));
            return false;
        }
        dropped = true;
    }
    if (dropped && table.pack() != engine::r4success) {
        ui.error(TableUse::cantUpdateMessage(*this));
        return false;
    }
    return true;
}

bool STATDB::clearNewLeavers(common::Ui& ui, int payFreq) {
    engine::Data4& table = *data();
    bool ok = true;
    for (int rc = table.top(); rc == engine::r4success && !table.eof(); rc = table.skip()) {
        STATICREC rec;
        PERSONNELREC personnel;
        if (table.deleted() || !initRec(rec) || !initRec(personnel) || !personnel.newLeaver ||
            !ofPayFreq(rec, payFreq))
            continue;
        personnel.newLeaver = 0;
        ok = updateFields(rec, personnel, false) && ok;
    }
    if (!ok)
        ui.error(TableUse::cantUpdateMessage(*this));
    return ok;
}

} // namespace kelo::database
