#include "database/DbTable.h"

#include "database/TableSupport.h"
#include "engine/EngineCodes.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace kelo::database {
namespace {

class NamesTable : public DbTable {
public:
    using DbTable::DbTable;
    Schema schema() const override {
        return {{{"NAME", 'C', 24, 0}, {"CODE", 'N', 6, 0}},
                {{"NameTag", "UPPER(NAME)", "", false, false}}};
    }
    void add(const std::string& name) {
        data()->appendStart();
        data()->blank();
        field("NAME").assign(name);
        data()->append();
    }
};

class DbTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system/settings"));
        folder = common::WorkingFolder(dir.path());
    }
    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
};

TEST_F(DbTableTest, CreateOpenAndCheckData) {
    NamesTable table(code, folder, "settings/names.dbf");
    EXPECT_FALSE(isValid(code, folder, "settings/names.dbf"));
    EXPECT_EQ(code.errorCode(), 0);
    ASSERT_TRUE(table.createFile(ui));
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Creating names.dbf...", ""}));
    EXPECT_TRUE(isValid(code, folder, "settings/names.dbf"));
    EXPECT_FALSE(hasData(ui, code, folder, "settings/names.dbf", "Stations"));
    EXPECT_EQ(ui.lastMessage(), "The Stations file is empty.");
    ASSERT_TRUE(table.openFile(true));
    EXPECT_TRUE(table.data()->isExclusive());
    table.add("Dodoma");
    table.closeFile();
    EXPECT_TRUE(hasData(ui, code, folder, "settings/names.dbf", "Stations"));
    EXPECT_FALSE(hasData(ui, code, folder, "settings/none.dbf", "Stations"));
    EXPECT_EQ(ui.lastMessage(), "Can't open settings/none.dbf");
}

