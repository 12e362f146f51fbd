#include "common/TaggedFile.h"
#include "database/DbTable.h"
#include "engine/Data4.h"
#include "engine/MemoFile.h"
#include "setup/Backup.h"
#include "setup/BackupFormat.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace kelo::setup {

namespace fs = std::filesystem;
using common::Answer;
using common::MessageButtons;
using common::MessageIcon;
using common::TagKind;
namespace bf = backupformat;

namespace {

constexpr std::uint64_t kStartSpace = 1024;
constexpr const char* kInvalidDisk = "Make sure there is a valid disk in target drive.";
constexpr const char* kNoFreeSpace = "Unable to determine free space in target drive.";

bool endsWithDbf(const fs::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".dbf";
}

// The year folders' tagged files, "yyyy\name", in name order so that two
// backups of the same data are alike.
std::vector<std::string> yearFiles(const std::string& orgFolder) {
    std::vector<std::string> folders;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(orgFolder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= 4 && entry.is_directory(error))
            folders.push_back(name);
    }
    std::sort(folders.begin(), folders.end());
    std::vector<std::string> files;
    for (const std::string& folder : folders) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(fs::path(orgFolder) / folder, error)) {
            if (entry.is_regular_file(error) && endsWithDbf(entry.path()))
                names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
            files.push_back(folder + "\\" + name);
    }
    return files;
}

std::optional<std::string> readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad())
        return std::nullopt;
    return bytes;
}

// One backup run: the open backup file, the disk it is on and the stamps
// every disk repeats.
class BackupWriter {
public:
    BackupWriter(const BackupPorts& ports, std::string path)
        : ports_(ports),
          ui_(ports.ui),
          path_(std::move(path)) {}

    int run(const common::ORGREC& org);

private:
    bool startCheck();
    bool startDisk();
    bool writeOrgBlock(const common::ORGREC& org);
    bool writeTable(const std::string& stored);
    bool writeFields(engine::Data4& table);
    bool writeTags(engine::Data4& table);
    bool writeRecords(engine::Data4& table);
    bool writeValueOf(const engine::Field4& field);
    bool writeCopiedFile(const std::string& stored, const std::string& resolved);
    bool makeRoom(const std::string& stored, const std::vector<std::string>& files);
    bool changeDisk(std::uint64_t needed);
    bool hasRoom(std::uint64_t needed);
    bool finishDisk(bool last);
    int fail();

    const BackupPorts& ports_;
    common::Ui& ui_;
    std::string path_;
    std::string orgName_;
    common::TaggedWriter out_;
    int disk_ = 0;
    std::string date_;
    std::string time_;
};

int BackupWriter::run(const common::ORGREC& org) {
    common::WaitCursor wait(ui_);
    if (!startCheck())
        return 0;
    orgName_ = org.name;
    const auto date = ports_.clock.dateStamp();
    if (!date) {
        ui_.error("Backup unsuccessful: Can't create date stamp.");
        return 0;
    }
    const auto time = ports_.clock.timeStamp();
    if (!time) {
        ui_.error("Backup unsuccessful: Can't create time stamp.");
        return 0;
    }
    date_ = *date;
    time_ = *time;
    if (!startDisk()) {
        ui_.error("Can't create \"" + path_ + "\".");
        return 0;
    }
    if (!writeOrgBlock(org))
        return fail();
    for (const char* table : kBackupTables) {
        if (!writeTable(table))
            return fail();
    }
    for (const char* stored : kBackupFieldFiles) {
        const std::string resolved = ports_.folder.resolve(stored);
        if (!common::checkFileId(ui_, resolved, stored)) {
            ui_.error(std::string("Essential file is invalid: ") + stored);
            return fail();
        }
        if (!makeRoom(stored, {resolved}) || !writeCopiedFile(stored, resolved))
            return fail();
    }
    for (const std::string& stored : yearFiles(ports_.folder.current())) {
        const std::string resolved = ports_.folder.resolve(stored);
        // Report files that fail the check are left out, not fatal.
        if (!common::checkFileId(ui_, resolved, stored))
            continue;
        if (!makeRoom(stored, {resolved}) || !writeCopiedFile(stored, resolved))
            return fail();
    }
    if (!finishDisk(true))
        return fail();
    ui_.information("Backup successful.");
    return 1;
}

