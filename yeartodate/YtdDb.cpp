#include "yeartodate/YtdDb.h"

#include "common/AtomicFile.h"
#include "common/Calendar.h"
#include "common/TaggedFile.h"
#include "common/Text.h"
#include "database/DbTable.h"
#include "database/JobsDb.h"
#include "database/NssfDb.h"
#include "database/OptionsDb.h"
#include "database/OrgDb.h"
#include "database/PayFieldsFile.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/StaticDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "database/VarDb.h"
#include "payrunreports/PeriodFormat.h"
#include "payrunreports/StoreFile.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace kelo::yeartodate {

namespace fs = std::filesystem;

namespace {

constexpr auto kUnnamed = payrunreports::UnnamedFolder::Accepted;

bool exists(const common::WorkingFolder& folder, const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(folder.resolve(path), error);
}

// Tells the user which table would not open and clears the error so the
// caller's next table can still be tried.
bool openFailed(common::Ui& ui, engine::Code4& code, std::string_view table) {
    const std::string text = database::openFailureText(code, table);
    code.setErrorCode(0);
    ui.error(text);
    return false;
}

// Names looked up once per code: a payroll names few units and jobs many
// times over.
class Lookups {
public:
    Lookups(engine::Code4& code, const common::WorkingFolder& folder)
        : code_(code),
          jobs_(code, folder),
          units_(code, folder),
          stations_(code, folder) {}

    bool open(common::Ui& ui) {
        for (database::LookupTable* table :
             std::initializer_list<database::LookupTable*>{&units_, &jobs_, &stations_})
            if (!table->openFile())
                return openFailed(ui, code_, table->relativePath());
        return true;
    }
    // The employee's names, job, unit, station and frequency in his block.
    void name(YTDREC& rec, const common::STATICREC& employee,
              const database::PERSONNELREC& personnel) {
        rec.lastName = employee.lastName;
        rec.otherNames = employee.otherNames;
        rec.jobTitle = jobTitle(personnel.job);
        rec.unitPath = unitPath(personnel.unit);
        rec.stationName = stationName(employee.station);
        rec.payFreq = employee.payFreq;
    }

private:
    std::string jobTitle(long code) {
        return cached(jobNames_, code, [&] { return jobs_.getJobTitle(code); });
    }
    std::string unitPath(long code) {
        return cached(unitPaths_, code, [&] { return units_.getUnitPath(code); });
    }
    std::string stationName(long code) {
        return cached(stationNames_, code, [&] { return stations_.getStationName(code); });
    }
    template <class Get>
    std::string cached(std::map<long, std::string>& names, long code, Get get) {
        if (code == 0)
            return {};
        const auto found = names.find(code);
        if (found != names.end())
            return found->second;
        return names.emplace(code, get()).first->second;
    }

    engine::Code4& code_;
    database::JOBSDB jobs_;
    database::UNITSDB units_;
    database::STATIONSDB stations_;
    std::map<long, std::string> jobNames_, unitPaths_, stationNames_;
};

// The blocks of the file being updated, one ahead of the merge.
class OldBlocks {
public:
    OldBlocks(common::TaggedReader* reader, const YtdNames& names)
        : reader_(reader),
          names_(names) {}

    // Reads the next block; false for a damaged one.
    bool advance() {
        next_.reset();
        raw_ = {};
        if (!reader_)
            return true;
        YTDREC rec;
        bool damaged = false;
        const std::size_t from = reader_->position();
        if (readBlock(*reader_, names_, rec, damaged)) {
            next_ = std::move(rec);
            raw_ = blockBytes(from);
        }
        return !damaged;
    }
    const std::optional<YTDREC>& next() const { return next_; }
    YTDREC take() { return std::move(*next_); }
    // The block just read as it stands in the file, from its opening tag to
    // the line end after its closing one; empty when it is not laid out as
    // writeBlock lays it out.
    std::string_view raw() const { return raw_; }

private:
    std::string_view blockBytes(std::size_t from) const {
        const std::string_view bytes = reader_->bytes();
        const std::string opening = std::string("\\begin{") + kEmployeeBlock + "}\n";
        const std::size_t start = bytes.find(opening, from);
        const std::size_t end = reader_->position();
        if (start == std::string_view::npos || end >= bytes.size() || bytes[end] != '\n')
            return {};
        return bytes.substr(start, end + 1 - start);
    }

