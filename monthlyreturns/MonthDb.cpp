#include "monthlyreturns/MonthDb.h"

#include "common/Calendar.h"
#include "common/Money.h"
#include "common/TaggedFile.h"
#include "database/PayLogDb.h"
#include "database/SdlDb.h"
#include "database/StaticDb.h"
#include "database/WcfDb.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodDbEx.h"
#include "payrunreports/PeriodFormat.h"
#include "payrunreports/StoreFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <tuple>
#include <utility>

namespace kelo::monthlyreturns {

namespace fs = std::filesystem;
using common::TagKind;

namespace {

constexpr const char* kHeaderGroup = "header";
constexpr const char* kPeriodBlock = "period";
constexpr const char* kInfoGroup = "info";
constexpr const char* kItemGroup = "item";

std::string money(double amount) {
    return common::fixedText(amount, 0);
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

bool samePeriod(const MONTHPERIOD& a, const MONTHPERIOD& b) {
    return a.payFreq == b.payFreq && a.period == b.period;
}

// Monthly first, then weekly, biweekly and irregular, each in date order,
// whatever order the frequencies closed in.
void addPeriod(MONTHFILE& file, MONTHPERIOD period) {
    std::erase_if(file.periods, [&](const MONTHPERIOD& p) { return samePeriod(p, period); });
    file.periods.push_back(std::move(period));
    std::stable_sort(file.periods.begin(), file.periods.end(),
                     [](const MONTHPERIOD& a, const MONTHPERIOD& b) {
                         return std::tie(a.payFreq, a.period) < std::tie(b.payFreq, b.period);
                     });
}

// Reads the values of one group in order; once one fails the rest do too.
class In {
public:
    explicit In(common::TaggedReader& r) : r_(r) {}
    In& text(std::string& out) {
        ok_ = ok_ && r_.readValue(out);
        return *this;
    }
    In& number(double& out) {
        ok_ = ok_ && r_.readDouble(out);
        return *this;
    }
    In& number(int& out) {
        ok_ = ok_ && r_.readInt(out);
        return *this;
    }
    bool end() { return ok_ && r_.findTag({}, TagKind::GroupEnd); }

private:
    common::TaggedReader& r_;
    bool ok_ = true;
};

bool readEmployee(common::TaggedReader& r, MONTHEMP& e) {
    return In(r)
        .text(e.empNum)
        .text(e.name)
        .text(e.idNum)
        .text(e.tin)
        .text(e.nssfNum)
        .text(e.birthDate)
        .text(e.jobTitle)
        .text(e.stationName)
        .text(e.gender)
        .number(e.basicPay)
        .number(e.grossPay)
        .number(e.pensionDeduction)
        .number(e.chargeablePay)
        .number(e.paye)
        .number(e.nssfEmployee)
        .number(e.nssfEmployer)
        .number(e.sdl)
        .number(e.totalDeductions)
        .number(e.netPay)
        .end();
}

bool writeEmployee(common::TaggedWriter& w, const MONTHEMP& e) {
    bool ok = w.writeTag(kItemGroup, TagKind::GroupStart, 1);
    for (const std::string* text : {&e.empNum, &e.name, &e.idNum, &e.tin, &e.nssfNum, &e.birthDate,
                                    &e.jobTitle, &e.stationName, &e.gender})
        ok = ok && w.writeValue(*text);
    for (const double amount : {e.basicPay, e.grossPay, e.pensionDeduction, e.chargeablePay, e.paye,
                                e.nssfEmployee, e.nssfEmployer, e.sdl, e.totalDeductions, e.netPay})
        ok = ok && w.writeValue(money(amount));
    return ok && w.writeTag({}, TagKind::GroupEnd);
}

bool readPeriodBlock(common::TaggedReader& r, MONTHPERIOD& p) {
    int payFreq = 0, year = 0, month = 0, day = 0;
    if (!r.findTag(kInfoGroup, TagKind::GroupStart) || !In(r)
                                                            .number(payFreq)
                                                            .number(year)
                                                            .number(month)
                                                            .number(day)
                                                            .text(p.title)
                                                            .text(p.source)
                                                            .number(p.sdlRate)
                                                            .number(p.wcfRate)
                                                            .end())
        return false;
    if (payFreq < common::MONTHLY || payFreq > common::IRREGULAR)
        return false;
    p.payFreq = static_cast<common::PAYFREQ>(payFreq);
    p.period = common::date{year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
    while (r.findTag(kItemGroup, TagKind::GroupStart)) {
        MONTHEMP e;
        if (!readEmployee(r, e))
            return false;
        p.employees.push_back(std::move(e));
    }
    return r.findTag(kPeriodBlock, TagKind::BlockEnd);
}

bool exists(const common::WorkingFolder& folder, const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(folder.resolve(path), error);
}

using payrunreports::hasPayroll;

common::REPORTPARAM currentPeriodParam(common::PAYFREQ payFreq, const common::ORGREC& org) {
    return payrunreports::currentPeriodParam(common::kReportPayeReturn, payFreq, org);
}

constexpr std::array<common::PAYFREQ, 4> kFrequencies{common::MONTHLY, common::WEEKLY,
                                                      common::BIWEEKLY, common::IRREGULAR};

} // namespace

MONTHEMP MONTHEMP::of(const payrunreports::REPORTREC& rec) {
    MONTHEMP e;
    e.empNum = rec.empNum;
    e.name = rec.name;
    e.idNum = rec.idNum;
    e.tin = rec.tin;
    e.nssfNum = rec.nssfNum;
    e.birthDate = rec.birthDate;
    e.jobTitle = rec.jobTitle;
    e.stationName = rec.stationName;
    e.basicPay = rec.basicPay;
    e.grossPay = rec.grossPay;
    e.pensionDeduction = rec.pensionDeduction;
    e.chargeablePay = rec.chargeablePay;
    e.paye = rec.paye;
    e.nssfEmployee = rec.nssfEmployee;
    e.nssfEmployer = rec.nssfEmployer;
    e.sdl = rec.sdl;
    e.totalDeductions = rec.totalDeductions;
    e.netPay = rec.netPay;
    return e;
}

bool MONTHFILE::empty() const {
    return std::all_of(periods.begin(), periods.end(),
                       [](const MONTHPERIOD& p) { return p.employees.empty(); });
}

MONTHDB::MONTHDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder)
    : owner_(owner),
      code_(code),
      folder_(folder) {}

std::string MONTHDB::monthFilePath(int year, int month) {
    return std::to_string(year) + "/" + common::monthName(month).substr(0, 3) + "ret.dbf";
}

std::string MONTHDB::interimFilePath(int year, int month) {
    return std::to_string(year) + "/" + common::monthName(month).substr(0, 3) + "ret.int";
}

std::string MONTHDB::reportFilePath(int year, int month, const common::ORGREC& org) {
    const bool current = year == org.year && month == common::monthNumber(org.month);
    return current ? interimFilePath(year, month) : monthFilePath(year, month);
}

bool MONTHDB::checkFiles(common::Ui& ui, const common::ORGREC& org) {
    const int month = common::monthNumber(org.month);
    if (month == 0) {
        ui.error("The organisation's month \"" + org.month + "\" is no month.");
        return false;
    }
    const std::string path = monthFilePath(org.year, month);
    std::error_code error;
    const fs::path yearFolder = fs::path(folder_.resolve(path)).parent_path();
    fs::create_directories(yearFolder, error);
    if (!fs::is_directory(yearFolder, error)) {
        ui.error("Unable to create " + std::to_string(org.year));
        return false;
    }
    if (!exists(folder_, path))
        return true;
    MONTHFILE file;
    return readFile(ui, path, org, file);
}

bool MONTHDB::readFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                       MONTHFILE& out) const {
    return readMonthFile(ui, folder_, path, org, out);
}

bool readMonthFile(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                   const common::ORGREC& org, MONTHFILE& out) {
    common::TaggedReader r;
    if (!payrunreports::checkStoreFile(ui, folder, path, org, r))
        return false;
    MONTHFILE file;
    MONTHORG& e = file.employer;
    bool ok = r.skipFileId() && r.findTag(kHeaderGroup, TagKind::GroupStart) &&
              In(r)
                  .number(file.year)
                  .number(file.month)
                  .text(e.name)
                  .text(e.tin)
                  .text(e.nssfNum)
                  .text(e.poBox)
                  .text(e.postCode)
                  .text(e.town)
                  .text(e.telephone)
                  .end();
    while (ok && r.findTag(kPeriodBlock, TagKind::BlockStart)) {
        MONTHPERIOD period;
        ok = readPeriodBlock(r, period);
        file.periods.push_back(std::move(period));
    }
    if (!ok || !r.findTag("eof", TagKind::GroupStart)) {
        ui.error("File \"" + path + "\" is damaged.");
        return false;
    }
    out = std::move(file);
    return true;
}

bool MONTHDB::writeFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                        const MONTHFILE& file) const {
    common::StatusText status(owner_, "Updating " + path + "...");
    common::TaggedWriter w;
    if (!w.open(folder_.resolve(path), common::TaggedWriter::Mode::Replace)) {
        ui.error("Unable to create " + path);
        return false;
    }
    const MONTHORG& e = file.employer;
    const char* kind = common::fileKind::MonthlyReports;
    bool ok =
        w.writeComment("Monthly returns for " + common::monthName(file.month) + " " +
                       std::to_string(file.year)) &&
        w.writeComment("[" + common::WorkingFolder::normalise(org.folder) + "/" + path + "]") &&
        w.writeComment({}) && w.writeTag("fileid", TagKind::GroupStart) && w.writeValue(kind) &&
        w.writeValue(path) && w.writeValue(common::expectedVersion(kind)) &&
        w.writeTag({}, TagKind::GroupEnd);
    ok = ok && w.writeTag(kHeaderGroup, TagKind::GroupStart) && w.writeInt(file.year) &&
         w.writeInt(file.month);
    for (const std::string* text :
         {&e.name, &e.tin, &e.nssfNum, &e.poBox, &e.postCode, &e.town, &e.telephone})
        ok = ok && w.writeValue(*text);
    ok = ok && w.writeTag({}, TagKind::GroupEnd);
    for (const MONTHPERIOD& p : file.periods) {
        ok = ok && w.writeTag(kPeriodBlock, TagKind::BlockStart) &&
             w.writeTag(kInfoGroup, TagKind::GroupStart, 1) && w.writeInt(p.payFreq) &&
             w.writeInt(p.period.year) && w.writeInt(p.period.month) && w.writeInt(p.period.day) &&
             w.writeValue(p.title) && w.writeValue(p.source) &&
             w.writeValue(common::fixedText(p.sdlRate, 2)) &&
             w.writeValue(common::fixedText(p.wcfRate, 2)) && w.writeTag({}, TagKind::GroupEnd);
        for (const MONTHEMP& emp : p.employees)
            ok = ok && writeEmployee(w, emp);
        ok = ok && w.writeTag(kPeriodBlock, TagKind::BlockEnd);
    }
    ok = ok && w.writeEof();
    if (!w.close() || !ok) {
        ui.error("Unable to update " + path);
        return false;
    }
    return true;
}

