#include "taxreports/TaxRepDb.h"

#include "common/AtomicFile.h"
#include "common/Calendar.h"
#include "common/Money.h"
#include "common/TaggedFile.h"
#include "common/Text.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodDbEx.h"
#include "payrunreports/PeriodFormat.h"
#include "payrunreports/StoreFile.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace kelo::taxreports {

namespace fs = std::filesystem;
using common::TagKind;

namespace {

constexpr const char* kPeriodBlock = "period";
constexpr const char* kMonthGroup = "month";
constexpr const char* kTotalsGroup = "totals";

const char* kindOf(TaxFile kind) {
    return kind == TaxFile::P9 ? common::fileKind::P9 : common::fileKind::P10;
}

const char* baseName(TaxFile kind) {
    return kind == TaxFile::P9 ? "p9" : "p10";
}

// Amounts keep their cents: the period file's figures pass unchanged.
std::string moneyText(double value) {
    return common::fixedText(value == 0 ? 0.0 : value, 2);
}

bool readAmount(common::TaggedReader& r, double& out) {
    std::string text;
    return r.readValue(text) && common::parseAmount(text, out);
}

bool exists(const common::WorkingFolder& folder, const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(folder.resolve(path), error);
}

std::string titleOf(TaxFile kind, int year) {
    return std::string(kindOf(kind)) + " report file for " + std::to_string(year);
}

using payrunreports::PeriodKey;

bool writeEmployee(common::TaggedWriter& w, const P9EMP& e) {
    return w.writeTag(payrunreports::kItemGroup, TagKind::GroupStart, 1) &&
           w.writeValue(e.empNum) && w.writeValue(e.name) && w.writeValue(e.tin) &&
           w.writeValue(moneyText(e.grossPay)) && w.writeValue(moneyText(e.taxablePay)) &&
           w.writeValue(moneyText(e.paye)) && w.writeTag({}, TagKind::GroupEnd);
}

bool writePeriod(common::TaggedWriter& w, TaxFile kind, const TAXPERIOD& p) {
    if (!w.writeTag(kPeriodBlock, TagKind::BlockStart) ||
        !w.writeTag(kMonthGroup, TagKind::GroupStart) || !w.writeInt(p.month) ||
        !w.writeTag({}, TagKind::GroupEnd) || !payrunreports::writeHeader(w, p.header))
        return false;
    if (kind == TaxFile::P10) {
        const P10TOTALS& t = p.totals;
        if (!w.writeTag(kTotalsGroup, TagKind::GroupStart) || !w.writeInt(t.employees) ||
            !w.writeValue(moneyText(t.grossPay)) || !w.writeValue(moneyText(t.taxablePay)) ||
            !w.writeValue(moneyText(t.paye)) || !w.writeTag({}, TagKind::GroupEnd))
            return false;
    } else {
        if (!w.writeTag(payrunreports::kRecordsBlock, TagKind::BlockStart))
            return false;
        for (const P9EMP& e : p.employees) {
            if (!writeEmployee(w, e))
                return false;
        }
        if (!w.writeTag(payrunreports::kRecordsBlock, TagKind::BlockEnd))
            return false;
    }
    return w.writeTag(kPeriodBlock, TagKind::BlockEnd);
}

bool readEmployees(common::TaggedReader& r, std::vector<P9EMP>& out) {
    if (!r.findTag(payrunreports::kRecordsBlock, TagKind::BlockStart))
        return false;
    while (r.findTag(payrunreports::kItemGroup, TagKind::GroupStart)) {
        P9EMP e;
        if (!r.readValue(e.empNum) || !r.readValue(e.name) || !r.readValue(e.tin) ||
            !readAmount(r, e.grossPay) || !readAmount(r, e.taxablePay) || !readAmount(r, e.paye) ||
            !r.findTag({}, TagKind::GroupEnd))
            return false;
        out.push_back(std::move(e));
    }
    return r.findTag(payrunreports::kRecordsBlock, TagKind::BlockEnd);
}

bool readPeriod(common::TaggedReader& r, TaxFile kind, TAXPERIOD& p) {
    if (!r.findTag(kPeriodBlock, TagKind::BlockStart) ||
        !r.findTag(kMonthGroup, TagKind::GroupStart) || !r.readInt(p.month) ||
        !r.findTag({}, TagKind::GroupEnd) || !payrunreports::readHeader(r, p.header))
        return false;
    if (kind == TaxFile::P10) {
        P10TOTALS& t = p.totals;
        if (!r.findTag(kTotalsGroup, TagKind::GroupStart) || !r.readInt(t.employees) ||
            !readAmount(r, t.grossPay) || !readAmount(r, t.taxablePay) || !readAmount(r, t.paye) ||
            !r.findTag({}, TagKind::GroupEnd))
            return false;
    } else if (!readEmployees(r, p.employees)) {
        return false;
    }
    return r.findTag(kPeriodBlock, TagKind::BlockEnd);
}

common::REPORTPARAM currentPeriodParam(common::PAYFREQ payFreq, const common::ORGREC& org) {
    return payrunreports::currentPeriodParam(common::kReportP9, payFreq, org);
}

using payrunreports::hasPayroll;

constexpr TaxFile kKinds[] = {TaxFile::P9, TaxFile::P10};

} // namespace

