#pragma once

#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "procedures/MonthEndStores.h"
#include "procedures/RecoveryPoint.h"

#include <memory>
#include <string>
#include <vector>

namespace kelo::procedures {

// The month end's guard over the program's files: another user's hold on a
// table it writes is found by taking the table as the month end will
// (alone, or for the organisation's row a lock of the row) and letting it
// go at once; the recovery point is a copy of the organisation's folder
// under the data folder (procedures/RecoveryPoint.h).
class LiveMonthEndGuard final : public MonthEndGuard {
public:
    LiveMonthEndGuard(engine::Code4& code, const common::WorkingFolder& folder);

    // The organisation's tables the month end opens alone, relative to its
    // folder.
    static std::vector<std::string> exclusiveTables();

    std::string busyTable(const common::ORGREC& org) override;
    bool begin(const common::ORGREC& org, Closing closing) override;
    void end() override;

private:
    bool heldByOther(const std::string& relativePath);
    bool rowHeldByOther(const common::ORGREC& org);

    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    std::unique_ptr<RecoveryPoint> point_; // of the month end under way
    std::string newStatutoryFolder_;       // the next fiscal year's, when it may be made
};

// For the program when it starts and before it opens an organisation: every
// interrupted month end of the data folder put back (procedures/
// MonthEndRecovery.h), each organisation's row written through the
// organisations table; how many were.
int recoverMonthEnds(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);

} // namespace kelo::procedures
