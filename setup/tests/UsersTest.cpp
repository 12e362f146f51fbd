#include "setup/Users.h"

#include "setup/PasswordHash.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>

namespace kelo::setup {
namespace {

using common::MessageIcon;
using testsupport::FakeDialogView;

const std::vector<const char*> kBoxes = {
    rightsdlg::EditEmpFiles,    rightsdlg::ModifyFields, rightsdlg::SetupOrg,
    rightsdlg::ClosePeriod,     rightsdlg::RestoreFiles, rightsdlg::AddDeleteOrgs,
    rightsdlg::ModifyTaxTables,
};

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
        users->initLoginDlg(login);
        login.setText(logindlg::UserName, name);
        login.setText(logindlg::Password, password);
        return users->checkLogin(ui, login, passwordSet);
    }
    bool loginAs(const std::string& name, const std::string& password) {
        bool passwordSet = false;
        return loginAs(name, password, passwordSet);
    }

    void addUser(const std::string& name, const std::string& password,
                 const std::string& lastName = "  Mushi ", const std::string& otherNames = "Anna") {
        FakeDialogView identity;
        users->initNewUserDlg(identity);
        identity.setText(useriddlg::UserName, name);
        identity.setText(useriddlg::Password, password);
        identity.setText(useriddlg::ConfirmPassword, password);
        identity.setText(useriddlg::LastName, lastName);
        identity.setText(useriddlg::OtherNames, otherNames);
        ASSERT_TRUE(users->closeNewUserDlg(ui, identity, list)) << ui.lastMessage();
    }

    void setPassword(const std::string& password) {
        FakeDialogView dialog;
        users->initPasswdDlg(dialog);
        dialog.setText(passworddlg::Password, password);
        dialog.setText(passworddlg::ConfirmPassword, password);
        ASSERT_TRUE(users->setPasswd(ui, dialog)) << ui.lastMessage();
    }

    // The supervisor, logged in with a password of its own.
    void loginSupervisor(const std::string& password = "Kilimanjaro") {
        ASSERT_TRUE(loginAs("supervisor", ""));
        setPassword(password);
        ASSERT_TRUE(loginAs("supervisor", password));
    }

    // Selects `name` in the Users dialog's list.
    void select(const std::string& name) {
        users->displayUsers(list);
        const int row = list.findItem(usersdlg::List, name);
        ASSERT_GE(row, 0) << name;
        list.selectRow(usersdlg::List, row);
    }

    // The row as stored, read through a handle of its own.
    common::USERREC stored(const std::string& name) {
        database::USERSDB table(code, folder);
        common::USERREC row;
        if (table.openFile() && table.seekUser(name))
            table.loadRec(row);
        return row;
    }
    long rowCount() {
        database::USERSDB table(code, folder);
        return table.openFile() ? table.data()->recCount() : -1;
    }

    bool checkCaution(const std::string& password) {
        FakeDialogView caution;
        caution.setText(cautiondlg::Password, password);
        return users->checkPasswd(ui, caution);
    }

    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    engine::Code4 code;
    common::WorkingFolder folder;
    std::unique_ptr<USERS> users;
    FakeDialogView list; // the Users dialog
};

// Another handle holding a lock, the way a second program would.
struct Holder {
    const char* what;
    std::function<bool(database::USERSDB&, const std::string& user)> take;
};
const Holder kHolders[] = {
    {"the user's row",
     [](database::USERSDB& other, const std::string& user) {
         return other.seekUser(user) &&
                other.data()->lock(other.data()->recNo()) == engine::r4success;
     }},
    {"the whole table",
     [](database::USERSDB& other, const std::string&) {
         return other.data()->lockAll() == engine::r4success;
     }},
};

// ---------------------------------------------------------------- login

