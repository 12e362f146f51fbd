#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/VarDb.h"
#include "engine/Code4.h"

namespace kelo::database {

// Where a rebuild writes the new table before it takes the table's name.
inline constexpr const char* kRebuildWorkTable = "database/variat.dbf";
// Where the old table and its index wait while the new ones take their names.
inline constexpr const char* kRebuildOldTable = "database/varold.dbf";

// Gives the transactions table of `payFreq` the columns of `defs`, which
// differ from the table's by items added, deleted or retyped. Shows
// "Updating %s..." while it works. The table is opened exclusively ("Unable
// to open %s" when it cannot be); a work table is created with the new
// columns ("Unable to create %s"), every live row is copied into it column
// by column by name, new columns getting the values of a new item, and the
// work table and its index then take the names of the table and its index
// together. On any failure the table and its index are as they were and the
// work files are gone.
//
// The items of `restart` (identifiers by table) carry nothing over: every
// row gets a new item's values in all their columns, for an item whose
// columns keep their names but change their meaning.
bool rebuildTransactions(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         common::PAYFREQ payFreq, const common::PayItemDefs& defs,
                         const PayItemIds& restart = {});

} // namespace kelo::database
