#include "database/UsersDb.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

using common::USERREC;
using W = common::UserWidths;

// What the users logic will store: a salted PBKDF2-HMAC-SHA256 hash as text.
const std::string kHash = "pbkdf2-sha256$310000$c2FsdHNhbHRzYWx0c2FsdA==$"
                          "q9V0kT2u3wYzR5vXyA1bC2dE3fG4hI5jK6lM7nO8pQ0=";

USERREC fullUser() {
    USERREC user;
    user.userName = "amina";
    user.password = kHash;
    user.lastName = "Mwakyusa";
    user.otherNames = "Amina Rehema";
    user.menuType = common::kPayrollMenu;
    user.editEmpFiles = 1;
    user.modifyFields = 0;
    user.setupOrg = 1;
    user.closePeriod = 0;
    user.restoreFiles = 1;
    user.modifyTaxTables = 0;
    user.addDeleteOrgs = 1;
    user.manageUsers = 0;
    user.exclusiveAccess = 1;
    return user;
}

void expectSameUser(const USERREC& a, const USERREC& b) {
    EXPECT_EQ(a.userName, b.userName);
    EXPECT_EQ(a.password, b.password);
    EXPECT_EQ(a.lastName, b.lastName);
    EXPECT_EQ(a.otherNames, b.otherNames);
    EXPECT_EQ(a.menuType, b.menuType);
    EXPECT_EQ(a.editEmpFiles, b.editEmpFiles);
    EXPECT_EQ(a.modifyFields, b.modifyFields);
    EXPECT_EQ(a.setupOrg, b.setupOrg);
    EXPECT_EQ(a.closePeriod, b.closePeriod);
    EXPECT_EQ(a.restoreFiles, b.restoreFiles);
    EXPECT_EQ(a.modifyTaxTables, b.modifyTaxTables);
    EXPECT_EQ(a.addDeleteOrgs, b.addDeleteOrgs);
    EXPECT_EQ(a.manageUsers, b.manageUsers);
}

class UsersDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system/settings"));
        folder = common::WorkingFolder(dir.path());
        ASSERT_TRUE(users.createFile(ui));
        ASSERT_TRUE(users.openFile());
    }
    void append(const USERREC& user) {
        ASSERT_EQ(users.data()->appendStart(), engine::r4success);
        users.data()->blank();
        users.storeRec(user);
        ASSERT_EQ(users.data()->append(), engine::r4success);
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    USERSDB users{code, folder};
};

TEST_F(UsersDbTest, CreatedWithTheSupervisorHoldingEveryRight) {
    EXPECT_EQ(users.path(), dir.file("system/settings/users.dbf"));
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Creating users.dbf...", ""}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(users.data()->recCount(), 1);
    ASSERT_TRUE(users.seekUser("supervisor"));
    USERREC supervisor;
    users.loadRec(supervisor);
    USERREC expected;
    expected.userName = "supervisor";
    expected.menuType = common::kFullMenu;
    expected.editEmpFiles = expected.modifyFields = expected.setupOrg = expected.closePeriod = 1;
    expected.restoreFiles = expected.modifyTaxTables = expected.addDeleteOrgs = 1;
    expected.manageUsers = 1;
    expectSameUser(supervisor, expected);
    EXPECT_TRUE(supervisor.password.empty());
}

TEST_F(UsersDbTest, EveryStoredFieldSurvivesARoundTrip) {
    const USERREC stored = fullUser();
    append(stored);
    users.closeFile();
    ASSERT_TRUE(users.openFile());
    ASSERT_TRUE(users.seekUser("amina"));
    USERREC loaded;
    users.loadRec(loaded);
    expectSameUser(loaded, stored);
    EXPECT_EQ(loaded.password, kHash);
}

TEST_F(UsersDbTest, ExclusiveAccessIsNotStored) {
    append(fullUser());
    USERREC loaded;
    loaded.exclusiveAccess = 0;
    users.loadRec(loaded);
    EXPECT_EQ(loaded.exclusiveAccess, 0);
    loaded.exclusiveAccess = 1;
    users.loadRec(loaded);
    EXPECT_EQ(loaded.exclusiveAccess, 1);
    std::vector<std::string> columns;
    for (const auto& f : users.schema().fields)
        columns.push_back(f.name);
    EXPECT_EQ(columns,
              (std::vector<std::string>{"USERNAME", "PASSWORD", "LASTNAME", "OTHERNAMES",
                                        "MENUTYPE", "EDITEMP", "MODFIELDS", "SETUPORG", "CLOSEPER",
                                        "RESTORE", "MODTAX", "ADDDELORG", "MANAGEUSER"}));
}

