#pragma once

#include "common/OrgRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "dataexchange/ImportPreview.h"
#include "engine/Code4.h"

#include <string>

namespace kelo::dataexchange {

// How many refused rows a message lists before it counts the rest.
inline constexpr std::size_t kRefusalsShown = 15;

// The message of a preview with refusals: how many rows were refused, the
// first of them one per line, and what to do.
std::string refusalMessage(const ImportPreview& preview);

// File > Import Employees...: the clerk chooses a CSV file; every row is
// checked; refused rows are listed and nothing is imported; otherwise,
// after the clerk's Yes, every employee is added or none. True when
// employees were added.
bool importEmployeesFromFile(common::Ui& ui, engine::Code4& code,
                             const common::WorkingFolder& folder, const common::ORGREC& org);

// File > Export Employees...: the employee list in the import's layout, to
// a CSV file the clerk chooses, written whole or not at all.
bool exportEmployeesToFile(common::Ui& ui, engine::Code4& code,
                           const common::WorkingFolder& folder);

} // namespace kelo::dataexchange
