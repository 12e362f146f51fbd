#include "common/TaggedFile.h"
#include "common/Text.h"
#include "engine/Data4.h"
#include "setup/Backup.h"
#include "setup/BackupFormat.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// Every value of a record must convert as the restore will convert it.
bool valuesConvert(const std::vector<engine::Field4Info>& fields,
                   const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        int whole = 0;
        double real = 0;
        switch (fields[i].type) {
        case 'I':
            if (!bf::parseInt(values[i], whole))
                return false;
            break;
        case 'F':
        case 'B':
            if (!bf::parseDouble(values[i], real))
                return false;
            break;
        default:
            break;
        }
    }
    return true;
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

bool parseTable(common::TaggedReader& in, TableBlock& table) {
    if (!parseFields(in, table.fields) || !parseTags(in, table.tags) ||
        !in.findTag(bf::Records, TagKind::BlockStart))
        return false;
    while (in.findTag(bf::Item, TagKind::GroupStart)) {
        std::vector<std::string> values;
        if (!readValues(in, values, table.fields.size()) || !valuesConvert(table.fields, values))
            return false;
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

// One restore run.
//
// Order: nothing of the organisation changes until the whole backup has been
// read and proven. First the last disk is found (its header gives the number
// of disks and the stamps); then every disk from the first is read in full:
// identity, disk number and stamps, the organisation block (which must name
// the open organisation), every table and copied file block, and the disk's
// terminator (end-of-section, or end-of-file on the last). The tables'
// definitions are then created once in a scratch folder, and every table
// of the organisation is opened exclusively to be sure no other user has it
// open. Only then is the organisation's record replaced and saved, its data
// files ("*.d??" in each subfolder) deleted, and the tables and files
// written from what was read, in the backup's order.
class RestoreReader {
public:
    RestoreReader(const BackupPorts& ports, std::string path)
        : ports_(ports),
          ui_(ports.ui),
          path_(std::move(path)) {}

    int run(common::ORGREC& org, const SaveOrgRec& save);

private:
    bool findLastDisk();
    bool readDisk(int disk, common::TaggedReader& in);
    std::string diskProblem(common::TaggedReader& in, int disk);
    bool parseDisk(common::TaggedReader& in, int disk);
    bool parseOrgBlock(common::TaggedReader& in);
    bool parseFileBlock(common::TaggedReader& in, int disk);
    int badDefinitions();
    bool tablesFree();
    void deleteDataFiles();
    bool restoreTable(const TableBlock& table);
    bool restoreFile(const CopiedFile& file);
    int failDisk(int disk);

    const BackupPorts& ports_;
    common::Ui& ui_;
    std::string path_;
    bool removable_ = false;
    int diskCount_ = 0;
    std::string date_;
    std::string time_;
    common::TaggedReader lastDisk_; // kept when it is the only disk
    common::ORGREC backedUp_;
    std::vector<Block> blocks_;
};

int RestoreReader::run(common::ORGREC& org, const SaveOrgRec& save) {
    common::WaitCursor wait(ui_);
    removable_ = ports_.drive.isRemovable(path_);
    if (!findLastDisk()) {
        ui_.error("Restore unsuccessful: Can't find last backup disk.");
        return 0;
    }
    for (int disk = 1; disk <= diskCount_; ++disk) {
        common::TaggedReader in;
        if (!readDisk(disk, in) || !parseDisk(in, disk))
            return failDisk(disk);
        if (disk == 1 &&
            !common::equalsIgnoreCase(common::trim(backedUp_.name), common::trim(org.name))) {
            ui_.error("Backup file is for " + backedUp_.name);
            return 0;
        }
    }
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

bool RestoreReader::findLastDisk() {
    DiskHeader header;
    if (!removable_) {
        if (!common::checkFileId(ui_, path_) || !lastDisk_.open(path_) ||
            !readHeader(lastDisk_, header))
            return false;
    } else {
        std::string prompt = kLastDiskPrompt;
        MessageButtons buttons = MessageButtons::OkCancel;
        for (;;) {
            const Answer go = buttons == MessageButtons::OkCancel ? Answer::Ok : Answer::Retry;
            if (ui_.message(prompt, MessageIcon::Information, buttons) != go)
                return false;
            buttons = MessageButtons::RetryCancel;
            if (!common::checkFileId(ui_, path_) || !lastDisk_.open(path_) ||
                !readHeader(lastDisk_, header)) {
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
    return true;
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
        if (!parseTable(in, table))
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
        code.setErrorCode(0);
        if (!created) {
            ui_.error("Can't create " + table->path);
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
        code.setErrorCode(0);
        ui_.error("Can't create " + block.path);
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
    std::ofstream out(resolved, std::ios::binary | std::ios::trunc);
    if (!out) {
        std::error_code ignored;
        fs::create_directories(fs::path(resolved).parent_path(), ignored);
        out.open(resolved, std::ios::binary | std::ios::trunc);
        if (!out) {
            ui_.error("Can't create \"" + file.path + "\".");
            return false;
        }
    }
    out.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
    out.close();
    return !out.fail();
}

} // namespace

int restoreOrgFrom(const BackupPorts& ports, common::ORGREC& org, const std::string& path,
                   const SaveOrgRec& save) {
    return RestoreReader(ports, path).run(org, save);
}

} // namespace kelo::setup
