// The page face of the report parameters wizard: values between the pages'
// controls and the apply operations.
#include "common/Calendar.h"
#include "common/Text.h"
#include "database/BanksDb.h"
#include "database/CoopsDb.h"
#include "database/PayGroupDb.h"
#include "database/PayLogDb.h"
#include "database/PensionsDb.h"
#include "database/StationsDb.h"
#include "database/TableUse.h"
#include "database/UnitsDb.h"
#include "setup/ReportWizard.h"
#include "setup/ReportWizardControls.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace kelo::setup {

using common::DialogView;
using common::PAYFREQ;
using TreeItem = DialogView::TreeItem;

namespace {

constexpr std::array<const char*, 7> kKinds{
    "(None)", "Administrative Unit", "Station",     "Pay Group",
    "Bank",   "Co-operative",        "Pension Fund"};
constexpr std::array<const char*, 7> kPrompts{
    "Which instance?", "Which unit?",         "Which station?",     "Which pay group?",
    "Which bank?",     "Which co-operative?", "Which pension fund?"};

struct Bank {
    std::int32_t code;
    const char* name;
};
constexpr std::array<Bank, 4> kTransferBanks{
    {{common::kReportStandardCharteredFile, "Standard Chartered Bank"},
     {common::kReportBarclaysFile, "Barclays Bank"},
     {common::kReportCitibankFile, "Citibank"},
     {common::kReportStanbicFile, "Stanbic Bank"}}};

// A whole decimal number with blanks around it allowed; 0, which no field
// accepts, for anything else.
long readWhole(std::string_view text) {
    const std::string trimmed = common::trim(text);
    long value = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto result = std::from_chars(trimmed.data(), end, value);
    return result.ec == std::errc() && result.ptr == end ? value : 0;
}

// The code of the selected row, `none` when no row is selected.
long selectedCode(const DialogView& page, const char* control, long none) {
    const int row = page.selectedRow(control);
    return row < 0 ? none : page.itemCode(control, row);
}

void selectCode(DialogView& page, const char* control, long code) {
    for (int row = 0; row < page.itemCount(control); ++row) {
        if (page.itemCode(control, row) == code) {
            page.selectRow(control, row);
            return;
        }
    }
    page.selectRow(control, -1);
}

void fillMonths(DialogView& page, const char* control, std::initializer_list<int> months,
                int selected) {
    page.clearItems(control);
    for (int month : months)
        page.addItem(control, common::monthName(month), month);
    selectCode(page, control, selected);
}

void fillAllMonths(DialogView& page, const char* control, int selected) {
    fillMonths(page, control, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, selected);
}

void showYear(DialogView& page, const char* control, std::int32_t year) {
    page.setTextLimit(control, 4);
    page.setText(control, std::to_string(year));
}

// The first item below `parent`, depth first, whose text is `name`.
TreeItem findTreeItem(const DialogView& page, const char* control, TreeItem parent,
                      std::string_view name) {
    std::vector<TreeItem> pending = page.treeChildren(control, parent);
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        const TreeItem item = pending.back();
        pending.pop_back();
        if (page.treeItemText(control, item) == name)
            return item;
        std::vector<TreeItem> children = page.treeChildren(control, item);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return DialogView::kRoot;
}

template <class Table>
std::vector<database::LookupEntry> entriesOf(common::Ui& ui, engine::Code4& code,
                                             const common::WorkingFolder& folder) {
    Table table(code, folder);
    database::TableUse use(table, &ui);
    if (!use)
        return {};
    return table.entriesByName().value_or(std::vector<database::LookupEntry>{});
}

std::vector<database::LookupEntry> namesOf(common::Ui& ui, engine::Code4& code,
                                           const common::WorkingFolder& folder,
                                           std::int32_t groupBy) {
    switch (groupBy) {
    case common::kGroupByStation:
        return entriesOf<database::STATIONSDB>(ui, code, folder);
    case common::kGroupByPayGroup:
        return entriesOf<database::PAYGROUPDB>(ui, code, folder);
    case common::kGroupByCoop:
        return entriesOf<database::COOPSDB>(ui, code, folder);
    case common::kGroupByPensionFund:
        return entriesOf<database::PENSIONSDB>(ui, code, folder);
    case common::kGroupByBank: {
        database::BANKSDB banks(code, folder);
        if (!banks.openFiles()) {
            code.setErrorCode(0);
            ui.error(std::string("Can't open ") + database::BANKSDB::kBanksPath);
            return {};
        }
        banks.orderByName();
        std::vector<database::LookupEntry> out;
        for (std::string& name : banks.bankNames())
            out.push_back({0, std::move(name)});
        banks.closeFiles();
        return out;
    }
    default:
        return {};
    }
}

const char* dayLabel(PAYFREQ payFreq) {
    switch (payFreq) {
    case common::WEEKLY:
        return "Week ending:";
    case common::BIWEEKLY:
        return "Fortnight ending:";
    case common::IRREGULAR:
        return "Pay period:";
    default:
        return "Day:";
    }
}

void showPeriodDay(DialogView& page, PAYFREQ payFreq, int day) {
    namespace c = payperiodpage;
    const bool used = payFreq != common::MONTHLY;
    page.setText(c::DayLabel, dayLabel(payFreq));
    page.setEnabled(c::DayLabel, used);
    page.setEnabled(c::Day, used);
    selectCode(page, c::Day, used ? day : -1);
}

} // namespace

