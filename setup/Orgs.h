#pragma once

#include "common/DialogView.h"
#include "common/OrgRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/BanksDb.h"
#include "database/OrgDb.h"
#include "setup/Backup.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kelo::setup {

// Control names of the organisation dialogs.
namespace orgdlg { // New Organisation (Name, Month, Year) and Basic Organisation Info
inline constexpr const char* Name = "Name";
inline constexpr const char* Month = "Month"; // list of the twelve month names
inline constexpr const char* Year = "Year";
inline constexpr const char* PoBox = "PoBox";
inline constexpr const char* Town = "Town";
inline constexpr const char* PostCode = "PostCode";
inline constexpr const char* Telephone = "Telephone";
inline constexpr const char* Folder = "Folder"; // static text: the full path
} // namespace orgdlg
namespace orglistdlg {                         // Open Organisation and Delete Organisation
inline constexpr const char* List = "OrgList"; // names; codes are organisation numbers
} // namespace orglistdlg
namespace cautiondlg { // the Caution dialog's message line (its password: setup/Users.h)
inline constexpr const char* Text = "CautionText";
} // namespace cautiondlg
namespace payinfodlg { // Payroll Info
inline constexpr const char* ItNum = "ItNum";
inline constexpr const char* NssfNum = "NssfNum";
inline constexpr const char* RegionalCode = "RegionalCode";
inline constexpr const char* Bank = "Bank";     // list: an empty entry, then the banks
inline constexpr const char* Branch = "Branch"; // list: an empty entry, then the bank's branches
inline constexpr const char* AccountNum = "AccountNum";
inline constexpr const char* SfiSenderId = "SfiSenderId";
} // namespace payinfodlg
namespace payoptionsdlg { // Payroll Options, organisation part
inline constexpr const char* TaxEmployerPension = "TaxEmployerPension";
inline constexpr const char* PaySdl = "PaySdl";
inline constexpr const char* PayExact = "PayExact";   // radio "Pay exact amount"
inline constexpr const char* RoundDown = "RoundDown"; // radio "Round down to nearest Tsh"
inline constexpr const char* RoundingUnit = "RoundingUnit";
} // namespace payoptionsdlg
namespace genoptionsdlg {                                       // General Options
inline constexpr const char* SortByNumber = "SortByNumber";     // radio "Employee Number"
inline constexpr const char* SortByLastName = "SortByLastName"; // radio "Last Name"
inline constexpr const char* RetainReports = "RetainReports";   // radio "Retain indefinitely"
inline constexpr const char* PurgeReports = "PurgeReports";     // radio "Purge after"
inline constexpr const char* PurgeAge = "PurgeAge";             // years
} // namespace genoptionsdlg
namespace payfreqdlg { // Pay Frequency: one radio per payroll
inline constexpr const char* Monthly = "Monthly";
inline constexpr const char* Weekly = "Weekly";
inline constexpr const char* Biweekly = "Biweekly";
inline constexpr const char* Irregular = "Irregular";
} // namespace payfreqdlg

// The organisations of a data folder: creating, listing, opening and
// deleting them, the open organisation's record and dialogs, and the advance
// of its pay periods and month. Opening an organisation moves the working
// folder to the organisation's folder. Every change of the open record is
// written back to its row at once; a row another user holds is left as it
// was, silently, while the open record keeps the new values. Backup and
// restore run setup/Backup.h's procedures on the open record; passwords are
// checked by USERS before the caller gets here.
class ORGS : public database::ORGDB {
public:
    static constexpr int kMaxOrganisations = common::kMaxOrganisations;
    static constexpr long kMinYear = 1900;
    static constexpr long kMaxYear = 3000;
    static constexpr std::int32_t kMinPurgeAge = 2;

    // `ui` shows messages and progress texts. Opens the organisations table;
    // no organisation is open yet.
    ORGS(common::Ui& ui, engine::Code4& code, common::WorkingFolder& folder);
    ~ORGS() override;

    // The organisations table is open (opened again if it was not); when it
    // cannot be, tells the user which file failed and why. A table that
    // cannot be read is never taken for an empty one: nothing that creates or
    // deletes an organisation runs without it.
    bool checkTable();
    // An empty table is a first start only when no organisation folder holds
    // files; otherwise the table lost its rows, and the user is told so.
    bool isFirstStart();
    // Rows in the table; 0 when it is not open (ask checkTable first).
    int orgCount();
    // 1, telling the user, when 99 organisations exist or the table cannot
    // be read.
    int hasMaxOrg();

    // New Organisation. createNewOrg makes the folder tree and every table,
    // appends the row last and opens the organisation; 1 on success. A
    // failure leaves no folder and no row behind and the working folder as
    // it was. The user name is not needed.
    void initNewOrgDlg(common::DialogView& dialog);
    int createNewOrg(common::DialogView& dialog, std::string_view userName = {});
    // Open and Delete Organisation: every organisation but the open one.
    int initOrgList(common::DialogView& dialog, const std::string& caption);
    int openSelOrg(common::DialogView& dialog, std::string_view userName = {});
    void initDelOrgDlg(common::DialogView& caution);
    // Asks twice, removes the folder and the row, and renumbers the folders
    // that follow (the open organisation's record follows its folder).
    int deleteOrg(common::DialogView& dialog, std::string_view userName = {});

