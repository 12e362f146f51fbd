#include "staffreports/StaticRepDb.h"

#include "common/AtomicFile.h"
#include "common/TaggedFile.h"
#include "common/Text.h"
#include "database/CoopsDb.h"
#include "database/DbTable.h"
#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/OrgDb.h"
#include "database/PayGroupDb.h"
#include "database/PensionsDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "engine/Data4.h"
#include "payrunreports/PeriodBuild.h"
#include "payrunreports/PeriodFormat.h"
#include "payrunreports/StoreFile.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>
#include <unordered_map>

namespace kelo::staffreports {

namespace fs = std::filesystem;
using common::TagKind;

namespace {

constexpr const char* kRecordsBlock = "records";

std::string keyOf(std::string_view empNum) {
    return common::toUpper(common::trim(empNum));
}

// The job's title and the name of its grade, looked up once per job.
class JobNames {
public:
    JobNames(engine::Code4& code, const common::WorkingFolder& folder)
        : jobs_(code, folder),
          grades_(code, folder) {}
    bool open(std::string& failed) {
        if (!jobs_.openFile()) {
            failed = database::JOBSDB::kPath;
            return false;
        }
        if (!grades_.openFile()) {
            failed = database::GRADESDB::kPath;
            return false;
        }
        return true;
    }
    const std::pair<std::string, std::string>& of(long job) {
        const auto found = names_.find(job);
        if (found != names_.end())
            return found->second;
        std::pair<std::string, std::string> names;
        database::JOBREC rec;
        if (job != 0 && jobs_.getJobRec(job, rec)) {
            names.first = rec.title;
            if (rec.gradeCode != 0)
                names.second = grades_.getGradeName(rec.gradeCode);
        }
        return names_.emplace(job, std::move(names)).first->second;
    }

private:
    database::JOBSDB jobs_;
    database::GRADESDB grades_;
    std::map<long, std::pair<std::string, std::string>> names_;
};

double payRateOf(const common::STATICREC& e) {
    switch (e.payBasis) {
    case common::kPayBasisDaily:
        return e.dailyRate;
    case common::kPayBasisHourly:
        return e.hourlyRate;
    default:
        return e.salary;
    }
}

PERSREPREC recordOf(const common::STATICREC& e, const database::PERSONNELREC& p,
                    payrunreports::PeriodLookups& lookups, JobNames& jobs) {
    PERSREPREC r;
    r.empNum = e.empNum;
    r.lastName = e.lastName;
    r.otherNames = e.otherNames;
    r.idNum = e.idNum;
    r.title = e.title;
    r.gender = e.gender;
    r.maritalStatus = e.maritalStatus;
    r.nationality = e.nationality;
    r.birthDate = p.birthDate;
    const auto& [jobTitle, gradeName] = jobs.of(p.job);
    r.jobTitle = jobTitle;
    r.gradeName = gradeName;
    r.terms = p.terms;
    r.unitPath = lookups.unitPath(p.unit);
    r.stationName = lookups.stationName(e.station);
    r.startDate = e.startDate;
    r.terminated = e.terminated;
    if (e.terminated) {
        r.dateLeft = e.terminationDate;
        r.reasonLeft = e.terminationReason;
    }
    r.remarks = e.terminationComment;
    r.supervisorNum = p.supervisor;
    r.leaveEntitlement = e.leaveEntitlement;
    r.officeName = e.office;
    r.officePhone = e.officePhone;
    r.email = e.email;
    r.homePhone = e.homePhone;
    r.mobile = e.mobile;
    r.poBox = e.poBox;
    r.town = e.town;
    r.postCode = e.postCode;
    for (std::size_t i = 0; i < r.resAddress.size() && i < e.residentialAddress.size(); ++i)
        r.resAddress[i] = e.residentialAddress[i];
    r.payFreq = e.payFreq;
    r.payMethod = e.payMethod;
    r.payGroupName = lookups.payGroupName(p.payGroup);
    r.bankName = e.bankName;
    r.branchName = e.branchName;
    r.accountNum = e.accountNum;
    r.payBasis = e.payBasis;
    r.payRate = payRateOf(e);
    r.hoursPerDay = e.hoursPerDay;
    r.hoursPerMonth = e.hoursPerMonth;
    r.timeBasis = e.timeBasis;
    r.overtimeEligible = e.overtimeEligible;
    r.normalOvertimeRate = e.normalOvertimeRate;
    r.doubleOvertimeRate = e.doubleOvertimeRate;
    r.housed = e.housed;
    r.housingValue = e.housingValue;
    r.housingExpense = e.housingExpense;
    r.rent = e.rent;
    r.payeApplies = e.payeApplies;
    r.useTopTaxRate = e.useTopTaxRate;
    r.nssfMember = e.nssfMember;
    r.tin = p.tin;
    r.nssfNum = p.nssfNum;
    r.coopName = {lookups.coopName(e.coop1), lookups.coopName(e.coop2)};
    r.coopMemberNum = p.coopMemberNum;
    r.pensionName = {lookups.pensionName(e.pensionFund1), lookups.pensionName(e.pensionFund2)};
    r.pensionMemberNum = p.pensionMemberNum;
    return r;
}

bool writeOpening(common::TaggedWriter& w, DB db, const common::ORGREC& org,
                  const std::string& path) {
    return writePreamble(w, db, org.folder, path) && writeHeader(w, org.year, org.name) &&
           w.writeTag(kRecordsBlock, TagKind::BlockStart);
}

bool writeClosing(common::TaggedWriter& w) {
    return w.writeTag(kRecordsBlock, TagKind::BlockEnd) && w.writeEof();
}

} // namespace

STATICREPDB::STATICREPDB(common::Ui& owner, engine::Code4& code,
                         const common::WorkingFolder& folder)
    : owner_(owner),
      code_(code),
      folder_(folder) {}

bool STATICREPDB::checkFiles(common::Ui& ui, DB db, const common::ORGREC& org) {
    const std::pair<const char*, const char*> withData[] = {
        {database::STATDB::kPath, "Employee Master"},
        {database::GRADESDB::kPath, "Job Grades"},
        {database::UNITSDB::kPath, "Administrative Units"},
        {database::JOBSDB::kPath, "Jobs"},
        {database::STATIONSDB::kPath, "Stations"}};
    for (const auto& [path, title] : withData) {
        if (!database::allValid(ui, code_, folder_, {path}) ||
            !database::hasData(ui, code_, folder_, path, title))
            return false;
    }
    if (!database::allValid(
            ui, code_, folder_,
            {database::PAYGROUPDB::kPath, database::COOPSDB::kPath, database::PENSIONSDB::kPath}))
        return false;
    if (db == DB_LEAVERS) {
        const std::string path = personnelFilePath(DB_LEAVERS, org.year);
        std::error_code error;
        if (fs::exists(folder_.resolve(path), error) &&
            !common::checkFileId(ui, folder_.resolve(path), path))
            return false;
    }
    return true;
}

bool STATICREPDB::writeFile(common::Ui& ui, DB db, const common::ORGREC& org) {
    switch (db) {
    case DB_ACTIVE:
        return writeActive(ui, org);
    case DB_LEAVERS:
        return writeLeavers(ui, org);
    }
    return false;
}

bool STATICREPDB::addLeavers(common::Ui& ui, const common::ORGREC& org) {
    return checkFiles(ui, DB_LEAVERS, org) && writeFile(ui, DB_LEAVERS, org);
}

bool STATICREPDB::readEmployees(common::Ui& ui, std::vector<Employee>& out) {
    database::STATDB staff(code_, folder_);
    if (!staff.openFile() || !staff.orderByEmpNum()) {
        const std::string text = database::openFailureText(code_, database::STATDB::kPath);
        code_.setErrorCode(0);
        ui.error(text);
        return false;
    }
    engine::Data4& rows = *staff.data();
    out.reserve(static_cast<std::size_t>(rows.recCount()));
    for (int rc = rows.top(); rc == engine::r4success && !rows.eof(); rc = rows.skip()) {
        if (rows.deleted())
            continue;
        Employee e;
        if (staff.initRec(e.master) && staff.initRec(e.personnel))
            out.push_back(std::move(e));
    }
    code_.setErrorCode(0);
    staff.closeFile();
    return true;
}

bool STATICREPDB::recordsOf(common::Ui& ui, const std::vector<Employee>& all,
                            const std::vector<const Employee*>& chosen,
                            std::vector<PERSREPREC>& out) {
    payrunreports::PeriodLookups lookups(code_, folder_);
    JobNames jobs(code_, folder_);
    std::string failed;
    if (!lookups.open(failed) || !jobs.open(failed)) {
        const std::string text = database::openFailureText(code_, failed);
        code_.setErrorCode(0);
        ui.error(text);
        return false;
    }
    std::unordered_map<std::string, const Employee*> byNumber;
    byNumber.reserve(all.size());
    for (const Employee& e : all)
        byNumber.emplace(keyOf(e.master.empNum), &e);
    out.reserve(chosen.size());
    for (const Employee* e : chosen) {
        PERSREPREC rec = recordOf(e->master, e->personnel, lookups, jobs);
        if (!rec.supervisorNum.empty()) {
            const auto found = byNumber.find(keyOf(rec.supervisorNum));
            if (found != byNumber.end())
                rec.supervisorName =
                    found->second->master.lastName + ", " + found->second->master.otherNames;
        }
        out.push_back(std::move(rec));
    }
    code_.setErrorCode(0);
    return true;
}

bool STATICREPDB::writeActive(common::Ui& ui, const common::ORGREC& org) {
    const std::string path = personnelFilePath(DB_ACTIVE, org.year);
    common::StatusText status(owner_, "Creating " + path + "...");
    const std::string resolved = folder_.resolve(path);
    {
        common::AtomicFile probe;
        if (!probe.open(resolved)) {
            ui.error("Unable to create " + path);
            return false;
        }
    }
    std::vector<Employee> all;
    if (!readEmployees(ui, all))
        return false;
    std::vector<const Employee*> chosen;
    chosen.reserve(all.size());
    for (const Employee& e : all)
        chosen.push_back(&e);
    std::vector<PERSREPREC> records;
    if (!recordsOf(ui, all, chosen, records))
        return false;
    common::TaggedWriter w(resolved, common::TaggedWriter::Mode::Replace);
    bool ok = writeOpening(w, DB_ACTIVE, org, path);
    int seqNum = 0;
    for (const PERSREPREC& rec : records) {
        if (!ok)
            break;
        ok = writeRecord(w, rec, ++seqNum);
    }
    ok = ok && writeClosing(w);
    ok = w.close() && ok;
    if (!ok)
        ui.error("Unable to create " + path);
    return ok;
}

bool STATICREPDB::readLeavers(common::Ui& ui, const common::ORGREC& org,
                              std::vector<PERSREPREC>& out) {
    const std::string path = personnelFilePath(DB_LEAVERS, org.year);
    common::TaggedReader old;
    // A damaged or foreign file is left as it is for someone to look at.
    if (!payrunreports::checkStoreFile(ui, folder_, path, org, old,
                                       payrunreports::UnnamedFolder::Accepted))
        return false;
    int year = 0;
    std::string name;
    bool damaged = false;
    if (old.skipFileId() && readHeader(old, year, name) &&
        old.findTag(kRecordsBlock, TagKind::BlockStart)) {
        PERSREPREC rec;
        while (readRecord(old, rec, damaged))
            out.push_back(std::move(rec));
    } else {
        damaged = true;
    }
    if (damaged || !old.findTag(kRecordsBlock, TagKind::BlockEnd)) {
        ui.error("Unable to open " + path);
        return false;
    }
    return true;
}

bool STATICREPDB::writeLeavers(common::Ui& ui, const common::ORGREC& org) {
    const std::string path = personnelFilePath(DB_LEAVERS, org.year);
    common::StatusText status(owner_, "Updating " + path + "...");
    const std::string resolved = folder_.resolve(path);
    std::error_code error;
    std::vector<PERSREPREC> kept;
    if (fs::exists(resolved, error) && !readLeavers(ui, org, kept))
        return false;
    {
        common::AtomicFile probe;
        if (!probe.open(resolved)) {
            ui.error("Unable to create " + path);
            return false;
        }
    }
    std::vector<Employee> all;
    if (!readEmployees(ui, all))
        return false;
    std::vector<const Employee*> chosen;
    for (const Employee& e : all) {
        if (e.master.terminated && e.master.separated && e.personnel.newLeaver)
            chosen.push_back(&e);
    }
    std::vector<PERSREPREC> leavers;
    if (!recordsOf(ui, all, chosen, leavers))
        return false;

    common::TaggedWriter w(resolved, common::TaggedWriter::Mode::Replace);
    bool ok = writeOpening(w, DB_LEAVERS, org, path);
    int seqNum = 0;
    std::size_t next = 0;
    for (const PERSREPREC& leaver : leavers) {
        const std::string key = keyOf(leaver.empNum);
        for (; ok && next < kept.size() && keyOf(kept[next].empNum) <= key; ++next) {
            // A month end run again after a failure must not list him twice.
            if (keyOf(kept[next].empNum) != key)
                ok = writeRecord(w, kept[next], ++seqNum);
        }
        ok = ok && writeRecord(w, leaver, ++seqNum);
    }
    for (; ok && next < kept.size(); ++next)
        ok = writeRecord(w, kept[next], ++seqNum);
    ok = ok && writeClosing(w);
    ok = w.close() && ok;
    if (!ok)
        ui.error("Unable to create " + path);
    return ok;
}

bool STATICREPDB::updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change,
                               const common::ORGREC& org) {
    const std::string path = personnelFilePath(DB_LEAVERS, org.year);
    const std::string resolved = folder_.resolve(path);
    std::error_code error;
    if (!fs::exists(resolved, error))
        return true;
    std::vector<PERSREPREC> items;
    if (!readLeavers(ui, org, items))
        return false;
    const std::string oldKey = keyOf(change.oldEmpNum);
    const std::string newEmpNum = common::trim(change.newEmpNum);
    bool changed = false;
    for (PERSREPREC& item : items) {
        if (keyOf(item.empNum) == oldKey) {
            item.empNum = newEmpNum;
            changed = true;
        }
        // As the personnel file does for those he supervised.
        if (keyOf(item.supervisorNum) == oldKey) {
            item.supervisorNum = newEmpNum;
            changed = true;
        }
    }
    if (!changed)
        return true;
    common::StatusText status(owner_, "Updating " + path + "...");
    // The file stays in employee number order for the merge of later leavers.
    std::stable_sort(items.begin(), items.end(), [](const PERSREPREC& a, const PERSREPREC& b) {
        return keyOf(a.empNum) < keyOf(b.empNum);
    });
    common::TaggedWriter w(resolved, common::TaggedWriter::Mode::Replace);
    bool ok = writeOpening(w, DB_LEAVERS, org, path);
    int seqNum = 0;
    for (const PERSREPREC& item : items) {
        if (!ok)
            break;
        ok = writeRecord(w, item, ++seqNum);
    }
    ok = ok && writeClosing(w);
    ok = w.close() && ok;
    if (!ok)
        ui.error("Unable to update " + path);
    return ok;
}

void STATICREPDB::delActiveFile(const common::ORGREC& org) {
    const std::string path = personnelFilePath(DB_ACTIVE, org.year);
    common::StatusText status(owner_, "Deleting " + path + "...");
    std::error_code ignored;
    fs::remove(folder_.resolve(path), ignored);
}

std::vector<std::string> STATICREPDB::sourceFiles() {
    return {database::ORGDB::kPath,      database::STATDB::kPath,  database::GRADESDB::kPath,
            database::UNITSDB::kPath,    database::JOBSDB::kPath,  database::STATIONSDB::kPath,
            database::PAYGROUPDB::kPath, database::COOPSDB::kPath, database::PENSIONSDB::kPath};
}

bool STATICREPDB::needActiveFile(const common::WorkingFolder& folder, int year) {
    std::error_code error;
    const auto written =
        fs::last_write_time(folder.resolve(personnelFilePath(DB_ACTIVE, year)), error);
    if (error)
        return true;
    for (const std::string& source : sourceFiles()) {
        const auto changed = fs::last_write_time(folder.resolve(source), error);
        if (!error && changed > written)
            return true;
    }
    return false;
}

} // namespace kelo::staffreports