TEST_F(UsersTest, NobodyIsLoggedInAtFirstAndExclusiveAccessStaysSet) {
    EXPECT_EQ(users->getUser()->userName, "");
    EXPECT_EQ(users->getUser()->password, "");
    EXPECT_EQ(users->getUser()->manageUsers, 0);
    EXPECT_EQ(users->getUser()->exclusiveAccess, 1);
    EXPECT_TRUE(users->isOpen());

    ASSERT_TRUE(loginAs("supervisor", ""));
    EXPECT_TRUE(users->login());
    EXPECT_EQ(users->getUser()->exclusiveAccess, 1);
    EXPECT_TRUE(users->logout());
    EXPECT_EQ(users->getUser()->exclusiveAccess, 1);
    EXPECT_EQ(users->getUser()->userName, "supervisor"); // stays until another login
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(UsersTest, LoginChecksNameAndPassword) {
    loginSupervisor("Kilimanjaro");
    addUser("amushi", ""); // never given a password
    struct Case {
        const char* name;
        const char* password;
        bool ok;
        bool passwordSet;
        const char* message; // "" when none
    };
    const Case cases[] = {
        {"", "", false, true, "Please enter username."},
        {"   ", "Kilimanjaro", false, true, "Please enter username."},
        {"nobody", "", false, true, "User does not exist."},
        {"supervisor", "Kilimanjaro", true, true, ""},
        {"  SUPERVISOR ", "Kilimanjaro", true, true, ""}, // names are found without case
        {"supervisor", "kilimanjaro", false, true, "Access denied."},
        {"supervisor", "KILIMANJARO", false, true, "Access denied."},
        {"supervisor", "Kilimanjar", false, true, "Access denied."},
        {"supervisor", "Kilimanjaro ", false, true, "Access denied."},
        {"supervisor", "", false, true, "Access denied."},
        {"amushi", "", true, false, ""},
        {"amushi", "anything typed", true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "/" + c.password);
        ui.clear();
        bool passwordSet = !c.passwordSet;
        EXPECT_EQ(loginAs(c.name, c.password, passwordSet), c.ok);
        EXPECT_EQ(passwordSet, c.passwordSet);
        EXPECT_EQ(ui.lastMessage(), c.message);
        if (!ui.messages.empty()) {
            EXPECT_EQ(ui.messages.back().caption, "Login");
            EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
        }
    }
}

TEST_F(UsersTest, LoginLoadsTheUserAndAFailedOneKeepsThePrevious) {
    loginSupervisor("Kilimanjaro");
    addUser("amushi", "Pass1234", "Mushi", "Anna Maria");
    {
        database::USERSDB table(code, folder);
        ASSERT_TRUE(table.openFile());
        ASSERT_TRUE(table.seekUser("amushi"));
        common::USERREC row;
        table.loadRec(row);
        row.menuType = common::kPayrollMenu;
        row.setupOrg = 1;
        row.closePeriod = 1;
        table.storeRec(row);
        ASSERT_EQ(table.data()->flush(), engine::r4success);
    }
    ASSERT_TRUE(loginAs("amushi", "Pass1234"));
    const common::USERREC& user = *users->getUser();
    EXPECT_EQ(user.userName, "amushi");
    EXPECT_EQ(user.lastName, "Mushi");
    EXPECT_EQ(user.otherNames, "Anna Maria");
    EXPECT_EQ(user.menuType, common::kPayrollMenu);
    EXPECT_EQ(user.setupOrg, 1);
    EXPECT_EQ(user.closePeriod, 1);
    EXPECT_EQ(user.editEmpFiles, 0);
    EXPECT_EQ(user.manageUsers, 0);
    EXPECT_EQ(user.exclusiveAccess, 1);
    // The record carries the stored hash, never what was typed.
    EXPECT_EQ(user.password.rfind("pbkdf2-sha256$", 0), 0u);

    EXPECT_FALSE(loginAs("supervisor", "wrong"));
    EXPECT_EQ(users->getUser()->userName, "amushi");
    EXPECT_FALSE(loginAs("nobody", ""));
    EXPECT_EQ(users->getUser()->userName, "amushi");
}

TEST_F(UsersTest, ThePasswordFieldFollowsTheTypedName) {
    loginSupervisor("Kilimanjaro");
    addUser("amushi", "");
    struct Case {
        const char* name;
        bool enabled;
    };
    const Case cases[] = {
        {"", false},          {"nobody", false},      {"amushi", false}, // never set
        {"supervisor", true}, {" Supervisor ", true}, {"supervisorx", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDialogView login;
        users->initLoginDlg(login);
        login.setText(logindlg::UserName, c.name);
        login.setText(logindlg::Password, "typed");
        users->updateLoginDlg(login);
        EXPECT_EQ(login.isEnabled(logindlg::Password), c.enabled);
        EXPECT_EQ(login.text(logindlg::Password), c.enabled ? "typed" : "");
    }
    FakeDialogView login;
    users->initLoginDlg(login);
    EXPECT_EQ(login.control(logindlg::UserName).textLimit, 19);
    EXPECT_EQ(login.control(logindlg::Password).textLimit, 19);
}

TEST_F(UsersTest, AUserNeverGivenAPasswordMustSetOne) {
    FakeDialogView login;
    login.setText(logindlg::UserName, "supervisor");
    users->updateLoginDlg(login);
    EXPECT_FALSE(login.isEnabled(logindlg::Password));

    // Set Password cancelled: logged out, and the next try is the same.
    bool passwordSet = true;
    ASSERT_TRUE(users->checkLogin(ui, login, passwordSet));
    EXPECT_FALSE(passwordSet);
    EXPECT_TRUE(users->logout());
    passwordSet = true;
    ASSERT_TRUE(users->checkLogin(ui, login, passwordSet));
    EXPECT_FALSE(passwordSet);
    EXPECT_EQ(users->getUser()->userName, "supervisor");

    setPassword("Kilimanjaro");
    users->updateLoginDlg(login);
    EXPECT_TRUE(login.isEnabled(logindlg::Password));
    EXPECT_FALSE(loginAs("supervisor", "", passwordSet));
    EXPECT_EQ(ui.lastMessage(), "Access denied.");
    EXPECT_TRUE(loginAs("supervisor", "Kilimanjaro", passwordSet));
    EXPECT_TRUE(passwordSet);
}

// ------------------------------------------------------ set and change

TEST_F(UsersTest, SetPasswordRules) {
    struct Case {
        const char* password;
        const char* confirm;
        const char* message; // "" when accepted
        const char* focus;
    };
    const Case cases[] = {
        {"", "", "Please enter new password.", passworddlg::Password},
        {"", "abcd", "Please enter new password.", passworddlg::Password},
        {"a", "a", "Password must be at least 4 characters long.", passworddlg::Password},
        {"abc", "abc", "Password must be at least 4 characters long.", passworddlg::Password},
        {"\xC3\xA4\xC3\xB6\xC3\xBC", "\xC3\xA4\xC3\xB6\xC3\xBC", // three letters, six bytes
         "Password must be at least 4 characters long.", passworddlg::Password},
        {" abcd", " abcd", "Password should not start or end with a blank character.",
         passworddlg::Password},
        {"abcd ", "abcd ", "Password should not start or end with a blank character.",
         passworddlg::Password},
        {"abcd", "abce", "Password and Confirm Password do not match.",
         passworddlg::ConfirmPassword},
        {"abcd", "ABCD", "Password and Confirm Password do not match.",
         passworddlg::ConfirmPassword},
        {"abcd", "", "Password and Confirm Password do not match.", passworddlg::ConfirmPassword},
        {"abcd", "abcd", "", ""},
        {"a b c", "a b c", "", ""},
        {"\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", "", ""},
        {"Nineteen_characters", "Nineteen_characters", "", ""},
    };
    ASSERT_TRUE(loginAs("supervisor", ""));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password);
        ui.clear();
        const std::string before = stored("supervisor").password;
        FakeDialogView dialog;
        users->initPasswdDlg(dialog);
        dialog.setText(passworddlg::Password, c.password);
        dialog.setText(passworddlg::ConfirmPassword, c.confirm);
        const bool accepted = std::string(c.message).empty();
        EXPECT_EQ(users->setPasswd(ui, dialog), accepted);
        EXPECT_EQ(ui.lastMessage(), c.message);
        if (accepted) {
            EXPECT_TRUE(verifyPassword(c.password, stored("supervisor").password));
            EXPECT_TRUE(checkCaution(c.password));
        } else {
            EXPECT_EQ(ui.messages.back().icon, MessageIcon::Information);
            EXPECT_EQ(dialog.focus(), c.focus);
            EXPECT_EQ(dialog.text(passworddlg::Password), c.password); // entries kept
            EXPECT_EQ(stored("supervisor").password, before);
        }
    }
}

