#include "payrunreports/StoreFile.h"

#include "database/PayLogDb.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodFormat.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace kelo::payrunreports {

using common::TagKind;

namespace {

constexpr const char* kYearGroup = "year";
constexpr const char* kIndexGroup = "periods";
constexpr std::string_view kEnd = "\\eof{}\n";

bool exists(const common::WorkingFolder& folder, const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(folder.resolve(path), error);
}

} // namespace

bool checkStoreFile(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                    const common::ORGREC& org, common::TaggedReader& reader,
                    UnnamedFolder unnamed) {
    const std::string resolved = folder.resolve(path);
    if (!common::checkFileId(ui, resolved, path))
        return false;
    if (!reader.open(resolved)) {
        ui.error("Unable to open " + path);
        return false;
    }
    const std::string writtenFor = writtenForFolder(reader.bytes(), path);
    const bool foreign = writtenFor.empty()
                             ? unnamed == UnnamedFolder::Refused
                             : !common::WorkingFolder::samePath(
                                   writtenFor, common::WorkingFolder::normalise(org.folder));
    if (foreign) {
        ui.error("File \"" + path + "\" was written for another organisation" +
                 (writtenFor.empty() ? std::string(".") : " (" + writtenFor + ")."));
        reader.close();
        return false;
    }
    return true;
}

bool writeYearPreamble(common::TaggedWriter& w, const char* kind, const std::string& title,
                       std::string_view orgFolder, const std::string& path, int year) {
    return w.writeComment(title) &&
           w.writeComment("[" + common::WorkingFolder::normalise(orgFolder) + "/" + path + "]") &&
           w.writeComment({}) && w.writeTag("fileid", TagKind::GroupStart) && w.writeValue(kind) &&
           w.writeValue(path) && w.writeValue(common::expectedVersion(kind)) &&
           w.writeTag({}, TagKind::GroupEnd) && w.writeTag(kYearGroup, TagKind::GroupStart) &&
           w.writeInt(year) && w.writeTag({}, TagKind::GroupEnd);
}

bool writePeriodIndex(common::TaggedWriter& w, const std::vector<PeriodKey>& keys) {
    if (!w.writeTag(kIndexGroup, TagKind::GroupStart) || !w.writeInt(static_cast<int>(keys.size())))
        return false;
    for (const PeriodKey& k : keys) {
        if (!w.writeInt(k.month) || !w.writeInt(k.payFreq) || !w.writeValue(k.title))
            return false;
    }
    return w.writeTag({}, TagKind::GroupEnd);
}

bool readPeriodIndex(common::TaggedReader& r, int& year, std::vector<PeriodKey>& keys) {
    int count = 0;
    if (!r.findTag(kYearGroup, TagKind::GroupStart) || !r.readInt(year) ||
        !r.findTag({}, TagKind::GroupEnd) || !r.findTag(kIndexGroup, TagKind::GroupStart) ||
        !r.readInt(count) || count < 0)
        return false;
    keys.clear();
    for (int i = 0; i < count; ++i) {
        PeriodKey k;
        if (!r.readInt(k.month) || !r.readInt(k.payFreq) || !r.readValue(k.title))
            return false;
        keys.push_back(std::move(k));
    }
    return r.findTag({}, TagKind::GroupEnd);
}

bool addStoredPeriod(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                     const common::ORGREC& org, const char* kind, const std::string& title,
                     const PeriodKey& key,
                     const std::function<bool(common::TaggedWriter&)>& writePeriod) {
    std::vector<PeriodKey> keys;
    common::TaggedReader old;
    std::string_view stored;
    if (exists(folder, path)) {
        if (!checkStoreFile(ui, folder, path, org, old))
            return false;
        int year = 0;
        if (!old.skipFileId() || !readPeriodIndex(old, year, keys) ||
            !old.bytes().ends_with(kEnd)) {
            ui.error("Unable to open " + path);
            return false;
        }
        for (const PeriodKey& k : keys) {
            if (k.payFreq == key.payFreq && k.title == key.title)
                return true;
        }
        std::size_t start = old.position();
        if (start < old.size() && old.bytes()[start] == '\n')
            ++start;
        const std::size_t end = old.size() - kEnd.size();
        stored = old.bytes().substr(start, end > start ? end - start : 0);
    }
    keys.push_back(key);
    common::TaggedWriter w(folder.resolve(path), common::TaggedWriter::Mode::Replace);
    const bool written = writeYearPreamble(w, kind, title, org.folder, path, org.year) &&
                         writePeriodIndex(w, keys) && w.writeRaw(stored) && writePeriod(w) &&
                         w.writeEof();
    if (!w.close() || !written) {
        ui.error("Unable to update " + path);
        return false;
    }
    return true;
}

bool hasPayroll(const common::WorkingFolder& folder, common::PAYFREQ payFreq) {
    return exists(folder, std::string(common::payFieldDefinitionsPath(payFreq))) &&
           exists(folder, std::string(common::transactionsTablePath(payFreq)));
}

common::REPORTPARAM currentPeriodParam(std::int32_t reportType, common::PAYFREQ payFreq,
                                       const common::ORGREC& org) {
    common::REPORTPARAM param = common::newReportParam(reportType, org);
    param.payFreq = payFreq;
    param.isCurrentPeriod = 1;
    param.period = database::PAYLOGDB::currentPeriod(payFreq, org);
    return param;
}

bool refreshOpenPeriodFile(common::Ui& owner, engine::Code4& code,
                           const common::WorkingFolder& folder, common::Ui& ui,
                           const common::REPORTPARAM& param, const common::ORGREC& org) {
    if (!PERIODDB::requireFile(folder, param, org))
        return true;
    PERIODDB writer(owner, code, folder);
    return writer.checkFiles(ui, param.payFreq, org) &&
           writer.writeFile(ui, param.payFreq, org, false);
}

} // namespace kelo::payrunreports
