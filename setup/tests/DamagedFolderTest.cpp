// A data folder whose shared tables were damaged must stop the start with a
// message naming the file, and must never pass for the empty folder of a
// first start whose new organisation would take over an existing one.
#include "database/OrgDb.h"
#include "database/UsersDb.h"
#include "setup/AppCfg.h"
#include "setup/DataCfg.h"
#include "setup/DataFolderStart.h"
#include "setup/Orgs.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sstream>

namespace kelo::setup {
namespace {

namespace fs = std::filesystem;
using testsupport::FakeDialogView;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Every file under `root` with its contents.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] = readBytes(entry.path());
    }
    return files;
}

int createOrg(ORGS& orgs, const std::string& name) {
    FakeDialogView dialog;
    orgs.initNewOrgDlg(dialog);
    dialog.setText(orgdlg::Name, name);
    dialog.selectRow(orgdlg::Month, dialog.findItem(orgdlg::Month, "November"));
    dialog.setText(orgdlg::Year, "2026");
    return orgs.createNewOrg(dialog);
}

// One data folder with an organisation, made through the program's own
// operations, copied afresh for every damage.
class DamagedFolderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        original_ = new testsupport::TempDir;
        testsupport::RecordingUi ui;
        FakeDialogView dialog;
        fs::create_directory(original_->file("data"));
        APPCFG app = APPCFG::atPath(original_->file("appcfg.dat"));
        ui.choices.push_back(original_->file("data"));
        ASSERT_TRUE(app.createDataDir(ui, dialog));
        engine::Code4 code;
        common::WorkingFolder folder(original_->file("data"));
        folder.moveToSystem();
        ASSERT_TRUE(openDataFolder(ui, code, folder, KELO_SOURCE_FOLDER)) << ui.lastMessage();
        ORGS orgs(ui, code, folder);
        ASSERT_EQ(createOrg(orgs, "Mbeya Highland Tea Estates Ltd"), 1) << ui.lastMessage();
    }
    static void TearDownTestSuite() {
        delete original_;
        original_ = nullptr;
    }

    void SetUp() override {
        fs::copy(original_->file("data"), dir.file("data"), fs::copy_options::recursive);
        orgFiles = snapshot(data("org01"));
        ASSERT_FALSE(orgFiles.empty());
    }

    fs::path data(const std::string& path) const { return dir.file("data/" + path); }

    // The start as the program runs it after login: open the folder, then
    // decide between the organisation list and a first start.
    struct Start {
        bool folderOpened = false;
        bool tableRead = false;
        bool firstStart = false;
        int created = 0;
    };
    Start start() {
        Start result;
        engine::Code4 code;
        common::WorkingFolder folder(dir.file("data"));
        folder.moveToSystem();
        result.folderOpened = openDataFolder(ui, code, folder, KELO_SOURCE_FOLDER);
        if (!result.folderOpened)
            return result;
        ORGS orgs(ui, code, folder);
        result.tableRead = orgs.checkTable();
        result.firstStart = result.tableRead && orgs.orgCount() == 0 && orgs.isFirstStart();
        // A clerk who goes on anyway: New Organisation must not take org01.
        result.created = createOrg(orgs, "Replacement Ltd");
        return result;
    }

    static testsupport::TempDir* original_;
    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    std::map<std::string, std::string> orgFiles;
};

testsupport::TempDir* DamagedFolderTest::original_ = nullptr;

std::string cut(const std::string& bytes, std::size_t length) {
    return bytes.substr(0, std::min(length, bytes.size()));
}

std::string withCount(std::string bytes, std::uint32_t count) {
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(4 + i)] = static_cast<char>((count >> (8 * i)) & 0xFF);
    return bytes;
}

