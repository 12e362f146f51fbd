#pragma once

#include "common/DialogView.h"
#include "common/NoDialogView.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/BanksDb.h"
#include "database/StaticDb.h"
#include "database/VarDb.h"
#include "engine/Code4.h"
#include "paycalc/CalcFields.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kelo::staffrecords {

// The pages of the payroll transactions form.
enum VARPAGE : int {
    EARNINGS_PAGE = 1,
    DEDUCTIONS_PAGE,
    BENEFITS_PAGE,
    LUMP_SUMS_PAGE,
    REFUNDS_PAGE,
    TAXABLE_PAY_PAGE,
    STATUTORY_PAGE,
    SUMMARY_PAGE
};

// The parameters dialog an item's "..." button opens.
enum class ParamDialog {
    None,
    HourlyPay,
    CoopBalance,
    PensionFund,
    Loan,
    BankLoan,
    Savings,
    CostRecovery
};

// The dialog of the item's parameters, by the parameters it keeps: the
// types that carry them, and amortised, reducing-balance and hourly items of
// other types, whose amounts come from those parameters.
ParamDialog dialogOf(const common::PayItem& item);

// What the pages' scroll bar asks for; Position takes the row given.
enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, Top, Bottom, Position };

// The logic of the payroll transactions window: the employees of the
// personnel file in the organisation's order, each with his transactions
// record of the organisation's pay frequency on eight pages (VARPAGE). An
// employee off this payroll shows "Null record" and no pages. Every figure
// shown is computed; every change is computed at once. The table is shared
// with the other clerks: a save locks the employee's row, re-reads it and
// refuses when another user changed it since it was shown. Controls are
// named in VarFrmControls.h.
class VARFRM : public database::VARDB {
public:
    VARFRM(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);
    ~VARFRM() override;

    // The personnel file with employees, the frequency's definitions and
    // transactions table, the bank tables and the year's tax tables; tells
    // the user what is missing.
    bool checkFiles(const common::ORGREC& org);
    // The organisation's frequency and order; the first employee current.
    bool open(const common::ORGREC& org);
    // Saves; false (the window stays) when the record cannot be saved.
    bool close();
    bool isOpened() const { return isOpen(); }

    // The page now shown; `page` stays the form's until clearPage.
    void setPage(common::DialogView& page, VARPAGE number);
    void clearPage();
    VARPAGE getPage() const { return pageNumber_; }
    // Shows the page's figures, computed; `rebuild` starts the item rows
    // from the top.
    void displayPage(bool rebuild = true);
    void displayRecord();
    // Copies what was keyed on the page into the record (an amount that does
    // not read as a number reads as 0).
    void readPage();
    // After an edit of the page: read, compute, show.
    void amountChanged();
    // The page's checks; the focus goes to the refused field.
    bool validatePage();
    bool saveCurrentRec();
    // Shows the record as stored.
    void undoCurrentRec();
    // Shows what another user stored, unless this record has unsaved
    // changes; true when the record shown changed.
    bool refreshRecord();

    // Each saves first and stays when that fails.
    bool nextRecord();
    bool previousRecord();
    bool firstRecord();
    bool lastRecord();
    // "Record Not Found" on a miss. Numbers and last names match from their
    // start, without regard to case; `next` goes on from the employee shown.
    bool findEmpNum(const std::string& text, bool next = false);
    bool findFirstName(const std::string& text);
    bool findNextName(const std::string& text);
    bool gotoRec(const std::string& text);

    // Pages 1 to 5: the item rows.
    void scrollFields(ScrollCode code, int position = 0);
    int scrollPosition() const { return scroll_; }
    // Makes the item of a visible row (0 to 4) the one whose parameters are
    // worked on; false for an empty row.
    bool setCurrentField(int row);
    std::string getFieldType() const;
    ParamDialog currentDialog() const;
    // The row's check box: switches its item on or off.
    bool resetField(int row);

    // Takes the employee off the payroll; the record stays in the table.
    bool deleteRecord();
    // "Add Employees to Payroll": false, with "No eligible employees were
    // found.", when nobody can be added back.
    bool initAddEmpDlg(common::DialogView& dlg);
    void resetAddEmpDlg(common::DialogView& dlg);
    bool addRecords(common::DialogView& dlg);

    // The parameters dialogs. A display… that returns false shows no
    // dialog; a get… that returns false keeps it open.
    bool displayBPParams(common::DialogView& dlg); // "Time Worked"
    bool getBPParams(common::DialogView& dlg);
    bool displayOTHrs(common::DialogView& dlg); // "Overtime"
    bool getOTHrs(common::DialogView& dlg);
    bool displayHPParams(common::DialogView& dlg); // "Hourly Pay"
    bool getHPParams(common::DialogView& dlg);
    bool displayBalance(common::DialogView& dlg); // co-op contribution "Balance"
    bool getBalance(common::DialogView& dlg);
    bool displayPFParams(common::DialogView& dlg);
    bool getPFParams(common::DialogView& dlg);
    bool displayLoanParams(common::DialogView& dlg);
    bool getLoanParams(common::DialogView& dlg);
    bool displayBLParams(common::DialogView& dlg);
    bool getBLParams(common::DialogView& dlg);
    // The chosen bank's branches; the loan number is cleared.
    void resetBranches(common::DialogView& dlg);
    bool displaySPParams(common::DialogView& dlg);
    bool getSPParams(common::DialogView& dlg);
    bool displayRecoveryParam(common::DialogView& dlg); // cost recovery "Balance"
    bool getRecoveryParam(common::DialogView& dlg);

