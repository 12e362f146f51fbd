#include "annualreturns/AnnualDb.h"

#include "common/Calendar.h"
#include "common/Money.h"
#include "common/TaggedFile.h"
#include "common/Text.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodDbEx.h"
#include "payrunreports/PeriodFormat.h"
#include "payrunreports/StoreFile.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

namespace kelo::annualreturns {

namespace fs = std::filesystem;
using common::TagKind;

namespace {

constexpr const char* kPeriodBlock = "period";
constexpr const char* kMonthGroup = "month";

constexpr std::array<common::PAYFREQ, 4> kFrequencies{common::MONTHLY, common::WEEKLY,
                                                      common::BIWEEKLY, common::IRREGULAR};

// The amounts of an employee in the order the file holds them.
constexpr double ANNUALEMP::*kAmounts[] = {&ANNUALEMP::basicPay,
                                           &ANNUALEMP::overtimePay,
                                           &ANNUALEMP::rent,
                                           &ANNUALEMP::deficitBF,
                                           &ANNUALEMP::roundingCF,
                                           &ANNUALEMP::lumpSumTax,
                                           &ANNUALEMP::roundingBF,
                                           &ANNUALEMP::paye,
                                           &ANNUALEMP::nssfEmployee,
                                           &ANNUALEMP::nssfEmployer,
                                           &ANNUALEMP::sdl,
                                           &ANNUALEMP::grossPay,
                                           &ANNUALEMP::taxablePay,
                                           &ANNUALEMP::totalLumpSums,
                                           &ANNUALEMP::totalRefunds,
                                           &ANNUALEMP::totalPay,
                                           &ANNUALEMP::totalDeductions,
                                           &ANNUALEMP::deficit,
                                           &ANNUALEMP::netPay};

// The texts of an employee in the order the file holds them.
template <class Emp> auto textsOf(Emp& e) {
    return std::array{
        &e.empNum,   &e.name,        &e.unitPath,    &e.stationName,        &e.payGroupName,
        &e.bankName, &e.coopName[0], &e.coopName[1], &e.pensionFundName[0], &e.pensionFundName[1]};
}

std::string moneyText(double value) {
    return common::fixedText(value == 0 ? 0.0 : value, 0);
}

std::size_t itemCount(const payrunreports::ReportItemDefs& defs, std::size_t table) {
    const std::size_t builtIn =
        payrunreports::builtInCount(static_cast<common::FIELDSTABLE>(table));
    return defs[table].size() > builtIn ? defs[table].size() - builtIn : 0;
}

bool exists(const common::WorkingFolder& folder, const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(folder.resolve(path), error);
}

using payrunreports::PeriodKey;

std::string titleOf(int year) {
    return "Annual report file for " + std::to_string(year);
}

bool writeEmployee(common::TaggedWriter& w, const ANNUALEMP& e) {
    if (!w.writeTag(payrunreports::kItemGroup, TagKind::GroupStart, 1))
        return false;
    bool ok = true;
    for (const std::string* text : textsOf(e))
        ok = ok && w.writeValue(*text);
    for (double ANNUALEMP::*amount : kAmounts)
        ok = ok && w.writeValue(moneyText(e.*amount));
    for (const std::vector<double>& items : e.items) {
        for (double amount : items)
            ok = ok && w.writeValue(moneyText(amount));
    }
    return ok && w.writeTag({}, TagKind::GroupEnd);
}

bool readAmount(common::TaggedReader& r, double& out) {
    std::string text;
    return r.readValue(text) && common::parseAmount(text, out);
}

// The next employee of the records block; false at its end (`damaged`
// false) or for a damaged record.
bool readEmployee(common::TaggedReader& r, const payrunreports::ReportItemDefs& defs, ANNUALEMP& e,
                  bool& damaged) {
    damaged = false;
    if (!r.findTag(payrunreports::kItemGroup, TagKind::GroupStart))
        return false;
    damaged = true;
    for (std::string* text : textsOf(e)) {
        if (!r.readValue(*text))
            return false;
    }
    for (double ANNUALEMP::*amount : kAmounts) {
        if (!readAmount(r, e.*amount))
            return false;
    }
    for (std::size_t t = 0; t < e.items.size(); ++t) {
        e.items[t].assign(itemCount(defs, t), 0.0);
        for (double& amount : e.items[t]) {
            if (!readAmount(r, amount))
                return false;
        }
    }
    if (!r.findTag({}, TagKind::GroupEnd))
        return false;
    damaged = false;
    return true;
}

bool writePeriod(common::TaggedWriter& w, const ANNUALPERIOD& p) {
    if (!w.writeTag(kPeriodBlock, TagKind::BlockStart) ||
        !w.writeTag(kMonthGroup, TagKind::GroupStart) || !w.writeInt(p.month) ||
        !w.writeTag({}, TagKind::GroupEnd) || !payrunreports::writeHeader(w, p.header) ||
        !payrunreports::writeDefinitions(w, p.definitions) ||
        !w.writeTag(payrunreports::kRecordsBlock, TagKind::BlockStart))
        return false;
    for (const ANNUALEMP& e : p.employees) {
        if (!writeEmployee(w, e))
            return false;
    }
    return w.writeTag(payrunreports::kRecordsBlock, TagKind::BlockEnd) &&
           w.writeTag(kPeriodBlock, TagKind::BlockEnd);
}

bool readPeriod(common::TaggedReader& r, ANNUALPERIOD& p) {
    if (!r.findTag(kPeriodBlock, TagKind::BlockStart) ||
        !r.findTag(kMonthGroup, TagKind::GroupStart) || !r.readInt(p.month) ||
        !r.findTag({}, TagKind::GroupEnd) || !payrunreports::readHeader(r, p.header) ||
        !payrunreports::readDefinitions(r, p.definitions) ||
        !r.findTag(payrunreports::kRecordsBlock, TagKind::BlockStart))
        return false;
    ANNUALEMP e;
    bool damaged = false;
    while (readEmployee(r, p.definitions, e, damaged)) {
        p.employees.push_back(std::move(e));
        e = ANNUALEMP();
    }
    return !damaged && r.findTag(payrunreports::kRecordsBlock, TagKind::BlockEnd) &&
           r.findTag(kPeriodBlock, TagKind::BlockEnd);
}

common::REPORTPARAM currentPeriodParam(common::PAYFREQ payFreq, const common::ORGREC& org) {
    return payrunreports::currentPeriodParam(common::kReportYearMusterRoll, payFreq, org);
}

using payrunreports::hasPayroll;

} // namespace

ANNUALEMP ANNUALEMP::of(const payrunreports::REPORTREC& rec) {
    ANNUALEMP e;
    e.empNum = rec.empNum;
    e.name = rec.name;
    e.unitPath = rec.unitPath;
    e.stationName = rec.stationName;
    e.payGroupName = rec.payGroupName;
    e.bankName = rec.bankName;
    e.coopName = rec.coopName;
    e.pensionFundName = rec.pensionFundName;
    e.basicPay = rec.basicPay;
    e.overtimePay = rec.overtimePay;
    e.rent = rec.rent;
    e.deficitBF = rec.deficitBF;
    e.roundingCF = rec.roundingCF;
    e.lumpSumTax = rec.lumpSumTax;
    e.roundingBF = rec.roundingBF;
    e.paye = rec.paye;
    e.nssfEmployee = rec.nssfEmployee;
    e.nssfEmployer = rec.nssfEmployer;
    e.sdl = rec.sdl;
    e.grossPay = rec.grossPay;
    e.taxablePay = rec.taxablePay;
    e.totalLumpSums = rec.totalLumpSums;
    e.totalRefunds = rec.totalRefunds;
    e.totalPay = rec.totalPay;
    e.totalDeductions = rec.totalDeductions;
    e.deficit = rec.deficit;
    e.netPay = rec.netPay;
    for (std::size_t t = 0; t < e.items.size(); ++t) {
        for (const payrunreports::ReportItem& item : rec.items[t])
            e.items[t].push_back(item.amount);
    }
    return e;
}

bool ANNUALPERIOD::samePeriod(const ANNUALPERIOD& other) const {
    return header.payFreq == other.header.payFreq && header.periodTitle == other.header.periodTitle;
}

ANNUALDB::ANNUALDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder)
    : owner_(owner),
      code_(code),
      folder_(folder) {}

