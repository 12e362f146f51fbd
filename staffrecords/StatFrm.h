#pragma once

#include "common/DialogView.h"
#include "common/NoDialogView.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/GradesDb.h"
#include "database/LookupTable.h"
#include "database/PostsDb.h"
#include "database/StaticDb.h"
#include "engine/Code4.h"
#include "staffrecords/EmployeeFiles.h"
#include "staffrecords/StaffRules.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelo::staffrecords {

// The refusal of a new employee number already in the personnel file.
inline constexpr const char* kNumberTakenText =
    "Record with this employee number already exists. Please enter a different employee number.";

// Which window the form serves.
enum DB { PERSONNEL_FILE = 1, PAYROLL_MASTER_FILE = 2 };

// The logic of the Personnel File and Payroll Master File windows: one
// employee master record at a time, shown page by page (STATPAGE), checked
// before a page is left and before every save. A new employee is kept in
// memory until the first save appends him, with his transactions and leave
// records. A save re-reads the stored row under its lock and refuses when
// another user changed it since it was shown, so that neither change is
// lost. Controls are named in StatFrmControls.h.
class STATFRM : public database::STATDB {
public:
    STATFRM(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);
    ~STATFRM() override;

    // The tables the window needs; the payroll master window also needs
    // employees. Tells the user what is missing.
    bool checkFiles(DB db);
    // Opens the personnel file shared in the organisation's form order, the
    // lookup lists, and makes the first employee current.
    bool open(DB db, const common::ORGREC& org);
    // Saves; false (the window stays) when the record cannot be saved.
    bool close();
    bool isOpened() const { return isOpen(); }

    // The page now shown; `page` stays the form's until clearPage.
    void setPage(common::DialogView& page, STATPAGE number);
    void clearPage();
    STATPAGE getPage() const { return pageNumber_; }
    void displayPage();
    // The current record on the page, with the window's position text.
    void displayRecord();
    // Reads the page into the record and runs its check; the focus goes to
    // the refused field.
    bool validatePage();
    bool validateRec();
    bool saveCurrentRec();
    // Shows the record as stored (a new employee is dropped).
    void undoCurrentRec();
    // Shows what another user stored, unless the record has unsaved
    // changes; true when the record shown changed.
    bool refreshRecord();

    bool hasRecord() const { return hasRecord_; }
    bool isNewRecord() const { return isNew_; }
    bool isReadOnly() const { return rec_.separated != 0; }
    const common::STATICREC& getCurrentRec() const { return rec_; }
    const database::PERSONNELREC& getPersonnel() const { return personnel_; }
    // Something the transactions store copies changed since the last
    // hand-over.
    bool payrollChanged() const { return payrollChanged_; }
    void clearPayrollChanged() { payrollChanged_ = false; }
    // "Record %ld of %ld": the record number Go To takes, of the rows in the
    // file; "New record" for an employee not yet saved.
    std::string positionText();

    // Each saves first and stays when that fails.
    bool nextRecord();
    bool previousRecord();
    bool firstRecord();
    bool lastRecord();
    // "Record not found." on a miss; the record shown stays.
    bool findEmpNum(const std::string& empNum);
    bool findName(const std::string& lastName);
    bool gotoRec(long recNo);

    // Saves, then requires a vacant post.
    bool isOKToAdd();
    bool getNewEmpNum(common::DialogView& dlg, std::string& number);
    // A new employee with that number, not yet stored, made current.
    bool appendNewRec(const common::ORGREC& org, const std::string& number);
    // The whole operation without a window: every check of the form, then
    // the master, transactions and leave records. For the demo, imports and
    // the command line.
    bool addEmployee(const common::ORGREC& org, const common::STATICREC& rec,
                     const database::PERSONNELREC& personnel);
    // Many at once, in order, with the same checks and records as one by
    // one, each counting the posts the ones before him fill: all of them,
    // or none when one is refused or a file fails (addEmployeeFiles).
    // `refused` is the index of the employee refused, the count when none
    // was; `lockedText` is told when another user holds one of the files.
    bool addEmployees(const common::ORGREC& org, std::vector<NewEmployee> employees,
                      const char* lockedText, std::size_t& refused);
    // Confirms, then removes the employee from the personnel, transactions,
    // absence and leave files under one set of locks: all four or none.
    bool deleteRec(std::string& empNum, common::PAYFREQ& payFreq);

