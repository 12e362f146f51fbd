#include "setup/Users.h"

#include "common/Text.h"
#include "database/TableUse.h"
#include "setup/PasswordHash.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string_view>

namespace kelo::setup {

using common::DialogView;
using common::MessageIcon;
using common::Ui;
using W = common::UserWidths;

namespace {
constexpr const char* kLoginCaption = "Login";
constexpr const char* kEnterNewPassword = "Please enter new password.";
constexpr const char* kBlankAtEnds = "Password should not start or end with a blank character.";

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Passwords are counted in characters; a UTF-8 sequence is one.
std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !isContinuation(c); }));
}

std::string firstCharacters(std::string_view text, std::size_t limit) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isContinuation(text[i]) && count++ == limit)
            return std::string(text.substr(0, i));
    }
    return std::string(text);
}

std::string typedPassword(const DialogView& dialog, const char* control) {
    return firstCharacters(dialog.text(control), USERS::kPasswordLimit);
}

// A name as it will be stored: trimmed and fitted to its column.
std::string storedName(const std::string& text, std::size_t width) {
    return common::trimRight(common::fitText(common::trim(text), width));
}

std::string typedName(const DialogView& dialog, const char* control, std::size_t width) {
    return storedName(dialog.text(control), width);
}

// The length and blank rules of a typed, non-empty new password; "" when kept.
std::string passwordFault(const std::string& password) {
    if (characterCount(password) < USERS::kMinPassword)
        return "Password must be at least " + std::to_string(USERS::kMinPassword) +
               " characters long.";
    if (password.front() == ' ' || password.back() == ' ')
        return kBlankAtEnds;
    return {};
}

// A rule the user broke: tell them and return to the field at fault.
bool refuse(Ui& ui, DialogView& dialog, const char* control, const std::string& text) {
    ui.information(text);
    dialog.setFocus(control);
    return false;
}

void loginError(Ui& ui, const std::string& text) {
    ui.message(text, MessageIcon::Error, common::MessageButtons::Ok, kLoginCaption);
}

bool isSupervisor(std::string_view name) {
    return common::equalsIgnoreCase(common::trim(name), database::USERSDB::kSupervisor);
}

void limitPasswords(DialogView& dialog, std::initializer_list<const char*> controls) {
    for (const char* control : controls)
        dialog.setTextLimit(control, static_cast<int>(USERS::kPasswordLimit));
}

std::int32_t menuTypeOf(const DialogView& rights) {
    if (rights.isChecked(rightsdlg::PersonnelOnly))
        return common::kPersonnelMenu;
    if (rights.isChecked(rightsdlg::PayrollOnly))
        return common::kPayrollMenu;
    return common::kFullMenu;
}

struct RightBox {
    const char* control;
    int common::USERREC::*flag;
};
constexpr RightBox kRightBoxes[] = {
    {rightsdlg::EditEmpFiles, &common::USERREC::editEmpFiles},
    {rightsdlg::ModifyFields, &common::USERREC::modifyFields},
    {rightsdlg::SetupOrg, &common::USERREC::setupOrg},
    {rightsdlg::ClosePeriod, &common::USERREC::closePeriod},
    {rightsdlg::RestoreFiles, &common::USERREC::restoreFiles},
    {rightsdlg::ModifyTaxTables, &common::USERREC::modifyTaxTables},
    {rightsdlg::AddDeleteOrgs, &common::USERREC::addDeleteOrgs},
};

// The rights a menu type cannot use: its menu has no command for them.
void dropRightsOutsideMenu(common::USERREC& user) {
    if (user.menuType == common::kPersonnelMenu) {
        user.modifyFields = 0;
        user.modifyTaxTables = 0;
    } else if (user.menuType == common::kPayrollMenu) {
        user.addDeleteOrgs = 0;
    }
}
} // namespace

USERS::USERS(engine::Code4& code, const common::WorkingFolder& folder) : USERSDB(code, folder) {
    user_.exclusiveAccess = 1;
    openFile(false);
    code.setErrorCode(0);
}

USERS::~USERS() {
    closeFile();
}

void USERS::initLoginDlg(DialogView& dialog) {
    dialog.setTextLimit(logindlg::UserName, static_cast<int>(W::kUserNameWidth));
    limitPasswords(dialog, {logindlg::Password});
}