double MONTHDB::sdlRate(int fiscalYear) const {
    database::SDLDB table(code_, folder_);
    database::SDLREC rate;
    const bool found = table.readFile(fiscalYear, rate);
    code_.setErrorCode(0);
    return found ? common::decimalOf(rate.rate) : 0;
}

bool MONTHDB::readPeriod(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                         MONTHPERIOD& out, MONTHORG& employer) const {
    payrunreports::PERIODDBEX reader(owner_, code_, folder_);
    if (!reader.open(ui, path, org))
        return false;
    const payrunreports::PeriodHeader& h = reader.header();
    employer = MONTHORG{h.orgName, h.itNum, h.nssfNum, h.poBox, h.postCode, h.town, h.telephone};
    out.title = h.periodTitle;
    out.source = path;
    payrunreports::REPORTREC rec;
    while (reader.readRecord(ui, rec))
        out.employees.push_back(MONTHEMP::of(rec));
    if (!reader.isOpen())
        return false;
    reader.close();
    fillGenders(out.employees);
    return true;
}

void MONTHDB::setRates(MONTHPERIOD& period, int fiscalYear) const {
    period.sdlRate = sdlRate(fiscalYear);
    period.wcfRate = database::WCFDB(code_, folder_).rateOf(fiscalYear);
    code_.setErrorCode(0);
}

