#include "setup/ReportWizard.h"

#include "common/Calendar.h"
#include "common/TaggedFile.h"
#include "common/Text.h"
#include "database/PayFieldsFile.h"
#include "database/PayLogDb.h"
#include "setup/ReportWizardControls.h"

#include <algorithm>

namespace kelo::setup {

using common::date;
using common::PAYFREQ;
using P = WizardPage;

namespace {

constexpr long kMinYear = 1900;
constexpr long kMaxYear = 3000;

bool isMusterOrControl(std::int32_t code) {
    return code == common::kReportMusterRoll || code == common::kReportControlAccount;
}

// The kinds whose pages are not those of the pay period.
bool isOtherKind(std::int32_t code) {
    return code == common::kReportYearMusterRoll || code == common::kReportYearControlAccount ||
           code == common::kReportMonthMusterRoll || code == common::kReportMonthControlAccount;
}

} // namespace

ReportWizard::ReportWizard(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                           const common::ORGREC& org, std::int32_t reportCode, date today)
    : ui_(ui),
      code_(code),
      folder_(folder),
      org_(org),
      command_(reportCode),
      today_(today),
      param_(common::newReportParam(reportCode, org, today)) {}

WizardPlan ReportWizard::plan() const {
    WizardPlan plan = wizardPlan(command_);
    if (isMusterOrControl(command_) && isOtherKind(param_.reportType)) {
        plan.pages = wizardPlan(param_.reportType).pages;
        plan.pages.insert(plan.pages.begin(), P::ReportKind);
    }
    return plan;
}

std::optional<WizardPage> ReportWizard::currentPage() const {
    const WizardPlan p = plan();
    if (index_ < 0 || static_cast<std::size_t>(index_) >= p.pages.size())
        return std::nullopt;
    return p.pages[static_cast<std::size_t>(index_)];
}

bool ReportWizard::canGoNext() const {
    return static_cast<std::size_t>(index_) + 1 < plan().pages.size();
}

void ReportWizard::initPage(common::DialogView& page) {
    if (const auto which = currentPage())
        initPage(*which, page);
}

bool ReportWizard::leavePage(common::DialogView& page, WizardMove move) {
    const auto which = currentPage();
    if (!which || !closePage(*which, page))
        return false;
    switch (move) {
    case WizardMove::Next:
        if (canGoNext())
            ++index_;
        break;
    case WizardMove::Back:
        if (canGoBack())
            --index_;
        break;
    case WizardMove::Ok:
        finished_ = true;
        break;
    }
    return true;
}

void ReportWizard::initPage(WizardPage which, common::DialogView& page) {
    switch (which) {
    case WizardPage::Selection:
        return initSelectionPage(page);
    case WizardPage::PayPeriod:
        return initPayPeriodPage(page);
    case WizardPage::YearRange:
        return initYearRangePage(page);
    case WizardPage::ReturnMonth:
        return initReturnMonthPage(page);
    case WizardPage::PayField:
        return initPayFieldPage(page);
    case WizardPage::Fund:
        return initFundPage(page);
    case WizardPage::ProcessDate:
        return initProcessDatePage(page);
    case WizardPage::ReportKind:
        return initReportKindPage(page);
    }
}

bool ReportWizard::closePage(WizardPage which, common::DialogView& page) {
    switch (which) {
    case WizardPage::Selection:
        return closeSelectionPage(page);
    case WizardPage::PayPeriod:
        return closePayPeriodPage(page);
    case WizardPage::YearRange:
        return closeYearRangePage(page);
    case WizardPage::ReturnMonth:
        return closeReturnMonthPage(page);
    case WizardPage::PayField:
        return closePayFieldPage(page);
    case WizardPage::Fund:
        return closeFundPage(page);
    case WizardPage::ProcessDate:
        return closeProcessDatePage(page);
    case WizardPage::ReportKind:
        return closeReportKindPage(page);
    }
    return false;
}

void ReportWizard::focusFault(common::DialogView& page) const {
    const char* control = nullptr;
    switch (fault_) {
    case WizardField::SelectionName:
        control = selectionpage::Names;
        break;
    case WizardField::PeriodFrequency:
        control = payperiodpage::Frequency;
        break;
    case WizardField::PeriodYear:
        control = payperiodpage::Year;
        break;
    case WizardField::PeriodMonth:
        control = payperiodpage::Month;
        break;
    case WizardField::PeriodDay:
        control = payperiodpage::Day;
        break;
    case WizardField::RangeYear:
        control = yearrangepage::Year;
        break;
    case WizardField::RangeMonths:
        control = yearrangepage::ToMonth;
        break;
    case WizardField::ReturnYear:
        control = returnmonthpage::Year;
        break;
    case WizardField::ReturnMonth:
        control = returnmonthpage::Month;
        break;
    case WizardField::PayField:
        control = payfieldpage::List;
        break;
    case WizardField::Fund:
        control = fundpage::List;
        break;
    case WizardField::TransferBank:
        control = processdatepage::Bank;
        break;
    case WizardField::ProcessYear:
        control = processdatepage::Year;
        break;
    case WizardField::ProcessMonth:
        control = processdatepage::Month;
        break;
    case WizardField::ProcessDay:
        control = processdatepage::Day;
        break;
    case WizardField::None:
        break;
    }
    if (control)
        page.setFocus(control);
}

bool ReportWizard::refuse(WizardField field, const std::string& message) {
    fault_ = field;
    ui_.information(message);
    return false;
}

bool ReportWizard::beepFor(WizardField field) {
    fault_ = field;
    ui_.beep();
    return false;
}

bool ReportWizard::checkYear(long year, WizardField field) {
    if (year < kMinYear || year > kMaxYear)
        return refuse(field, "Entry for year is invalid.");
    return true;
}

bool ReportWizard::checkFile(const std::string& relativePath, WizardField field) {
    if (common::checkFileId(ui_, folder_.resolve(relativePath), relativePath))
        return true;
    fault_ = field;
    return false;
}

void ReportWizard::storeGroup(std::int32_t groupBy, std::string_view name) {
    using W = common::ReportWidths;
    if (groupBy == common::kGroupByNone) {
        param_.groupBy = common::kGroupByNone;
        param_.groupName.clear();
        param_.groupTitle = common::kAllUnitsTitle;
        return;
    }
    param_.groupBy = groupBy;
    param_.groupName = common::trimRight(common::fitText(common::trim(name), W::kGroupNameWidth));
    param_.groupTitle =
        common::fitText(common::groupTitle(groupBy, param_.groupName), W::kGroupTitleWidth);
}

bool ReportWizard::applySelection(std::int32_t groupBy, std::string_view name) {
    fault_ = WizardField::None;
    if (groupBy < common::kGroupByNone || groupBy > common::kGroupByPensionFund ||
        (groupBy != common::kGroupByNone && common::trim(name).empty()))
        return beepFor(WizardField::SelectionName);
    storeGroup(groupBy, name);
    return true;
}

bool ReportWizard::applyPayPeriod(PAYFREQ payFreq, long year, int month, int day) {
    fault_ = WizardField::None;
    if (!common::isValidPayFreq(payFreq))
        return beepFor(WizardField::PeriodFrequency);
    if (!checkYear(year, WizardField::PeriodYear))
        return false;
    if (month < 1 || month > 12)
        return beepFor(WizardField::PeriodMonth);
    if (payFreq == common::MONTHLY)
        day = 0;
    else if (day < 1 || day > 31)
        return beepFor(WizardField::PeriodDay);
    const date period{static_cast<std::int32_t>(year), static_cast<std::uint8_t>(day),
                      static_cast<std::uint8_t>(month)};
    const bool current = period == database::PAYLOGDB::currentPeriod(payFreq, org_);
    if (!current) {
        database::PAYLOGDB log(code_, folder_);
        const std::optional<std::string> path = log.getPeriodFile(payFreq, period);
        if (!path || path->empty()) {
            fault_ = WizardField::PeriodMonth;
            ui_.error("The pay log keeps no report file for " + periodTitle(payFreq, period) + ".");
            return false;
        }
        if (!checkFile(*path, WizardField::PeriodMonth))
            return false;
    }
    param_.payFreq = payFreq;
    param_.period = period;
    param_.isCurrentPeriod = current ? 1 : 0;
    return true;
}

bool ReportWizard::applyYearRange(long year, int fromMonth, int toMonth) {
    fault_ = WizardField::None;
    if (!checkYear(year, WizardField::RangeYear))
        return false;
    if (fromMonth < 1 || toMonth > 12 || toMonth < fromMonth)
        return refuse(WizardField::RangeMonths, "Month range is not valid.");
    if (year != org_.year) {
        const std::string file = yearRangeFile(param_.reportType, static_cast<std::int32_t>(year));
        if (!file.empty() && !checkFile(file, WizardField::RangeYear))
            return false;
    }
    param_.period.year = static_cast<std::int32_t>(year);
    param_.fromMonth = fromMonth;
    param_.toMonth = toMonth;
    return true;
}

bool ReportWizard::applyReturnMonth(long year, int month) {
    fault_ = WizardField::None;
    if (!checkYear(year, WizardField::ReturnYear))
        return false;
    if (month < 1 || month > 12)
        return beepFor(WizardField::ReturnMonth);
    if ((year != org_.year || month != common::monthNumber(org_.month)) &&
        !checkFile(returnMonthFile(static_cast<std::int32_t>(year), month),
                   WizardField::ReturnMonth))
        return false;
    param_.period = date{static_cast<std::int32_t>(year), 0, static_cast<std::uint8_t>(month)};
    return true;
}

bool ReportWizard::loadFieldChoices() {
    if (!fieldsLoaded_) {
        common::PayItemDefs defs;
        fieldsRead_ = database::loadPayItemDefs(ui_, folder_, org_.payFreq, defs);
        fields_ = payFieldChoices(command_, defs);
        fieldsLoaded_ = true;
    }
    return fieldsRead_;
}

void ReportWizard::storeField(const PayFieldChoice& field) {
    param_.fieldName =
        common::trimRight(common::fitText(field.name, common::ReportWidths::kFieldNameWidth));
    if (payFieldChangesReport(command_))
        param_.reportType = payFieldReportCode(command_, field);
}

bool ReportWizard::applyPayField(std::string_view name) {
    fault_ = WizardField::None;
    loadFieldChoices();
    const auto found = std::ranges::find(fields_, name, &PayFieldChoice::name);
    if (name.empty() || found == fields_.end())
        return beepFor(WizardField::PayField);
    storeField(*found);
    return true;
}

bool ReportWizard::applyFund(std::string_view name) {
    fault_ = WizardField::None;
    if (common::trim(name).empty())
        return beepFor(WizardField::Fund);
    storeGroup(command_ == common::kReportPensionFund ? common::kGroupByPensionFund
                                                      : common::kGroupByCoop,
               name);
    return true;
}

bool ReportWizard::applyTransferBank(std::int32_t reportCode) {
    fault_ = WizardField::None;
    if (reportCode < common::kReportStandardCharteredFile ||
        reportCode > common::kReportStanbicFile)
        return beepFor(WizardField::TransferBank);
    param_.reportType = reportCode;
    return true;
}

bool ReportWizard::applyProcessDate(long year, int month, long day) {
    fault_ = WizardField::None;
    if (year < kMinYear || year > kMaxYear)
        return refuse(WizardField::ProcessYear, "Entry for process year field is invalid.");
    if (month < 1 || month > 12)
        return beepFor(WizardField::ProcessMonth);
    if (day < 1 || day > common::daysInMonth(month, static_cast<int>(year)))
        return refuse(WizardField::ProcessDay, "Entry for process day field is invalid.");
    const date chosen{static_cast<std::int32_t>(year), static_cast<std::uint8_t>(day),
                      static_cast<std::uint8_t>(month)};
    if (chosen < today_)
        return refuse(WizardField::ProcessDay, "Process date can be no earlier than today.");
    param_.processDate = chosen;
    return true;
}

void ReportWizard::applyReportKind(ReportKind kind) {
    fault_ = WizardField::None;
    const auto pick = [kind](std::int32_t period, std::int32_t month, std::int32_t year) {
        return kind == ReportKind::Year ? year : kind == ReportKind::Month ? month : period;
    };
    if (command_ == common::kReportMusterRoll)
        param_.reportType = pick(common::kReportPeriodMusterRoll, common::kReportMonthMusterRoll,
                                 common::kReportYearMusterRoll);
    else if (command_ == common::kReportControlAccount)
        param_.reportType =
            pick(common::kReportPeriodControlAccount, common::kReportMonthControlAccount,
                 common::kReportYearControlAccount);
}

} // namespace kelo::setup