P9EMP P9EMP::of(const payrunreports::REPORTREC& rec) {
    return {rec.empNum, rec.name, rec.tin, rec.grossPay, rec.chargeablePay, rec.paye};
}

P10TOTALS totalsOf(const std::vector<P9EMP>& employees) {
    P10TOTALS totals;
    for (const P9EMP& e : employees) {
        ++totals.employees;
        totals.grossPay += e.grossPay;
        totals.taxablePay += e.taxablePay;
        totals.paye += e.paye;
    }
    totals.grossPay = common::decimalValue(totals.grossPay);
    totals.taxablePay = common::decimalValue(totals.taxablePay);
    totals.paye = common::decimalValue(totals.paye);
    return totals;
}

bool TAXPERIOD::samePeriod(const TAXPERIOD& other) const {
    return header.payFreq == other.header.payFreq && header.periodTitle == other.header.periodTitle;
}

TAXREPDB::TAXREPDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder)
    : owner_(owner),
      code_(code),
      folder_(folder) {}

std::string TAXREPDB::filePath(TaxFile kind, int year) {
    return std::to_string(year) + "/" + baseName(kind) + ".dbf";
}

std::string TAXREPDB::interimPath(TaxFile kind, int year) {
    return std::to_string(year) + "/" + baseName(kind) + ".int";
}

bool TAXREPDB::checkFile(common::Ui& ui, const std::string& path, const common::ORGREC& org) const {
    common::TaggedReader r;
    return payrunreports::checkStoreFile(ui, folder_, path, org, r);
}

bool TAXREPDB::checkFiles(common::Ui& ui, const common::ORGREC& org) {
    for (const TaxFile kind : kKinds) {
        const std::string path = filePath(kind, org.year);
        if (exists(folder_, path) && !checkFile(ui, path, org))
            return false;
    }
    return true;
}

bool readTaxFile(common::Ui& ui, const common::WorkingFolder& folder, TaxFile kind,
                 const std::string& path, const common::ORGREC& org, TAXFILE& out) {
    if (!exists(folder, path)) {
        out = TAXFILE{};
        return true;
    }
    common::TaggedReader r;
    if (!payrunreports::checkStoreFile(ui, folder, path, org, r))
        return false;
    TAXFILE file;
    std::vector<PeriodKey> keys;
    bool ok = r.skipFileId() && payrunreports::readPeriodIndex(r, file.year, keys);
    for (std::size_t i = 0; ok && i < keys.size(); ++i) {
        TAXPERIOD p;
        ok = readPeriod(r, kind, p);
        file.periods.push_back(std::move(p));
    }
    if (!ok) {
        ui.error("Unable to open " + path);
        return false;
    }
    out = std::move(file);
    return true;
}

