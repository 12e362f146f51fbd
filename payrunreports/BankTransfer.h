#pragma once

#include "common/OrgRecords.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "payrunreports/BankFile.h"

#include <functional>
#include <memory>

namespace kelo::payrunreports {

// The bank transfer file of `param.reportType`: SCBCSV (91), BARCLAYS (92),
// CITIDIR (93) or STANBIC (94); none for any other code.
std::unique_ptr<BANKFILE> newBankFile(common::Ui& ui, engine::Code4& code,
                                      const common::WorkingFolder& folder,
                                      const common::REPORTPARAM& param);

// Saves the bank transfer file the wizard chose: the period file is written
// again when stale and read, the payments are ordered by name, the
// organisation's bank transfer file number goes up by one through
// `nextFileNumber` (the organisation record's owner stores it), whatever the
// save then does, and the file is saved. A period file that cannot be
// written or read, or holds no payment, stops the run before the number
// moves. `org` is read after the number moved, so the caller may pass the
// owner's live record. True when a file was written.
bool saveBankTransferFile(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                          const common::REPORTPARAM& param, const common::ORGREC& org,
                          const std::function<void()>& nextFileNumber);

} // namespace kelo::payrunreports