TEST_F(DbTableTest, CreateFailureIsToldAndATableOfAnotherLayoutIsRefused) {
    NamesTable table(code, folder, "missing/names.dbf");
    EXPECT_FALSE(table.createFile(ui));
    EXPECT_EQ(ui.lastMessage(), "Can't create missing/names.dbf");
    EXPECT_EQ(code.errorCode(), 0);
    ASSERT_NE(
        engine::Data4::create(code, folder.resolve("settings/other.dbf"), {{"NAME", 'N', 5, 0}}),
        nullptr);
    NamesTable other(code, folder, "settings/other.dbf");
    EXPECT_FALSE(other.openFile());
    EXPECT_EQ(code.errorCode(), engine::e4field);
    // Held exclusively, it gets no index file written for columns it lacks.
    code.setErrorCode(0);
    EXPECT_FALSE(other.openFile(true));
    EXPECT_EQ(code.errorCode(), engine::e4field);
    EXPECT_FALSE(std::filesystem::exists(folder.resolve("settings/other.cdx")));
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class IndexFileTest : public DbTableTest {
protected:
    void SetUp() override {
        DbTableTest::SetUp();
        NamesTable table(code, folder, "settings/names.dbf");
        ASSERT_TRUE(table.createFile(ui));
        ASSERT_TRUE(table.openFile(true));
        for (const char* name : {"Dodoma", "Arusha", "Mwanza"})
            table.add(name);
        table.closeFile();
        tablePath = folder.resolve("settings/names.dbf");
        indexPath = folder.resolve("settings/names.cdx");
        tableBytes = readAll(tablePath);
    }

    // Seeks every name through the schema's tag.
    void expectSeeksWork(NamesTable& table) {
        ASSERT_TRUE(table.data()->tag("NameTag")) << "no tag";
        table.data()->select("NameTag");
        for (const char* name : {"Arusha", "Dodoma", "Mwanza"}) {
            ASSERT_TRUE(seekExact(*table.data(), upperKey(name, 24))) << name;
            EXPECT_EQ(table.data()->field("NAME")->trimmed(), name);
        }
        EXPECT_FALSE(seekExact(*table.data(), upperKey("Tanga", 24)));
    }

    std::string tablePath;
    std::string indexPath;
    std::string tableBytes;
};

TEST_F(IndexFileTest, ALostOrDamagedIndexFailsSharedAndIsRebuiltExclusively) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> damage;
        const char* sharedText;
    };
    const char* damaged =
        "settings/names.dbf cannot be opened: index file settings/names.cdx is damaged.";
    const std::vector<Case> cases = {
        {"deleted", [](const std::string& p) { std::filesystem::remove(p); },
         "settings/names.dbf cannot be opened: index file settings/names.cdx is missing."},
        {"truncated", [](const std::string& p) { writeAll(p, readAll(p).substr(0, 20)); }, damaged},
        {"empty", [](const std::string& p) { writeAll(p, ""); }, damaged},
        {"garbage", [](const std::string& p) { writeAll(p, std::string(64, '\x9C')); }, damaged},
        {"without the schema's tag",
         [](const std::string& p) { writeAll(p, "KELO-INDEX 1\nEND\n"); },
         "settings/names.dbf cannot be opened: index file settings/names.cdx has no tag "
         "NameTag."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NamesTable table(code, folder, "settings/names.dbf");
        ASSERT_TRUE(table.openFile(true));
        table.closeFile();
        c.damage(indexPath);
        const bool indexExisted = std::filesystem::exists(indexPath);
        const std::string indexBytes = indexExisted ? readAll(indexPath) : "";

        EXPECT_FALSE(table.openFile(false));
        EXPECT_FALSE(table.isOpen());
        EXPECT_EQ(code.errorCode(), engine::e4index);
        EXPECT_EQ(openFailureText(code, table.relativePath()), c.sharedText);
        code.setErrorCode(0);
        // A refused open changes nothing.
        EXPECT_EQ(std::filesystem::exists(indexPath), indexExisted);
        if (indexExisted) {
            EXPECT_EQ(readAll(indexPath), indexBytes);
        }

        ASSERT_TRUE(table.openFile(true)) << code.errorText();
        EXPECT_EQ(code.errorCode(), 0) << code.errorText();
        expectSeeksWork(table);
        table.closeFile();
        EXPECT_EQ(readAll(tablePath), tableBytes);

        ASSERT_TRUE(table.openFile(false)) << code.errorText();
        expectSeeksWork(table);
        EXPECT_EQ(table.data()->recCount(), 3);
        table.closeFile();
    }
}

TEST_F(IndexFileTest, OtherTagsOfTheIndexFileAreKept) {
    writeAll(indexPath, "KELO-INDEX 1\nTAG\tCodeTag\t0\t0\tCODE\t\nEND\n");
    NamesTable table(code, folder, "settings/names.dbf");
    EXPECT_FALSE(table.openFile(false));
    code.setErrorCode(0);
    ASSERT_TRUE(table.openFile(true)) << code.errorText();
    expectSeeksWork(table);
    EXPECT_NE(table.data()->tag("CodeTag"), nullptr);
    table.closeFile();
    ASSERT_TRUE(table.openFile(false)) << code.errorText();
    EXPECT_NE(table.data()->tag("CodeTag"), nullptr);
}

TEST_F(IndexFileTest, AnIndexThatCannotBeWrittenAgainFailsTheExclusiveOpen) {
    // A folder where the index file should be: unreadable, and no rename
    // replaces it, whoever runs the test.
    std::filesystem::remove(indexPath);
    std::filesystem::create_directory(indexPath);
    NamesTable table(code, folder, "settings/names.dbf");
    EXPECT_FALSE(table.openFile(true));
    EXPECT_EQ(code.errorCode(), engine::e4index);
    EXPECT_EQ(openFailureText(code, table.relativePath()),
              "settings/names.dbf cannot be opened: index file settings/names.cdx cannot be "
              "written.");
    code.setErrorCode(0);
    EXPECT_EQ(readAll(tablePath), tableBytes);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.resolve("settings")))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"names.cdx", "names.dbf"}));
}