    common::TaggedReader* reader_;
    const YtdNames& names_;
    std::optional<YTDREC> next_;
    std::string_view raw_;
};

} // namespace

YTDDB::YTDDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder)
    : owner_(owner),
      code_(code),
      folder_(folder),
      calc_(code, folder) {}

std::string YTDDB::filePath(int year) {
    return std::to_string(year) + "/ytd.dbf";
}

std::string YTDDB::interimPath(int year) {
    return std::to_string(year) + "/ytd.int";
}

bool YTDDB::checkFiles(common::Ui& ui, const common::ORGREC& org) {
    const std::pair<const char*, const char*> withData[] = {
        {database::STATDB::kPath, "Employee Master"},
        {database::UNITSDB::kPath, "Administrative Units"},
        {database::JOBSDB::kPath, "Jobs"},
        {database::STATIONSDB::kPath, "Stations"}};
    for (const auto& [path, title] : withData) {
        if (!database::allValid(ui, code_, folder_, {path}) ||
            !database::hasData(ui, code_, folder_, path, title))
            return false;
    }
    if (calc_.checkCalcFiles(org) != 1) {
        ui.error("Can't find the PAYE and NSSF tables of " + std::to_string(org.fiscalYear));
        return false;
    }
    for (common::PAYFREQ payFreq : common::kPayFreqs) {
        const std::string definitions(common::payFieldDefinitionsPath(payFreq));
        if (!common::checkFileId(ui, folder_.resolve(definitions), definitions))
            return false;
        const std::string table(common::transactionsTablePath(payFreq));
        if (!database::isValid(code_, folder_, table)) {
            ui.error("Can't open " + table);
            return false;
        }
    }
    const std::string path = filePath(org.year);
    common::TaggedReader reader;
    return !exists(folder_, path) ||
           payrunreports::checkStoreFile(ui, folder_, path, org, reader, kUnnamed);
}

bool YTDDB::updateFile(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                       bool final) {
    const std::string target = final ? filePath(org.year) : interimPath(org.year);
    return update(ui, payFreq, org, exists(folder_, target) ? target : std::string(), target);
}

bool YTDDB::writeInterimFile(common::Ui& ui, const common::ORGREC& org) {
    delInterimFile(org);
    const std::string interim = interimPath(org.year);
    const std::string year = filePath(org.year);
    bool ok = true;
    // The year's file is read in place rather than copied first, so that the
    // interim file names itself.
    for (common::PAYFREQ payFreq : common::kPayFreqs) {
        const std::string source = exists(folder_, interim) ? interim
                                   : exists(folder_, year)  ? year
                                                            : std::string();
        ok = update(ui, payFreq, org, source, interim) && ok;
    }
    return ok;
}

void YTDDB::delInterimFile(const common::ORGREC& org) {
    const std::string path = interimPath(org.year);
    common::StatusText status(owner_, "Deleting " + path + "...");
    std::error_code ignored;
    fs::remove(folder_.resolve(path), ignored);
}