std::string ANNUALDB::storeFilePath(int year) {
    return std::to_string(year) + "/annualreturns.dbf";
}

std::string ANNUALDB::interimFilePath(int year) {
    return std::to_string(year) + "/annualreturns.int";
}

bool ANNUALDB::checkFile(common::Ui& ui, const std::string& path, const common::ORGREC& org) const {
    common::TaggedReader r;
    return payrunreports::checkStoreFile(ui, folder_, path, org, r);
}

bool ANNUALDB::checkFiles(common::Ui& ui, const common::ORGREC& org) {
    const std::string path = storeFilePath(org.year);
    return !exists(folder_, path) || checkFile(ui, path, org);
}

bool ANNUALDB::readFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                        ANNUALFILE& out) const {
    if (!exists(folder_, path)) {
        out = ANNUALFILE{};
        return true;
    }
    if (!checkFile(ui, path, org))
        return false;
    common::TaggedReader r;
    ANNUALFILE file;
    std::vector<PeriodKey> keys;
    if (!r.open(folder_.resolve(path)) || !r.skipFileId() ||
        !payrunreports::readPeriodIndex(r, file.year, keys)) {
        ui.error("Unable to open " + path);
        return false;
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        ANNUALPERIOD p;
        if (!readPeriod(r, p)) {
            ui.error("Unable to open " + path);
            return false;
        }
        file.periods.push_back(std::move(p));
    }
    out = std::move(file);
    return true;
}

