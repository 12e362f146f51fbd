#pragma once

#include "common/OrgRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "dataexchange/ImportPreview.h"
#include "dataexchange/ImportPreviewHost.h"
#include "engine/Code4.h"

#include <string>

namespace kelo::dataexchange {

// File > Import Employees...: the clerk chooses a CSV file; every row is
// checked and the preview shown, every refused row in it and nothing
// imported; after the clerk's Import every employee is added or none. True
// when employees were added.
bool importEmployeesFromFile(common::Ui& ui, ImportPreviewHost& previews, engine::Code4& code,
                             const common::WorkingFolder& folder, const common::ORGREC& org);

// File > Import Opening Balances...: as the employees, with the opening
// balances of loans, savings plans, pension funds and co-operatives.
bool importBalancesFromFile(common::Ui& ui, ImportPreviewHost& previews, engine::Code4& code,
                            const common::WorkingFolder& folder, const common::ORGREC& org);

// File > Export Employees...: the employee list in the import's layout, to
// a CSV file the clerk chooses, written whole or not at all.
bool exportEmployeesToFile(common::Ui& ui, engine::Code4& code,
                           const common::WorkingFolder& folder);

} // namespace kelo::dataexchange