// ---------------------------------------------------------------------------
// Selection of employees

void ReportWizard::initSelectionPage(DialogView& page) {
    namespace c = selectionpage;
    page.clearItems(c::Kind);
    for (std::size_t kind = 0; kind < kKinds.size(); ++kind)
        page.addItem(c::Kind, kKinds[kind], static_cast<long>(kind));
    selectCode(page, c::Kind, param_.groupBy);
    selectionKindChanged(page);
    if (param_.groupBy != common::kGroupByNone) {
        const TreeItem item = findTreeItem(page, c::Names, DialogView::kRoot, param_.groupName);
        if (item != DialogView::kRoot)
            page.selectTreeItem(c::Names, item);
    }
}

void ReportWizard::selectionKindChanged(DialogView& page) {
    namespace c = selectionpage;
    long kind = selectedCode(page, c::Kind, common::kGroupByNone);
    if (kind < 0 || static_cast<std::size_t>(kind) >= kPrompts.size())
        kind = common::kGroupByNone;
    fillNames(page, static_cast<std::int32_t>(kind));
}

void ReportWizard::fillNames(DialogView& page, std::int32_t groupBy) {
    namespace c = selectionpage;
    const bool named = groupBy != common::kGroupByNone;
    page.setText(c::Prompt, kPrompts[static_cast<std::size_t>(groupBy)]);
    page.setEnabled(c::Prompt, named);
    page.setEnabled(c::Frame, named);
    page.setEnabled(c::Names, named);
    page.clearTree(c::Names);
    if (groupBy == common::kGroupByUnit) {
        database::UNITSDB units(code_, folder_);
        database::TableUse use(units, &ui_);
        if (use)
            units.displayUnits(page, c::Names);
        return;
    }
    for (const database::LookupEntry& entry : namesOf(ui_, code_, folder_, groupBy))
        page.addTreeItem(c::Names, DialogView::kRoot, entry.name, entry.code);
}

bool ReportWizard::closeSelectionPage(DialogView& page) {
    namespace c = selectionpage;
    const long kind = selectedCode(page, c::Kind, common::kGroupByNone);
    const TreeItem item = page.selectedTreeItem(c::Names);
    const std::string name = kind == common::kGroupByNone || item == DialogView::kRoot
                                 ? std::string()
                                 : page.treeItemText(c::Names, item);
    if (applySelection(static_cast<std::int32_t>(kind), name))
        return true;
    focusFault(page);
    return false;
}

// ---------------------------------------------------------------------------
// Pay period

void ReportWizard::initPayPeriodPage(DialogView& page) {
    namespace c = payperiodpage;
    page.clearItems(c::Frequency);
    for (PAYFREQ payFreq : common::kPayFreqs)
        page.addItem(c::Frequency, common::payFreqLabel(payFreq), payFreq);
    selectCode(page, c::Frequency, param_.payFreq);
    showYear(page, c::Year, param_.period.year);
    fillAllMonths(page, c::Month, param_.period.month);
    page.clearItems(c::Day);
    for (int day = 1; day <= 31; ++day)
        page.addItem(c::Day, std::to_string(day), day);
    // A fresh parameter names the month only; show the current period's day.
    const int day = param_.period.day != 0
                        ? param_.period.day
                        : database::PAYLOGDB::currentPeriod(param_.payFreq, org_).day;
    showPeriodDay(page, param_.payFreq, day);
}

void ReportWizard::payFrequencyChanged(DialogView& page) {
    namespace c = payperiodpage;
    const auto payFreq = static_cast<PAYFREQ>(selectedCode(page, c::Frequency, param_.payFreq));
    showPeriodDay(page, payFreq, database::PAYLOGDB::currentPeriod(payFreq, org_).day);
}

bool ReportWizard::closePayPeriodPage(DialogView& page) {
    namespace c = payperiodpage;
    const auto payFreq = static_cast<PAYFREQ>(selectedCode(page, c::Frequency, param_.payFreq));
    if (applyPayPeriod(payFreq, readWhole(page.text(c::Year)),
                       static_cast<int>(selectedCode(page, c::Month, 0)),
                       static_cast<int>(selectedCode(page, c::Day, 0))))
        return true;
    focusFault(page);
    return false;
}

// ---------------------------------------------------------------------------
// Year and month range, month of return

void ReportWizard::initYearRangePage(DialogView& page) {
    namespace c = yearrangepage;
    showYear(page, c::Year, param_.period.year);
    // Half years or the whole year only.
    fillMonths(page, c::FromMonth, {1, 7}, param_.fromMonth == 7 ? 7 : 1);
    fillMonths(page, c::ToMonth, {6, 12}, param_.toMonth == 6 ? 6 : 12);
    const bool taxReturn = command_ >= common::kReportP9 && command_ <= common::kReportItx215;
    page.setEnabled(c::FromMonth, taxReturn);
    page.setEnabled(c::ToMonth, taxReturn);
}

