#include "common/AtomicFile.h"
#include "common/TaggedFile.h"
#include "common/Text.h"
#include "database/AbsenceDb.h"
#include "database/CoopsDb.h"
#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/LeaveDb.h"
#include "database/OptionsDb.h"
#include "database/PayFieldsFile.h"
#include "database/PayGroupDb.h"
#include "database/PayLogDb.h"
#include "database/PensionsDb.h"
#include "database/PostsDb.h"
#include "database/StaticDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "database/VarDb.h"
#include "engine/Data4.h"
#include "setup/Backup.h"
#include "setup/BackupFormat.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

namespace kelo::setup {

namespace fs = std::filesystem;
using common::Answer;
using common::MessageButtons;
using common::MessageIcon;
using common::TagKind;
namespace bf = backupformat;

namespace {

constexpr const char* kValidDiskPrompt = "Please insert disk with valid backup file in drive.";
constexpr const char* kLastDiskPrompt = "Please insert last backup disk in drive.";
constexpr const char* kNothingRestored = " Nothing has been restored.";
constexpr const char* kUnverifiedQuestion =
    "This backup was made by an earlier version of the program and carries no checksum, so "
    "damage to it cannot be detected. Restore it anyway?";

std::string damagedText(int disk) {
    const std::string what =
        disk > 0 ? "Backup disk " + std::to_string(disk) : std::string("The backup file");
    return what + " is damaged: its contents do not match the checksum written with it." +
           kNothingRestored;
}

std::string invalidText(const std::string& why) {
    return "Backup file is not valid: " + why + "." + kNothingRestored;
}

// A table as the backup holds it.
struct TableBlock {
    std::string path; // as stored: "database\static.dbf"
    std::vector<engine::Field4Info> fields;
    std::vector<engine::Tag4Info> tags;
    std::vector<std::vector<std::string>> records;
};

// A tagged text file copied line by line.
struct CopiedFile {
    std::string path;
    std::string bytes;
};

struct Block {
    int disk = 0;
    std::variant<TableBlock, CopiedFile> content;
};

struct DiskHeader {
    int disk = 0;
    std::string date;
    std::string time;
};

bool readHeader(common::TaggedReader& in, DiskHeader& header) {
    in.setPosition(0);
    return in.skipFileId() && in.findTag(bf::Header, TagKind::GroupStart) &&
           in.readInt(header.disk) && in.readValue(header.date) && in.readValue(header.time) &&
           in.findTag({}, TagKind::GroupEnd) && header.disk >= 1;
}

bool endsWithEof(const common::TaggedReader& in) {
    const std::string_view bytes = in.bytes();
    return bytes.ends_with("\\eof{}\n") || bytes.ends_with("\\eof{}\r\n");
}

bool readValues(common::TaggedReader& in, std::vector<std::string>& values, std::size_t count) {
    values.resize(count);
    for (std::string& value : values) {
        if (!in.readValue(value))
            return false;
    }
    return in.findTag({}, TagKind::GroupEnd);
}

bool parseFields(common::TaggedReader& in, std::vector<engine::Field4Info>& fields) {
    if (!in.findTag(bf::Fields, TagKind::BlockStart))
        return false;
    while (in.findTag(bf::Item, TagKind::GroupStart)) {
        engine::Field4Info field;
        short type = 0;
        unsigned short length = 0;
        unsigned short decimals = 0;
        unsigned short nullFlag = 0;
        if (!in.readValue(field.name) || !in.readShort(type) || !in.readUnsignedShort(length) ||
            !in.readUnsignedShort(decimals) || !in.readUnsignedShort(nullFlag) ||
            !in.findTag({}, TagKind::GroupEnd) || type <= 0 || type > 127)
            return false;
        field.type = static_cast<char>(type);
        field.length = length;
        field.decimals = decimals;
        fields.push_back(std::move(field));
    }
    return !fields.empty() && in.findTag(bf::Fields, TagKind::BlockEnd);
}

bool parseTags(common::TaggedReader& in, std::vector<engine::Tag4Info>& tags) {
    if (!in.findTag(bf::Tags, TagKind::BlockStart))
        return false;
    while (in.findTag(bf::Item, TagKind::GroupStart)) {
        engine::Tag4Info tag;
        int unique = 0;
        int descending = 0;
        if (!in.readValue(tag.name) || !in.readValue(tag.expression) || !in.readValue(tag.filter) ||
            !in.readInt(unique) || !in.readInt(descending) || !in.findTag({}, TagKind::GroupEnd))
            return false;
        tag.unique = unique != 0;
        tag.descending = descending != 0;
        tags.push_back(std::move(tag));
    }
    return in.findTag(bf::Tags, TagKind::BlockEnd);
}

bool parseTable(common::TaggedReader& in, TableBlock& table, std::string& problem) {
    if (!parseFields(in, table.fields) || !parseTags(in, table.tags) ||
        !in.findTag(bf::Records, TagKind::BlockStart))
        return false;
    while (in.findTag(bf::Item, TagKind::GroupStart)) {
        std::vector<std::string> values;
        if (!readValues(in, values, table.fields.size())) {
            problem = invalidText("record " + std::to_string(table.records.size() + 1) + " of " +
                                  table.path + " does not hold one value for each field");
            return false;
        }
        table.records.push_back(std::move(values));
    }
    return in.findTag(bf::Records, TagKind::BlockEnd) &&
           in.findTag(bf::FileBlock, TagKind::BlockEnd);
}

// The lines after the block start, each without the tab put in front,
// until the block end on a line of its own.
bool parseCopiedLines(common::TaggedReader& in, std::size_t afterStart, std::string& bytes) {
    const std::string_view all = in.bytes();
    std::size_t at = all.find('\n', afterStart);
    if (at == std::string_view::npos)
        return false;
    ++at;
    for (;;) {
        const std::size_t newline = all.find('\n', at);
        if (newline == std::string_view::npos)
            return false;
        std::string_view line = all.substr(at, newline - at);
        if (line == "\\end{file}" || line == "\\end{file}\r") {
            in.setPosition(newline + 1);
            return true;
        }
        if (line.empty() || line.front() != '\t')
            return false;
        line.remove_prefix(1);
        bytes.append(line).push_back('\n');
        at = newline + 1;
    }
}

// Holds the engine's overwrite protection off and its access exclusive for
// one re-creation: a restore replaces what is there, and nobody else may use
// the table while it fills.
class CreateSettings {
public:
    explicit CreateSettings(engine::Code4& code)
        : code_(code),
          safety_(code.safety),
          accessMode_(code.accessMode) {
        code_.safety = false;
        code_.accessMode = engine::OPEN4DENY_RW;
    }
    ~CreateSettings() {
        code_.safety = safety_;
        code_.accessMode = accessMode_;
    }
    CreateSettings(const CreateSettings&) = delete;
    CreateSettings& operator=(const CreateSettings&) = delete;

private:
    engine::Code4& code_;
    bool safety_;
    unsigned char accessMode_;
};

// A scratch folder under the system's temporary folder, removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code error;
        std::string pattern = (fs::temp_directory_path(error) / "kelo-restore-XXXXXX").string();
        if (!error && ::mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty())
            fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

bool hasDataExtension(const fs::path& file) {
    const std::string extension = file.extension().string();
    return extension.size() == 4 && (extension[1] == 'd' || extension[1] == 'D');
}

// Takes the messages of a check that runs on scratch copies: their paths
// would mean nothing to the user, who hears the restore's own reason.
class QuietUi final : public common::Ui {
public:
    Answer message(const std::string&, MessageIcon, MessageButtons, const std::string&,
                   std::optional<Answer>) override {
        return Answer::Cancel;
    }
    void beep() override {}
    void setStatusText(const std::string&) override {}
    void beginWait() override {}
    void endWait() override {}
    std::optional<std::string> chooseSaveFile(const common::FileChoice&) override { return {}; }
    std::optional<std::string> chooseOpenFile(const common::FileChoice&) override { return {}; }
    std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
        return {};
    }
};

using FreqDefs = std::array<common::PayItemDefs, common::kPayFreqCount>;

// The program's own layout of the organisation table the backup names
// `stored`; nullopt for a path that is no organisation table.
std::optional<database::Schema> schemaFor(std::string_view stored, const FreqDefs& defs,
                                          engine::Code4& code, const common::WorkingFolder& folder,
                                          common::Ui& ui) {
    using common::WorkingFolder;
    for (common::PAYFREQ f : common::kPayFreqs) {
        if (WorkingFolder::samePath(stored, common::transactionsTablePath(f))) {
            database::VARDB transactions(code, folder);
            if (!transactions.setDefinitions(defs[static_cast<std::size_t>(f)])) {
                code.setErrorCode(0);
                return std::nullopt;
            }
            return transactions.schema();
        }
    }
    std::vector<std::unique_ptr<database::DbTable>> tables;
    tables.push_back(std::make_unique<database::STATDB>(code, folder));
    tables.push_back(std::make_unique<database::ABSENCEDB>(code, folder, ui));
    tables.push_back(std::make_unique<database::LEAVEDB>(code, folder, ui));
    tables.push_back(std::make_unique<database::UNITSDB>(code, folder));
    tables.push_back(std::make_unique<database::GRADESDB>(code, folder));
    tables.push_back(std::make_unique<database::JOBSDB>(code, folder));
    tables.push_back(std::make_unique<database::POSTSDB>(code, folder));
    tables.push_back(std::make_unique<database::STATIONSDB>(code, folder));
    tables.push_back(std::make_unique<database::PAYGROUPDB>(code, folder));
    tables.push_back(std::make_unique<database::COOPSDB>(code, folder));
    tables.push_back(std::make_unique<database::PENSIONSDB>(code, folder));
    tables.push_back(std::make_unique<database::OPTIONSDB>(code, folder));
    tables.push_back(std::make_unique<database::PAYLOGDB>(code, folder));
    for (const auto& table : tables) {
        if (WorkingFolder::samePath(stored, table->relativePath()))
            return table->schema();
    }
    return std::nullopt;
}

bool sameLayout(const TableBlock& block, const database::Schema& schema) {
    const auto sameField = [](const engine::Field4Info& a, const engine::Field4Info& b) {
        return common::equalsIgnoreCase(a.name, b.name) && a.type == b.type &&
               a.length == b.length && a.decimals == b.decimals;
    };
    const auto sameTag = [](const engine::Tag4Info& a, const engine::Tag4Info& b) {
        return common::equalsIgnoreCase(a.name, b.name) &&
               common::equalsIgnoreCase(a.expression, b.expression) &&
               common::equalsIgnoreCase(a.filter, b.filter) && a.unique == b.unique &&
               a.descending == b.descending;
    };
    return std::equal(block.fields.begin(), block.fields.end(), schema.fields.begin(),
                      schema.fields.end(), sameField) &&
           std::equal(block.tags.begin(), block.tags.end(), schema.tags.begin(), schema.tags.end(),
                      sameTag);
}

// One restore run.
//
// Order: nothing of the organisation changes until the whole backup has been
// read and proven. First the last disk is found (its header gives the number
// of disks and the stamps) and its checksum checked; a backup made before
// disks carried checksums is restored only when the user says so. Then every
// disk from the first is read in full: identity, disk number and stamps, its
// checksum, the organisation block (which must name the open organisation),
// every table and copied file block, and the disk's terminator
// (end-of-section, or end-of-file on the last). Every table must then be one
// of the organisation's, present once, laid out as the program lays it out
// (the transactions tables after the backed-up pay field definitions), with
// every value fitting its field. The tables' definitions are created once in
// a scratch folder, and every table of the organisation is opened
// exclusively to be sure no other user has it open. Only then is the
// organisation's record replaced and saved, its data files ("*.d??" in each
// subfolder) deleted, and the tables and files written from what was read,
// in the backup's order.
class RestoreReader {
public:
    RestoreReader(const BackupPorts& ports, std::string path)
        : ports_(ports),
          ui_(ports.ui),
          path_(std::move(path)) {}

