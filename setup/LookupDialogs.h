#pragma once

#include "common/DialogView.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/CoopsDb.h"
#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/PensionsDb.h"
#include "database/StationsDb.h"
#include "setup/LookupControls.h"

#include <filesystem>
#include <functional>
#include <string>

namespace kelo::setup {

// The words one lookup list uses in its captions and messages.
struct LookupWords {
    const char* caption;           // "Stations"
    const char* propertiesCaption; // "Station Properties"
    const char* nameLabel;         // "Station Name"
    const char* nameExists;        // "Station with this name already exists. ..."
    const char* rowLocked;         // "This station is currently locked by another user."
    const char* tableLocked;       // "Cannot delete this station because another user ..."
    const char* cannotDelete;      // "The station can therefore not be deleted."
};

// The field an entry was refused for, so that a dialog can put the focus on it.
enum class LookupField { None, Name, Rank, LowerLimit, UpperLimit, Grade };

// What the five lookup list classes share. Each class has two faces:
//
// - plain operations (addEntry, changeEntry, deleteEntry) taking a record
//   and giving a result; every rule, lock and message is theirs, told
//   through `Ui`, so that the demo builder, the command line and imports
//   need no dialog. An operation opens the tables it needs shared when the
//   list dialog has not opened them, and closes them again.
// - the list dialog's face over `DialogView` (control names in
//   setup/LookupControls.h), which only moves values between controls and
//   records and calls the operations:
//     initDlg        when the list dialog opens: fills it, opens the table
//                    shared until closeDlg; the Qt side then calls
//                    refreshIfChanged every lookuplistdlg::RefreshInterval
//                    milliseconds.
//     Add            initNew…Dlg, then closeNew…Dlg on OK (false keeps the
//                    properties dialog open).
//     Properties     initPrptsDlg (false: do not open; it locks the row),
//                    then closePrptsDlg on OK (false keeps it open) or
//                    cancelPrptsDlg on Cancel.
//     Delete         delete… (no question is asked).
//     Close          closeDlg.
class LookupList {
public:
    virtual ~LookupList() = default;
    LookupList(const LookupList&) = delete;
    LookupList& operator=(const LookupList&) = delete;

    const LookupWords& words() const { return words_; }
    // The field the last refused add or change was refused for.
    LookupField lastFault() const { return fault_; }

    // The list dialog.
    bool initDlg(common::Ui& ui, common::DialogView& list);
    // Refills the list when the table file changed since it was last read
    // (another user's change); true when it did.
    bool refreshIfChanged(common::DialogView& list);
    void refreshDlg(common::DialogView& list) { refreshIfChanged(list); }
    void closeDlg();
    // The code of the entry selected in the list; 0 when none.
    long getSelCode(const common::DialogView& list);
    // Unlocks after a cancelled properties dialog.
    void cancelPrptsDlg();
    // The entry a properties dialog is open for; 0 when none.
    long editedCode() const { return editedCode_; }

protected:
    LookupList(database::LookupTable& table, const LookupWords& words);

    // The name rules, given the code of the row being edited (0 for a new
    // one). `name` is trimmed and cut to the column first.
    bool checkName(common::Ui& ui, std::string& name, long ownCode);
    // Refuses for `field` with a warning.
    bool refuse(common::Ui& ui, LookupField field, const std::string& text);
    // Tells why an append or write failed.
    void tellWriteFailure(common::Ui& ui, const std::string& name, const char* what);
    // Moves to and locks the row of `code`; beeps when it is gone, warns
    // when another user holds it.
    bool lockRow(common::Ui& ui, long code);
    // Writes what an operation changed to the disk and lets locks go.
    void finishWrite();
    // The delete algorithm: refused with the in-use text (empty when free).
    bool deleteRow(common::Ui& ui, long code, const std::string& inUse);
    // The code of the selected entry, beeping when there is none.
    long selectedCodeOrBeep(common::Ui& ui, const common::DialogView& list);
    // Deletes the entry selected in `list` through `remove` (the delete
    // operation of the class) and selects the row above it.
    bool deleteSelected(common::Ui& ui, common::DialogView& list,
                        const std::function<bool(long)>& remove);
    // Refills the list and selects `name` (or keeps the position).
    void fillList(common::DialogView& list, const std::string& name, int fallbackRow);
    // Focuses the refused field of a properties dialog.
    void focusFault(common::DialogView& prpts) const;
    // After a successful add or change through a dialog.
    void showStored(common::DialogView& list, const std::string& name);
    // Opens further tables the list dialog keeps open (jobs: grades).
    virtual bool openMore(common::Ui&) { return true; }
    virtual void closeMore() {}

