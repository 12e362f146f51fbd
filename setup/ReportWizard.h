#pragma once

#include "common/DialogView.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::setup {

// The pages of the report parameters wizard; control names in
// setup/ReportWizardControls.h.
enum class WizardPage {
    Selection,   // which employees: groupBy, groupName, groupTitle
    PayPeriod,   // payFreq, period, isCurrentPeriod
    YearRange,   // period.year, fromMonth, toMonth
    ReturnMonth, // period.year and period.month of a monthly return
    PayField,    // fieldName, and for earnings and deductions the report code
    Fund,        // the co-operative (55) or pension fund (56)
    ProcessDate, // processDate and the bank (91 to 94) of a bank transfer file
    ReportKind,  // muster roll 204/205/206, control account 201/202/203
};

struct WizardPlan {
    std::string title; // the host dialog's caption
    std::vector<WizardPage> pages;
};

// The wizard a report code opens: "View Payslips" with the pay period and
// selection pages for 34, and so on. The muster roll (32) and control
// account (33) start with the report kind page followed by the pages of the
// pay-period kind (204, 201); the codes the pages turn a report into (37,
// 51 to 54, 201, 203, 204, 206, 91 to 94) have the plan of the command they
// come from without that first page. No pages for a code no command opens.
WizardPlan wizardPlan(std::int32_t reportCode);

// One row of the pay field list.
struct PayFieldChoice {
    std::string name;
    std::string itemType; // empty for the rows that are no item of the definitions
    friend bool operator==(const PayFieldChoice&, const PayFieldChoice&) = default;
};

// The pay field page's label for a report code: "Earning", "Deduction",
// "Benefit", "Lump Sum Payment", "Refund" or "Payment"; empty for a code
// without that page.
std::string payFieldLabel(std::int32_t reportCode);
// The fields offered for a report code, in list order; none for a code
// without the pay field page.
std::vector<PayFieldChoice> payFieldChoices(std::int32_t reportCode,
                                            const common::PayItemDefs& defs);
// The report a chosen field makes of an earnings (42) or deductions (41)
// report: 37 basic pay, 51 overtime and hourly pay, 52 company loans, 53
// co-op loans, 54 savings plans. Any other code is kept.
std::int32_t payFieldReportCode(std::int32_t reportCode, const PayFieldChoice& field);
// The field chosen decides the report: earnings and deductions.
bool payFieldChangesReport(std::int32_t reportCode);

// The year file that must pass the identity check before a report of
// another year than the organisation's opens ("2023/leavers.dbf"); empty
// for a code that reads none.
std::string yearRangeFile(std::int32_t reportCode, std::int32_t year);
// The monthly return file of a month ("2024/Janret.dbf").
std::string returnMonthFile(std::int32_t year, int month);
// "March 2024", "Week ending 7 March 2024", "Fortnight ending 14 March
// 2024", "Pay period ending 2 March 2024".
std::string periodTitle(common::PAYFREQ payFreq, common::date period);

// The field a page refused, where the page puts the focus.
enum class WizardField {
    None,
    SelectionName,
    PeriodFrequency,
    PeriodYear,
    PeriodMonth,
    PeriodDay,
    RangeYear,
    RangeMonths,
    ReturnYear,
    ReturnMonth,
    PayField,
    Fund,
    TransferBank,
    ProcessYear,
    ProcessMonth,
    ProcessDay,
};

// How the host leaves a page.
enum class WizardMove { Next, Back, Ok };

// The report parameters wizard: the REPORTPARAM a report command fills,
// with the defaults of the command's code and the organisation, and the
// logic of every page.
//
// Each page has two faces. The apply… operations take values and check
// them with their messages; they store into the parameters only what
// passes, and set lastFault() to the field refused. They need no window, so
// that a command line can build the parameters the same way. The page face
// (init…Page when the page opens, close…Page when Next, Back or OK leaves
// it, and the reactions to a changed choice) only moves values between the
// page's controls and those operations; a refused close keeps the page open
// with the focus on the refused field.
//
// The host: caption plan().title; Next and Back visible when plan() has
// more than one page; on open initPage of page 0; on Next, Back or OK
// leavePage, and after Next or Back initPage of the page it moved to; the
// wizard ends with OK when finished(), with Cancel at any time.
class ReportWizard {
public:
    // The lookup tables, pay log and year files are addressed through
    // `folder`, the open organisation's; `today` is the date a process date
    // may not precede.
    ReportWizard(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                 const common::ORGREC& org, std::int32_t reportCode,
                 common::date today = common::date::today());

