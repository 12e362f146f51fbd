#include "setup/DataFolderStart.h"

#include "database/BanksDb.h"
#include "database/IncomesDb.h"
#include "database/OrgDb.h"
#include "database/UsersDb.h"
#include "setup/DataCfg.h"

namespace kelo::setup {

namespace {

bool createSharedTables(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                        std::string_view sourceFolder) {
    database::USERSDB users(code, folder);
    database::ORGDB orgs(code, folder);
    database::BANKSDB banks(code, folder);
    database::INCOMESDB incomes(code, folder);
    return users.createFile(ui) && orgs.createFile(ui) && banks.newBankFile(ui) &&
           banks.newBranchFile(ui) && incomes.newFile(ui, sourceFolder);
}

// The tables every start needs must open; a damaged one is named, and one
// that another key wrote says that the configuration does not fit it. A
// missing index is rebuilt when nobody else has the table open.
bool checkSharedTable(common::Ui& ui, database::DbTable& table) {
    engine::Code4& code = table.code();
    bool opened = table.openFile(false);
    if (!opened && code.errorCode() == engine::e4index) {
        code.setErrorCode(0);
        opened = table.openFile(true) && (table.closeFile(), table.openFile(false));
    }
    if (opened) {
        table.closeFile();
        return true;
    }
    const std::string reason =
        code.errorCode() == engine::e4encrypt
            ? table.relativePath() + " cannot be read with the key kept in " +
                  std::string(DATACFG::kPath) +
                  ": that data configuration file does not belong to these tables."
            : database::openFailureText(code, table.relativePath());
    code.setErrorCode(0);
    ui.error(reason);
    return false;
}

bool checkSharedTables(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder) {
    database::USERSDB users(code, folder);
    database::ORGDB orgs(code, folder);
    return checkSharedTable(ui, users) && checkSharedTable(ui, orgs);
}

} // namespace

bool openDataFolder(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    std::string_view sourceFolder) {
    DATACFG config(folder);
    if (!config.readFile(ui) || !config.thisVersion(ui))
        return false;
    const bool isNew = config.isNewDir();
    // A key that cannot be saved is never used: the folder stays new and
    // draws fresh bytes at the next start.
    if (isNew && (!config.createKey() || !config.saveFile(ui)))
        return false;

    DATACFG saved(folder);
    if (!saved.readFile(ui) || !saved.initEncrypt(code))
        return false;
    code.lockAttempts = kLockAttempts;
    code.lockDelayMs = kLockDelayMs;

    if (isNew && !createSharedTables(ui, code, folder, sourceFolder))
        return false;
    return checkSharedTables(ui, code, folder) && (!isNew || saved.makeOldDir(ui));
}

} // namespace kelo::setup