bool BackupWriter::startCheck() {
    const auto free = ports_.drive.freeSpace(path_);
    if (!free) {
        ui_.warning(kNoFreeSpace);
        return false;
    }
    if (*free < kStartSpace) {
        ui_.warning("Insufficient space in target drive to start backup.");
        return false;
    }
    return true;
}

bool BackupWriter::startDisk() {
    if (!out_.open(path_))
        return false;
    const int number = disk_ + 1;
    const bool ok =
        out_.writeComment("Backup file for " + orgName_) && out_.writeComment("[" + path_ + "]") &&
        out_.writeComment({}) && out_.writeTag(bf::FileId, TagKind::GroupStart) &&
        out_.writeValue(common::fileKind::Backup) && out_.writeValue(path_) &&
        out_.writeValue(kBackupVersion) && out_.writeTag({}, TagKind::GroupEnd) &&
        out_.writeTag(bf::Header, TagKind::GroupStart) && out_.writeInt(number) &&
        out_.writeValue(date_) && out_.writeValue(time_) && out_.writeTag({}, TagKind::GroupEnd);
    if (!ok) {
        out_.close();
        std::error_code ignored;
        fs::remove(path_, ignored);
        return false;
    }
    disk_ = number;
    return true;
}

bool BackupWriter::writeOrgBlock(const common::ORGREC& org) {
    bool ok = out_.writeTag(bf::FileBlock, TagKind::BlockStart, 0) &&
              out_.writeComment("Organisations file", 1) &&
              out_.writeComment(std::string("[") + bf::OrgTablePath + "]", 1) &&
              out_.writeComment({}, 1) && out_.writeTag(bf::FileId, TagKind::GroupStart, 1) &&
              out_.writeValue(common::fileKind::Organisations) &&
              out_.writeValue(bf::OrgTablePath) && out_.writeValue(bf::OrgBlockVersion) &&
              out_.writeTag({}, TagKind::GroupEnd) &&
              out_.writeTag(bf::Records, TagKind::BlockStart, 1) &&
              out_.writeTag(bf::Item, TagKind::GroupStart, 2);
    for (const std::string& value : bf::orgValues(org))
        ok = ok && out_.writeValue(value);
    return ok && out_.writeTag({}, TagKind::GroupEnd) &&
           out_.writeTag(bf::Records, TagKind::BlockEnd, 1) &&
           out_.writeTag(bf::FileBlock, TagKind::BlockEnd, 0);
}

bool BackupWriter::writeTable(const std::string& stored) {
    engine::Code4& code = ports_.code;
    const std::string resolved = ports_.folder.resolve(stored);
    const unsigned char savedMode = code.accessMode;
    code.accessMode = engine::OPEN4DENY_NONE;
    auto table = engine::Data4::open(code, resolved);
    code.accessMode = savedMode;
    const int error = code.errorCode();
    const std::string why = table ? std::string() : database::openFailureText(code, stored);
    code.setErrorCode(0);
    if (!table) {
        // Someone else's exclusive use is no damage; say which it is.
        if (error == engine::e4access)
            ui_.warning(stored + " is currently in use by another user. Try again later.");
        else
            ui_.error("Essential file is invalid: " + stored + "\n" + why);
        return false;
    }
    std::vector<std::string> files{resolved};
    const std::string memo = engine::MemoFile::pathFor(resolved);
    std::error_code ignored;
    if (fs::exists(memo, ignored))
        files.push_back(memo);
    if (!makeRoom(stored, files))
        return false;
    common::StatusText status(ui_, "Backing up " + stored + "...");
    const bool ok = out_.writeTag(bf::FileBlock, TagKind::BlockStart, 0) &&
                    out_.writeComment({}, 1) && out_.writeComment("[" + stored + "]", 1) &&
                    out_.writeComment({}, 1) && out_.writeTag(bf::FileId, TagKind::GroupStart, 1) &&
                    out_.writeValue(common::fileKind::CodeBase) && out_.writeValue(stored) &&
                    out_.writeValue({}) && out_.writeTag({}, TagKind::GroupEnd) &&
                    writeFields(*table) && writeTags(*table) && writeRecords(*table) &&
                    out_.writeTag(bf::FileBlock, TagKind::BlockEnd, 0);
    table->close();
    code.setErrorCode(0);
    return ok;
}

