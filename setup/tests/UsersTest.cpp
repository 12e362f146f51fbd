#include "setup/Users.h"

#include "setup/PasswordHash.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace kelo::setup {
namespace {

using common::MessageIcon;
using testsupport::FakeDialogView;

class UsersTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system/settings"));
        folder = common::WorkingFolder(dir.path());
        ASSERT_TRUE(database::USERSDB(code, folder).createFile(ui));
        users = std::make_unique<USERS>(code, folder);
        ui.clear();
    }

    bool loginAs(const std::string& name, const std::string& password, bool& passwordSet) {
        FakeDialogView login;
        login.setText(logindlg::UserName, name);
        login.setText(logindlg::Password, password);
        return users->checkLogin(ui, login, passwordSet);
    }

    void addUser(const std::string& name, const std::string& password) {
        FakeDialogView list;
        FakeDialogView identity;
        users->initNewUserDlg(identity);
        identity.setText(useriddlg::UserName, name);
        identity.setText(useriddlg::Password, password);
        identity.setText(useriddlg::ConfirmPassword, password);
        identity.setText(useriddlg::LastName, "  Mushi ");
        identity.setText(useriddlg::OtherNames, "Anna");
        ASSERT_TRUE(users->closeNewUserDlg(ui, identity, list)) << ui.lastMessage();
    }

    void setPassword(const std::string& password) {
        FakeDialogView dialog;
        dialog.setText(passworddlg::Password, password);
        dialog.setText(passworddlg::ConfirmPassword, password);
        ASSERT_TRUE(users->setPasswd(ui, dialog)) << ui.lastMessage();
    }

    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    engine::Code4 code;
    common::WorkingFolder folder;
    std::unique_ptr<USERS> users;
};

TEST_F(UsersTest, NobodyIsLoggedInAtFirstAndExclusiveAccessIsSet) {
    EXPECT_EQ(users->getUser()->userName, "");
    EXPECT_EQ(users->getUser()->exclusiveAccess, 1);
    EXPECT_TRUE(users->login());
    EXPECT_TRUE(users->logout());
}

TEST_F(UsersTest, LoginMessages) {
    bool passwordSet = false;
    EXPECT_FALSE(loginAs("  ", "", passwordSet));
    EXPECT_EQ(ui.lastMessage(), "Please enter username.");
    EXPECT_EQ(ui.messages.back().caption, "Login");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
    EXPECT_FALSE(loginAs("nobody", "", passwordSet));
    EXPECT_EQ(ui.lastMessage(), "User does not exist.");
    EXPECT_EQ(ui.messages.back().caption, "Login");
}

TEST_F(UsersTest, AUserNeverGivenAPasswordMustSetOne) {
    FakeDialogView login;
    login.setText(logindlg::UserName, "supervisor");
    login.setText(logindlg::Password, "typed before");
    users->updateLoginDlg(login);
    EXPECT_FALSE(login.isEnabled(logindlg::Password));
    EXPECT_EQ(login.text(logindlg::Password), "");

    bool passwordSet = true;
    ASSERT_TRUE(users->checkLogin(ui, login, passwordSet));
    EXPECT_FALSE(passwordSet);
    EXPECT_EQ(users->getUser()->userName, "supervisor");
    EXPECT_EQ(users->getUser()->exclusiveAccess, 1);
    setPassword("Kilimanjaro");

    users->updateLoginDlg(login);
    EXPECT_TRUE(login.isEnabled(logindlg::Password));
    EXPECT_TRUE(loginAs("SUPERVISOR", "Kilimanjaro", passwordSet));
    EXPECT_TRUE(passwordSet);
}

