#pragma once

#include "common/DialogView.h"
#include "common/OrgRecords.h"
#include "common/Ui.h"
#include "database/UsersDb.h"

#include <functional>
#include <string>

namespace kelo::setup {

// Control names of the dialogs the users logic drives.
namespace logindlg {
inline constexpr const char* UserName = "UserName";
inline constexpr const char* Password = "Password";
} // namespace logindlg
namespace passworddlg { // Set Password, and the password fields of User Identity
inline constexpr const char* Password = "Password";
inline constexpr const char* ConfirmPassword = "ConfirmPassword";
} // namespace passworddlg
namespace changepassworddlg {
inline constexpr const char* OldPassword = "OldPassword";
inline constexpr const char* NewPassword = "NewPassword";
inline constexpr const char* ConfirmNewPassword = "ConfirmNewPassword";
} // namespace changepassworddlg
namespace cautiondlg { // the Caution dialog's password field
inline constexpr const char* Password = "Password";
} // namespace cautiondlg
namespace usersdlg {
inline constexpr const char* List = "UserList";
inline constexpr const char* Add = "AddButton";
inline constexpr const char* Delete = "DeleteButton";
inline constexpr const char* Identity = "IdentityButton";
inline constexpr const char* Rights = "RightsButton";
inline constexpr const char* Close = "CloseButton";
} // namespace usersdlg
namespace useriddlg { // User Identity, opened by Add or by Identity
inline constexpr const char* UserName = "UserName";
inline constexpr const char* Password = passworddlg::Password;
inline constexpr const char* ConfirmPassword = passworddlg::ConfirmPassword;
inline constexpr const char* LastName = "LastName";
inline constexpr const char* OtherNames = "OtherNames";
} // namespace useriddlg
namespace rightsdlg {
inline constexpr const char* FullMenu = "FullMenu";
inline constexpr const char* PersonnelOnly = "PersonnelOnly";
inline constexpr const char* PayrollOnly = "PayrollOnly";
inline constexpr const char* EditEmpFiles = "EditEmpFiles";
inline constexpr const char* ModifyFields = "ModifyFields";
inline constexpr const char* SetupOrg = "SetupOrg";
inline constexpr const char* ClosePeriod = "ClosePeriod";
inline constexpr const char* RestoreFiles = "RestoreFiles";
inline constexpr const char* AddDeleteOrgs = "AddDeleteOrgs";
inline constexpr const char* ModifyTaxTables = "ModifyTaxTables";
} // namespace rightsdlg

// The users of a data folder: login, passwords, the password confirmation
// before dangerous procedures, and the list of users with identity and
// rights. Passwords are stored as salted hashes (setup/PasswordHash.h);
// USERREC::password holds the stored hash, never a typed password, and no
// dialog shows it. Typed passwords count at most 19 characters; anything
// typed beyond is ignored, the same way everywhere.
class USERS : public database::USERSDB {
public:
    static constexpr std::size_t kPasswordLimit = 19;
    static constexpr std::size_t kMinPassword = 4;

    // Opens the users table shared; nobody is logged in yet and
    // exclusiveAccess is 1 for the life of the object.
    USERS(engine::Code4& code, const common::WorkingFolder& folder);
    ~USERS() override;

    // Login dialog. checkLogin clears `passwordSet` for a user who never got
    // a password: the caller then runs the Set Password dialog, and calls
    // logout when that is cancelled.
    void initLoginDlg(common::DialogView& dialog);
    void updateLoginDlg(common::DialogView& dialog);
    bool checkLogin(common::Ui& ui, common::DialogView& dialog, bool& passwordSet);
    bool login() { return true; }
    bool logout() { return true; }

    // Set Password and Change Password, for the logged-in user.
    void initPasswdDlg(common::DialogView& dialog);
    bool setPasswd(common::Ui& ui, common::DialogView& dialog);
    void initChangePasswdDlg(common::DialogView& dialog);
    bool changePasswd(common::Ui& ui, common::DialogView& dialog);
    // The Caution dialog before deleting an organisation, restoring, closing
    // a period or the month.
    bool checkPasswd(common::Ui& ui, common::DialogView& dialog);

    const common::USERREC* getUser() const { return &user_; }

    // The operations behind the dialogs, for callers without one (the demo
    // builder, the command line, imports). Each checks the same rules and
    // tells `ui` the same messages as its dialog.
    struct NewUser {
        std::string userName;
        std::string password; // as typed; empty for none
        std::string lastName;
        std::string otherNames;
    };
    // Logs `name` in; `passwordSet` is cleared for a user who has none yet.
    bool logIn(common::Ui& ui, const std::string& name, const std::string& password,
               bool& passwordSet);
    // A new password for the logged-in user.
    bool setPassword(common::Ui& ui, const std::string& password);
    // Appends a user with no rights.
    bool addUser(common::Ui& ui, const NewUser& user);
    // Stores the menu type and the seven rights of `rights` for `name`
    // (manageUsers is kept); rights the menu type cannot use are dropped.
    bool setRights(common::Ui& ui, const std::string& name, const common::USERREC& rights);

    // Users dialog. The Identity and Rights dialogs work on the user selected
    // in its list; their init functions return false when there is none.
    void displayUsers(common::DialogView& users);
    void deleteUser(common::Ui& ui, common::DialogView& users);
    void initNewUserDlg(common::DialogView& identity);
    bool closeNewUserDlg(common::Ui& ui, common::DialogView& identity, common::DialogView& users);
    bool initIdDlg(common::DialogView& users, common::DialogView& identity);
    bool closeIdDlg(common::Ui& ui, common::DialogView& identity, common::DialogView& users);
    bool initRightsDlg(common::DialogView& users, common::DialogView& rights);
    void updateRightsDlg(common::DialogView& rights);
    bool closeRightsDlg(common::DialogView& rights);

private:
    // The new password rules, reading `password` and `confirm`; `required`
    // for Set Password. The typed password is left in `password`.
    bool checkNewPassword(common::Ui& ui, common::DialogView& dialog, const char* passwordControl,
                          const char* confirmControl, bool required, std::string& typed) const;
    bool checkUserName(common::Ui& ui, const std::string& name, long ownRecord);
    bool appendUser(common::Ui& ui, const NewUser& user);
    bool storePassword(const std::string& password);
    // The menu type and rights of `rights` into the row of the user being
    // edited, locked here.
    bool storeRights(const common::USERREC& rights);
    // The current row, locked by the caller: loaded, changed, written and
    // unlocked; `row` receives it as written. False when the write fails.
    bool rewriteLockedRow(const std::function<void(common::USERREC&)>& change,
                          common::USERREC& row);
    // Makes the row of the user being edited current and locks it; false
    // when it is gone or another handle holds it.
    bool lockEditedUser();
    std::string selectedName(const common::DialogView& users) const;
    // Reads the user chosen in the list, who becomes the one being edited.
    bool editSelected(const common::DialogView& users, common::USERREC& row);

    common::USERREC user_;
    std::string editedName_; // the user the Identity or Rights dialog is open for
};

} // namespace kelo::setup