    int run(common::ORGREC& org, const SaveOrgRec& save);

private:
    enum class LastDisk { Found, NotFound, Damaged };
    LastDisk findLastDisk();
    bool acceptSeal(const common::TaggedReader& in, int disk);
    bool readDisk(int disk, common::TaggedReader& in);
    std::string diskProblem(common::TaggedReader& in, int disk);
    bool parseDisk(common::TaggedReader& in, int disk);
    bool parseOrgBlock(common::TaggedReader& in);
    bool parseFileBlock(common::TaggedReader& in, int disk);
    bool contentsValid();
    bool eachFileOnce();
    bool loadDefinitions(FreqDefs& defs);
    bool layoutsMatch(const FreqDefs& defs);
    bool valuesFit();
    int badDefinitions();
    bool tablesFree();
    void deleteDataFiles();
    bool restoreTable(const TableBlock& table);
    bool restoreFile(const CopiedFile& file);
    int failDisk(int disk);
    int refuse(const std::string& text);
    bool reject(const std::string& text);

    const BackupPorts& ports_;
    common::Ui& ui_;
    std::string path_;
    bool removable_ = false;
    bool verified_ = false; // the last disk carries a checksum, so every disk must
    int diskCount_ = 0;
    std::string date_;
    std::string time_;
    common::TaggedReader lastDisk_; // kept when it is the only disk
    common::ORGREC backedUp_;
    std::vector<Block> blocks_;
    std::string problem_; // why the block just read is refused, when known
};

int RestoreReader::run(common::ORGREC& org, const SaveOrgRec& save) {
    common::WaitCursor wait(ui_);
    removable_ = ports_.drive.isRemovable(path_);
    switch (findLastDisk()) {
    case LastDisk::Damaged:
        return 0;
    case LastDisk::NotFound:
        ui_.error("Restore unsuccessful: Can't find last backup disk.");
        return 0;
    case LastDisk::Found:
        break;
    }
    if (!verified_ && !ui_.ask(kUnverifiedQuestion, Answer::No))
        return 0;
    for (int disk = 1; disk <= diskCount_; ++disk) {
        common::TaggedReader in;
        if (!readDisk(disk, in))
            return failDisk(disk);
        if (!acceptSeal(in, disk))
            return 0;
        if (!parseDisk(in, disk))
            return problem_.empty() ? failDisk(disk) : refuse(problem_);
        if (disk == 1 &&
            !common::equalsIgnoreCase(common::trim(backedUp_.name), common::trim(org.name))) {
            ui_.error("Backup file is for " + backedUp_.name);
            return 0;
        }
    }
    if (!contentsValid())
        return 0;
    if (const int disk = badDefinitions(); disk != 0)
        return failDisk(disk);
    if (!tablesFree())
        return 0;

    // From here on the organisation changes.
    common::ORGREC restored = backedUp_;
    restored.orgNum = org.orgNum;
    restored.name = org.name;
    restored.folder = org.folder;
    if (!save(restored))
        return failDisk(1);
    org = restored;
    deleteDataFiles();
    for (const Block& block : blocks_) {
        const bool ok = std::holds_alternative<TableBlock>(block.content)
                            ? restoreTable(std::get<TableBlock>(block.content))
                            : restoreFile(std::get<CopiedFile>(block.content));
        if (!ok)
            return failDisk(block.disk);
    }
    ui_.information("Restore successful.");
    return 1;
}

int RestoreReader::failDisk(int disk) {
    ui_.error("Restore unsuccessful: Can't restore disk " + std::to_string(disk) + " of " +
              std::to_string(diskCount_) + ".");
    return 0;
}

int RestoreReader::refuse(const std::string& text) {
    ui_.error(text);
    return 0;
}

bool RestoreReader::reject(const std::string& text) {
    ui_.error(text);
    return false;
}

RestoreReader::LastDisk RestoreReader::findLastDisk() {
    DiskHeader header;
    // The checksum is proven before the header is believed: a damaged
    // header would otherwise send the user looking for disks that never
    // existed.
    const auto sealOfLast = [&](bool headerRead) {
        const bf::Seal seal = bf::checkSeal(lastDisk_.bytes());
        if (seal == bf::Seal::Broken)
            ui_.error(damagedText(headerRead ? header.disk : 0));
        verified_ = seal == bf::Seal::Valid;
        return seal;
    };
    if (!removable_) {
        if (!common::checkFileId(ui_, path_) || !lastDisk_.open(path_))
            return LastDisk::NotFound;
        const bool headerRead = readHeader(lastDisk_, header);
        if (sealOfLast(headerRead) == bf::Seal::Broken)
            return LastDisk::Damaged;
        if (!headerRead)
            return LastDisk::NotFound;
    } else {
        std::string prompt = kLastDiskPrompt;
        MessageButtons buttons = MessageButtons::OkCancel;
        for (;;) {
            const Answer go = buttons == MessageButtons::OkCancel ? Answer::Ok : Answer::Retry;
            if (ui_.message(prompt, MessageIcon::Information, buttons) != go)
                return LastDisk::NotFound;
            buttons = MessageButtons::RetryCancel;
            if (!common::checkFileId(ui_, path_) || !lastDisk_.open(path_)) {
                prompt = kValidDiskPrompt;
                continue;
            }
            const bool headerRead = readHeader(lastDisk_, header);
            if (endsWithEof(lastDisk_) && sealOfLast(headerRead) == bf::Seal::Broken)
                return LastDisk::Damaged;
            if (!headerRead) {
                prompt = kValidDiskPrompt;
                continue;
            }
            if (endsWithEof(lastDisk_))
                break;
            prompt = kLastDiskPrompt;
        }
    }
    diskCount_ = header.disk;
    date_ = header.date;
    time_ = header.time;
    if (diskCount_ != 1)
        lastDisk_.close();
    return LastDisk::Found;
}

// Every disk of a backup whose last disk is sealed must be sealed too; a
// disk without a checksum then lost it.
bool RestoreReader::acceptSeal(const common::TaggedReader& in, int disk) {
    const bf::Seal seal = bf::checkSeal(in.bytes());
    if (seal == bf::Seal::Valid || (seal == bf::Seal::Missing && !verified_))
        return true;
    ui_.error(damagedText(disk));
    return false;
}

std::string RestoreReader::diskProblem(common::TaggedReader& in, int disk) {
    DiskHeader header;
    if (!common::checkFileId(ui_, path_) || !in.open(path_) || !readHeader(in, header))
        return kValidDiskPrompt;
    if (header.disk != disk)
        return "This is backup disk " + std::to_string(header.disk) + ". Please insert disk " +
               std::to_string(disk) + ".";
    if (header.date != date_)
        return "This backup was made on " + header.date + ".Was expecting backup made on " + date_ +
               ".";
    if (header.time != time_)
        return "This backup was made at " + header.time + ".Was expecting backup made at " + time_ +
               ".";
    return {};
}

bool RestoreReader::readDisk(int disk, common::TaggedReader& in) {
    if (diskCount_ == 1) {
        // The last disk is the only one, and it was read a moment ago.
        in = std::move(lastDisk_);
        return true;
    }
    const std::string prompt = "Please insert backup disk " + std::to_string(disk) + " in drive.";
    if (ui_.message(prompt, MessageIcon::Information, MessageButtons::OkCancel) != Answer::Ok)
        return false;
    for (;;) {
        const std::string problem = diskProblem(in, disk);
        if (problem.empty())
            return true;
        if (ui_.message(problem, MessageIcon::Warning, MessageButtons::RetryCancel) !=
            Answer::Retry)
            return false;
    }
}

bool RestoreReader::parseDisk(common::TaggedReader& in, int disk) {
    DiskHeader header;
    if (!readHeader(in, header))
        return false;
    if (disk == 1 && !parseOrgBlock(in))
        return false;
    while (in.findTag(bf::FileBlock, TagKind::BlockStart)) {
        if (!parseFileBlock(in, disk))
            return false;
    }
    // acceptSeal has proven the checksum group where there is one.
    std::string checksum;
    if (in.findTag(bf::Checksum, TagKind::GroupStart) &&
        (!in.readValue(checksum) || !in.findTag({}, TagKind::GroupEnd)))
        return false;
    const char* end = disk == diskCount_ ? "eof" : "eos";
    return in.findTag(end, TagKind::GroupStart) && in.findTag({}, TagKind::GroupEnd);
}

bool RestoreReader::parseOrgBlock(common::TaggedReader& in) {
    common::FileId id;
    std::vector<std::string> values;
    return in.findTag(bf::FileBlock, TagKind::BlockStart) && in.readFileId(id) &&
           id.kind == common::fileKind::Organisations &&
           in.findTag(bf::Records, TagKind::BlockStart) &&
           in.findTag(bf::Item, TagKind::GroupStart) &&
           readValues(in, values, bf::kOrgValueCount) && bf::orgFromValues(values, backedUp_) &&
           in.findTag(bf::Records, TagKind::BlockEnd) &&
           in.findTag(bf::FileBlock, TagKind::BlockEnd);
}

bool RestoreReader::parseFileBlock(common::TaggedReader& in, int disk) {
    const std::size_t afterStart = in.position();
    common::FileId id;
    if (!in.readFileId(id) || !bf::isSafeRelativePath(id.path))
        return false;
    Block block;
    block.disk = disk;
    if (id.kind == common::fileKind::CodeBase) {
        TableBlock table;
        table.path = id.path;
        if (!parseTable(in, table, problem_))
            return false;
        block.content = std::move(table);
    } else {
        CopiedFile file;
        file.path = id.path;
        if (!parseCopiedLines(in, afterStart, file.bytes))
            return false;
        block.content = std::move(file);
    }
    blocks_.push_back(std::move(block));
    return true;
}

bool RestoreReader::contentsValid() {
    FreqDefs defs;
    return eachFileOnce() && loadDefinitions(defs) && layoutsMatch(defs) && valuesFit();
}

// Every table and pay field definitions file of the organisation, once: a
// restore deletes them all, so one missing would be lost.
bool RestoreReader::eachFileOnce() {
    std::vector<std::string> required(kBackupTables.begin(), kBackupTables.end());
    required.insert(required.end(), kBackupFieldFiles.begin(), kBackupFieldFiles.end());
    std::vector<int> seen(required.size(), 0);
    for (const Block& block : blocks_) {
        const auto* table = std::get_if<TableBlock>(&block.content);
        const std::string path =
            bf::storedPath(table ? table->path : std::get<CopiedFile>(block.content).path);
        const auto found = std::find_if(required.begin(), required.end(), [&](const auto& r) {
            return common::WorkingFolder::samePath(r, path);
        });
        if (found == required.end()) {
            if (!table)
                continue; // report and year files come and go
            return reject(
                invalidText("it holds " + path + ", which is no table of an organisation"));
        }
        if (++seen[static_cast<std::size_t>(found - required.begin())] > 1)
            return reject(invalidText("it holds " + path + " twice"));
        const bool isTable = found - required.begin() < std::ssize(kBackupTables);
        if (isTable != (table != nullptr))
            return reject(invalidText("it holds " + path + " in the wrong form"));
    }
    for (std::size_t i = 0; i < required.size(); ++i) {
        if (seen[i] == 0)
            return reject(invalidText("it holds no copy of " + required[i]));
    }
    return true;
}

// The transactions tables' columns follow the pay field definitions, so
// the backed-up definitions are read as the program will read them once
// restored.
bool RestoreReader::loadDefinitions(FreqDefs& defs) {
    ScratchFolder scratch;
    if (scratch.path().empty())
        return reject(std::string("Restore unsuccessful: Can't create a scratch folder to check "
                                  "the backup in.") +
                      kNothingRestored);
    common::WorkingFolder folder(scratch.path());
    folder.moveTo(scratch.path() + "/org");
    std::error_code ignored;
    fs::create_directories(folder.resolve("database"), ignored);
    QuietUi quiet;
    for (common::PAYFREQ f : common::kPayFreqs) {
        const std::string_view path = common::payFieldDefinitionsPath(f);
        for (const Block& block : blocks_) {
            const auto* file = std::get_if<CopiedFile>(&block.content);
            if (!file || !common::WorkingFolder::samePath(file->path, path))
                continue;
            if (!common::replaceFileAtomically(folder.resolve(path), file->bytes) ||
                !database::loadPayItemDefs(quiet, folder, f, defs[static_cast<std::size_t>(f)]))
                return reject(invalidText("the pay field definitions in " +
                                          bf::storedPath(file->path) + " cannot be read"));
        }
    }
    return true;
}

bool RestoreReader::layoutsMatch(const FreqDefs& defs) {
    for (const Block& block : blocks_) {
        const auto* table = std::get_if<TableBlock>(&block.content);
        if (!table)
            continue;
        const auto schema = schemaFor(table->path, defs, ports_.code, ports_.folder, ui_);
        if (!schema || !sameLayout(*table, *schema))
            return reject(invalidText("the fields or tags of " + table->path +
                                      " differ from the program's own"));
    }
    return true;
}

bool RestoreReader::valuesFit() {
    for (const Block& block : blocks_) {
        const auto* table = std::get_if<TableBlock>(&block.content);
        if (!table)
            continue;
        for (std::size_t r = 0; r < table->records.size(); ++r) {
            const std::vector<std::string>& values = table->records[r];
            for (std::size_t i = 0; i < table->fields.size(); ++i) {
                if (!bf::valueFits(table->fields[i], values[i]))
                    return reject(invalidText(
                        "record " + std::to_string(r + 1) + " of " + table->path +
                        " holds a value that does not fit field " + table->fields[i].name));
            }
        }
    }
    return true;
}

// The disk of the first table whose fields and tags the engine refuses; 0
// when all of them create.
int RestoreReader::badDefinitions() {
    ScratchFolder scratch;
    if (scratch.path().empty())
        return 1;
    engine::Code4& code = ports_.code;
    CreateSettings settings(code);
    int n = 0;
    for (const Block& block : blocks_) {
        const auto* table = std::get_if<TableBlock>(&block.content);
        if (!table)
            continue;
        const std::string path = scratch.path() + "/t" + std::to_string(++n) + ".dbf";
        auto created = engine::Data4::create(code, path, table->fields, table->tags);
        const std::string why = code.errorText();
        code.setErrorCode(0);
        if (!created) {
            ui_.error("Can't create " + table->path + " (" + why + ").");
            return block.disk;
        }
        created->close();
    }
    return 0;
}

bool RestoreReader::tablesFree() {
    engine::Code4& code = ports_.code;
    const unsigned char saved = code.accessMode;
    code.accessMode = engine::OPEN4DENY_RW;
    bool free = true;
    std::error_code error;
    for (const auto& folder : fs::directory_iterator(ports_.folder.current(), error)) {
        if (!free || !folder.is_directory(error))
            continue;
        for (const auto& entry : fs::directory_iterator(folder.path(), error)) {
            const std::string extension = entry.path().extension().string();
            if (!common::equalsIgnoreCase(extension, ".dbf") || !entry.is_regular_file(error))
                continue;
            auto table = engine::Data4::open(code, entry.path().string());
            const int failure = code.errorCode();
            code.setErrorCode(0);
            // Tagged text files named .dbf are no tables: only another
            // opener's hold matters here.
            if (!table && failure == engine::e4access) {
                ui_.warning(folder.path().filename().string() + "\\" +
                            entry.path().filename().string() +
                            " is currently in use by another user. Try again later.");
                free = false;
                break;
            }
        }
    }
    code.accessMode = saved;
    return free;
}

void RestoreReader::deleteDataFiles() {
    std::error_code error;
    for (const auto& folder : fs::directory_iterator(ports_.folder.current(), error)) {
        if (!folder.is_directory(error))
            continue;
        std::vector<fs::path> doomed;
        for (const auto& entry : fs::directory_iterator(folder.path(), error)) {
            if (entry.is_regular_file(error) && hasDataExtension(entry.path()))
                doomed.push_back(entry.path());
        }
        for (const fs::path& file : doomed) {
            common::StatusText status(ui_, "Deleting " + folder.path().filename().string() + "\\" +
                                               file.filename().string() + "...");
            fs::remove(file, error);
        }
    }
}

bool RestoreReader::restoreTable(const TableBlock& block) {
    common::StatusText status(ui_, "Restoring " + block.path + "...");
    engine::Code4& code = ports_.code;
    const std::string resolved = ports_.folder.resolve(block.path);
    std::error_code ignored;
    fs::create_directories(fs::path(resolved).parent_path(), ignored);
    std::unique_ptr<engine::Data4> table;
    {
        CreateSettings settings(code);
        table = engine::Data4::create(code, resolved, block.fields, block.tags);
    }
    if (!table) {
        const std::string why = code.errorText();
        code.setErrorCode(0);
        ui_.error("Can't create " + block.path + " (" + why + ").");
        return false;
    }
    bool ok = true;
    for (const std::vector<std::string>& values : block.records) {
        if (table->appendStart() != engine::r4success) {
            ok = false;
            break;
        }
        table->blank();
        for (std::size_t i = 0; i < values.size(); ++i) {
            engine::Field4& field = *table->field(static_cast<int>(i + 1));
            const std::string& value = values[i];
            int whole = 0;
            double real = 0;
            switch (field.type()) {
            case 'I':
                bf::parseInt(value, whole);
                field.assignLong(whole);
                break;
            case 'F':
            case 'B':
                bf::parseDouble(value, real);
                field.assignDouble(real);
                break;
            case 'N':
                // Read as valueFits read it; blanks and the too-wide mark go
                // in as text.
                if (bf::parseDouble(value, real))
                    field.assignDouble(real);
                else if (!value.empty())
                    field.assign(value);
                break;
            default:
                // A blank record already holds what an empty text means.
                if (!value.empty())
                    field.assign(value);
            }
        }
        if (table->append() != engine::r4success) {
            ok = false;
            break;
        }
    }
    ok = table->close() == engine::r4success && ok;
    code.setErrorCode(0);
    return ok;
}

bool RestoreReader::restoreFile(const CopiedFile& file) {
    common::StatusText status(ui_, "Restoring " + file.path + "...");
    const std::string resolved = ports_.folder.resolve(file.path);
    std::error_code ignored;
    fs::create_directories(fs::path(resolved).parent_path(), ignored);
    // A kill part way leaves the old file or the new one, never half of one.
    if (!common::replaceFileAtomically(resolved, file.bytes)) {
        ui_.error("Can't create \"" + file.path + "\".");
        return false;
    }
    return true;
}

} // namespace

int restoreOrgFrom(const BackupPorts& ports, common::ORGREC& org, const std::string& path,
                   const SaveOrgRec& save) {
    return RestoreReader(ports, path).run(org, save);
}

} // namespace kelo::setup