bool ANNUALDB::writeFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                         const ANNUALFILE& file) const {
    common::TaggedWriter w(folder_.resolve(path), common::TaggedWriter::Mode::Replace);
    const bool written =
        payrunreports::writeYearFile(w, common::fileKind::AnnualReports, titleOf(file.year),
                                     org.folder, path, file.year, file.periods, writePeriod);
    if (!w.close() || !written) {
        ui.error("Unable to create " + path);
        return false;
    }
    return true;
}

bool ANNUALDB::readPeriodFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                              int month, ANNUALPERIOD& out) const {
    payrunreports::PERIODDBEX reader(owner_, code_, folder_);
    if (!reader.open(ui, path, org))
        return false;
    ANNUALPERIOD p;
    p.month = month;
    p.header = reader.header();
    p.definitions = reader.definitions();
    payrunreports::REPORTREC rec;
    while (reader.readRecord(ui, rec)) {
        p.employees.push_back(ANNUALEMP::of(rec));
        rec = payrunreports::REPORTREC();
    }
    if (!reader.isOpen())
        return false;
    out = std::move(p);
    return true;
}

bool ANNUALDB::updateFile(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                          bool current) {
    const std::string path = storeFilePath(org.year);
    common::StatusText status(owner_, "Updating " + path + "...");
    ANNUALPERIOD period;
    if (!readPeriodFile(ui, payrunreports::PERIODDB::periodFilePath(payFreq, org, current), org,
                        common::monthNumber(org.month), period))
        return false;
    if (period.employees.empty())
        return true;
    return payrunreports::addStoredPeriod(
        ui, folder_, path, org, common::fileKind::AnnualReports, titleOf(org.year),
        payrunreports::periodKey(period),
        [&](common::TaggedWriter& w) { return writePeriod(w, period); });
}

bool ANNUALDB::writeInterimFile(common::Ui& ui, const common::ORGREC& org) {
    const std::string path = interimFilePath(org.year);
    ANNUALFILE file;
    if (!readFile(ui, storeFilePath(org.year), org, file))
        return false;
    file.year = org.year;
    for (const common::PAYFREQ payFreq : kFrequencies) {
        if (!hasPayroll(folder_, payFreq))
            continue;
        if (!payrunreports::refreshOpenPeriodFile(owner_, code_, folder_, ui,
                                                  currentPeriodParam(payFreq, org), org))
            return false;
        ANNUALPERIOD period;
        if (!readPeriodFile(ui, payrunreports::PERIODDB::periodFilePath(payFreq, org, false), org,
                            common::monthNumber(org.month), period))
            return false;
        bool stored = false;
        for (const ANNUALPERIOD& p : file.periods)
            stored = stored || p.samePeriod(period);
        if (!stored && !period.employees.empty())
            file.periods.push_back(std::move(period));
    }
    common::StatusText status(owner_, "Creating " + path + "...");
    return writeFile(ui, path, org, file);
}

void ANNUALDB::delInterimFile(const common::ORGREC& org) {
    const std::string path = interimFilePath(org.year);
    common::StatusText status(owner_, "Deleting " + path + "...");
    std::error_code error;
    fs::remove(folder_.resolve(path), error);
}

bool ANNUALDB::updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change,
                            const common::ORGREC& org) {
    delInterimFile(org);
    bool ok = true;
    for (const int year : {org.year - 1, org.year}) {
        const std::string path = storeFilePath(year);
        if (!exists(folder_, path))
            continue;
        ANNUALFILE file;
        if (!readFile(ui, path, org, file)) {
            ok = false;
            continue;
        }
        if (payrunreports::renumberEmployee(file.periods, change)) {
            common::StatusText status(owner_, "Updating " + path + "...");
            ok = writeFile(ui, path, org, file) && ok;
        }
    }
    return ok;
}

std::string ANNUALDB::reportFilePath(const common::REPORTPARAM& param, const common::ORGREC& org) {
    const bool reachesOpenMonth =
        param.period.year == org.year && param.toMonth >= common::monthNumber(org.month);
    return reachesOpenMonth ? interimFilePath(param.period.year) : storeFilePath(param.period.year);
}

bool ANNUALDB::requireFile(const common::WorkingFolder& folder, const common::REPORTPARAM& param,
                           const common::ORGREC& org) {
    if (reportFilePath(param, org) != interimFilePath(org.year))
        return false;
    std::error_code error;
    const auto written = fs::last_write_time(folder.resolve(interimFilePath(org.year)), error);
    if (error)
        return true;
    const auto newer = [&](const std::string& path) {
        std::error_code e;
        const auto changed = fs::last_write_time(folder.resolve(path), e);
        return !e && changed > written;
    };
    if (newer(storeFilePath(org.year)))
        return true;
    for (const common::PAYFREQ payFreq : kFrequencies) {
        if (!hasPayroll(folder, payFreq))
            continue;
        if (payrunreports::PERIODDB::requireFile(folder, currentPeriodParam(payFreq, org), org) ||
            newer(payrunreports::PERIODDB::periodFilePath(payFreq, org, false)))
            return true;
    }
    return false;
}

} // namespace kelo::annualreturns
