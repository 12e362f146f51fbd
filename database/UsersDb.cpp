#include "database/UsersDb.h"

#include "common/Text.h"

#include <array>

namespace kelo::database {

namespace {

using W = common::UserWidths;

struct FlagColumn {
    const char* name;
    int common::USERREC::*member;
};

// The stored rights, in the order of the rights dialog plus manageUsers.
constexpr std::array<FlagColumn, 8> kFlags{{
    {"EDITEMP", &common::USERREC::editEmpFiles},
    {"MODFIELDS", &common::USERREC::modifyFields},
    {"SETUPORG", &common::USERREC::setupOrg},
    {"CLOSEPER", &common::USERREC::closePeriod},
    {"RESTORE", &common::USERREC::restoreFiles},
    {"MODTAX", &common::USERREC::modifyTaxTables},
    {"ADDDELORG", &common::USERREC::addDeleteOrgs},
    {"MANAGEUSER", &common::USERREC::manageUsers},
}};

} // namespace

USERSDB::USERSDB(engine::Code4& code, const common::WorkingFolder& folder)
    : DbTable(code, folder, kPath) {}

Schema USERSDB::schema() const {
    Schema s;
    s.fields = {
        {"USERNAME", 'C', static_cast<unsigned>(W::kUserNameWidth), 0},
        {"PASSWORD", 'C', static_cast<unsigned>(kPasswordColumnWidth), 0},
        {"LASTNAME", 'C', static_cast<unsigned>(W::kLastNameWidth), 0},
        {"OTHERNAMES", 'C', static_cast<unsigned>(W::kOtherNamesWidth), 0},
        {"MENUTYPE", 'N', 2, 0},
    };
    for (const FlagColumn& flag : kFlags)
        s.fields.push_back({flag.name, 'L', 1, 0});
    s.tags = {{kNameTag, "UPPER(USERNAME)", "", false, false}};
    return s;
}

bool USERSDB::createFile(common::Ui& ui) {
    if (!DbTable::createFile(ui))
        return false;
    common::USERREC supervisor;
    supervisor.userName = kSupervisor;
    supervisor.menuType = common::kFullMenu;
    for (const FlagColumn& flag : kFlags)
        supervisor.*flag.member = 1;
    bool ok = openFile(true);
    if (ok) {
        data()->appendStart();
        data()->blank();
        storeRec(supervisor);
        ok = data()->append() == engine::r4success;
    }
    closeFile();
    if (!ok) {
        code().setErrorCode(0);
        ui.error("Can't create " + relativePath());
    }
    return ok;
}

bool USERSDB::seekUser(std::string_view userName) const {
    if (!orderByName())
        return false;
    std::string key = common::toUpper(common::trimRight(userName));
    key.resize(W::kUserNameWidth, ' ');
    const bool found = data()->seek(key) == engine::r4success;
    code().setErrorCode(0);
    return found;
}

void USERSDB::loadRec(common::USERREC& user) const {
    user.userName = field("USERNAME").trimmed();
    user.password = field("PASSWORD").trimmed();
    user.lastName = field("LASTNAME").trimmed();
    user.otherNames = field("OTHERNAMES").trimmed();
    user.menuType = static_cast<std::int32_t>(field("MENUTYPE").getLong());
    for (const FlagColumn& flag : kFlags)
        user.*flag.member = field(flag.name).getLogical() ? 1 : 0;
}

void USERSDB::storeRec(const common::USERREC& user) const {
    field("USERNAME").assign(user.userName);
    field("PASSWORD").assign(user.password);
    field("LASTNAME").assign(user.lastName);
    field("OTHERNAMES").assign(user.otherNames);
    field("MENUTYPE").assignLong(user.menuType);
    for (const FlagColumn& flag : kFlags)
        field(flag.name).assignLogical(user.*flag.member != 0);
}

} // namespace kelo::database
