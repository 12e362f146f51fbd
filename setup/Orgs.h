#pragma once

#include "common/DialogView.h"
#include "common/OrgRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/BanksDb.h"
#include "database/OrgDb.h"

#include <memory>
#include <string>

namespace kelo::setup {

// Control names of the organisation dialogs.
namespace orgdlg { // New Organisation and Basic Organisation Info
inline constexpr const char* Name = "Name";
inline constexpr const char* Month = "Month";
inline constexpr const char* Year = "Year";
inline constexpr const char* PoBox = "PoBox";
inline constexpr const char* Town = "Town";
inline constexpr const char* PostCode = "PostCode";
inline constexpr const char* Telephone = "Telephone";
inline constexpr const char* Folder = "Folder";
} // namespace orgdlg
namespace orglistdlg { // Open and Delete Organisation
inline constexpr const char* List = "OrgList";
} // namespace orglistdlg
namespace cautiontext { // the Caution dialog's text
inline constexpr const char* Text = "CautionText";
} // namespace cautiontext
namespace payinfodlg {
inline constexpr const char* ItNum = "ItNum";
inline constexpr const char* NssfNum = "NssfNum";
inline constexpr const char* RegionalCode = "RegionalCode";
inline constexpr const char* Bank = "Bank";
inline constexpr const char* Branch = "Branch";
inline constexpr const char* AccountNum = "AccountNum";
inline constexpr const char* SfiSenderId = "SfiSenderId";
} // namespace payinfodlg
namespace payoptionsdlg {
inline constexpr const char* TaxEmployerPension = "TaxEmployerPension";
inline constexpr const char* PaySdl = "PaySdl";
inline constexpr const char* PayExact = "PayExact";
inline constexpr const char* RoundDown = "RoundDown";
inline constexpr const char* RoundingUnit = "RoundingUnit";
} // namespace payoptionsdlg
namespace genoptionsdlg {
inline constexpr const char* SortByNumber = "SortByNumber";
inline constexpr const char* SortByLastName = "SortByLastName";
inline constexpr const char* RetainReports = "RetainReports";
inline constexpr const char* PurgeReports = "PurgeReports";
inline constexpr const char* PurgeAge = "PurgeAge";
} // namespace genoptionsdlg

// The organisations of a data folder: creating, listing, opening and
// deleting them, the open organisation's record and dialogs, and the advance
// of its pay periods and month. Opening an organisation moves the working
// folder to the organisation's folder.
class ORGS : public database::ORGDB {
public:
    static constexpr int kMaxOrganisations = 99;

    // `ui` shows messages and progress texts.
    ORGS(common::Ui& ui, engine::Code4& code, common::WorkingFolder& folder);
    ~ORGS() override;

    int orgCount();
    int hasMaxOrg();

    void initNewOrgDlg(common::DialogView& dialog);
    int createNewOrg(common::DialogView& dialog);
    int initOrgList(common::DialogView& dialog, const std::string& caption);
    int openSelOrg(common::DialogView& dialog);
    void initDelOrgDlg(common::DialogView& caution);
    int deleteOrg(common::DialogView& dialog);

    void displayBasicInfo(common::DialogView& dialog);
    int saveBasicInfo(common::DialogView& dialog);
    void displayPayInfo(common::DialogView& dialog);
    void resetBranches(common::DialogView& dialog);
    int savePayInfo(common::DialogView& dialog);
    void closeBankFiles();
    void displayPayOptions(common::DialogView& dialog);
    void resetRounding(common::DialogView& dialog);
    int savePayOptions(common::DialogView& dialog);
    void initGenOptnDlg(common::DialogView& dialog);
    void resetGenOptnDlg(common::DialogView& dialog);
    int closeGenOptnDlg(common::DialogView& dialog);

    void initPeriodEndDlg(common::DialogView& caution);
    void initMonEndDlg(common::DialogView& caution);
    void incrPeriodEndDay(common::PAYFREQ payFreq, int atMonthEnd);
    void incrMonth();
    void incrBTrFileID();
    void delRepFiles();

    const common::ORGREC* getOpenOrg() const { return &open_; }
    int fiscalYear() const { return open_.fiscalYear; }
    // "Kelo Roster - <name>", the main window's caption while it is open.
    std::string caption() const;

    // The PAYE, NSSF, PAYE parameters and SDL tables of the open
    // organisation's fiscal year, from the previous year or from
    // `sourceFolder`; 0 when they exist already, 1 when made.
    int newStatutoryFiles(const std::string& sourceFolder);

private:
    enum class Purpose { Create, Edit };
    bool validate(common::DialogView& dialog, Purpose purpose);
    bool createOrgFiles();
    bool writeDefaultFieldsFile(common::PAYFREQ payFreq);
    bool removeOrgFiles(const std::string& folder, bool wholeTree);
    void renumber();
    bool saveOpenRec(const std::string& previousName = {});
    void loadOpenRec();

    common::Ui& ui_;
    common::WorkingFolder& folder_;
    common::ORGREC open_;
    std::unique_ptr<database::BANKSDB> banks_;
};

} // namespace kelo::setup
