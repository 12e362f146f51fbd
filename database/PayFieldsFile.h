#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::database {

// The function texts of the built-in items.
inline constexpr std::string_view kFuncBuiltIn = "Use Built-In Function";
inline constexpr std::string_view kFuncMasterFile = "Defined in Master File";

// Every definition of one pay frequency, table by table in position order,
// the built-in items included: what the definitions file and the pay fields
// form hold.
struct PayFieldTables : std::array<std::vector<common::PayItemDef>, common::kFieldsTableCount> {
    // The highest identifier each table has ever given, deleted items
    // included: identifiers name transactions columns and year-to-date
    // figures, so one is never given twice. 0: none beyond those present.
    std::array<std::int32_t, common::kFieldsTableCount> highestIds{};
};

// The highest identifier `table` has given: highestIds or, when higher, an
// identifier present.
std::int32_t highestItemId(const PayFieldTables& tables, common::FIELDSTABLE table);
// The identifier of the next item added to `table`.
std::int32_t nextItemId(const PayFieldTables& tables, common::FIELDSTABLE table);

// The tables of `defs`, positions and (where missing) identifiers filled in
// by position.
PayFieldTables fieldTablesOf(const common::PayItemDefs& defs);
// The definitions the pay engine and the transactions table use: the first
// two earnings and the first deduction, which must carry the built-in flag,
// become "Basic Pay", "Overtime" and "Rent". False when they are missing.
bool payItemDefsOf(const PayFieldTables& tables, common::PayItemDefs& out);

// Writes the frequency's definitions file (database/monpay.dat ...) whole:
// the comments `comment` and "[orgFolder/path]", the identity group, the
// sections earnings, deductions, benefits, lumpsums and refunds, then the
// group highestids with each table's highestItemId in that order. The
// file is written beside and renamed over the old one, so a failed write
// leaves the old file. False when it cannot be written; nothing is shown.
bool writePayFields(const common::WorkingFolder& folder, std::string_view orgFolder,
                    common::PAYFREQ payFreq, std::string_view comment,
                    const PayFieldTables& tables);
// The first comment of the file the pay fields form writes ("Monthly
// payroll file" ...).
std::string payFieldsComment(common::PAYFREQ payFreq);

// Reads the frequency's definitions file; a file without highestids (as
// written before it was kept) gives each table its highest identifier
// present. A file that is not there shows
// "Unable to open %s"; a file that fails the identity check shows that
// check's message; a damaged body shows "Unable to open %s". False then,
// and `out` is unchanged.
bool readPayFields(common::Ui& ui, const common::WorkingFolder& folder, common::PAYFREQ payFreq,
                   PayFieldTables& out);
// The same, as definitions for the pay engine and the transactions table.
bool loadPayItemDefs(common::Ui& ui, const common::WorkingFolder& folder, common::PAYFREQ payFreq,
                     common::PayItemDefs& out);

} // namespace kelo::database