TEST_F(UsersDbTest, RightsAreWrittenAsTAndF) {
    append(fullUser());
    const std::vector<std::pair<const char*, const char*>> flags{
        {"EDITEMP", "T"}, {"MODFIELDS", "F"}, {"SETUPORG", "T"},  {"CLOSEPER", "F"},
        {"RESTORE", "T"}, {"MODTAX", "F"},    {"ADDDELORG", "T"}, {"MANAGEUSER", "F"}};
    for (const auto& [column, text] : flags) {
        SCOPED_TRACE(column);
        EXPECT_EQ(users.data()->field(column)->str(), text);
    }
}

TEST_F(UsersDbTest, TextsAreCutToTheirWidths) {
    struct Case {
        std::string USERREC::*member;
        std::size_t width;
    };
    const std::vector<Case> cases{{&USERREC::userName, W::kUserNameWidth},
                                  {&USERREC::password, USERSDB::kPasswordColumnWidth},
                                  {&USERREC::lastName, W::kLastNameWidth},
                                  {&USERREC::otherNames, W::kOtherNamesWidth}};
    USERREC user = fullUser();
    for (const Case& c : cases) {
        std::string text;
        for (std::size_t i = 0; i < c.width + 5; ++i)
            text += static_cast<char>('a' + i % 26);
        user.*c.member = text;
    }
    append(user);
    USERREC loaded;
    users.loadRec(loaded);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(loaded.*c.member, (user.*c.member).substr(0, c.width));
    }
}

TEST_F(UsersDbTest, ANeverSetPasswordReadsEmpty) {
    USERREC user = fullUser();
    user.password.clear();
    append(user);
    USERREC loaded = fullUser();
    users.loadRec(loaded);
    EXPECT_EQ(loaded.password, "");
}

TEST_F(UsersDbTest, SeeksUserNamesWithoutRegardToCase) {
    append(fullUser());
    struct Case {
        const char* wanted;
        bool found;
        const char* userName;
    };
    for (const Case& c : std::vector<Case>{{"supervisor", true, "supervisor"},
                                           {"SUPERVISOR", true, "supervisor"},
                                           {"Amina  ", true, "amina"},
                                           {"amin", false, ""},
                                           {"aminah", false, ""},
                                           {"", false, ""}}) {
        SCOPED_TRACE(c.wanted);
        EXPECT_EQ(users.seekUser(c.wanted), c.found);
        if (c.found) {
            USERREC loaded;
            users.loadRec(loaded);
            EXPECT_EQ(loaded.userName, c.userName);
        }
    }
    EXPECT_EQ(code.errorCode(), 0);
    EXPECT_EQ(users.data()->selected(), users.data()->tag(USERSDB::kNameTag));
}

TEST_F(UsersDbTest, MissingTableFailsAndAnExistingOneIsKept) {
    users.closeFile();
    ui.clear();
    EXPECT_FALSE(users.createFile(ui));
    EXPECT_EQ(ui.lastMessage(), "Can't create ../system/settings/users.dbf");
    ASSERT_TRUE(users.openFile());
    EXPECT_EQ(users.data()->recCount(), 1);
    users.closeFile();

    std::filesystem::remove(dir.file("system/settings/users.dbf"));
    EXPECT_FALSE(users.openFile());
    EXPECT_EQ(code.errorCode(), engine::e4open);
    code.setErrorCode(0);
    EXPECT_FALSE(users.seekUser("supervisor"));
}

TEST_F(UsersDbTest, CreationFailsWhereTheFolderIsMissing) {
    users.closeFile();
    std::filesystem::remove_all(dir.file("system/settings"));
    ui.clear();
    EXPECT_FALSE(users.createFile(ui));
    EXPECT_EQ(ui.lastMessage(), "Can't create ../system/settings/users.dbf");
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(UsersDbTest, ARowLockedByAnotherUserKeepsItsPassword) {
    users.closeFile();
    auto other = engine::Data4::open(code, users.path());
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->lock(1), engine::r4success);

    ASSERT_TRUE(users.openFile());
    ASSERT_TRUE(users.seekUser("supervisor"));
    EXPECT_EQ(users.data()->lock(users.data()->recNo()), engine::r4locked);
    USERREC changed;
    users.loadRec(changed);
    changed.password = kHash;
    users.storeRec(changed);
    EXPECT_EQ(users.data()->flush(), engine::e4lock);
    code.setErrorCode(0);
    users.data()->setChanged(false);
    other.reset();

    users.closeFile();
    ASSERT_TRUE(users.openFile());
    ASSERT_TRUE(users.seekUser("supervisor"));
    USERREC loaded;
    users.loadRec(loaded);
    EXPECT_EQ(loaded.password, "");
}

} // namespace
} // namespace kelo::database
