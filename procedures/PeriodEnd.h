#pragma once

#include "common/OrgRecords.h"
#include "common/Ui.h"
#include "procedures/MonthEnd.h"
#include "procedures/MonthEndStores.h"

#include <string>

namespace kelo::procedures {

// The period end's messages.
namespace periodendtext {
inline constexpr const char* MonthlyPayroll =
    "The period end is for weekly, biweekly and irregular payrolls; the monthly payroll is "
    "closed by the month end.";
// "The week ending 28 March 2025 is the last weekly period of the month;
// it is closed by the month end." and the same for the fortnight.
std::string lastPeriod(common::PAYFREQ payFreq, const common::ORGREC& org);
inline constexpr const char* Cancelled = "Period end procedure cancelled.";
inline constexpr const char* Completed = "Period end procedure completed successfully.";
// "Period end procedure completed with %d errors."
std::string completedWithErrors(int errors);
// A table another user holds stops the period end before anything changes.
std::string tableInUse(const std::string& table);
inline constexpr const char* NoRecoveryPoint =
    "The period end cannot start because the copy of the organisation's files that would let it "
    "be undone could not be made: the disk may be full, a month end or period end of the "
    "organisation may be running, or an earlier one that was interrupted has not been put back "
    "yet (start the program again to put it back).";
} // namespace periodendtext

// The period end: closes the current period of the payroll the user works
// on (the organisation's `payFreq`, weekly, biweekly or irregular) as the
// month end closes every payroll's last one, and moves that payroll to its
// next period in the same month. The month stays. Guarded as the month end
// is: nothing changes while another user holds a table, and a recovery
// point lets an interrupted period end be put back.
class PERIODEND {
public:
    PERIODEND(common::Ui& ui, MonthEndStores& stores, MonthEndGuard& guard, CautionHost& caution);

    // -1 when refused or cancelled (told), otherwise the number of errors.
    int periodEnd();
    // False, after telling why, for the monthly payroll and for a weekly or
    // biweekly period that is the month's last.
    bool mayClosePeriod();

private:
    bool prepare();
    int finish(int errors);
    int cancel();
    const common::ORGREC& org() { return stores_.getOpenOrg(); }

    common::Ui& ui_;
    MonthEndStores& stores_;
    MonthEndGuard& guard_;
    CautionHost& caution_;
};

} // namespace kelo::procedures