TEST_F(UsersTest, TypingBeyondNineteenCharactersIsIgnoredEverywhere) {
    ASSERT_TRUE(loginAs("supervisor", ""));
    const std::string typed = "Abcdefghij0123456789XYZ"; // 23 characters
    FakeDialogView dialog;                               // no limit set on it
    dialog.setText(passworddlg::Password, typed);
    dialog.setText(passworddlg::ConfirmPassword, typed);
    ASSERT_TRUE(users->setPasswd(ui, dialog));
    EXPECT_TRUE(verifyPassword(typed.substr(0, 19), stored("supervisor").password));
    EXPECT_TRUE(loginAs("supervisor", typed));
    EXPECT_TRUE(loginAs("supervisor", typed.substr(0, 19)));
    EXPECT_FALSE(loginAs("supervisor", typed.substr(0, 18)));
    EXPECT_TRUE(checkCaution(typed.substr(0, 19)));

    FakeDialogView limited;
    users->initPasswdDlg(limited);
    EXPECT_EQ(limited.control(passworddlg::Password).textLimit, 19);
    EXPECT_EQ(limited.control(passworddlg::ConfirmPassword).textLimit, 19);
}

TEST_F(UsersTest, SetPasswordFailsSilentlyWithoutTheRow) {
    FakeDialogView dialog;
    dialog.setText(passworddlg::Password, "abcd");
    dialog.setText(passworddlg::ConfirmPassword, "abcd");
    EXPECT_FALSE(users->setPasswd(ui, dialog)); // nobody logged in
    EXPECT_TRUE(ui.messages.empty());

    ASSERT_TRUE(loginAs("supervisor", ""));
    for (const Holder& holder : kHolders) {
        SCOPED_TRACE(holder.what);
        database::USERSDB other(code, folder);
        ASSERT_TRUE(other.openFile());
        ASSERT_TRUE(holder.take(other, "supervisor"));
        EXPECT_FALSE(users->setPasswd(ui, dialog));
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(stored("supervisor").password, "");
        EXPECT_FALSE(checkCaution("abcd")); // the confirmation still wants the old one
        ui.clear();
    }
    EXPECT_TRUE(users->setPasswd(ui, dialog));
    EXPECT_TRUE(checkCaution("abcd"));
}

