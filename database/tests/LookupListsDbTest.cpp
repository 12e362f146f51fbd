#include "database/CoopsDb.h"
#include "database/PayGroupDb.h"
#include "database/PensionsDb.h"
#include "database/StationsDb.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

// How each member of the family names its look-ups.
template <class Table> struct Names;
template <> struct Names<STATIONSDB> {
    static std::string name(STATIONSDB& t, long code) { return t.getStationName(code); }
    static long code(STATIONSDB& t, std::string_view name) { return t.getStationCode(name); }
};
template <> struct Names<PAYGROUPDB> {
    static std::string name(PAYGROUPDB& t, long code) { return t.getPayGrpName(code); }
    static long code(PAYGROUPDB& t, std::string_view name) { return t.getPayGrpCode(name); }
};
template <> struct Names<COOPSDB> {
    static std::string name(COOPSDB& t, long code) { return t.getCoopName(code); }
    static long code(COOPSDB& t, std::string_view name) { return t.getCoopCode(name); }
};
template <> struct Names<PENSIONSDB> {
    static std::string name(PENSIONSDB& t, long code) { return t.getPensionName(code); }
    static long code(PENSIONSDB& t, std::string_view name) { return t.getPensionCode(name); }
};

template <class Table> class LookupListTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system/settings"));
        std::filesystem::create_directories(dir.file("org01/settings"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
    }
    // Creates the table and fills it with rows out of name and code order.
    void createFilled(Table& table) {
        ASSERT_TRUE(table.createFile(ui));
        ASSERT_TRUE(table.openFile());
        add(table, 7, "dodoma");
        add(table, 3, "Arusha");
        add(table, 12, "Mwanza");
    }
    void add(Table& table, long code, const std::string& name) {
        engine::Data4& d = *table.data();
        ASSERT_EQ(d.appendStart(), engine::r4success);
        d.blank();
        d.field("CODE")->assignLong(code);
        d.field("NAME")->assign(name);
        ASSERT_EQ(d.append(), engine::r4success);
    }
    std::string name(Table& t, long code) { return Names<Table>::name(t, code); }
    long code(Table& t, std::string_view text) { return Names<Table>::code(t, text); }

    testsupport::TempDir dir;
    engine::Code4 engineCode;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
};

using Members = ::testing::Types<STATIONSDB, PAYGROUPDB, COOPSDB, PENSIONSDB>;
TYPED_TEST_SUITE(LookupListTest, Members);

TYPED_TEST(LookupListTest, LivesInTheOrganisationSettingsFolder) {
    TypeParam table(this->engineCode, this->folder);
    EXPECT_EQ(table.path(), this->folder.resolve(TypeParam::kPath));
    EXPECT_EQ(table.path().rfind(this->dir.file("org01/settings/"), 0), 0u) << table.path();
    const Schema s = table.schema();
    ASSERT_EQ(s.fields.size(), 2u);
    EXPECT_EQ(s.fields[0].name, "CODE");
    EXPECT_EQ(s.fields[1].name, "NAME");
    EXPECT_EQ(s.fields[1].length, 24u);
    ASSERT_EQ(s.tags.size(), 2u);
    EXPECT_EQ(s.tags[0].expression, "UPPER(NAME)");
}

TYPED_TEST(LookupListTest, LooksUpNamesAndCodesBothWays) {
    TypeParam table(this->engineCode, this->folder);
    this->createFilled(table);
    struct Case {
        const char* name;
        long code;
    };
    for (const Case& c : {Case{"Arusha", 3}, Case{"dodoma", 7}, Case{"Mwanza", 12}}) {
        EXPECT_EQ(this->name(table, c.code), c.name);
        EXPECT_EQ(this->code(table, c.name), c.code);
    }
    // Names compare without regard to case or trailing blanks.
    EXPECT_EQ(this->code(table, "DODOMA"), 7);
    EXPECT_EQ(this->code(table, "arusha  "), 3);
    // Unknown names and codes; a prefix is not a name.
    for (const char* unknown : {"Tanga", "Arush", "", "Arusha Arusha Arusha Arusha"})
        EXPECT_EQ(this->code(table, unknown), 0) << unknown;
    for (long unknown : {0L, 4L, -3L, 99L})
        EXPECT_EQ(this->name(table, unknown), "") << unknown;
    EXPECT_EQ(this->engineCode.errorCode(), 0);
}