bool YTDDB::update(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                   const std::string& source, const std::string& target) {
    const int month = common::monthNumber(org.month);
    if (month == 0 || !common::isValidPayFreq(payFreq)) {
        ui.error("Unable to create " + target);
        return false;
    }
    if (!calc_.initCalcFields(ui, org))
        return false;
    Lookups lookups(code_, folder_);
    if (!lookups.open(ui))
        return false;
    database::PayFieldTables definitions;
    if (!database::readPayFields(ui, folder_, payFreq, definitions))
        return false;
    common::PayItemDefs payDefs;
    database::VARDB transactions(code_, folder_);
    if (!database::payItemDefsOf(definitions, payDefs) || !transactions.setDefinitions(payDefs)) {
        code_.setErrorCode(0);
        ui.error("Unable to open " + std::string(common::payFieldDefinitionsPath(payFreq)));
        return false;
    }
    if (!transactions.openFile(payFreq) || !transactions.orderByEmpNum2())
        return openFailed(ui, code_, common::transactionsTablePath(payFreq));
    database::STATDB staff(code_, folder_);
    if (!staff.openFile() || !staff.orderByEmpNum())
        return openFailed(ui, code_, database::STATDB::kPath);
    common::StatusText status(owner_, "Updating " + target + "...");

    common::TaggedReader reader;
    YtdHeader oldHeader;
    YtdNames oldNames;
    if (!source.empty() && !openYtdFile(ui, folder_, source, org, reader, oldHeader, oldNames))
        return false;
    YtdNames names = oldNames;
    mergeNames(names, definitions);

    std::error_code ignored;
    fs::create_directories(fs::path(folder_.resolve(target)).parent_path(), ignored);
    common::TaggedWriter w(folder_.resolve(target), common::TaggedWriter::Mode::Replace);
    bool ok = writePreamble(w, org.year, org.folder, target) &&
              writeHeader(w, YtdHeader{std::to_string(org.year), org.name}) && writeNames(w, names);
    OldBlocks old(source.empty() ? nullptr : &reader, oldNames);
    bool damaged = !old.advance();
    // A block of another frequency, or of an employee not paid, goes on as
    // it was; its bytes are copied when the pay fields' lists are unchanged,
    // which spares most of the work of a run per frequency.
    const bool sameLists = names == oldNames;
    const auto copyThrough = [&](YTDREC rec) {
        if (sameLists && !old.raw().empty()) {
            ok = ok && w.writeRaw(old.raw());
        } else {
            fitLists(rec, names);
            ok = ok && writeBlock(w, rec);
        }
        damaged = damaged || !old.advance();
    };
    const auto column = static_cast<std::size_t>(month - 1);
    engine::Data4& rows = *staff.data();
    common::STATICREC employee;
    database::PERSONNELREC personnel;
    common::VARIATIONSREC pay;
    for (int rc = rows.top(); ok && !damaged && rc == engine::r4success && !rows.eof();
         rc = rows.skip()) {
        if (!staff.isOnPayroll(payFreq) || !staff.initRec(employee))
            continue;
        while (!damaged && old.next() && empNumBefore(old.next()->empNum, employee.empNum))
            copyThrough(old.take());
        const bool hasBlock = old.next() && common::employeeKey(old.next()->empNum) ==
                                                common::employeeKey(employee.empNum);
        if (!transactions.seekEmpNum(employee.empNum) || !transactions.initRec(pay) ||
            pay.removed) {
            if (hasBlock)
                copyThrough(old.take());
            continue;
        }
        YTDREC rec = hasBlock ? old.take() : newYtdRec(names);
        if (hasBlock) {
            fitLists(rec, names);
            damaged = !old.advance();
        }
        staff.initRec(personnel);
        rec.empNum = employee.empNum;
        lookups.name(rec, employee, personnel);
        paycalc::CALCFIELDS::copyStatFields(pay, employee);
        calc_.computeFields(pay);
        addMonth(rec, pay, column);
        ok = ok && writeBlock(w, rec);
    }
    code_.setErrorCode(0);
    while (ok && !damaged && old.next())
        copyThrough(old.take());
    if (damaged) {
        ui.error("Unable to open " + source);
        return false;
    }
    ok = ok && w.writeEof();
    ok = w.close() && ok;
    if (!ok)
        ui.error("Unable to create " + target);
    return ok;
}

