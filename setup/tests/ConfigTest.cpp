#include "common/TaggedFile.h"
#include "engine/Data4.h"
#include "setup/AppCfg.h"
#include "setup/DataCfg.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <sys/wait.h>
#include <thread>

namespace kelo::setup {
namespace {

namespace fs = std::filesystem;
using common::MessageIcon;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ConfigTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    testsupport::FakeDialogView dialog;
};

TEST_F(ConfigTest, FirstStartCreatesAnEmptyConfigurationAndShowsNone) {
    APPCFG config = APPCFG::atPath(dir.file("appcfg.dat"));
    ASSERT_TRUE(config.readFile(ui));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(config.dataFolder(), "");
    config.showDataDir(ui, dialog);
    EXPECT_EQ(dialog.text(programsetup::DataFolderLabel), "[None]");
    common::WorkingFolder folder;
    EXPECT_FALSE(config.openDataDir(ui, folder));
    EXPECT_EQ(ui.lastMessage(), "Please specify the data folder");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
}

TEST_F(ConfigTest, CreateSelectAndOpenADataFolder) {
    APPCFG config = APPCFG::atPath(dir.file("appcfg.dat"));
    fs::create_directory(dir.file("data"));
    ui.choices.push_back(dir.file("data/"));
    ASSERT_TRUE(config.createDataDir(ui, dialog)) << ui.lastMessage();
    EXPECT_EQ(ui.fileChoices.back().title,
              "Select empty folder to save Kelo Roster data files to:");
    EXPECT_EQ(config.dataFolder(), dir.file("data"));
    EXPECT_EQ(dialog.text(programsetup::DataFolderLabel), dir.file("data"));
    for (const char* sub : {"system/settings", "exports", "backup"})
        EXPECT_TRUE(fs::is_directory(dir.file("data/") + sub)) << sub;

    APPCFG again = APPCFG::atPath(dir.file("appcfg.dat"));
    ASSERT_TRUE(again.readFile(ui));
    EXPECT_EQ(again.dataFolder(), dir.file("data"));
    common::WorkingFolder folder;
    ASSERT_TRUE(again.openDataDir(ui, folder));
    EXPECT_EQ(folder.current(), dir.file("data/system"));

    DATACFG data(folder);
    ASSERT_TRUE(data.readFile(ui)) << ui.lastMessage();
    EXPECT_EQ(data.dataVersion(), "4.2.4.3");
    EXPECT_TRUE(data.isNewDir());
    ASSERT_TRUE(data.thisVersion(ui));
    ASSERT_TRUE(data.createKey());
    ASSERT_TRUE(data.saveFile(ui));
    ASSERT_TRUE(data.makeOldDir(ui));
    DATACFG reread(folder);
    ASSERT_TRUE(reread.readFile(ui));
    EXPECT_FALSE(reread.isNewDir());
    EXPECT_EQ(reread.keyBytes(), data.keyBytes());
    for (int b : reread.keyBytes()) {
        EXPECT_GE(b, 0);
        EXPECT_LE(b, 255);
    }

    ui.choices.push_back(dir.file("elsewhere"));
    EXPECT_TRUE(again.selectDataDir(ui, dialog));
    EXPECT_EQ(ui.fileChoices.back().title, "Select folder containing Kelo Roster data files:");
    EXPECT_FALSE(again.selectDataDir(ui, dialog)); // cancelled
    EXPECT_EQ(again.dataFolder(), dir.file("elsewhere"));
}

// A folder for one run outlives every reading of the file and never
// replaces the saved choice; a folder the user selects ends it.
TEST_F(ConfigTest, AFolderForThisRunIsUsedButNotSaved) {
    APPCFG saved = APPCFG::atPath(dir.file("appcfg.dat"));
    saved.setDataFolder(dir.file("saved"));
    ASSERT_TRUE(saved.saveFile(ui));

    APPCFG config = APPCFG::atPath(dir.file("appcfg.dat"));
    config.useForThisRun(dir.file("once"));
    ASSERT_TRUE(config.readFile(ui));
    EXPECT_EQ(config.dataFolder(), dir.file("once"));
    config.showDataDir(ui, dialog);
    EXPECT_EQ(dialog.text(programsetup::DataFolderLabel), dir.file("once"));
    APPCFG reread = APPCFG::atPath(dir.file("appcfg.dat"));
    ASSERT_TRUE(reread.readFile(ui));
    EXPECT_EQ(reread.dataFolder(), dir.file("saved"));

    ui.choices.push_back(dir.file("chosen"));
    ASSERT_TRUE(config.selectDataDir(ui, dialog));
    ASSERT_TRUE(config.readFile(ui));
    EXPECT_EQ(config.dataFolder(), dir.file("chosen"));
    ASSERT_TRUE(reread.readFile(ui));
    EXPECT_EQ(reread.dataFolder(), dir.file("chosen"));
}

TEST_F(ConfigTest, AnUnwritableProgramFolderKeepsTheFileInTheUserConfiguration) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    const APPCFG config(dir.file("no-such-program-folder"));
    EXPECT_EQ(config.filePath(), dir.file("config/kelo-roster/appcfg.dat"));
    EXPECT_TRUE(fs::is_directory(dir.file("config/kelo-roster")));
    const APPCFG beside(dir.path());
    EXPECT_EQ(beside.filePath(), dir.file("appcfg.dat"));
    if (saved)
        ::setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(ConfigTest, NewFoldersMustExistAndBeEmpty) {
    fs::create_directories(dir.file("full/empty-subfolder"));
    EXPECT_FALSE(APPCFG::initDataFolder(ui, dir.file("full")));
    EXPECT_EQ(ui.lastMessage(), "Folder " + dir.file("full") + " is not empty");
    EXPECT_FALSE(fs::exists(dir.file("full/system")));
    EXPECT_FALSE(APPCFG::initDataFolder(ui, dir.file("missing")));
    EXPECT_EQ(ui.lastMessage(), "Can't open folder " + dir.file("missing"));
}

TEST_F(ConfigTest, OpeningNeedsTheFolderAndItsSystemFolder) {
    APPCFG config = APPCFG::atPath(dir.file("appcfg.dat"));
    common::WorkingFolder folder;
    config.setDataFolder(dir.file("gone"));
    EXPECT_FALSE(config.openDataDir(ui, folder));
    EXPECT_EQ(ui.lastMessage(), "Can't open folder " + dir.file("gone"));
    fs::create_directory(dir.file("bare"));
    config.setDataFolder(dir.file("bare") + "/");
    EXPECT_FALSE(config.openDataDir(ui, folder));
    EXPECT_EQ(ui.lastMessage(), "Can't open folder " + dir.file("bare/system"));
    fs::create_directory(dir.file("bare/system"));
    EXPECT_TRUE(config.openDataDir(ui, folder)); // a trailing slash still finds "system"
    EXPECT_EQ(folder.current(), dir.file("bare/system"));
}

TEST_F(ConfigTest, VersionCheck) {
    fs::create_directories(dir.file("system/settings"));
    const common::WorkingFolder folder(dir.path());
    struct Case {
        const char* stored;
        bool accepted;
        const char* after;
    };
    const Case cases[] = {
        {"4.2.4.3", true, "4.2.4.3"},
        {"4.3.0.3", true, "4.2.4.3"},
        {"4.1.0.0", false, "4.1.0.0"},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        // Write the stored version through a tagged file of the real layout.
        common::TaggedWriter w(folder.resolve(DATACFG::kPath));
        w.writePreamble(common::fileKind::DataConfiguration, DATACFG::kPath, "4.0");
        w.writeTag("item", common::TagKind::GroupStart);
        w.writeValue(c.stored);
        for (int i = 0; i < 9; ++i)
            w.writeInt(0);
        w.writeTag("", common::TagKind::GroupEnd);
        w.writeEof();
        w.close();
        DATACFG config(folder);
        ui.clear();
        ASSERT_TRUE(config.readFile(ui)) << ui.lastMessage();
        EXPECT_EQ(config.thisVersion(ui), c.accepted) << c.stored;
        DATACFG reread(folder);
        reread.readFile(ui);
        EXPECT_EQ(reread.dataVersion(), c.after) << c.stored;
        if (!c.accepted) {
            EXPECT_EQ(ui.lastMessage(), "The data in the selected folder is for a different\n"
                                        "version of Kelo Payroll or Kelo Roster.");
        }
    }
}

TEST_F(ConfigTest, ConfigurationCutShortIsRefused) {
    fs::create_directories(dir.file("system/settings"));
    const common::WorkingFolder folder(dir.path());
    DATACFG config(folder);
    ASSERT_TRUE(config.createFile(ui));
    std::string bytes = readAll(folder.resolve(DATACFG::kPath));
    std::ofstream(folder.resolve(DATACFG::kPath), std::ios::binary | std::ios::trunc)
        << bytes.substr(0, bytes.size() - 4);
    DATACFG cut(folder);
    EXPECT_FALSE(cut.readFile(ui));
    EXPECT_EQ(ui.lastMessage(),
              "File \"" + folder.resolve(DATACFG::kPath) + "\" has invalid terminator.");
}

// The version upgrade rewrites the configuration; a kill at any moment of a
// rewrite must leave the folder's key readable.
TEST_F(ConfigTest, AKilledRewriteKeepsTheKey) {
    fs::create_directories(dir.file("system/settings"));
    const common::WorkingFolder folder(dir.path());
    DATACFG config(folder);
    ASSERT_TRUE(config.createFile(ui));
    ASSERT_TRUE(config.createKey());
    ASSERT_TRUE(config.saveFile(ui));
    std::mt19937 random(4243);
    std::uniform_int_distribution<int> delayUs(0, 3000);
    for (int run = 0; run < 80; ++run) {
        const pid_t child = ::fork();
        if (child == 0) {
            testsupport::RecordingUi quiet;
            for (;;) {
                DATACFG rewriting(folder);
                if (rewriting.readFile(quiet))
                    rewriting.saveFile(quiet);
            }
        }
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        DATACFG after(folder);
        ASSERT_TRUE(after.readFile(ui)) << "run " << run << ": " << ui.lastMessage();
        EXPECT_EQ(after.keyBytes(), config.keyBytes()) << "run " << run;
    }
}

TEST_F(ConfigTest, InitEncryptKeysTheEngine) {
    fs::create_directories(dir.file("system/settings"));
    const common::WorkingFolder folder(dir.path());
    DATACFG config(folder);
    ASSERT_TRUE(config.createFile(ui));
    ASSERT_TRUE(config.createKey());
    engine::Code4 code;
    ASSERT_TRUE(config.initEncrypt(code));
    EXPECT_TRUE(code.encrypting());
    auto table = engine::Data4::create(code, folder.resolve("settings/t.dbf"), {{"A", 'C', 20, 0}});
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isEncrypted());
    table.reset();
    engine::Code4 otherFolder;
    DATACFG other(folder);
    ASSERT_TRUE(other.createKey());
    other.initEncrypt(otherFolder);
    if (other.keyBytes() != config.keyBytes()) {
        EXPECT_EQ(engine::Data4::open(otherFolder, folder.resolve("settings/t.dbf")), nullptr);
        EXPECT_EQ(otherFolder.errorCode(), engine::e4encrypt);
    }
}

} // namespace
} // namespace kelo::setup