TYPED_TEST(LookupListTest, OrderSelectorsHoldAcrossLookUps) {
    TypeParam table(this->engineCode, this->folder);
    this->createFilled(table);
    ASSERT_TRUE(table.orderByName());
    EXPECT_EQ(table.entries(),
              (std::vector<LookupEntry>{{3, "Arusha"}, {7, "dodoma"}, {12, "Mwanza"}}));
    ASSERT_TRUE(table.gotoName("MWANZA"));
    EXPECT_EQ(this->name(table, 3), "Arusha");
    EXPECT_EQ(this->code(table, "dodoma"), 7);
    // Still on Mwanza and still in name order.
    EXPECT_EQ(table.data()->field("NAME")->trimmed(), "Mwanza");
    EXPECT_EQ(table.data()->selected()->name(), "NAME");
    EXPECT_EQ(table.data()->skip(-1), engine::r4success);
    EXPECT_EQ(table.data()->field("NAME")->trimmed(), "dodoma");

    ASSERT_TRUE(table.orderByCode());
    EXPECT_EQ(table.entries(),
              (std::vector<LookupEntry>{{3, "Arusha"}, {7, "dodoma"}, {12, "Mwanza"}}));
    ASSERT_TRUE(table.gotoCode(7));
    EXPECT_EQ(this->code(table, "Mwanza"), 12);
    EXPECT_EQ(table.data()->selected()->name(), "CODE");
    EXPECT_EQ(table.data()->skip(), engine::r4success);
    EXPECT_EQ(table.data()->field("CODE")->getLong(), 12);

    EXPECT_FALSE(table.gotoName("Tanga"));
    EXPECT_TRUE(table.data()->eof());
    EXPECT_FALSE(table.gotoCode(8));
    EXPECT_TRUE(table.data()->eof());
}

TYPED_TEST(LookupListTest, NewCodesFollowTheLargest) {
    TypeParam table(this->engineCode, this->folder);
    ASSERT_TRUE(table.createFile(this->ui));
    ASSERT_TRUE(table.openFile());
    EXPECT_EQ(table.nextCode(), 1);
    this->add(table, 7, "Dodoma");
    this->add(table, 3, "Arusha");
    EXPECT_EQ(table.nextCode(), 8);
}

TYPED_TEST(LookupListTest, DeletedRowsAreNotFound) {
    TypeParam table(this->engineCode, this->folder);
    this->createFilled(table);
    ASSERT_TRUE(table.gotoCode(7));
    table.data()->deleteRec();
    ASSERT_EQ(table.data()->flush(), engine::r4success);
    EXPECT_EQ(this->code(table, "dodoma"), 0);
    EXPECT_EQ(this->name(table, 7), "");
    // A new row of the same name is found past the deleted one.
    this->add(table, 13, "Dodoma");
    EXPECT_EQ(this->code(table, "dodoma"), 13);
}

TYPED_TEST(LookupListTest, MissingOrLockedTableFailsQuietly) {
    TypeParam table(this->engineCode, this->folder);
    EXPECT_FALSE(table.openFile());
    EXPECT_EQ(this->engineCode.errorCode(), engine::e4open);
    this->engineCode.setErrorCode(0);
    EXPECT_EQ(this->name(table, 1), "");
    EXPECT_EQ(this->code(table, "Arusha"), 0);
    EXPECT_TRUE(table.entries().empty());
    EXPECT_FALSE(table.orderByName());
    EXPECT_TRUE(this->ui.messages.empty());

    this->createFilled(table);
    table.closeFile();
    TypeParam holder(this->engineCode, this->folder);
    ASSERT_TRUE(holder.openFile(true));
    EXPECT_FALSE(table.openFile());
    EXPECT_EQ(this->engineCode.errorCode(), engine::e4access);
    this->engineCode.setErrorCode(0);
    EXPECT_EQ(holder.entries().size(), 3u);

    // An existing table is never replaced.
    holder.closeFile();
    EXPECT_FALSE(table.createFile(this->ui));
    EXPECT_EQ(this->ui.lastMessage(), std::string("Can't create ") + TypeParam::kPath);
    ASSERT_TRUE(table.openFile());
    EXPECT_EQ(table.entries().size(), 3u);
}

} // namespace
} // namespace kelo::database
