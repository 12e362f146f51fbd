#pragma once

#include "common/OrgRecords.h"
#include "common/ReportBase.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <cstdint>
#include <memory>

namespace kelo::staffreports {

// The personnel report of `reportType` (11 to 16, 21), not yet read; none
// for any other type.
std::unique_ptr<common::REPORTBASE> makeStaffReport(common::Ui& ui, engine::Code4& code,
                                                    const common::WorkingFolder& folder,
                                                    const common::REPORTPARAM& param);

// What a personnel report command does between its wizard and its preview:
// writes the active employees file again when the report reads it and it is
// missing or stale, reads the report's file (or the posts tables), orders
// the employees (and builds the hierarchy) and lays out the pages. None
// after the message of whatever failed. `owner` shows the progress texts.
std::unique_ptr<common::REPORTBASE> prepareStaffReport(common::Ui& ui, common::Ui& owner,
                                                       engine::Code4& code,
                                                       const common::WorkingFolder& folder,
                                                       const common::REPORTPARAM& param,
                                                       const common::ORGREC& org);

} // namespace kelo::staffreports