    static std::string inUseText(const char* subject, long count, const char* object,
                                 const char* conclusion);

    database::LookupTable& table_;
    const LookupWords& words_;
    LookupField fault_ = LookupField::None;
    long editedCode_ = 0;

private:
    void remember();

    bool opened_ = false;
    std::filesystem::file_time_type stamp_{};
};

// A list of names only: stations, co-operatives, pension funds.
template <class Table> class NameListDlg : public Table, public LookupList {
public:
    // The code of the new entry, or 0 when it was refused or not stored.
    long addEntry(common::Ui& ui, const database::LookupEntry& entry);
    // Renames the entry of `entry.code`.
    bool changeEntry(common::Ui& ui, const database::LookupEntry& entry);

    // The properties dialog ("Name").
    void initNewDlg(common::DialogView& prpts);
    bool closeNewDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& list);
    bool initPrptsDlg(common::Ui& ui, common::DialogView& list, common::DialogView& prpts);
    bool closePrptsDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& list);

protected:
    NameListDlg(engine::Code4& code, const common::WorkingFolder& folder, const LookupWords& words);
    // Deletes a co-operative or pension fund unless the caller's counts of
    // its members (`employeesText`) and deductions (`itemsText`) say it is
    // in use.
    bool deleteFund(common::Ui& ui, long code, long employees, long items,
                    const char* employeesText, const char* itemsText);
};

extern template class NameListDlg<database::STATIONSDB>;
extern template class NameListDlg<database::COOPSDB>;
extern template class NameListDlg<database::PENSIONSDB>;

// Stations where employees work. A station employees are assigned to is
// not deleted.
class STATIONSDLG : public NameListDlg<database::STATIONSDB> {
public:
    static const LookupWords kWords;

    STATIONSDLG(engine::Code4& code, const common::WorkingFolder& folder);

    // Stations and the personnel file pass isValid; otherwise tells which.
    bool checkFiles(common::Ui& ui);
    bool deleteEntry(common::Ui& ui, long code);

    void initNewStationDlg(common::DialogView& prpts) { initNewDlg(prpts); }
    bool closeNewStationDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& list) {
        return closeNewDlg(ui, prpts, list);
    }
    bool deleteStation(common::Ui& ui, common::DialogView& list);
};

// Co-operatives. The caller counts the uses of an entry (employees of the
// payroll master file, deductions of the transactions files) for the
// selected code and passes them to the delete.
class COOPSDLG : public NameListDlg<database::COOPSDB> {
public:
    static const LookupWords kWords;

    COOPSDLG(engine::Code4& code, const common::WorkingFolder& folder);

    bool checkFiles(common::Ui& ui);
    bool deleteEntry(common::Ui& ui, long code, long employees, long items);

    void initNewCoopDlg(common::DialogView& prpts) { initNewDlg(prpts); }
    bool closeNewCoopDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& list) {
        return closeNewDlg(ui, prpts, list);
    }
    long getSelCoopCode(const common::DialogView& list) { return getSelCode(list); }
    bool deleteCoop(common::Ui& ui, common::DialogView& list, long employees, long items);
};

// Pension funds; uses are counted by the caller as for co-operatives.
class PENSIONSDLG : public NameListDlg<database::PENSIONSDB> {
public:
    static const LookupWords kWords;

