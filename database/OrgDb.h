#pragma once

#include "common/OrgRecords.h"
#include "database/DbTable.h"

#include <cstdint>
#include <string_view>

namespace kelo::database {

// The organisations table, shared by every organisation of a data folder.
// A row's record number is its organisation's number.
class ORGDB : public DbTable {
public:
    static constexpr const char* kPath = "../system/settings/org.dbf";
    // UPPER(NAME): names are unique without regard to case.
    static constexpr const char* kNameTag = "OrgNameTag";

    ORGDB(engine::Code4& code, const common::WorkingFolder& folder);
    Schema schema() const override;

    bool orderByName() const { return order(kNameTag); }
    // Leaves the table in name order, on the row whose name equals `name`
    // without regard to case (and to blanks at either end); false when none.
    bool findByName(std::string_view name) const;
    // Rows in the table; 0 while it is closed.
    std::int32_t orgCount() const;

    // The current row into `org`: texts without trailing blanks, flags 0 or
    // 1, orgNum the row's record number.
    void loadRec(common::ORGREC& org) const;
    // Every column of the current row from `org`, texts cut to their widths;
    // written when the table flushes, moves, unlocks or closes.
    void storeRec(const common::ORGREC& org) const;
};

} // namespace kelo::database
