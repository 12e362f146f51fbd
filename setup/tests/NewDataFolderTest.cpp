#include "database/BanksDb.h"
#include "database/IncomesDb.h"
#include "database/OrgDb.h"
#include "database/UsersDb.h"
#include "setup/AppCfg.h"
#include "setup/DataCfg.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::setup {
namespace {

// The first start on a new data folder, as the program runs it: choose and
// initialise the folder, open it, check its version, draw and save its key,
// switch encryption on, create the shared tables and mark the folder old.
bool firstStart(common::Ui& ui, APPCFG& app, engine::Code4& code, common::WorkingFolder& folder) {
    if (!app.readFile(ui) || !app.openDataDir(ui, folder))
        return false;
    DATACFG data(folder);
    if (!data.readFile(ui) || !data.thisVersion(ui))
        return false;
    if (data.isNewDir() && (!data.createKey() || !data.saveFile(ui)))
        return false;
    if (!data.initEncrypt(code))
        return false;
    if (!data.isNewDir())
        return true;
    database::USERSDB users(code, folder);
    database::ORGDB orgs(code, folder);
    database::BANKSDB banks(code, folder);
    database::INCOMESDB incomes(code, folder);
    return users.createFile(ui) && orgs.createFile(ui) && banks.newBankFile(ui) &&
           banks.newBranchFile(ui) && incomes.newFile(ui, KELO_SOURCE_FOLDER) &&
           data.makeOldDir(ui);
}

TEST(NewDataFolder, IsCreatedOpenedKeyedAndFilledEndToEnd) {
    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    testsupport::FakeDialogView dialog;
    std::filesystem::create_directory(dir.file("data"));
    APPCFG app = APPCFG::atPath(dir.file("appcfg.dat"));
    ui.choices.push_back(dir.file("data"));
    ASSERT_TRUE(app.createDataDir(ui, dialog)) << ui.lastMessage();

    {
        engine::Code4 code;
        common::WorkingFolder folder;
        ASSERT_TRUE(firstStart(ui, app, code, folder)) << ui.lastMessage();
        EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    }

    // The next start finds an initialised folder whose tables need its key.
    engine::Code4 code;
    common::WorkingFolder folder;
    ASSERT_TRUE(firstStart(ui, app, code, folder)) << ui.lastMessage();
    DATACFG data(folder);
    ASSERT_TRUE(data.readFile(ui));
    EXPECT_FALSE(data.isNewDir());
    database::USERSDB users(code, folder);
    ASSERT_TRUE(users.openFile());
    EXPECT_TRUE(users.data()->isEncrypted());
    EXPECT_EQ(users.data()->recCount(), 1);
    EXPECT_EQ(users.data()->field("USERNAME")->trimmed(), "supervisor");
    users.closeFile();
    for (const char* table : {"../system/settings/org.dbf", "../system/settings/banks.dbf",
                              "../system/settings/branches.dbf", "../system/settings/incomes.dbf"})
        EXPECT_TRUE(database::isValid(code, folder, table)) << table;

    engine::Code4 withoutKey;
    EXPECT_FALSE(database::isValid(withoutKey, folder, "../system/settings/users.dbf"));
}

TEST(NewDataFolder, DamagedConfigurationStopsTheStartAndChangesNothing) {
    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    testsupport::FakeDialogView dialog;
    std::filesystem::create_directory(dir.file("data"));
    APPCFG app = APPCFG::atPath(dir.file("appcfg.dat"));
    ui.choices.push_back(dir.file("data"));
    ASSERT_TRUE(app.createDataDir(ui, dialog));
    std::filesystem::remove(dir.file("data/system/settings/datacfg.dat"));
    engine::Code4 code;
    common::WorkingFolder folder;
    EXPECT_FALSE(firstStart(ui, app, code, folder));
    EXPECT_EQ(ui.lastMessage(),
              "Can't find \"" + dir.file("data/system/settings/datacfg.dat") + "\"");
    EXPECT_FALSE(std::filesystem::exists(dir.file("data/system/settings/users.dbf")));
}

} // namespace
} // namespace kelo::setup
