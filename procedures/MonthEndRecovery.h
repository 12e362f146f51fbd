#pragma once

#include "common/OrgRecords.h"
#include "common/Ui.h"

#include <functional>
#include <string>

namespace kelo::procedures {

// Writes the organisation's record back into its row of the organisations
// table (setup::saveOrgRec); false when the row cannot be written now.
using SaveOrgRow = std::function<bool(const common::ORGREC&)>;

namespace recoverytext {
// "The month end of March 2025 for <name> was interrupted ...", or the
// period end's.
std::string interrupted(const common::ORGREC& org, bool periodEnd = false);
std::string notRestored(const common::ORGREC& org, bool periodEnd = false);
} // namespace recoverytext

// For the program to call when it starts and before it opens an
// organisation: when a month end or period end of the organisation in
// `orgPath` (absolute) was interrupted, puts its folder and its row back as
// they were before it, tells the user, and returns true; it can then be run
// again. A copy left without its marker is thrown away.
// When the folder or the row cannot be put back the user is told and the
// marker stays, so that the next start tries again.
bool recoverMonthEnd(common::Ui& ui, const std::string& dataFolder, const std::string& orgPath,
                     const SaveOrgRow& save);
// The same for every organisation of the data folder; how many were put back.
int recoverMonthEnds(common::Ui& ui, const std::string& dataFolder, const SaveOrgRow& save);

} // namespace kelo::procedures
