#include "setup/OrgFiles.h"

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

#include <filesystem>
#include <memory>
#include <vector>

namespace kelo::setup {

namespace fs = std::filesystem;

namespace {

// "*.d??": the tables, memo files and configuration files of an
// organisation, but not its indexes or reports in other formats.
bool isDataFile(const fs::path& file) {
    const std::string extension = file.extension().string();
    return extension.size() >= 2 && extension.size() <= 4 &&
           (extension[1] == 'd' || extension[1] == 'D');
}

std::vector<fs::path> entries(const fs::path& folder, bool wantFolders) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        const bool isFolder = it->is_directory(kindError);
        if (isFolder == wantFolders && (isFolder || it->is_regular_file(kindError)))
            found.push_back(it->path());
    }
    return found;
}

void deleteFile(common::Ui& ui, const fs::path& file, const std::string& shownAs) {
    common::StatusText status(ui, "Deleting " + shownAs + "...");
    std::error_code ignored;
    fs::remove(file, ignored);
}

std::shared_ptr<const common::PayItemDef> builtIn(const char* name, const char* function,
                                                  double limit, int isStatic) {
    auto def = std::make_shared<common::PayItemDef>();
    def->itemName = name;
    def->itemType = name; // the built-in items carry their name as type
    def->itemFunction = function;
    def->upperLimit = limit;
    def->isStatic = isStatic;
    def->taxable = 1;
    def->builtIn = 1;
    return def;
}

} // namespace

bool isOrgFolderPath(std::string_view path) {
    // One folder name after the prefix: nothing outside the data folder's
    // organisation folders can be reached through it.
    const std::string normal = common::WorkingFolder::normalise(path);
    constexpr std::string_view prefix = "../org";
    if (normal.size() <= prefix.size() ||
        !common::equalsIgnoreCase(std::string_view(normal).substr(0, prefix.size()), prefix))
        return false;
    return normal.find('/', prefix.size()) == std::string::npos;
}

bool checkOrgFolder(common::Ui& ui, std::string_view path) {
    if (isOrgFolderPath(path))
        return true;
    ui.error("Cannot delete files in " + std::string(path) +
             " as it is not a valid organisation directory.");
    return false;
}

bool createOrgTables(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                     std::string_view orgFolder) {
    if (!database::STATDB(code, folder).createFile(ui))
        return false;
    for (common::PAYFREQ f : common::kPayFreqs) {
        if (!writeDefaultPayFields(ui, folder, orgFolder, f))
            return false;
    }
    database::VARDB transactions(code, folder);
    transactions.setDefinitions(defaultPayItemDefs());
    for (common::PAYFREQ f : common::kPayFreqs) {
        if (!transactions.createFile(ui, f))
            return false;
    }
    return database::ABSENCEDB(code, folder, ui).createFile(ui) &&
           database::LEAVEDB(code, folder, ui).createFile(ui) &&
           database::GRADESDB(code, folder).createFile(ui) &&
           database::UNITSDB(code, folder).createFile(ui) &&
           database::JOBSDB(code, folder).createFile(ui) &&
           database::POSTSDB(code, folder).createFile(ui) &&
           database::STATIONSDB(code, folder).createFile(ui) &&
           database::PAYGROUPDB(code, folder).createFile(ui) &&
           database::COOPSDB(code, folder).createFile(ui) &&
           database::PENSIONSDB(code, folder).createFile(ui) &&
           database::OPTIONSDB(code, folder).createFile(ui) &&
           database::PAYLOGDB(code, folder).createFile(ui);
}

bool orgFolderHoldsFiles(const common::WorkingFolder& folder, std::string_view orgPath) {
    std::error_code error;
    const fs::path root = folder.resolve(std::string(orgPath));
    if (!fs::exists(root, error))
        return false;
    if (!fs::is_directory(root, error))
        return false; // not a folder: creating one there fails on its own
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_directory(error))
            return true;
    }
    // A tree that cannot be walked may hold anything.
    return static_cast<bool>(error);
}

bool deleteOrgFiles(common::Ui& ui, const common::WorkingFolder& folder, std::string_view orgPath,
                    bool removeTree) {
    if (!checkOrgFolder(ui, orgPath))
        return false;
    const std::string shownRoot = common::WorkingFolder::normalise(orgPath);
    const fs::path root = folder.resolve(orgPath);
    std::error_code error;
    if (fs::is_symlink(root, error)) {
        // Its target is not the organisation's to delete.
        if (removeTree)
            fs::remove(root, error);
        return true;
    }
    if (!fs::is_directory(root, error))
        return true;
    for (const fs::path& sub : entries(root, true)) {
        const std::string shownSub = shownRoot + "/" + sub.filename().string();
        if (!removeTree) {
            for (const fs::path& file : entries(sub, false)) {
                if (isDataFile(file))
                    deleteFile(ui, file, shownSub + "/" + file.filename().string());
            }
            continue;
        }
        std::vector<fs::path> files;
        for (fs::recursive_directory_iterator it(sub, error), end; !error && it != end;
             it.increment(error)) {
            std::error_code kindError;
            if (it->is_regular_file(kindError))
                files.push_back(it->path());
        }
        for (const fs::path& file : files) {
            std::error_code relativeError;
            deleteFile(ui, file,
                       shownSub + "/" + fs::relative(file, sub, relativeError).generic_string());
        }
        error.clear();
        fs::remove_all(sub, error);
    }
    if (!removeTree)
        return true;
    fs::remove_all(root, error);
    return !fs::exists(root, error);
}

common::PayItemDefs defaultPayItemDefs() {
    common::PayItemDefs defs;
    defs.basicPay = builtIn("Basic Pay", "Use Built-In Function", 200000, 0);
    defs.overtime = builtIn("Overtime", "Use Built-In Function", 100000, 0);
    defs.rent = builtIn("Rent", "Defined in Master File", 50000, 1);
    return defs;
}

bool writeDefaultPayFields(common::Ui& ui, const common::WorkingFolder& folder,
                           std::string_view orgFolder, common::PAYFREQ payFreq) {
    const std::string path(common::payFieldDefinitionsPath(payFreq));
    common::StatusText status(ui, "Creating " + path + "...");
    const std::string comment = std::string(common::payFreqLabel(payFreq)) + " payroll fields file";
    if (!database::writePayFields(folder, orgFolder, payFreq, comment,
                                  database::fieldTablesOf(defaultPayItemDefs()))) {
        ui.error("Can't create " + path);
        return false;
    }
    return true;
}

} // namespace kelo::setup