bool YTDDB::updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change,
                         const common::ORGREC& org) {
    const std::string path = filePath(org.year);
    if (!exists(folder_, path))
        return true;
    common::TaggedReader reader;
    YtdHeader header;
    YtdNames names;
    if (!openYtdFile(ui, folder_, path, org, reader, header, names))
        return false;
    const std::string oldKey = common::employeeKey(change.oldEmpNum);
    // Every block but the employee's is copied byte for byte.
    struct Span {
        std::size_t begin, end;
        std::string empNum;
    };
    const std::string_view bytes = reader.bytes();
    const std::string blockStart = std::string("\\begin{") + kEmployeeBlock + "}";
    std::vector<Span> spans;
    std::optional<YTDREC> moved;
    YTDREC rec;
    bool damaged = false;
    for (;;) {
        const std::size_t from = reader.position();
        if (!readBlock(reader, names, rec, damaged))
            break;
        std::size_t end = reader.position();
        if (end < bytes.size() && bytes[end] == '\n')
            ++end;
        if (!moved && common::employeeKey(rec.empNum) == oldKey)
            moved = rec;
        else
            spans.push_back(Span{bytes.find(blockStart, from), end, rec.empNum});
    }
    if (damaged) {
        ui.error("Unable to open " + path);
        return false;
    }
    if (!moved)
        return true;
    moved->empNum = change.newEmpNum;
    // The comments, identity group, header and lists stay as they are.
    const std::size_t bodyStart = bytes.find(blockStart);
    common::TaggedWriter w(folder_.resolve(path), common::TaggedWriter::Mode::Replace);
    bool ok = w.writeRaw(bytes.substr(0, bodyStart));
    bool written = false;
    for (const Span& span : spans) {
        if (!written && !empNumBefore(span.empNum, moved->empNum)) {
            ok = ok && writeBlock(w, *moved);
            written = true;
        }
        ok = ok && w.writeRaw(bytes.substr(span.begin, span.end - span.begin));
    }
    if (!written)
        ok = ok && writeBlock(w, *moved);
    ok = ok && w.writeEof();
    ok = w.close() && ok;
    if (!ok)
        ui.error("Unable to create " + path);
    return ok;
}

bool YTDDB::writeOpeningAmounts(common::Ui& ui, const common::ORGREC& org,
                                const std::vector<YtdOpening>& amounts) {
    std::map<int, std::vector<const YtdOpening*>> byYear;
    for (const YtdOpening& amount : amounts)
        byYear[amount.year].push_back(&amount);
    if (byYear.empty())
        return true;

    // The personnel file heads a block the file does not have yet.
    std::map<std::string, YTDREC> heads;
    {
        Lookups lookups(code_, folder_);
        if (!lookups.open(ui))
            return false;
        database::STATDB staff(code_, folder_);
        if (!staff.openFile())
            return openFailed(ui, code_, database::STATDB::kPath);
        std::map<std::string, bool> wanted;
        for (const YtdOpening& amount : amounts)
            wanted[common::employeeKey(amount.empNum)] = true;
        engine::Data4& rows = *staff.data();
        common::STATICREC employee;
        database::PERSONNELREC personnel;
        for (int rc = rows.top(); rc == engine::r4success && !rows.eof(); rc = rows.skip()) {
            if (rows.deleted() || !staff.initRec(employee) ||
                !wanted.contains(common::employeeKey(employee.empNum)))
                continue;
            staff.initRec(personnel);
            YTDREC head;
            head.empNum = common::trim(employee.empNum);
            lookups.name(head, employee, personnel);
            heads[common::employeeKey(employee.empNum)] = std::move(head);
        }
        code_.setErrorCode(0);
    }
    std::map<common::PAYFREQ, database::PayFieldTables> definitions;
    for (const auto& [key, head] : heads) {
        if (!definitions.contains(head.payFreq) &&
            !database::readPayFields(ui, folder_, head.payFreq, definitions[head.payFreq]))
            return false;
    }

    // What each year's file held, to put back should a later one fail.
    std::vector<std::pair<std::string, std::optional<std::string>>> written;
    const auto putBack = [&] {
        for (const auto& [path, bytes] : written) {
            std::error_code ignored;
            if (bytes)
                common::replaceFileAtomically(folder_.resolve(path), *bytes);
            else
                fs::remove(folder_.resolve(path), ignored);
        }
    };
    for (const auto& [year, yearAmounts] : byYear) {
        const std::string path = filePath(year);
        common::StatusText status(owner_, "Updating " + path + "...");
        YtdFile file{YtdHeader{std::to_string(year), org.name}, {}, {}};
        std::optional<std::string> before;
        if (exists(folder_, path)) {
            if (!readYtdFile(ui, folder_, path, org, file)) {
                putBack();
                return false;
            }
            common::TaggedReader reader;
            if (reader.open(folder_.resolve(path)))
                before = std::string(reader.bytes());
        }
        for (const auto& [payFreq, tables] : definitions)
            mergeNames(file.names, tables);
        for (YTDREC& rec : file.records)
            fitLists(rec, file.names);
        bool ok = true;
        for (const YtdOpening* amount : yearAmounts) {
            const std::string key = common::employeeKey(amount->empNum);
            auto at = std::find_if(file.records.begin(), file.records.end(), [&](const YTDREC& r) {
                return !empNumBefore(r.empNum, amount->empNum);
            });
            if (at == file.records.end() || common::employeeKey(at->empNum) != key) {
                const auto head = heads.find(key);
                if (head == heads.end()) {
                    ui.error("There is no employee numbered " + amount->empNum);
                    ok = false;
                    break;
                }
                const YTDREC fresh = newYtdRec(file.names);
                YTDREC rec = head->second;
                rec.rows = fresh.rows;
                rec.lists = fresh.lists;
                at = file.records.insert(at, std::move(rec));
            }
            if (amount->month < 1 || amount->month > 12 ||
                !setMonthAmount(*at, amount->field, static_cast<std::size_t>(amount->month - 1),
                                amount->amount)) {
                ui.error("The year-to-date file has no pay field named " + amount->field);
                ok = false;
                break;
            }
        }
        std::error_code ignored;
        fs::create_directories(fs::path(folder_.resolve(path)).parent_path(), ignored);
        if (ok) {
            common::TaggedWriter w(folder_.resolve(path), common::TaggedWriter::Mode::Replace);
            ok = writePreamble(w, year, org.folder, path) && writeHeader(w, file.header) &&
                 writeNames(w, file.names);
            for (const YTDREC& rec : file.records)
                ok = ok && writeBlock(w, rec);
            ok = ok && w.writeEof();
            ok = w.close() && ok;
            if (!ok)
                ui.error("Unable to create " + path);
        }
        if (!ok) {
            putBack();
            return false;
        }
        written.emplace_back(path, std::move(before));
    }
    delInterimFile(org);
    return true;
}