TEST_F(UsersTest, PasswordsAreCaseSensitiveAndStoredOnlyAsSaltedHashes) {
    bool passwordSet = false;
    ASSERT_TRUE(loginAs("supervisor", "", passwordSet));
    setPassword("Secret9");
    EXPECT_FALSE(loginAs("supervisor", "secret9", passwordSet));
    EXPECT_EQ(ui.lastMessage(), "Access denied.");
    EXPECT_FALSE(loginAs("supervisor", "Secret9 ", passwordSet));
    EXPECT_TRUE(loginAs("supervisor", "Secret9", passwordSet));

    users.reset(); // close the table so its bytes are on disk
    std::ifstream in(dir.file("system/settings/users.dbf"), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes.find("Secret9"), std::string::npos);
    EXPECT_NE(bytes.find("pbkdf2-sha256$"), std::string::npos);

    const std::string a = hashPassword("Secret9");
    const std::string b = hashPassword("Secret9");
    EXPECT_NE(a, b); // salted
    EXPECT_TRUE(verifyPassword("Secret9", a));
    EXPECT_FALSE(verifyPassword("Secret9", "pbkdf2-sha256$1$zz$00"));
    EXPECT_TRUE(verifyPassword("", ""));
    EXPECT_FALSE(verifyPassword("x", ""));
}

TEST_F(UsersTest, NewPasswordRules) {
    struct Case {
        const char* password;
        const char* confirm;
        const char* message; // "" when accepted
    };
    const Case cases[] = {
        {"", "", "Please enter new password."},
        {"abc", "abc", "Password must be at least 4 characters long."},
        {" abcd", " abcd", "Password should not start or end with a blank character."},
        {"abcd ", "abcd ", "Password should not start or end with a blank character."},
        {"abcd", "abce", "Password and Confirm Password do not match."},
        {"abcd", "abcd", ""},
        {"a b c", "a b c", ""},
    };
    bool passwordSet = false;
    ASSERT_TRUE(loginAs("supervisor", "", passwordSet));
    for (const Case& c : cases) {
        ui.clear();
        FakeDialogView dialog;
        dialog.setText(passworddlg::Password, c.password);
        dialog.setText(passworddlg::ConfirmPassword, c.confirm);
        const bool stored = users->setPasswd(ui, dialog);
        EXPECT_EQ(stored, std::string(c.message).empty()) << c.password;
        EXPECT_EQ(ui.lastMessage(), c.message) << c.password;
    }
}

TEST_F(UsersTest, ChangePasswordAndTheCautionDialog) {
    bool passwordSet = false;
    ASSERT_TRUE(loginAs("supervisor", "", passwordSet));
    setPassword("Dodoma2025");
    struct Case {
        const char* old;
        const char* fresh;
        const char* confirm;
        const char* message;
    };
    const Case cases[] = {
        {"dodoma2025", "Arusha22", "Arusha22", "Old password is incorrect."},
        {"Dodoma2025", "", "", "Please enter new password."},
        {"Dodoma2025", "Aru", "Aru", "Password must be at least 4 characters long."},
        {"Dodoma2025", "Arusha22 ", "Arusha22 ",
         "Password should not start or end with a blank character."},
        {"Dodoma2025", "Arusha22", "Arusha23",
         "New Password and Confirm New Password do not match."},
        {"Dodoma2025", "Arusha22", "Arusha22", ""},
    };
    for (const Case& c : cases) {
        ui.clear();
        FakeDialogView dialog;
        dialog.setText(changepassworddlg::OldPassword, c.old);
        dialog.setText(changepassworddlg::NewPassword, c.fresh);
        dialog.setText(changepassworddlg::ConfirmNewPassword, c.confirm);
        EXPECT_EQ(users->changePasswd(ui, dialog), std::string(c.message).empty()) << c.message;
        EXPECT_EQ(ui.lastMessage(), c.message);
    }
    FakeDialogView caution;
    caution.setText(cautiondlg::Password, "Dodoma2025");
    EXPECT_FALSE(users->checkPasswd(ui, caution));
    EXPECT_EQ(ui.lastMessage(), "Access denied.");
    EXPECT_EQ(ui.messages.back().caption, "Kelo Roster");
    caution.setText(cautiondlg::Password, "Arusha22");
    EXPECT_TRUE(users->checkPasswd(ui, caution));
}