TEST_F(UsersTest, ChangePasswordRules) {
    loginSupervisor("Dodoma2025");
    struct Case {
        const char* old;
        const char* fresh;
        const char* confirm;
        const char* message;
        const char* focus;
    };
    using namespace changepassworddlg;
    const Case cases[] = {
        {"dodoma2025", "Arusha22", "Arusha22", "Old password is incorrect.", OldPassword},
        {"", "Arusha22", "Arusha22", "Old password is incorrect.", OldPassword},
        {"Dodoma2025 ", "Arusha22", "Arusha22", "Old password is incorrect.", OldPassword},
        {"Dodoma2025", "", "", "Please enter new password.", NewPassword},
        {"Dodoma2025", "Aru", "Aru", "Password must be at least 4 characters long.", NewPassword},
        {"Dodoma2025", " Arusha22", " Arusha22",
         "Password should not start or end with a blank character.", NewPassword},
        {"Dodoma2025", "Arusha22 ", "Arusha22 ",
         "Password should not start or end with a blank character.", NewPassword},
        {"Dodoma2025", "Arusha22", "Arusha23",
         "New Password and Confirm New Password do not match.", ConfirmNewPassword},
        {"Dodoma2025", "Arusha22", "arusha22",
         "New Password and Confirm New Password do not match.", ConfirmNewPassword},
        {"Dodoma2025", "Arusha22", "Arusha22", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ui.clear();
        FakeDialogView dialog;
        users->initChangePasswdDlg(dialog);
        dialog.setText(OldPassword, c.old);
        dialog.setText(NewPassword, c.fresh);
        dialog.setText(ConfirmNewPassword, c.confirm);
        const bool accepted = std::string(c.message).empty();
        EXPECT_EQ(users->changePasswd(ui, dialog), accepted);
        EXPECT_EQ(ui.lastMessage(), c.message);
        if (!accepted) {
            EXPECT_EQ(ui.messages.back().icon, MessageIcon::Information);
            EXPECT_EQ(dialog.focus(), c.focus);
            EXPECT_TRUE(loginAs("supervisor", "Dodoma2025"));
        }
    }
    EXPECT_FALSE(loginAs("supervisor", "Dodoma2025"));
    EXPECT_TRUE(loginAs("supervisor", "Arusha22"));
    EXPECT_TRUE(checkCaution("Arusha22"));
    EXPECT_FALSE(checkCaution("Dodoma2025"));
}

TEST_F(UsersTest, ChangePasswordOfAUserWithoutOneTakesAnEmptyOldPassword) {
    addUser("amushi", "");
    ASSERT_TRUE(loginAs("amushi", ""));
    FakeDialogView dialog;
    dialog.setText(changepassworddlg::OldPassword, "");
    dialog.setText(changepassworddlg::NewPassword, "Mwanza01");
    dialog.setText(changepassworddlg::ConfirmNewPassword, "Mwanza01");
    EXPECT_TRUE(users->changePasswd(ui, dialog)) << ui.lastMessage();
    bool passwordSet = false;
    EXPECT_TRUE(loginAs("amushi", "Mwanza01", passwordSet));
    EXPECT_TRUE(passwordSet);
}

TEST_F(UsersTest, TheCautionDialogWantsThePasswordExactly) {
    loginSupervisor("Arusha22");
    struct Case {
        const char* typed;
        bool ok;
    };
    const Case cases[] = {
        {"Arusha22", true},   {"arusha22", false},  {"ARUSHA22", false}, {"", false},
        {"Arusha22 ", false}, {" Arusha22", false}, {"Arusha2", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ui.clear();
        EXPECT_EQ(checkCaution(c.typed), c.ok);
        if (c.ok) {
            EXPECT_TRUE(ui.messages.empty());
        } else {
            EXPECT_EQ(ui.lastMessage(), "Access denied.");
            EXPECT_EQ(ui.messages.back().caption, "Kelo Roster");
            EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
        }
    }
}

// ------------------------------------------------------------- storage

TEST(PasswordHash, IsSaltedSelfDescribingAndFitsTheColumn) {
    const std::string a = hashPassword("Secret9");
    const std::string b = hashPassword("Secret9");
    EXPECT_NE(a, b);
    EXPECT_EQ(a.rfind("pbkdf2-sha256$100000$", 0), 0u);
    EXPECT_EQ(a.size(), 118u);
    EXPECT_LE(a.size(), database::USERSDB::kPasswordColumnWidth);
    EXPECT_EQ(a.find("Secret9"), std::string::npos);
    EXPECT_TRUE(verifyPassword("Secret9", a));
    EXPECT_TRUE(verifyPassword("Secret9", b));
    EXPECT_FALSE(verifyPassword("secret9", a));
    EXPECT_FALSE(verifyPassword("Secret9 ", a));
    EXPECT_FALSE(verifyPassword("", a));
    EXPECT_EQ(hashPassword(""), "");
    EXPECT_TRUE(verifyPassword("", ""));
    EXPECT_FALSE(verifyPassword("Secret9", ""));
}

TEST(PasswordHash, AnyOtherFormMatchesNothing) {
    const std::string good = hashPassword("Secret9");
    const auto salt = good.find('$', 14) + 1;
    const auto hash = good.rfind('$') + 1;
    std::string flipped = good;
    flipped.back() = flipped.back() == '0' ? '1' : '0';
    const std::vector<std::string> bad = {
        "Secret9",
        "pbkdf2-sha256",
        "pbkdf2-sha1" + good.substr(13),
        "pbkdf2-sha256$0" + good.substr(salt - 1),
        "pbkdf2-sha256$99999999999" + good.substr(salt - 1),
        "pbkdf2-sha256$-5" + good.substr(salt - 1),
        "pbkdf2-sha256$100000x" + good.substr(salt - 1),
        good.substr(0, salt) + "zz" + good.substr(salt + 2),
        good.substr(0, salt) + good.substr(salt + 2), // salt a byte short
        good.substr(0, hash) + good.substr(hash + 2), // hash a byte short
        good + "00",
        good + "$00",
        flipped,
    };
    for (const std::string& stored : bad)
        EXPECT_FALSE(verifyPassword("Secret9", stored)) << stored;
}

TEST_F(UsersTest, TheTableNeverHoldsATypedPassword) {
    loginSupervisor("Kilimanjaro9");
    addUser("amushi", "Serengeti42");
    addUser("bkimaro", "");
    select("bkimaro");
    FakeDialogView identity;
    ASSERT_TRUE(users->initIdDlg(list, identity));
    identity.setText(useriddlg::Password, "Zanzibar777");
    identity.setText(useriddlg::ConfirmPassword, "Zanzibar777");
    ASSERT_TRUE(users->closeIdDlg(ui, identity, list));

    for (const char* name : {"supervisor", "amushi", "bkimaro"})
        EXPECT_EQ(stored(name).password.rfind("pbkdf2-sha256$", 0), 0u) << name;
    users.reset(); // every byte on disk
    std::ifstream in(dir.file("system/settings/users.dbf"), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    for (const char* plain : {"Kilimanjaro9", "Serengeti42", "Zanzibar777"})
        EXPECT_EQ(bytes.find(plain), std::string::npos) << plain;
}

// ---------------------------------------------------------- users list

TEST_F(UsersTest, TheListNeverShowsTheSupervisor) {
    list.setEnabled(usersdlg::Delete, true);
    users->displayUsers(list);
    EXPECT_EQ(list.itemCount(usersdlg::List), 0);
    EXPECT_EQ(list.selectedRow(usersdlg::List), -1);
    EXPECT_FALSE(list.isEnabled(usersdlg::Delete));
    EXPECT_FALSE(list.isEnabled(usersdlg::Identity));
    EXPECT_FALSE(list.isEnabled(usersdlg::Rights));
    EXPECT_TRUE(list.isEnabled(usersdlg::Add));
    EXPECT_TRUE(list.isEnabled(usersdlg::Close));

    addUser("zawadi", "");
    addUser("amushi", "Pass1234");
    users->displayUsers(list);
    // Table order, not name order.
    EXPECT_EQ(list.itemTexts(usersdlg::List), (std::vector<std::string>{"zawadi", "amushi"}));
    EXPECT_EQ(list.itemCode(usersdlg::List, 0), 2);
    EXPECT_EQ(list.selectedRow(usersdlg::List), 0);
    for (const char* button : {usersdlg::Delete, usersdlg::Identity, usersdlg::Rights})
        EXPECT_TRUE(list.isEnabled(button)) << button;
}

TEST_F(UsersTest, OnlyTheSupervisorMayManageUsers) {
    loginSupervisor();
    EXPECT_EQ(users->getUser()->manageUsers, 1);
    addUser("amushi", "");
    EXPECT_EQ(stored("amushi").manageUsers, 0);
    ASSERT_TRUE(loginAs("amushi", ""));
    EXPECT_EQ(users->getUser()->manageUsers, 0);

    // The rights dialog leaves the flag as it is, whatever it is.
    for (int flag : {1, 0}) {
        {
            database::USERSDB table(code, folder);
            ASSERT_TRUE(table.openFile());
            ASSERT_TRUE(table.seekUser("amushi"));
            common::USERREC row;
            table.loadRec(row);
            row.manageUsers = flag;
            table.storeRec(row);
            ASSERT_EQ(table.data()->flush(), engine::r4success);
        }
        select("amushi");
        FakeDialogView rights;
        ASSERT_TRUE(users->initRightsDlg(list, rights));
        for (const char* box : kBoxes)
            rights.setChecked(box, true);
        ASSERT_TRUE(users->closeRightsDlg(rights));
        EXPECT_EQ(stored("amushi").manageUsers, flag);
    }
}

// ------------------------------------------------------------ add user

TEST_F(UsersTest, AddStoresTheNewUserWithoutRights) {
    users->displayUsers(list);
    addUser("  amushi  ", "Pass1234", "  Mushi ", " Anna  Maria ");
    EXPECT_EQ(list.itemTexts(usersdlg::List), std::vector<std::string>{"amushi"});
    EXPECT_EQ(list.selectedRow(usersdlg::List), 0);
    const common::USERREC row = stored("amushi");
    EXPECT_EQ(row.userName, "amushi");
    EXPECT_TRUE(verifyPassword("Pass1234", row.password));
    EXPECT_EQ(row.lastName, "Mushi");
    EXPECT_EQ(row.otherNames, "Anna  Maria");
    EXPECT_EQ(row.menuType, common::kFullMenu);
    for (int common::USERREC::*flag :
         {&common::USERREC::editEmpFiles, &common::USERREC::modifyFields,
          &common::USERREC::setupOrg, &common::USERREC::closePeriod, &common::USERREC::restoreFiles,
          &common::USERREC::modifyTaxTables, &common::USERREC::addDeleteOrgs,
          &common::USERREC::manageUsers})
        EXPECT_EQ(row.*flag, 0);

    addUser("bkimaro", ""); // a password is optional
    EXPECT_EQ(stored("bkimaro").password, "");
    addUser(std::string(25, 'n'), "", std::string(25, 'l'), std::string(35, 'o'));
    const common::USERREC cut = stored(std::string(19, 'n'));
    EXPECT_EQ(cut.userName, std::string(19, 'n'));
    EXPECT_EQ(cut.lastName, std::string(19, 'l'));
    EXPECT_EQ(cut.otherNames, std::string(29, 'o'));

    FakeDialogView identity;
    users->initNewUserDlg(identity);
    EXPECT_EQ(identity.control(useriddlg::UserName).textLimit, 19);
    EXPECT_EQ(identity.control(useriddlg::Password).textLimit, 19);
    EXPECT_EQ(identity.control(useriddlg::ConfirmPassword).textLimit, 19);
    EXPECT_EQ(identity.control(useriddlg::LastName).textLimit, 19);
    EXPECT_EQ(identity.control(useriddlg::OtherNames).textLimit, 29);
}

TEST_F(UsersTest, AddRefusesBadNamesAndPasswords) {
    addUser("amushi", "");
    addUser(std::string(19, 'x'), "");
    struct Case {
        std::string name;
        const char* password;
        const char* confirm;
        const char* message;
        MessageIcon icon;
    };
    const std::string blank =
        "The \"Username\" field must not be blank. Please enter a value for this field.";
    const std::string taken = "User with this name already exists. Please enter a different name.";
    const Case cases[] = {
        {"", "", "", blank.c_str(), MessageIcon::Warning},
        {"   ", "", "", blank.c_str(), MessageIcon::Warning},
        {"amushi", "", "", taken.c_str(), MessageIcon::Warning},
        {"AMUSHI", "", "", taken.c_str(), MessageIcon::Warning},
        {" amushi ", "", "", taken.c_str(), MessageIcon::Warning},
        {"supervisor", "", "", taken.c_str(), MessageIcon::Warning},
        {"Supervisor", "", "", taken.c_str(), MessageIcon::Warning},
        {std::string(22, 'x'), "", "", taken.c_str(), MessageIcon::Warning}, // cut to 19
        {"anna", "abc", "abc", "Password must be at least 4 characters long.",
         MessageIcon::Information},
        {"anna", "abcd ", "abcd ", "Password should not start or end with a blank character.",
         MessageIcon::Information},
        {"anna", "abcd", "abce", "Password and Confirm Password do not match.",
         MessageIcon::Information},
        {"anna", "", "abcd", "Password and Confirm Password do not match.",
         MessageIcon::Information},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + "/" + c.password);
        ui.clear();
        FakeDialogView identity;
        users->initNewUserDlg(identity);
        identity.setText(useriddlg::UserName, c.name);
        identity.setText(useriddlg::Password, c.password);
        identity.setText(useriddlg::ConfirmPassword, c.confirm);
        EXPECT_FALSE(users->closeNewUserDlg(ui, identity, list));
        EXPECT_EQ(ui.lastMessage(), c.message);
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back().icon, c.icon);
        EXPECT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(rowCount(), 3);
    }
}

TEST_F(UsersTest, AddWhileAnotherHandleHoldsTheTableChangesNothing) {
    users->displayUsers(list);
    database::USERSDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_EQ(other.data()->lockAll(), engine::r4success);
    FakeDialogView identity;
    users->initNewUserDlg(identity);
    identity.setText(useriddlg::UserName, "amushi");
    identity.setText(useriddlg::LastName, "Mushi");
    EXPECT_FALSE(users->closeNewUserDlg(ui, identity, list));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(), "Can't update ../system/settings/users.dbf because another user "
                                "is using it. amushi has not been added.");
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Warning);
    EXPECT_EQ(rowCount(), 1);
    EXPECT_EQ(list.itemCount(usersdlg::List), 0);
    EXPECT_EQ(identity.text(useriddlg::UserName), "amushi"); // entries kept

    other.data()->unlock();
    EXPECT_TRUE(users->closeNewUserDlg(ui, identity, list));
    EXPECT_EQ(rowCount(), 2);
    EXPECT_EQ(stored("amushi").lastName, "Mushi");
}

