#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelo::common {

// Pay frequency; the value also selects the per-frequency files.
enum PAYFREQ : std::int32_t { MONTHLY = 0, WEEKLY = 1, BIWEEKLY = 2, IRREGULAR = 3 };

inline constexpr std::size_t kPayFreqCount = 4;
// Ordinary loops over all frequencies.
inline constexpr std::array<PAYFREQ, kPayFreqCount> kPayFreqs{MONTHLY, WEEKLY, BIWEEKLY, IRREGULAR};
// The month end closes the shortest periods first.
inline constexpr std::array<PAYFREQ, kPayFreqCount> kMonthEndOrder{IRREGULAR, BIWEEKLY, WEEKLY,
                                                                   MONTHLY};

bool isValidPayFreq(std::int32_t value);
// "Monthly", "Weekly", "Biweekly", "Irregular"; empty for a value out of range.
std::string_view payFreqLabel(PAYFREQ payFreq);
// Relative to the organisation folder, e.g. "database/monpay.dbf"; empty out of range.
std::string_view transactionsTablePath(PAYFREQ payFreq);
// The frequency's pay field definitions, e.g. "database/monpay.dat"; empty out of range.
std::string_view payFieldDefinitionsPath(PAYFREQ payFreq);

// What kind of update the personnel, transactions and leave stores make.
enum UPDATEMODE : std::int32_t {
    UPDATE_ON_CLOSE = 0,
    UPDATE_PERIOD_END = 1,
    UPDATE_MONTH_END = 2,
    UPDATE_YEAR_END = 3,
    UPDATE_AFTER_MONTH_END = 4,
};

// Most characters each text field of ORGREC holds.
struct OrgWidths {
    static constexpr std::size_t kNameWidth = 59;
    static constexpr std::size_t kItNumWidth = 19;
    static constexpr std::size_t kNssfNumWidth = 19;
    static constexpr std::size_t kRegionalCodeWidth = 9;
    static constexpr std::size_t kPoBoxWidth = 9;
    static constexpr std::size_t kTownWidth = 19;
    static constexpr std::size_t kPostCodeWidth = 9;
    static constexpr std::size_t kTelephoneWidth = 19;
    static constexpr std::size_t kFolderWidth = 19;
    static constexpr std::size_t kMonthWidth = 19;
    static constexpr std::size_t kBankNameWidth = 24;
    static constexpr std::size_t kBranchNameWidth = 24;
    static constexpr std::size_t kAccountNumWidth = 24;
    static constexpr std::size_t kSfiSenderIdWidth = 5;
};

inline constexpr std::int32_t kMaxOrganisations = 99;

// ORGREC::formSortKey
inline constexpr std::int32_t kSortByEmpNum = 0;
inline constexpr std::int32_t kSortByLastName = 1;

// The organisation record. A default-constructed record (all zero, empty
// texts) is what callers see while no organisation is open.
struct ORGREC {
    std::int32_t orgNum = 0; // the row number in the organisations table; not a column
    std::string name;
    std::string itNum;
    std::string nssfNum;
    std::string regionalCode;
    std::string poBox;
    std::string town;
    std::string postCode;
    std::string telephone;
    std::string folder; // orgFolder(orgNum), relative to the working folder
    std::int32_t weekEndDay = 0;
    std::int32_t fortnightEndDay = 0;
    std::int32_t irregEndDay = 0; // number of the irregular period within the month
    std::string month;            // "January" ... "December"
    std::int32_t year = 0;
    std::int32_t fiscalYear = 0; // named by the calendar year it begins in
    int monthEditable = 0;
    int weekEndEditable = 0;
    int fortnightEndEditable = 0;
    std::string bankName;
    std::string branchName;
    std::string accountNum;
    std::string sfiSenderId;
    std::int32_t bTrFileID = 0;
    PAYFREQ payFreq = MONTHLY;
    std::int32_t formSortKey = kSortByEmpNum;
    int purgeReports = 0;
    std::int32_t purgeAge = 0; // years; at least 2 once set
    int taxEmployerPension = 0;
    int paySdl = 0;
    int roundNetPay = 0;
    std::int32_t roundingUnit = 0; // shillings; greater than 0 once set
};

// "../org09" for organisation 9: relative to the system folder or any
// organisation folder alike.
std::string orgFolder(std::int32_t orgNum);

// The values a new organisation starts with; name, month, year and fiscal
// year are left for the caller, who has them from the user.
ORGREC newOrgRec(std::int32_t orgNum);

// Most characters each text field of USERREC holds.
struct UserWidths {
    static constexpr std::size_t kUserNameWidth = 19;
    static constexpr std::size_t kPasswordWidth = 19;
    static constexpr std::size_t kLastNameWidth = 19;
    static constexpr std::size_t kOtherNamesWidth = 29;
};

// USERREC::menuType: which main menu the program loads.
inline constexpr std::int32_t kFullMenu = 0;
inline constexpr std::int32_t kPersonnelMenu = 1;
inline constexpr std::int32_t kPayrollMenu = 2;

// The logged-in user.
struct USERREC {
    std::string userName;
    std::string password; // compared exactly
    std::string lastName;
    std::string otherNames;
    std::int32_t menuType = kFullMenu;
    int editEmpFiles = 0;
    int modifyFields = 0;
    int setupOrg = 0;
    int closePeriod = 0;
    int restoreFiles = 0;
    int modifyTaxTables = 0;
    int addDeleteOrgs = 0;
    int manageUsers = 0;
    // Not stored: data-wide commands stay disabled while it is 0.
    int exclusiveAccess = 0;
};

} // namespace kelo::common