bool TAXREPDB::writeFile(common::Ui& ui, TaxFile kind, const std::string& path,
                         const common::ORGREC& org, const TAXFILE& file) const {
    common::TaggedWriter w(folder_.resolve(path), common::TaggedWriter::Mode::Replace);
    const bool written = payrunreports::writeYearFile(
        w, kindOf(kind), titleOf(kind, file.year), org.folder, path, file.year, file.periods,
        [kind](common::TaggedWriter& out, const TAXPERIOD& p) {
            return writePeriod(out, kind, p);
        });
    if (!w.close() || !written) {
        ui.error("Unable to create " + path);
        return false;
    }
    return true;
}

bool TAXREPDB::readPeriodFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                              TAXPERIOD& out) const {
    payrunreports::PERIODDBEX reader(owner_, code_, folder_);
    if (!reader.open(ui, path, org))
        return false;
    TAXPERIOD p;
    p.month = common::monthNumber(org.month);
    p.header = reader.header();
    payrunreports::REPORTREC rec;
    while (reader.readRecord(ui, rec)) {
        p.employees.push_back(P9EMP::of(rec));
        rec = payrunreports::REPORTREC();
    }
    if (!reader.isOpen())
        return false;
    p.totals = totalsOf(p.employees);
    out = std::move(p);
    return true;
}

// One pass over the old file: the periods stored are copied byte for byte.
bool TAXREPDB::addPeriod(common::Ui& ui, TaxFile kind, const common::ORGREC& org,
                         const TAXPERIOD& period) {
    const std::string path = filePath(kind, org.year);
    common::StatusText status(owner_, "Updating " + path + "...");
    return payrunreports::addStoredPeriod(
        ui, folder_, path, org, kindOf(kind), titleOf(kind, org.year),
        payrunreports::periodKey(period),
        [&](common::TaggedWriter& w) { return writePeriod(w, kind, period); });
}

bool TAXREPDB::updateFiles(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                           bool current) {
    TAXPERIOD period;
    if (!readPeriodFile(ui, payrunreports::PERIODDB::periodFilePath(payFreq, org, current), org,
                        period))
        return false;
    if (period.employees.empty())
        return true;
    // Both files are checked before either is written, so that a refused
    // file does not leave the other one period ahead.
    if (!checkFiles(ui, org))
        return false;
    return addPeriod(ui, TaxFile::P9, org, period) && addPeriod(ui, TaxFile::P10, org, period);
}

std::string TAXREPDB::openingTitle(int year, int month) {
    return common::monthName(month) + " " + std::to_string(year) + " (opening)";
}

bool TAXREPDB::writeOpeningPeriods(common::Ui& ui, const common::ORGREC& org,
                                   const std::vector<std::pair<int, TAXPERIOD>>& periods) {
    std::map<int, std::vector<const TAXPERIOD*>> byYear;
    for (const auto& [year, period] : periods)
        byYear[year].push_back(&period);
    // Every file read and laid out before any is written.
    struct Target {
        std::string path;
        TaxFile kind;
        TAXFILE file;
        std::optional<std::string> before;
    };
    std::vector<Target> targets;
    for (const auto& [year, added] : byYear) {
        for (const TaxFile kind : kKinds) {
            Target t{filePath(kind, year), kind, {}, std::nullopt};
            if (!readFile(ui, kind, t.path, org, t.file))
                return false;
            if (exists(folder_, t.path)) {
                common::TaggedReader r;
                if (!r.open(folder_.resolve(t.path))) {
                    ui.error("Unable to open " + t.path);
                    return false;
                }
                t.before = std::string(r.bytes());
            }
            t.file.year = year;
            for (const TAXPERIOD* period : added) {
                std::erase_if(t.file.periods,
                              [&](const TAXPERIOD& p) { return p.samePeriod(*period); });
                t.file.periods.push_back(*period);
            }
            targets.push_back(std::move(t));
        }
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const Target& t = targets[i];
        common::StatusText status(owner_, "Updating " + t.path + "...");
        std::error_code ignored;
        fs::create_directories(fs::path(folder_.resolve(t.path)).parent_path(), ignored);
        if (writeFile(ui, t.kind, t.path, org, t.file))
            continue;
        for (std::size_t j = 0; j < i; ++j) {
            if (targets[j].before)
                common::replaceFileAtomically(folder_.resolve(targets[j].path), *targets[j].before);
            else
                fs::remove(folder_.resolve(targets[j].path), ignored);
        }
        return false;
    }
    delInterimFiles(org);
    return true;
}