    // Switches that clear the fields they govern.
    void resetSalary();
    void resetOvertime();
    void resetHousing();
    void resetPAYE();
    void setCoopMember();
    void setPensionMember();

    void initBDateDlg(common::DialogView& dlg) const;
    bool closeBDateDlg(common::DialogView& dlg);

    bool initSelPostDlg(common::DialogView& dlg);
    void updateSelPostDlg(common::DialogView& dlg);
    bool closeSelPostDlg(common::DialogView& dlg);

    bool initSupervisorDlg(common::DialogView& dlg);
    void updateSupervisorDlg(common::DialogView& dlg);
    bool closeSupervisorDlg(common::DialogView& dlg);

    bool initSelBankDlg(common::DialogView& dlg);
    void updateSelBankDlg(common::DialogView& dlg);
    bool closeSelBankDlg(common::DialogView& dlg);

    // The terminate command's menu text and whether it may run.
    std::string terminateMenuText() const;
    bool mayTerminateOrUndo() const;
    bool initTerminateDlg(common::DialogView& dlg);
    bool closeTerminateDlg(common::DialogView& dlg);
    void cancelTerminateDlg();
    bool undoTerminate();

private:
    struct Lookups;

    bool moveAndShow(int rc);
    bool moveToEnd(bool last);
    // Shows the row, or says "Record not found." and stays.
    bool showFound(long recNo);
    bool readCurrent();
    void readPage();
    // A keyed number that does not read as one leaves the field as it was
    // and becomes the page's refusal.
    void readAmount(const char* control, std::string_view label, double& value);
    void readHours(const char* control, std::string_view label, float& value);
    std::string statusText() const;
    std::string supervisorText();
    void fillUnitTree(common::DialogView& dlg, const char* control, long select);
    bool refuse(const StaffRefusal& refusal);
    PostFacts postFacts();
    std::optional<database::GRADEREC> gradeOf(long job);
    bool storeRecord();
    bool storeNewRecord();
    bool loadLookups();
    // Free places of each post (unit, job), all terms together.
    PostVacancies postVacancies();
    std::map<std::pair<long, long>, long> vacantPosts();
    long vacancies(long unit, long job);
    // The personnel file open and the lists read for adding employees.
    bool openForAdding();
    // A new employee's master row as it is stored: the number trimmed, the
    // form's checks with the grade of the post, the job's grade, the
    // derived fields.
    StaffFault prepareNewEmployee(common::STATICREC& rec, database::PERSONNELREC& personnel);
    PostFacts postFactsOf(const common::STATICREC& rec, const database::PERSONNELREC& personnel);
    void noteSaved(const common::STATICREC& before);

    void displayPersonal();
    void displayEmployment();
    void displayContact();
    void displayPayment();
    void displayBasicPay();
    void displayOvertime();
    void displayHousing();
    void displayStatutory();
    void displayFunds(bool coops);
    void readPersonal();
    void readEmployment();
    void readContact();
    void readPayment();
    void readBasicPay();
    void readOvertime();
    void readHousing();
    void readStatutory();
    void readFunds(bool coops);
    void enableBasicPay();
    void enableOvertime();
    void enableHousing();

    common::Ui& ui_;
    common::NoDialogView noPage_;
    common::DialogView* page_ = &noPage_;
    STATPAGE pageNumber_ = PERSONAL_DETAILS;
    DB db_ = PERSONNEL_FILE;
    common::ORGREC org_;
    std::unique_ptr<Lookups> lookups_;

    common::STATICREC rec_, stored_;
    database::PERSONNELREC personnel_, storedPersonnel_;
    long recNo_ = 0;       // 0 for a new employee
    long returnRecNo_ = 0; // where undo goes back to from a new employee
    bool hasRecord_ = false;
    bool isNew_ = false;
    bool payrollChanged_ = false;
    std::optional<StaffRefusal> readFault_;
    // The post dialog's free places, by (unit, job).
    std::map<std::pair<long, long>, long> postVacancies_;
    // The supervisor dialog's rows: employee numbers, "" for none.
    std::vector<std::string> supervisorRows_;
    // What the terminate dialog found, restored by cancel.
    common::STATICREC beforeTermination_;
};

} // namespace kelo::staffrecords