void USERS::updateLoginDlg(DialogView& dialog) {
    common::USERREC found;
    const bool known = isOpen() && seekUser(common::trim(dialog.text(logindlg::UserName)));
    if (known)
        loadRec(found);
    const bool hasPassword = known && !found.password.empty();
    if (!hasPassword)
        dialog.setText(logindlg::Password, "");
    dialog.setEnabled(logindlg::Password, hasPassword);
}

bool USERS::checkLogin(Ui& ui, DialogView& dialog, bool& passwordSet) {
    return logIn(ui, common::trim(dialog.text(logindlg::UserName)),
                 typedPassword(dialog, logindlg::Password), passwordSet);
}

bool USERS::logIn(Ui& ui, const std::string& name, const std::string& password, bool& passwordSet) {
    passwordSet = true;
    if (name.empty()) {
        loginError(ui, "Please enter username.");
        return false;
    }
    if (!isOpen() && !openFile(false)) {
        const std::string reason = database::openFailureText(code(), relativePath());
        code().setErrorCode(0);
        loginError(ui, reason);
        return false;
    }
    if (!seekUser(name)) {
        loginError(ui, "User does not exist.");
        return false;
    }
    common::USERREC found;
    loadRec(found);
    if (found.password.empty()) {
        passwordSet = false;
    } else if (!verifyPassword(firstCharacters(password, kPasswordLimit), found.password)) {
        loginError(ui, "Access denied.");
        return false;
    }
    found.exclusiveAccess = user_.exclusiveAccess;
    user_ = found;
    return true;
}

bool USERS::checkNewPassword(Ui& ui, DialogView& dialog, const char* passwordControl,
                             const char* confirmControl, bool required, std::string& typed) const {
    typed = typedPassword(dialog, passwordControl);
    if (typed.empty() && required)
        return refuse(ui, dialog, passwordControl, kEnterNewPassword);
    if (!typed.empty()) {
        if (const std::string fault = passwordFault(typed); !fault.empty())
            return refuse(ui, dialog, passwordControl, fault);
    }
    if (typed != typedPassword(dialog, confirmControl))
        return refuse(ui, dialog, confirmControl, "Password and Confirm Password do not match.");
    return true;
}

bool USERS::rewriteLockedRow(const std::function<void(common::USERREC&)>& change,
                             common::USERREC& row) {
    engine::Data4& table = *data();
    loadRec(row);
    change(row);
    storeRec(row);
    const bool written = table.flush() == engine::r4success;
    table.unlock();
    code().setErrorCode(0);
    return written;
}

bool USERS::storePassword(const std::string& password) {
    const std::string hash = hashPassword(password);
    if (hash.empty() || !isOpen() || !seekUser(user_.userName))
        return false;
    if (data()->lock(data()->recNo()) != engine::r4success)
        return false;
    common::USERREC row;
    // Only a stored password becomes the one the next confirmation asks for.
    if (!rewriteLockedRow([&hash](common::USERREC& r) { r.password = hash; }, row))
        return false;
    user_.password = hash;
    return true;
}

void USERS::initPasswdDlg(DialogView& dialog) {
    limitPasswords(dialog, {passworddlg::Password, passworddlg::ConfirmPassword});
}

bool USERS::setPasswd(Ui& ui, DialogView& dialog) {
    std::string password;
    if (!checkNewPassword(ui, dialog, passworddlg::Password, passworddlg::ConfirmPassword, true,
                          password))
        return false;
    return storePassword(password);
}

bool USERS::setPassword(Ui& ui, const std::string& password) {
    const std::string typed = firstCharacters(password, kPasswordLimit);
    if (typed.empty()) {
        ui.information(kEnterNewPassword);
        return false;
    }
    if (const std::string fault = passwordFault(typed); !fault.empty()) {
        ui.information(fault);
        return false;
    }
    return storePassword(typed);
}

void USERS::initChangePasswdDlg(DialogView& dialog) {
    limitPasswords(dialog, {changepassworddlg::OldPassword, changepassworddlg::NewPassword,
                            changepassworddlg::ConfirmNewPassword});
}