// ------------------------------------------------------- edit identity

TEST_F(UsersTest, EditIdentityShowsNoPasswordAndKeepsABlankOne) {
    addUser("amushi", "First111", "Mushi", "Anna");
    addUser("bkimaro", "");
    select("amushi");

    FakeDialogView identity;
    identity.setText(useriddlg::Password, "left over");
    ASSERT_TRUE(users->initIdDlg(list, identity));
    EXPECT_EQ(identity.text(useriddlg::UserName), "amushi");
    EXPECT_EQ(identity.text(useriddlg::Password), "");
    EXPECT_EQ(identity.text(useriddlg::ConfirmPassword), "");
    EXPECT_EQ(identity.text(useriddlg::LastName), "Mushi");
    EXPECT_EQ(identity.text(useriddlg::OtherNames), "Anna");
    EXPECT_EQ(identity.control(useriddlg::Password).textLimit, 19);

    const std::string taken = "User with this name already exists. Please enter a different name.";
    for (const char* name : {"bkimaro", "BKimaro", "supervisor"}) {
        ui.clear();
        identity.setText(useriddlg::UserName, name);
        EXPECT_FALSE(users->closeIdDlg(ui, identity, list)) << name;
        EXPECT_EQ(ui.lastMessage(), taken);
        EXPECT_EQ(ui.messages.back().icon, MessageIcon::Warning);
    }
    ui.clear();
    identity.setText(useriddlg::UserName, " ");
    EXPECT_FALSE(users->closeIdDlg(ui, identity, list));
    EXPECT_EQ(ui.lastMessage(),
              "The \"Username\" field must not be blank. Please enter a value for this field.");
    identity.setText(useriddlg::UserName, "amushi");
    identity.setText(useriddlg::Password, "abc");
    identity.setText(useriddlg::ConfirmPassword, "abc");
    EXPECT_FALSE(users->closeIdDlg(ui, identity, list));
    EXPECT_EQ(ui.lastMessage(), "Password must be at least 4 characters long.");
    EXPECT_EQ(stored("amushi").lastName, "Mushi");

    // Its own name, in another case, is no clash; a blank password stays.
    ui.clear();
    identity.setText(useriddlg::UserName, "AMushi");
    identity.setText(useriddlg::Password, "");
    identity.setText(useriddlg::ConfirmPassword, "");
    identity.setText(useriddlg::LastName, " Mushi-Lema ");
    ASSERT_TRUE(users->closeIdDlg(ui, identity, list)) << ui.lastMessage();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(list.itemTexts(usersdlg::List), (std::vector<std::string>{"AMushi", "bkimaro"}));
    EXPECT_EQ(list.selectedRow(usersdlg::List), 0);
    const common::USERREC row = stored("amushi");
    EXPECT_EQ(row.userName, "AMushi");
    EXPECT_EQ(row.lastName, "Mushi-Lema");
    EXPECT_TRUE(verifyPassword("First111", row.password));

    // A typed password replaces it.
    ASSERT_TRUE(users->initIdDlg(list, identity));
    identity.setText(useriddlg::Password, "Second22");
    identity.setText(useriddlg::ConfirmPassword, "Second22");
    ASSERT_TRUE(users->closeIdDlg(ui, identity, list));
    EXPECT_TRUE(loginAs("amushi", "Second22"));
    EXPECT_FALSE(loginAs("amushi", "First111"));
}

