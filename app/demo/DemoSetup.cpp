#include "app/demo/DemoFolder.h"
#include "app/demo/DemoSteps.h"
#include "common/WorkingFolder.h"
#include "database/NssfDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "database/UsersDb.h"
#include "database/WcfDb.h"
#include "engine/Code4.h"
#include "setup/Orgs.h"
#include "setup/TreeDialogs.h"
#include "setup/Users.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelo::demo::detail {

namespace {

struct DemoUser {
    const char* name;
    const char* lastName;
    const char* otherNames;
    std::int32_t menuType;
    std::vector<int common::USERREC::*> rights;
};

const std::vector<DemoUser>& demoUsers() {
    using U = common::USERREC;
    static const std::vector<DemoUser> users{
        {"asha", "Mwinyi", "Asha", common::kPersonnelMenu, {&U::editEmpFiles, &U::setupOrg}},
        {"juma",
         "Said",
         "Juma",
         common::kPayrollMenu,
         {&U::editEmpFiles, &U::modifyFields, &U::closePeriod, &U::modifyTaxTables}},
    };
    return users;
}

} // namespace

bool addUsers(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder) {
    setup::USERS users(code, folder);
    const std::string supervisor = database::USERSDB::kSupervisor;
    bool passwordSet = true;
    if (!attempt(ui, "Can't log in as " + supervisor,
                 [&] { return users.logIn(ui, supervisor, {}, passwordSet); }))
        return false;
    // A new folder's supervisor has no password yet and must choose one first.
    if (!passwordSet && !attempt(ui, "Can't set the password of " + supervisor,
                                 [&] { return users.setPassword(ui, kDemoPassword); }))
        return false;

    for (const DemoUser& user : demoUsers()) {
        common::USERREC rights;
        rights.menuType = user.menuType;
        for (int common::USERREC::*right : user.rights)
            rights.*right = 1;
        const bool added = attempt(ui, std::string("Can't add the user ") + user.name, [&] {
            return users.addUser(ui, {user.name, kDemoPassword, user.lastName, user.otherNames}) &&
                   users.setRights(ui, user.name, rights);
        });
        if (!added)
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

} // namespace

// The banks are shared by every organisation of the folder.
bool addBanks(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder) {
    setup::BANKSDLG banks(code, folder);
    for (const Bank& bank : demoBanks()) {
        const bool added = attempt(ui, std::string("Can't add the bank ") + bank.name, [&] {
            if (!banks.addBank(ui, bank.name, bank.code))
                return false;
            for (const auto& [name, branchCode] : bank.branches) {
                if (!banks.addBranch(ui, bank.name, name, branchCode))
                    return false;
            }
            return true;
        });
        if (!added)
            return false;
    }
    return true;
}

bool createOrganisation(CountingUi& ui, setup::ORGS& orgs) {
    if (!attempt(ui, std::string("Can't create ") + kDemoOrganisation, [&] {
            return orgs.createOrg({kDemoOrganisation, kDemoMonth, kDemoYear}) == 1;
        }))
        return false;
    setup::ORGS::BasicInfo basic;
    basic.name = kDemoOrganisation;
    basic.poBox = "2145";
    basic.town = "Mbeya";
    basic.postCode = "53110";
    basic.telephone = "+255 25 250 3120";
    basic.month = kDemoMonth;
    basic.year = kDemoYear;
    return attempt(ui, "Can't save the organisation's basic information",
                   [&] { return orgs.setBasicInfo(basic) == 1; });
}

bool setPayrollInfo(CountingUi& ui, setup::ORGS& orgs) {
    setup::ORGS::PayInfo pay;
    pay.itNum = "104-285-639";
    pay.nssfNum = "NSSF/MBY/0081324";
    pay.regionalCode = "MBY";
    pay.bankName = "CRDB Bank";
    pay.branchName = "Mbeya";
    pay.accountNum = "0150329874100";
    pay.sfiSenderId = "MHTE1";
    if (!attempt(ui, "Can't save the organisation's payroll information",
                 [&] { return orgs.setPayInfo(pay) == 1; }))
        return false;
    // Cash wages are paid out in notes of 100 shillings and more.
    return attempt(ui, "Can't save the organisation's payroll options",
                   [&] { return orgs.setPayOptions(true, true, 100) == 1; });
}

bool makeStatutoryTables(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         setup::ORGS& orgs, const std::string& sourceFolder) {
    const int year = orgs.fiscalYear();
    if (!attempt(ui, "Can't make the statutory tables of " + std::to_string(year),
                 [&] { return orgs.newStatutoryFiles(sourceFolder) == 1; }))
        return false;
    // Each table that could not be made has told the user already.
    for (const char* table : {database::PAYEDB::kFileName, database::NSSFDB::kFileName,
                              database::PAYEPARAMDB::kFileName, database::SDLDB::kFileName,
                              database::WCFDB::kFileName}) {
        if (!database::isValid(code, folder, folder.statutoryFile(year, table)))
            return false;
    }
    return true;
}

} // namespace kelo::demo::detail