// The period file has no gender, which the WCF return asks for; without a
// personnel file it stays empty.
void MONTHDB::fillGenders(std::vector<MONTHEMP>& employees) const {
    database::STATDB staff(code_, folder_);
    if (!staff.openFile() || !staff.orderByEmpNum()) {
        code_.setErrorCode(0);
        return;
    }
    common::STATICREC rec;
    for (MONTHEMP& e : employees)
        if (staff.seekEmpNum(e.empNum) && staff.initRec(rec))
            e.gender = rec.gender;
    staff.closeFile();
    code_.setErrorCode(0);
}

bool MONTHDB::updateFile(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org, bool) {
    const int month = common::monthNumber(org.month);
    const std::string path = monthFilePath(org.year, month);
    MONTHPERIOD period;
    period.payFreq = payFreq;
    period.period = database::PAYLOGDB::currentPeriod(payFreq, org);
    database::PAYLOGDB log(code_, folder_);
    const std::optional<std::string> source = log.getPeriodFile(payFreq, period.period);
    code_.setErrorCode(0);
    if (month == 0 || !source || source->empty()) {
        ui.error("The pay log keeps no report file for " +
                 payrunreports::periodTitle(payFreq, period.period) + ".");
        return false;
    }
    MONTHFILE file;
    if (exists(folder_, path)) {
        if (!readFile(ui, path, org, file))
            return false;
    } else {
        file.year = org.year;
        file.month = month;
    }
    if (!readPeriod(ui, *source, org, period, file.employer))
        return false;
    setRates(period, org.fiscalYear);
    addPeriod(file, std::move(period));
    return writeFile(ui, path, org, file);
}

