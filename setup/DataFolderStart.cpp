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

    if (!isNew)
        return true;
    return createSharedTables(ui, code, folder, sourceFolder) && saved.makeOldDir(ui);
}

} // namespace kelo::setup
