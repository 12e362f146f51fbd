#include "app/demo/DemoFolder.h"
#include "app/demo/DemoSteps.h"
#include "common/WorkingFolder.h"
#include "database/BanksDb.h"
#include "database/NssfDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "database/TableSupport.h"
#include "database/UsersDb.h"
#include "engine/Code4.h"
#include "engine/Data4.h"
#include "engine/Field4.h"
#include "setup/Orgs.h"
#include "setup/Users.h"
#include "testsupport/FakeDialogView.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelo::demo::detail {

namespace {

using testsupport::FakeDialogView;

struct DemoUser {
    const char* name;
    const char* lastName;
    const char* otherNames;
    const char* menu;
    std::vector<const char*> rights;
};

const std::vector<DemoUser>& demoUsers() {
    namespace rd = setup::rightsdlg;
    static const std::vector<DemoUser> users{
        {"asha", "Mwinyi", "Asha", rd::PersonnelOnly, {rd::EditEmpFiles, rd::SetupOrg}},
        {"juma",
         "Said",
         "Juma",
         rd::PayrollOnly,
         {rd::EditEmpFiles, rd::ModifyFields, rd::ClosePeriod, rd::ModifyTaxTables}},
    };
    return users;
}

} // namespace

bool addUsers(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder) {
    namespace ud = setup::useriddlg;
    setup::USERS users(code, folder);
    const std::string supervisor = database::USERSDB::kSupervisor;
    FakeDialogView login;
    users.initLoginDlg(login);
    login.setText(setup::logindlg::UserName, supervisor);
    bool passwordSet = true;
    if (!attempt(ui, "Can't log in as " + supervisor,
                 [&] { return users.checkLogin(ui, login, passwordSet); }))
        return false;
    // A new folder's supervisor has no password yet and must choose one first.
    if (!passwordSet) {
        FakeDialogView password;
        users.initPasswdDlg(password);
        password.setText(setup::passworddlg::Password, kDemoPassword);
        password.setText(setup::passworddlg::ConfirmPassword, kDemoPassword);
        if (!attempt(ui, "Can't set the password of " + supervisor,
                     [&] { return users.setPasswd(ui, password); }))
            return false;
    }

    FakeDialogView list;
    users.displayUsers(list);
    for (const DemoUser& user : demoUsers()) {
        FakeDialogView identity;
        users.initNewUserDlg(identity);
        identity.setText(ud::UserName, user.name);
        identity.setText(ud::Password, kDemoPassword);
        identity.setText(ud::ConfirmPassword, kDemoPassword);
        identity.setText(ud::LastName, user.lastName);
        identity.setText(ud::OtherNames, user.otherNames);
        FakeDialogView rights;
        const bool added = attempt(ui, std::string("Can't add the user ") + user.name, [&] {
            return users.closeNewUserDlg(ui, identity, list) &&
                   choose(list, setup::usersdlg::List, user.name) &&
                   users.initRightsDlg(list, rights);
        });
        if (!added)
            return false;
        for (const char* menu : {setup::rightsdlg::FullMenu, setup::rightsdlg::PersonnelOnly,
                                 setup::rightsdlg::PayrollOnly})
            rights.setChecked(menu, std::string_view(menu) == user.menu);
        users.updateRightsDlg(rights);
        for (const char* right : user.rights)
            rights.setChecked(right, true);
        if (!attempt(ui, std::string("Can't store the rights of ") + user.name,
                     [&] { return users.closeRightsDlg(rights); }))
            return false;
    }
    return true;
}

// ---------------------------------------------------------- organisation

namespace {

struct Bank {
    const char* name;
    const char* code;
    std::vector<std::pair<const char*, const char*>> branches; // name, code
};

const std::vector<Bank>& demoBanks() {
    static const std::vector<Bank> banks{
        {"CRDB Bank", "03", {{"Mbeya", "601"}, {"Tukuyu", "602"}, {"Azikiwe", "101"}}},
        {"NMB Bank", "05", {{"Mbeya", "501"}, {"Tukuyu", "502"}}},
        {"NBC", "01", {{"Mbeya", "301"}, {"Tunduma", "302"}}},
        {"Stanbic Bank", "31", {{"Mbeya", "401"}}},
    };
    return banks;
}

// The banks are shared by every organisation of the folder; there is no

} // namespace

