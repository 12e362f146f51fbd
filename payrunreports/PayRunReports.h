#pragma once

#include "common/OrgRecords.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "payrunreports/PeriodRep.h"

#include <cstdint>
#include <memory>

namespace kelo::payrunreports {

// The report class of a pay-run report code (the REPORTPARAM's type after
// its wizard), constructed on `param`; none for a code of another family.
std::unique_ptr<PERIODREP> newPayRunReport(common::Ui& ui, engine::Code4& code,
                                           const common::WorkingFolder& folder,
                                           const common::REPORTPARAM& param);

// A pay-run report ready to show: the period file written again when it is
// stale, read, the records arranged and laid out, under the wait cursor.
// None after the message of the step that failed, or for a code of another
// family.
std::unique_ptr<PERIODREP> openPayRunReport(common::Ui& ui, engine::Code4& code,
                                            const common::WorkingFolder& folder,
                                            const common::REPORTPARAM& param,
                                            const common::ORGREC& org);

} // namespace kelo::payrunreports