bool MONTHDB::writeInterimFile(common::Ui& ui, const common::ORGREC& org) {
    const int month = common::monthNumber(org.month);
    const std::string path = monthFilePath(org.year, month);
    MONTHFILE file;
    file.year = org.year;
    file.month = month;
    file.employer = MONTHORG{org.name,     org.itNum, org.nssfNum,  org.poBox,
                             org.postCode, org.town,  org.telephone};
    if (exists(folder_, path) && !readFile(ui, path, org, file))
        return false;
    for (const common::PAYFREQ payFreq : kFrequencies) {
        if (!hasPayroll(folder_, payFreq))
            continue;
        const common::REPORTPARAM param = currentPeriodParam(payFreq, org);
        if (!payrunreports::refreshOpenPeriodFile(owner_, code_, folder_, ui, param, org))
            return false;
        MONTHPERIOD period;
        period.payFreq = payFreq;
        period.period = param.period;
        if (!readPeriod(ui, database::PAYLOGDB::getTmpPeriodFile(payFreq, org.year), org, period,
                        file.employer))
            return false;
        setRates(period, org.fiscalYear);
        if (!period.employees.empty())
            addPeriod(file, std::move(period));
    }
    return writeFile(ui, interimFilePath(org.year, month), org, file);
}

void MONTHDB::delInterimFile(const common::ORGREC& org) {
    const std::string path = interimFilePath(org.year, common::monthNumber(org.month));
    common::StatusText status(owner_, "Deleting " + path + "...");
    std::error_code error;
    fs::remove(folder_.resolve(path), error);
}

bool MONTHDB::requireFile(const common::WorkingFolder& folder, int year, int month,
                          const common::ORGREC& org) {
    if (year != org.year || month != common::monthNumber(org.month))
        return false;
    std::error_code error;
    const auto written = fs::last_write_time(folder.resolve(interimFilePath(year, month)), error);
    if (error)
        return true;
    const auto newer = [&](const std::string& source) {
        std::error_code e;
        const auto changed = fs::last_write_time(folder.resolve(source), e);
        return !e && changed > written;
    };
    if (newer(monthFilePath(year, month)))
        return true;
    for (const common::PAYFREQ payFreq : kFrequencies) {
        if (!hasPayroll(folder, payFreq))
            continue;
        if (payrunreports::PERIODDB::requireFile(folder, currentPeriodParam(payFreq, org), org) ||
            newer(database::PAYLOGDB::getTmpPeriodFile(payFreq, org.year)))
            return true;
    }
    return false;
}

bool MONTHDB::updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change,
                           const common::ORGREC& org) {
    delInterimFile(org);
    const std::string from = upper(change.oldEmpNum);
    bool ok = true;
    for (const int year : {org.year - 1, org.year}) {
        for (int month = 1; month <= 12; ++month) {
            const std::string path = monthFilePath(year, month);
            if (!exists(folder_, path))
                continue;
            MONTHFILE file;
            if (!readFile(ui, path, org, file)) {
                ok = false;
                continue;
            }
            bool changed = false;
            for (MONTHPERIOD& p : file.periods)
                for (MONTHEMP& e : p.employees)
                    if (upper(e.empNum) == from) {
                        e.empNum = change.newEmpNum;
                        changed = true;
                    }
            if (changed && !writeFile(ui, path, org, file))
                ok = false;
        }
    }
    return ok;
}

} // namespace kelo::monthlyreturns