bool USERS::changePasswd(Ui& ui, DialogView& dialog) {
    using namespace changepassworddlg;
    if (!verifyPassword(typedPassword(dialog, OldPassword), user_.password))
        return refuse(ui, dialog, OldPassword, "Old password is incorrect.");
    const std::string password = typedPassword(dialog, NewPassword);
    if (password.empty())
        return refuse(ui, dialog, NewPassword, kEnterNewPassword);
    if (const std::string fault = passwordFault(password); !fault.empty())
        return refuse(ui, dialog, NewPassword, fault);
    if (password != typedPassword(dialog, ConfirmNewPassword))
        return refuse(ui, dialog, ConfirmNewPassword,
                      "New Password and Confirm New Password do not match.");
    return storePassword(password);
}

bool USERS::checkPasswd(Ui& ui, DialogView& dialog) {
    if (verifyPassword(typedPassword(dialog, cautiondlg::Password), user_.password))
        return true;
    ui.error("Access denied.");
    dialog.setFocus(cautiondlg::Password);
    return false;
}

void USERS::displayUsers(DialogView& users) {
    users.clearItems(usersdlg::List);
    long rows = 0;
    if (isOpen()) {
        engine::Data4& table = *data();
        table.select(nullptr);
        for (int rc = table.top(); rc == engine::r4success && !table.eof(); rc = table.skip()) {
            if (table.deleted())
                continue;
            ++rows;
            common::USERREC row;
            loadRec(row);
            if (!isSupervisor(row.userName))
                users.addItem(usersdlg::List, row.userName, table.recNo());
        }
        code().setErrorCode(0);
    }
    users.selectRow(usersdlg::List, users.itemCount(usersdlg::List) > 0 ? 0 : -1);
    for (const char* button : {usersdlg::Delete, usersdlg::Identity, usersdlg::Rights})
        users.setEnabled(button, rows > 1);
}

std::string USERS::selectedName(const DialogView& users) const {
    const int row = users.selectedRow(usersdlg::List);
    return row < 0 ? std::string() : users.itemText(usersdlg::List, row);
}

bool USERS::editSelected(const DialogView& users, common::USERREC& row) {
    const std::string name = selectedName(users);
    if (name.empty() || !isOpen() || !seekUser(name))
        return false;
    loadRec(row);
    editedName_ = row.userName;
    return true;
}

bool USERS::checkUserName(Ui& ui, const std::string& name, long ownRecord) {
    if (name.empty()) {
        ui.warning(std::string("The \"") + "Username" + "\" field must not be blank." + " " +
                   "Please enter a value for this field.");
        return false;
    }
    if (isOpen() && seekUser(name) && data()->recNo() != ownRecord) {
        ui.warning("User with this name already exists. Please enter a different name.");
        return false;
    }
    return true;
}

void USERS::deleteUser(Ui& ui, DialogView& users) {
    const std::string name = selectedName(users);
    if (name.empty() || isSupervisor(name) || !isOpen())
        return;
    if (!ui.ask("Are you sure you want to delete this user?", common::Answer::No))
        return;
    engine::Data4& table = *data();
    // Another handle holding any row or the table: nothing is deleted.
    if (table.lockAll() != engine::r4success) {
        code().setErrorCode(0);
        ui.warning(database::TableUse::inUseMessage(*this) + " " + name + " has not been deleted.");
        return;
    }
    bool deleted = false;
    if (seekUser(name)) {
        table.deleteRec();
        deleted = table.pack() == engine::r4success;
    }
    table.unlock();
    if (!deleted) {
        const std::string reason = code().errorText();
        ui.error(database::TableUse::cantUpdateMessage(*this) + ": " + name +
                 " has not been deleted." + (reason.empty() ? "" : " (" + reason + ")"));
    }
    code().setErrorCode(0);
    displayUsers(users);
}

void USERS::initNewUserDlg(DialogView& identity) {
    for (const char* control :
         {useriddlg::UserName, useriddlg::Password, useriddlg::ConfirmPassword, useriddlg::LastName,
          useriddlg::OtherNames})
        identity.setText(control, "");
    identity.setTextLimit(useriddlg::UserName, static_cast<int>(W::kUserNameWidth));
    identity.setTextLimit(useriddlg::LastName, static_cast<int>(W::kLastNameWidth));
    identity.setTextLimit(useriddlg::OtherNames, static_cast<int>(W::kOtherNamesWidth));
    limitPasswords(identity, {useriddlg::Password, useriddlg::ConfirmPassword});
}