TEST_F(UsersTest, TheListNeverShowsTheSupervisor) {
    FakeDialogView list;
    users->displayUsers(list);
    EXPECT_EQ(list.itemCount(usersdlg::List), 0);
    EXPECT_FALSE(list.isEnabled(usersdlg::Delete));
    EXPECT_FALSE(list.isEnabled(usersdlg::Identity));
    EXPECT_FALSE(list.isEnabled(usersdlg::Rights));
    EXPECT_TRUE(list.isEnabled(usersdlg::Add));
    addUser("amushi", "");
    addUser("bkimaro", "Pass1234");
    users->displayUsers(list);
    EXPECT_EQ(list.itemTexts(usersdlg::List), (std::vector<std::string>{"amushi", "bkimaro"}));
    EXPECT_EQ(list.selectedRow(usersdlg::List), 0);
    EXPECT_TRUE(list.isEnabled(usersdlg::Delete));
    bool passwordSet = true;
    EXPECT_TRUE(loginAs("amushi", "", passwordSet));
    EXPECT_FALSE(passwordSet);
    EXPECT_EQ(users->getUser()->lastName, "Mushi");
    EXPECT_EQ(users->getUser()->manageUsers, 0);
    EXPECT_EQ(users->getUser()->menuType, common::kFullMenu);
    EXPECT_TRUE(loginAs("bkimaro", "Pass1234", passwordSet));
}

TEST_F(UsersTest, UserNameChecks) {
    addUser("amushi", "");
    FakeDialogView list;
    FakeDialogView identity;
    users->initNewUserDlg(identity);
    identity.setText(useriddlg::UserName, "   ");
    EXPECT_FALSE(users->closeNewUserDlg(ui, identity, list));
    EXPECT_EQ(ui.lastMessage(),
              "The \"Username\" field must not be blank. Please enter a value for this field.");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Warning);
    for (const char* taken : {"amushi", "AMUSHI", "Supervisor"}) {
        identity.setText(useriddlg::UserName, taken);
        EXPECT_FALSE(users->closeNewUserDlg(ui, identity, list)) << taken;
        EXPECT_EQ(ui.lastMessage(),
                  "User with this name already exists. Please enter a different name.");
    }
    identity.setText(useriddlg::UserName, "new");
    identity.setText(useriddlg::Password, "abcd");
    identity.setText(useriddlg::ConfirmPassword, "abce");
    EXPECT_FALSE(users->closeNewUserDlg(ui, identity, list));
    EXPECT_EQ(ui.lastMessage(), "Password and Confirm Password do not match.");
}

TEST_F(UsersTest, EditIdentityKeepsABlankPasswordAndFollowsTheLoggedInUser) {
    addUser("amushi", "First111");
    FakeDialogView list;
    users->displayUsers(list);
    bool passwordSet = false;
    ASSERT_TRUE(loginAs("amushi", "First111", passwordSet));

    FakeDialogView identity;
    ASSERT_TRUE(users->initIdDlg(list, identity));
    EXPECT_EQ(identity.text(useriddlg::UserName), "amushi");
    EXPECT_EQ(identity.text(useriddlg::Password), ""); // never shown
    identity.setText(useriddlg::UserName, "anna");
    identity.setText(useriddlg::LastName, "Mushi-Lema");
    ASSERT_TRUE(users->closeIdDlg(ui, identity, list)) << ui.lastMessage();
    EXPECT_EQ(list.itemTexts(usersdlg::List), std::vector<std::string>{"anna"});
    EXPECT_TRUE(loginAs("anna", "First111", passwordSet)); // password kept

    ASSERT_TRUE(users->initIdDlg(list, identity));
    identity.setText(useriddlg::Password, "Second22");
    identity.setText(useriddlg::ConfirmPassword, "Second22");
    ASSERT_TRUE(users->closeIdDlg(ui, identity, list));
    FakeDialogView caution;
    caution.setText(cautiondlg::Password, "Second22");
    EXPECT_TRUE(users->checkPasswd(ui, caution));

    // Another handle holding the row: nothing stored, no message.
    database::USERSDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.seekUser("anna"));
    ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    ui.clear();
    ASSERT_TRUE(users->initIdDlg(list, identity));
    identity.setText(useriddlg::LastName, "Changed");
    EXPECT_FALSE(users->closeIdDlg(ui, identity, list));
    EXPECT_TRUE(ui.messages.empty());
    other.data()->unlock();
    common::USERREC row;
    ASSERT_TRUE(other.seekUser("anna"));
    other.loadRec(row);
    EXPECT_EQ(row.lastName, "Mushi-Lema");
}