    // "Null record": the employee shown has no record on this payroll.
    bool hasRecord() const { return hasRecord_; }
    bool hasEmployee() const { return staffRecNo_ != 0; }
    bool isReadOnly() const { return hasRecord_ && employee_.separated != 0; }
    bool isChanged() const { return changed_; }
    const common::VARIATIONSREC& getCurrentRec() const { return rec_; }
    const common::STATICREC& getEmployee() const { return employee_; }
    // "Record %ld of %ld" of the personnel file.
    std::string positionText() const;
    // "%s  %s, %s" (number, last name, other names), or "Null record".
    std::string employeeText() const;
    // The item's position in its table, by name.
    std::optional<std::size_t> findItem(common::FIELDSTABLE table, std::string_view name) const;

    // The same operations without a window, for the demo and imports: each
    // goes to the employee (saving the record shown), makes the change with
    // every check of the form and its dialogs (their messages too), and
    // saves. On a refusal the employee's record stays as stored. An item
    // whose parameters are set is switched on first, as a clerk ticks it.
    bool keyAmount(const std::string& empNum, common::FIELDSTABLE table, std::size_t index,
                   double amount);
    bool switchItem(const std::string& empNum, common::FIELDSTABLE table, std::size_t index,
                    bool on);
    bool setTimeWorked(const std::string& empNum, double timeWorked);
    bool setOvertimeHours(const std::string& empNum, double normalHours, double doubleHours);
    bool setHourlyPay(const std::string& empNum, std::size_t index, double hours, double rate);
    bool setCoopBalance(const std::string& empNum, std::size_t index, double balance);
    bool setPensionParams(const std::string& empNum, std::size_t index,
                          const common::PensionParams& params);
    // An "Amortise" item's amount becomes the loan's instalment.
    bool setLoan(const std::string& empNum, std::size_t index, const common::LoanParams& params);
    bool setBankLoan(const std::string& empNum, std::size_t index,
                     const common::BankLoanParams& params);
    bool setSavings(const std::string& empNum, std::size_t index,
                    const common::SavingsParams& params);
    bool setRecoveryBalance(const std::string& empNum, std::size_t index, double balance);

private:
    // A refused value: the message, and the control to put the focus on.
    struct Fault {
        std::string message;
        const char* control = nullptr;
        std::optional<std::size_t> item; // the refused item of the page's table
    };
    using Refusal = std::optional<Fault>;

    // The employee at the personnel file's current row, with his record.
    void loadCurrent();
    bool seekOnPayroll(std::string_view empNum);
    std::string rowBytes() const;
    void recompute();
    bool storeRecord();
    bool step(long count);
    bool moveToEnd(bool last);
    bool showFound(long staffRecNo);
    bool findPrefix(bool byName, const std::string& text, bool next);

    common::PayItem* itemAt(common::FIELDSTABLE table, std::size_t index);
    common::PayItem* currentItem();
    const common::PayItem* currentItem() const;
    std::optional<std::string> whyNotApplicable(const common::PayItem& item) const;
    bool toggleItem(common::FIELDSTABLE table, std::size_t index);
    void switchedOn(common::PayItem& item);

    Refusal pageFault(VARPAGE page) const;
    Refusal itemsFault(common::FIELDSTABLE table) const;
    bool refuse(const Fault& fault);
    bool accept(common::DialogView& dlg, const Refusal& fault);
    void readAmount(const char* control, double& value);
    void displayItems(common::FIELDSTABLE table, double total);
    void displayEarnings();
    void displayDeductions();
    void displayBenefits();
    void displayLumpSums();
    void displayRefunds();
    void displayTaxablePay();
    void displayStatutory();
    void displaySummary();

    std::string timeLabel() const;
    Refusal applyTimeWorked(double value);
    Refusal applyOvertime(double normalHours, double doubleHours);
    Refusal applyHourlyPay(double hours, double rate);
    Refusal applyCoopBalance(double balance);
    Refusal applyPension(const common::PensionParams& params);
    Refusal applyLoan(const common::LoanParams& params);
    Refusal applyBankLoan(const common::BankLoanParams& params);
    Refusal applySavings(const common::SavingsParams& params);
    Refusal applyRecovery(double balance);

    bool gotoEmployee(const std::string& empNum);
    // Runs `change` on the employee's record, checks `table` and saves.
    bool changeEmployee(const std::string& empNum, std::optional<common::FIELDSTABLE> table,
                        const std::function<bool()>& change);
    // Switches the item on and applies its parameters.
    bool changeItem(const std::string& empNum, common::FIELDSTABLE table, std::size_t index,
                    ParamDialog dialog, const std::function<Refusal()>& apply);

    common::Ui& ui_;
    paycalc::CALCFIELDS calc_;
    database::STATDB staff_;
    database::BANKSDB banks_;
    common::NoDialogView noPage_;
    common::DialogView* page_ = &noPage_;
    VARPAGE pageNumber_ = EARNINGS_PAGE;
    common::ORGREC org_;
    common::PAYFREQ payFreq_ = common::MONTHLY;

    common::STATICREC employee_;
    long staffRecNo_ = 0; // 0: no employee
    common::VARIATIONSREC rec_;
    std::string storedRow_; // the row as last read, to see other users' changes
    long rowNo_ = 0;
    bool hasRecord_ = false;
    bool changed_ = false;
    bool shown_ = false; // the page shows the record: what it holds may be read
    int scroll_ = 0;
    common::FIELDSTABLE currentTable_ = common::EARNINGS;
    std::optional<std::size_t> currentIndex_;
};

} // namespace kelo::staffrecords
