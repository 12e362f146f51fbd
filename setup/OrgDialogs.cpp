// The organisation dialogs: New Organisation, Basic Organisation Info,
// Payroll Info, Payroll Options, General Options and the Caution texts.
#include "common/Calendar.h"
#include "common/ReportRecords.h"
#include "common/Text.h"
#include "setup/Orgs.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <limits>

namespace kelo::setup {

namespace fs = std::filesystem;
using common::DialogView;
using W = common::OrgWidths;

namespace {

// The name field is read this far before it is checked.
constexpr std::size_t kNameFieldWidth = 99;
// The widest purge age the organisations table stores.
constexpr long kMaxPurgeAge = 9999;

// Trimmed, then cut to the column's width.
std::string fitted(const std::string& text, std::size_t width) {
    return common::trimRight(common::fitText(common::trim(text), width));
}

// A whole decimal number, blanks around it allowed, nothing else.
bool readWhole(std::string_view text, long& value) {
    const std::string trimmed = common::trim(text);
    const char* end = trimmed.data() + trimmed.size();
    const auto result = std::from_chars(trimmed.data(), end, value);
    return !trimmed.empty() && result.ec == std::errc() && result.ptr == end;
}

std::string selectedText(const DialogView& dialog, const char* control) {
    const int row = dialog.selectedRow(control);
    return row < 0 ? dialog.text(control) : dialog.itemText(control, row);
}

// Bank and branch names compare without regard to case.
int findName(const DialogView& dialog, const char* control, std::string_view name) {
    for (int row = 0; row < dialog.itemCount(control); ++row) {
        if (common::equalsIgnoreCase(dialog.itemText(control, row), name))
            return row;
    }
    return -1;
}

void fillMonths(DialogView& dialog, int selected) {
    dialog.clearItems(orgdlg::Month);
    for (int m = 1; m <= 12; ++m)
        dialog.addItem(orgdlg::Month, common::monthName(m), m);
    dialog.selectRow(orgdlg::Month, selected - 1);
}

// An empty entry, then the names; `wanted` (or the empty entry) selected.
void fillList(DialogView& dialog, const char* control, const std::vector<std::string>& names,
              std::string_view wanted) {
    dialog.clearItems(control);
    dialog.addItem(control, "");
    for (const std::string& name : names)
        dialog.addItem(control, name);
    dialog.selectRow(control, std::max(0, findName(dialog, control, wanted)));
}

// An option's number field follows its radio button.
void showOption(DialogView& dialog, const char* field, bool chosen, std::int32_t value) {
    dialog.setText(field, chosen ? std::to_string(value) : "");
    dialog.setEnabled(field, chosen);
}

} // namespace

void ORGS::initNewOrgDlg(DialogView& dialog) {
    dialog.setCaption("New Organisation");
    const common::date today = common::date::today();
    dialog.setText(orgdlg::Name, "");
    fillMonths(dialog, today.month);
    dialog.setText(orgdlg::Year, std::to_string(today.year));
}

bool ORGS::nameTaken(const std::string& name, Purpose purpose) {
    if (!isOpen() || !findByName(name))
        return false;
    return purpose == Purpose::Create || data()->recNo() != open_.orgNum;
}

std::optional<ORGS::Entry> ORGS::checkEntry(const std::string& name, const std::string& year,
                                            const std::string& month, Purpose purpose,
                                            EntryField& fault) {
    const std::string typed = fitted(name, kNameFieldWidth);
    fault = EntryField::Name;
    if (typed.empty()) {
        ui_.information("Please enter name of organisation.");
        return std::nullopt;
    }
    Entry entry;
    entry.name = common::trimRight(common::fitText(typed, W::kNameWidth));
    if (nameTaken(entry.name, purpose)) {
        ui_.information("Organisation with this name already exists. Please enter a different "
                        "name.");
        return std::nullopt;
    }
    fault = EntryField::Year;
    long number = 0;
    if (!readWhole(year, number) || number < kMinYear || number > kMaxYear) {
        ui_.information("Entry for year field is invalid.");
        return std::nullopt;
    }
    entry.year = static_cast<std::int32_t>(number);
    fault = EntryField::Month;
    const int monthNumber = common::monthNumber(common::trim(month));
    if (monthNumber == 0)
        return std::nullopt;
    entry.month = common::monthName(monthNumber);
    return entry;
}

std::optional<ORGS::Entry> ORGS::readEntry(DialogView& dialog, Purpose purpose) {
    EntryField fault = EntryField::Name;
    std::optional<Entry> entry = checkEntry(dialog.text(orgdlg::Name), dialog.text(orgdlg::Year),
                                            selectedText(dialog, orgdlg::Month), purpose, fault);
    if (!entry && fault != EntryField::Month)
        dialog.setFocus(fault == EntryField::Name ? orgdlg::Name : orgdlg::Year);
    return entry;
}

void ORGS::displayBasicInfo(DialogView& dialog) {
    dialog.setText(orgdlg::Name, open_.name);
    dialog.setText(orgdlg::Folder, folder_.resolve(open_.folder));
    dialog.setText(orgdlg::PoBox, open_.poBox);
    dialog.setText(orgdlg::Town, open_.town);
    dialog.setText(orgdlg::PostCode, open_.postCode);
    dialog.setText(orgdlg::Telephone, open_.telephone);
    fillMonths(dialog, common::monthNumber(open_.month));
    dialog.setText(orgdlg::Year, std::to_string(open_.year));
    dialog.setEnabled(orgdlg::Month, open_.monthEditable != 0);
    dialog.setEnabled(orgdlg::Year, open_.monthEditable != 0);
}

int ORGS::saveBasicInfo(DialogView& dialog) {
    if (open_.orgNum == 0)
        return 0;
    const std::optional<Entry> entry = readEntry(dialog, Purpose::Edit);
    if (!entry)
        return 0;
    BasicInfo info;
    info.poBox = dialog.text(orgdlg::PoBox);
    info.postCode = dialog.text(orgdlg::PostCode);
    info.town = dialog.text(orgdlg::Town);
    info.telephone = dialog.text(orgdlg::Telephone);
    return storeBasicInfo(*entry, info);
}

int ORGS::setBasicInfo(const BasicInfo& info) {
    if (open_.orgNum == 0)
        return 0;
    EntryField fault = EntryField::Name;
    const std::optional<Entry> entry =
        checkEntry(info.name, std::to_string(info.year), info.month, Purpose::Edit, fault);
    return entry ? storeBasicInfo(*entry, info) : 0;
}

int ORGS::storeBasicInfo(const Entry& entry, const BasicInfo& info) {
    const std::string previousName = open_.name;
    open_.name = entry.name;
    open_.poBox = fitted(info.poBox, W::kPoBoxWidth);
    open_.postCode = fitted(info.postCode, W::kPostCodeWidth);
    open_.town = fitted(info.town, W::kTownWidth);
    open_.telephone = fitted(info.telephone, W::kTelephoneWidth);
    if (open_.monthEditable) {
        if (entry.year != open_.year) {
            const std::string to = folder_.resolve(std::to_string(entry.year));
            std::error_code error;
            fs::rename(folder_.resolve(std::to_string(open_.year)), to, error);
            // Without its old folder the year still needs one for its reports.
            if (error)
                fs::create_directories(to, error);
            open_.year = entry.year;
        }
        open_.month = entry.month;
        const int length = common::daysInMonth(common::monthNumber(open_.month), open_.year);
        for (std::int32_t* day : {&open_.weekEndDay, &open_.fortnightEndDay, &open_.irregEndDay})
            *day = std::min(*day, length);
        open_.fiscalYear = common::fiscalYearOf(common::monthNumber(open_.month), open_.year);
    }
    saveOpenRec(previousName);
    return 1;
}

void ORGS::displayPayInfo(DialogView& dialog) {
    dialog.setText(payinfodlg::ItNum, open_.itNum);
    dialog.setText(payinfodlg::NssfNum, open_.nssfNum);
    dialog.setText(payinfodlg::RegionalCode, open_.regionalCode);
    banks_ = std::make_unique<database::BANKSDB>(code(), folder_);
    banks_->openFiles();
    code().setErrorCode(0);
    fillList(dialog, payinfodlg::Bank, banks_->bankNames(), open_.bankName);
    fillList(dialog, payinfodlg::Branch, banks_->branchNames(open_.bankName), open_.branchName);
    dialog.setText(payinfodlg::AccountNum, open_.accountNum);
    dialog.setText(payinfodlg::SfiSenderId, open_.sfiSenderId);
}

void ORGS::resetBranches(DialogView& dialog) {
    std::vector<std::string> branches;
    if (banks_)
        branches = banks_->branchNames(selectedText(dialog, payinfodlg::Bank));
    fillList(dialog, payinfodlg::Branch, branches, {});
    dialog.setText(payinfodlg::AccountNum, "");
}

int ORGS::savePayInfo(DialogView& dialog) {
    PayInfo info;
    info.itNum = dialog.text(payinfodlg::ItNum);
    info.nssfNum = dialog.text(payinfodlg::NssfNum);
    info.regionalCode = dialog.text(payinfodlg::RegionalCode);
    info.bankName = selectedText(dialog, payinfodlg::Bank);
    info.branchName = selectedText(dialog, payinfodlg::Branch);
    info.accountNum = dialog.text(payinfodlg::AccountNum);
    info.sfiSenderId = dialog.text(payinfodlg::SfiSenderId);
    const int saved = setPayInfo(info);
    closeBankFiles();
    return saved;
}

int ORGS::setPayInfo(const PayInfo& info) {
    open_.itNum = fitted(info.itNum, W::kItNumWidth);
    open_.nssfNum = fitted(info.nssfNum, W::kNssfNumWidth);
    open_.regionalCode = fitted(info.regionalCode, W::kRegionalCodeWidth);
    // Bank and branch are names from the lists, kept as listed.
    open_.bankName = std::string(common::fitText(info.bankName, W::kBankNameWidth));
    open_.branchName = std::string(common::fitText(info.branchName, W::kBranchNameWidth));
    open_.accountNum = fitted(info.accountNum, W::kAccountNumWidth);
    open_.sfiSenderId = fitted(info.sfiSenderId, W::kSfiSenderIdWidth);
    saveOpenRec();
    return 1;
}

void ORGS::closeBankFiles() {
    if (banks_)
        banks_->closeFiles();
    banks_.reset();
}

void ORGS::displayPayOptions(DialogView& dialog) {
    dialog.setChecked(payoptionsdlg::TaxEmployerPension, open_.taxEmployerPension != 0);
    dialog.setChecked(payoptionsdlg::PaySdl, open_.paySdl != 0);
    dialog.setChecked(payoptionsdlg::RoundDown, open_.roundNetPay != 0);
    dialog.setChecked(payoptionsdlg::PayExact, open_.roundNetPay == 0);
    resetRounding(dialog);
}

void ORGS::resetRounding(DialogView& dialog) {
    showOption(dialog, payoptionsdlg::RoundingUnit, dialog.isChecked(payoptionsdlg::RoundDown),
               open_.roundingUnit);
}

int ORGS::savePayOptions(DialogView& dialog) {
    const bool rounding = dialog.isChecked(payoptionsdlg::RoundDown);
    long unit = 0;
    if (rounding && (!readWhole(dialog.text(payoptionsdlg::RoundingUnit), unit) || unit <= 0 ||
                     unit > std::numeric_limits<std::int32_t>::max())) {
        ui_.information("Entry for rounding amount is invalid.");
        dialog.setFocus(payoptionsdlg::RoundingUnit);
        return 0;
    }
    return setPayOptions(dialog.isChecked(payoptionsdlg::TaxEmployerPension),
                         dialog.isChecked(payoptionsdlg::PaySdl),
                         rounding ? static_cast<std::int32_t>(unit) : 0);
}

int ORGS::setPayOptions(bool taxEmployerPension, bool paySdl, std::int32_t roundingUnit) {
    if (roundingUnit < 0) {
        ui_.information("Entry for rounding amount is invalid.");
        return 0;
    }
    open_.taxEmployerPension = taxEmployerPension ? 1 : 0;
    open_.paySdl = paySdl ? 1 : 0;
    open_.roundNetPay = roundingUnit > 0 ? 1 : 0;
    if (roundingUnit > 0)
        open_.roundingUnit = roundingUnit;
    saveOpenRec();
    return 1;
}

namespace {
struct PayFreqRadio {
    common::PAYFREQ payFreq;
    const char* name;
};
constexpr PayFreqRadio kPayFreqRadios[] = {
    {common::MONTHLY, payfreqdlg::Monthly},
    {common::WEEKLY, payfreqdlg::Weekly},
    {common::BIWEEKLY, payfreqdlg::Biweekly},
    {common::IRREGULAR, payfreqdlg::Irregular},
};
} // namespace

int ORGS::setPayFreq(common::PAYFREQ payFreq) {
    if (!common::isValidPayFreq(payFreq))
        return 0;
    open_.payFreq = payFreq;
    saveOpenRec();
    return 1;
}

void ORGS::initPayFreqDlg(DialogView& dialog) {
    for (const PayFreqRadio& radio : kPayFreqRadios)
        dialog.setChecked(radio.name, open_.payFreq == radio.payFreq);
}

int ORGS::closePayFreqDlg(DialogView& dialog) {
    for (const PayFreqRadio& radio : kPayFreqRadios)
        if (dialog.isChecked(radio.name))
            return setPayFreq(radio.payFreq);
    return 0;
}

void ORGS::initGenOptnDlg(DialogView& dialog) {
    const bool byLastName = open_.formSortKey == common::kSortByLastName;
    dialog.setChecked(genoptionsdlg::SortByLastName, byLastName);
    dialog.setChecked(genoptionsdlg::SortByNumber, !byLastName);
    dialog.setChecked(genoptionsdlg::PurgeReports, open_.purgeReports != 0);
    dialog.setChecked(genoptionsdlg::RetainReports, open_.purgeReports == 0);
    resetGenOptnDlg(dialog);
}

void ORGS::resetGenOptnDlg(DialogView& dialog) {
    showOption(dialog, genoptionsdlg::PurgeAge, dialog.isChecked(genoptionsdlg::PurgeReports),
               open_.purgeAge);
}

int ORGS::closeGenOptnDlg(DialogView& dialog) {
    const bool purge = dialog.isChecked(genoptionsdlg::PurgeReports);
    long age = 0;
    if (purge && (!readWhole(dialog.text(genoptionsdlg::PurgeAge), age) || age < kMinPurgeAge ||
                  age > kMaxPurgeAge)) {
        ui_.information("Entry for age at which to purge reports is invalid.");
        dialog.setFocus(genoptionsdlg::PurgeAge);
        return 0;
    }
    open_.formSortKey = dialog.isChecked(genoptionsdlg::SortByLastName) ? common::kSortByLastName
                                                                        : common::kSortByEmpNum;
    open_.purgeReports = purge ? 1 : 0;
    if (purge)
        open_.purgeAge = static_cast<std::int32_t>(age);
    saveOpenRec();
    return 1;
}

void ORGS::initPeriodEndDlg(DialogView& caution) {
    caution.setCaption("Period End Procedure");
    std::string text;
    int day = 0;
    switch (open_.payFreq) {
    case common::WEEKLY:
        // The double blank is the system's own text.
        text = "Running the period end procedure will close the payroll  for the week ending";
        day = open_.weekEndDay;
        break;
    case common::BIWEEKLY:
        text = "Running the period end procedure will close the payroll for the fortnight ending";
        day = open_.fortnightEndDay;
        break;
    case common::IRREGULAR:
        text = "Running the period end procedure will close the irregular payroll for the period "
               "ending";
        day = open_.irregEndDay;
        break;
    default: // the monthly payroll closes only at the month end
        caution.setText(cautiondlg::Text, "");
        return;
    }
    caution.setText(cautiondlg::Text, text + " " + std::to_string(day) + " " + open_.month + " " +
                                          std::to_string(open_.year) + ".");
    ui_.beep();
}

void ORGS::initMonEndDlg(DialogView& caution) {
    caution.setCaption("Month End Procedure");
    const int next = common::monthNumber(open_.month) % 12 + 1;
    const int nextYear = open_.year + (next == 1 ? 1 : 0);
    caution.setText(cautiondlg::Text,
                    "Running the month end procedure will close data entry for " + open_.month +
                        " " + std::to_string(open_.year) +
                        ".  Subsequent payroll and personnel entries will appear in " +
                        common::monthName(next) + " " + std::to_string(nextYear) + ".");
    ui_.beep();
}

} // namespace kelo::setup