TEST_F(UsersTest, EditIdentityOfTheLoggedInUserFollowsAtOnce) {
    addUser("amushi", "First111");
    ASSERT_TRUE(loginAs("amushi", "First111"));
    select("amushi");
    FakeDialogView identity;
    ASSERT_TRUE(users->initIdDlg(list, identity));
    identity.setText(useriddlg::UserName, "anna");
    identity.setText(useriddlg::Password, "Second22");
    identity.setText(useriddlg::ConfirmPassword, "Second22");
    ASSERT_TRUE(users->closeIdDlg(ui, identity, list));
    EXPECT_EQ(users->getUser()->userName, "anna");
    EXPECT_TRUE(checkCaution("Second22"));
    setPassword("Third333"); // still finds its row by the new name
    EXPECT_TRUE(loginAs("anna", "Third333"));
}

TEST_F(UsersTest, EditIdentityWhileAnotherHandleHoldsALockChangesNothing) {
    addUser("amushi", "First111", "Mushi", "Anna");
    for (const Holder& holder : kHolders) {
        SCOPED_TRACE(holder.what);
        select("amushi");
        FakeDialogView identity;
        ASSERT_TRUE(users->initIdDlg(list, identity));
        identity.setText(useriddlg::UserName, "anna");
        identity.setText(useriddlg::Password, "Second22");
        identity.setText(useriddlg::ConfirmPassword, "Second22");
        identity.setText(useriddlg::LastName, "Changed");
        {
            database::USERSDB other(code, folder);
            ASSERT_TRUE(other.openFile());
            ASSERT_TRUE(holder.take(other, "amushi"));
            ui.clear();
            EXPECT_FALSE(users->closeIdDlg(ui, identity, list));
            EXPECT_TRUE(ui.messages.empty());
            const common::USERREC row = stored("amushi");
            EXPECT_EQ(row.lastName, "Mushi");
            EXPECT_TRUE(verifyPassword("First111", row.password));
            EXPECT_EQ(list.itemText(usersdlg::List, 0), "amushi");
        }
        // Released: the same entries go through, then are put back.
        EXPECT_TRUE(users->closeIdDlg(ui, identity, list));
        EXPECT_EQ(stored("anna").lastName, "Changed");
        identity.setText(useriddlg::UserName, "amushi");
        identity.setText(useriddlg::Password, "First111");
        identity.setText(useriddlg::ConfirmPassword, "First111");
        identity.setText(useriddlg::LastName, "Mushi");
        ASSERT_TRUE(users->closeIdDlg(ui, identity, list));
    }
}

TEST_F(UsersTest, EditIdentityOfAUserDeletedMeanwhileTouchesNoOtherRow) {
    addUser("amushi", "", "Mushi");
    addUser("bkimaro", "", "Kimaro");
    select("amushi");
    FakeDialogView identity;
    ASSERT_TRUE(users->initIdDlg(list, identity));
    FakeDialogView rights;
    ASSERT_TRUE(users->initRightsDlg(list, rights));
    {
        // Another program deletes amushi, so bkimaro moves up a row.
        database::USERSDB other(code, folder);
        ASSERT_TRUE(other.openFile());
        ASSERT_EQ(other.data()->lockAll(), engine::r4success);
        ASSERT_TRUE(other.seekUser("amushi"));
        other.data()->deleteRec();
        ASSERT_EQ(other.data()->pack(), engine::r4success);
        other.data()->unlock();
    }
    identity.setText(useriddlg::LastName, "Changed");
    EXPECT_FALSE(users->closeIdDlg(ui, identity, list));
    rights.setChecked(rightsdlg::EditEmpFiles, true);
    EXPECT_FALSE(users->closeRightsDlg(rights));
    const common::USERREC row = stored("bkimaro");
    EXPECT_EQ(row.lastName, "Kimaro");
    EXPECT_EQ(row.editEmpFiles, 0);
}

TEST_F(UsersTest, TheDialogsNeedASelectedUser) {
    users->displayUsers(list);
    FakeDialogView dialog;
    EXPECT_FALSE(users->initIdDlg(list, dialog));
    EXPECT_FALSE(users->initRightsDlg(list, dialog));
    users->deleteUser(ui, list);
    EXPECT_TRUE(ui.messages.empty());
}

// ---------------------------------------------------------- delete user

TEST_F(UsersTest, DeleteAsksFirst) {
    addUser("amushi", "");
    addUser("bkimaro", "");
    users->displayUsers(list);
    ui.answers.push_back(common::Answer::No);
    users->deleteUser(ui, list);
    EXPECT_EQ(ui.lastMessage(), "Are you sure you want to delete this user?");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Question);
    EXPECT_EQ(ui.messages.back().buttons, common::MessageButtons::YesNo);
    EXPECT_EQ(ui.messages.back().defaultAnswer, common::Answer::No);
    EXPECT_EQ(list.itemCount(usersdlg::List), 2);
    EXPECT_EQ(rowCount(), 3);
    ui.pressEnter = true; // Enter keeps the user
    users->deleteUser(ui, list);
    EXPECT_EQ(rowCount(), 3);
    ui.pressEnter = false;

    ui.answers.push_back(common::Answer::Yes);
    users->deleteUser(ui, list);
    EXPECT_EQ(list.itemTexts(usersdlg::List), std::vector<std::string>{"bkimaro"});
    EXPECT_EQ(list.selectedRow(usersdlg::List), 0);
    EXPECT_EQ(rowCount(), 2); // packed
    EXPECT_FALSE(loginAs("amushi", ""));
    EXPECT_TRUE(loginAs("bkimaro", ""));

    users->deleteUser(ui, list);
    EXPECT_EQ(list.itemCount(usersdlg::List), 0);
    EXPECT_FALSE(list.isEnabled(usersdlg::Delete));
    EXPECT_EQ(rowCount(), 1);
    EXPECT_TRUE(loginAs("supervisor", ""));
}