std::string garbage(std::size_t length, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(length, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

struct Damage {
    const char* what;
    std::function<void(const fs::path& table, const fs::path& index)> apply;
};

TEST_F(DamagedFolderTest, ADamagedOrganisationsTableNeverReadsAsAFirstStart) {
    const Damage damages[] = {
        {"table empty", [](auto& t, auto&) { writeBytes(t, ""); }},
        {"table cut to 1 byte", [](auto& t, auto&) { writeBytes(t, cut(readBytes(t), 1)); }},
        {"table cut to 20 bytes", [](auto& t, auto&) { writeBytes(t, cut(readBytes(t), 20)); }},
        {"table cut inside the header",
         [](auto& t, auto&) { writeBytes(t, cut(readBytes(t), 200)); }},
        {"table cut inside the row",
         [](auto& t, auto&) {
             const std::string b = readBytes(t);
             writeBytes(t, cut(b, b.size() - 40));
         }},
        {"table zeroed",
         [](auto& t, auto&) { writeBytes(t, std::string(readBytes(t).size(), '\0')); }},
        {"header zeroed",
         [](auto& t, auto&) {
             std::string b = readBytes(t);
             std::fill_n(b.begin(), 32, '\0');
             writeBytes(t, b);
         }},
        {"record count 0", [](auto& t, auto&) { writeBytes(t, withCount(readBytes(t), 0)); }},
        {"record count too large",
         [](auto& t, auto&) { writeBytes(t, withCount(readBytes(t), 500)); }},
        {"version byte wrong",
         [](auto& t, auto&) {
             std::string b = readBytes(t);
             b[0] = '\x7F';
             writeBytes(t, b);
         }},
        {"header length wrong",
         [](auto& t, auto&) {
             std::string b = readBytes(t);
             b[8] = '\x05';
             b[9] = '\x00';
             writeBytes(t, b);
         }},
        {"record length wrong",
         [](auto& t, auto&) {
             std::string b = readBytes(t);
             b[10] = '\x01';
             b[11] = '\x00';
             writeBytes(t, b);
         }},
        {"field descriptors garbled",
         [](auto& t, auto&) {
             std::string b = readBytes(t);
             for (std::size_t i = 32; i < 96; ++i)
                 b[i] = '\xFF';
             writeBytes(t, b);
         }},
        {"table garbage", [](auto& t, auto&) { writeBytes(t, garbage(readBytes(t).size(), 1)); }},
        {"table short garbage", [](auto& t, auto&) { writeBytes(t, garbage(300, 2)); }},
        {"table a directory",
         [](auto& t, auto&) {
             fs::remove(t);
             fs::create_directory(t);
         }},
        {"table missing", [](auto& t, auto&) { fs::remove(t); }},
        {"key check changed",
         [](auto& t, auto&) {
             std::string b = readBytes(t);
             b[21] = static_cast<char>(b[21] ^ 0x55);
             writeBytes(t, b);
         }},
        {"index missing", [](auto&, auto& i) { fs::remove(i); }},
        {"index empty", [](auto&, auto& i) { writeBytes(i, ""); }},
        {"index garbage", [](auto&, auto& i) { writeBytes(i, garbage(120, 3)); }},
        {"index cut short", [](auto&, auto& i) { writeBytes(i, cut(readBytes(i), 15)); }},
        {"index a directory",
         [](auto&, auto& i) {
             fs::remove(i);
             fs::create_directory(i);
         }},
        {"index names another column",
         [](auto&, auto& i) {
             std::string b = readBytes(i);
             const auto at = b.find("NAME");
             if (at != std::string::npos)
                 b.replace(at, 4, "NOPE");
             writeBytes(i, b);
         }},
        {"table and index missing",
         [](auto& t, auto& i) {
             fs::remove(t);
             fs::remove(i);
         }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        fs::remove_all(dir.file("data"));
        SetUp();
        ui.clear();
        damage.apply(data("system/settings/org.dbf"), data("system/settings/org.cdx"));
        const Start result = start();
        EXPECT_FALSE(result.firstStart);
        // Whatever happened, the organisation's own files are as they were.
        EXPECT_EQ(snapshot(data("org01")), orgFiles);
        if (!result.tableRead) {
            ASSERT_FALSE(ui.messages.empty());
            const std::string& text = ui.messages.front().text;
            EXPECT_NE(text.find("org."), std::string::npos) << text;
            EXPECT_EQ(ui.messages.front().icon, common::MessageIcon::Error);
        }
    }
}

// Lost index files of the shared tables are written again at the start, so
// that users can still log in and the organisations list still works.
TEST_F(DamagedFolderTest, LostIndexFilesOfTheSharedTablesAreRebuiltAtTheStart) {
    fs::remove(data("system/settings/users.cdx"));
    writeBytes(data("system/settings/org.cdx"), "");
    const Start result = start();
    EXPECT_TRUE(result.folderOpened) << ui.lastMessage();
    EXPECT_TRUE(result.tableRead);
    EXPECT_FALSE(result.firstStart);
    EXPECT_TRUE(fs::exists(data("system/settings/users.cdx")));
    engine::Code4 code;
    common::WorkingFolder folder(dir.file("data"));
    folder.moveToSystem();
    DATACFG config(folder);
    ASSERT_TRUE(config.readFile(ui) && config.initEncrypt(code));
    database::USERSDB users(code, folder);
    ASSERT_TRUE(users.openFile(false)) << code.errorText();
    EXPECT_TRUE(users.seekUser("supervisor"));
    database::ORGDB orgs(code, folder);
    ASSERT_TRUE(orgs.openFile(false)) << code.errorText();
    EXPECT_TRUE(orgs.findByName("Mbeya Highland Tea Estates Ltd"));
    EXPECT_EQ(snapshot(data("org01")), orgFiles);
}

TEST_F(DamagedFolderTest, AConfigurationWithAnotherKeySaysSo) {
    {
        common::WorkingFolder folder(dir.file("data"));
        folder.moveToSystem();
        DATACFG config(folder);
        ASSERT_TRUE(config.readFile(ui));
        ASSERT_TRUE(config.createKey());
        ASSERT_TRUE(config.saveFile(ui));
    }
    const Start result = start();
    EXPECT_FALSE(result.folderOpened);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(), "../system/settings/users.dbf cannot be read with the key kept in "
                                "../system/settings/datacfg.dat: that data configuration file "
                                "does not belong to these tables.");
    EXPECT_EQ(snapshot(data("org01")), orgFiles);
}

} // namespace
} // namespace kelo::setup
