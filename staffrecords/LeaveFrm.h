#pragma once

#include "common/DialogView.h"
#include "common/NoDialogView.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/AbsenceDb.h"
#include "database/LeaveDb.h"
#include "database/LeaveRecords.h"
#include "database/StaticDb.h"
#include "engine/Code4.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::staffrecords {

// What the list of the absence and leave window shows ("View:").
enum LEAVEVIEW { ABSENCE_VIEW = 0, ANNUAL_LEAVE_VIEW = 1, LEAVE_BOOKED_VIEW = 2 };

// The logic of the absence and leave window: for one employee of the
// personnel file at a time, in the organisation's form order, his absence
// events, the events of his annual leave account or his leave bookings, with
// the account's balances above the list. Events are added, edited and
// deleted through three dialogs; each change is stored when its dialog
// closes, so nothing waits to be saved.
//
// The absence and leave tables are opened shared, like the personnel file:
// each change locks what it writes for as long as it writes, so that other
// clerks keep working on other employees, and an edit is refused when
// another user changed the event since it was shown. The 5-second refresh
// shows other users' changes.
//
// Former employees (separated) are read-only. An event's days are above 0,
// except a "Balance B/F", which the year end may leave at 0 or below; that
// event keeps its kind and its date (the start of the account's year) and
// cannot be deleted. PgUp and PgDn move between the three views and stop at
// either end. Controls are named in LeaveFrmControls.h.
class LEAVEFRM {
public:
    LEAVEFRM(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);
    ~LEAVEFRM();
    LEAVEFRM(const LEAVEFRM&) = delete;
    LEAVEFRM& operator=(const LEAVEFRM&) = delete;

    // The window's controls; `window` stays the form's until detach.
    void attach(common::DialogView& window);
    void detach();

    // The personnel file holds employees; the absence and leave tables open
    // (an index made before a tag was added is written again). Tells the
    // user what is missing.
    bool checkFiles();
    // Takes the organisation's month, year and form order, opens the tables
    // and shows the first employee in the absence view.
    bool open(const common::ORGREC& org);
    bool close();
    bool isOpened() const;

    LEAVEVIEW getView() const { return view_; }
    // The view chosen in the "View:" list: its columns and rows.
    void switchView();
    // The previous and next view; false, with a beep, at either end.
    bool pageUp();
    bool pageDown();
    void displayRecord();
    // Shows what other users changed of the employee, his account and the
    // rows of the view; true when what is shown changed.
    bool refreshRecord();

    // A miss beeps or says "Record not found."; the employee shown stays.
    bool nextRecord();
    bool previousRecord();
    bool firstRecord();
    bool lastRecord();
    bool findEmpNum(const std::string& empNum);
    bool findName(const std::string& lastName);
    bool gotoRec(long recNo);
    // Every change is stored already: only a read-only record is refused.
    bool saveCurrentRec();

    bool hasRecord() const { return hasRecord_; }
    bool isReadOnly() const { return hasRecord_ && rec_.separated != 0; }
    // A change was stored since the employee was shown or last saved.
    bool isChanged() const { return changed_; }
    const common::STATICREC& getCurrentRec() const { return rec_; }
    const database::LEAVEREC& getAccount() const { return account_; }
    // "Record %d of %d" and "%s  %s, %s" ("Record 0 of 0", "Null record").
    std::string positionText() const;
    std::string employeeText() const;

    // Each init refuses on a read-only record, and the edits without a
    // selected row of their kind; each close checks, stores, shows the rows
    // again with the row selected and returns false (the dialog stays) on a
    // refusal. The deleteNew... are the new dialogs' Cancel: nothing was
    // stored, so only the dialog's state goes.
    bool initNewAbsenceDlg(common::DialogView& dlg);
    bool closeNewAbsenceDlg(common::DialogView& dlg);
    void deleteNewAbsence();
    bool initEditAbsenceDlg(common::DialogView& dlg);
    bool closeEditAbsenceDlg(common::DialogView& dlg);

