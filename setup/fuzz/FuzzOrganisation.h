#pragma once

// One small organisation in a data folder of this process, shared by the
// restore fuzzer and its seed generator so that seeds name the organisation
// the fuzzer restores into.

#include "common/OrgRecords.h"
#include "common/WorkingFolder.h"
#include "database/OrgDb.h"
#include "database/StaticDb.h"
#include "database/VarDb.h"
#include "engine/Code4.h"
#include "engine/Data4.h"
#include "setup/Backup.h"
#include "setup/OrgFiles.h"
#include "testsupport/RecordingUi.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <system_error>

namespace kelo::setup::fuzz {

namespace fs = std::filesystem;

// A drive that never runs out of room and never changes disks.
class FixedDrive final : public BackupDrive {
public:
    bool isRemovable(const std::string&) override { return false; }
    std::optional<std::uint64_t> freeSpace(const std::string&) override {
        return std::uint64_t{1} << 30;
    }
};

class FixedClock final : public BackupClock {
public:
    std::optional<std::string> dateStamp() override { return "7 March 2025"; }
    std::optional<std::string> timeStamp() override { return "3:07:09 PM"; }
};

// A folder under /tmp named for this process, removed when it exits.
class WorkFolder {
public:
    explicit WorkFolder(const std::string& prefix) {
        std::string pattern = "/tmp/" + prefix + "-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
    }
    ~WorkFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Values of every field type in each row.
inline bool fillRows(engine::Code4& code, const std::string& path, int rows) {
    auto table = engine::Data4::open(code, path);
    if (!table)
        return false;
    for (int r = 1; r <= rows; ++r) {
        if (table->appendStart() != engine::r4success)
            return false;
        table->blank();
        for (int i = 1; i <= table->fieldCount(); ++i) {
            engine::Field4& f = *table->field(i);
            switch (f.type()) {
            case 'C':
                f.assign("E" + std::to_string(r) + "-" + std::to_string(i));
                break;
            case 'N':
            case 'F':
                f.assignDouble(r + (f.decimals() > 0 ? 0.25 : 0.0));
                break;
            case 'B':
                f.assignDouble(r * 1500.5 + i);
                break;
            case 'I':
                f.assignLong(r * 10 + i);
                break;
            case 'L':
                f.assignLogical(r % 2 == 0);
                break;
            case 'D':
                f.assign("2024061" + std::to_string(r % 10));
                break;
            default:
                break;
            }
        }
        if (table->append() != engine::r4success)
            return false;
    }
    return table->close() == engine::r4success;
}

// "Acme Ltd" in <root>/data/org01, made as the program makes a new
// organisation, with a few employees; the working folder stands at it.
class FuzzOrganisation {
public:
    explicit FuzzOrganisation(const std::string& root) : data_(root + "/data") {}

    bool make() {
        std::error_code error;
        for (const char* sub : {"system/settings", "backup", "org01/database", "org01/settings",
                                "org01/graphics", "org01/2025"})
            fs::create_directories(data_ + "/" + sub, error);
        if (error)
            return false;
        folder_ = common::WorkingFolder(data_);
        folder_.moveTo("../org01");
        org_ = common::newOrgRec(1);
        org_.name = "Acme Ltd";
        org_.folder = "../org01";
        org_.month = "March";
        org_.year = 2025;
        org_.fiscalYear = 2024;

        testsupport::RecordingUi ui;
        database::ORGDB orgs(code_, folder_);
        if (!orgs.createFile(ui) || !orgs.openFile() ||
            orgs.data()->appendStart() != engine::r4success)
            return false;
        orgs.data()->blank();
        orgs.storeRec(org_);
        if (orgs.data()->append() != engine::r4success)
            return false;
        orgs.closeFile();

        const bool made = createOrgTables(ui, code_, folder_, "../org01");
        return made && fillRows(code_, folder_.resolve("database/static.dbf"), 2) &&
               fillRows(code_, folder_.resolve("database/monpay.dbf"), 2) &&
               fillRows(code_, folder_.resolve("settings/units.dbf"), 1);
    }

    // The organisation's folder and the organisations table, byte for byte.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        std::error_code error;
        const std::string org = data_ + "/org01";
        for (const auto& entry : fs::recursive_directory_iterator(org, error)) {
            if (entry.is_regular_file(error))
                files[fs::relative(entry.path(), org).string()] = read(entry.path().string());
        }
        files["org.dbf"] = read(orgTable());
        return files;
    }

    // Puts the snapshot's files back in place of whatever is there.
    bool putBack(const std::map<std::string, std::string>& files) const {
        std::error_code error;
        fs::remove_all(data_ + "/org01", error);
        for (const auto& [name, bytes] : files) {
            const std::string path = name == "org.dbf" ? orgTable() : data_ + "/org01/" + name;
            fs::create_directories(fs::path(path).parent_path(), error);
            std::FILE* out = std::fopen(path.c_str(), "wb");
            if (!out)
                return false;
            const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
            if (std::fclose(out) != 0 || !ok)
                return false;
        }
        return true;
    }

    engine::Code4& code() { return code_; }
    common::WorkingFolder& folder() { return folder_; }
    const common::ORGREC& org() const { return org_; }
    std::string backupPath() const { return data_ + "/backup/acme.bkf"; }

private:
    std::string orgTable() const { return data_ + "/system/settings/org.dbf"; }
    static std::string read(const std::string& path) {
        std::string bytes;
        std::FILE* in = std::fopen(path.c_str(), "rb");
        if (!in)
            return bytes;
        char chunk[65536];
        std::size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
            bytes.append(chunk, got);
        std::fclose(in);
        return bytes;
    }

    std::string data_;
    engine::Code4 code_;
    common::WorkingFolder folder_;
    common::ORGREC org_;
};

} // namespace kelo::setup::fuzz