bool USERS::closeNewUserDlg(Ui& ui, DialogView& identity, DialogView& users) {
    NewUser user;
    user.userName = typedName(identity, useriddlg::UserName, W::kUserNameWidth);
    if (!checkUserName(ui, user.userName, 0)) {
        identity.setFocus(useriddlg::UserName);
        return false;
    }
    if (!checkNewPassword(ui, identity, useriddlg::Password, useriddlg::ConfirmPassword, false,
                          user.password))
        return false;
    user.lastName = typedName(identity, useriddlg::LastName, W::kLastNameWidth);
    user.otherNames = typedName(identity, useriddlg::OtherNames, W::kOtherNamesWidth);
    if (!appendUser(ui, user))
        return false;
    displayUsers(users);
    return true;
}

bool USERS::addUser(Ui& ui, const NewUser& user) {
    NewUser fitted = user;
    fitted.userName = storedName(user.userName, W::kUserNameWidth);
    fitted.password = firstCharacters(user.password, kPasswordLimit);
    fitted.lastName = storedName(user.lastName, W::kLastNameWidth);
    fitted.otherNames = storedName(user.otherNames, W::kOtherNamesWidth);
    if (!checkUserName(ui, fitted.userName, 0))
        return false;
    if (!fitted.password.empty()) {
        if (const std::string fault = passwordFault(fitted.password); !fault.empty()) {
            ui.information(fault);
            return false;
        }
    }
    return appendUser(ui, fitted);
}

bool USERS::appendUser(Ui& ui, const NewUser& user) {
    if (!isOpen() && !openFile(false)) {
        ui.error(database::openFailureText(code(), relativePath()));
        code().setErrorCode(0);
        return false;
    }
    common::USERREC row; // menu type 0, every right false, manageUsers "F"
    row.userName = user.userName;
    if (!user.password.empty()) {
        row.password = hashPassword(user.password);
        if (row.password.empty()) {
            ui.error("The password of " + user.userName +
                     " could not be stored: no user was added.");
            return false;
        }
    }
    row.lastName = user.lastName;
    row.otherNames = user.otherNames;
    engine::Data4& table = *data();
    bool appended = table.appendStart() == engine::r4success;
    if (appended) {
        table.blank();
        storeRec(row);
        appended = table.append() == engine::r4success;
        if (!appended)
            table.goEof(); // drops the row that was not appended
    }
    if (!appended) {
        const bool locked = database::isLockedByOther(code());
        const std::string reason = code().errorText();
        code().setErrorCode(0);
        if (locked)
            ui.warning(database::TableUse::inUseMessage(*this) + " " + user.userName +
                       " has not been added.");
        else
            ui.error(database::TableUse::cantUpdateMessage(*this) + ": " + user.userName +
                     " has not been added." + (reason.empty() ? "" : " (" + reason + ")"));
        return false;
    }
    code().setErrorCode(0);
    return true;
}

bool USERS::initIdDlg(DialogView& users, DialogView& identity) {
    common::USERREC row;
    if (!editSelected(users, row))
        return false;
    initNewUserDlg(identity);
    identity.setText(useriddlg::UserName, row.userName);
    // A stored password is never shown; left blank it stays as it is.
    identity.setText(useriddlg::LastName, row.lastName);
    identity.setText(useriddlg::OtherNames, row.otherNames);
    return true;
}

bool USERS::lockEditedUser() {
    if (editedName_.empty() || !isOpen() || !seekUser(editedName_))
        return false;
    engine::Data4& table = *data();
    if (table.lock(table.recNo()) != engine::r4success)
        return false;
    // The lock re-reads the row: it must still belong to the same user.
    common::USERREC row;
    loadRec(row);
    if (common::equalsIgnoreCase(row.userName, editedName_))
        return true;
    table.unlock();
    return false;
}

