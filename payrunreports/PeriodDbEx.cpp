#include "payrunreports/PeriodDbEx.h"

#include "common/AtomicFile.h"
#include "database/AbsenceDb.h"
#include "database/LeaveDb.h"
#include "database/PayLogDb.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodFormat.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace kelo::payrunreports {

namespace fs = std::filesystem;

PERIODDBEX::PERIODDBEX(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder)
    : owner_(owner),
      code_(code),
      folder_(folder) {}

std::optional<std::string> PERIODDBEX::reportFilePath(common::Ui& ui,
                                                      const common::REPORTPARAM& param) {
    if (param.isCurrentPeriod)
        return database::PAYLOGDB::getTmpPeriodFile(param.payFreq, param.period.year);
    const std::string period = periodTitle(param.payFreq, param.period);
    database::PAYLOGDB log(code_, folder_);
    const std::optional<std::string> path = log.getPeriodFile(param.payFreq, param.period);
    if (!path || path->empty()) {
        ui.error("The pay log keeps no report file for " + period + ".");
        return std::nullopt;
    }
    std::error_code error;
    if (!fs::is_regular_file(folder_.resolve(*path), error)) {
        ui.error("The report file of " + period + ", " + *path +
                 ", is missing: it has been deleted or moved.");
        return std::nullopt;
    }
    return path;
}

bool PERIODDBEX::open(common::Ui& ui, const std::string& path, const common::ORGREC& org) {
    close();
    const std::string resolved = folder_.resolve(path);
    if (!common::checkFileId(ui, resolved, path))
        return false;
    if (!reader_.open(resolved)) {
        ui.error("Unable to open " + path);
        return false;
    }
    const std::string writtenFor = writtenForFolder(reader_.bytes(), path);
    if (!writtenFor.empty() && !common::WorkingFolder::samePath(
                                   writtenFor, common::WorkingFolder::normalise(org.folder))) {
        ui.error("File \"" + path + "\" was written for another organisation (" + writtenFor +
                 ").");
        close();
        return false;
    }
    path_ = path;
    if (!reader_.skipFileId() || !readHeader(reader_, header_) ||
        !readDefinitions(reader_, defs_) ||
        !reader_.findTag(kRecordsBlock, common::TagKind::BlockStart))
        return damaged(ui);
    return true;
}

bool PERIODDBEX::damaged(common::Ui& ui) {
    ui.error("Unable to open " + path_);
    close();
    return false;
}

bool PERIODDBEX::readRecord(common::Ui& ui, REPORTREC& rec) {
    if (!reader_.isOpen())
        return false;
    bool broken = false;
    if (payrunreports::readRecord(reader_, defs_, rec, broken))
        return true;
    if (broken || !reader_.findTag(kRecordsBlock, common::TagKind::BlockEnd))
        return damaged(ui);
    return false;
}

void PERIODDBEX::close() {
    reader_.close();
    path_.clear();
    header_ = PeriodHeader();
    defs_ = ReportItemDefs();
}

bool PERIODDBEX::readFile(common::Ui& ui, const common::REPORTPARAM& param,
                          const common::ORGREC& org, PeriodFile& out) {
    const std::optional<std::string> path = reportFilePath(ui, param);
    if (!path || !open(ui, *path, org))
        return false;
    PeriodFile file;
    file.header = header_;
    file.definitions = defs_;
    REPORTREC rec;
    while (readRecord(ui, rec))
        file.records.push_back(std::move(rec));
    if (!reader_.isOpen())
        return false;
    close();
    out = std::move(file);
    return true;
}

bool PERIODDBEX::saveLeaveDays(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                               bool current) {
    const std::string path = PERIODDB::periodFilePath(payFreq, org, current);
    common::StatusText status(owner_, "Updating " + path + "...");
    const std::string resolved = folder_.resolve(path);
    common::TaggedReader in;
    if (path.empty() || !in.open(resolved)) {
        ui.error("Unable to update " + path);
        return false;
    }
    common::AtomicFile out;
    if (!out.open(resolved)) {
        ui.error("Unable to create " + path);
        return false;
    }
    database::ABSENCEDB absence(code_, folder_, ui);
    database::LEAVEDB leave(code_, folder_, ui);
    if (!absence.openFile() || !leave.openFile() || !absence.orderByEmpNum() ||
        !leave.orderByEmpNum()) {
        code_.setErrorCode(0);
        return false;
    }
    PeriodHeader header;
    ReportItemDefs defs;
    if (!in.skipFileId() || !readHeader(in, header) || !readDefinitions(in, defs) ||
        !in.findTag(kRecordsBlock, common::TagKind::BlockStart)) {
        ui.error("Unable to update " + path);
        return false;
    }
    // Every byte is copied as it is but the last value of each record.
    const std::string_view bytes = in.bytes();
    std::string updated;
    updated.reserve(bytes.size());
    std::size_t copied = 0;
    REPORTREC rec;
    bool broken = false;
    while (payrunreports::readRecord(in, defs, rec, broken)) {
        database::LEAVEREC account;
        account.empNum = rec.empNum;
        if (!leave.readAccount(account) || !absence.readAccount(account))
            return false;
        const std::size_t lastNul = bytes.rfind('\0', in.position() - 1);
        const std::size_t valueStart = bytes.rfind('\0', lastNul - 1) + 1;
        updated.append(bytes.substr(copied, valueStart - copied));
        updated.append(common::scramble(leaveBalanceText(account.balance())));
        copied = lastNul;
    }
    if (broken || !in.findTag(kRecordsBlock, common::TagKind::BlockEnd) || !in.hasTerminator()) {
        ui.error("Unable to update " + path);
        return false;
    }
    updated.append(bytes.substr(copied));
    if (!out.write(updated) || !out.commit()) {
        ui.error("Unable to update " + path);
        return false;
    }
    return true;
}

bool preparePeriodFile(common::Ui& ui, PERIODDB& writer, PERIODDBEX& reader,
                       const common::REPORTPARAM& param, const common::ORGREC& org) {
    if (!PERIODDB::requireFile(writer.folder(), param, org))
        return true;
    if (!writer.checkFiles(ui, param.payFreq, org) ||
        !writer.writeFile(ui, param.payFreq, org, false))
        return false;
    // Without its leave balances the file is still whole: they read 0.00.
    reader.saveLeaveDays(ui, param.payFreq, org, false);
    return true;
}

} // namespace kelo::payrunreports