bool TAXREPDB::writeInterimFiles(common::Ui& ui, const common::ORGREC& org) {
    std::vector<TAXPERIOD> open;
    for (const common::PAYFREQ payFreq : common::kPayFreqs) {
        if (!hasPayroll(folder_, payFreq))
            continue;
        if (!payrunreports::refreshOpenPeriodFile(owner_, code_, folder_, ui,
                                                  currentPeriodParam(payFreq, org), org))
            return false;
        TAXPERIOD period;
        if (!readPeriodFile(ui, payrunreports::PERIODDB::periodFilePath(payFreq, org, false), org,
                            period))
            return false;
        if (!period.employees.empty())
            open.push_back(std::move(period));
    }
    for (const TaxFile kind : kKinds) {
        TAXFILE file;
        if (!readFile(ui, kind, filePath(kind, org.year), org, file))
            return false;
        file.year = org.year;
        for (const TAXPERIOD& period : open) {
            bool stored = false;
            for (const TAXPERIOD& p : file.periods)
                stored = stored || p.samePeriod(period);
            if (!stored)
                file.periods.push_back(period);
        }
        const std::string path = interimPath(kind, org.year);
        common::StatusText status(owner_, "Creating " + path + "...");
        if (!writeFile(ui, kind, path, org, file))
            return false;
    }
    return true;
}

void TAXREPDB::delInterimFiles(const common::ORGREC& org) {
    for (const TaxFile kind : kKinds) {
        const std::string path = interimPath(kind, org.year);
        common::StatusText status(owner_, "Deleting " + path + "...");
        std::error_code error;
        fs::remove(folder_.resolve(path), error);
    }
}

bool TAXREPDB::updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change,
                            const common::ORGREC& org) {
    delInterimFiles(org);
    bool ok = true;
    for (const int year : {org.year - 1, org.year}) {
        const std::string path = filePath(TaxFile::P9, year);
        if (!exists(folder_, path))
            continue;
        TAXFILE file;
        if (!readFile(ui, TaxFile::P9, path, org, file)) {
            ok = false;
            continue;
        }
        if (payrunreports::renumberEmployee(file.periods, change)) {
            common::StatusText status(owner_, "Updating " + path + "...");
            ok = writeFile(ui, TaxFile::P9, path, org, file) && ok;
        }
    }
    return ok;
}

std::string TAXREPDB::reportFilePath(TaxFile kind, const common::REPORTPARAM& param,
                                     const common::ORGREC& org) {
    const bool reachesOpenMonth =
        param.period.year == org.year && param.toMonth >= common::monthNumber(org.month);
    return reachesOpenMonth ? interimPath(kind, param.period.year)
                            : filePath(kind, param.period.year);
}

bool TAXREPDB::requireFile(const common::WorkingFolder& folder, const common::REPORTPARAM& param,
                           const common::ORGREC& org) {
    if (reportFilePath(TaxFile::P9, param, org) != interimPath(TaxFile::P9, org.year))
        return false;
    for (const TaxFile kind : kKinds) {
        std::error_code error;
        const auto written =
            fs::last_write_time(folder.resolve(interimPath(kind, org.year)), error);
        if (error)
            return true;
        const auto newer = [&](const std::string& path) {
            std::error_code e;
            const auto changed = fs::last_write_time(folder.resolve(path), e);
            return !e && changed > written;
        };
        if (newer(filePath(kind, org.year)))
            return true;
        for (const common::PAYFREQ payFreq : common::kPayFreqs) {
            if (!hasPayroll(folder, payFreq))
                continue;
            if (payrunreports::PERIODDB::requireFile(folder, currentPeriodParam(payFreq, org),
                                                     org) ||
                newer(payrunreports::PERIODDB::periodFilePath(payFreq, org, false)))
                return true;
        }
    }
    return false;
}

} // namespace kelo::taxreports
