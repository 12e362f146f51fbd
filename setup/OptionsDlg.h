#pragma once

#include "common/DialogView.h"
#include "common/OrgRecords.h"
#include "common/Ui.h"
#include "database/OptionsDb.h"
#include "setup/ReportOptions.h"
#include "setup/ReportOptionsCashListControls.h"
#include "setup/ReportOptionsControlAccountControls.h"
#include "setup/ReportOptionsDlgControls.h"
#include "setup/ReportOptionsMusterRollControls.h"
#include "setup/ReportOptionsPayslipControls.h"
#include "setup/ReportOptionsSortControls.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <utility>

namespace kelo::setup {

namespace payoptionsdlg {
// The payroll's own option in the Payroll Options dialog.
inline constexpr const char* TaxAverage = "TaxAverage"; // "Tax average monthly pay"
} // namespace payoptionsdlg

// The open organisation's report and payroll options as the dialogs show
// them: "Report Options" with its five option dialogs, and the Payroll
// Options dialog's "Tax average monthly pay" box (the organisation's other
// payroll options belong to ORGS).
//
// Two faces, as the other setup dialogs:
// - plain operations that read or store one dialog's set of options as a
//   record (setup/ReportOptions.h); they check every rule, tell the user of
//   every refusal and failure through `ui` and return false, storing
//   nothing;
// - the form face (initDlg, getSelRepID, display..., reset..., get...) that
//   moves values between the controls of the ReportOptions*Controls.h
//   headers and records and calls the operations. A get... that returns
//   false keeps its dialog open. A stored value that is none of a group's
//   choices leaves every radio button of the group unticked, so a Qt
//   button group must let display... untick them all.
//
// The table is never held while a dialog is open: each read opens it shared
// and each store exclusively, for that operation only, so that other users'
// reports and pay calculations go on reading the options meanwhile and a
// dialog's options are stored whole or not at all.
class OPTIONSDLG : public database::OPTIONSDB {
public:
    OPTIONSDLG(engine::Code4& code, const common::WorkingFolder& folder)
        : OPTIONSDB(code, folder) {}

    // The options table opens; otherwise tells why: "settings/options.dbf is
    // currently in use by another user." (warning), "Can't open
    // settings/options.dbf" (missing) or the damage found. The Report Options
    // dialog is shown only then. Reads tell the same; a store that finds the
    // table open elsewhere warns "Can't update settings/options.dbf because
    // another user is using it."
    bool checkFile(common::Ui& ui);
    using OPTIONSDB::checkFile;

    // Plain operations. reportId is a report of the full list
    // (setup/ReportOptions.h); any other is refused with "Please select a
    // report.".
    bool readSortKey(common::Ui& ui, std::int32_t reportId, int& sortKey);
    // sortKey kSortByName or kSortByNumber, else "Please choose how to sort
    // the report."
    bool storeSortKey(common::Ui& ui, std::int32_t reportId, int sortKey);
    bool readPSOptions(common::Ui& ui, PSOPTIONS& options);
    // Sort key as above; footer kNotSigned to kSignedByBoth, else "Please
    // choose who signs the payslips."
    bool storePSOptions(common::Ui& ui, const PSOPTIONS& options);
    bool readCAOptions(common::Ui& ui, CAOPTIONS& options);
    // Breakdown kGroupNone, kGroupByUnit or kGroupByStation, else "Please
    // choose the breakdown of the control account."
    bool storeCAOptions(common::Ui& ui, const CAOPTIONS& options);
    bool readMROptions(common::Ui& ui, MROPTIONS& options);
    // Sort key as above; grouping as the breakdown, else "Please choose the
    // grouping of the muster roll."
    bool storeMROptions(common::Ui& ui, const MROPTIONS& options);
    // The bits of notes and coins beyond the ten are dropped; none of the
    // ten reads as all ten.
    bool readCLOptions(common::Ui& ui, CLOPTIONS& options);
    // Sort key as above; at least one of the ten notes and coins, else
    // "Please tick at least one note or coin to pay out."
    bool storeCLOptions(common::Ui& ui, const CLOPTIONS& options);

    // Report Options: the reports of the user's menu type, the first
    // selected; no report is current yet.
    void initDlg(common::DialogView& dialog, const common::USERREC& user);
    // The selected report, found by its name among the user's reports, so
    // that no user reaches another menu's options; it becomes the current
    // report. 0, telling the user "Please select a report.", when there is
    // none.
    std::int32_t getSelRepID(common::Ui& ui, const common::DialogView& dialog,
                             const common::USERREC& user);
    std::int32_t currentReport() const { return currentReport_; }

    // The option dialogs. display... false: the options could not be read,
    // show no dialog.
    bool displayPSOptions(common::Ui& ui, common::DialogView& dialog);
    // When "Print in duplicate" changes: the signature group's title.
    void resetPSOptions(common::DialogView& dialog);
    bool getPSOptions(common::Ui& ui, const common::DialogView& dialog);
    bool displayCAOptions(common::Ui& ui, common::DialogView& dialog);
    bool getCAOptions(common::Ui& ui, const common::DialogView& dialog);
    bool displayMROptions(common::Ui& ui, common::DialogView& dialog);
    bool getMROptions(common::Ui& ui, const common::DialogView& dialog);
    bool displayCLOptions(common::Ui& ui, common::DialogView& dialog);
    // With no note or coin ticked, the group of them takes the focus.
    bool getCLOptions(common::Ui& ui, common::DialogView& dialog);
    // Sort Options of the current report.
    bool displaySortKey(common::Ui& ui, common::DialogView& dialog);
    bool getSortKey(common::Ui& ui, const common::DialogView& dialog);

    // The box shows the stored option; it is disabled when the options
    // table cannot be opened, and then nothing is stored.
    void displayPayOptions(common::DialogView& dialog);
    // False when the value could not be stored (another user holds it).
    bool getPayOptions(common::Ui& ui, const common::DialogView& dialog);

private:
    // Radio buttons and the value each stands for.
    using Choice = std::span<const std::pair<const char*, int>>;

    bool openToRead(common::Ui& ui);
    bool storeValues(common::Ui& ui, std::initializer_list<database::OptionValue> values);
    static bool checkReport(common::Ui& ui, std::int32_t reportId);
    static bool checkChoice(common::Ui& ui, int value, int last, const char* text);
    static void showChoice(common::DialogView& dialog, Choice buttons, int value);
    static int readChoice(const common::DialogView& dialog, Choice buttons);

    std::int32_t currentReport_ = 0;
};

} // namespace kelo::setup