    PENSIONSDLG(engine::Code4& code, const common::WorkingFolder& folder);

    bool checkFiles(common::Ui& ui);
    bool deleteEntry(common::Ui& ui, long code, long employees, long items);

    void initNewPensionDlg(common::DialogView& prpts) { initNewDlg(prpts); }
    bool closeNewPensionDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& list) {
        return closeNewDlg(ui, prpts, list);
    }
    long getSelPensionCode(const common::DialogView& list) { return getSelCode(list); }
    bool deletePension(common::Ui& ui, common::DialogView& list, long employees, long items);
};

// Job grades: rank and salary range. The properties dialog edits the
// monthly pair of limits; the other three pairs are written as 0. A grade
// jobs have is not deleted.
class GRADESDLG : public database::GRADESDB, public LookupList {
public:
    static const LookupWords kWords;

    GRADESDLG(engine::Code4& code, const common::WorkingFolder& folder);

    // Grades and jobs pass isValid.
    bool checkFiles(common::Ui& ui);
    // The rules: name, rank above 0, each limit from 0 below 10^12 and the
    // lower not above the upper.
    long addEntry(common::Ui& ui, database::GRADEREC rec);
    bool changeEntry(common::Ui& ui, const database::GRADEREC& rec);
    bool deleteEntry(common::Ui& ui, long code);

    // Set when a change moved a grade's limits: the personnel file then
    // needs updating when the list closes.
    bool limitsChanged() const { return limitsChanged_; }
    void clearLimitsChanged() { limitsChanged_ = false; }

    void initNewGradeDlg(common::DialogView& prpts);
    bool closeNewGradeDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& list);
    bool initPrptsDlg(common::Ui& ui, common::DialogView& list, common::DialogView& prpts);
    bool closePrptsDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& list);
    bool deleteGrade(common::Ui& ui, common::DialogView& list);

private:
    bool checkGrade(common::Ui& ui, database::GRADEREC& rec, long ownCode);
    database::GRADEREC readDlg(const common::DialogView& prpts) const;

    bool limitsChanged_ = false;
};

// Jobs: title, grade and description. A job posts are of is not deleted.
// The list dialog keeps the grades table open beside the jobs table.
class JOBSDLG : public database::JOBSDB, public LookupList {
public:
    static const LookupWords kWords;

    JOBSDLG(engine::Code4& code, const common::WorkingFolder& folder);

    // Jobs, grades, posts and the personnel file pass isValid, and grades
    // hold data ("Job Grades").
    bool checkFiles(common::Ui& ui);
    // Jobs exclusively and grades shared, for work on the whole table;
    // false, with both closed, when either will not open.
    bool openFiles();
    void closeFiles();

    // The rules: title, and a grade that exists.
    long addEntry(common::Ui& ui, database::JOBREC rec);
    bool changeEntry(common::Ui& ui, const database::JOBREC& rec);
    bool deleteEntry(common::Ui& ui, long code);

    // Set when a change gave a job another grade.
    bool gradeChanged() const { return gradeChanged_; }
    void clearGradeChanged() { gradeChanged_ = false; }

    database::GRADESDB& grades() { return grades_; }

    void initNewJobDlg(common::DialogView& prpts);
    bool closeNewJobDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& list);
    bool initPrptsDlg(common::Ui& ui, common::DialogView& list, common::DialogView& prpts);
    bool closePrptsDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& list);
    bool deleteJob(common::Ui& ui, common::DialogView& list);

private:
    bool openMore(common::Ui& ui) override;
    void closeMore() override;
    bool checkJob(common::Ui& ui, database::JOBREC& rec, long ownCode);
    database::JOBREC readDlg(const common::DialogView& prpts);

    database::GRADESDB grades_;
    bool gradesOpened_ = false;
    bool gradeChanged_ = false;
};

} // namespace kelo::setup
