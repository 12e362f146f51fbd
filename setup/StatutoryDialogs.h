#pragma once

#include "common/DialogView.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/IncomesDb.h"
#include "database/NssfDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "database/WcfDb.h"
#include "setup/StatutoryIncomesDlgControls.h"
#include "setup/StatutoryNssfDlgControls.h"
#include "setup/StatutoryPayeDlgControls.h"
#include "setup/StatutoryPayeParamDlgControls.h"
#include "setup/StatutorySdlDlgControls.h"
#include "setup/StatutoryWcfDlgControls.h"

#include <filesystem>
#include <vector>

namespace kelo::setup {

// The dialogs that edit the statutory tables: the PAYE bands, PAYE
// parameters, NSSF rates, SDL and WCF rates of a fiscal year, and the P10 income
// brackets. Each class has two faces:
// - plain operations (open, read, check and store records) that tell the user
//   of every refusal and failure through `Ui` and return false; the command
//   line and imports call them without a dialog;
// - the form face (init...Dlg, close...Dlg, ...) that only moves values
//   between the controls named in the Statutory*DlgControls.h headers and
//   records, and calls the operations. A close... that returns false keeps
//   its dialog open.
// Without the right to modify tax tables (setMayModify(false)) every change
// is refused with "You do not have the right to modify tax tables." and the
// forms show their values read-only: the SDL and WCF Rate dialogs open for
// every user.

// "Rates Table": the PAYE bands of a fiscal year, rows in physical order
// (list row i is record i + 1). Band chain: the first band's lower limit is
// fixed, each lower limit is one more than the previous upper limit, and the
// last band has no upper limit (stored equal to its lower limit, shown as
// "(None)"). Inserts and deletes lock the whole table; an edit locks its
// band from initEditRateDlg until closeEditRateDlg or cancelEditRateDlg.
class PAYEDLG : public database::PAYEDB {
public:
    PAYEDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);
    ~PAYEDLG() override;

    void setMayModify(bool may) { mayModify_ = may; }
    bool mayModify() const { return mayModify_; }

    // Plain operations; rows are record numbers, 1 for the first band.
    // Opens the year's table shared; tells why when it cannot.
    bool openRates(int year);
    // A band may follow `recNo`: neither none nor the last.
    bool canInsertAfter(long recNo);
    bool insertBand(long afterRecNo, const database::PAYEREC& band);
    // Locks `recNo` for an edit.
    bool beginEdit(long recNo);
    // Stores a band, keeping the first band's lower limit and the last
    // band's missing upper limit, and unlocks.
    bool editBand(long recNo, database::PAYEREC band);
    void endEdit();
    bool deleteBand(long recNo);
    // The chain of limits is whole; otherwise names the first broken link.
    bool checkLimits();
    // checkLimits, then closes the table.
    bool closeRates();

    // Form face. `window` is the "Rates Table" dialog, `row` "Rate
    // Properties". initDlg false: the table did not open, show no dialog.
    bool initDlg(common::DialogView& window, int year);
    // On each timer tick (payedlg::kRefreshSeconds).
    void refreshDlg(common::DialogView& window);
    bool initNewRateDlg(common::DialogView& window, common::DialogView& row);
    bool closeNewRateDlg(common::DialogView& window, common::DialogView& row);
    bool initEditRateDlg(common::DialogView& window, common::DialogView& row);
    bool closeEditRateDlg(common::DialogView& window, common::DialogView& row);
    void cancelEditRateDlg();
    bool deleteRate(common::DialogView& window);
    bool closeFile(common::DialogView& window);
    using PAYEDB::closeFile;

private:
    void fillList(common::DialogView& window, int selected);

    common::Ui& ui_;
    bool mayModify_ = true;
    long editRecNo_ = 0;
    std::filesystem::file_time_type modified_{};
};

