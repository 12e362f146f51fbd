#include "absencereports/LeaveRepDb.h"

#include "absencereports/LeaveRepFormat.h"
#include "common/Calendar.h"
#include "common/Money.h"
#include "common/TaggedFile.h"
#include "common/Text.h"
#include "database/AbsenceDb.h"
#include "database/DbTable.h"
#include "database/LeaveDb.h"
#include "database/PayGroupDb.h"
#include "database/StaticDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "engine/Data4.h"
#include "payrunreports/PeriodFormat.h"
#include "payrunreports/StoreFile.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace kelo::absencereports {

namespace fs = std::filesystem;

namespace {

bool within(common::date day, int year, int lastMonth) {
    return day.year == year && day.month >= 1 && day.month <= lastMonth;
}

bool exists(const std::string& resolved) {
    std::error_code error;
    return fs::is_regular_file(resolved, error);
}

void addMonth(std::vector<int>& months, int month) {
    if (std::find(months.begin(), months.end(), month) == months.end())
        months.push_back(month);
    std::sort(months.begin(), months.end());
}

LeaveEntry entryOf(const database::ABSENCEROW& row, std::string_view empNum, bool booking) {
    return {booking ? EntrySource::Booking : EntrySource::Absence,
            row.id,
            std::string(empNum),
            row.fromDate,
            row.toDate,
            0,
            common::decimalOf(row.days),
            row.reason};
}

LeaveEntry entryOf(const database::LEAVEROW& row, std::string_view empNum) {
    return {EntrySource::LeaveEvent,     row.id, std::string(empNum), row.date, {}, row.kind,
            common::decimalOf(row.days), {}};
}

} // namespace

bool isRenumbered(const std::string& empNum, const common::EMPNUMREC& change) {
    return common::employeeKey(empNum) == common::employeeKey(change.oldEmpNum);
}

LEAVEREPDB::LEAVEREPDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder)
    : owner_(owner),
      code_(code),
      folder_(folder) {}

std::string LEAVEREPDB::yearFilePath(int year) {
    return std::to_string(year) + "/leaverep.dbf";
}

std::string LEAVEREPDB::interimFilePath(int year) {
    return std::to_string(year) + "/leaverep.int";
}

std::vector<std::string> LEAVEREPDB::sourceFiles() {
    return {database::STATDB::kPath,  database::ABSENCEDB::kPath,  database::LEAVEDB::kPath,
            database::UNITSDB::kPath, database::STATIONSDB::kPath, database::PAYGROUPDB::kPath};
}

bool LEAVEREPDB::checkFiles(common::Ui& ui) {
    return database::allValid(ui, code_, folder_,
                              {database::STATDB::kPath, database::ABSENCEDB::kPath,
                               database::LEAVEDB::kPath, database::UNITSDB::kPath,
                               database::STATIONSDB::kPath, database::PAYGROUPDB::kPath});
}

bool LEAVEREPDB::readFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                          LeaveYear& out) {
    common::TaggedReader reader;
    if (!payrunreports::checkStoreFile(ui, folder_, path, org, reader,
                                       payrunreports::UnnamedFolder::Accepted))
        return false;
    LeaveYear year;
    if (!reader.skipFileId() || !readLeaveYear(reader, year)) {
        ui.error("Unable to open " + path);
        return false;
    }
    out = std::move(year);
    return true;
}

bool LEAVEREPDB::readYear(common::Ui& ui, const common::ORGREC& org, LeaveYear& out) {
    const std::string path = yearFilePath(org.year);
    if (!exists(folder_.resolve(path))) {
        out = LeaveYear{org.name, org.year, {}, {}, {}};
        return true;
    }
    return readFile(ui, path, org, out);
}

bool LEAVEREPDB::merge(common::Ui& ui, const common::ORGREC& org, int lastMonth,
                       const LeaveYear& stored, LeaveYear& out) {
    database::STATDB staff(code_, folder_);
    database::ABSENCEDB absences(code_, folder_, ui);
    database::LEAVEDB leave(code_, folder_, ui);
    database::UNITSDB units(code_, folder_);
    database::STATIONSDB stations(code_, folder_);
    database::PAYGROUPDB payGroups(code_, folder_);
    const auto failed = [&](const char* path) {
        const std::string text = database::openFailureText(code_, path);
        code_.setErrorCode(0);
        ui.error(text);
        return false;
    };
    if (!staff.openFile() || !staff.orderFile(common::kSortByEmpNum))
        return failed(database::STATDB::kPath);
    if (!absences.openFile())
        return failed(database::ABSENCEDB::kPath);
    if (!leave.openFile())
        return failed(database::LEAVEDB::kPath);
    if (!units.openFile())
        return failed(database::UNITSDB::kPath);
    if (!stations.openFile())
        return failed(database::STATIONSDB::kPath);
    if (!payGroups.openFile())
        return failed(database::PAYGROUPDB::kPath);

    LeaveYear year{org.name, org.year, {}, {}, {}};
    std::set<std::string> live;
    engine::Data4& rows = *staff.data();
    std::vector<database::ABSENCEROW> absenceRows;
    std::vector<database::LEAVEROW> leaveRows;
    for (int rc = rows.top(); rc == engine::r4success && !rows.eof(); rc = rows.skip()) {
        common::STATICREC rec;
        database::PERSONNELREC personnel;
        if (!staff.initRec(rec) || !staff.initRec(personnel))
            continue;
        LeaveEmployee employee{common::trimRight(rec.empNum),
                               common::trimRight(rec.lastName),
                               common::trimRight(rec.otherNames),
                               units.getUnitPath(personnel.unit),
                               stations.getStationName(rec.station),
                               payGroups.getPayGrpName(personnel.payGroup),
                               common::trimRight(rec.bankName),
                               common::decimalOf(rec.leaveEntitlement),
                               rec.terminated != 0};
        live.insert(common::employeeKey(employee.empNum));
        for (const bool booking : {false, true}) {
            if (!absences.readRows(employee.empNum, booking, absenceRows))
                return false;
            for (const database::ABSENCEROW& row : absenceRows) {
                if (within(row.fromDate, org.year, lastMonth))
                    year.entries.push_back(entryOf(row, employee.empNum, booking));
            }
        }
        if (!leave.readRows(employee.empNum, leaveRows))
            return false;
        for (const database::LEAVEROW& row : leaveRows) {
            if (within(row.date, org.year, lastMonth))
                year.entries.push_back(entryOf(row, employee.empNum));
        }
        year.employees.push_back(std::move(employee));
    }
    code_.setErrorCode(0);
    std::set<std::string> gone;
    for (const LeaveEmployee& employee : stored.employees) {
        if (live.count(common::employeeKey(employee.empNum)))
            continue;
        gone.insert(common::employeeKey(employee.empNum));
        LeaveEmployee kept = employee;
        kept.left = true;
        year.employees.push_back(std::move(kept));
    }
    for (const LeaveEntry& entry : stored.entries) {
        if (gone.count(common::employeeKey(entry.empNum)))
            year.entries.push_back(entry);
    }
    std::stable_sort(year.employees.begin(), year.employees.end(),
                     [](const LeaveEmployee& a, const LeaveEmployee& b) {
                         return common::employeeKey(a.empNum) < common::employeeKey(b.empNum);
                     });
    out = std::move(year);
    return true;
}