    const common::REPORTPARAM& param() const { return param_; }
    // The code of the command that opened the wizard.
    std::int32_t commandCode() const { return command_; }
    WizardField lastFault() const { return fault_; }

    // The plan as the choices so far make it: the muster roll and control
    // account follow the report kind chosen.
    WizardPlan plan() const;
    int pageIndex() const { return index_; }
    std::optional<WizardPage> currentPage() const;
    bool showsNextBack() const { return plan().pages.size() > 1; }
    bool canGoNext() const;
    bool canGoBack() const { return index_ > 0; }
    bool finished() const { return finished_; }
    // Opens the current page.
    void initPage(common::DialogView& page);
    // Closes the current page; when it passed, moves or (OK) finishes.
    bool leavePage(common::DialogView& page, WizardMove move);
    bool closePage(WizardPage which, common::DialogView& page);
    void initPage(WizardPage which, common::DialogView& page);

    // Selection of employees. A kind other than none needs a name (a beep).
    bool applySelection(std::int32_t groupBy, std::string_view name);
    void initSelectionPage(common::DialogView& page);
    // Relabels the prompt and refills the names for the kind chosen.
    void selectionKindChanged(common::DialogView& page);
    bool closeSelectionPage(common::DialogView& page);

    // Pay period. `day` is the period's day within the month (end day or
    // number); it is ignored for monthly pay. A period other than the
    // organisation's current one of the frequency needs its kept file in the
    // pay log, passing the identity check.
    bool applyPayPeriod(common::PAYFREQ payFreq, long year, int month, int day);
    void initPayPeriodPage(common::DialogView& page);
    // Shows the current period's day of the frequency chosen.
    void payFrequencyChanged(common::DialogView& page);
    bool closePayPeriodPage(common::DialogView& page);

    // Year and month range; a year other than the organisation's needs the
    // report's year file, passing the identity check.
    bool applyYearRange(long year, int fromMonth, int toMonth);
    void initYearRangePage(common::DialogView& page);
    bool closeYearRangePage(common::DialogView& page);

    // Month of a monthly return; a month other than the organisation's
    // current one needs its return file, passing the identity check.
    bool applyReturnMonth(long year, int month);
    void initReturnMonthPage(common::DialogView& page);
    bool closeReturnMonthPage(common::DialogView& page);

    // Pay field. The list comes from the definitions of the organisation's
    // pay frequency, read once (false, after the reader's message, when they
    // cannot be; the list then holds the rows that are no item). A name not
    // in the list is refused with a beep.
    bool loadFieldChoices();
    const std::vector<PayFieldChoice>& fieldChoices() const { return fields_; }
    bool applyPayField(std::string_view name);
    void initPayFieldPage(common::DialogView& page);
    bool closePayFieldPage(common::DialogView& page);

    // Co-operative (55) or pension fund (56): a name must be chosen (a beep).
    bool applyFund(std::string_view name);
    void initFundPage(common::DialogView& page);
    bool closeFundPage(common::DialogView& page);

    // The bank of a bank transfer file: its report code, 91 to 94.
    bool applyTransferBank(std::int32_t reportCode);
    // Process date: a real date from 1900 to 3000, not before today.
    bool applyProcessDate(long year, int month, long day);
    void initProcessDatePage(common::DialogView& page);
    bool closeProcessDatePage(common::DialogView& page);

    // Report kind of the muster roll or control account: the pay period
    // (204, 201), a month of closed periods (205, 202) or the year (206, 203).
    enum class ReportKind { PayPeriod, Month, Year };
    void applyReportKind(ReportKind kind);
    void initReportKindPage(common::DialogView& page);
    bool closeReportKindPage(common::DialogView& page);

private:
    bool refuse(WizardField field, const std::string& message);
    bool beepFor(WizardField field);
    bool checkYear(long year, WizardField field);
    bool checkFile(const std::string& relativePath, WizardField field);
    void focusFault(common::DialogView& page) const;
    void storeGroup(std::int32_t groupBy, std::string_view name);
    void storeField(const PayFieldChoice& field);
    void fillNames(common::DialogView& page, std::int32_t groupBy);

    common::Ui& ui_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    common::ORGREC org_;
    std::int32_t command_;
    common::date today_;
    common::REPORTPARAM param_;
    WizardField fault_ = WizardField::None;
    int index_ = 0;
    bool finished_ = false;
    bool fieldsLoaded_ = false;
    bool fieldsRead_ = false;
    std::vector<PayFieldChoice> fields_;
};

} // namespace kelo::setup
