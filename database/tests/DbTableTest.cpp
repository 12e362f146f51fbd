#include "database/DbTable.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

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
}

} // namespace
} // namespace kelo::database