bool LEAVEREPDB::write(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                       const LeaveYear& year, const std::string& failure) {
    const std::string resolved = folder_.resolve(path);
    std::error_code ignored;
    fs::create_directories(fs::path(resolved).parent_path(), ignored);
    common::TaggedWriter w(resolved, common::TaggedWriter::Mode::Replace);
    bool ok = writeLeaveYear(w, year, org.folder, path);
    ok = w.close() && ok;
    if (!ok)
        ui.error(failure);
    return ok;
}

bool LEAVEREPDB::updateFile(common::Ui& ui, const common::ORGREC& org, bool closeMonth) {
    const std::string path = yearFilePath(org.year);
    common::StatusText status(owner_, "Updating " + path + "...");
    const int month = common::monthNumber(org.month);
    if (month == 0) {
        ui.error("Unable to update " + path);
        return false;
    }
    LeaveYear stored;
    if (!readYear(ui, org, stored))
        return false;
    if (closeMonth && stored.hasMonth(month))
        return true;
    LeaveYear next;
    if (!merge(ui, org, month, stored, next))
        return false;
    next.months = stored.months;
    if (closeMonth)
        addMonth(next.months, month);
    return write(ui, path, org, next, "Unable to update " + path);
}

bool LEAVEREPDB::writeInterimFile(common::Ui& ui, const common::ORGREC& org) {
    const std::string path = interimFilePath(org.year);
    common::StatusText status(owner_, "Creating " + path + "...");
    const int month = common::monthNumber(org.month);
    if (month == 0) {
        ui.error("Unable to create " + path);
        return false;
    }
    LeaveYear stored;
    LeaveYear next;
    if (!readYear(ui, org, stored) || !merge(ui, org, 12, stored, next))
        return false;
    next.months = stored.months;
    addMonth(next.months, month);
    return write(ui, path, org, next, "Unable to create " + path);
}

void LEAVEREPDB::delInterimFile(const common::ORGREC& org) {
    const std::string path = interimFilePath(org.year);
    common::StatusText status(owner_, "Deleting " + path + "...");
    std::error_code ignored;
    fs::remove(folder_.resolve(path), ignored);
}

bool LEAVEREPDB::updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change,
                              const common::ORGREC& org) {
    const std::string newNum = common::trim(change.newEmpNum);
    for (const std::string& path : {yearFilePath(org.year), interimFilePath(org.year)}) {
        if (!exists(folder_.resolve(path)))
            continue;
        common::StatusText status(owner_, "Updating " + path + "...");
        LeaveYear year;
        if (!readFile(ui, path, org, year))
            return false;
        for (LeaveEmployee& e : year.employees) {
            if (isRenumbered(e.empNum, change))
                e.empNum = newNum;
        }
        for (LeaveEntry& e : year.entries) {
            if (isRenumbered(e.empNum, change))
                e.empNum = newNum;
        }
        std::stable_sort(year.employees.begin(), year.employees.end(),
                         [](const LeaveEmployee& a, const LeaveEmployee& b) {
                             return common::employeeKey(a.empNum) < common::employeeKey(b.empNum);
                         });
        if (!write(ui, path, org, year, "Unable to update " + path))
            return false;
    }
    return true;
}

std::string LEAVEREPDB::reportFilePath(const common::REPORTPARAM& param,
                                       const common::ORGREC& org) {
    return param.period.year == org.year ? interimFilePath(org.year)
                                         : yearFilePath(param.period.year);
}

bool LEAVEREPDB::requireFile(const common::WorkingFolder& folder, const common::REPORTPARAM& param,
                             const common::ORGREC& org) {
    if (param.period.year != org.year)
        return false;
    std::error_code error;
    const auto written = fs::last_write_time(folder.resolve(interimFilePath(org.year)), error);
    if (error)
        return true;
    std::vector<std::string> sources = sourceFiles();
    sources.push_back(yearFilePath(org.year));
    for (const std::string& source : sources) {
        const auto changed = fs::last_write_time(folder.resolve(source), error);
        if (!error && changed > written)
            return true;
    }
    return false;
}

} // namespace kelo::absencereports