TEST_F(UsersTest, DeleteWhileAnotherHandleHoldsALockChangesNothing) {
    addUser("amushi", "");
    addUser("bkimaro", "");
    const Holder holders[] = {
        kHolders[0],
        kHolders[1],
        {"another user's row",
         [](database::USERSDB& other, const std::string&) {
             return other.seekUser("bkimaro") &&
                    other.data()->lock(other.data()->recNo()) == engine::r4success;
         }},
    };
    for (const Holder& holder : holders) {
        SCOPED_TRACE(holder.what);
        select("amushi");
        database::USERSDB other(code, folder);
        ASSERT_TRUE(other.openFile());
        ASSERT_TRUE(holder.take(other, "amushi"));
        ui.clear();
        users->deleteUser(ui, list);
        ASSERT_EQ(ui.messages.size(), 2u); // the question and why nothing happened
        EXPECT_EQ(ui.messages[0].defaultAnswer, common::Answer::No);
        EXPECT_EQ(ui.lastMessage(), "Can't update ../system/settings/users.dbf because another "
                                    "user is using it. amushi has not been deleted.");
        EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Warning);
        EXPECT_EQ(rowCount(), 3);
        EXPECT_EQ(stored("amushi").userName, "amushi");
    }
}

// --------------------------------------------------------------- rights

TEST_F(UsersTest, TheMenuTypeClearsAndDisablesTheRightsItCannotUse) {
    addUser("amushi", "");
    select("amushi");
    struct Case {
        const char* menu;
        std::vector<const char*> off; // cleared and disabled
    };
    const Case cases[] = {
        {rightsdlg::PersonnelOnly, {rightsdlg::ModifyFields, rightsdlg::ModifyTaxTables}},
        {rightsdlg::PayrollOnly, {rightsdlg::AddDeleteOrgs}},
        {rightsdlg::FullMenu, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menu);
        FakeDialogView rights;
        ASSERT_TRUE(users->initRightsDlg(list, rights));
        for (const char* box : kBoxes) {
            rights.setChecked(box, true);
            rights.setEnabled(box, false);
        }
        for (const char* menu :
             {rightsdlg::FullMenu, rightsdlg::PersonnelOnly, rightsdlg::PayrollOnly})
            rights.setChecked(menu, menu == c.menu);
        users->updateRightsDlg(rights);
        for (const char* box : kBoxes) {
            const bool off = std::find(c.off.begin(), c.off.end(), box) != c.off.end();
            EXPECT_EQ(rights.isChecked(box), !off) << box;
            EXPECT_EQ(rights.isEnabled(box), !off) << box;
        }
    }

    // Back to the full menu: every box is enabled again, cleared ones stay so.
    FakeDialogView rights;
    ASSERT_TRUE(users->initRightsDlg(list, rights));
    for (const char* box : kBoxes)
        rights.setChecked(box, true);
    rights.setChecked(rightsdlg::FullMenu, false);
    rights.setChecked(rightsdlg::PersonnelOnly, true);
    users->updateRightsDlg(rights);
    rights.setChecked(rightsdlg::PersonnelOnly, false);
    rights.setChecked(rightsdlg::FullMenu, true);
    users->updateRightsDlg(rights);
    for (const char* box : kBoxes)
        EXPECT_TRUE(rights.isEnabled(box)) << box;
    EXPECT_FALSE(rights.isChecked(rightsdlg::ModifyFields));
    EXPECT_TRUE(rights.isChecked(rightsdlg::AddDeleteOrgs));
}

TEST_F(UsersTest, RightsShowWhatIsStored) {
    addUser("amushi", "");
    {
        database::USERSDB table(code, folder);
        ASSERT_TRUE(table.openFile());
        ASSERT_TRUE(table.seekUser("amushi"));
        common::USERREC row;
        table.loadRec(row);
        row.menuType = common::kPersonnelMenu;
        row.editEmpFiles = 1;
        row.restoreFiles = 1;
        table.storeRec(row);
        ASSERT_EQ(table.data()->flush(), engine::r4success);
    }
    select("amushi");
    FakeDialogView rights;
    ASSERT_TRUE(users->initRightsDlg(list, rights));
    EXPECT_EQ(rights.caption(), "User Rights for amushi");
    EXPECT_FALSE(rights.isChecked(rightsdlg::FullMenu));
    EXPECT_TRUE(rights.isChecked(rightsdlg::PersonnelOnly));
    EXPECT_FALSE(rights.isChecked(rightsdlg::PayrollOnly));
    EXPECT_TRUE(rights.isChecked(rightsdlg::EditEmpFiles));
    EXPECT_TRUE(rights.isChecked(rightsdlg::RestoreFiles));
    EXPECT_FALSE(rights.isChecked(rightsdlg::SetupOrg));
    EXPECT_FALSE(rights.isEnabled(rightsdlg::ModifyFields));
    EXPECT_FALSE(rights.isEnabled(rightsdlg::ModifyTaxTables));
    EXPECT_TRUE(rights.isEnabled(rightsdlg::AddDeleteOrgs));
}

TEST_F(UsersTest, RightsAreStoredAndTakeEffectAtTheNextLogin) {
    addUser("amushi", "");
    ASSERT_TRUE(loginAs("amushi", ""));
    select("amushi");
    struct Case {
        const char* menu;
        std::int32_t menuType;
        int modifyFields, modifyTaxTables, addDeleteOrgs;
    };
    // Every box checked: the menu type decides what is kept, even when the
    // boxes were not brought in line with it first.
    const Case cases[] = {
        {rightsdlg::PayrollOnly, common::kPayrollMenu, 1, 1, 0},
        {rightsdlg::PersonnelOnly, common::kPersonnelMenu, 0, 0, 1},
        {rightsdlg::FullMenu, common::kFullMenu, 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menu);
        FakeDialogView rights;
        ASSERT_TRUE(users->initRightsDlg(list, rights));
        for (const char* menu :
             {rightsdlg::FullMenu, rightsdlg::PersonnelOnly, rightsdlg::PayrollOnly})
            rights.setChecked(menu, menu == c.menu);
        for (const char* box : kBoxes)
            rights.setChecked(box, true);
        ASSERT_TRUE(users->closeRightsDlg(rights));
        const common::USERREC row = stored("amushi");
        EXPECT_EQ(row.menuType, c.menuType);
        EXPECT_EQ(row.modifyFields, c.modifyFields);
        EXPECT_EQ(row.modifyTaxTables, c.modifyTaxTables);
        EXPECT_EQ(row.addDeleteOrgs, c.addDeleteOrgs);
        EXPECT_EQ(row.editEmpFiles, 1);
        EXPECT_EQ(row.setupOrg, 1);
        EXPECT_EQ(row.closePeriod, 1);
        EXPECT_EQ(row.restoreFiles, 1);
    }
    // The logged-in record is as it was at login ...
    EXPECT_EQ(users->getUser()->editEmpFiles, 0);
    EXPECT_EQ(users->getUser()->menuType, common::kFullMenu);
    // ... until the next one.
    ASSERT_TRUE(loginAs("amushi", ""));
    EXPECT_EQ(users->getUser()->editEmpFiles, 1);
    EXPECT_EQ(users->getUser()->addDeleteOrgs, 1);

    FakeDialogView rights;
    ASSERT_TRUE(users->initRightsDlg(list, rights));
    for (const char* box : kBoxes)
        rights.setChecked(box, false);
    ASSERT_TRUE(users->closeRightsDlg(rights));
    const common::USERREC row = stored("amushi");
    for (int common::USERREC::*flag :
         {&common::USERREC::editEmpFiles, &common::USERREC::modifyFields,
          &common::USERREC::setupOrg, &common::USERREC::closePeriod, &common::USERREC::restoreFiles,
          &common::USERREC::modifyTaxTables, &common::USERREC::addDeleteOrgs})
        EXPECT_EQ(row.*flag, 0);
}

