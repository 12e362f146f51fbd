#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

namespace kelo::database {

// Where a rebuild writes the new table before it takes the table's name.
inline constexpr const char* kRebuildWorkTable = "database/variat.dbf";

// Gives the transactions table of `payFreq` the columns of `defs`, which
// differ from the table's by items added, deleted or retyped. Shows
// "Updating %s..." while it works. The table is opened exclusively ("Unable
// to open %s" when it cannot be); a work table is created with the new
// columns ("Unable to create %s"), every live row is copied into it column
// by column by name, new columns getting the values of a new item, and the
// work table then takes the table's place. On any failure the table is as
// it was and the work files are gone.
bool rebuildTransactions(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         common::PAYFREQ payFreq, const common::PayItemDefs& defs);

} // namespace kelo::database
