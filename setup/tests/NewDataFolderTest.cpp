#include "database/OrgDb.h"
#include "database/UsersDb.h"
#include "setup/AppCfg.h"
#include "setup/DataCfg.h"
#include "setup/DataFolderStart.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::setup {
namespace {

// The first start on a new data folder, as the program runs it: choose and
// initialise the folder, open it, then check, key and fill it.
bool firstStart(common::Ui& ui, APPCFG& app, engine::Code4& code, common::WorkingFolder& folder) {
    return app.readFile(ui) && app.openDataDir(ui, folder) &&
           openDataFolder(ui, code, folder, KELO_SOURCE_FOLDER);
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