bool BackupWriter::writeFields(engine::Data4& table) {
    bool ok = out_.writeTag(bf::Fields, TagKind::BlockStart, 1);
    for (int i = 1; ok && i <= table.fieldCount(); ++i) {
        const engine::Field4& field = *table.field(i);
        ok = out_.writeTag(bf::Item, TagKind::GroupStart, 2) && out_.writeValue(field.name()) &&
             out_.writeShort(static_cast<short>(static_cast<unsigned char>(field.type()))) &&
             out_.writeUnsignedShort(static_cast<unsigned short>(field.length())) &&
             out_.writeUnsignedShort(static_cast<unsigned short>(field.decimals())) &&
             // The tables carry no null flags.
             out_.writeUnsignedShort(0) && out_.writeTag({}, TagKind::GroupEnd);
    }
    return ok && out_.writeTag(bf::Fields, TagKind::BlockEnd, 1);
}

bool BackupWriter::writeTags(engine::Data4& table) {
    bool ok = out_.writeTag(bf::Tags, TagKind::BlockStart, 1);
    for (engine::Tag4* tag = table.tagNext(nullptr); ok && tag; tag = table.tagNext(tag)) {
        const engine::Tag4Info& info = tag->info();
        ok = out_.writeTag(bf::Item, TagKind::GroupStart, 2) && out_.writeValue(info.name) &&
             out_.writeValue(info.expression) && out_.writeValue(info.filter) &&
             out_.writeInt(info.unique ? 1 : 0) && out_.writeInt(info.descending ? 1 : 0) &&
             out_.writeTag({}, TagKind::GroupEnd);
    }
    return ok && out_.writeTag(bf::Tags, TagKind::BlockEnd, 1);
}

bool BackupWriter::writeRecords(engine::Data4& table) {
    bool ok = out_.writeTag(bf::Records, TagKind::BlockStart, 1);
    table.select(nullptr);
    const long count = table.recCount();
    for (long recNo = 1; ok && recNo <= count; ++recNo) {
        if (table.go(recNo) != engine::r4success) {
            ok = false;
            break;
        }
        // A deleted record waits for a pack; restoring it would revive it.
        if (table.deleted())
            continue;
        ok = out_.writeTag(bf::Item, TagKind::GroupStart, 2);
        for (int i = 1; ok && i <= table.fieldCount(); ++i)
            ok = writeValueOf(*table.field(i));
        ok = ok && out_.writeTag({}, TagKind::GroupEnd);
    }
    return ok && out_.writeTag(bf::Records, TagKind::BlockEnd, 1);
}

bool BackupWriter::writeValueOf(const engine::Field4& field) {
    switch (field.type()) {
    case 'I':
        return out_.writeInt(field.getInt());
    case 'F':
    case 'B':
        return out_.writeDouble(field.getDouble());
    case 'X':
        // Raw bytes keep their blanks.
        return out_.writeValue(field.str());
    default:
        return out_.writeValue(bf::trimBlanks(field.str()));
    }
}

