#include "setup/StatutoryFiles.h"

#include "database/DbTable.h"
#include "database/NssfDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "database/WcfDb.h"

#include <filesystem>

namespace kelo::setup {

namespace {

std::string yearFolder(int year) {
    return "../system/" + std::to_string(year);
}

bool hasPayeTable(engine::Code4& code, const common::WorkingFolder& folder, int year) {
    return database::isValid(code, folder, yearFolder(year) + "/" + database::PAYEDB::kFileName);
}

} // namespace

std::string sourceFolderBeside(std::string_view programFolder) {
    std::string folder(programFolder);
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
        folder += '/';
    return folder + kSourceFolderName;
}

bool newStatutoryFiles(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                       int fiscalYear, std::string_view sourceFolder) {
    if (hasPayeTable(code, folder, fiscalYear))
        return false;
    const std::string source = hasPayeTable(code, folder, fiscalYear - 1)
                                   ? yearFolder(fiscalYear - 1)
                                   : std::string(sourceFolder);
    std::error_code ignored;
    std::filesystem::create_directories(folder.resolve(yearFolder(fiscalYear)), ignored);
    // Each table tells its own failure; the others are still made.
    database::PAYEDB(code, folder).newFile(ui, source, fiscalYear);
    database::NSSFDB(code, folder).newFile(ui, source, fiscalYear);
    database::PAYEPARAMDB(code, folder).newFile(ui, source, fiscalYear);
    database::SDLDB(code, folder).newFile(ui, source, fiscalYear);
    database::WCFDB(code, folder).newFile(ui, source, fiscalYear);
    ui.information("New PAYE, NSSF and SDL files for the year " + std::to_string(fiscalYear) + "/" +
                   std::to_string(fiscalYear + 1) +
                   " have just been created. Please review them and update if necessary.");
    return true;
}

} // namespace kelo::setup