TEST_F(UsersTest, DeleteAsksFirst) {
    addUser("amushi", "");
    addUser("bkimaro", "");
    FakeDialogView list;
    users->displayUsers(list);
    ui.answers.push_back(common::Answer::No);
    users->deleteUser(ui, list);
    EXPECT_EQ(ui.lastMessage(), "Are you sure you want to delete this user?");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Question);
    EXPECT_EQ(list.itemCount(usersdlg::List), 2);
    users->deleteUser(ui, list); // scripted answers exhausted: Yes
    EXPECT_EQ(list.itemTexts(usersdlg::List), std::vector<std::string>{"bkimaro"});
    EXPECT_EQ(users->data()->recCount(), 2);

    // A lock held elsewhere on the table: nothing is deleted.
    database::USERSDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_EQ(other.data()->lock(1), engine::r4success);
    users->deleteUser(ui, list);
    EXPECT_EQ(users->data()->recCount(), 2);
}

TEST_F(UsersTest, RightsFollowTheMenuType) {
    addUser("amushi", "");
    FakeDialogView list;
    users->displayUsers(list);
    FakeDialogView rights;
    ASSERT_TRUE(users->initRightsDlg(list, rights));
    EXPECT_EQ(rights.caption(), "User Rights for amushi");
    EXPECT_TRUE(rights.isChecked(rightsdlg::FullMenu));
    for (const char* box : {rightsdlg::EditEmpFiles, rightsdlg::ModifyFields,
                            rightsdlg::ModifyTaxTables, rightsdlg::AddDeleteOrgs})
        rights.setChecked(box, true);
    rights.setChecked(rightsdlg::FullMenu, false);
    rights.setChecked(rightsdlg::PersonnelOnly, true);
    users->updateRightsDlg(rights);
    EXPECT_FALSE(rights.isChecked(rightsdlg::ModifyFields));
    EXPECT_FALSE(rights.isEnabled(rightsdlg::ModifyFields));
    EXPECT_FALSE(rights.isChecked(rightsdlg::ModifyTaxTables));
    EXPECT_FALSE(rights.isEnabled(rightsdlg::ModifyTaxTables));
    EXPECT_TRUE(rights.isChecked(rightsdlg::AddDeleteOrgs));
    rights.setChecked(rightsdlg::PersonnelOnly, false);
    rights.setChecked(rightsdlg::PayrollOnly, true);
    users->updateRightsDlg(rights);
    EXPECT_TRUE(rights.isEnabled(rightsdlg::ModifyFields));
    EXPECT_FALSE(rights.isChecked(rightsdlg::AddDeleteOrgs));
    EXPECT_FALSE(rights.isEnabled(rightsdlg::AddDeleteOrgs));
    ASSERT_TRUE(users->closeRightsDlg(rights));

    // New rights take effect at the next login.
    bool passwordSet = false;
    ASSERT_TRUE(loginAs("amushi", "", passwordSet));
    const common::USERREC& user = *users->getUser();
    EXPECT_EQ(user.menuType, common::kPayrollMenu);
    EXPECT_EQ(user.editEmpFiles, 1);
    EXPECT_EQ(user.modifyFields, 0);
    EXPECT_EQ(user.addDeleteOrgs, 0);
    EXPECT_EQ(user.manageUsers, 0);

    database::USERSDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_EQ(other.data()->lock(users->data()->recNo()), engine::r4success);
    EXPECT_FALSE(users->closeRightsDlg(rights));
}

} // namespace
} // namespace kelo::setup