TEST_F(UsersTest, RightsWhileAnotherHandleHoldsALockChangeNothing) {
    addUser("amushi", "");
    for (const Holder& holder : kHolders) {
        SCOPED_TRACE(holder.what);
        select("amushi");
        FakeDialogView rights;
        ASSERT_TRUE(users->initRightsDlg(list, rights));
        rights.setChecked(rightsdlg::FullMenu, false);
        rights.setChecked(rightsdlg::PayrollOnly, true);
        rights.setChecked(rightsdlg::SetupOrg, true);
        {
            database::USERSDB other(code, folder);
            ASSERT_TRUE(other.openFile());
            ASSERT_TRUE(holder.take(other, "amushi"));
            ui.clear();
            EXPECT_FALSE(users->closeRightsDlg(rights));
            EXPECT_TRUE(ui.messages.empty());
            const common::USERREC row = stored("amushi");
            EXPECT_EQ(row.menuType, common::kFullMenu);
            EXPECT_EQ(row.setupOrg, 0);
        }
        EXPECT_TRUE(users->closeRightsDlg(rights));
        EXPECT_EQ(stored("amushi").setupOrg, 1);
        rights.setChecked(rightsdlg::SetupOrg, false);
        rights.setChecked(rightsdlg::PayrollOnly, false);
        rights.setChecked(rightsdlg::FullMenu, true);
        ASSERT_TRUE(users->closeRightsDlg(rights));
    }
}

// ------------------------------------------------- operations without a dialog

TEST_F(UsersTest, OperationsWithoutADialogKeepTheDialogsRules) {
    bool passwordSet = true;
    ASSERT_TRUE(users->logIn(ui, "supervisor", "", passwordSet));
    EXPECT_FALSE(passwordSet);
    struct Refusal {
        const char* what;
        std::function<bool()> run;
        const char* message;
    };
    const Refusal refusals[] = {
        {"blank password", [&] { return users->setPassword(ui, ""); },
         "Please enter new password."},
        {"short password", [&] { return users->setPassword(ui, "abc"); },
         "Password must be at least 4 characters long."},
        {"blank around", [&] { return users->setPassword(ui, " abcd"); },
         "Password should not start or end with a blank character."},
        {"blank user name",
         [&] {
             return users->addUser(ui, {"  ", "", "Mushi", "Anna"});
         },
         "The \"Username\" field must not be blank. Please enter a value for this field."},
        {"supervisor again",
         [&] {
             return users->addUser(ui, {"SUPERVISOR", "", "", ""});
         },
         "User with this name already exists. Please enter a different name."},
        {"user's short password",
         [&] {
             return users->addUser(ui, {"amushi", "ab", "", ""});
         },
         "Password must be at least 4 characters long."},
        {"rights of nobody", [&] { return users->setRights(ui, "nobody", {}); },
         "User nobody does not exist."},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        ui.clear();
        EXPECT_FALSE(r.run());
        EXPECT_EQ(ui.lastMessage(), r.message);
        EXPECT_EQ(rowCount(), 1);
    }

    ASSERT_TRUE(users->setPassword(ui, "Kilimanjaro"));
    ASSERT_TRUE(users->logIn(ui, "supervisor", "Kilimanjaro", passwordSet));
    EXPECT_TRUE(passwordSet);
    ui.clear();
    EXPECT_FALSE(users->logIn(ui, "supervisor", "kilimanjaro", passwordSet));
    EXPECT_EQ(ui.lastMessage(), "Access denied.");

    // Names are trimmed and cut to their columns as the dialog does.
    ASSERT_TRUE(users->addUser(ui, {"  amushi ", "Serengeti", " Mushi", "Anna Maria"}));
    const common::USERREC added = stored("amushi");
    EXPECT_EQ(added.lastName, "Mushi");
    EXPECT_EQ(added.otherNames, "Anna Maria");
    EXPECT_EQ(added.menuType, 0);
    EXPECT_TRUE(verifyPassword("Serengeti", added.password));

    // A personnel-only menu cannot keep the payroll rights it was given.
    common::USERREC rights;
    rights.menuType = common::kPersonnelMenu;
    rights.editEmpFiles = rights.modifyFields = rights.modifyTaxTables = rights.setupOrg = 1;
    ASSERT_TRUE(users->setRights(ui, "AMUSHI", rights));
    const common::USERREC after = stored("amushi");
    EXPECT_EQ(after.menuType, common::kPersonnelMenu);
    EXPECT_EQ(after.editEmpFiles, 1);
    EXPECT_EQ(after.setupOrg, 1);
    EXPECT_EQ(after.modifyFields, 0);
    EXPECT_EQ(after.modifyTaxTables, 0);
    EXPECT_EQ(after.manageUsers, 0);

    // Another handle holding the row: a warning, and the rights stay.
    database::USERSDB other(code, folder);
    ASSERT_TRUE(other.openFile() && other.seekUser("amushi"));
    ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    ui.clear();
    EXPECT_FALSE(users->setRights(ui, "amushi", {}));
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Warning);
    EXPECT_EQ(ui.lastMessage(), "Can't update ../system/settings/users.dbf because another user "
                                "is using it. The rights of amushi have not been changed.");
    EXPECT_EQ(stored("amushi").setupOrg, 1);
}

} // namespace
} // namespace kelo::setup