// maintenance class for them yet, so rows go in through the open tables.
bool addBanks(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder) {
    database::BANKSDB banks(code, folder);
    if (!attempt(ui, std::string("Can't open ") + database::BANKSDB::kBanksPath,
                 [&] { return banks.openFiles(true); })) {
        code.setErrorCode(0);
        return false;
    }
    for (const Bank& bank : demoBanks()) {
        engine::Data4& banksTable = *banks.bankData();
        bool ok = banksTable.appendStart() == engine::r4success;
        if (ok) {
            banksTable.blank();
            banksTable.field(database::BANKSDB::kName)->assign(bank.name);
            banksTable.field(database::BANKSDB::kCode)->assign(bank.code);
            ok = database::appendNow(banksTable);
        }
        engine::Data4& branches = *banks.branchData();
        for (const auto& [name, branchCode] : bank.branches) {
            ok = ok && branches.appendStart() == engine::r4success;
            if (ok) {
                branches.blank();
                branches.field(database::BANKSDB::kBank)->assign(bank.name);
                branches.field(database::BANKSDB::kName)->assign(name);
                branches.field(database::BANKSDB::kCode)->assign(branchCode);
                ok = database::appendNow(branches);
            }
        }
        if (!ok) {
            code.setErrorCode(0);
            ui.error(std::string("Can't add the bank ") + bank.name);
            return false;
        }
    }
    banks.closeFiles();
    return true;
}

bool createOrganisation(CountingUi& ui, setup::ORGS& orgs) {
    namespace od = setup::orgdlg;
    FakeDialogView dialog;
    orgs.initNewOrgDlg(dialog);
    dialog.setText(od::Name, kDemoOrganisation);
    choose(dialog, od::Month, kDemoMonth);
    dialog.setText(od::Year, std::to_string(kDemoYear));
    if (!attempt(ui, std::string("Can't create ") + kDemoOrganisation,
                 [&] { return orgs.createNewOrg(dialog, database::USERSDB::kSupervisor) == 1; }))
        return false;

    FakeDialogView basic;
    orgs.displayBasicInfo(basic);
    basic.setText(od::PoBox, "2145");
    basic.setText(od::Town, "Mbeya");
    basic.setText(od::PostCode, "53110");
    basic.setText(od::Telephone, "+255 25 250 3120");
    return attempt(ui, "Can't save the organisation's basic information",
                   [&] { return orgs.saveBasicInfo(basic) == 1; });
}

bool setPayrollInfo(CountingUi& ui, setup::ORGS& orgs) {
    namespace pi = setup::payinfodlg;
    namespace po = setup::payoptionsdlg;
    FakeDialogView pay;
    orgs.displayPayInfo(pay);
    pay.setText(pi::ItNum, "104-285-639");
    pay.setText(pi::NssfNum, "NSSF/MBY/0081324");
    pay.setText(pi::RegionalCode, "MBY");
    const bool saved = attempt(ui, "Can't save the organisation's payroll information", [&] {
        if (!choose(pay, pi::Bank, "CRDB Bank"))
            return false;
        orgs.resetBranches(pay);
        if (!choose(pay, pi::Branch, "Mbeya"))
            return false;
        pay.setText(pi::AccountNum, "0150329874100");
        pay.setText(pi::SfiSenderId, "MHTE1");
        return orgs.savePayInfo(pay) == 1;
    });
    orgs.closeBankFiles();
    if (!saved)
        return false;

    // Cash wages are paid out in notes of 100 shillings and more.
    FakeDialogView options;
    orgs.displayPayOptions(options);
    options.setChecked(po::PaySdl, true);
    options.setChecked(po::PayExact, false);
    options.setChecked(po::RoundDown, true);
    orgs.resetRounding(options);
    options.setText(po::RoundingUnit, "100");
    return attempt(ui, "Can't save the organisation's payroll options",
                   [&] { return orgs.savePayOptions(options) == 1; });
}

bool makeStatutoryTables(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         setup::ORGS& orgs, const std::string& sourceFolder) {
    const int year = orgs.fiscalYear();
    if (!attempt(ui, "Can't make the statutory tables of " + std::to_string(year),
                 [&] { return orgs.newStatutoryFiles(sourceFolder) == 1; }))
        return false;
    // Each table that could not be made has told the user already.
    for (const char* table : {database::PAYEDB::kFileName, database::NSSFDB::kFileName,
                              database::PAYEPARAMDB::kFileName, database::SDLDB::kFileName}) {
        if (!database::isValid(code, folder, folder.statutoryFile(year, table)))
            return false;
    }
    return true;
}

} // namespace kelo::demo::detail
