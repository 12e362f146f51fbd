#pragma once

#include "common/OrgRecords.h"
#include "common/ReportBase.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace kelo::app {

class Session;

// The report code a Report menu command opens its wizard with; none for the
// other commands.
std::optional<std::int32_t> reportCodeOf(int commandId);

// The report of the code a wizard ended with, prepared, read, arranged and
// laid out by its family's library; none after that library's message.
std::unique_ptr<common::REPORTBASE> openFamilyReport(Session& session, common::Ui& ui,
                                                     const common::REPORTPARAM& param,
                                                     const common::ORGREC& org);

} // namespace kelo::app