bool USERS::closeIdDlg(Ui& ui, DialogView& identity, DialogView& users) {
    const long ownRecord =
        !editedName_.empty() && isOpen() && seekUser(editedName_) ? data()->recNo() : 0;
    const std::string name = typedName(identity, useriddlg::UserName, W::kUserNameWidth);
    std::string password;
    if (!checkUserName(ui, name, ownRecord)) {
        identity.setFocus(useriddlg::UserName);
        return false;
    }
    if (!checkNewPassword(ui, identity, useriddlg::Password, useriddlg::ConfirmPassword, false,
                          password))
        return false;
    std::string hash;
    if (!password.empty() && (hash = hashPassword(password)).empty())
        return false;
    if (!lockEditedUser()) {
        code().setErrorCode(0);
        return false;
    }
    common::USERREC row;
    const bool written = rewriteLockedRow(
        [&](common::USERREC& r) {
            r.userName = name;
            if (!hash.empty())
                r.password = hash;
            r.lastName = typedName(identity, useriddlg::LastName, W::kLastNameWidth);
            r.otherNames = typedName(identity, useriddlg::OtherNames, W::kOtherNamesWidth);
        },
        row);
    if (!written)
        return false;
    if (common::equalsIgnoreCase(editedName_, user_.userName)) {
        // Set and Change Password find the logged-in user by name, and the
        // next confirmation asks for the password just stored.
        user_.userName = row.userName;
        user_.password = row.password;
        user_.lastName = row.lastName;
        user_.otherNames = row.otherNames;
    }
    editedName_ = row.userName;
    const int selected = users.selectedRow(usersdlg::List);
    if (selected >= 0) {
        users.setItemText(usersdlg::List, selected, row.userName);
        users.selectRow(usersdlg::List, selected);
    }
    return true;
}

bool USERS::initRightsDlg(DialogView& users, DialogView& rights) {
    common::USERREC row;
    if (!editSelected(users, row))
        return false;
    rights.setCaption("User Rights for " + row.userName);
    const bool personnel = row.menuType == common::kPersonnelMenu;
    const bool payroll = row.menuType == common::kPayrollMenu;
    rights.setChecked(rightsdlg::FullMenu, !personnel && !payroll);
    rights.setChecked(rightsdlg::PersonnelOnly, personnel);
    rights.setChecked(rightsdlg::PayrollOnly, payroll);
    for (const RightBox& box : kRightBoxes)
        rights.setChecked(box.control, row.*box.flag != 0);
    updateRightsDlg(rights);
    return true;
}

void USERS::updateRightsDlg(DialogView& rights) {
    common::USERREC allowed;
    allowed.menuType = menuTypeOf(rights);
    for (const RightBox& box : kRightBoxes)
        allowed.*box.flag = 1;
    dropRightsOutsideMenu(allowed);
    for (const RightBox& box : kRightBoxes) {
        const bool enabled = allowed.*box.flag != 0;
        if (!enabled)
            rights.setChecked(box.control, false);
        rights.setEnabled(box.control, enabled);
    }
}

bool USERS::closeRightsDlg(DialogView& rights) {
    common::USERREC chosen;
    chosen.menuType = menuTypeOf(rights);
    for (const RightBox& box : kRightBoxes)
        chosen.*box.flag = rights.isChecked(box.control) ? 1 : 0;
    return storeRights(chosen);
}

bool USERS::setRights(Ui& ui, const std::string& name, const common::USERREC& rights) {
    if (!isOpen() || !seekUser(name)) {
        ui.error("User " + name + " does not exist.");
        return false;
    }
    common::USERREC row;
    loadRec(row);
    editedName_ = row.userName;
    if (storeRights(rights))
        return true;
    ui.warning(database::TableUse::inUseMessage(*this) + " The rights of " + name +
               " have not been changed.");
    return false;
}

bool USERS::storeRights(const common::USERREC& rights) {
    if (!lockEditedUser()) {
        code().setErrorCode(0);
        return false;
    }
    common::USERREC row;
    return rewriteLockedRow(
        [&rights](common::USERREC& r) { // manageUsers stays as it was
            r.menuType = rights.menuType;
            for (const RightBox& box : kRightBoxes)
                r.*box.flag = rights.*box.flag != 0 ? 1 : 0;
            dropRightsOutsideMenu(r); // whatever state the boxes were left in
        },
        row);
}

} // namespace kelo::setup
