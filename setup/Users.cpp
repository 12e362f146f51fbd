#include "setup/Users.h"

#include "common/Text.h"
#include "setup/PasswordHash.h"

namespace kelo::setup {

using common::DialogView;
using common::MessageIcon;
using common::Ui;

namespace {
constexpr const char* kLoginCaption = "Login";

std::string limited(std::string text, std::size_t limit) {
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

bool isSupervisor(std::string_view name) {
    return common::equalsIgnoreCase(common::trim(name), database::USERSDB::kSupervisor);
}

int menuTypeOf(const DialogView& rights) {
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
} // namespace

USERS::USERS(engine::Code4& code, const common::WorkingFolder& folder) : USERSDB(code, folder) {
    user_.exclusiveAccess = 1;
    openFile(false);
    code.setErrorCode(0);
}

USERS::~USERS() {
    closeFile();
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
    passwordSet = true;
    const std::string name = common::trim(dialog.text(logindlg::UserName));
    if (name.empty()) {
        ui.message("Please enter username.", MessageIcon::Error, common::MessageButtons::Ok,
                   kLoginCaption);
        return false;
    }
    if (!isOpen() || !seekUser(name)) {
        ui.message("User does not exist.", MessageIcon::Error, common::MessageButtons::Ok,
                   kLoginCaption);
        return false;
    }
    common::USERREC found;
    loadRec(found);
    if (found.password.empty()) {
        passwordSet = false;
    } else if (!verifyPassword(dialog.text(logindlg::Password), found.password)) {
        ui.message("Access denied.", MessageIcon::Error, common::MessageButtons::Ok, kLoginCaption);
        return false;
    }
    found.exclusiveAccess = user_.exclusiveAccess;
    user_ = found;
    return true;
}

bool USERS::checkNewPassword(Ui& ui, const std::string& password, const std::string& confirm,
                             bool required) const {
    if (password.empty() && required) {
        ui.information("Please enter new password.");
        return false;
    }
    if (!password.empty() && password.size() < kMinPassword) {
        ui.information("Password must be at least " + std::to_string(kMinPassword) +
                       " characters long.");
        return false;
    }
    if (!password.empty() && (password.front() == ' ' || password.back() == ' ')) {
        ui.information("Password should not start or end with a blank character.");
        return false;
    }
    if (password != confirm) {
        ui.information("Password and Confirm Password do not match.");
        return false;
    }
    return true;
}

bool USERS::storePassword(const std::string& password) {
    if (!isOpen() || !seekUser(user_.userName))
        return false;
    engine::Data4& table = *data();
    if (table.lock(table.recNo()) != engine::r4success)
        return false;
    common::USERREC row;
    loadRec(row);
    row.password = hashPassword(limited(password, kPasswordLimit));
    storeRec(row);
    const bool written = table.flush() == engine::r4success;
    table.unlock();
    if (written)
        user_.password = row.password;
    return written;
}

bool USERS::setPasswd(Ui& ui, DialogView& dialog) {
    const std::string password = dialog.text(passworddlg::Password);
    if (!checkNewPassword(ui, password, dialog.text(passworddlg::ConfirmPassword), true))
        return false;
    return storePassword(password);
}

bool USERS::changePasswd(Ui& ui, DialogView& dialog) {
    if (!verifyPassword(dialog.text(changepassworddlg::OldPassword), user_.password)) {
        ui.information("Old password is incorrect.");
        return false;
    }
    const std::string password = dialog.text(changepassworddlg::NewPassword);
    if (password.empty()) {
        ui.information("Please enter new password.");
        return false;
    }
    if (password.size() < kMinPassword) {
        ui.information("Password must be at least " + std::to_string(kMinPassword) +
                       " characters long.");
        return false;
    }
    if (password.front() == ' ' || password.back() == ' ') {
        ui.information("Password should not start or end with a blank character.");
        return false;
    }
    if (password != dialog.text(changepassworddlg::ConfirmNewPassword)) {
        ui.information("New Password and Confirm New Password do not match.");
        return false;
    }
    return storePassword(password);
}

bool USERS::checkPasswd(Ui& ui, DialogView& dialog) {
    if (verifyPassword(dialog.text(cautiondlg::Password), user_.password))
        return true;
    ui.error("Access denied.");
    return false;
}

void USERS::displayUsers(DialogView& users) {
    users.clearItems(usersdlg::List);
    long rows = 0;
    if (isOpen()) {
        engine::Data4& table = *data();
        table.select(nullptr);
        for (int rc = table.top(); rc == engine::r4success; rc = table.skip()) {
            if (table.deleted())
                continue;
            ++rows;
            common::USERREC row;
            loadRec(row);
            if (!isSupervisor(row.userName))
                users.addItem(usersdlg::List, row.userName, table.recNo());
        }
    }
    if (users.itemCount(usersdlg::List) > 0)
        users.selectRow(usersdlg::List, 0);
    for (const char* button : {usersdlg::Delete, usersdlg::Identity, usersdlg::Rights})
        users.setEnabled(button, rows > 1);
}

std::string USERS::selectedName(const DialogView& users) const {
    const int row = users.selectedRow(usersdlg::List);
    return row < 0 ? std::string() : users.itemText(usersdlg::List, row);
}

bool USERS::checkUserName(Ui& ui, const std::string& name, long ownRecord) {
    if (name.empty()) {
        ui.warning(
            "The \"Username\" field must not be blank. Please enter a value for this field.");
        return false;
    }
    if (isOpen() && seekUser(limited(name, common::UserWidths::kUserNameWidth)) &&
        data()->recNo() != ownRecord) {
        ui.warning("User with this name already exists. Please enter a different name.");
        return false;
    }
    return true;
}

void USERS::deleteUser(Ui& ui, DialogView& users) {
    const std::string name = selectedName(users);
    if (name.empty() || !isOpen())
        return;
    if (ui.message("Are you sure you want to delete this user?", MessageIcon::Question,
                   common::MessageButtons::YesNo) != common::Answer::Yes)
        return;
    engine::Data4& table = *data();
    if (table.lockAll() != engine::r4success)
        return;
    if (seekUser(name) && !isSupervisor(name)) {
        table.deleteRec();
        table.pack();
    }
    table.unlock();
    displayUsers(users);
}

void USERS::initNewUserDlg(DialogView& identity) {
    for (const char* field : {useriddlg::UserName, useriddlg::LastName, useriddlg::OtherNames,
                              useriddlg::Password, useriddlg::ConfirmPassword})
        identity.setText(field, "");
    identity.setTextLimit(useriddlg::Password, static_cast<int>(kPasswordLimit));
    identity.setTextLimit(useriddlg::ConfirmPassword, static_cast<int>(kPasswordLimit));
}

bool USERS::closeNewUserDlg(Ui& ui, DialogView& identity, DialogView& users) {
    const std::string name = common::trim(identity.text(useriddlg::UserName));
    const std::string password = identity.text(useriddlg::Password);
    if (!checkUserName(ui, name, 0) ||
        !checkNewPassword(ui, password, identity.text(useriddlg::ConfirmPassword), false))
        return false;
    engine::Data4& table = *data();
    common::USERREC row;
    row.userName = limited(name, common::UserWidths::kUserNameWidth);
    row.password = hashPassword(limited(password, kPasswordLimit));
    row.lastName = common::trim(identity.text(useriddlg::LastName));
    row.otherNames = common::trim(identity.text(useriddlg::OtherNames));
    row.menuType = common::kFullMenu;
    if (table.appendStart() != engine::r4success)
        return false;
    table.blank();
    storeRec(row);
    if (table.append() != engine::r4success) {
        code().setErrorCode(0);
        return false;
    }
    displayUsers(users);
    return true;
}

bool USERS::initIdDlg(DialogView& users, DialogView& identity) {
    const std::string name = selectedName(users);
    if (name.empty() || !isOpen() || !seekUser(name))
        return false;
    editedRecord_ = data()->recNo();
    common::USERREC row;
    loadRec(row);
    identity.setText(useriddlg::UserName, row.userName);
    // A stored password is never shown; left blank it stays as it is.
    identity.setText(useriddlg::Password, "");
    identity.setText(useriddlg::ConfirmPassword, "");
    identity.setTextLimit(useriddlg::Password, static_cast<int>(kPasswordLimit));
    identity.setTextLimit(useriddlg::ConfirmPassword, static_cast<int>(kPasswordLimit));
    identity.setText(useriddlg::LastName, row.lastName);
    identity.setText(useriddlg::OtherNames, row.otherNames);
    return true;
}

bool USERS::closeIdDlg(Ui& ui, DialogView& identity, DialogView& users) {
    const std::string name = common::trim(identity.text(useriddlg::UserName));
    const std::string password = identity.text(useriddlg::Password);
    if (!checkUserName(ui, name, editedRecord_) ||
        !checkNewPassword(ui, password, identity.text(useriddlg::ConfirmPassword), false))
        return false;
    engine::Data4& table = *data();
    if (editedRecord_ < 1 || table.lock(editedRecord_) != engine::r4success)
        return false;
    table.go(editedRecord_);
    common::USERREC row;
    loadRec(row);
    const bool wasLoggedIn = common::equalsIgnoreCase(row.userName, user_.userName);
    row.userName = limited(name, common::UserWidths::kUserNameWidth);
    if (!password.empty())
        row.password = hashPassword(limited(password, kPasswordLimit));
    row.lastName = common::trim(identity.text(useriddlg::LastName));
    row.otherNames = common::trim(identity.text(useriddlg::OtherNames));
    storeRec(row);
    const bool written = table.flush() == engine::r4success;
    table.unlock();
    if (!written) {
        code().setErrorCode(0);
        return false;
    }
    if (wasLoggedIn) {
        // The logged-in user's own name and password follow at once, so the
        // next confirmation asks for the new password.
        user_.userName = row.userName;
        user_.password = row.password;
        user_.lastName = row.lastName;
        user_.otherNames = row.otherNames;
    }
    const int selected = users.selectedRow(usersdlg::List);
    if (selected >= 0) {
        users.setItemText(usersdlg::List, selected, row.userName);
        users.selectRow(usersdlg::List, selected);
    }
    return true;
}

bool USERS::initRightsDlg(DialogView& users, DialogView& rights) {
    const std::string name = selectedName(users);
    if (name.empty() || !isOpen() || !seekUser(name))
        return false;
    editedRecord_ = data()->recNo();
    common::USERREC row;
    loadRec(row);
    rights.setCaption("User Rights for " + row.userName);
    rights.setChecked(rightsdlg::FullMenu, row.menuType == common::kFullMenu);
    rights.setChecked(rightsdlg::PersonnelOnly, row.menuType == common::kPersonnelMenu);
    rights.setChecked(rightsdlg::PayrollOnly, row.menuType == common::kPayrollMenu);
    for (const RightBox& box : kRightBoxes)
        rights.setChecked(box.control, row.*box.flag != 0);
    updateRightsDlg(rights);
    return true;
}

void USERS::updateRightsDlg(DialogView& rights) {
    const int menu = menuTypeOf(rights);
    for (const RightBox& box : kRightBoxes)
        rights.setEnabled(box.control, true);
    auto clearAndDisable = [&rights](const char* control) {
        rights.setChecked(control, false);
        rights.setEnabled(control, false);
    };
    if (menu == common::kPersonnelMenu) {
        clearAndDisable(rightsdlg::ModifyFields);
        clearAndDisable(rightsdlg::ModifyTaxTables);
    } else if (menu == common::kPayrollMenu) {
        clearAndDisable(rightsdlg::AddDeleteOrgs);
    }
}

bool USERS::closeRightsDlg(DialogView& rights) {
    if (!isOpen() || editedRecord_ < 1)
        return false;
    engine::Data4& table = *data();
    if (table.lock(editedRecord_) != engine::r4success)
        return false;
    table.go(editedRecord_);
    common::USERREC row;
    loadRec(row);
    row.menuType = menuTypeOf(rights);
    for (const RightBox& box : kRightBoxes)
        row.*box.flag = rights.isChecked(box.control) ? 1 : 0;
    storeRec(row);
    const bool written = table.flush() == engine::r4success;
    table.unlock();
    if (!written)
        code().setErrorCode(0);
    return written;
}

} // namespace kelo::setup