    bool initNewLeaveDlg(common::DialogView& dlg);
    bool closeNewLeaveDlg(common::DialogView& dlg);
    void deleteNewLeave();
    bool initEditLeaveDlg(common::DialogView& dlg);
    bool closeEditLeaveDlg(common::DialogView& dlg);

    bool initNewBookingDlg(common::DialogView& dlg);
    bool closeNewBookingDlg(common::DialogView& dlg);
    void deleteNewBooking();
    bool initEditBookingDlg(common::DialogView& dlg);
    bool closeEditBookingDlg(common::DialogView& dlg);
    // "Leave has been taken" only while the booking starts in the
    // organisation's year or before; cleared and disabled otherwise.
    void resetLeaveTaken(common::DialogView& dlg);

    // Asks, then deletes the selected row of the view.
    bool deleteRow();

    // Without a window, for the demo and imports: the dialogs' checks, then
    // the row appended with its identifier given back. The employee must be
    // in the personnel file and not a former employee.
    bool addAbsence(const common::ORGREC& org, std::string_view empNum, database::ABSENCEROW& row,
                    bool booking);
    // Leave earned, sold or forfeited, dated in the organisation's year.
    bool addLeaveEvent(const common::ORGREC& org, std::string_view empNum, database::LEAVEROW& row);

private:
    // The dialog open now, and the row it edits as it was shown.
    enum class Editing {
        None,
        NewAbsence,
        EditAbsence,
        NewLeave,
        EditLeave,
        NewBooking,
        EditBooking
    };

    bool readCurrent();
    bool loadRows(std::vector<database::ABSENCEROW>& absences,
                  std::vector<database::LEAVEROW>& events, database::LEAVEREC& account);
    void showRows(std::int32_t selectId);
    void showAccount();
    void showStatus();
    void showColumns();
    void setView(LEAVEVIEW view);
    std::int32_t selectedId() const;
    bool moveAndShow(int rc);
    bool moveToEnd(bool last);
    bool showFound(long recNo);
    // A stored change: the rows and account read again and shown.
    void afterChange(std::int32_t selectId);
    void reshow(std::int32_t selectId);

    bool refuseReadOnly(const char* text) const;
    // Whether an event dialog may open: an employee shown, not a former one.
    bool mayOpenEventDialog(const char* readOnlyText);
    void initAbsenceFields(common::DialogView& dlg, const database::ABSENCEROW& row);
    bool closeAbsence(common::DialogView& dlg, bool booking, bool isNew);
    bool initEditAbsence(common::DialogView& dlg, bool booking);
    void initLeaveFields(common::DialogView& dlg, const database::LEAVEROW& row, bool isNew);
    bool closeLeave(common::DialogView& dlg, bool isNew);
    // The employee of a windowless add: found and not a former employee.
    bool checkEmployee(std::string_view empNum, std::string& stored);

    common::Ui& ui_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    common::NoDialogView noWindow_;
    common::DialogView* window_ = &noWindow_;
    database::STATDB staff_;
    database::ABSENCEDB absence_;
    database::LEAVEDB leave_;

    std::string month_;
    int year_ = 0;
    std::int32_t sortKey_ = common::kSortByEmpNum;
    LEAVEVIEW view_ = ABSENCE_VIEW;

    common::STATICREC rec_;
    long recNo_ = 0;
    bool hasRecord_ = false;
    bool changed_ = false;
    database::LEAVEREC account_;
    // The rows of the view: absence events or bookings, or leave events.
    std::vector<database::ABSENCEROW> absences_;
    std::vector<database::LEAVEROW> events_;

    Editing editing_ = Editing::None;
    database::ABSENCEROW shownAbsence_;
    database::LEAVEROW shownEvent_;
};

} // namespace kelo::staffrecords
