#pragma once

#include "common/DialogView.h"
#include "common/NoDialogView.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/LookupTable.h"
#include "database/PayFieldsFile.h"
#include "database/VarDb.h"
#include "engine/Code4.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kelo::staffrecords {

// The logic of the window in which the user defines the pay items of one
// pay frequency, one table (earnings, deductions, benefits, lump sums,
// refunds) at a time. The definitions live in the frequency's definitions
// file; adding, deleting or retyping an item rebuilds the frequency's
// transactions table with the item's columns, and a failed rebuild leaves
// table and file as they were. A change of type or function that gives the
// employees' values of an item a new meaning is asked first, and those
// values then start again as a new item's. Controls are named in
// FieldsFrmControls.h.
class FIELDSFRM {
public:
    FIELDSFRM(common::Ui& ui, common::DialogView& form, engine::Code4& code,
              const common::WorkingFolder& folder);
    // Without a window, for the operations alone (addItem).
    FIELDSFRM(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);

    // The co-operatives and pension funds tables must be there.
    bool checkFiles(common::Ui& ui, const common::ORGREC& org);
    // Loads the definitions of the organisation's pay frequency and shows the
    // first item of `table`.
    bool open(common::Ui& ui, common::FIELDSTABLE table, const common::ORGREC& org);
    void initFieldsWnd();

    // Each saves the item shown first and stays on it when that fails.
    bool nextRecord(common::Ui& ui, const common::ORGREC& org);
    bool previousRecord(common::Ui& ui, const common::ORGREC& org);
    bool firstRecord(common::Ui& ui, const common::ORGREC& org);
    bool lastRecord(common::Ui& ui, const common::ORGREC& org);

    // Appends `item` to the table opened by open() with every check the
    // form and its parameter dialogs make (their messages too), rebuilding
    // the transactions table and writing the definitions file. Position and
    // identifier are given here. For callers without a window: an item being
    // edited in the form is not saved first.
    bool addItem(common::Ui& ui, const common::PayItemDef& item);

    bool addRecord(common::Ui& ui, const common::ORGREC& org);
    bool deleteRecord(common::Ui& ui, const common::ORGREC& org);
    bool save(common::Ui& ui, const common::ORGREC& org);
    // Saves; false keeps the window open.
    bool close(common::Ui& ui, const common::ORGREC& org);

    // After the type or function list's choice changed.
    void resetType();
    void resetFunction();
    std::string getType() const;
    std::string getFunction() const;

    // "Percentage".
    void initPercentDlg(common::DialogView& dlg) const;
    bool getPercent(common::Ui& ui, common::DialogView& dlg);
    // "Limits".
    void displayLimits(common::DialogView& dlg) const;
    // Enables the limits while "Apply Limits" is ticked.
    static void resetLimits(common::DialogView& dlg);
    bool getLimits(common::Ui& ui, common::DialogView& dlg);
    // "Hourly Rate".
    void displayHourlyRate(common::DialogView& dlg) const;
    static void resetHourlyRate(common::DialogView& dlg);
    bool getHourlyRate(common::Ui& ui, common::DialogView& dlg);
    // "Select Name" for the co-operative.
    void displayCoop(common::DialogView& dlg) const;
    bool getCoop(common::Ui& ui, common::DialogView& dlg);
    // "Pension Fund Parameters".
    void displayPFParams(common::DialogView& dlg) const;
    static void resetEPFFunction(common::DialogView& dlg);
    bool getPFParams(common::Ui& ui, common::DialogView& dlg);

    // What the form holds: the saved definitions, and the item shown.
    const database::PayFieldTables& tables() const { return tables_; }
    const common::PayItemDef& item() const { return item_; }
    std::size_t current() const { return index_; }
    bool isNewItem() const { return isNew_; }

private:
    std::vector<common::PayItemDef>& list() { return tables_[static_cast<std::size_t>(table_)]; }
    const std::vector<common::PayItemDef>& list() const {
        return tables_[static_cast<std::size_t>(table_)];
    }
    std::size_t shownCount() const { return list().size() + (isNew_ ? 1 : 0); }
    void display();
    void displayButtons();
    void readForm();
    bool moveTo(common::Ui& ui, const common::ORGREC& org, std::size_t index);
    // Makes `next` the saved definitions: the table rebuilt (when `rebuild`)
    // and the file written; false, with nothing changed, when either fails.
    // The items of `restart` start again as new items in every row.
    bool commit(common::Ui& ui, database::PayFieldTables next, bool rebuild,
                const database::PayItemIds& restart = {});
    // "Can't write to %s" when the definitions file cannot be written.
    bool writeFile(common::Ui& ui, const database::PayFieldTables& tables);
    bool readLookups(common::Ui& ui);

    common::NoDialogView noForm_;
    common::Ui& ui_;
    common::DialogView& form_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    common::PAYFREQ payFreq_ = common::MONTHLY;
    std::string orgFolder_;
    common::FIELDSTABLE table_ = common::EARNINGS;
    database::PayFieldTables tables_;
    common::PayItemDef item_;
    std::size_t index_ = 0;
    bool isNew_ = false;
    std::vector<database::LookupEntry> coops_, funds_;
};

} // namespace kelo::staffrecords
