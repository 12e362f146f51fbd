#pragma once

#include "common/DialogView.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/BanksDb.h"
#include "database/JobsDb.h"
#include "database/PostsDb.h"
#include "database/UnitsDb.h"
#include "setup/TreeBanksDlgControls.h"
#include "setup/TreePostsDlgControls.h"
#include "setup/TreeUnitsDlgControls.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kelo::setup {

// The dialogs of the three tree-shaped tables: administrative units, posts,
// and banks with their branches. They follow the lookup lists
// (setup/LookupDialogs.h) and have the same two faces:
//
// - plain operations (addUnit, renameUnit, deleteUnit, setPosts, addBank,
//   addBranch, changeBank, changeBranch, deleteBank, deleteBranch) taking
//   values and giving a result. Every rule, lock and message is theirs, told
//   through `Ui`, so that the demo builder, the command line and imports need
//   no dialog. An operation opens the tables it needs shared when the dialog
//   has not opened them, and closes them again; a refused operation changes
//   nothing.
// - the dialog face over `DialogView` (control names in the Tree*DlgControls.h
//   headers), which only moves values between controls and records and calls
//   the operations: initDlg opens the tables shared until closeDlg; the Qt
//   side then calls refreshDlg every RefreshInterval milliseconds;
//   init…Dlg false means "do not open" (nothing usable selected: a beep; a
//   row held by another user: a warning), close…Dlg false keeps the dialog
//   open, cancel… lets the row lock of an open properties dialog go.

// Remembers the latest modification time of a few files, so that a dialog
// refills only after someone changed them.
class FileWatch {
public:
    void remember(const std::vector<std::string>& paths);
    // The files changed since remember(); false when they cannot be read.
    bool changed(const std::vector<std::string>& paths) const;

private:
    static std::filesystem::file_time_type latest(const std::vector<std::string>& paths, bool& ok);
    std::filesystem::file_time_type stamp_{};
};

// "Administrative Units": the organisation's units as a tree. A unit's name
// is at most 24 characters, unique in the table without regard to case and
// free of "."; its fully qualified name ("A.B.C" for A under B under C) has
// at most 79 characters, and so has every unit's below it.
class UNITSDLG : public database::UNITSDB {
public:
    static constexpr std::size_t kMaxQualifiedName = 79;

    UNITSDLG(engine::Code4& code, const common::WorkingFolder& folder);
    ~UNITSDLG() override;

    // Units, posts and the personnel file pass isValid; otherwise tells
    // which does not.
    bool checkFile(common::Ui& ui);

    // Plain operations. addUnit gives the new unit's code (0 when refused or
    // not stored) under `parent` (0: at the top). renameUnit locks the row
    // ("This unit is currently locked by another user."); an unchanged name
    // only lets the lock go. deleteUnit (no question asked) refuses a unit
    // with sub-units, posts or employees, then locks the whole table.
    long addUnit(common::Ui& ui, const std::string& name, long parent);
    bool renameUnit(common::Ui& ui, long unit, const std::string& name);
    bool deleteUnit(common::Ui& ui, long unit);

    // The dialog face.
    bool initDlg(common::Ui& ui, common::DialogView& tree);
    // Reloads after another user's change, keeping the selected unit; true
    // when it reloaded.
    bool refreshDlg(common::DialogView& tree);
    void closeDlg();
    using UNITSDB::getSelUnitCode;
    long getSelUnitCode(const common::DialogView& tree) const {
        return getSelUnitCode(tree, unitsdlg::Tree);
    }
    // With units present but none selected: beep, false.
    bool initNewUnitDlg(common::Ui& ui, const common::DialogView& tree, common::DialogView& prpts);
    bool closeNewUnitDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& tree);
    // Locks the selected unit's row until closePrptsDlg or cancelPrptsDlg.
    bool initPrptsDlg(common::Ui& ui, const common::DialogView& tree, common::DialogView& prpts);
    bool closePrptsDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& tree);
    void cancelPrptsDlg();
    bool deleteUnit(common::Ui& ui, common::DialogView& tree);
    // The unit a properties dialog is open for; 0 when none.
    long editedUnit() const { return edited_; }

private:
    bool checkName(common::Ui& ui, std::string& name, long own, long parent);
    bool lockUnit(common::Ui& ui, long unit, bool& heldBefore);
    void fillTree(common::DialogView& tree, long select);
    void enableButtons(common::DialogView& tree);

    FileWatch watch_;
    bool opened_ = false;
    long edited_ = 0;
};

// "Posts": for each unit and job, how many permanent, contract, temporary
// and casual posts exist. A row whose four counts are all 0 is not kept, and
// no count may fall below the employees now occupying such posts.
class POSTSDLG : public database::POSTSDB {
public:
    POSTSDLG(engine::Code4& code, const common::WorkingFolder& folder);
    ~POSTSDLG() override;

    // Posts, units and jobs pass isValid and units and jobs hold data
    // ("Administrative Units", "Jobs"), and the personnel file passes
    // isValid.
    bool checkFiles(common::Ui& ui);
    // Posts exclusively, jobs and units shared, for work on the whole
    // table; false, with all closed, when one will not open.
    bool openFiles();
    void closeFiles();

    database::UNITSDB& units() { return units_; }
    database::JOBSDB& jobs() { return jobs_; }