std::vector<std::string> YTDDB::sourceFiles(const common::ORGREC& org) {
    const std::string year = "../system/" + std::to_string(org.fiscalYear) + "/";
    std::vector<std::string> files{
        year + database::PAYEDB::kFileName, year + database::NSSFDB::kFileName,
        year + database::PAYEPARAMDB::kFileName, database::ORGDB::kPath,
        // The payroll options change the figures too.
        database::OPTIONSDB::kPath, database::STATDB::kPath, database::UNITSDB::kPath,
        database::JOBSDB::kPath, database::STATIONSDB::kPath, filePath(org.year)};
    for (common::PAYFREQ payFreq : common::kPayFreqs) {
        files.emplace_back(common::payFieldDefinitionsPath(payFreq));
        files.emplace_back(common::transactionsTablePath(payFreq));
    }
    return files;
}

bool YTDDB::interimIsStale(const common::WorkingFolder& folder, const common::ORGREC& org) {
    std::error_code error;
    const auto written = fs::last_write_time(folder.resolve(interimPath(org.year)), error);
    if (error)
        return true;
    for (const std::string& source : sourceFiles(org)) {
        const auto changed = fs::last_write_time(folder.resolve(source), error);
        if (!error && changed > written)
            return true;
    }
    return false;
}

bool openYtdFile(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                 const common::ORGREC& org, common::TaggedReader& reader, YtdHeader& header,
                 YtdNames& names) {
    if (!payrunreports::checkStoreFile(ui, folder, path, org, reader, kUnnamed))
        return false;
    if (!reader.skipFileId() || !readHeader(reader, header) || !readNames(reader, names)) {
        reader.close();
        ui.error("Unable to open " + path);
        return false;
    }
    return true;
}

bool readYtdFile(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                 const common::ORGREC& org, YtdFile& out) {
    common::TaggedReader reader;
    YtdFile file;
    if (!openYtdFile(ui, folder, path, org, reader, file.header, file.names))
        return false;
    YTDREC rec;
    bool damaged = false;
    while (readBlock(reader, file.names, rec, damaged))
        file.records.push_back(std::move(rec));
    if (damaged) {
        ui.error("Unable to open " + path);
        return false;
    }
    out = std::move(file);
    return true;
}

} // namespace kelo::yeartodate
