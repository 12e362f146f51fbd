#include "setup/OptionsDlg.h"

#include "common/ReportRecords.h"
#include "database/TableUse.h"

#include <vector>

namespace kelo::setup {

namespace {

using common::DialogView;
using common::Ui;
using database::OptionValue;

constexpr const char* kSelectReport = "Please select a report.";
constexpr const char* kChooseSort = "Please choose how to sort the report.";
constexpr const char* kChooseFooter = "Please choose who signs the payslips.";
constexpr const char* kChooseBreakdown = "Please choose the breakdown of the control account.";
constexpr const char* kChooseGrouping = "Please choose the grouping of the muster roll.";
constexpr const char* kChooseDenomination = "Please tick at least one note or coin to pay out.";

int tenOf(int denominations) {
    return denominations & database::kAllDenominations;
}

// A lock of another user is a refusal, not a failure.
void tellOpenFailure(Ui& ui, const database::OPTIONSDB& table, bool storing) {
    engine::Code4& code = table.code();
    const int error = code.errorCode();
    if (error == engine::e4access || error == engine::e4lock)
        ui.warning(storing ? database::TableUse::inUseMessage(table)
                           : database::openFailureText(code, table.relativePath()));
    else if (error == engine::e4open)
        ui.error("Can't open " + table.relativePath());
    else
        ui.error(database::openFailureText(code, table.relativePath()));
    code.setErrorCode(0);
}

} // namespace

bool OPTIONSDLG::openToRead(Ui& ui) {
    if (openFile())
        return true;
    tellOpenFailure(ui, *this, false);
    return false;
}

bool OPTIONSDLG::checkFile(Ui& ui) {
    if (!openToRead(ui))
        return false;
    closeFile();
    return true;
}

bool OPTIONSDLG::storeValues(Ui& ui, std::initializer_list<OptionValue> values) {
    // Held alone, no other user holds a row half-way through the set.
    if (!openFile(true)) {
        tellOpenFailure(ui, *this, true);
        return false;
    }
    std::vector<int> before;
    for (const OptionValue& option : values)
        before.push_back(getValue(option.id, option.key));
    std::size_t stored = 0;
    for (const OptionValue& option : values) {
        if (!setValue(option.id, option.key, option.value))
            break;
        ++stored;
    }
    if (stored < values.size()) {
        for (std::size_t i = 0; i < stored; ++i)
            setValue(values.begin()[i].id, values.begin()[i].key, before[i]);
        closeFile();
        code().setErrorCode(0);
        ui.error(database::TableUse::cantUpdateMessage(*this));
        return false;
    }
    closeFile();
    return true;
}

bool OPTIONSDLG::checkReport(Ui& ui, std::int32_t reportId) {
    if (hasSortKey(reportId))
        return true;
    ui.information(kSelectReport);
    return false;
}

bool OPTIONSDLG::checkChoice(Ui& ui, int value, int last, const char* text) {
    if (value >= 0 && value <= last)
        return true;
    ui.information(text);
    return false;
}

bool OPTIONSDLG::readSortKey(Ui& ui, std::int32_t reportId, int& sortKey) {
    if (!checkReport(ui, reportId) || !openToRead(ui))
        return false;
    sortKey = getValue(reportId, database::kOptionSortKey);
    closeFile();
    return true;
}

bool OPTIONSDLG::storeSortKey(Ui& ui, std::int32_t reportId, int sortKey) {
    return checkReport(ui, reportId) && checkChoice(ui, sortKey, kSortByName, kChooseSort) &&
           storeValues(ui, {{reportId, database::kOptionSortKey, sortKey}});
}

bool OPTIONSDLG::readPSOptions(Ui& ui, PSOPTIONS& options) {
    if (!openToRead(ui))
        return false;
    const auto value = [this](std::string_view key) {
        return getValue(common::kReportPayslips, key);
    };
    options.sortKey = value(database::kOptionSortKey);
    options.separator = value(database::kOptionSeparator) != 0;
    options.duplicate = value(database::kOptionDuplicate) != 0;
    options.employerPension = value(database::kOptionEmployerPension) != 0;
    options.pensionBalance = value(database::kOptionPensionBalance) != 0;
    options.loanBreakdown = value(database::kOptionLoanBreakdown) != 0;
    options.leaveBalance = value(database::kOptionLeaveBalance) != 0;
    options.footer = value(database::kOptionFooter);
    closeFile();
    return true;
}

bool OPTIONSDLG::storePSOptions(Ui& ui, const PSOPTIONS& options) {
    if (!checkChoice(ui, options.sortKey, kSortByName, kChooseSort) ||
        !checkChoice(ui, options.footer, kSignedByBoth, kChooseFooter))
        return false;
    constexpr std::int32_t id = common::kReportPayslips;
    const auto flag = [](bool on) { return on ? 1 : 0; };
    return storeValues(ui, {{id, database::kOptionSortKey, options.sortKey},
                            {id, database::kOptionSeparator, flag(options.separator)},
                            {id, database::kOptionDuplicate, flag(options.duplicate)},
                            {id, database::kOptionEmployerPension, flag(options.employerPension)},
                            {id, database::kOptionPensionBalance, flag(options.pensionBalance)},
                            {id, database::kOptionLoanBreakdown, flag(options.loanBreakdown)},
                            {id, database::kOptionLeaveBalance, flag(options.leaveBalance)},
                            {id, database::kOptionFooter, options.footer}});
}

bool OPTIONSDLG::readCAOptions(Ui& ui, CAOPTIONS& options) {
    if (!openToRead(ui))
        return false;
    options.breakdown = getValue(common::kReportControlAccount, database::kOptionBreakdown);
    closeFile();
    return true;
}

bool OPTIONSDLG::storeCAOptions(Ui& ui, const CAOPTIONS& options) {
    return checkChoice(ui, options.breakdown, kGroupByStation, kChooseBreakdown) &&
           storeValues(ui, {{common::kReportControlAccount, database::kOptionBreakdown,
                             options.breakdown}});
}

bool OPTIONSDLG::readMROptions(Ui& ui, MROPTIONS& options) {
    if (!openToRead(ui))
        return false;
    options.sortKey = getValue(common::kReportMusterRoll, database::kOptionSortKey);
    options.grouping = getValue(common::kReportMusterRoll, database::kOptionGrouping);
    closeFile();
    return true;
}

bool OPTIONSDLG::storeMROptions(Ui& ui, const MROPTIONS& options) {
    return checkChoice(ui, options.sortKey, kSortByName, kChooseSort) &&
           checkChoice(ui, options.grouping, kGroupByStation, kChooseGrouping) &&
           storeValues(ui,
                       {{common::kReportMusterRoll, database::kOptionSortKey, options.sortKey},
                        {common::kReportMusterRoll, database::kOptionGrouping, options.grouping}});
}

bool OPTIONSDLG::readCLOptions(Ui& ui, CLOPTIONS& options) {
    if (!openToRead(ui))
        return false;
    constexpr std::int32_t id = common::kReportCashList;
    options.sortKey = getValue(id, database::kOptionSortKey);
    const int chosen = tenOf(getValue(id, database::kOptionDenominations));
    options.denominations = chosen != 0 ? chosen : database::kAllDenominations;
    closeFile();
    return true;
}

bool OPTIONSDLG::storeCLOptions(Ui& ui, const CLOPTIONS& options) {
    if (!checkChoice(ui, options.sortKey, kSortByName, kChooseSort))
        return false;
    if (tenOf(options.denominations) == 0) {
        ui.information(kChooseDenomination);
        return false;
    }
    constexpr std::int32_t id = common::kReportCashList;
    return storeValues(ui, {{id, database::kOptionSortKey, options.sortKey},
                            {id, database::kOptionDenominations, tenOf(options.denominations)}});
}

void OPTIONSDLG::showChoice(DialogView& dialog, Choice buttons, int value) {
    for (const auto& [control, meaning] : buttons)
        dialog.setChecked(control, meaning == value);
}

int OPTIONSDLG::readChoice(const DialogView& dialog, Choice buttons) {
    for (const auto& [control, meaning] : buttons) {
        if (dialog.isChecked(control))
            return meaning;
    }
    return kNoChoice;
}

void OPTIONSDLG::initDlg(DialogView& dialog, const common::USERREC& user) {
    dialog.clearItems(reportoptionsdlg::List);
    for (const REPORTCHOICE& report : reportChoices(user.menuType))
        dialog.addItem(reportoptionsdlg::List, report.name, report.id);
    dialog.selectRow(reportoptionsdlg::List, dialog.itemCount(reportoptionsdlg::List) > 0 ? 0 : -1);
    currentReport_ = 0;
}

std::int32_t OPTIONSDLG::getSelRepID(Ui& ui, const DialogView& dialog,
                                     const common::USERREC& user) {
    const int row = dialog.selectedRow(reportoptionsdlg::List);
    currentReport_ =
        row < 0 ? 0 : findReportChoice(user.menuType, dialog.itemText(reportoptionsdlg::List, row));
    if (currentReport_ == 0)
        ui.information(kSelectReport);
    return currentReport_;
}

namespace {
namespace ps = psoptionsdlg;
constexpr std::pair<const char*, int> kPSSort[] = {{ps::SortByName, kSortByName},
                                                   {ps::SortByNumber, kSortByNumber}};
constexpr std::pair<const char*, int> kFooter[] = {{ps::NotSigned, kNotSigned},
                                                   {ps::Employer, kSignedByEmployer},
                                                   {ps::Employee, kSignedByEmployee},
                                                   {ps::Both, kSignedByBoth}};
constexpr std::pair<const char*, int> kBreakdown[] = {{caoptionsdlg::None, kGroupNone},
                                                      {caoptionsdlg::ByUnit, kGroupByUnit},
                                                      {caoptionsdlg::ByStation, kGroupByStation}};
constexpr std::pair<const char*, int> kMRSort[] = {{mroptionsdlg::SortByName, kSortByName},
                                                   {mroptionsdlg::SortByNumber, kSortByNumber}};
constexpr std::pair<const char*, int> kGrouping[] = {{mroptionsdlg::None, kGroupNone},
                                                     {mroptionsdlg::ByUnit, kGroupByUnit},
                                                     {mroptionsdlg::ByStation, kGroupByStation}};
constexpr std::pair<const char*, int> kCLSort[] = {{cloptionsdlg::SortByName, kSortByName},
                                                   {cloptionsdlg::SortByNumber, kSortByNumber}};
constexpr std::pair<const char*, int> kSort[] = {{sortoptionsdlg::SortByName, kSortByName},
                                                 {sortoptionsdlg::SortByNumber, kSortByNumber}};
} // namespace

bool OPTIONSDLG::displayPSOptions(Ui& ui, DialogView& dialog) {
    PSOPTIONS options;
    if (!readPSOptions(ui, options))
        return false;
    showChoice(dialog, kPSSort, options.sortKey);
    dialog.setChecked(ps::Separator, options.separator);
    dialog.setChecked(ps::Duplicate, options.duplicate);
    dialog.setChecked(ps::EmployerPension, options.employerPension);
    dialog.setChecked(ps::PensionBalance, options.pensionBalance);
    dialog.setChecked(ps::LoanBreakdown, options.loanBreakdown);
    dialog.setChecked(ps::LeaveBalance, options.leaveBalance);
    showChoice(dialog, kFooter, options.footer);
    resetPSOptions(dialog);
    return true;
}

void OPTIONSDLG::resetPSOptions(DialogView& dialog) {
    dialog.setText(ps::SignatureGroup,
                   dialog.isChecked(ps::Duplicate) ? ps::kDuplicateSignedBy : ps::kSignedBy);
}

bool OPTIONSDLG::getPSOptions(Ui& ui, const DialogView& dialog) {
    PSOPTIONS options;
    options.sortKey = readChoice(dialog, kPSSort);
    options.separator = dialog.isChecked(ps::Separator);
    options.duplicate = dialog.isChecked(ps::Duplicate);
    options.employerPension = dialog.isChecked(ps::EmployerPension);
    options.pensionBalance = dialog.isChecked(ps::PensionBalance);
    options.loanBreakdown = dialog.isChecked(ps::LoanBreakdown);
    options.leaveBalance = dialog.isChecked(ps::LeaveBalance);
    options.footer = readChoice(dialog, kFooter);
    return storePSOptions(ui, options);
}

bool OPTIONSDLG::displayCAOptions(Ui& ui, DialogView& dialog) {
    CAOPTIONS options;
    if (!readCAOptions(ui, options))
        return false;
    showChoice(dialog, kBreakdown, options.breakdown);
    return true;
}

bool OPTIONSDLG::getCAOptions(Ui& ui, const DialogView& dialog) {
    return storeCAOptions(ui, {.breakdown = readChoice(dialog, kBreakdown)});
}

bool OPTIONSDLG::displayMROptions(Ui& ui, DialogView& dialog) {
    MROPTIONS options;
    if (!readMROptions(ui, options))
        return false;
    showChoice(dialog, kMRSort, options.sortKey);
    showChoice(dialog, kGrouping, options.grouping);
    return true;
}

bool OPTIONSDLG::getMROptions(Ui& ui, const DialogView& dialog) {
    return storeMROptions(
        ui, {.sortKey = readChoice(dialog, kMRSort), .grouping = readChoice(dialog, kGrouping)});
}

bool OPTIONSDLG::displayCLOptions(Ui& ui, DialogView& dialog) {
    CLOPTIONS options;
    if (!readCLOptions(ui, options))
        return false;
    showChoice(dialog, kCLSort, options.sortKey);
    int bit = 0;
    for (const cloptionsdlg::DenominationBox& box : cloptionsdlg::Denominations)
        dialog.setChecked(box.name, ((options.denominations >> bit++) & 1) != 0);
    return true;
}

bool OPTIONSDLG::getCLOptions(Ui& ui, DialogView& dialog) {
    CLOPTIONS options{.sortKey = readChoice(dialog, kCLSort), .denominations = 0};
    int bit = 0;
    for (const cloptionsdlg::DenominationBox& box : cloptionsdlg::Denominations) {
        if (dialog.isChecked(box.name))
            options.denominations |= 1 << bit;
        ++bit;
    }
    if (storeCLOptions(ui, options))
        return true;
    if (options.sortKey != kNoChoice && options.denominations == 0)
        dialog.setFocus(cloptionsdlg::DenominationsGroup);
    return false;
}

bool OPTIONSDLG::displaySortKey(Ui& ui, DialogView& dialog) {
    int sortKey = kSortByNumber;
    if (!readSortKey(ui, currentReport_, sortKey))
        return false;
    showChoice(dialog, kSort, sortKey);
    return true;
}

bool OPTIONSDLG::getSortKey(Ui& ui, const DialogView& dialog) {
    return storeSortKey(ui, currentReport_, readChoice(dialog, kSort));
}

void OPTIONSDLG::displayPayOptions(DialogView& dialog) {
    const bool opened = openFile();
    dialog.setEnabled(payoptionsdlg::TaxAverage, opened);
    dialog.setChecked(payoptionsdlg::TaxAverage,
                      opened && getValue(database::kPayrollOptionsId, database::kOptionAverage));
    closeFile();
}

bool OPTIONSDLG::getPayOptions(Ui& ui, const DialogView& dialog) {
    if (!dialog.isEnabled(payoptionsdlg::TaxAverage))
        return true;
    if (!openFile()) {
        tellOpenFailure(ui, *this, true);
        return false;
    }
    const bool stored = setValue(database::kPayrollOptionsId, database::kOptionAverage,
                                 dialog.isChecked(payoptionsdlg::TaxAverage) ? 1 : 0);
    closeFile();
    if (!stored) {
        ui.error(database::TableUse::cantUpdateMessage(*this));
        code().setErrorCode(0);
    }
    return stored;
}

} // namespace kelo::setup