// "Income Brackets for P10 Report": the system table of income brackets,
// kept like the PAYE bands except that a bracket's lower limit may also
// equal the previous upper limit and the first lower limit may be edited.
class INCOMESDLG : public database::INCOMESDB {
public:
    INCOMESDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);
    ~INCOMESDLG() override;

    void setMayModify(bool may) { mayModify_ = may; }
    bool mayModify() const { return mayModify_; }

    // Plain operations, as PAYEDLG's.
    bool openBrackets();
    bool canInsertAfter(long recNo);
    bool insertBracket(long afterRecNo, const database::INCOMEREC& bracket);
    bool beginEdit(long recNo);
    bool editBracket(long recNo, database::INCOMEREC bracket);
    void endEdit();
    bool deleteBracket(long recNo);
    bool checkLimits();
    bool closeBrackets();

    // Form face; `row` is the "Income Bracket" dialog.
    bool initDlg(common::DialogView& window);
    void refreshDlg(common::DialogView& window);
    bool initNewRecDlg(common::DialogView& window, common::DialogView& row);
    bool closeNewRecDlg(common::DialogView& window, common::DialogView& row);
    bool initEditRecDlg(common::DialogView& window, common::DialogView& row);
    bool closeEditRecDlg(common::DialogView& window, common::DialogView& row);
    void cancelEditRecDlg();
    bool deleteRec(common::DialogView& window);
    bool closeFile(common::DialogView& window);
    using INCOMESDB::closeFile;

private:
    void fillList(common::DialogView& window, int selected);

    common::Ui& ui_;
    bool mayModify_ = true;
    long editRecNo_ = 0;
    std::filesystem::file_time_type modified_{};
};

// "PAYE Parameters for %d/%d": the one record of the year's parameters. The
// table is opened shared from initDlg until closeDlg succeeds or cancelDlg,
// so that other users' pay calculations keep reading it; the record is
// locked only while it is stored.
class PAYEPARAMDLG : public database::PAYEPARAMDB {
public:
    PAYEPARAMDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);
    ~PAYEPARAMDLG() override;

    void setMayModify(bool may) { mayModify_ = may; }

    // Plain operations.
    bool openParams(int year);
    // The pension maximum a whole number of shillings, rates from 0 to 100;
    // false, storing nothing, when another user holds the record.
    bool storeParams(const database::PAYEPARAMREC& params);

    bool initDlg(common::DialogView& window, int year);
    // Reads the fields; a field that is not a number is refused, not stored
    // as 0. Closes the table when stored.
    bool closeDlg(common::DialogView& window);
    void cancelDlg();

private:
    common::Ui& ui_;
    bool mayModify_ = true;
};

// "NSSF Rates for %d/%d": employee and employer rates, percentages of
// monthly pay. Opened and stored as PAYEPARAMDLG.
class NSSFDLG : public database::NSSFDB {
public:
    NSSFDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);
    ~NSSFDLG() override;

    void setMayModify(bool may) { mayModify_ = may; }

    bool openRates(int year);
    bool storeRates(const database::NSSFREC& rates);

    bool initDlg(common::DialogView& window, int year);
    bool closeDlg(common::DialogView& window);
    void cancelDlg();

private:
    common::Ui& ui_;
    bool mayModify_ = true;
};

// "SDL Rate for %d/%d": the employer's rate, a percentage of gross pay.
// Opened and stored as PAYEPARAMDLG.
class SDLDLG : public database::SDLDB {
public:
    SDLDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);
    ~SDLDLG() override;

    void setMayModify(bool may) { mayModify_ = may; }

    bool openRate(int year);
    bool storeRate(const database::SDLREC& rate);

    bool initDlg(common::DialogView& window, int year);
    bool closeDlg(common::DialogView& window);
    void cancelDlg();

private:
    common::Ui& ui_;
    bool mayModify_ = true;
};

// "WCF Rate for %d/%d": the employer's Workers Compensation Fund rate, a
// percentage of gross emoluments. Opened and stored as SDLDLG, but a year
// folder made before the WCF table existed first gets one, copied from the
// year before or of the default rate, so that its rate can be reviewed.
class WCFDLG : public database::WCFDB {
public:
    WCFDLG(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);
    ~WCFDLG() override;

    void setMayModify(bool may) { mayModify_ = may; }

    bool openRate(int year);
    bool storeRate(const database::WCFREC& rate);

    bool initDlg(common::DialogView& window, int year);
    bool closeDlg(common::DialogView& window);
    void cancelDlg();

private:
    common::Ui& ui_;
    bool mayModify_ = true;
};

} // namespace kelo::setup