bool ReportWizard::closeYearRangePage(DialogView& page) {
    namespace c = yearrangepage;
    if (applyYearRange(readWhole(page.text(c::Year)),
                       static_cast<int>(selectedCode(page, c::FromMonth, 1)),
                       static_cast<int>(selectedCode(page, c::ToMonth, 12))))
        return true;
    focusFault(page);
    return false;
}

void ReportWizard::initReturnMonthPage(DialogView& page) {
    namespace c = returnmonthpage;
    showYear(page, c::Year, param_.period.year);
    fillAllMonths(page, c::Month, param_.period.month);
}

bool ReportWizard::closeReturnMonthPage(DialogView& page) {
    namespace c = returnmonthpage;
    if (applyReturnMonth(readWhole(page.text(c::Year)),
                         static_cast<int>(selectedCode(page, c::Month, 0))))
        return true;
    focusFault(page);
    return false;
}

// ---------------------------------------------------------------------------
// Pay field, co-operative or pension fund

void ReportWizard::initPayFieldPage(DialogView& page) {
    namespace c = payfieldpage;
    page.setText(c::Label, payFieldLabel(command_));
    loadFieldChoices();
    page.clearItems(c::List);
    for (std::size_t i = 0; i < fields_.size(); ++i)
        page.addItem(c::List, fields_[i].name, static_cast<long>(i));
    const int stored = param_.fieldName.empty() ? -1 : page.findItem(c::List, param_.fieldName);
    page.selectRow(c::List, stored >= 0 ? stored : (fields_.empty() ? -1 : 0));
}

bool ReportWizard::closePayFieldPage(DialogView& page) {
    namespace c = payfieldpage;
    fault_ = WizardField::None;
    const long row = selectedCode(page, c::List, -1);
    if (row < 0 || static_cast<std::size_t>(row) >= fields_.size()) {
        beepFor(WizardField::PayField);
        focusFault(page);
        return false;
    }
    storeField(fields_[static_cast<std::size_t>(row)]);
    return true;
}

void ReportWizard::initFundPage(DialogView& page) {
    namespace c = fundpage;
    const bool pension = command_ == common::kReportPensionFund;
    const std::int32_t groupBy = pension ? common::kGroupByPensionFund : common::kGroupByCoop;
    page.setText(c::Label, pension ? "Pension Fund:" : "Co-operative:");
    page.clearItems(c::List);
    for (const database::LookupEntry& entry : namesOf(ui_, code_, folder_, groupBy))
        page.addItem(c::List, entry.name, entry.code);
    page.selectRow(c::List,
                   param_.groupBy == groupBy ? page.findItem(c::List, param_.groupName) : -1);
}

bool ReportWizard::closeFundPage(DialogView& page) {
    namespace c = fundpage;
    const int row = page.selectedRow(c::List);
    if (applyFund(row < 0 ? std::string() : page.itemText(c::List, row)))
        return true;
    focusFault(page);
    return false;
}

// ---------------------------------------------------------------------------
// Process date and bank, report kind

void ReportWizard::initProcessDatePage(DialogView& page) {
    namespace c = processdatepage;
    page.clearItems(c::Bank);
    for (const Bank& bank : kTransferBanks)
        page.addItem(c::Bank, bank.name, bank.code);
    selectCode(page, c::Bank, param_.reportType);
    page.setTextLimit(c::Day, 2);
    page.setText(c::Day, std::to_string(param_.processDate.day));
    fillAllMonths(page, c::Month, param_.processDate.month);
    showYear(page, c::Year, param_.processDate.year);
}

bool ReportWizard::closeProcessDatePage(DialogView& page) {
    namespace c = processdatepage;
    if (applyProcessDate(readWhole(page.text(c::Year)),
                         static_cast<int>(selectedCode(page, c::Month, 0)),
                         readWhole(page.text(c::Day))) &&
        applyTransferBank(static_cast<std::int32_t>(selectedCode(page, c::Bank, 0))))
        return true;
    focusFault(page);
    return false;
}

void ReportWizard::initReportKindPage(DialogView& page) {
    namespace c = reportkindpage;
    const std::int32_t type = param_.reportType;
    const bool wholeYear =
        type == common::kReportYearMusterRoll || type == common::kReportYearControlAccount;
    const bool month =
        type == common::kReportMonthMusterRoll || type == common::kReportMonthControlAccount;
    page.setChecked(c::PayPeriod, !wholeYear && !month);
    page.setChecked(c::Month, month);
    page.setChecked(c::WholeYear, wholeYear);
}

bool ReportWizard::closeReportKindPage(DialogView& page) {
    namespace c = reportkindpage;
    applyReportKind(page.isChecked(c::WholeYear) ? ReportKind::Year
                    : page.isChecked(c::Month)   ? ReportKind::Month
                                                 : ReportKind::PayPeriod);
    return true;
}

} // namespace kelo::setup