    // Basic Organisation Info.
    void displayBasicInfo(common::DialogView& dialog);
    int saveBasicInfo(common::DialogView& dialog);
    // Payroll Info: the banks tables stay open from display to save or
    // closeBankFiles.
    void displayPayInfo(common::DialogView& dialog);
    void resetBranches(common::DialogView& dialog);
    int savePayInfo(common::DialogView& dialog);
    void closeBankFiles();
    // Payroll Options (organisation part) and General Options.
    void displayPayOptions(common::DialogView& dialog);
    void resetRounding(common::DialogView& dialog);
    int savePayOptions(common::DialogView& dialog);
    void initGenOptnDlg(common::DialogView& dialog);
    void resetGenOptnDlg(common::DialogView& dialog);
    int closeGenOptnDlg(common::DialogView& dialog);
    // Pay Frequency: the payroll the clerk works on, checked among the
    // radios; close stores the one checked (0 when none is).
    void initPayFreqDlg(common::DialogView& dialog);
    int closePayFreqDlg(common::DialogView& dialog);

    // The Caution dialog's caption and text before a period end (weekly,
    // biweekly and irregular payrolls) or a month end.
    void initPeriodEndDlg(common::DialogView& caution);
    void initMonEndDlg(common::DialogView& caution);
    // Advances one frequency's period: at a period close (atMonthEnd 0) or
    // to the first period end of the next month (atMonthEnd 1).
    void incrPeriodEndDay(common::PAYFREQ payFreq, int atMonthEnd);
    // The next month; January makes the new year folder, July starts the
    // next fiscal year.
    void incrMonth();
    void incrBTrFileID();
    // Removes the report year folders older than purgeAge years.
    void delRepFiles();

    // All zero and empty while no organisation is open.
    const common::ORGREC* getOpenOrg() const { return &open_; }
    int fiscalYear() const { return open_.fiscalYear; }
    // "Kelo Roster - <name>", the main window's caption while it is open.
    std::string caption() const;

    // Backs the open organisation up, asking for the file; 1 when written
    // completely. Restore replaces its data from a backup the user chooses
    // and stores the restored record; 1 when every disk was restored.
    int backup(BackupDrive& drive, BackupClock& clock);
    int restore(BackupDrive& drive, BackupClock& clock);

    // The operations behind the organisation dialogs, for callers without
    // one (the demo builder, the command line, imports). Each checks the
    // same rules and tells the same messages as its dialog; texts longer
    // than their column are cut to it.
    struct NewOrg {
        std::string name;
        std::string month; // "January" ... "December", any case
        std::int32_t year = 0;
    };
    int createOrg(const NewOrg& org);
    struct BasicInfo {
        std::string name;
        std::string poBox;
        std::string town;
        std::string postCode;
        std::string telephone;
        std::string month; // taken only while the month may still change
        std::int32_t year = 0;
    };
    int setBasicInfo(const BasicInfo& info);
    struct PayInfo {
        std::string itNum;
        std::string nssfNum;
        std::string regionalCode;
        std::string bankName;
        std::string branchName;
        std::string accountNum;
        std::string sfiSenderId;
    };
    int setPayInfo(const PayInfo& info);
    // `roundingUnit` 0 pays the exact amount; otherwise net pay in cash is
    // rounded down to it.
    int setPayOptions(bool taxEmployerPension, bool paySdl, std::int32_t roundingUnit);
    // The payroll whose transactions, pay fields and period end the program
    // works on; 0, storing nothing, for a value that names no payroll.
    int setPayFreq(common::PAYFREQ payFreq);

    // The statutory tables of the open organisation's fiscal year
    // (setup/StatutoryFiles.h); 0 when they exist already, 1 when made.
    int newStatutoryFiles(const std::string& sourceFolder);

private:
    enum class Purpose { Create, Edit };
    struct Entry {
        std::string name;
        std::string month;
        std::int32_t year = 0;
    };
    enum class EntryField { Name, Year, Month };
    // Name, year and month as typed, checked; nullopt after telling the user
    // (a blank month is refused silently), with the field at fault.
    std::optional<Entry> checkEntry(const std::string& name, const std::string& year,
                                    const std::string& month, Purpose purpose, EntryField& fault);
    // The same from the dialog's fields, focusing the field at fault.
    std::optional<Entry> readEntry(common::DialogView& dialog, Purpose purpose);
    int createFromEntry(const Entry& entry);
    int storeBasicInfo(const Entry& entry, const BasicInfo& info);
    bool nameTaken(const std::string& name, Purpose purpose);
    bool createOrgFiles(const common::ORGREC& org);
    bool appendOrgRec(const common::ORGREC& org);
    void renumber();
    // Writes the open record into the row named `previousName` (its own name
    // when empty) under the row's lock; false, writing nothing, when the row
    // is missing or locked.
    bool saveOpenRec(const std::string& previousName = {});
    void moveToOpenOrg();

    common::Ui& ui_;
    common::WorkingFolder& folder_;
    common::ORGREC open_;
    std::unique_ptr<database::BANKSDB> banks_;
};

} // namespace kelo::setup