TEST_F(IndexFileTest, NoIndexIsWrittenWhileAnotherUserHasTheTable) {
    std::filesystem::remove(indexPath);
    engine::Code4 other;
    auto held = engine::Data4::open(other, tablePath);
    ASSERT_NE(held, nullptr);
    NamesTable table(code, folder, "settings/names.dbf");
    EXPECT_FALSE(table.openFile(true));
    EXPECT_EQ(code.errorCode(), engine::e4access);
    EXPECT_EQ(openFailureText(code, table.relativePath()),
              "settings/names.dbf is currently in use by another user.");
    code.setErrorCode(0);
    EXPECT_FALSE(std::filesystem::exists(indexPath));
    held.reset();
    ASSERT_TRUE(table.openFile(true)) << code.errorText();
    expectSeeksWork(table);
}

TEST(OpenFailureText, SaysWhyInTheUsersWords) {
    struct Case {
        int code;
        const char* detail;
        const char* text;
    };
    const std::vector<Case> cases = {
        {engine::e4access, "x", "settings/org.dbf is currently in use by another user."},
        {engine::e4lock, "x", "settings/org.dbf is currently in use by another user."},
        {engine::e4permission, "x",
         "settings/org.dbf cannot be written: you have no permission to change files in its "
         "folder."},
        {engine::e4index, "index file settings/org.cdx is missing",
         "settings/org.dbf cannot be opened: index file settings/org.cdx is missing."},
        {engine::e4data, "bad header", "settings/org.dbf is damaged (bad header)."},
        {engine::e4encrypt, "x", "settings/org.dbf cannot be read with this data folder's key."},
        {engine::e4open, "cannot open it", "Can't open settings/org.dbf (cannot open it)."},
    };
    for (const Case& c : cases) {
        engine::Code4 code;
        code.error(c.code, c.detail);
        EXPECT_EQ(openFailureText(code, "settings/org.dbf"), c.text) << c.code;
    }
}

// Run as "nobody" over files root owns when the test runs as root, where
// permissions do not stop writes; otherwise over files made read-only.
TEST_F(IndexFileTest, NoWritePermissionIsNotAnotherUsersLock) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(folder.resolve("settings").c_str(), 0755), 0);
    ASSERT_EQ(::chmod(tablePath.c_str(), 0444), 0);
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const int status = testsupport::runInChild([&] {
        ::close(report[0]);
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 2;
        engine::Code4 child;
        NamesTable table(child, folder, "settings/names.dbf");
        std::string out = table.openFile(true) ? "exclusive open succeeded"
                                               : openFailureText(child, table.relativePath());
        child.setErrorCode(0);
        out += "\n";
        out += table.openFile(false) ? "shared open succeeded" : child.errorText();
        const bool written =
            ::write(report[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
        return written ? 0 : 3;
    });
    ::close(report[1]);
    std::string out;
    char buffer[512];
    for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(report[0]);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "settings/names.dbf cannot be written: you have no permission to change files "
                   "in its folder.\nshared open succeeded");
    ASSERT_EQ(::chmod(tablePath.c_str(), 0644), 0);
    EXPECT_EQ(readAll(tablePath), tableBytes);
}

TEST_F(DbTableTest, LiveKeysAreMadeOfEveryRowNotDeleted) {
    NamesTable table(code, folder, "settings/names.dbf");
    ASSERT_TRUE(table.createFile(ui));
    ASSERT_TRUE(table.openFile(true));
    for (const char* name : {"Dodoma", "Arusha", "Mwanza"})
        table.add(name);
    ASSERT_EQ(table.data()->go(2), engine::r4success);
    table.data()->deleteRec();
    ASSERT_EQ(table.data()->write(), engine::r4success);
    table.data()->select("NameTag");
    const std::set<std::string> keys =
        liveKeys(*table.data(), *table.data()->field("NAME"),
                 [](std::string_view name) { return "<" + std::string(name) + ">"; });
    EXPECT_EQ(keys,
              (std::set<std::string>{"<Dodoma                  >", "<Mwanza                  >"}));
    table.closeFile();
}

} // namespace
} // namespace kelo::database
