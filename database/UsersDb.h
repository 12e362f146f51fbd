#pragma once

#include "common/OrgRecords.h"
#include "common/Ui.h"
#include "database/DbTable.h"

#include <cstddef>
#include <string_view>

namespace kelo::database {

// The users table of a data folder, shared by all organisations.
class USERSDB : public DbTable {
public:
    static constexpr const char* kPath = "../system/settings/users.dbf";
    // UPPER(USERNAME): user names are found without regard to case.
    static constexpr const char* kNameTag = "UserTag";
    // The built-in user every users table holds.
    static constexpr const char* kSupervisor = "supervisor";
    // Room for a salted password hash written as text.
    static constexpr std::size_t kPasswordColumnWidth = 120;

    USERSDB(engine::Code4& code, const common::WorkingFolder& folder);
    Schema schema() const override;

    // Creates the table holding the "supervisor" row: every right, the full
    // menu and no password yet. The table is left closed.
    bool createFile(common::Ui& ui);

    bool orderByName() const { return order(kNameTag); }
    // Leaves the table in name order, on the user named `userName` (compared
    // without regard to case or trailing blanks); false when none.
    bool seekUser(std::string_view userName) const;

    // The current row into `user`; exclusiveAccess is not stored and stays.
    void loadRec(common::USERREC& user) const;
    // Every stored field of `user` into the current row, texts cut to their
    // widths; written when the table flushes, moves, unlocks or closes.
    void storeRec(const common::USERREC& user) const;
};

} // namespace kelo::database
