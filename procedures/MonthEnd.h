#pragma once

#include "common/DialogView.h"
#include "common/OrgRecords.h"
#include "common/Ui.h"
#include "procedures/MonthEndStores.h"

#include <string>

namespace kelo::procedures {

// The month end's messages.
namespace monthendtext {
inline constexpr const char* TooEarlyWeekly = "Too early to close month for weekly employees.";
inline constexpr const char* TooEarlyBiweekly = "Too early to close month for biweekly employees.";
inline constexpr const char* BackupQuestion = "Do you wish to back up your data?";
inline constexpr const char* Cancelled = "Month end procedure cancelled.";
inline constexpr const char* Unsuccessful = "Month end procedure unsuccessful.";
inline constexpr const char* Completed = "Month end procedure completed successfully.";
// "Cannot close the year because ... %d expired leave booking(s)."
std::string expiredBookings(std::int32_t count);
// "Month end procedure completed with %d errors."
std::string completedWithErrors(int errors);
// "New PAYE, NSSF and SDL files for the year %d/%d have just been created. ..."
std::string newStatutoryFiles(int fiscalYear);
// A table another user holds stops the month end before anything changes.
std::string tableInUse(const std::string& table);
inline constexpr const char* NoRecoveryPoint =
    "The month end cannot start because the copy of the organisation's files that would let it "
    "be undone could not be made: the disk may be full, another month end of the organisation "
    "may be running, or an earlier one that was interrupted has not been put back yet (start the "
    "program again to put it back).";
} // namespace monthendtext

// The Caution dialog before a month end or a period end (resource 752):
// the organisation's text for the one or the other, then the user's
// password.
class MONENDDLG {
public:
    static constexpr int kDialogId = 752;
    static constexpr int kHelpContext = 151;
    static constexpr int kPeriodEndHelpContext = 152;
    static constexpr const char* kPasswordPrompt =
        "If you are sure you want to continue, please enter your password below.";

    explicit MONENDDLG(MonthEndStores& stores, Closing closing = Closing::Month)
        : stores_(stores),
          closing_(closing) {}
    void initMonEndDlg(common::DialogView& caution);
    // OK: true when the password is the user's; otherwise told, and the
    // dialog stays open.
    bool closeMonEndDlg(common::DialogView& caution);
    int helpContext() const {
        return closing_ == Closing::Month ? kHelpContext : kPeriodEndHelpContext;
    }

private:
    MonthEndStores& stores_;
    Closing closing_;
};

// Closes the current period of one frequency into the report stores and
// rolls its personnel and transactions on; `atMonthEnd` as for
// MonthEndStores::incrPeriodEndDay. Every step runs; the number of errors.
int closePayPeriod(MonthEndStores& stores, common::PAYFREQ payFreq, int atMonthEnd);

// Shows the month end's or period end's Caution dialog modally, initialised by the form and
// closed by OK only when the form agrees; false when the user cancels.
class CautionHost {
public:
    virtual ~CautionHost() = default;
    virtual bool runCaution(MONENDDLG& form) = 0;
};

// The month-end procedure: closes the current period of every pay
// frequency into the report stores, rolls the personnel, transactions and
// leave files forward and moves the organisation to its next month. Once
// the work starts every step runs and failures are counted; a recovery
// point made before it lets an interrupted month end be undone
// (procedures/MonthEndRecovery.h).
class MONTHEND {
public:
    // `sourceFolder` is the folder of shipped statutory tables beside the
    // program, from which a fiscal year with no predecessor is made.
    MONTHEND(common::Ui& ui, MonthEndStores& stores, MonthEndGuard& guard, CautionHost& caution,
             std::string sourceFolder);

    // -1 when cancelled or unsuccessful, otherwise the number of errors.
    int monthEnd();
    // Closes the current period of one frequency; its number of errors.
    int closePeriod(common::PAYFREQ payFreq);
    // Weekly and biweekly: false, after telling why, when another period of
    // the frequency still ends in this month and its payroll has employees,
    // or when they cannot be counted. Always true for the other two.
    bool mayCloseMonth(common::PAYFREQ payFreq);
    // December only: false when bookings have expired (told) or cannot be
    // counted.
    bool mayCloseYear();
    // The statutory tables of the organisation's fiscal year: 1 when made
    // (and told), 0 when the year's PAYE table exists.
    int newStatutoryFiles();

private:
    bool backUp();
    bool prepare();
    bool feedLeaveReports();
    void dropInterimFiles();
    int work();
    int closeAllPeriods();
    int rollPersonnel();
    int rollTransactions();
    void rollLeave();
    void purgeReports();
    int finish(int errors);
    int cancel();
    const common::ORGREC& org() { return stores_.getOpenOrg(); }

    common::Ui& ui_;
    MonthEndStores& stores_;
    MonthEndGuard& guard_;
    CautionHost& caution_;
    std::string sourceFolder_;
};

} // namespace kelo::procedures
