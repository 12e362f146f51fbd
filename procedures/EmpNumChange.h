#pragma once

#include "common/DialogView.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"

#include <optional>
#include <string>

namespace kelo::procedures {

// The controls of the Change Employee Number dialog (790).
namespace empnumchangedlg {
inline constexpr const char* kCaption = "Change Employee Number";
inline constexpr const char* kOldEmpNum = "OldEmpNum";
inline constexpr const char* kNewEmpNum = "NewEmpNum";
inline constexpr const char* kCaution = "Caution";
inline constexpr const char* kCautionText =
    "Caution: It is not advisable to reuse an employee number that belonged to a former employee.";
} // namespace empnumchangedlg

inline constexpr const char* kEmpNumChangedText = "The employee number has been changed.";
inline constexpr const char* kEmpNumNotChangedText = "The employee number has not been changed.";

// An employee as the personnel file holds him, for the checks and the
// question.
struct EmpNumEmployee {
    std::string empNum; // as stored
    std::string lastName;
    std::string otherNames;
    common::PAYFREQ payFreq = common::MONTHLY;
};

// Every file an employee number change reads or writes, one call each, so
// that the checks, the order and the messages run the same over the
// program's files and over a recording double. Each call tells the user its
// own failures.
class EmpNumStores {
public:
    virtual ~EmpNumStores() = default;

    // The personnel file can be read.
    virtual bool checkFiles() = 0;
    // The employee of that number, compared without regard to case, or
    // nullopt in `found` when there is none; false when the personnel file
    // cannot be read.
    virtual bool findEmployee(const std::string& empNum, std::optional<EmpNumEmployee>& found) = 0;
    // The personnel file, the transactions table of the employee's
    // frequency, and the absence and leave tables: all four or none.
    virtual bool renumberEmployeeFiles(const common::EMPNUMREC& change) = 0;
    // The report stores.
    virtual bool renumberMonthReturns(const common::EMPNUMREC& change,
                                      const common::ORGREC& org) = 0; // MONTHDB
    virtual bool renumberAnnualReturns(const common::EMPNUMREC& change,
                                       const common::ORGREC& org) = 0; // ANNUALDB
    virtual bool renumberTaxReports(const common::EMPNUMREC& change,
                                    const common::ORGREC& org) = 0; // TAXREPDB
    virtual bool renumberYearToDate(const common::EMPNUMREC& change,
                                    const common::ORGREC& org) = 0; // YTDDB
    virtual bool renumberLeaveReports(const common::EMPNUMREC& change,
                                      const common::ORGREC& org) = 0; // LEAVEREPDB
    virtual bool renumberFormerEmployees(const common::EMPNUMREC& change,
                                         const common::ORGREC& org) = 0; // STATICREPDB
};

enum class EmpNumStatus {
    Refused,    // a number was refused; nothing was changed and the dialog stays
    NotChanged, // the personnel file was not renumbered; nothing was changed
    Changed,
};

// The logic of the Change Employee Number dialog and the change itself.
// `org` is the open organisation's record.
class EmpNumChange {
public:
    EmpNumChange(common::Ui& ui, EmpNumStores& stores, const common::ORGREC& org);

    // False (the dialog closes) when the personnel file cannot be read.
    bool initEmpNumDlg(common::DialogView& dlg);
    // Checks both numbers and fills `change`; false keeps the dialog, the
    // focus on the refused number.
    bool closeEmpNumDlg(common::DialogView& dlg, common::EMPNUMREC& change);
    void cancelEmpNumDlg();
    // The checks without a dialog; nullopt when refused, after the message.
    std::optional<common::EMPNUMREC> checkNumbers(const std::string& oldEmpNum,
                                                  const std::string& newEmpNum);
    // Asks the user, then renumbers the personnel file and the tables that
    // go with it; false when declined or failed.
    bool updateEmpNum(const common::EMPNUMREC& change);
    // What OK does once the dialog is hidden: the personnel file, then, when
    // it was renumbered, every report store in turn whatever each answers,
    // and the closing message.
    EmpNumStatus run(const common::EMPNUMREC& change);

private:
    // "Are you sure ...?"; true for Yes.
    bool confirm(const common::EMPNUMREC& change);
    std::optional<std::string> refusal(const std::string& oldEmpNum, const std::string& newEmpNum,
                                       common::EMPNUMREC& change, const char*& control);

    common::Ui& ui_;
    EmpNumStores& stores_;
    common::ORGREC org_;
    std::optional<EmpNumEmployee> employee_; // the one the last check accepted
};

// The whole change without a window, for the command line and imports:
// the dialog's checks, the question and the renumbering.
EmpNumStatus changeEmployeeNumber(common::Ui& ui, EmpNumStores& stores, const common::ORGREC& org,
                                  const std::string& oldEmpNum, const std::string& newEmpNum);

} // namespace kelo::procedures