bool BackupWriter::writeCopiedFile(const std::string& stored, const std::string& resolved) {
    common::StatusText status(ui_, "Backing up " + stored + "...");
    const auto bytes = readWhole(resolved);
    if (!bytes) {
        ui_.error("Can't read \"" + stored + "\".");
        return false;
    }
    bool ok = out_.writeTag(bf::FileBlock, TagKind::BlockStart, 0);
    std::string_view rest(*bytes);
    while (ok && !rest.empty()) {
        const auto newline = rest.find('\n');
        const std::string_view line =
            rest.substr(0, newline == std::string_view::npos ? rest.size() : newline);
        ok = out_.writeRaw("\t") && out_.writeRaw(line) && out_.writeRaw("\n");
        rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
    }
    return ok && out_.writeTag(bf::FileBlock, TagKind::BlockEnd, 0);
}

bool BackupWriter::makeRoom(const std::string& stored, const std::vector<std::string>& files) {
    std::uint64_t size = 0;
    for (const std::string& file : files) {
        if (!std::ifstream(file, std::ios::binary)) {
            ui_.error("Can't read \"" + stored + "\".");
            return false;
        }
        std::error_code error;
        const std::uintmax_t bytes = fs::file_size(file, error);
        if (error) {
            ui_.error("Unable to determine size of \"" + stored + "\".");
            return false;
        }
        size += bytes;
    }
    // The text form of a table is seldom much longer than the table.
    const auto needed = static_cast<std::uint64_t>(static_cast<double>(size) * 1.1 + 100.0);
    for (;;) {
        out_.flush();
        const auto free = ports_.drive.freeSpace(path_);
        if (!free) {
            if (ui_.message(kNoFreeSpace, MessageIcon::Warning, MessageButtons::RetryCancel) ==
                Answer::Retry)
                continue;
            return false;
        }
        if (*free >= needed)
            return true;
        if (!ports_.drive.isRemovable(path_)) {
            ui_.warning("Insufficient space in target drive to write \"" + stored + "\".");
            return false;
        }
        return changeDisk(needed);
    }
}

bool BackupWriter::hasRoom(std::uint64_t needed) {
    const auto free = ports_.drive.freeSpace(path_);
    return free && *free >= needed;
}

// The checksum covers every byte the disk holds before it, read back from
// the disk itself.
bool BackupWriter::finishDisk(bool last) {
    if (!out_.flush())
        return false;
    const std::string hex = bf::fileSha256Hex(path_);
    return !hex.empty() && out_.writeTag(bf::Checksum, TagKind::GroupStart) &&
           out_.writeValue(hex) && out_.writeTag({}, TagKind::GroupEnd) &&
           (last ? out_.writeEof() : out_.writeEos()) && out_.close();
}

bool BackupWriter::changeDisk(std::uint64_t needed) {
    if (!finishDisk(false))
        return false;
    for (;;) {
        const std::string prompt = "Disk is full. Insert new disk in target drive  and label it "
                                   "\"Disk No. " +
                                   std::to_string(disk_ + 1) + "\".";
        if (ui_.message(prompt, MessageIcon::Warning, MessageButtons::OkCancel) != Answer::Ok)
            return false;
        if (hasRoom(needed))
            break;
        if (ui_.message(kInvalidDisk, MessageIcon::Warning, MessageButtons::RetryCancel) !=
            Answer::Retry)
            return false;
    }
    while (!startDisk()) {
        if (ui_.message(kInvalidDisk, MessageIcon::Warning, MessageButtons::RetryCancel) !=
            Answer::Retry)
            return false;
    }
    return true;
}

int BackupWriter::fail() {
    out_.close();
    std::error_code ignored;
    fs::remove(path_, ignored);
    ui_.error("Backup unsuccessful.");
    return 0;
}

} // namespace

int backupOrgTo(const BackupPorts& ports, const common::ORGREC& org, const std::string& path) {
    return BackupWriter(ports, path).run(org);
}

} // namespace kelo::setup