    // Plain operation: stores the counts of `rec.unit` and `rec.job`, which
    // must exist. Counts run from 0 to 99999 and not below the current
    // occupants. It locks the unit's row ("This unit is currently locked by
    // another user."), then the posts row to change it, or the whole table
    // to delete it when all counts are 0; a missing row is appended unless
    // all counts are 0.
    bool setPosts(common::Ui& ui, const database::POSTREC& rec);

    // The dialog face.
    bool initDlg(common::Ui& ui, common::DialogView& view);
    bool refreshDlg(common::DialogView& view);
    void closeDlg();
    // The selected unit's posts, one row per job; keeps the selected job.
    void displayPosts(common::DialogView& view);
    // Locks the selected unit's row until closeEditDlg or cancelEditDlg.
    bool initEditDlg(common::Ui& ui, const common::DialogView& view, common::DialogView& edit);
    // The job choice changed: its counts in the unit, or zeros.
    void displayNumPosts(common::DialogView& edit);
    bool closeEditDlg(common::Ui& ui, common::DialogView& edit, common::DialogView& view);
    void cancelEditDlg();
    // The unit an "Edit Posts" dialog is open for; 0 when none.
    long editedUnit() const { return editedUnit_; }

private:
    std::vector<std::string> watched() const;
    bool openShared(common::Ui& ui);
    bool refuse(common::Ui& ui, const char* control, const std::string& text);

    database::UNITSDB units_;
    database::JOBSDB jobs_;
    FileWatch watch_;
    std::vector<database::DbTable*> openedByDlg_;
    long editedUnit_ = 0;
    // The control the last refused setPosts was refused for.
    const char* fault_ = nullptr;
};

// "Banks and Branches", shared by all organisations. A bank's name (24
// characters) is unique without regard to case, its code has 2 characters;
// a branch's name is unique within its bank, its code (3 characters) too.
class BANKSDLG : public database::BANKSDB {
public:
    BANKSDLG(engine::Code4& code, const common::WorkingFolder& folder);
    ~BANKSDLG() override;

    // Plain operations. Names and codes are trimmed and cut to their
    // columns. changeBank locks the bank row ("This bank is currently locked
    // by another user.") and every branch, whose bank name follows the new
    // name; changeBranch locks its bank's row ("The parent bank is currently
    // locked by another user.") and its own. Deletions ask no question; a
    // bank with branches is not deleted.
    bool addBank(common::Ui& ui, const std::string& name, const std::string& code);
    bool addBranch(common::Ui& ui, const std::string& bank, const std::string& name,
                   const std::string& code);
    bool changeBank(common::Ui& ui, const std::string& bank, const std::string& name,
                    const std::string& code);
    bool changeBranch(common::Ui& ui, const std::string& bank, const std::string& branch,
                      const std::string& name, const std::string& code);
    bool deleteBank(common::Ui& ui, const std::string& bank);
    bool deleteBranch(common::Ui& ui, const std::string& bank, const std::string& branch);

    // The stored code of a bank or branch; empty when there is none.
    std::string bankCode(const std::string& bank);
    std::string branchCode(const std::string& bank, const std::string& branch);

    // The dialog face.
    bool initDlg(common::Ui& ui, common::DialogView& tree);
    bool refreshDlg(common::DialogView& tree);
    void closeDlg();
    // The selection is a bank (a top-level item), or a branch (a child).
    static bool isBank(const common::DialogView& tree);
    static bool isBranch(const common::DialogView& tree);
    void initNewBankDlg(common::DialogView& prpts);
    bool closeNewBankDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& tree);
    // Needs a selected bank or branch: beep, false otherwise.
    bool initNewBranchDlg(common::Ui& ui, const common::DialogView& tree,
                          common::DialogView& prpts);
    bool closeNewBranchDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& tree);
    // Lock the bank's row until close…PrptsDlg or cancelPrptsDlg.
    bool initBankPrptsDlg(common::Ui& ui, const common::DialogView& tree,
                          common::DialogView& prpts);
    bool closeBankPrptsDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& tree);
    bool initBranchPrptsDlg(common::Ui& ui, const common::DialogView& tree,
                            common::DialogView& prpts);
    bool closeBranchPrptsDlg(common::Ui& ui, common::DialogView& prpts, common::DialogView& tree);
    void cancelPrptsDlg();
    bool deleteItem(common::Ui& ui, common::DialogView& tree);

private:
    bool openShared(common::Ui& ui);
    bool checkBank(common::Ui& ui, std::string& name, std::string& code, const std::string& own);
    bool checkBranch(common::Ui& ui, const std::string& bank, std::string& name, std::string& code,
                     const std::string& own);
    bool lockBank(common::Ui& ui, const std::string& bank, const char* lockedText,
                  bool& heldBefore);
    bool renameBranchesOf(const std::string& bank, const std::string& name);
    std::vector<std::string> watched();
    void fillTree(common::DialogView& tree, const std::string& bank, const std::string& branch);
    void enableButtons(common::DialogView& tree);

    bool refuse(common::Ui& ui, const char* control, const std::string& text);

    FileWatch watch_;
    std::vector<database::DbTable*> openedByDlg_;
    // The control the last refused operation was refused for.
    const char* fault_ = nullptr;
    // The bank and branch a properties dialog is open for.
    std::string editedBank_;
    std::string editedBranch_;
};

} // namespace kelo::setup
