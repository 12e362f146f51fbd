#pragma once

#include "common/OrgRecords.h"
#include "common/ReportBase.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <memory>

namespace kelo::reporting {

// The report of a code as a wizard or a command line leaves it in `param`,
// prepared (its store's interim file written when stale), read, arranged and
// laid out by its family's library, ready for the preview, the printer or
// a file; none after that library's message, or for a code no library
// builds.
std::unique_ptr<common::REPORTBASE> openReport(common::Ui& ui, engine::Code4& code,
                                               const common::WorkingFolder& folder,
                                               const common::REPORTPARAM& param,
                                               const common::ORGREC& org);

} // namespace kelo::reporting
